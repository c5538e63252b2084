// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QWidget>
#include <gtest/gtest.h>

#include "journal/Period.h"
#include "ui/AmountField.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DateField.h"

namespace uitest {

// The controls and commands of the main window, found by their object names as the user knows them
// (the window keeps them to itself). A name that is missing fails the test.
struct MainControls {
    explicit MainControls(const QObject& form) {
        JahrEd = find<QSpinBox>(form, QStringLiteral("JahrEd"));
        RadioButton1 = find<QRadioButton>(form, QStringLiteral("RadioButton1"));
        RadioButton2 = find<QRadioButton>(form, QStringLiteral("RadioButton2"));
        DateTimePicker1 = find<DateField>(form, QStringLiteral("DateTimePicker1"));
        BelegEd = find<QLineEdit>(form, QStringLiteral("BelegEd"));
        BuchTextEd = find<QComboBox>(form, QStringLiteral("BuchTextEd"));
        BruttoEd = find<AmountField>(form, QStringLiteral("BruttoEd"));
        NettoLabel = find<QLabel>(form, QStringLiteral("NettoLabel"));
        MwStEd = find<QComboBox>(form, QStringLiteral("MwStEd"));
        EAKontoEd = find<QComboBox>(form, QStringLiteral("EAKontoEd"));
        BuchenBtn = find<QPushButton>(form, QStringLiteral("BuchenBtn"));
        KontoNrEd = find<QSpinBox>(form, QStringLiteral("KontoNrEd"));
        MwstZahlEd = find<AmountField>(form, QStringLiteral("MwstZahlEd"));
        AutobelCheck = find<QCheckBox>(form, QStringLiteral("AutobelCheck"));
        DauerBtn = find<QPushButton>(form, QStringLiteral("DauerBtn"));
        NeutralBuchenCheck = find<QCheckBox>(form, QStringLiteral("NeutralBuchenCheck"));
        MwStLabel = find<QLabel>(form, QStringLiteral("MwStLabel"));
        VorsteuerLabel = find<QLabel>(form, QStringLiteral("VorsteuerLabel"));
        AbfuhrEd = find<QLabel>(form, QStringLiteral("AbfuhrEd"));
        Panel3 = find<QWidget>(form, QStringLiteral("Panel3"));
        SammelKontoEd = find<QComboBox>(form, QStringLiteral("SammelKontoEd"));
        SammelKontoNrED = find<QSpinBox>(form, QStringLiteral("SammelKontoNrED"));
        Panel4 = find<QWidget>(form, QStringLiteral("Panel4"));
        KostenKontoEd = find<QComboBox>(form, QStringLiteral("KostenKontoEd"));
        KostenKontoNrED = find<QSpinBox>(form, QStringLiteral("KostenKontoNrED"));
        Panel1 = find<QWidget>(form, QStringLiteral("Panel1"));
        Panel2 = find<QWidget>(form, QStringLiteral("Panel2"));
        DBNavigator1 = find<DBNavigator>(form, QStringLiteral("DBNavigator1"));
        FilterEd = find<QLineEdit>(form, QStringLiteral("FilterEd"));
        Filterbtn = find<QPushButton>(form, QStringLiteral("Filterbtn"));
        AllezeigenBtn = find<QPushButton>(form, QStringLiteral("AllezeigenBtn"));
        DBGrid1 = find<DBGrid>(form, QStringLiteral("DBGrid1"));
        ExportierenalsCSVDatei1 = find<QAction>(form, QStringLiteral("ExportierenalsCSVDatei1"));
        ImportierenausCSVDatei1 = find<QAction>(form, QStringLiteral("ImportierenausCSVDatei1"));
        Kontoauszugbernehmen1 = find<QAction>(form, QStringLiteral("Kontoauszugbernehmen1"));
        Druckereinrichten1 = find<QAction>(form, QStringLiteral("Druckereinrichten1"));
        Datensatzdrucken1 = find<QAction>(form, QStringLiteral("Datensatzdrucken1"));
        AlleDatenstzedrucken1 = find<QAction>(form, QStringLiteral("AlleDatenstzedrucken1"));
        Beenden1 = find<QAction>(form, QStringLiteral("Beenden1"));
        ZeigeEingabefeldfrSammelkonto1 = find<QAction>(form, QStringLiteral("ZeigeEingabefeldfrSammelkonto1"));
        ZeigeEingabefeldfrKostenstelle1 = find<QAction>(form, QStringLiteral("ZeigeEingabefeldfrKostenstelle1"));
        FilternnachZeitraum1 = find<QAction>(form, QStringLiteral("FilternnachZeitraum1"));
        AktuellenMonatbeimffnenvoreinstellen1 = find<QAction>(form, QStringLiteral("AktuellenMonatbeimffnenvoreinstellen1"));
        ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1 = find<QAction>(form, QStringLiteral("ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1"));
        EinstellungeninneuesJahrbertragen1 = find<QAction>(form, QStringLiteral("EinstellungeninneuesJahrbertragen1"));
        FreieMandantennummersetzen1 = find<QAction>(form, QStringLiteral("FreieMandantennummersetzen1"));
        AdminOptionen1 = find<QAction>(form, QStringLiteral("AdminOptionen1"));
        ber1 = find<QAction>(form, QStringLiteral("ber1"));
        for (int i = 0; i < 19; ++i)
            periodItems[i] = find<QAction>(form, periodComponentName(static_cast<PeriodItem>(i)));
        for (int n = 1; n <= 10; ++n) Mandant[n - 1] = find<QAction>(form, QStringLiteral("Mandant%11").arg(n));
    }

    QSpinBox* JahrEd = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    DateField* DateTimePicker1 = nullptr;
    QLineEdit* BelegEd = nullptr;
    QComboBox* BuchTextEd = nullptr;
    AmountField* BruttoEd = nullptr;
    QLabel* NettoLabel = nullptr;
    QComboBox* MwStEd = nullptr;
    QComboBox* EAKontoEd = nullptr;
    QPushButton* BuchenBtn = nullptr;
    QSpinBox* KontoNrEd = nullptr;
    AmountField* MwstZahlEd = nullptr;
    QCheckBox* AutobelCheck = nullptr;
    QPushButton* DauerBtn = nullptr;
    QCheckBox* NeutralBuchenCheck = nullptr;
    QLabel* MwStLabel = nullptr;
    QLabel* VorsteuerLabel = nullptr;
    QLabel* AbfuhrEd = nullptr;
    QWidget* Panel3 = nullptr;
    QComboBox* SammelKontoEd = nullptr;
    QSpinBox* SammelKontoNrED = nullptr;
    QWidget* Panel4 = nullptr;
    QComboBox* KostenKontoEd = nullptr;
    QSpinBox* KostenKontoNrED = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QLineEdit* FilterEd = nullptr;
    QPushButton* Filterbtn = nullptr;
    QPushButton* AllezeigenBtn = nullptr;
    DBGrid* DBGrid1 = nullptr;
    QAction* ExportierenalsCSVDatei1 = nullptr;
    QAction* ImportierenausCSVDatei1 = nullptr;
    QAction* Kontoauszugbernehmen1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Datensatzdrucken1 = nullptr;
    QAction* AlleDatenstzedrucken1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* ZeigeEingabefeldfrSammelkonto1 = nullptr;
    QAction* ZeigeEingabefeldfrKostenstelle1 = nullptr;
    QAction* periodItems[19] = {};
    QAction* FilternnachZeitraum1 = nullptr;
    QAction* AktuellenMonatbeimffnenvoreinstellen1 = nullptr;
    QAction* ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1 = nullptr;
    QAction* EinstellungeninneuesJahrbertragen1 = nullptr;
    QAction* Mandant[10] = {};
    QAction* FreieMandantennummersetzen1 = nullptr;
    QAction* AdminOptionen1 = nullptr;
    QAction* ber1 = nullptr;

private:
    // The main window's own part: the dialogs are its children too and reuse some names.
    template <typename T>
    static T* find(const QObject& form, const QString& name) {
        for (T* part : form.findChildren<T*>(name)) {
            const QObject* owner = part->parent();
            while (owner && owner != &form && !qobject_cast<const QDialog*>(owner)) owner = owner->parent();
            if (owner == &form) return part;
        }
        ADD_FAILURE() << "no control named " << name.toStdString();
        return nullptr;
    }
};

inline MainControls controls(const QObject& form) {
    return MainControls(form);
}
inline MainControls controls(const QObject* form) {
    return MainControls(*form);
}

}  // namespace uitest
