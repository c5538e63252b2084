// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>
#include <optional>

#include "journal/DetachedView.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "reports/data/ListReport.h"
#include "reports/data/ReportArrays.h"
#include "reports/data/TotalResult.h"
#include "ui/AppForms.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"
#include "ui/MainUnit.h"
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

// The journal's text filter as the user typed it ("müller"), while it is in effect; the filter itself
// holds it upper-cased. Empty without a text filter.
QString shownFilter(const TMainForm& form) {
    const QString held = form.filtertext();
    if (held.isEmpty()) return QString();
    const QString typed = form.FilterEd ? form.FilterEd->text() : QString();
    return JournalFilter::asciiUpper(typed) == held ? typed : held;
}

// Takes the arrays out of the report window's hand-over when the report ends, so that nothing refers to
// them once they are gone. The report names the text filter it was collected under.
class HandOver {
public:
    explicit HandOver(const TMainForm& form) : m_data(appForms().DruckeErgebnisForm->report) {
        appForms().DruckeErgebnisForm->filtertext = shownFilter(form);
    }
    ~HandOver() {
        ReportArrays::withdraw(m_data);
        appForms().DruckeErgebnisForm->filtertext.clear();
    }
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;
    ReportData& data() { return m_data; }

private:
    ReportData& m_data;
};

// "Konto auswählen": the list rebuilt from the accounts table, the first item selected. The chosen
// number, or none when the dialog was closed without OK.
std::optional<int> chooseAccount(QWidget* mainWindow, DbfTable& accounts) {
    TKontoAuswaehlenForm* dialog = appForms().KontoAuswaehlenForm;
    QComboBox* list = dialog->EAKontoEd;
    const QStringList items = EntryLookups::accountEntries(accounts);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(items.isEmpty() ? -1 : 0);
    list->setUpdatesEnabled(true);
    const int result = dialog->exec();
    mainWindow->activateWindow();
    if (result != QDialog::Accepted) return std::nullopt;
    // An empty list has no selection: the walk finds no row and the number is 0.
    return EntryLookups::accountNrAt(accounts, list->currentIndex());
}

int showReport(QWidget* mainWindow) {
    const int result = appForms().DruckeErgebnisForm->showReport();
    mainWindow->activateWindow();
    return result;
}

// The family of list reports: optional account choice, optional opening balance, collection, date sort.
// `accounts` is the table to choose from, or none for the reports without an account.
struct ListReportCommand {
    TMainForm& form;
    DbfTable& bookings;
    JournalFilter& filter;

    void run(ListKind kind, DbfTable* accounts) {
        if (!bookings.Active()) return;
        int nr = 0;
        if (accounts) {
            const std::optional<int> chosen = chooseAccount(&form, *accounts);
            if (!chosen) return;
            nr = *chosen;
        }
        form.postPendingEdits();
        ReportArrays arrays;
        HandOver handOver(form);
        form.CalcZeitraum();
        ListReport::Request request;
        request.kind = kind;
        request.zeitraum = Zeitraum{form.vondatum(), form.bisdatum()};
        request.nr = nr;
        if (accounts) request.name = EntryLookups::findKonto(*accounts, nr);
        request.anfangsbestand = form.anfangsbestand;
        {
            const WaitCursor wait;
            const DetachedView detached = form.detachJournalViews();
            ListReport::build(bookings, &filter, request, arrays, handOver.data());
        }
        showReport(&form);
    }
};

}  // namespace

void TMainForm::Gesamtergebnis1Click() {
    if (!m_tables.Dbf1.Active()) return;
    postPendingEdits();
    ReportArrays arrays;
    HandOver handOver(*this);
    CalcZeitraum();
    {
        const WaitCursor wait;
        const DetachedView detached = detachJournalViews();
        TotalResult::build(m_tables.Dbf1, Zeitraum{m_vondatum, m_bisdatum}, arrays, handOver.data());
    }
    showReport(this);
}

void TMainForm::Ausgabenliste1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Ausgabenliste, nullptr);
}
void TMainForm::Einnahmenliste1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Einnahmenliste, nullptr);
}
void TMainForm::Ausgabenkontoeinzeln1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Ausgabenkonto, &m_tables.AusgabeKonten);
}
void TMainForm::Einnahmekontoeinzeln1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Einnahmekonto, &m_tables.EinnahmeKonten);
}
void TMainForm::Sammelkontoeinzeln1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Sammelkonto, &m_tables.Sammelkonten);
}
void TMainForm::SammelkontomitAnfangsbestandeinzeln1Click() {
    const RaisedFlag flag(anfangsbestand);
    Sammelkontoeinzeln1Click();
}
void TMainForm::Kostenstelleeinzeln1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::Kostenstelle, &m_tables.kostenkonten);
}
void TMainForm::Kostenstelleeinzeln2Click() {
    const RaisedFlag flag(anfangsbestand);
    Kostenstelleeinzeln1Click();
}
void TMainForm::ListeallerBuchungen1Click() {
    ListReportCommand{*this, m_tables.Dbf1, *m_filter}.run(ListKind::AlleBuchungen, nullptr);
}
void TMainForm::ListeallerBuchungenmitAnfangsbestand1Click() {
    const RaisedFlag flag(anfangsbestand);
    ListeallerBuchungen1Click();
}
