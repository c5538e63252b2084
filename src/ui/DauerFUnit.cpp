// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DauerFUnit.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "journal/EntryLookups.h"
#include "journal/TableModel.h"
#include "recurring/TemplateTakeOver.h"
#include "ui/AmountField.h"
#include "ui/DBGrid.h"
#include "ui/DBNavigator.h"
#include "ui/DialogParts.h"
#include "ui/MainUnit.h"
#include "ui/NumberFieldLink.h"
#include "ui/PendingPost.h"
#include "ui/UiMessages.h"

namespace {

constexpr int panelHeight = 233;
constexpr int fieldHeight = 22;
const QColor entryGreen(192, 220, 192);

QLabel* labelFor(QWidget* field, const QString& caption, int x, int y, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->move(x, y + 3);
    label->setBuddy(field);
    field->setAccessibleName(caption);
    return label;
}

void paintGreen(QWidget* field) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, entryGreen);
    field->setPalette(palette);
}

}  // namespace

TDauerForm::TDauerForm(TMainForm& mainForm, QWidget* parent)
    : QDialog(parent), m_main(mainForm), m_model(std::make_unique<TableModel>()) {
    setObjectName(QStringLiteral("TDauerForm"));
    setWindowTitle(QStringLiteral("Dauerbuchungen"));
    setModal(true);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFixedHeight(panelHeight);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), panel);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(8, 8, 75, 25);
    BitBtn1->setAutoDefault(false);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_ArrowUp),
                              QStringLiteral("Markierte Buchung übernehmen..."), panel);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(88, 8, 289, 25);
    BitBtn2->setAutoDefault(false);

    RadioButton1 = new QRadioButton(QStringLiteral("Einnahme"), panel);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->move(8, 40);
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Ausgabe"), panel);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->move(136, 40);
    auto* kind = new QButtonGroup(this);
    kind->addButton(RadioButton1);
    kind->addButton(RadioButton2);

    BelegEd = new QLineEdit(panel);
    BelegEd->setObjectName(QStringLiteral("BelegEd"));
    BelegEd->setGeometry(104, 64, 233, fieldHeight);
    labelFor(BelegEd, QStringLiteral("Beleg:"), 8, 64, panel);

    BuchTextEd = new QComboBox(panel);
    BuchTextEd->setObjectName(QStringLiteral("BuchTextEd"));
    BuchTextEd->setEditable(true);
    BuchTextEd->setInsertPolicy(QComboBox::NoInsert);
    BuchTextEd->setGeometry(104, 88, 541, fieldHeight);
    paintGreen(BuchTextEd);
    labelFor(BuchTextEd, QStringLiteral("Buchungstext:"), 8, 88, panel);

    BruttoEd = new AmountField(panel);
    BruttoEd->setObjectName(QStringLiteral("BruttoEd"));
    BruttoEd->setRange(-999999999.99, 999999999.99);
    BruttoEd->setGeometry(104, 112, 121, fieldHeight);
    paintGreen(BruttoEd);
    labelFor(BruttoEd, QStringLiteral("Brutto:"), 8, 112, panel);

    MwStEd = new QComboBox(panel);
    MwStEd->setObjectName(QStringLiteral("MwStEd"));
    MwStEd->setGeometry(104, 136, 121, fieldHeight);
    labelFor(MwStEd, QStringLiteral("MwSt-Satz:"), 8, 136, panel);

    MwstZahlEd = new AmountField(panel);
    MwstZahlEd->setObjectName(QStringLiteral("MwstZahlEd"));
    MwstZahlEd->setRange(-1000.0, 1000.0);
    MwstZahlEd->setGeometry(488, 132, 89, fieldHeight);
    labelFor(MwstZahlEd, QStringLiteral("MwSt als Zahl:"), 384, 132, panel);

    EAKontoEd = new QComboBox(panel);
    EAKontoEd->setObjectName(QStringLiteral("EAKontoEd"));
    EAKontoEd->setGeometry(104, 160, 273, fieldHeight);
    labelFor(EAKontoEd, QStringLiteral("Art der E/A:"), 8, 160, panel);

    KontoNrEd = new QSpinBox(panel);
    KontoNrEd->setObjectName(QStringLiteral("KontoNrEd"));
    KontoNrEd->setRange(0, 999999999);
    KontoNrEd->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    KontoNrEd->setGeometry(488, 160, 89, fieldHeight);
    labelFor(KontoNrEd, QStringLiteral("Konto-Nr:"), 408, 160, panel);

    BuchenBtn =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("Hinzufügen"), panel);
    BuchenBtn->setObjectName(QStringLiteral("BuchenBtn"));
    BuchenBtn->setGeometry(587, 136, 113, 49);
    BuchenBtn->setDefault(true);

    DBNavigator1 = new DBNavigator(panel, false);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->move(8, 202);

    DBGrid1 = addGridBelow(this, panel, m_model.get());
    resize(758, 523);

    QWidget* order[] = {BitBtn1,   BelegEd,      BuchTextEd,   BruttoEd,  MwStEd,  EAKontoEd, MwstZahlEd,
                        KontoNrEd, RadioButton1, RadioButton2, BuchenBtn, BitBtn2, DBGrid1};
    QWidget* previous = DBNavigator1->button(DBNavigator::Refresh);
    for (int i = 0; i < DBNavigator::buttonCount - 1; ++i)
        setTabOrder(DBNavigator1->button(DBNavigator::Button(i)), DBNavigator1->button(DBNavigator::Button(i + 1)));
    for (QWidget* next : order) {
        setTabOrder(previous, next);
        previous = next;
    }

    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &TDauerForm::BitBtn2Click);
    connect(BuchenBtn, &QPushButton::clicked, this, &TDauerForm::BuchenBtnClick);
    // The state, not the click: arrow keys and assistive technology switch the kind too.
    connect(RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillCombos();
    });
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        if (on) FillCombos();
    });
    m_kontoLink = new NumberFieldLink(
        KontoNrEd, EAKontoEd, [this] { KontoNrEdChange(); },
        [this](int row) -> std::optional<double> {
            std::optional<double> nr;
            UiMessages::guarded(this, [&] { nr = EntryLookups::accountNrAt(accountTable(), row); });
            return nr;
        });
    m_rateLink = new NumberFieldLink(
        MwstZahlEd, MwStEd, [this] { MwstZahlEdChange(); },
        [this](int row) -> std::optional<double> {
            std::optional<double> rate;
            UiMessages::guarded(this, [&] { rate = EntryLookups::rateAt(m_main.tables().MwstSaetze, row); });
            return rate;
        });
    connect(DBNavigator1, &DBNavigator::beforeAction, DBGrid1, &DBGrid::commitEditor);

    // A click into a number field selects its whole text, so that typing replaces it.
    if (auto* edit = KontoNrEd->findChild<QLineEdit*>()) edit->installEventFilter(this);
    MwstZahlEd->installEventFilter(this);
}

TDauerForm::~TDauerForm() {
    unbind();
}

void TDauerForm::bind(DbfTable* dauer) {
    m_model->bind(dauer);
    DBNavigator1->setTable(dauer);
}

void TDauerForm::unbind() {
    DBNavigator1->setTable(nullptr);
    m_model->unbind();
}

DbfTable& TDauerForm::accountTable() const {
    TableSet& tables = m_main.tables();
    return RadioButton1->isChecked() ? tables.EinnahmeKonten : tables.AusgabeKonten;
}

void TDauerForm::FillCombos() {
    UiMessages::guarded(this, [this] { fillCombosUnguarded(); });
}

void TDauerForm::fillCombosUnguarded() {
    TableSet& tables = m_main.tables();

    const int rateIndex = MwStEd->currentIndex();
    const QStringList rates = EntryLookups::vatEntries(tables.MwstSaetze);
    MwStEd->setUpdatesEnabled(false);
    MwStEd->clear();
    MwStEd->addItems(rates);
    MwStEd->setCurrentIndex(EntryLookups::unboundedIndex(rateIndex, MwStEd->count()));
    MwStEd->setUpdatesEnabled(true);

    // No entry is selected again; what the user typed stays.
    const QString typed = BuchTextEd->currentText();
    const QStringList texts = EntryLookups::textEntries(tables.buchungstexte);
    BuchTextEd->setUpdatesEnabled(false);
    BuchTextEd->clear();
    BuchTextEd->addItems(texts);
    BuchTextEd->setCurrentIndex(-1);
    BuchTextEd->setEditText(typed);
    BuchTextEd->setUpdatesEnabled(true);

    const int accountIndex = EAKontoEd->currentIndex();
    const QStringList accounts = EntryLookups::accountEntries(accountTable());
    EAKontoEd->setUpdatesEnabled(false);
    EAKontoEd->clear();
    EAKontoEd->addItems(accounts);
    EAKontoEd->setCurrentIndex(EntryLookups::boundedIndex(accountIndex, EAKontoEd->count()));
    EAKontoEd->setUpdatesEnabled(true);

    // The number fields show what the rebuilt lists have selected.
    m_kontoLink->followList();
    m_rateLink->followList();
}

void TDauerForm::KontoNrEdChange() {
    UiMessages::guarded(this, [this] {
        const int row = EntryLookups::rowOfAccount(accountTable(), KontoNrEd->value());
        if (row >= 0 && row < EAKontoEd->count()) EAKontoEd->setCurrentIndex(row);
    });
}

void TDauerForm::MwstZahlEdChange() {
    UiMessages::guarded(this, [this] {
        const int row = EntryLookups::rowOfRate(m_main.tables().MwstSaetze, MwstZahlEd->value());
        if (row >= 0 && row < MwStEd->count()) MwStEd->setCurrentIndex(row);
    });
}

void TDauerForm::BuchenBtnClick() {
    const std::optional<double> brutto = BruttoEd->typedValue();
    if (!brutto) {
        UiMessages::showWarning(this, BruttoEd->message());
        activateWindow();  // also where no window manager hands the focus back after the box
        BruttoEd->setFocus(Qt::OtherFocusReason);
        BruttoEd->selectAll();
        return;
    }
    TableSet& tables = m_main.tables();
    TemplateTakeOver::NewTemplate entry;
    entry.einnahme = RadioButton1->isChecked();
    entry.beleg = BelegEd->text();
    entry.text = BuchTextEd->currentText();
    entry.brutto = *brutto;
    entry.rateIndex = MwStEd->currentIndex();
    entry.accountIndex = EAKontoEd->currentIndex();

    // The new template goes to the table the grid shows; what the grid still holds is posted first.
    DbfTable& dauer = m_model->table() ? *m_model->table() : tables.dauer;
    if (!PendingPost::commitAndPost(this, DBGrid1, &dauer)) return;
    const bool added = UiMessages::guarded(
        this, [&] { TemplateTakeOver::addTemplate(dauer, tables.MwstSaetze, accountTable(), entry); });
    if (!added) return;

    BelegEd->clear();
    BuchTextEd->setEditText(QString());
    BruttoEd->setValue(0.0);
    BuchTextEd->setFocus();
}

void TDauerForm::BitBtn2Click() {
    DBGrid1->commitEditor();
    DbfTable& dauer = m_model->table() ? *m_model->table() : m_main.tables().dauer;
    TemplateTakeOver::TakeOverValues values;
    if (!UiMessages::guarded(this, [&] { values = TemplateTakeOver::readCurrent(dauer); })) return;

    UiMessages::guarded(this, [&] {
        // The kind first: the main window then rebuilds its lists and receipt proposal, and the template
        // goes over that panel; an empty receipt or text keeps what the panel shows.
        EntryValue kind = m_main.entryValue();
        kind.einnahme = values.einnahme;
        m_main.fillEntry(kind);
        EntryValue entry = m_main.entryValue();
        if (values.beleg) entry.beleg = *values.beleg;
        if (values.text) entry.text = *values.text;
        entry.brutto = values.brutto;
        entry.mwst = values.mwstZahl;
        entry.konto = values.konto;
        m_main.fillEntry(entry);
    });
    accept();
}

void TDauerForm::done(int result) {
    if (!PendingPost::commitAndPost(this, DBGrid1, m_model->table())) return;
    QDialog::done(result);
}

bool TDauerForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* edit = qobject_cast<QLineEdit*>(watched)) QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void TDauerForm::keyPressEvent(QKeyEvent* event) {
    if (pressFocusedButton(this, event)) return;
    QDialog::keyPressEvent(event);
}
