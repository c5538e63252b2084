// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "journal/AmountFormat.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "journal/JournalTotals.h"
#include "journal/Period.h"
#include "journal/Posting.h"
#include "journal/VatSummary.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/DataFolder.h"
#include "startup/DataFolderLock.h"
#include "storage/DayNumber.h"
#include "storage/LocaleFormat.h"
#include "storage/StorageError.h"
#include "ui/AdminMenuFUnit.h"
#include "ui/AmountField.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DateField.h"
#include "ui/DauerFUnit.h"
#include "ui/EinstellungenFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/FormStorage.h"
#include "ui/InfoFUnit.h"
#include "ui/MainUnit.h"
#include "ui/MandatenNrFUnit.h"
#include "ui/NumberFieldLink.h"
#include "ui/UiMessages.h"
#include "ui/WaehrungFUnit.h"
#include "ui/WaitCursor.h"

namespace {

// Rebuilds a selection list from a master table. A table that could not be opened gives an empty list
// (the user was told about the file at start).
template <typename Entries>
void refill(QComboBox* combo, DbfTable& table, Entries entries, bool boundIndex) {
    const int remembered = combo->currentIndex();
    const QSignalBlocker block(combo);
    combo->setUpdatesEnabled(false);
    combo->clear();
    if (table.Active()) combo->addItems(entries(table));
    combo->setCurrentIndex(boundIndex ? EntryLookups::boundedIndex(remembered, combo->count())
                                      : EntryLookups::unboundedIndex(remembered, combo->count()));
    combo->setUpdatesEnabled(true);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Entry lookups

void TMainForm::FillCombos() {
    refill(MwStEd, m_tables.MwstSaetze, EntryLookups::vatEntries, false);
    {
        // The typed booking text survives the rebuild of its list.
        const QString typed = BuchTextEd->currentText();
        const QSignalBlocker block(BuchTextEd);
        BuchTextEd->clear();
        if (m_tables.buchungstexte.Active()) BuchTextEd->addItems(EntryLookups::textEntries(m_tables.buchungstexte));
        BuchTextEd->setCurrentIndex(-1);
        BuchTextEd->setEditText(typed);
    }
    refill(SammelKontoEd, m_tables.Sammelkonten, EntryLookups::accountEntries, true);
    refill(KostenKontoEd, m_tables.kostenkonten, EntryLookups::accountEntries, true);
    refill(EAKontoEd, RadioButton1->isChecked() ? m_tables.EinnahmeKonten : m_tables.AusgabeKonten,
           EntryLookups::accountEntries, true);
    // The number fields show what their rebuilt lists have selected.
    for (NumberFieldLink* link : {m_rateLink, m_kontoLink, m_sammelLink, m_kostenLink}) link->followList();
    FindMaxBel();
}

static void selectRowOf(QComboBox* list, int row) {
    if (row >= 0) list->setCurrentIndex(row);
}

void TMainForm::KontoNrEdChange() {
    DbfTable& accounts = RadioButton1->isChecked() ? m_tables.EinnahmeKonten : m_tables.AusgabeKonten;
    if (accounts.Active()) selectRowOf(EAKontoEd, EntryLookups::rowOfAccount(accounts, KontoNrEd->value()));
}

void TMainForm::SammelKontoNrEDChange() {
    if (m_tables.Sammelkonten.Active())
        selectRowOf(SammelKontoEd, EntryLookups::rowOfAccount(m_tables.Sammelkonten, SammelKontoNrED->value()));
}

void TMainForm::KostenKontoNrEDChange() {
    if (m_tables.kostenkonten.Active())
        selectRowOf(KostenKontoEd, EntryLookups::rowOfAccount(m_tables.kostenkonten, KostenKontoNrED->value()));
}

void TMainForm::MwstZahlEdChange() {
    if (m_tables.MwstSaetze.Active())
        selectRowOf(MwStEd, EntryLookups::rowOfRate(m_tables.MwstSaetze, MwstZahlEd->value()));
}

void TMainForm::ShowEingabeFeldSammel() {
    Panel3->setVisible(ZeigeEingabefeldfrSammelkonto1->isChecked());
    Panel4->setVisible(ZeigeEingabefeldfrKostenstelle1->isChecked());
}

// ---------------------------------------------------------------------------------------------
// Posting

void TMainForm::BruttoEdChange() {
    if (!BruttoEd->hasAmount()) {
        NettoLabel->clear();  // nothing to split until the text is an amount again
        return;
    }
    const double rate =
        m_tables.MwstSaetze.Active() ? EntryLookups::rateAt(m_tables.MwstSaetze, MwStEd->currentIndex()) : 0.0;
    NettoLabel->setText(nettoPreview(BruttoEd->value(), rate));
}

void TMainForm::MwStEdChange() {
    BruttoEdChange();
}

void TMainForm::AutobelCheckClick() {
    if (AutobelCheck->isChecked()) FindMaxBel();
}

void TMainForm::FindMaxBel() {
    if (!AutobelCheck->isChecked() || !m_tables.Dbf1.Active()) return;
    BelegEd->setText(QString::number(receiptProposal()));
}

// Refuses the entry in a field that does not hold what it must: the message says why, the field gets
// the focus with its text selected for correction, and nothing is posted.
static void refuseEntry(QWidget* window, QLineEdit* field, const QString& message) {
    UiMessages::showWarning(window, message);
    window->activateWindow();  // also where no window manager hands the focus back after the box
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void TMainForm::BuchenBtnClick() {
    const DateInput::Result date = DateTimePicker1->typedDate();
    if (!date.ok()) {
        refuseEntry(this, DateTimePicker1, DateTimePicker1->message());
        return;
    }
    const std::optional<double> brutto = BruttoEd->typedValue();
    if (!brutto) {
        refuseEntry(this, BruttoEd, BruttoEd->message());
        return;
    }
    DateTimePicker1->setDate(date.date);
    BookingEntry entry;
    entry.datum = DayNumber::fromDate(date.date);
    entry.einnahme = RadioButton1->isChecked();
    entry.neutral = NeutralBuchenCheck->isChecked();
    entry.beleg = BelegEd->text();
    entry.text = BuchTextEd->currentText();
    entry.brutto = *brutto;
    entry.mwstIndex = MwStEd->currentIndex();
    entry.kontoIndex = EAKontoEd->currentIndex();
    entry.sammelShown = ZeigeEingabefeldfrSammelkonto1->isChecked();
    entry.sammelIndex = SammelKontoEd->currentIndex();
    entry.kostenShown = ZeigeEingabefeldfrKostenstelle1->isChecked();
    entry.kostenIndex = KostenKontoEd->currentIndex();

    DBGrid1->commitEditor();
    std::optional<audit::LogNote> receiptNote = receiptOverrideNote(entry.beleg);
    postBooking(m_tables.Dbf1, m_tables.MwstSaetze, m_tables.EinnahmeKonten, m_tables.AusgabeKonten,
                m_tables.Sammelkonten, m_tables.kostenkonten, entry);
    if (receiptNote && logNotes()) {
        receiptNote->record = m_tables.Dbf1.physicalRecordCount() - 1;  // the record just appended
        logNotes()->note(*receiptNote);
    }

    BelegEd->clear();
    BuchTextEd->setEditText(QString());
    BruttoEd->setValue(0);
    BruttoEdChange();
    FindMaxBel();
    BuchTextEd->setFocus();
    calcMwst();
}

// ---------------------------------------------------------------------------------------------
// Period and VAT summary

int TMainForm::checkedPeriod() const {
    for (int i = 0; i < 19; ++i) {
        if (periodItems[i]->isChecked()) return i;
    }
    return -1;
}

void TMainForm::CalcZeitraum() {
    const int item = checkedPeriod();
    if (item < 0) return;
    const Zeitraum z = ::CalcZeitraum(static_cast<PeriodItem>(item), JahrEd->value());
    m_vondatum = z.vondatum;
    m_bisdatum = z.bisdatum;
}

void TMainForm::Dezember1Click(QAction* sender) {
    const WaitCursor wait;
    sender->setChecked(true);
    CalcZeitraum();
    if (FilternnachZeitraum1->isChecked() && m_tables.Dbf1.Active())
        m_filter->periodChanged(m_tables.Dbf1, Zeitraum{m_vondatum, m_bisdatum});
    calcMwst();
}

void TMainForm::FilternnachZeitraum1Click() {
    const WaitCursor wait;
    // The action has already inverted its check mark.
    CalcZeitraum();
    m_filter->setZeitraum(Zeitraum{m_vondatum, m_bisdatum});
    m_filter->FilternnachZeitraumToggled(m_tables.Dbf1, FilternnachZeitraum1->isChecked(), FilterEd->text());
}

void TMainForm::calcMwst() {
    m_vatDirty = false;
    CalcZeitraum();
    if (!m_tables.Dbf1.Active()) return;
    // Kept up to date booking by booking; a new period or filter is summed afresh here.
    m_totals->setZeitraum(Zeitraum{m_vondatum, m_bisdatum});
    const VatSums sums = m_totals->vatSums();
    const QString currency = m_dialogs.WaehrungForm->currency();
    MwStLabel->setText(mwstLabelText(sums, currency));
    VorsteuerLabel->setText(vorsteuerLabelText(sums, currency));
    AbfuhrEd->setText(abfuehrenLabelText(sums, currency));
    fitSummaryLines();
}

void TMainForm::fitSummaryLines() {
    // As wide as their text: large amounts are never cut.
    for (QLabel* line : {MwStLabel, VorsteuerLabel, AbfuhrEd}) line->resize(line->sizeHint().width(), 16);
}

void TMainForm::scheduleVatRecompute() {
    m_vatDirty = true;
    if (m_vatScheduled) return;
    m_vatScheduled = true;
    // Not from inside the table's notification: the recompute walks the table.
    QTimer::singleShot(0, this, [this] {
        m_vatScheduled = false;
        if (!m_tables.Dbf1.Active() || m_tables.Dbf1.state() != DbfTable::State::Browse) return;
        if (m_vatDirty) calcMwst();
        if (m_bookingsDirty) {
            m_bookingsDirty = false;
            emit bookingsChanged();
        }
    });
}

void TMainForm::bookingsTouched() {
    m_bookingsDirty = true;
    scheduleVatRecompute();
}

void TMainForm::rowInserted(int) {
    bookingsTouched();
}
void TMainForm::rowRemoved(int) {
    bookingsTouched();
}
void TMainForm::rowChanged(int) {
    bookingsTouched();
}
void TMainForm::rowMoved(int, int) {
    bookingsTouched();
}

// A record inserted through the grid or the navigator is posted with a cursor notification only; the
// recompute its insertion asked for waits until the table is back to browsing.
void TMainForm::cursorChanged() {
    if ((m_vatDirty || m_bookingsDirty) && m_tables.Dbf1.Active() && m_tables.Dbf1.state() == DbfTable::State::Browse)
        scheduleVatRecompute();
}

// ---------------------------------------------------------------------------------------------
// Journal

void TMainForm::FilterbtnClick() {
    if (!m_tables.Dbf1.Active()) return;
    const WaitCursor wait;
    DBGrid1->commitEditor();
    m_filter->setZeitraum(Zeitraum{m_vondatum, m_bisdatum});
    m_filter->FilterbtnClick(m_tables.Dbf1, FilterEd->text());
}

void TMainForm::AllezeigenBtnClick() {
    if (!m_tables.Dbf1.Active()) return;
    const WaitCursor wait;
    DBGrid1->commitEditor();
    m_filter->setZeitraum(Zeitraum{m_vondatum, m_bisdatum});
    m_filter->AllezeigenBtnClick(m_tables.Dbf1);
}

void TMainForm::DBGrid1TitleClick(int column) {
    if (!m_tables.Dbf1.Active()) return;
    const WaitCursor wait;
    m_model->sortByColumn(column);
}
