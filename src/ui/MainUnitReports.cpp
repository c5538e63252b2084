// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <QProgressDialog>
#include <optional>

#include "journal/DetachedView.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "reports/data/ListReport.h"
#include "reports/data/ReportArrays.h"
#include "reports/data/TotalResult.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"
#include "ui/MainUnit.h"
#include "ui/ProgressWindow.h"
#include "ui/WaitCursor.h"

// The report commands of "Auswertungen": collect the bookings of the period, hand them to the report
// window and release them when it closes. The collection itself is in reports/data.

namespace {

// Sets a flag for the lifetime of the object; clears it afterwards, also when the command fails.
class RaisedFlag {
public:
    explicit RaisedFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RaisedFlag() { m_flag = false; }
    RaisedFlag(const RaisedFlag&) = delete;
    RaisedFlag& operator=(const RaisedFlag&) = delete;

private:
    bool& m_flag;
};

// Takes the arrays out of the report window's hand-over when the report ends, so that nothing refers to
// them once they are gone. The report names the text filter it was collected under.
class HandOver {
public:
    HandOver(TDruckeErgebnisForm& window, const QString& filtertext) : m_window(window), m_data(window.report) {
        m_window.filtertext = filtertext;
    }
    ~HandOver() {
        m_window.releaseReport();
        ReportArrays::withdraw(m_data);
        m_window.filtertext.clear();
    }
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;
    ReportData& data() { return m_data; }

private:
    TDruckeErgebnisForm& m_window;
    ReportData& m_data;
};

// "Konto auswählen": the list rebuilt from the accounts table, the first item selected. The chosen
// number, or none when the dialog was closed without OK.
std::optional<int> chooseAccount(QWidget* mainWindow, TKontoAuswaehlenForm* dialog, DbfTable& accounts) {
    dialog->setAccounts(EntryLookups::accountEntries(accounts));
    const int result = dialog->exec();
    mainWindow->activateWindow();
    if (result != QDialog::Accepted) return std::nullopt;
    // An empty list has no selection: the walk finds no row and the number is 0.
    return EntryLookups::accountNrAt(accounts, dialog->chosenIndex());
}

int showReport(QWidget* mainWindow, TDruckeErgebnisForm& window) {
    const int result = window.showReport();
    mainWindow->activateWindow();
    return result;
}

// Journals from this size take a noticeable time (about 0.2 s) to collect a list report.
constexpr int kReportProgressFromRows = 200000;

// The family of list reports: optional account choice, optional opening balance, collection, date sort.
// `accounts` is the table to choose from, or none for the reports without an account.
struct ListReportCommand {
    TMainForm& form;
    const MainDialogs& dialogs;
    JournalFilter& filter;

    void run(ListKind kind, DbfTable* accounts) {
        DbfTable& bookings = form.tables().Dbf1;
        if (!bookings.Active()) return;
        int nr = 0;
        if (accounts) {
            const std::optional<int> chosen = chooseAccount(&form, dialogs.KontoAuswaehlenForm, *accounts);
            if (!chosen) return;
            nr = *chosen;
        }
        form.postPendingEdits();
        ReportArrays arrays;
        HandOver handOver(*dialogs.DruckeErgebnisForm, form.journalFilter().text);
        ListReport::Request request;
        request.kind = kind;
        request.zeitraum = form.period();
        request.nr = nr;
        if (accounts) request.name = EntryLookups::findKonto(*accounts, nr);
        request.anfangsbestand = form.anfangsbestand;
        {
            const WaitCursor wait;
            const DetachedView detached = form.detachJournalViews();
            // A long journal shows how far the report has come and can be stopped; the window keeps painting.
            const auto progress = bookings.RecordCount() > kReportProgressFromRows
                                      ? ProgressWindow::make(&form, QStringLiteral("Die Auswertung wird erstellt..."))
                                      : nullptr;
            if (!ListReport::build(bookings, &filter, request, arrays, handOver.data(),
                                   ProgressWindow::step(progress.get())))
                return;
        }
        showReport(&form, *dialogs.DruckeErgebnisForm);
    }
};

}  // namespace

void TMainForm::Gesamtergebnis1Click() {
    if (!m_tables.Dbf1.Active()) return;
    postPendingEdits();
    ReportArrays arrays;
    HandOver handOver(*m_dialogs.DruckeErgebnisForm, journalFilter().text);
    const Zeitraum zeitraum = period();
    {
        const WaitCursor wait;
        const DetachedView detached = detachJournalViews();
        TotalResult::build(m_tables.Dbf1, zeitraum, arrays, handOver.data());
    }
    showReport(this, *m_dialogs.DruckeErgebnisForm);
}

void TMainForm::Ausgabenliste1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Ausgabenliste, nullptr);
}
void TMainForm::Einnahmenliste1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Einnahmenliste, nullptr);
}
void TMainForm::Ausgabenkontoeinzeln1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Ausgabenkonto, &m_tables.AusgabeKonten);
}
void TMainForm::Einnahmekontoeinzeln1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Einnahmekonto, &m_tables.EinnahmeKonten);
}
void TMainForm::Sammelkontoeinzeln1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Sammelkonto, &m_tables.Sammelkonten);
}
void TMainForm::SammelkontomitAnfangsbestandeinzeln1Click() {
    const RaisedFlag flag(anfangsbestand);
    Sammelkontoeinzeln1Click();
}
void TMainForm::Kostenstelleeinzeln1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::Kostenstelle, &m_tables.kostenkonten);
}
void TMainForm::Kostenstelleeinzeln2Click() {
    const RaisedFlag flag(anfangsbestand);
    Kostenstelleeinzeln1Click();
}
void TMainForm::ListeallerBuchungen1Click() {
    ListReportCommand{*this, m_dialogs, *m_filter}.run(ListKind::AlleBuchungen, nullptr);
}
void TMainForm::ListeallerBuchungenmitAnfangsbestand1Click() {
    const RaisedFlag flag(anfangsbestand);
    ListeallerBuchungen1Click();
}
