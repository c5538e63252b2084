// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/BankCsvProfilFUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "exchange/BankCsvReader.h"
#include "startup/OptionStore.h"
#include "ui/UiMessages.h"

namespace {

const QChar separators[] = {u';', u',', u'\t'};

int columnOf(const QComboBox* combo) {
    return combo->currentIndex() - 1;  // entry 0 is "(keine)"
}

}  // namespace

TBankCsvProfilForm::TBankCsvProfilForm(const QByteArray& fileBytes, const QString& fileName,
                                       const BankCsvProfile& proposal, OptionStore& store, QWidget* parent)
    : QDialog(parent), m_bytes(fileBytes), m_store(store) {
    setObjectName(QStringLiteral("BankCsvProfilForm"));
    setWindowTitle(QStringLiteral("CSV-Spalten zuordnen – %1").arg(fileName));
    resize(980, 640);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    top->addLayout(left);
    top->addLayout(right);
    layout->addLayout(top);

    auto combo = [this](const QString& name) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        return c;
    };
    ProfilEd = combo(QStringLiteral("ProfilEd"));
    ProfilEd->setEditable(true);
    ProfilEd->addItems(BankCsvProfiles::names(store));
    KodierungEd = combo(QStringLiteral("KodierungEd"));
    KodierungEd->addItems({QStringLiteral("Windows-1252 (ANSI)"), QStringLiteral("UTF-8")});
    TrennzeichenEd = combo(QStringLiteral("TrennzeichenEd"));
    TrennzeichenEd->addItems({QStringLiteral("Semikolon ;"), QStringLiteral("Komma ,"), QStringLiteral("Tabulator")});
    DezimalEd = combo(QStringLiteral("DezimalEd"));
    DezimalEd->addItems({QStringLiteral("Komma (1.234,56)"), QStringLiteral("Punkt (1,234.56)")});
    UeberspringenEd = new QSpinBox(this);
    UeberspringenEd->setObjectName(QStringLiteral("UeberspringenEd"));
    UeberspringenEd->setRange(0, 100);
    UeberschriftCheck = new QCheckBox(QStringLiteral("Danach folgt eine Zeile mit Überschriften"), this);
    left->addRow(QStringLiteral("&Profil:"), ProfilEd);
    left->addRow(QStringLiteral("&Kodierung:"), KodierungEd);
    left->addRow(QStringLiteral("&Trennzeichen:"), TrennzeichenEd);
    left->addRow(QStringLiteral("&Dezimalzeichen:"), DezimalEd);
    left->addRow(QStringLiteral("&Zeilen überspringen:"), UeberspringenEd);
    left->addRow(QString(), UeberschriftCheck);

    DatumEd = combo(QStringLiteral("DatumEd"));
    BetragEd = combo(QStringLiteral("BetragEd"));
    SollEd = combo(QStringLiteral("SollEd"));
    HabenEd = combo(QStringLiteral("HabenEd"));
    GegenseiteEd = combo(QStringLiteral("GegenseiteEd"));
    ReferenzEd = combo(QStringLiteral("ReferenzEd"));
    WaehrungEd = combo(QStringLiteral("WaehrungEd"));
    TextEd = new QListWidget(this);
    TextEd->setObjectName(QStringLiteral("TextEd"));
    TextEd->setMaximumHeight(110);
    TextEd->setAccessibleName(QStringLiteral("Spalten des Verwendungszwecks"));
    right->addRow(QStringLiteral("D&atum:"), DatumEd);
    right->addRow(QStringLiteral("&Betrag (mit Vorzeichen):"), BetragEd);
    right->addRow(QStringLiteral("oder &Soll:"), SollEd);
    right->addRow(QStringLiteral("und &Haben:"), HabenEd);
    right->addRow(QStringLiteral("&Gegenseite:"), GegenseiteEd);
    right->addRow(QStringLiteral("Bank&referenz (je Umsatz eindeutig):"), ReferenzEd);
    right->addRow(QStringLiteral("&Währung:"), WaehrungEd);
    right->addRow(QStringLiteral("&Verwendungszweck aus:"), TextEd);

    VorschauLabel = new QLabel(QStringLiteral("Vorschau der ersten Zeilen:"), this);
    layout->addWidget(VorschauLabel);
    Vorschau = new QTableWidget(this);
    Vorschau->setObjectName(QStringLiteral("Vorschau"));
    Vorschau->setAccessibleName(QStringLiteral("Vorschau der ersten Zeilen"));
    Vorschau->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(Vorschau, 1);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    auto* remove = box->addButton(QStringLiteral("Profil &löschen"), QDialogButtonBox::ResetRole);
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, [this] {
        const QString name = ProfilEd->currentText();
        if (!BankCsvProfiles::names(m_store).contains(name) || !UiMessages::confirmDelete(this)) return;
        UiMessages::guarded(this, [&] {
            BankCsvProfiles::remove(m_store, name);
            m_store.sync();
        });
        ProfilEd->removeItem(ProfilEd->findText(name));
    });

    showProfile(proposal);
    connect(ProfilEd, &QComboBox::activated, this, [this](int i) {
        if (const auto p = BankCsvProfiles::load(m_store, ProfilEd->itemText(i))) showProfile(*p);
    });
    for (QComboBox* c : {KodierungEd, TrennzeichenEd, DezimalEd})
        connect(c, &QComboBox::currentIndexChanged, this, [this] {
            fillColumnChoices();
            updatePreview();
        });
    connect(UeberspringenEd, &QSpinBox::valueChanged, this, [this] {
        fillColumnChoices();
        updatePreview();
    });
    connect(UeberschriftCheck, &QCheckBox::toggled, this, [this] {
        fillColumnChoices();
        updatePreview();
    });
    for (QComboBox* c : {DatumEd, BetragEd, SollEd, HabenEd, GegenseiteEd, ReferenzEd, WaehrungEd})
        connect(c, &QComboBox::currentIndexChanged, this, [this] { updatePreview(); });
    connect(TextEd, &QListWidget::itemChanged, this, [this] { updatePreview(); });
}

void TBankCsvProfilForm::showProfile(const BankCsvProfile& p) {
    m_updating = true;
    ProfilEd->setEditText(p.name);
    KodierungEd->setCurrentIndex(p.encoding == BankCsvProfile::Encoding::Utf8 ? 1 : 0);
    TrennzeichenEd->setCurrentIndex(p.separator == u',' ? 1 : p.separator == u'\t' ? 2 : 0);
    DezimalEd->setCurrentIndex(p.decimalComma ? 0 : 1);
    UeberspringenEd->setValue(p.skipLines);
    UeberschriftCheck->setChecked(p.hasHeading);
    m_updating = false;
    fillColumnChoices();
    m_updating = true;
    const std::pair<QComboBox*, int> columns[] = {
        {DatumEd, p.dateColumn},       {BetragEd, p.amountColumn},           {SollEd, p.debitColumn},
        {HabenEd, p.creditColumn},     {GegenseiteEd, p.counterpartyColumn}, {ReferenzEd, p.referenceColumn},
        {WaehrungEd, p.currencyColumn}};
    for (const auto& [combo, column] : columns) combo->setCurrentIndex(column + 1 < combo->count() ? column + 1 : 0);
    for (int i = 0; i < TextEd->count(); ++i)
        TextEd->item(i)->setCheckState(p.textColumns.contains(i) ? Qt::Checked : Qt::Unchecked);
    m_updating = false;
    updatePreview();
}

BankCsvProfile TBankCsvProfilForm::profile() const {
    BankCsvProfile p;
    p.name = ProfilEd->currentText().trimmed();
    p.encoding = KodierungEd->currentIndex() == 1 ? BankCsvProfile::Encoding::Utf8 : BankCsvProfile::Encoding::Cp1252;
    p.separator = separators[std::clamp(TrennzeichenEd->currentIndex(), 0, 2)];
    p.decimalComma = DezimalEd->currentIndex() == 0;
    p.skipLines = UeberspringenEd->value();
    p.hasHeading = UeberschriftCheck->isChecked();
    p.dateColumn = columnOf(DatumEd);
    p.amountColumn = columnOf(BetragEd);
    p.debitColumn = columnOf(SollEd);
    p.creditColumn = columnOf(HabenEd);
    p.counterpartyColumn = columnOf(GegenseiteEd);
    p.referenceColumn = columnOf(ReferenzEd);
    p.currencyColumn = columnOf(WaehrungEd);
    for (int i = 0; i < TextEd->count(); ++i) {
        if (TextEd->item(i)->checkState() == Qt::Checked) p.textColumns << i;
    }
    p.heading = p.hasHeading ? BankCsvReader::headingLine(m_bytes, p) : QString();
    return p;
}

void TBankCsvProfilForm::fillColumnChoices() {
    if (m_updating) return;
    m_updating = true;
    const BankCsvProfile p = profile();
    const BankCsvReader::Table table = BankCsvReader::split(m_bytes, p, 1);
    QStringList names;
    const QStringList first = table.rows.empty() ? QStringList() : table.rows.front().fields;
    for (int i = 0; i < first.size(); ++i)
        names << QStringLiteral("%1: %2").arg(i + 1).arg(p.hasHeading ? first[i].left(40) : QString());
    for (QComboBox* c : {DatumEd, BetragEd, SollEd, HabenEd, GegenseiteEd, ReferenzEd, WaehrungEd}) {
        const int keep = c->currentIndex();
        c->clear();
        c->addItem(QStringLiteral("(keine)"));
        c->addItems(names);
        c->setCurrentIndex(keep >= 0 && keep < c->count() ? keep : 0);
    }
    QList<int> checked = p.textColumns;
    TextEd->clear();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(names[i], TextEd);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(checked.contains(i) ? Qt::Checked : Qt::Unchecked);
    }
    m_updating = false;
}

void TBankCsvProfilForm::updatePreview() {
    if (m_updating) return;
    const BankCsvProfile p = profile();
    const BankCsvReader::Table table = BankCsvReader::split(m_bytes, p, 16);
    int columns = 0;
    for (const BankCsvReader::Row& r : table.rows) columns = std::max<int>(columns, int(r.fields.size()));
    Vorschau->clear();
    Vorschau->setColumnCount(columns);
    Vorschau->setRowCount(int(table.rows.size()));
    QStringList titles;
    for (int c = 0; c < columns; ++c) {
        QString role;
        if (c == p.dateColumn)
            role = QStringLiteral("Datum");
        else if (c == p.amountColumn)
            role = QStringLiteral("Betrag");
        else if (c == p.debitColumn)
            role = QStringLiteral("Soll");
        else if (c == p.creditColumn)
            role = QStringLiteral("Haben");
        else if (c == p.counterpartyColumn)
            role = QStringLiteral("Gegenseite");
        else if (c == p.referenceColumn)
            role = QStringLiteral("Referenz");
        else if (c == p.currencyColumn)
            role = QStringLiteral("Währung");
        else if (p.textColumns.contains(c))
            role = QStringLiteral("Verwendungszweck");
        titles << (role.isEmpty() ? QString::number(c + 1) : QStringLiteral("%1 (%2)").arg(c + 1).arg(role));
    }
    Vorschau->setHorizontalHeaderLabels(titles);
    QStringList rowTitles;
    for (int r = 0; r < int(table.rows.size()); ++r) {
        rowTitles << QStringLiteral("Zeile %1").arg(table.rows[size_t(r)].line);
        const QStringList& fields = table.rows[size_t(r)].fields;
        for (int c = 0; c < fields.size(); ++c) Vorschau->setItem(r, c, new QTableWidgetItem(fields[c]));
    }
    Vorschau->setVerticalHeaderLabels(rowTitles);
    const QString text = table.error.isEmpty() ? QStringLiteral("Vorschau der ersten Zeilen:")
                                               : QStringLiteral("Vorschau der ersten Zeilen – %1").arg(table.error);
    VorschauLabel->setText(text);
    VorschauLabel->setAccessibleName(text);
}

void TBankCsvProfilForm::done(int result) {
    if (result != QDialog::Accepted) {
        QDialog::done(result);
        return;
    }
    const BankCsvProfile p = profile();
    QString why = p.incomplete();
    if (why.isEmpty() && p.name.isEmpty())
        why = QStringLiteral("Bitte geben Sie dem Profil einen Namen, z.B. den der Bank.");
    if (!why.isEmpty()) {
        UiMessages::showWarning(this, why);
        return;
    }
    if (!UiMessages::guarded(this, [&] {
            BankCsvProfiles::save(m_store, p);
            m_store.sync();
        }))
        return;
    QDialog::done(result);
}
