// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ProtokollFUnit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include "audit/LogTableModel.h"
#include "storage/StorageError.h"
#include "ui/DateField.h"
#include "ui/UiMessages.h"

TProtokollForm::TProtokollForm(QWidget* parent) : QDialog(parent), m_model(new audit::LogTableModel(this)) {
    setObjectName(QStringLiteral("ProtokollForm"));
    setWindowTitle(QStringLiteral("Änderungsprotokoll"));
    resize(1000, 560);

    auto* filterRow = new QHBoxLayout;
    auto label = [&](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setBuddy(buddy);
        filterRow->addWidget(l);
        filterRow->addWidget(buddy);
    };
    SatzEd = new QSpinBox(this);
    SatzEd->setObjectName(QStringLiteral("SatzEd"));
    SatzEd->setRange(0, 999999999);
    SatzEd->setSpecialValueText(QStringLiteral("alle"));
    SatzEd->setAccessibleName(QStringLiteral("Datensatz"));
    label(QStringLiteral("&Datensatz:"), SatzEd);
    VonEd = new DateField(this);
    VonEd->setObjectName(QStringLiteral("VonEd"));
    VonEd->setAccessibleName(QStringLiteral("von Datum"));
    label(QStringLiteral("&von:"), VonEd);
    BisEd = new DateField(this);
    BisEd->setObjectName(QStringLiteral("BisEd"));
    BisEd->setAccessibleName(QStringLiteral("bis Datum"));
    label(QStringLiteral("&bis:"), BisEd);
    FilterBtn = new QPushButton(QStringLiteral("&Filtern"), this);
    FilterBtn->setObjectName(QStringLiteral("FilterBtn"));
    FilterBtn->setDefault(true);  // Enter in any field filters
    AlleBtn = new QPushButton(QStringLiteral("&Alle zeigen"), this);
    AlleBtn->setObjectName(QStringLiteral("AlleBtn"));
    filterRow->addWidget(FilterBtn);
    filterRow->addWidget(AlleBtn);
    filterRow->addStretch();

    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(m_model);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 6);
    Grid->horizontalHeader()->setStretchLastSection(false);
    Grid->setWordWrap(false);
    const int widths[] = {70, 140, 110, 70, 300, 300, 60};
    for (int c = 0; c < audit::LogTableModel::ColumnCount; ++c) Grid->setColumnWidth(c, widths[c]);

    AnzahlLabel = new QLabel(this);
    AnzahlLabel->setObjectName(QStringLiteral("AnzahlLabel"));
    auto* close = new QPushButton(QStringLiteral("&Schließen"), this);
    close->setObjectName(QStringLiteral("SchliessenBtn"));
    close->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(AnzahlLabel);
    bottom->addStretch();
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(Grid);
    layout->addLayout(bottom);

    connect(FilterBtn, &QPushButton::clicked, this, [this] { UiMessages::guarded(this, [this] { FilterBtnClick(); }); });
    connect(AlleBtn, &QPushButton::clicked, this, [this] { AlleBtnClick(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

TProtokollForm::~TProtokollForm() = default;

void TProtokollForm::load(const QString& logFile, const QString& bookingsFile, int year) {
    m_model->open(logFile, bookingsFile);
    VonEd->setBookingYear(year);
    BisEd->setBookingYear(year);
    AlleBtnClick();
}

void TProtokollForm::unload() {
    m_model->close();
}

void TProtokollForm::FilterBtnClick() {
    QDate ends[2];
    DateField* fields[2] = {VonEd, BisEd};
    for (int i = 0; i < 2; ++i) {
        if (fields[i]->text().trimmed().isEmpty()) continue;
        const DateInput::Result r = fields[i]->typedDate();
        if (!r.ok()) {
            fields[i]->setFocus();
            throw QuorvelError(fields[i]->message());
        }
        ends[i] = r.date;
    }
    m_model->select(SatzEd->value() - 1, ends[0], ends[1]);
    showCount();
}

void TProtokollForm::AlleBtnClick() {
    SatzEd->setValue(0);
    VonEd->clear();
    BisEd->clear();
    m_model->select(-1, {}, {});
    showCount();
}

void TProtokollForm::showCount() {
    const QString text = QStringLiteral("%1 von %2 Einträgen").arg(m_model->rowCount()).arg(m_model->totalCount());
    AnzahlLabel->setText(text);
    AnzahlLabel->setAccessibleName(text);
    if (m_model->rowCount() > 0) Grid->scrollToBottom();
}
