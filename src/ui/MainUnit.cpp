// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainUnit.h"

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

#include "audit/ChangeLog.h"
#include "audit/PeriodClosing.h"
#include "audit/ReceiptNumbers.h"
#include "journal/AmountFormat.h"
#include "journal/DetachedView.h"
#include "journal/JournalTotals.h"
#include "journal/EntryLookups.h"
#include "journal/JournalFilter.h"
#include "journal/JournalModel.h"
#include "journal/Period.h"
#include "journal/Posting.h"
#include "journal/ReceiptProposal.h"
#include "journal/VatSummary.h"
#include "reports/data/ListReport.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/DataFolder.h"
#include "startup/DataFolderLock.h"
#include "journal/Booking.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
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
#include "ui/MandatenNrFUnit.h"
#include "ui/NumberFieldLink.h"
#include "ui/UiMessages.h"
#include "ui/WaehrungFUnit.h"
#include "ui/WaitCursor.h"

namespace {

const QString kMainCaption = QStringLiteral("ZAN-TOR Einnahmen-Überschuss-Rechnung 1.0");

// Layout of the entry panel at its designed client width; BuchTextEd grows with the window and
// DauerBtn keeps its distance from the right edge.
constexpr int kDesignWidth = 802;
constexpr int kBuchTextLeft = 104;
constexpr int kBuchTextWidth = 519;
constexpr int kDauerBtnLeft = 630;
constexpr int kDauerBtnWidth = 169;

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y, QWidget* buddy = nullptr) {
    auto* label = new QLabel(text, parent);
    label->move(x, y + 3);
    label->adjustSize();
    if (buddy) {
        label->setBuddy(buddy);
        buddy->setAccessibleName(QString(text).remove(QLatin1Char(':')));
    }
    return label;
}

template <typename W>
W* place(W* widget, int x, int y, int width, int height = 21) {
    widget->setGeometry(x, y, width, height);
    return widget;
}

void setLightGreen(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Base, QColor(192, 220, 192));
    w->setPalette(pal);
}

AmountField* makeDecimalField(QWidget* parent, double minimum, double maximum) {
    auto* field = new AmountField(parent);
    field->setRange(minimum, maximum);
    return field;
}

QSpinBox* makeNumberField(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(-999999999, 999999999);
    box->setAlignment(Qt::AlignRight);
    return box;
}

}  // namespace

TMainForm::TMainForm(QWidget* parent)
    : QMainWindow(parent),
      m_filter(std::make_unique<JournalFilter>()),
      m_totals(std::make_unique<JournalTotals>(m_tables.Dbf1)),
      m_folderLock(std::make_unique<DataFolderLock>()),
      m_closing(std::make_unique<audit::PeriodClosing>()),
      m_receipts(std::make_unique<audit::ReceiptNumbers>()) {
    setObjectName(QStringLiteral("MainForm"));
    // A booking without one of the four kinds would count as an expense in some reports and in none in
    // others: a new row of the journal (grid or navigator) is not posted until its kind is E, A, N or S.
    m_tables.Dbf1.setNewRecordCheck([](const DbfTable& table) {
        if (table.FieldCount() <= Booking::Art) return;
        const QString art = table.Fields(Booking::Art).AsString().trimmed();
        if (!Booking::isKind(art)) throw QuorvelError(Booking::kindRefusal(art));
    });

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildEntryPanel();
    buildOptionalRows();
    buildJournal();
    column->addWidget(Panel2);
    column->addWidget(Panel3);
    column->addWidget(Panel4);
    column->addWidget(Panel1);
    column->addWidget(DBGrid1, 1);
    buildMenus();

    // Window-level tab order: journal grid, journal bar, entry panel, optional rows.
    setTabOrder(DBGrid1, DBNavigator1);
    setTabOrder(DBNavigator1, FilterEd);
    setTabOrder(FilterEd, Filterbtn);
    setTabOrder(Filterbtn, AllezeigenBtn);
    setTabOrder(AllezeigenBtn, JahrEd);
    QWidget* entryOrder[] = {JahrEd,        RadioButton1,    RadioButton2,  DateTimePicker1, BelegEd,
                             BuchTextEd,    BruttoEd,        MwStEd,        EAKontoEd,       BuchenBtn,
                             KontoNrEd,     MwstZahlEd,      AutobelCheck,  DauerBtn,        NeutralBuchenCheck,
                             SammelKontoEd, SammelKontoNrED, KostenKontoEd, KostenKontoNrED};
    for (size_t i = 1; i < std::size(entryOrder); ++i) setTabOrder(entryOrder[i - 1], entryOrder[i]);

    m_storage = std::make_unique<FormStorage>(this, QStringLiteral("TMainForm"), true);
    m_storage->addCheck(AutobelCheck, true);
    m_storage->addAction(ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1, false);
    m_storage->addAction(FilternnachZeitraum1, false);
    m_storage->addAction(ZeigeEingabefeldfrSammelkonto1, false);
    m_storage->addAction(ZeigeEingabefeldfrKostenstelle1, false);
    m_storage->addAction(AktuellenMonatbeimffnenvoreinstellen1, false);

    resize(kDesignWidth, 529 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Centred until a stored placement says otherwise.
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }

    // FormCreate
    m_mandantnr = 1;
    const QDate today = QDate::currentDate();
    m_donotopennow = true;
    JahrEd->setValue(today.year());
    m_donotopennow = false;
    DateTimePicker1->setDate(today);
    setTableNames();
    m_maincap = kMainCaption;
    setWindowTitle(m_maincap + QStringLiteral(" - Mandant ") + QString::number(m_mandantnr));
    m_progpath = DataFolder::programFolder();
    m_tables.Dbf1.attach(this);
}

TMainForm::~TMainForm() {
    // The tables are members and die before QWidget's destructor deletes the children: every window
    // part that watches a table goes first.
    m_storage.reset();  // saves (when due) while the controls it reads still exist
    m_tables.Dbf1.detach(this);
    detachBookWitnesses();
    UiMessages::setRefusalOffer({});
    DBNavigator1->setTable(nullptr);
    m_model->unbind();
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

QString TMainForm::filtertext() const {
    return m_filter->filtertext();
}

QString TMainForm::GetMandantPrefix() const {
    return ClientNaming::mandantPrefix(m_mandantnr);
}

// ---------------------------------------------------------------------------------------------
// Layout

void TMainForm::buildEntryPanel() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(201);
    QWidget* p = Panel2;

    JahrEd = place(new QSpinBox(p), 112, 8, 65);
    JahrEd->setObjectName(QStringLiteral("JahrEd"));
    JahrEd->setRange(1900, 3000);
    JahrEd->setAlignment(Qt::AlignRight);
    addLabel(p, QStringLiteral("Buchungsjahr:"), 8, 8, JahrEd);

    RadioButton1 = new QRadioButton(QStringLiteral("Einnahme"), p);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->move(8, 32);
    RadioButton1->adjustSize();
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Ausgabe"), p);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->move(136, 32);
    RadioButton2->adjustSize();

    DateTimePicker1 = place(new DateField(p), 104, 56, 105);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    addLabel(p, QStringLiteral("Datum:"), 8, 56, DateTimePicker1);

    NeutralBuchenCheck = new QCheckBox(QStringLiteral("Gewinnneutral buchen (z.B. Eröffnung)"), p);
    NeutralBuchenCheck->setObjectName(QStringLiteral("NeutralBuchenCheck"));
    NeutralBuchenCheck->move(216, 56);
    NeutralBuchenCheck->adjustSize();

    BelegEd = place(new QLineEdit(p), 104, 80, 233);
    BelegEd->setObjectName(QStringLiteral("BelegEd"));
    BelegEd->setMaxLength(TableSet::bookingsSchema()[Booking::Beleg].size);
    addLabel(p, QStringLiteral("Beleg:"), 8, 80, BelegEd);

    AutobelCheck = new QCheckBox(QStringLiteral("Belegnummern automatisch hochzählen"), p);
    AutobelCheck->setObjectName(QStringLiteral("AutobelCheck"));
    AutobelCheck->move(344, 80);
    AutobelCheck->adjustSize();
    AutobelCheck->setChecked(true);

    BuchTextEd = place(new QComboBox(p), kBuchTextLeft, 104, kBuchTextWidth);
    BuchTextEd->setObjectName(QStringLiteral("BuchTextEd"));
    BuchTextEd->setEditable(true);
    BuchTextEd->setInsertPolicy(QComboBox::NoInsert);
    BuchTextEd->lineEdit()->setMaxLength(TableSet::bookingsSchema()[Booking::Text].size);
    setLightGreen(BuchTextEd);
    addLabel(p, QStringLiteral("Buchungstext:"), 8, 104, BuchTextEd);

    BruttoEd = place(makeDecimalField(p, -99999999.99, 999999999.99), 104, 128, 121);
    BruttoEd->setObjectName(QStringLiteral("BruttoEd"));
    setLightGreen(BruttoEd);
    addLabel(p, QStringLiteral("Brutto:"), 8, 128, BruttoEd);

    NettoLabel = new QLabel(p);
    NettoLabel->setObjectName(QStringLiteral("NettoLabel"));
    NettoLabel->setTextFormat(Qt::PlainText);  // carries the currency text the user chose
    NettoLabel->setGeometry(232, 131, 340, 16);

    MwStEd = place(new QComboBox(p), 104, 152, 121);
    MwStEd->setObjectName(QStringLiteral("MwStEd"));
    addLabel(p, QStringLiteral("MwSt-Satz:"), 8, 152, MwStEd);

    MwstZahlEd = place(makeDecimalField(p, -99.99, 999999.99), 488, 148, 89);
    MwstZahlEd->setObjectName(QStringLiteral("MwstZahlEd"));
    MwstZahlEd->setToolTip(QStringLiteral("Sie können hiermit den MwSt Satz als Zahl eingeben."));
    addLabel(p, QStringLiteral("MwSt als Zahl:"), 384, 152, MwstZahlEd);

    EAKontoEd = place(new QComboBox(p), 104, 176, 273);
    EAKontoEd->setObjectName(QStringLiteral("EAKontoEd"));
    addLabel(p, QStringLiteral("Art der E/A:"), 8, 176, EAKontoEd);

    KontoNrEd = place(makeNumberField(p), 488, 176, 89);
    KontoNrEd->setObjectName(QStringLiteral("KontoNrEd"));
    KontoNrEd->setToolTip(
        QStringLiteral("Sie können hiermit die Art der Einnahme oder Ausgabe über die Nummer schneller eingeben."));
    addLabel(p, QStringLiteral("Konto-Nr:"), 408, 176, KontoNrEd);

    BuchenBtn = place(new QPushButton(QStringLiteral("Buchen"), p), 584, 144, 113, 49);
    BuchenBtn->setObjectName(QStringLiteral("BuchenBtn"));
    BuchenBtn->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    BuchenBtn->setDefault(true);

    DauerBtn = place(new QPushButton(QStringLiteral("Dauerbuchungen..."), p), kDauerBtnLeft, 88, kDauerBtnWidth, 49);
    DauerBtn->setObjectName(QStringLiteral("DauerBtn"));
    DauerBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));

    MwStLabel = new QLabel(QStringLiteral("MwSt für eingestellten Zeitraum:"), p);
    VorsteuerLabel = new QLabel(QStringLiteral("Vorsteuer für eingestellten Zeitraum:"), p);
    AbfuhrEd = new QLabel(QStringLiteral("Abzuführen für eingestellten Zeitraum:"), p);
    int y = 8;
    for (QLabel* l : {MwStLabel, VorsteuerLabel, AbfuhrEd}) {
        // No fixed accessible name: a screen reader reads the figures the line shows now.
        l->setTextFormat(Qt::PlainText);
        l->move(288, y);
        y += 16;
    }
    MwStLabel->setObjectName(QStringLiteral("MwStLabel"));
    VorsteuerLabel->setObjectName(QStringLiteral("VorsteuerLabel"));
    AbfuhrEd->setObjectName(QStringLiteral("AbfuhrEd"));
    fitSummaryLines();

    connect(JahrEd, &QSpinBox::valueChanged, this, [this](int year) {
        DateTimePicker1->setBookingYear(year);  // short years are read in its century
        JahrEdChange();
    });
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillCombos();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillCombos();
    });
    connect(BruttoEd, &QLineEdit::textChanged, this, [this] { BruttoEdChange(); });
    connect(MwStEd, &QComboBox::activated, this, [this] { MwStEdChange(); });
    m_rateLink = new NumberFieldLink(
        MwstZahlEd, MwStEd, [this] { MwstZahlEdChange(); },
        [this](int row) -> std::optional<double> {
            if (!m_tables.MwstSaetze.Active()) return std::nullopt;
            return EntryLookups::rateAt(m_tables.MwstSaetze, row);
        });
    m_kontoLink = new NumberFieldLink(
        KontoNrEd, EAKontoEd, [this] { KontoNrEdChange(); },
        [this](int row) -> std::optional<double> {
            DbfTable& accounts = RadioButton1->isChecked() ? m_tables.EinnahmeKonten : m_tables.AusgabeKonten;
            if (!accounts.Active()) return std::nullopt;
            return EntryLookups::accountNrAt(accounts, row);
        });
    // The state, not the click: the keyboard shortcut and assistive technology change it too.
    connect(AutobelCheck, &QCheckBox::toggled, this, [this] { AutobelCheckClick(); });
    connect(BuchenBtn, &QPushButton::clicked, this, [this] { BuchenBtnClick(); });
    connect(DauerBtn, &QPushButton::clicked, this, [this] { Dauerbuchungen1Click(); });

    // A click into these fields selects their whole text, so that typing replaces it.
    for (QWidget* w : std::initializer_list<QWidget*>{BelegEd, BruttoEd, MwstZahlEd, KontoNrEd}) {
        if (auto* box = qobject_cast<QAbstractSpinBox*>(w)) {
            box->findChild<QLineEdit*>()->installEventFilter(this);
        } else {
            w->installEventFilter(this);
        }
    }
}

void TMainForm::buildOptionalRows() {
    auto makeRow = [this](const QString& name, const QString& caption, QComboBox*& list, QSpinBox*& number,
                          const QString& listName, const QString& numberName, const QString& hint) {
        auto* row = new QWidget(this);
        row->setObjectName(name);
        row->setFixedHeight(24);
        list = place(new QComboBox(row), 104, 1, 273);
        list->setObjectName(listName);
        addLabel(row, caption, 8, 1, list);
        number = place(makeNumberField(row), 488, 1, 89);
        number->setObjectName(numberName);
        number->setToolTip(hint);
        addLabel(row, QStringLiteral("Konto-Nr:"), 408, 1, number);
        number->findChild<QLineEdit*>()->installEventFilter(this);
        return row;
    };
    Panel3 = makeRow(QStringLiteral("Panel3"), QStringLiteral("Sammelkonto:"), SammelKontoEd, SammelKontoNrED,
                     QStringLiteral("SammelKontoEd"), QStringLiteral("SammelKontoNrED"),
                     QStringLiteral("Sie können hiermit Sammelkonto über die Nummer schneller eingeben."));
    Panel4 = makeRow(QStringLiteral("Panel4"), QStringLiteral("Kostenstelle:"), KostenKontoEd, KostenKontoNrED,
                     QStringLiteral("KostenKontoEd"), QStringLiteral("KostenKontoNrED"),
                     QStringLiteral("Sie können hiermit die Kostenstelle über die Nummer schneller eingeben."));
    Panel3->setVisible(false);
    Panel4->setVisible(false);
    const auto accountNumber = [](DbfTable& accounts) {
        return [&accounts](int row) -> std::optional<double> {
            if (!accounts.Active()) return std::nullopt;
            return EntryLookups::accountNrAt(accounts, row);
        };
    };
    m_sammelLink = new NumberFieldLink(
        SammelKontoNrED, SammelKontoEd, [this] { SammelKontoNrEDChange(); }, accountNumber(m_tables.Sammelkonten));
    m_kostenLink = new NumberFieldLink(
        KostenKontoNrED, KostenKontoEd, [this] { KostenKontoNrEDChange(); }, accountNumber(m_tables.kostenkonten));
}

void TMainForm::buildJournal() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(40);

    DBNavigator1 = new DBNavigator(Panel1, true);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(8, 2, 240, 25);
    DBNavigator1->setTable(&m_tables.Dbf1);

    FilterEd = place(new QLineEdit(Panel1), 315, 6, 142);
    FilterEd->setObjectName(QStringLiteral("FilterEd"));
    addLabel(Panel1, QStringLiteral("Filtern:"), 254, 6, FilterEd);
    Filterbtn = place(new QPushButton(QStringLiteral("Filtern"), Panel1), 466, 2, 95, 25);
    Filterbtn->setObjectName(QStringLiteral("Filterbtn"));
    Filterbtn->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    AllezeigenBtn = place(new QPushButton(QStringLiteral("Alle zeigen"), Panel1), 563, 2, 118, 25);
    AllezeigenBtn->setObjectName(QStringLiteral("AllezeigenBtn"));
    AllezeigenBtn->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));

    m_model = new JournalModel(this);
    m_model->bind(&m_tables.Dbf1);
    DBGrid1 = new DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setTableModel(m_model);
    DBGrid1->setAccessibleName(QStringLiteral("Buchungen"));

    connect(Filterbtn, &QPushButton::clicked, this, [this] { FilterbtnClick(); });
    connect(AllezeigenBtn, &QPushButton::clicked, this, [this] { AllezeigenBtnClick(); });
    connect(FilterEd, &QLineEdit::returnPressed, this, [this] { FilterbtnClick(); });
    connect(DBGrid1, &DBGrid::titleClick, this, [this](int column) { DBGrid1TitleClick(column); });
}

void TMainForm::layoutAnchoredControls() {
    const int width = Panel2->width();
    const int grow = width - kDesignWidth;
    BuchTextEd->setGeometry(kBuchTextLeft, BuchTextEd->y(), std::max(60, kBuchTextWidth + grow), BuchTextEd->height());
    DauerBtn->move(kDauerBtnLeft + grow, DauerBtn->y());
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutAnchoredControls();
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown) return;
    m_shown = true;
    layoutAnchoredControls();
    // Runs once the window is on screen, so that messages of the start-up have a parent to sit on.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TMainForm::FormShow() {
    const MainDialogs& forms = m_dialogs;
    TAdminForm* admin = forms.AdminForm;
    admin->storage().restore();
    ShowEingabeFeldSammel();
    admin->Edit3->setText(DataFolder::GetProgramDir(false, m_progpath));

    DataFolder::Choice choice;
    choice.userFolder = admin->UserFolderCheck->isChecked();
    choice.programFolder = admin->ProgramFolderCheck->isChecked();
    choice.specialFolder = admin->UseSpecialFolderCheck->isChecked();
    choice.directoryText = admin->DirectoryEdit1->text();
    const DataFolder::Decision decision = DataFolder::decide(choice);
    if (decision.switchedToUserFolder) {
        admin->UserFolderCheck->setChecked(true);
        admin->storage().save();
    }
    m_progpath = decision.folder;
    forms.WaehrungForm->storage().restorePlacement();

    // A second running copy on the same data folder must not write to it; without the lock nothing is written.
    const bool locked = m_folderLock->tryLock(m_progpath);
    if (!locked && m_folderLock->heldByAnotherCopy()) {
        UiMessages::showTitled(this, QMessageBox::Critical, windowTitle(), m_folderLock->message());
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    if (!locked) UiMessages::showTitled(this, QMessageBox::Warning, windowTitle(), m_folderLock->message());
    m_tables.setReadOnly(!locked, QStringLiteral("Der Datenordner konnte beim Start nicht gesperrt werden (siehe die "
                                                 "Meldung beim Start); beheben Sie die Ursache und starten Sie das "
                                                 "Programm neu."));

    openTableSet();
    loadAddress();
    activateWindow();  // typing goes here from the start, also where no window manager activates windows
    BuchTextEd->setFocus();
    if (AktuellenMonatbeimffnenvoreinstellen1->isChecked()) {
        periodItems[static_cast<int>(monthItem(QDate::currentDate().month()))]->setChecked(true);
    }
    CalcZeitraum();
    m_filter->startUp(m_tables.Dbf1, FilternnachZeitraum1->isChecked(), Zeitraum{m_vondatum, m_bisdatum});
    calcMwst();
}

// InitDB and FillCombos for the names set. Files that could not be opened are reported together; a
// file that could not be created ends the command with its error.
void TMainForm::openTableSet() {
    QStringList problems;
    {
        const WaitCursor wait;
        m_tablesUsable = false;
        problems = m_tables.InitDB(m_progpath);
        if (const QString log = openChangeLog(); !log.isEmpty()) problems << log;
        m_tablesUsable = true;
        m_openedYear = JahrEd->value();
        m_openedMandant = m_mandantnr;
        attachBookWitnesses();
        // The filter carries over to the reopened table, with the period of the year now open.
        CalcZeitraum();
        m_filter->setZeitraum(Zeitraum{m_vondatum, m_bisdatum});
        m_filter->attachTo(m_tables.Dbf1);
        if (m_tables.Dbf1.Active()) ListReport::prepareMemory(m_tables.Dbf1.physicalRecordCount());
    }
    if (!problems.isEmpty()) {
        UiMessages::showTitled(this, QMessageBox::Warning, windowTitle(), problems.join(QStringLiteral("\n\n")));
        activateWindow();  // keyboard entry goes on here, also where no window manager hands focus back
    }
    const WaitCursor wait;
    FillCombos();
    emit bookingsChanged();  // another table set: other bookings
}

void TMainForm::closeEvent(QCloseEvent* event) {
    try {
        postPendingEdits();
    } catch (const QuorvelError& e) {
        if (!UiMessages::askYesNo(
                this, windowTitle(),
                QStringLiteral("Die letzte Änderung konnte nicht gespeichert werden:\n%1\n\nTrotzdem beenden?")
                    .arg(e.message()),
                false)) {
            event->ignore();
            return;
        }
    }
    detachBookWitnesses();
    closeChangeLog();
    m_tables.closeAll();
    event->accept();
}

DetachedView TMainForm::detachJournalViews() {
    return DetachedView(m_tables.Dbf1, {m_model, DBNavigator1->tableObserver(), this});
}

void TMainForm::postPendingEdits() {
    // A refused cell value is reported by the caller; the cell opens again with the typed text.
    if (!DBGrid1->commitEditor()) throw QuorvelError(DBGrid1->takeRefusal());
    m_tables.postAll();
}

void TMainForm::Beenden1Click() {
    close();
}

// ---------------------------------------------------------------------------------------------
// Keyboard

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // Enter runs "Buchen" from every field that does not use Enter itself. The filter edit filters
    // (returnPressed), the grid edits its cells, a focused button clicks itself.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The window's own focus child: the key reached this window, whether or not the platform
        // counts it as the active one.
        QWidget* focus = focusWidget();
        if (focus == FilterEd || (focus && (DBGrid1->isAncestorOf(focus) || focus == DBGrid1))) {
            event->accept();
            return;
        }
        if (auto* button = qobject_cast<QPushButton*>(focus)) {
            event->accept();
            button->click();
            return;
        }
        if (focus && centralWidget()->isAncestorOf(focus)) {
            event->accept();
            BuchenBtnClick();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
            if (!edit->hasSelectedText()) edit->selectAll();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Client and year

void TMainForm::setTableNames() {
    m_tables.setNames(m_mandantnr, JahrEd->value());
}

void TMainForm::JahrEdChange() {
    if (m_donotopennow || !m_shown) return;
    const int year = JahrEd->value();
    try {
        postPendingEdits();
    } catch (...) {
        // The pending change stays where it is; so does the year.
        const QSignalBlocker block(JahrEd);
        JahrEd->setValue(m_openedYear ? m_openedYear : year);
        DateTimePicker1->setBookingYear(JahrEd->value());
        throw;
    }
    detachBookWitnesses();
    closeChangeLog();
    m_tables.closeAll();
    setTableNames();
    openTableSet();
    CalcZeitraum();
    calcMwst();
}

void TMainForm::SetMandant() {
    for (int n = 1; n <= 10; ++n) {
        if (Mandant[n - 1]->isChecked()) m_mandantnr = n;
    }
    try {
        // Before anything shows the new client: a change that cannot be written keeps the open one.
        postPendingEdits();
    } catch (...) {
        m_mandantnr = m_openedMandant;
        if (m_lastMandantAction) m_lastMandantAction->setChecked(true);
        throw;
    }
    m_lastMandantAction = m_mandantGroup->checkedAction();
    setWindowTitle(m_maincap + QStringLiteral(" - Mandant ") + QString::number(m_mandantnr));
    loadAddress();
    JahrEdChange();
}

void TMainForm::FreieMandantennummersetzen1Click() {
    TMandantenNrForm* dialog = m_dialogs.MandantenNrForm;
    if (runModal(dialog) != QDialog::Accepted) {
        // The radio group has already moved its mark; nothing changes, so put it back.
        if (m_lastMandantAction) m_lastMandantAction->setChecked(true);
        return;
    }
    FreieMandantennummersetzen1->setChecked(true);
    m_mandantnr = dialog->number();
    SetMandant();
}

QString TMainForm::addressFileName() const {
    return m_progpath + ClientNaming::addressFileName(m_mandantnr);
}

void TMainForm::loadAddress() {
    if (const auto lines = AddressFile::load(addressFileName())) m_dialogs.FirmenanschriftForm->setLines(*lines);
}

void TMainForm::AdminOptionen1Click() {
    runModal(m_dialogs.AdminForm);
}

// ---------------------------------------------------------------------------------------------
// Dialogs

int TMainForm::runModal(QDialog* dialog) {
    const int result = dialog->exec();
    activateWindow();  // typing goes on here, also where no window manager hands the focus back
    return result;
}

void TMainForm::Einstellungen(DbfTable& table) {
    TEinstellungenForm* editor = m_dialogs.EinstellungenForm;
    editor->bind(&table);
    runModal(editor);
    editor->unbind();
    // Every master table feeds a list by position: rebuild after each editor, so that no list points at
    // a row that has moved.
    FillCombos();
}

void TMainForm::Whrungeinstellen1Click() {
    runModal(m_dialogs.WaehrungForm);
    // The summary names the currency: show the new one at once rather than a stale text.
    calcMwst();
}

void TMainForm::Firmenangaben1Click() {
    TFirmenanschriftForm* dialog = m_dialogs.FirmenanschriftForm;
    loadTaxSettings(*dialog);
    runModal(dialog);
    if (m_tables.readOnly())
        throw QuorvelError(
            QStringLiteral("Die Firmenangaben wurden nicht gespeichert, weil der Datenordner nicht "
                           "gesperrt werden konnte (siehe die Meldung beim Start). Sorgen Sie dafür, "
                           "dass der Ordner beschreibbar ist, und starten Sie das Programm neu."));
    AddressFile::save(addressFileName(), dialog->lines());
    saveTaxSettings(*dialog);
}

void TMainForm::Dauerbuchungen1Click() {
    TDauerForm* dauer = m_dialogs.DauerForm;
    dauer->bind(&m_tables.dauer);
    dauer->FillCombos();
    runModal(dauer);
    dauer->unbind();
}

void TMainForm::ber1Click() {
    runModal(m_dialogs.InfoForm);
}
