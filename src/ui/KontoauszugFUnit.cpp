// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KontoauszugFUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "bank/BankLedger.h"
#include "journal/DetachedView.h"
#include "ui/BankRegelnFUnit.h"
#include "ui/KontoauszugModel.h"
#include "ui/MainUnit.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

namespace {

// The list columns edit with the entry panel's lists: selection only, the booking text also typed.
class ReviewDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const auto* model = static_cast<const KontoauszugModel*>(index.model());
        const int c = index.column();
        if (c == KontoauszugModel::EA || c == KontoauszugModel::Konto || c == KontoauszugModel::MwSt ||
            c == KontoauszugModel::Buchungstext) {
            auto* combo = new QComboBox(parent);
            combo->setEditable(c == KontoauszugModel::Buchungstext);
            combo->addItems(model->choices(index.row(), c));
            combo->setAccessibleName(model->headerData(c, Qt::Horizontal).toString());
            return combo;
        }
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setAccessibleName(model->headerData(c, Qt::Horizontal).toString());
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const QString text = index.data(Qt::EditRole).toString();
            if (combo->isEditable()) {
                combo->setEditText(text);
            } else {
                const int i = combo->findText(text.startsWith(QStringLiteral("Einnahme"))  ? QStringLiteral("Einnahme")
                                              : text.startsWith(QStringLiteral("Ausgabe")) ? QStringLiteral("Ausgabe")
                                                                                           : text);
                combo->setCurrentIndex(i);
            }
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->isEditable() || combo->currentIndex() >= 0) model->setData(index, combo->currentText());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }
};

// A grid whose open cell editor can be committed from outside (before "Buchen").
class ReviewGrid : public QTableView {
public:
    using QTableView::QTableView;
    void commitOpenEditor() {
        if (state() != EditingState) return;
        QWidget* editor = indexWidget(currentIndex());
        if (!editor) editor = QApplication::focusWidget();
        if (editor && viewport()->isAncestorOf(editor)) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

}  // namespace

TKontoauszugForm::TKontoauszugForm(TMainForm& mainForm, BankLedger& ledger, Input input, QWidget* parent)
    : QDialog(parent),
      m_main(mainForm),
      m_ledger(ledger),
      m_statement(std::move(input.statement)),
      m_rules(std::move(input.rules)),
      m_rulesFile(input.rulesFile) {
    setObjectName(QStringLiteral("KontoauszugForm"));
    setWindowTitle(QStringLiteral("Kontoauszug übernehmen"));
    resize(1180, 620);
    auto* layout = new QVBoxLayout(this);

    InfoLabel = new QLabel(this);
    InfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    InfoLabel->setWordWrap(true);
    layout->addWidget(InfoLabel);

    ProblemeMemo = new QPlainTextEdit(this);
    ProblemeMemo->setObjectName(QStringLiteral("ProblemeMemo"));
    ProblemeMemo->setReadOnly(true);
    ProblemeMemo->setAccessibleName(QStringLiteral("Probleme beim Lesen"));
    ProblemeMemo->setMaximumHeight(90);
    QStringList problems;
    for (const StatementProblem& p : m_statement.problems) problems << p.text();
    if (m_statement.problemCount() > int(m_statement.problems.size()))
        problems << QStringLiteral("… und %1 weitere Probleme.")
                        .arg(m_statement.problemCount() - int(m_statement.problems.size()));
    ProblemeMemo->setPlainText(problems.join(u'\n'));
    ProblemeMemo->setVisible(!problems.isEmpty());
    layout->addWidget(ProblemeMemo);

    m_model = new KontoauszugModel(std::move(input.rows), input.lists, input.year, input.firstReceipt, this);
    auto* grid = new ReviewGrid(this);
    Grid = grid;
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setAccessibleName(QStringLiteral("Umsätze des Kontoauszugs"));
    Grid->setModel(m_model);
    Grid->setItemDelegate(new ReviewDelegate(Grid));
    Grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 8);
    const int widths[] = {60, 86, 86, 170, 220, 80, 170, 70, 220, 70, 60, 150, 300};
    for (int c = 0; c < KontoauszugModel::ColumnCount; ++c) Grid->setColumnWidth(c, widths[c]);
    layout->addWidget(Grid, 1);
    connect(
        m_model, &KontoauszugModel::editRefused, this,
        [this](const QString& message) {
            UiMessages::showWarning(this, message);
            refocus();
        },
        Qt::QueuedConnection);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { updateInfo(); });

    auto* buttons = new QHBoxLayout;
    BankrefCheck = new QCheckBox(QStringLiteral("Bankreferenz als &Beleg"), this);
    BankrefCheck->setObjectName(QStringLiteral("BankrefCheck"));
    RegelBtn = new QPushButton(QStringLiteral("&Regel aus dieser Zeile"), this);
    RegelBtn->setObjectName(QStringLiteral("RegelBtn"));
    RegelnBtn = new QPushButton(QStringLiteral("Re&geln..."), this);
    RegelnBtn->setObjectName(QStringLiteral("RegelnBtn"));
    BuchenBtn = new QPushButton(QStringLiteral("B&uchen"), this);
    BuchenBtn->setObjectName(QStringLiteral("BuchenBtn"));
    SchliessenBtn = new QPushButton(QStringLiteral("&Schließen"), this);
    SchliessenBtn->setObjectName(QStringLiteral("SchliessenBtn"));
    // Enter edits and moves in the grid; posting needs its own button or Alt+U, never a stray Enter.
    for (QPushButton* b : {RegelBtn, RegelnBtn, BuchenBtn, SchliessenBtn}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    buttons->addWidget(BankrefCheck);
    buttons->addStretch(1);
    buttons->addWidget(RegelBtn);
    buttons->addWidget(RegelnBtn);
    buttons->addWidget(BuchenBtn);
    buttons->addWidget(SchliessenBtn);
    layout->addLayout(buttons);
    connect(BuchenBtn, &QPushButton::clicked, this,
            [this] { UiMessages::guarded(this, [this] { BuchenBtnClick(); }); });
    connect(RegelBtn, &QPushButton::clicked, this, [this] { UiMessages::guarded(this, [this] { RegelBtnClick(); }); });
    connect(RegelnBtn, &QPushButton::clicked, this,
            [this] { UiMessages::guarded(this, [this] { RegelnBtnClick(); }); });
    connect(BankrefCheck, &QCheckBox::toggled, this, [this] { BankrefCheckClick(); });
    connect(SchliessenBtn, &QPushButton::clicked, this, &QDialog::reject);

    updateInfo();
    Grid->setFocus();
    if (m_model->rowCount() > 0) Grid->setCurrentIndex(m_model->index(0, KontoauszugModel::Konto));
}

TKontoauszugForm::~TKontoauszugForm() = default;

void TKontoauszugForm::keyPressEvent(QKeyEvent* event) {
    // Escape while a cell is edited only leaves the cell (the grid handles it); otherwise it closes.
    QDialog::keyPressEvent(event);
}

void TKontoauszugForm::updateInfo() {
    int count[10] = {};
    for (const ReviewRow& r : m_model->rows()) ++count[int(r.state)];
    QStringList parts;
    parts << QStringLiteral("%1 Umsätze gelesen, %2 zum Buchen angehakt")
                 .arg(m_model->rowCount())
                 .arg(m_model->tickedCount());
    using S = ReviewRow::State;
    const std::pair<S, const char*> named[] = {
        {S::Booked, "bereits gebucht"},      {S::LedgerOnly, "schon übernommen, Buchung fehlt"},
        {S::Repeated, "doppelt gelesen"},    {S::OtherYear, "aus einem anderen Jahr"},
        {S::Currency, "in anderer Währung"}, {S::Unreadable, "aus nicht lesbaren Dateien"},
        {S::Zero, "mit Betrag 0"},           {S::Pending, "vorgemerkt"},
        {S::BookedNow, "jetzt gebucht"},
    };
    for (const auto& [state, text] : named) {
        if (count[int(state)] > 0) parts << QStringLiteral("%1 %2").arg(count[int(state)]).arg(QString::fromUtf8(text));
    }
    QString info = parts.join(QStringLiteral(", ")) + u'.';
    if (m_statement.problemCount() > 0)
        info +=
            QStringLiteral(" Beim Lesen gab es %1 Probleme (unten); aus den betroffenen Dateien wird nichts gebucht.")
                .arg(m_statement.problemCount());
    InfoLabel->setText(info);
    InfoLabel->setAccessibleName(info);
}

void TKontoauszugForm::commitEditor() {
    static_cast<ReviewGrid*>(Grid)->commitOpenEditor();
}

void TKontoauszugForm::BuchenBtnClick() {
    commitEditor();
    const int total = m_model->tickedCount();
    if (total == 0) {
        UiMessages::showInformation(this, QStringLiteral("Es ist kein Umsatz zum Buchen angehakt."));
        return;
    }
    m_main.postPendingEdits();
    QProgressDialog progress(QStringLiteral("Umsätze werden gebucht..."), QStringLiteral("Abbrechen"), 0, total, this);
    progress.setObjectName(QStringLiteral("BuchenProgress"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(total > 200 ? 0 : 1000);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    {
        const WaitCursor wait;
        const DetachedView detached = m_main.detachJournalViews();
        m_result =
            BankPosting::post(m_main.tables(), m_ledger, m_model->rows(), m_model->year(), [&progress](int done, int) {
                progress.setValue(done);
                return !progress.wasCanceled();
            });
    }
    progress.close();
    // The receipt proposal and the VAT summary follow once, at the end.
    m_main.FindMaxBel();
    m_main.calcMwst();
    m_model->refresh();
    updateInfo();
    if (!showSummary) return;
    QMessageBox box(
        m_result.error.isEmpty() && m_result.skipped.isEmpty() ? QMessageBox::Information : QMessageBox::Warning,
        windowTitle(), m_result.summary(), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("BuchenSummary"));
    box.exec();
    refocus();
}

// Gives the keyboard back to the grid after a message box, also where no window manager hands it back.
void TKontoauszugForm::refocus() {
    activateWindow();
    Grid->setFocus(Qt::OtherFocusReason);
}

void TKontoauszugForm::applyRules() {
    for (ReviewRow& r : m_model->rows()) {
        if (r.state == ReviewRow::State::BookedNow || r.rule >= 0) continue;
        const int rule = BankRules::firstMatch(m_rules, r.movement);
        if (rule >= 0) BankReview::applyRule(r, m_rules[size_t(rule)], rule, m_model->lists());
    }
    m_model->refresh();
}

void TKontoauszugForm::RegelBtnClick() {
    commitEditor();
    const QModelIndex current = Grid->currentIndex();
    if (!current.isValid()) {
        UiMessages::showInformation(
            this, QStringLiteral("Bitte wählen Sie zuerst die Zeile, aus der die Regel werden soll."));
        return;
    }
    ReviewRow& row = m_model->rows()[size_t(current.row())];
    const BankRule rule = BankReview::ruleFromRow(row, m_model->lists());
    if (rule.gegenseite.isEmpty() && rule.verwendung.isEmpty()) {
        UiMessages::showWarning(this,
                                QStringLiteral("Die Zeile hat weder Gegenseite noch Verwendungszweck; daraus lässt "
                                               "sich keine Regel machen."));
        return;
    }
    std::vector<BankRule> rules = m_rules;
    rules.push_back(rule);
    BankRules::save(m_rulesFile, rules);  // a failure leaves the rules as they were
    m_rules = rules;
    row.rule = int(m_rules.size()) - 1;
    row.ruleText = rule.description();
    int applied = 0;
    for (ReviewRow& r : m_model->rows()) {
        if (&r == &row || r.state == ReviewRow::State::BookedNow || r.rule >= 0 || !rule.matches(r.movement)) continue;
        BankReview::applyRule(r, rule, row.rule, m_model->lists());
        ++applied;
    }
    m_model->refresh();
    Grid->setCurrentIndex(current);
    UiMessages::showInformation(this,
                                QStringLiteral("Die Regel (%1) wurde gespeichert und auf %2 weitere Umsätze angewandt.")
                                    .arg(rule.description())
                                    .arg(applied));
    refocus();
}

void TKontoauszugForm::RegelnBtnClick() {
    commitEditor();
    TBankRegelnForm dialog(m_rules, m_model->lists(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<BankRule> rules = dialog.rules();
    BankRules::save(m_rulesFile, rules);
    m_rules = rules;
    for (ReviewRow& r : m_model->rows()) {
        if (r.state != ReviewRow::State::BookedNow) {
            r.rule = -1;
            r.ruleText.clear();
        }
    }
    applyRules();
}

void TKontoauszugForm::BankrefCheckClick() {
    const bool on = BankrefCheck->isChecked();
    for (ReviewRow& r : m_model->rows()) {
        if (r.state == ReviewRow::State::BookedNow) continue;
        const QString ref = r.movement.bankRef.left(20);
        if (on && !ref.isEmpty() && r.belegAuto) {
            r.beleg = ref;
            r.belegAuto = false;
        } else if (!on && !r.belegAuto && r.beleg == ref) {
            r.belegAuto = true;
        }
    }
    m_model->renumber();
    m_model->refresh();
}
