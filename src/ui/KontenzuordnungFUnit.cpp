// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/KontenzuordnungFUnit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QVBoxLayout>

#include "storage/DbfTable.h"

TKontenzuordnungForm::TKontenzuordnungForm(DbfTable& einnahmeKonten, DbfTable& ausgabeKonten, DbfTable& zuordnung,
                                           TaxForm ustva, TaxForm euer, QWidget* parent)
    : QDialog(parent), m_table(zuordnung), m_ustva(std::move(ustva)), m_euer(std::move(euer)) {
    setObjectName(QStringLiteral("TKontenzuordnungForm"));
    setWindowTitle(QStringLiteral("Kontenzuordnung"));
    setModal(true);
    resize(980, 560);
    m_zuordnung = Kontenzuordnung::read(m_table);

    auto* outer = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Wählen Sie für jedes Konto die Behandlung in der Umsatzsteuer-Voranmeldung "
                                            "und die Zeile der Anlage EÜR. Jede Änderung wird sofort gespeichert."),
                             this);
    intro->setWordWrap(true);
    outer->addWidget(intro);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* inner = new QWidget(scroll);
    m_grid = nullptr;
    auto* grid = new QGridLayout(inner);
    grid->addWidget(new QLabel(QStringLiteral("<b>Konto</b>"), inner), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("<b>Umsatzsteuer-Voranmeldung</b>"), inner), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("<b>Anlage EÜR</b>"), inner), 0, 2);
    scroll->setWidget(inner);
    outer->addWidget(scroll, 1);
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setWordWrap(true);
    outer->addWidget(StatusLabel);
    OKBtn = new QPushButton(QStringLiteral("Schließen"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    outer->addWidget(OKBtn, 0, Qt::AlignHCenter);

    m_grid = grid;
    m_gridParent = inner;
    addAccounts(einnahmeKonten, KontoSeite::Einnahme);
    addAccounts(ausgabeKonten, KontoSeite::Ausgabe);
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    const bool writable = m_table.Active() && !m_table.isReadOnly() && !m_table.readOnlyMode();
    QString status = m_zuordnung.problem();
    if (!writable && status.isEmpty())
        status = QStringLiteral("Die Kontenzuordnung ist schreibgeschützt; Änderungen sind nicht möglich.");
    if (!writable) status += QStringLiteral(" Die Auswahl ist gesperrt.");
    StatusLabel->setText(status);
    StatusLabel->setAccessibleName(status);
    QWidget* previous = nullptr;
    for (Row& row : m_rows) {
        row.UstEd->setEnabled(writable);
        if (!writable) row.EuerEd->setEnabled(false);
        for (QWidget* w : {static_cast<QWidget*>(row.UstEd), static_cast<QWidget*>(row.EuerEd)}) {
            if (previous) setTabOrder(previous, w);
            previous = w;
        }
    }
    if (previous) setTabOrder(previous, OKBtn);
    if (!m_rows.empty() && writable) m_rows.front().UstEd->setFocus();
}

void TKontenzuordnungForm::addAccounts(DbfTable& accounts, KontoSeite seite) {
    if (!accounts.Active()) return;
    QSet<int> seen;
    for (int r = 0; r < accounts.RecordCount(); ++r) {
        Row row;
        row.seite = seite;
        accounts.readRow(r, [&](const DbfTable& t) {
            row.nr = t.Fields(0).AsInteger();
            row.name = t.Fields(1).AsString();
        });
        if (seen.contains(row.nr)) continue;  // the assignment belongs to the number
        seen.insert(row.nr);
        const QString caption = QStringLiteral("%1 %2: %3")
                                    .arg(seite == KontoSeite::Einnahme ? QStringLiteral("Einnahmeart")
                                                                       : QStringLiteral("Ausgabeart"))
                                    .arg(row.nr)
                                    .arg(row.name);
        const int line = m_grid->rowCount();
        auto* label = new QLabel(caption, m_gridParent);
        row.UstEd = new QComboBox(m_gridParent);
        row.UstEd->setObjectName(QStringLiteral("UstEd_%1_%2").arg(seite == KontoSeite::Einnahme ? QStringLiteral("E") : QStringLiteral("A")).arg(row.nr));
        for (UstArt a : UstArten::choices(seite)) {
            if (!UstArten::owesTax(a)) {
                row.UstEd->addItem(UstArten::text(a, m_ustva), UstArten::code(a));
                continue;
            }
            for (double rate : UstArten::owedRates(m_ustva)) addOwedChoice(row.UstEd, a, rate);
        }
        row.EuerEd = new QComboBox(m_gridParent);
        row.EuerEd->setObjectName(QStringLiteral("EuerEd_%1_%2").arg(seite == KontoSeite::Einnahme ? QStringLiteral("E") : QStringLiteral("A")).arg(row.nr));
        for (QComboBox* box : {row.UstEd, row.EuerEd}) {
            // Long line texts stay readable in the open list without widening the dialog.
            box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            box->setMinimumContentsLength(28);
        }
        row.UstEd->setAccessibleName(QStringLiteral("Umsatzsteuer-Behandlung ") + caption);
        row.EuerEd->setAccessibleName(QStringLiteral("Zeile der Anlage EÜR ") + caption);
        label->setBuddy(row.UstEd);
        m_grid->addWidget(label, line, 0);
        m_grid->addWidget(row.UstEd, line, 1);
        m_grid->addWidget(row.EuerEd, line, 2);
        m_rows.push_back(row);
    }
    for (Row& row : m_rows) {
        if (row.seite != seite) continue;
        show(row, m_zuordnung.forAccount(row.seite, row.nr));
        QComboBox* ust = row.UstEd;
        QComboBox* euer = row.EuerEd;
        const KontoSeite s = row.seite;
        const int nr = row.nr;
        const auto handler = [this, s, nr] {
            for (Row& r : m_rows)
                if (r.seite == s && r.nr == nr) changed(r);
        };
        connect(ust, &QComboBox::currentIndexChanged, this, handler);
        connect(euer, &QComboBox::currentIndexChanged, this, handler);
    }
}

namespace {
constexpr int rateRole = Qt::UserRole + 1;
}

// A treatment whose tax the client owes is one choice per rate of the tax owed ("Steuerschuldner mit 19 % …").
int TKontenzuordnungForm::addOwedChoice(QComboBox* box, UstArt art, double rate) {
    box->addItem(UstArten::owedText(art, rate, m_ustva), UstArten::code(art));
    box->setItemData(box->count() - 1, rate, rateRole);
    return box->count() - 1;
}

// Puts an assignment into the two lists of a row; the EÜR list offers the lines the treatment allows.
void TKontenzuordnungForm::show(Row& row, const Zuordnung& z) {
    m_filling = true;
    int at = -1;
    for (int i = 0; i < row.UstEd->count() && at < 0; ++i)
        if (row.UstEd->itemData(i).toString() == UstArten::code(z.ust) &&
            (!UstArten::owesTax(z.ust) || row.UstEd->itemData(i, rateRole).toDouble() == z.satz))
            at = i;
    // A rate the form does not compute with (kept in the table) is still shown as it is.
    if (at < 0 && UstArten::owesTax(z.ust)) at = addOwedChoice(row.UstEd, z.ust, z.satz);
    row.UstEd->setCurrentIndex(at);
    row.EuerEd->clear();
    if (UstArten::euerLineFixed(z.ust)) {
        const TaxFormLine* l = m_euer.line(z.euerZeile);
        row.EuerEd->addItem(l ? l->kzText() + QStringLiteral(" ") + l->label : z.euerZeile, z.euerZeile);
        row.EuerEd->setEnabled(false);
    } else {
        const QString kind = row.seite == KontoSeite::Einnahme ? QStringLiteral("income") : QStringLiteral("expense");
        for (const TaxFormLine* l : m_euer.linesOfKind(kind))
            if (l->choice) row.EuerEd->addItem(l->kzText() + QStringLiteral(" ") + l->label, l->id);
        int at = row.EuerEd->findData(z.euerZeile);
        if (at < 0) at = row.EuerEd->findData(UstArten::defaultEuerLine(z.ust));
        row.EuerEd->setCurrentIndex(at);
        row.EuerEd->setEnabled(row.UstEd->isEnabled());
    }
    m_filling = false;
}

void TKontenzuordnungForm::changed(Row& row) {
    if (m_filling) return;
    UstArt ust;
    if (!UstArten::fromCode(row.UstEd->currentData().toString(), &ust)) return;
    const Zuordnung before = m_zuordnung.forAccount(row.seite, row.nr);
    Zuordnung z;
    z.ust = ust;
    if (UstArten::owesTax(ust)) z.satz = row.UstEd->currentData(rateRole).toDouble();
    // A new treatment proposes its own line; otherwise the chosen line stays.
    z.euerZeile = ust != before.ust ? UstArten::defaultEuerLine(ust) : row.EuerEd->currentData().toString();
    Kontenzuordnung next = m_zuordnung;
    next.set(row.seite, row.nr, z);
    try {
        next.write(m_table);
        m_zuordnung = next;
        const QString text = QStringLiteral("Gespeichert: %1 %2.")
                                 .arg(row.seite == KontoSeite::Einnahme ? QStringLiteral("Einnahmeart")
                                                                        : QStringLiteral("Ausgabeart"))
                                 .arg(row.nr);
        StatusLabel->setText(text);
        StatusLabel->setAccessibleName(text);
        show(row, m_zuordnung.forAccount(row.seite, row.nr));
    } catch (const QuorvelError& e) {
        show(row, before);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Kontenzuordnung"), e.message(), QMessageBox::Ok, this);
        box.exec();
    }
}
