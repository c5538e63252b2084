// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainUnit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDoubleSpinBox>
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
#include "journal/DetachedView.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "journal/Period.h"
#include "journal/Posting.h"
#include "journal/ReceiptProposal.h"
#include "journal/VatSummary.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/DataFolder.h"
#include "startup/DataFolderLock.h"
#include "storage/DayNumber.h"
#include "storage/LocaleFormat.h"
#include "storage/StorageError.h"
#include "ui/AdminMenuFUnit.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DauerFUnit.h"
#include "ui/EinstellungenFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/FormStorage.h"
#include "ui/InfoFUnit.h"
#include "ui/MandatenNrFUnit.h"
#include "ui/WaehrungFUnit.h"


void TMainForm::buildMenus() {
    auto action = [this](QMenu* menu, const QString& caption, const QString& name, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    auto noop = [] {};

    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    ExportierenalsCSVDatei1 = action(datei, QStringLiteral("Exportieren als CSV Datei..."), "ExportierenalsCSVDatei1",
                                     [this] { ExportierenalsCSV1Click(); });
    ImportierenausCSVDatei1 = action(datei, QStringLiteral("Importieren aus CSV Datei..."), "ImportierenausCSVDatei1",
                                     [this] { ImportierenausCSVDatei1Click(); });
    DatenexportfrdieBetriebsprfung1 =
        action(datei, QStringLiteral("Datenexport für die Betriebsprüfung..."), "DatenexportfrdieBetriebsprfung1",
               [this] { DatenexportfrdieBetriebsprfung1Click(); });
    ExportfrdenSteuerberaterDATEV1 =
        action(datei, QStringLiteral("Export für den Steuerberater (DATEV)..."), "ExportfrdenSteuerberaterDATEV1",
               [this] { ExportfrdenSteuerberaterDATEV1Click(); });
    Kontoauszugbernehmen1 = action(datei, QStringLiteral("Kontoauszug übernehmen..."), "Kontoauszugbernehmen1",
                                   [this] { Kontoauszugbernehmen1Click(); });
    datei->addSeparator();
    QMenu* admin = nullptr;  // filled below; the closing commands go into both menus
    const int stornoAt = int(datei->actions().size());
    Druckereinrichten1 = action(datei, QStringLiteral("Drucker einrichten..."), "Druckereinrichten1",
                                [this] { Druckereinrichten1Click(); });
    Datensatzdrucken1 =
        action(datei, QStringLiteral("Datensatz drucken"), "Datensatzdrucken1", [this] { Datensatzdrucken1Click(); });
    AlleDatenstzedrucken1 = action(datei, QStringLiteral("Alle Datensätze drucken"), "AlleDatenstzedrucken1",
                                   [this] { AlleDatenstzedrucken1Click(); });
    datei->addSeparator();
    Beenden1 = action(datei, QStringLiteral("Beenden"), "Beenden1", [this] { Beenden1Click(); });

    QMenu* ansicht = menuBar()->addMenu(QStringLiteral("&Ansicht"));
    ZeigeEingabefeldfrSammelkonto1 = action(ansicht, QStringLiteral("Zeige Eingabefeld für Sammelkonto"),
                                            "ZeigeEingabefeldfrSammelkonto1", [this] { ShowEingabeFeldSammel(); });
    ZeigeEingabefeldfrKostenstelle1 = action(ansicht, QStringLiteral("Zeige Eingabefeld für Kostenstelle"),
                                             "ZeigeEingabefeldfrKostenstelle1", [this] { ShowEingabeFeldSammel(); });
    ZeigeEingabefeldfrSammelkonto1->setCheckable(true);
    ZeigeEingabefeldfrKostenstelle1->setCheckable(true);

    QMenu* zeitraum = menuBar()->addMenu(QStringLiteral("&Zeitraum"));
    m_periodGroup = new QActionGroup(this);
    m_periodGroup->setExclusive(true);
    for (int i = 0; i < 19; ++i) {
        QAction* a = zeitraum->addAction(periodCaption(allPeriodItems[i]));
        a->setObjectName(periodComponentName(allPeriodItems[i]));
        a->setCheckable(true);
        m_periodGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] { Dezember1Click(a); });
        periodItems[i] = a;
    }
    periodItems[0]->setChecked(true);
    zeitraum->addSeparator();
    FilternnachZeitraum1 = action(zeitraum, QStringLiteral("Filtern nach Zeitraum"), "FilternnachZeitraum1",
                                  [this] { FilternnachZeitraum1Click(); });
    FilternnachZeitraum1->setCheckable(true);
    zeitraum->addSeparator();
    // The command only inverts its mark; the option takes effect at the next start.
    AktuellenMonatbeimffnenvoreinstellen1 =
        action(zeitraum, QStringLiteral("Aktuellen Monat beim Öffnen voreinstellen"),
               "AktuellenMonatbeimffnenvoreinstellen1", noop);
    AktuellenMonatbeimffnenvoreinstellen1->setCheckable(true);

    QMenu* auswertungen = menuBar()->addMenu(QStringLiteral("A&uswertungen"));
    struct ReportCommand {
        const char* caption;
        const char* name;
        void (TMainForm::*handler)();
    };
    const ReportCommand reports[] = {
        {"Gesamtergebnis...", "Gesamtergebnis1", &TMainForm::Gesamtergebnis1Click},
        {"Ausgabenliste...", "Ausgabenliste1", &TMainForm::Ausgabenliste1Click},
        {"Einnahmenliste...", "Einnahmenliste1", &TMainForm::Einnahmenliste1Click},
        {nullptr, nullptr, nullptr},
        {"Ausgabenkonto (einzeln)...", "Ausgabenkontoeinzeln1", &TMainForm::Ausgabenkontoeinzeln1Click},
        {"Einnahmekonto (einzeln)...", "Einnahmekontoeinzeln1", &TMainForm::Einnahmekontoeinzeln1Click},
        {"Sammelkonto (einzeln)...", "Sammelkontoeinzeln1", &TMainForm::Sammelkontoeinzeln1Click},
        {"Sammelkonto mit Anfangsbestand (einzeln)...", "SammelkontomitAnfangsbestandeinzeln1",
         &TMainForm::SammelkontomitAnfangsbestandeinzeln1Click},
        {"Kostenstelle (einzeln)...", "Kostenstelleeinzeln1", &TMainForm::Kostenstelleeinzeln1Click},
        {"Kostenstelle mit Anfangsbestand (einzeln)...", "Kostenstelleeinzeln2", &TMainForm::Kostenstelleeinzeln2Click},
        {nullptr, nullptr, nullptr},
        {"Liste aller Buchungen...", "ListeallerBuchungen1", &TMainForm::ListeallerBuchungen1Click},
        {"Liste aller Buchungen mit Anfangsbestand...", "ListeallerBuchungenmitAnfangsbestand1",
         &TMainForm::ListeallerBuchungenmitAnfangsbestand1Click},
        {nullptr, nullptr, nullptr},
        {"Umsatzsteuer-Voranmeldung...", "UmsatzsteuerVoranmeldung1", &TMainForm::UmsatzsteuerVoranmeldung1Click},
        {"Anlage EÜR...", "AnlageER1", &TMainForm::AnlageER1Click},
    };
    for (const auto& [caption, name, handler] : reports) {
        if (!caption) {
            auswertungen->addSeparator();
            continue;
        }
        action(auswertungen, QString::fromUtf8(caption), QLatin1String(name), [this, handler] { (this->*handler)(); });
    }

    QMenu* einstellungen = menuBar()->addMenu(QStringLiteral("&Einstellungen"));
    action(einstellungen, QStringLiteral("Einnahmearten..."), "Einnahmekonten1",
           [this] { Einstellungen(m_tables.EinnahmeKonten); });
    action(einstellungen, QStringLiteral("Ausgabearten..."), "Ausgabearten1",
           [this] { Einstellungen(m_tables.AusgabeKonten); });
    action(einstellungen, QStringLiteral("MwSt-Sätze..."), "MwStStze1", [this] { Einstellungen(m_tables.MwstSaetze); });
    action(einstellungen, QStringLiteral("Buchungstexte..."), "Buchungstexte1",
           [this] { Einstellungen(m_tables.buchungstexte); });
    action(einstellungen, QStringLiteral("Währung einstellen..."), "Whrungeinstellen1",
           [this] { Whrungeinstellen1Click(); });
    action(einstellungen, QStringLiteral("Firmenangaben..."), "Firmenangaben1", [this] { Firmenangaben1Click(); });
    ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1 =
        action(einstellungen, QStringLiteral("Erste Zeile der CSV Datei mit Überschriften beim Import überlesen"),
               "ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1",
               [this] { ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1Click(); });
    ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1->setCheckable(true);
    action(einstellungen, QStringLiteral("Dauerbuchungen..."), "Dauerbuchungen1", [this] { Dauerbuchungen1Click(); });
    action(einstellungen, QStringLiteral("Sammelkonten..."), "Sammelkonten1",
           [this] { Einstellungen(m_tables.Sammelkonten); });
    action(einstellungen, QStringLiteral("Kostenstellen..."), "Kostenstellen1",
           [this] { Einstellungen(m_tables.kostenkonten); });
    action(einstellungen, QStringLiteral("Kontenzuordnung..."), "Kontenzuordnung1", [this] { Kontenzuordnung1Click(); });
    einstellungen->addSeparator();
    EinstellungeninneuesJahrbertragen1 =
        action(einstellungen, QStringLiteral("Einstellungen in neues Jahr übertragen..."),
               "EinstellungeninneuesJahrbertragen1", [this] { EinstellungeninneuesJahrbertragen1Click(); });

    admin = menuBar()->addMenu(QStringLiteral("Adm&in"));
    AdminOptionen1 =
        action(admin, QStringLiteral("Admin Menü..."), "AdminOptionen1", [this] { AdminOptionen1Click(); });
    admin->addSeparator();
    Protokollprfen1 =
        action(admin, QStringLiteral("Protokoll prüfen..."), "Protokollprfen1", [this] { Protokollprfen1Click(); });
    Protokollanzeigen1 = action(admin, QStringLiteral("Protokoll anzeigen..."), "Protokollanzeigen1",
                                [this] { Protokollanzeigen1Click(); });
    buildClosingCommands(datei, admin);
    datei->insertAction(datei->actions().value(stornoAt), Buchungstornieren1);

    QMenu* mandant = menuBar()->addMenu(QStringLiteral("&Mandant"));
    m_mandantGroup = new QActionGroup(this);
    m_mandantGroup->setExclusive(true);
    for (int n = 1; n <= 10; ++n) {
        QAction* a = mandant->addAction(QStringLiteral("Mandant %1").arg(n));
        a->setObjectName(QStringLiteral("Mandant%11").arg(n));
        a->setCheckable(true);
        m_mandantGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] {
            a->setChecked(true);
            SetMandant();
        });
        Mandant[n - 1] = a;
    }
    Mandant[0]->setChecked(true);
    m_lastMandantAction = Mandant[0];
    FreieMandantennummersetzen1 = mandant->addAction(QStringLiteral("Freie Mandantennummer setzen..."));
    FreieMandantennummersetzen1->setObjectName(QStringLiteral("FreieMandantennummersetzen1"));
    FreieMandantennummersetzen1->setCheckable(true);
    m_mandantGroup->addAction(FreieMandantennummersetzen1);
    connect(FreieMandantennummersetzen1, &QAction::triggered, this, [this] { FreieMandantennummersetzen1Click(); });

    ber1 = menuBar()->addAction(QStringLiteral("Über..."));
    ber1->setObjectName(QStringLiteral("ber1"));
    connect(ber1, &QAction::triggered, this, [this] { ber1Click(); });
}

