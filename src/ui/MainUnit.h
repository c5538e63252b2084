// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

#include "audit/LogNotes.h"
#include "journal/DetachedView.h"
#include "journal/Period.h"
#include "startup/TableSet.h"
#include "storage/TableObserver.h"
#include "ui/AmountField.h"
#include "ui/DateField.h"
#include "ui/EntryValue.h"
#include "ui/MainDialogs.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;
class DBGrid;
class DBNavigator;
class FormStorage;
class NumberFieldLink;
class JournalModel;
class JournalFilter;
class JournalTotals;
class DataFolderLock;
class TFirmenanschriftForm;
namespace audit {
class ChangeLog;
class LogNotes;
class PeriodClosing;
class ReceiptNumbers;
}  // namespace audit

// The main window: entry panel, optional rows, journal bar and journal grid. It owns the open table
// set and the run-time state (data folder, client, year, period, journal filter). Other windows use it
// through the entry panel's value, post(), the open tables, the period and the filter state, and hear of
// every change of the bookings through bookingsChanged(); its controls are its own (tests find them by
// their object names).
//
// The bookings table is observed so that the VAT summary follows every change the journal makes
// (edits, inserts and deletes in the grid or through the navigator), not only postings.
class TMainForm : public QMainWindow, private TableObserver {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    TableSet& tables() { return m_tables; }
    const QString& progpath() const { return m_progpath; }
    int mandantnr() const { return m_mandantnr; }
    double vondatum() const { return m_vondatum; }
    double bisdatum() const { return m_bisdatum; }
    QString filtertext() const;
    QString GetMandantPrefix() const;
    bool tablesUsable() const { return m_tablesUsable; }

    // Start-up, once, at the first showing (after the stored options were restored).
    void FormShow();

    // The dialogs this window runs (handed over once, right after they were created).
    void setDialogs(const MainDialogs& dialogs) { m_dialogs = dialogs; }

    // The entry panel as it stands: a text that is no date or amount gives the last one read.
    EntryValue entryValue() const;
    // Puts `value` into the entry panel. Only what differs from entryValue() is written, so a field
    // left as it was keeps its text and the receipt proposal; a new kind rebuilds the account list
    // first and then always takes the account. The number fields select their list entries.
    void fillEntry(const EntryValue& value);
    // Posts the entry panel as "Buchen" does: a date or amount that cannot be read is refused with a
    // message and the field gets the focus; nothing is posted then.
    void post() { BuchenBtnClick(); }
    // The period chosen in the menu "Zeitraum" for the year of the entry panel.
    Zeitraum period() const;
    // The journal's filter: the text filter as the user typed it ("müller") while it is in effect, empty
    // without one; and whether the period filter is on.
    struct FilterState {
        QString text;
        bool periodFilter = false;
    };
    FilterState journalFilter() const;
    JournalModel* journalModel() const { return m_model; }

signals:
    // After every change of the bookings: a posting, an edit, insert or delete in the journal or by a
    // command, and the opening of another table set.
    void bookingsChanged();

private:
    // --- entry panel ---
    QSpinBox* JahrEd = nullptr;
    QRadioButton* RadioButton1 = nullptr;  // "Einnahme"
    QRadioButton* RadioButton2 = nullptr;  // "Ausgabe"
    DateField* DateTimePicker1 = nullptr;
    QLineEdit* BelegEd = nullptr;
    QComboBox* BuchTextEd = nullptr;  // editable drop-down
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

    // --- optional rows ---
    QWidget* Panel3 = nullptr;
    QComboBox* SammelKontoEd = nullptr;
    QSpinBox* SammelKontoNrED = nullptr;
    QWidget* Panel4 = nullptr;
    QComboBox* KostenKontoEd = nullptr;
    QSpinBox* KostenKontoNrED = nullptr;

    // --- journal bar and grid ---
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    DBNavigator* DBNavigator1 = nullptr;
    QLineEdit* FilterEd = nullptr;
    QPushButton* Filterbtn = nullptr;
    QPushButton* AllezeigenBtn = nullptr;
    DBGrid* DBGrid1 = nullptr;

    // --- menu commands (component names) ---
    QAction* ExportierenalsCSVDatei1 = nullptr;
    QAction* ImportierenausCSVDatei1 = nullptr;
    QAction* DatenexportfrdieBetriebsprfung1 = nullptr;
    QAction* ExportfrdenSteuerberaterDATEV1 = nullptr;
    QAction* Kontoauszugbernehmen1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Datensatzdrucken1 = nullptr;
    QAction* AlleDatenstzedrucken1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* ZeigeEingabefeldfrSammelkonto1 = nullptr;
    QAction* ZeigeEingabefeldfrKostenstelle1 = nullptr;
    QAction* periodItems[19] = {};  // in PeriodItem order
    QAction* FilternnachZeitraum1 = nullptr;
    QAction* AktuellenMonatbeimffnenvoreinstellen1 = nullptr;
    QAction* ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1 = nullptr;
    QAction* EinstellungeninneuesJahrbertragen1 = nullptr;
    QAction* Mandant[10] = {};  // Mandant11 .. Mandant101
    QAction* FreieMandantennummersetzen1 = nullptr;
    QAction* AdminOptionen1 = nullptr;
    QAction* Protokollprfen1 = nullptr;
    QAction* Protokollanzeigen1 = nullptr;
    QAction* ber1 = nullptr;

public:
    // --- handlers ---
    void BuchenBtnClick();
    void BruttoEdChange();
    void MwStEdChange();
    void MwstZahlEdChange();
    void KontoNrEdChange();
    void SammelKontoNrEDChange();
    void KostenKontoNrEDChange();
    void AutobelCheckClick();
    void FillCombos();
    void FindMaxBel();
    void ShowEingabeFeldSammel();
    void CalcZeitraum();
    void calcMwst();
    void Dezember1Click(QAction* sender);
    void FilternnachZeitraum1Click();
    void FilterbtnClick();
    void AllezeigenBtnClick();
    void DBGrid1TitleClick(int column);
    void JahrEdChange();
    void SetMandant();
    void FreieMandantennummersetzen1Click();
    void AdminOptionen1Click();
    void Einstellungen(DbfTable& table);
    void Whrungeinstellen1Click();
    void Firmenangaben1Click();
    void Dauerbuchungen1Click();
    void ber1Click();
    void Beenden1Click();

    // --- reports ("Auswertungen"; MainUnitReports.cpp) ---
    void Gesamtergebnis1Click();
    void Ausgabenliste1Click();
    void Einnahmenliste1Click();
    void Ausgabenkontoeinzeln1Click();
    void Einnahmekontoeinzeln1Click();
    void Sammelkontoeinzeln1Click();
    void SammelkontomitAnfangsbestandeinzeln1Click();
    void Kostenstelleeinzeln1Click();
    void Kostenstelleeinzeln2Click();
    void ListeallerBuchungen1Click();
    void ListeallerBuchungenmitAnfangsbestand1Click();
    // Tax forms (MainUnitTax.cpp).
    void UmsatzsteuerVoranmeldung1Click();
    void AnlageER1Click();
    void Kontenzuordnung1Click();
    // True only while a "mit Anfangsbestand" command runs the handler of its plain twin.
    bool anfangsbestand = false;

    // --- data exchange and record printing (MainUnitExchange.cpp) ---
    void ExportierenalsCSV1Click();
    void ImportierenausCSVDatei1Click();
    void ExportfrdenSteuerberaterDATEV1Click();  // MainUnitDatev.cpp
    void ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1Click();
    void EinstellungeninneuesJahrbertragen1Click();
    void Druckereinrichten1Click();
    void Datensatzdrucken1Click();
    void AlleDatenstzedrucken1Click();
    bool autodruck = false;  // set while "Alle Datensätze drucken" prints: "Datensatz drucken" prints at once

    // --- data export for a tax audit (MainUnitAuditExport.cpp) ---
    void DatenexportfrdieBetriebsprfung1Click();
    // --- change log of the bookings (MainUnitAudit.cpp) ---
    void Protokollprfen1Click();
    void Protokollanzeigen1Click();
    // Where notes for the change log go (closings, cancellations, receipt numbers given twice): the notes
    // set with setLogNotes, else the change log of the open year; nullptr while no year is open.
    audit::LogNotes* logNotes();
    // --- closed periods, cancellations, receipt numbers (MainUnitClosing.cpp) ---
    QAction* Buchungstornieren1 = nullptr;      // menu "Datei" and the journal's context menu
    QAction* Zeitraumfestschreiben1 = nullptr;  // menu "Admin"
    void Zeitraumfestschreiben1Click();
    void Buchungstornieren1Click();
    // Notes go here instead of the change log (null: the change log). The window does not own them.
    void setLogNotes(audit::LogNotes* notes) { m_logNotes = notes; }
    audit::PeriodClosing& periodClosing() { return *m_closing; }
    audit::ReceiptNumbers& receiptNumbers() { return *m_receipts; }

    // --- bank statements (MainUnitBank.cpp) ---
    void Kontoauszugbernehmen1Click();

    // Detaches every view that follows the bookings table (grid model, navigator, the VAT summary of this
    // window) while the returned object lives, for walks over the whole table.
    DetachedView detachJournalViews();

    // Posts whatever the journal grid and the tables hold pending. Throws when a pending change cannot be
    // written; the caller then keeps the current state.
    void postPendingEdits();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEntryPanel();
    void buildOptionalRows();
    void buildJournal();
    void buildMenus();
    void layoutAnchoredControls();
    void setTableNames();
    void openTableSet();
    QString openChangeLog();  // attaches the log of the year just opened; a German problem or ""
    void closeChangeLog();
    void loadAddress();
    void loadTaxSettings(TFirmenanschriftForm& dialog);
    void saveTaxSettings(const TFirmenanschriftForm& dialog);
    QString addressFileName() const;
    int checkedPeriod() const;  // index of the checked period item, -1 for none
    void scheduleVatRecompute();
    void bookingsTouched();  // a change of the bookings: bookingsChanged() once the table is browsing again
    void fitSummaryLines();
    int runModal(QDialog* dialog);
    // The closing and the receipt numbers watch the bookings table of the open set.
    void attachBookWitnesses();
    void detachBookWitnesses();
    void buildClosingCommands(QMenu* datei, QMenu* admin);
    bool offerCancellation(QWidget* parent, const QString& text);
    bool cancelAtCursor();
    std::optional<audit::LogNote> receiptOverrideNote(const QString& beleg);
    qint64 receiptProposal();

    // TableObserver of the bookings table.
    void rowInserted(int row) override;
    void rowRemoved(int row) override;
    void rowChanged(int row) override;
    void rowMoved(int from, int to) override;
    void cursorChanged() override;

    TableSet m_tables;
    std::unique_ptr<audit::ChangeLog> m_changeLog;  // witness of the bookings table, dies before the tables
    std::unique_ptr<JournalFilter> m_filter;
    std::unique_ptr<JournalTotals> m_totals;  // VAT summary and receipt proposal, following every booking
    std::unique_ptr<DataFolderLock> m_folderLock;
    std::unique_ptr<audit::PeriodClosing> m_closing;
    std::unique_ptr<audit::ReceiptNumbers> m_receipts;
    audit::LogNotes* m_logNotes = nullptr;
    JournalModel* m_model = nullptr;
    std::unique_ptr<FormStorage> m_storage;
    // Number fields and their lists (KontoNrEd, MwstZahlEd, SammelKontoNrED, KostenKontoNrED).
    NumberFieldLink* m_kontoLink = nullptr;
    NumberFieldLink* m_rateLink = nullptr;
    NumberFieldLink* m_sammelLink = nullptr;
    NumberFieldLink* m_kostenLink = nullptr;
    QActionGroup* m_periodGroup = nullptr;
    QActionGroup* m_mandantGroup = nullptr;
    QAction* m_lastMandantAction = nullptr;

    QString m_progpath;
    QString m_maincap;
    int m_mandantnr = 1;
    int m_openedYear = 0;  // year and client of the open table set
    int m_openedMandant = 1;
    bool m_donotopennow = false;
    bool m_shown = false;
    bool m_tablesUsable = false;
    bool m_vatDirty = false;
    bool m_vatScheduled = false;
    bool m_bookingsDirty = false;
    MainDialogs m_dialogs;
    double m_vondatum = 0;
    double m_bisdatum = 0;
};
