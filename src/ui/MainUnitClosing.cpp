// SPDX-License-Identifier: GPL-3.0-or-later
// Closed periods, cancellations and receipt numbers of the main window.
#include <QAction>
#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

#include "audit/Cancellation.h"
#include "audit/LogNotes.h"
#include "audit/PeriodClosing.h"
#include "audit/ReceiptNumbers.h"
#include "journal/DateInput.h"
#include "journal/DetachedView.h"
#include "journal/JournalTotals.h"
#include "ui/DBGrid.h"
#include "ui/FestschreibenFUnit.h"
#include "ui/MainUnit.h"
#include "ui/UiMessages.h"

void TMainForm::buildClosingCommands(QMenu* datei, QMenu* admin) {
    Buchungstornieren1 = new QAction(QStringLiteral("Buchung stornieren..."), this);
    Buchungstornieren1->setObjectName(QStringLiteral("Buchungstornieren1"));
    connect(Buchungstornieren1, &QAction::triggered, this, [this] { Buchungstornieren1Click(); });
    (void)datei;  // placed by the caller among the file commands
    admin->addSeparator();
    Zeitraumfestschreiben1 = admin->addAction(QStringLiteral("Zeitraum festschreiben..."));
    Zeitraumfestschreiben1->setObjectName(QStringLiteral("Zeitraumfestschreiben1"));
    connect(Zeitraumfestschreiben1, &QAction::triggered, this, [this] { Zeitraumfestschreiben1Click(); });
    // The journal offers the cancellation on its context menu.
    DBGrid1->addAction(Buchungstornieren1);
    DBGrid1->setContextMenuPolicy(Qt::ActionsContextMenu);
    UiMessages::setRefusalOffer([this](QWidget* parent, const QString& text) { return offerCancellation(parent, text); });
}

void TMainForm::attachBookWitnesses() {
    detachBookWitnesses();
    m_receipts->clear();
    if (!m_tables.Dbf1.Active()) return;
    QString problem;
    try {
        m_closing->load(m_tables.folder(), m_openedMandant, m_openedYear);
    } catch (const std::exception& e) {
        problem = UiMessages::errorText(e);
    }
    try {
        m_receipts->load(m_tables.Dbf1);
    } catch (const QuorvelError&) {
        // The proposal then follows the journal alone, as the journal totals give it.
    }
    m_tables.Dbf1.addWitness(m_closing.get());
    m_tables.Dbf1.addWitness(m_receipts.get());
    if (!problem.isEmpty())
        UiMessages::showWarning(
            this, QStringLiteral("Die Festschreibung dieses Jahres konnte nicht gelesen werden; bis das behoben ist, "
                                 "gilt das ganze Jahr als festgeschrieben.\n%1")
                      .arg(problem));
}

void TMainForm::detachBookWitnesses() {
    m_tables.Dbf1.removeWitness(m_closing.get());
    m_tables.Dbf1.removeWitness(m_receipts.get());
}

qint64 TMainForm::receiptProposal() {
    // The numbers of all bookings of the year, also those the journal's filter hides.
    return std::max(m_totals->receiptProposal(), m_receipts->proposal());
}

// Asked before the booking is posted (afterwards the number is its own); noted once it is stored, with its
// record, so that a post that fails leaves no note behind.
std::optional<audit::LogNote> TMainForm::receiptOverrideNote(const QString& beleg) {
    if (!logNotes() || !AutobelCheck->isChecked() || !m_tables.Dbf1.Active()) return std::nullopt;
    return m_receipts->overrideNote(beleg, receiptProposal());
}

void TMainForm::Zeitraumfestschreiben1Click() {
    postPendingEdits();
    if (!m_tables.Dbf1.Active())
        throw QuorvelError(QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet; es wurde nichts festgeschrieben."));
    TFestschreibenForm dialog(this);
    dialog.setup(m_openedYear, m_closing->closedUntil(), m_closing->offeredDates(),
                 [this](const QDate& d) { return m_closing->refusal(d); });
    if (runModal(&dialog) != QDialog::Accepted) return;
    const QDate until = dialog.chosenDate();
    if (!UiMessages::askYesNo(this, QStringLiteral("Zeitraum festschreiben"), audit::PeriodClosing::question(until),
                              false))
        return;
    m_closing->close(until, QDate::currentDate(), logNotes());
    UiMessages::showInformation(
        this, QStringLiteral("Die Buchungen bis %1 sind festgeschrieben.").arg(DateInput::format(until)));
}

void TMainForm::Buchungstornieren1Click() {
    postPendingEdits();
    cancelAtCursor();
}

bool TMainForm::cancelAtCursor() {
    DbfTable& bookings = m_tables.Dbf1;
    if (!bookings.Active())
        throw QuorvelError(QStringLiteral("Die Buchungen dieses Jahres sind nicht geöffnet; es wurde nichts storniert."));
    const audit::BookingValues original = audit::Cancellation::current(bookings);
    if (audit::Cancellation::isCancelled(bookings, original) &&
        !UiMessages::askYesNo(this, QStringLiteral("Buchung stornieren"),
                              audit::Cancellation::twiceQuestion(original), false))
        return false;
    const audit::CancellationResult done =
        audit::Cancellation::cancelCurrent(bookings, *m_closing, *m_receipts, QDate::currentDate(), logNotes());
    FindMaxBel();
    calcMwst();
    statusBar()->showMessage(QStringLiteral("Storniert: Stornobuchung mit Beleg %1 vom %2 gebucht.")
                                 .arg(done.beleg, DateInput::format(done.datum)));
    return true;
}

// The box of a change the closing refused: besides OK ("Abbrechen") it offers to cancel the booking.
bool TMainForm::offerCancellation(QWidget* parent, const QString& text) {
    const QString refused = m_closing->lastRefusal();
    const int record = m_closing->lastRefusedRecord();
    if (refused.isEmpty() || record < 0 || !text.contains(refused)) return false;
    m_closing->forgetRefusal();
    QMessageBox box(QMessageBox::Warning, windowTitle(), text, QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("StornoAngebot"));
    box.setTextFormat(Qt::PlainText);
    QPushButton* storno = box.addButton(QStringLiteral("Stornieren"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() != storno) return true;
    DBGrid1->dropRetry();  // the edit is answered by the cancellation; the old value stays shown
    DbfTable& bookings = m_tables.Dbf1;
    UiMessages::guarded(this, [&] {
        if (bookings.state() != DbfTable::State::Browse) bookings.Cancel();
        if (bookings.physicalRecNo() != record) {
            int found = -1;
            {
                const DetachedView detached = detachJournalViews();
                for (int row = 0; row < bookings.RecordCount() && found < 0; ++row) {
                    bookings.setRecNo(row);
                    if (bookings.physicalRecNo() == record) found = row;
                }
            }
            if (found < 0)
                throw QuorvelError(QStringLiteral("Die Buchung steht nicht mehr im Journal; bitte wählen Sie sie dort "
                                                  "und stornieren Sie sie über „Buchung stornieren“."));
            bookings.setRecNo(found);
        }
        cancelAtCursor();
    });
    return true;
}
