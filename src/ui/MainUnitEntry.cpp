// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "journal/JournalFilter.h"
#include "ui/MainUnit.h"

// The main window as other windows use it: the entry panel's value, the period and the filter state.

EntryValue TMainForm::entryValue() const {
    EntryValue value;
    value.datum = DateTimePicker1->date();
    value.einnahme = RadioButton1->isChecked();
    value.beleg = BelegEd->text();
    value.text = BuchTextEd->currentText();
    value.brutto = BruttoEd->value();
    value.mwst = MwstZahlEd->value();
    value.konto = KontoNrEd->value();
    value.sammelkonto = SammelKontoNrED->value();
    value.kostenstelle = KostenKontoNrED->value();
    value.neutral = NeutralBuchenCheck->isChecked();
    return value;
}

void TMainForm::fillEntry(const EntryValue& value) {
    const EntryValue now = entryValue();
    // The kind first: choosing the other kind rebuilds the account list and the receipt proposal.
    const bool otherKind = value.einnahme != now.einnahme;
    if (otherKind) (value.einnahme ? RadioButton1 : RadioButton2)->setChecked(true);
    if (value.datum != now.datum) DateTimePicker1->setDate(value.datum);
    if (value.neutral != now.neutral) NeutralBuchenCheck->setChecked(value.neutral);
    if (value.beleg != now.beleg) BelegEd->setText(value.beleg);
    if (value.text != now.text) BuchTextEd->setEditText(value.text);
    // An amount field whose text is no amount takes the value, as if it differed.
    if (value.brutto != now.brutto || !BruttoEd->hasAmount()) BruttoEd->setValue(value.brutto);
    if (value.mwst != now.mwst || !MwstZahlEd->hasAmount()) {
        MwstZahlEd->setValue(value.mwst);
        MwstZahlEdChange();
    }
    if (otherKind || value.konto != now.konto) {
        KontoNrEd->setValue(value.konto);
        KontoNrEdChange();
    }
    if (value.sammelkonto != now.sammelkonto) {
        SammelKontoNrED->setValue(value.sammelkonto);
        SammelKontoNrEDChange();
    }
    if (value.kostenstelle != now.kostenstelle) {
        KostenKontoNrED->setValue(value.kostenstelle);
        KostenKontoNrEDChange();
    }
}

Zeitraum TMainForm::period() const {
    const int item = checkedPeriod();
    if (item < 0) return Zeitraum{m_vondatum, m_bisdatum};
    return ::CalcZeitraum(static_cast<PeriodItem>(item), JahrEd->value());
}

TMainForm::FilterState TMainForm::journalFilter() const {
    FilterState state;
    state.periodFilter = m_filter->periodFilter();
    // The filter holds the text upper-cased; the user's own spelling is named while it is the same text.
    const QString held = m_filter->filtertext();
    if (held.isEmpty()) return state;
    const QString typed = FilterEd->text();
    state.text = JournalFilter::asciiUpper(typed) == held ? typed : held;
    return state;
}
