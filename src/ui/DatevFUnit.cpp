// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DatevFUnit.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "datev/DatevExport.h"
#include "datev/DatevResultText.h"
#include "startup/OptionStore.h"
#include "startup/TableSet.h"
#include "storage/StorageError.h"
#include "tax/Kontenzuordnung.h"
#include "ui/DateField.h"
#include "ui/DialogParts.h"
#include "ui/FormStorage.h"
#include "ui/ProgressWindow.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

namespace {

const QString kWindow = QStringLiteral("TDatevForm");
enum Column { ColArt, ColNr, ColName, ColKonto, ColCount };

void box(QWidget* parent, QMessageBox::Icon icon, const QString& text, const QString& details = QString()) {
    QMessageBox b(icon, UiMessages::appTitle(), text, QMessageBox::Ok, parent);
    b.setObjectName(QStringLiteral("DatevMeldung"));
    b.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) b.setDetailedText(details);
    b.exec();
}

DatevKonten::Art artOf(const QTableWidget* grid, int row) {
    return DatevKonten::Art(grid->item(row, ColArt)->data(Qt::UserRole).toInt());
}

// The rows of an account table as (number, name).
std::vector<std::pair<int, QString>> accounts(const DbfTable& table) {
    std::vector<std::pair<int, QString>> result;
    if (!table.Active()) return result;
    for (int row = 0; row < table.RecordCount(); ++row)
        table.readRow(row,
                      [&](const DbfTable& t) { result.emplace_back(t.Fields(0).AsInteger(), t.Fields(1).AsString()); });
    return result;
}

}  // namespace

TDatevForm::TDatevForm(TableSet& tables, int mandantnr, int year, QWidget* parent)
    : QDialog(parent), m_tables(tables), m_mandantnr(mandantnr), m_year(year) {
    setObjectName(kWindow);
    setWindowTitle(QStringLiteral("Export für den Steuerberater (DATEV)"));
    setModal(true);

    auto* form = new QFormLayout;
    KontenrahmenEd = new QComboBox(this);
    KontenrahmenEd->setObjectName(QStringLiteral("KontenrahmenEd"));
    for (const DatevChart& c : DatevData::charts().charts) KontenrahmenEd->addItem(c.name, c.code);
    const auto line = [this](const char* name, int maxLength) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        if (maxLength > 0) e->setMaxLength(maxLength);
        return e;
    };
    BeraterEd = line("BeraterEd", 7);
    MandantEd = line("MandantEd", 5);
    BezeichnungEd = line("BezeichnungEd", 0);
    DiktatEd = line("DiktatEd", 0);
    VonEd = new DateField(this);
    VonEd->setObjectName(QStringLiteral("VonEd"));
    BisEd = new DateField(this);
    BisEd->setObjectName(QStringLiteral("BisEd"));
    for (DateField* d : {VonEd, BisEd}) d->setBookingYear(year);
    VonEd->setDate(QDate(year, 1, 1));
    BisEd->setDate(QDate(year, 12, 31));
    form->addRow(QStringLiteral("Kontenrahmen:"), KontenrahmenEd);
    form->addRow(QStringLiteral("Beraternummer:"), BeraterEd);
    form->addRow(QStringLiteral("Mandantennummer bei DATEV:"), MandantEd);
    form->addRow(QStringLiteral("Bezeichnung des Stapels:"), BezeichnungEd);
    form->addRow(QStringLiteral("Diktatkürzel:"), DiktatEd);
    auto* period = new QHBoxLayout;
    period->addWidget(VonEd);
    period->addWidget(new QLabel(QStringLiteral("bis"), this));
    period->addWidget(BisEd);
    form->addRow(QStringLiteral("Zeitraum vom:"), period);

    KontenGrid = new QTableWidget(0, ColCount, this);
    KontenGrid->setObjectName(QStringLiteral("KontenGrid"));
    KontenGrid->setHorizontalHeaderLabels(
        {QStringLiteral("Art"), QStringLiteral("Nr"), QStringLiteral("Bezeichnung"), QStringLiteral("DATEV-Konto")});
    KontenGrid->horizontalHeader()->setSectionResizeMode(ColName, QHeaderView::Stretch);
    KontenGrid->verticalHeader()->hide();
    HinweisLabel = new QLabel(this);
    HinweisLabel->setObjectName(QStringLiteral("HinweisLabel"));
    HinweisLabel->setWordWrap(true);

    ExportBtn = new QPushButton(QStringLiteral("Exportieren..."), this);
    ExportBtn->setObjectName(QStringLiteral("ExportBtn"));
    CloseBtn = new QPushButton(QStringLiteral("Schließen"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    for (QPushButton* b : {ExportBtn, CloseBtn}) b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ExportBtn);
    buttons->addWidget(CloseBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    auto* gridLabel =
        new QLabel(QStringLiteral("DATEV-Konten der Einnahme-, Ausgabe- und Sammelkonten (leer: Einnahme- "
                                  "und Ausgabekonten werden nicht exportiert, Sammelkonten gehen auf das "
                                  "Bankkonto des Kontenrahmens):"),
                   this);
    gridLabel->setWordWrap(true);
    layout->addWidget(gridLabel);
    layout->addWidget(KontenGrid, 1);
    layout->addWidget(HinweisLabel);
    layout->addLayout(buttons);
    resize(640, 560);

    m_storage = std::make_unique<FormStorage>(this, kWindow, false);
    m_storage->addText(BeraterEd, QString());
    m_storage->addText(MandantEd, QString());
    m_storage->addText(BezeichnungEd, QStringLiteral("Buchungen %1").arg(year));
    m_storage->addText(DiktatEd, QString());
    const QString chart =
        m_storage->store().value(kWindow, QStringLiteral("Kontenrahmen")).value_or(QStringLiteral("03"));
    KontenrahmenEd->setCurrentIndex(std::max(0, KontenrahmenEd->findData(chart)));

    m_konten = DatevKonten::read(tables.folder(), mandantnr, year);
    QStringList notes;
    if (!m_konten.problem().isEmpty()) notes << m_konten.problem();
    if (tables.readOnly())
        notes << QStringLiteral("Die Tabellen sind nur zum Lesen geöffnet: Die Zuordnung kann nicht geändert werden.");
    HinweisLabel->setText(notes.join(QLatin1Char('\n')));
    HinweisLabel->setAccessibleName(HinweisLabel->text());
    if (tables.readOnly()) KontenGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fillGrid();

    connect(KontenGrid, &QTableWidget::itemChanged, this, [this] { m_changed = true; });
    connect(KontenrahmenEd, &QComboBox::currentIndexChanged, this, [this] {
        if (chartCode() == m_gridChart) return;
        // The grid's accounts belong to the chart shown so far; a refused one keeps that chart.
        if (!takeGrid()) {
            const QSignalBlocker block(KontenrahmenEd);
            KontenrahmenEd->setCurrentIndex(KontenrahmenEd->findData(m_gridChart));
            return;
        }
        fillGrid();
    });
    connect(ExportBtn, &QPushButton::clicked, this, &TDatevForm::ExportBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    askFileName = [this](const QString& proposal) {
        QFileDialog dialog(this, QStringLiteral("Export für den Steuerberater (DATEV)"));
        dialog.setObjectName(QStringLiteral("DatevFileDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("DATEV-Dateien (EXTF_*.csv)"));
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(proposal);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().constFirst();
    };
    showResult = [this](const QString& summary, const QString& details) {
        box(this, QMessageBox::Information, summary, details);
    };
}

TDatevForm::~TDatevForm() = default;

QString TDatevForm::chartCode() const {
    return KontenrahmenEd->currentData().toString();
}

void TDatevForm::fillGrid() {
    const QSignalBlocker block(KontenGrid);
    m_gridChart = chartCode();
    const DatevChart* chart = DatevData::charts().chart(m_gridChart);
    KontenGrid->setRowCount(0);
    const auto add = [&](DatevKonten::Art art, const QString& artText, const DbfTable& table) {
        for (const auto& [nr, name] : accounts(table)) {
            const int row = KontenGrid->rowCount();
            KontenGrid->insertRow(row);
            auto* a = new QTableWidgetItem(artText);
            a->setData(Qt::UserRole, int(art));
            auto* n = new QTableWidgetItem(QString::number(nr));
            n->setData(Qt::UserRole, nr);
            auto* b = new QTableWidgetItem(name);
            for (QTableWidgetItem* i : {a, n, b}) i->setFlags(i->flags() & ~Qt::ItemIsEditable);
            std::optional<int> konto = m_konten.account(m_gridChart, art, nr);
            if (!konto && art == DatevKonten::Art::Sammel && chart) konto = chart->bank;
            KontenGrid->setItem(row, ColArt, a);
            KontenGrid->setItem(row, ColNr, n);
            KontenGrid->setItem(row, ColName, b);
            KontenGrid->setItem(row, ColKonto, new QTableWidgetItem(konto ? QString::number(*konto) : QString()));
        }
    };
    add(DatevKonten::Art::Einnahme, QStringLiteral("Einnahme"), m_tables.EinnahmeKonten);
    add(DatevKonten::Art::Ausgabe, QStringLiteral("Ausgabe"), m_tables.AusgabeKonten);
    add(DatevKonten::Art::Sammel, QStringLiteral("Sammelkonto"), m_tables.Sammelkonten);
    KontenGrid->resizeColumnToContents(ColArt);
}

bool TDatevForm::takeGrid() {
    const DatevChart* chart = DatevData::charts().chart(m_gridChart);
    if (!chart) return true;
    DatevKonten taken = m_konten;
    for (int row = 0; row < KontenGrid->rowCount(); ++row) {
        const DatevKonten::Art art = artOf(KontenGrid, row);
        const int nr = KontenGrid->item(row, ColNr)->data(Qt::UserRole).toInt();
        const QString typed = KontenGrid->item(row, ColKonto)->text().trimmed();
        if (typed.isEmpty()) {
            taken.set(m_gridChart, art, nr, std::nullopt);
            continue;
        }
        int konto = 0;
        const QString refusal = DatevKonten::refusal(typed, *chart, &konto);
        if (!refusal.isEmpty()) {
            KontenGrid->setCurrentCell(row, ColKonto);
            box(this, QMessageBox::Warning,
                QStringLiteral("%1 %2 (%3): %4")
                    .arg(KontenGrid->item(row, ColArt)->text(), KontenGrid->item(row, ColNr)->text(),
                         KontenGrid->item(row, ColName)->text(), refusal));
            return false;
        }
        // A collective account on the chart's bank account needs no row.
        if (art == DatevKonten::Art::Sammel && konto == chart->bank)
            taken.set(m_gridChart, art, nr, std::nullopt);
        else
            taken.set(m_gridChart, art, nr, konto);
    }
    m_konten = taken;
    return true;
}

bool TDatevForm::saveKonten() {
    if (!takeGrid()) return false;
    if (!m_changed || m_tables.readOnly()) return true;
    try {
        m_konten.write(m_tables.folder(), m_mandantnr, m_year);
    } catch (const QuorvelError& e) {
        box(this, QMessageBox::Critical, e.message());
        return false;
    }
    m_changed = false;
    return true;
}

void TDatevForm::done(int result) {
    if (!saveKonten()) return;
    m_storage->store().setValue(kWindow, QStringLiteral("Kontenrahmen"), chartCode());
    QDialog::done(result);
}

void TDatevForm::ExportBtnClick() {
    if (!saveKonten()) return;
    DatevSettings s;
    s.chart = chartCode();
    for (auto [edit, target, name] : {std::tuple{BeraterEd, &s.beraternummer, "Beraternummer"},
                                      std::tuple{MandantEd, &s.mandantennummer, "Mandantennummer"}}) {
        bool ok = false;
        *target = edit->text().trimmed().toLongLong(&ok);
        if (!ok) {
            edit->setFocus();
            box(this, QMessageBox::Warning,
                QStringLiteral("Bitte tragen Sie die %1 ein, die Ihnen Ihr Steuerberater genannt hat (nur Ziffern); "
                               "„%2“ ist keine.")
                    .arg(QString::fromLatin1(name), edit->text()));
            return;
        }
    }
    for (DateField* d : {VonEd, BisEd}) {
        if (!d->message().isEmpty()) {
            d->setFocus();
            box(this, QMessageBox::Warning, d->message());
            return;
        }
    }
    s.wjBeginn = QDate(m_year, 1, 1);
    s.von = VonEd->typedDate().date;
    s.bis = BisEd->typedDate().date;
    s.bezeichnung = BezeichnungEd->text();
    s.diktatkuerzel = DiktatEd->text();
    s.erzeugtAm = QDateTime::currentDateTime();
    std::optional<DatevExport> exporter;
    try {
        exporter.emplace(DatevData::format(), DatevData::charts(), m_konten,
                         Kontenzuordnung::read(m_tables.Kontenzuordnung), s);
    } catch (const QuorvelError& e) {
        box(this, QMessageBox::Warning, e.message());
        return;
    }
    const QString proposal = QDir(m_tables.folder()).filePath(QStringLiteral("EXTF_Buchungsstapel_%1.csv").arg(m_year));
    const QString fileName = askFileName(proposal);
    if (fileName.isEmpty()) return;

    std::optional<DatevResult> result;
    try {
        const WaitCursor wait;
        const auto bar = m_tables.Dbf1.RecordCount() > ProgressWindow::kFromRows
                             ? ProgressWindow::make(this, QStringLiteral("Buchungen werden für DATEV exportiert..."))
                             : nullptr;
        result = exporter->writeFiles(m_tables.Dbf1, fileName, ProgressWindow::step(bar.get()));
    } catch (const QuorvelError& e) {
        box(this, QMessageBox::Critical, e.message());
        return;
    }
    if (!result) {
        box(this, QMessageBox::Information,
            QStringLiteral("Der Export wurde abgebrochen. Die Datei „%1“ ist unverändert geblieben.")
                .arg(QDir::toNativeSeparators(fileName)));
        return;
    }
    const auto name = [this](char art, int nr) {
        for (const auto& [n, text] : accounts(art == 'E' ? m_tables.EinnahmeKonten : m_tables.AusgabeKonten))
            if (n == nr) return text;
        return QStringLiteral("Konto %1").arg(nr);
    };
    const DatevResultText text = DatevResultText::of(*result, name);
    showResult(text.summary, text.details);
}

void TDatevForm::keyPressEvent(QKeyEvent* event) {
    if (pressFocusedButton(this, event)) return;
    // Enter in a field moves on to the next one, as everywhere in the program; it never closes the window.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && qobject_cast<QLineEdit*>(focusWidget())) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}
