// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/BankRules.h"

#include <QFileInfo>

#include "exchange/BankMovement.h"
#include "startup/ClientNaming.h"
#include "storage/DbfTable.h"
#include "storage/TableRewrite.h"
#include "storage/StorageError.h"

namespace {

enum RuleField { fGegenseite, fVerwendung, fKonto, fMwst, fBuchtext, fNeutral };

}  // namespace

bool BankRule::matches(const BankMovement& m) const {
    if (gegenseite.isEmpty() && verwendung.isEmpty()) return false;  // a rule for everything is no rule
    if (!gegenseite.isEmpty() && !m.counterparty.contains(gegenseite, Qt::CaseInsensitive)) return false;
    if (!verwendung.isEmpty() && !m.text.contains(verwendung, Qt::CaseInsensitive)) return false;
    return true;
}

QString BankRule::description() const {
    QStringList parts;
    if (!gegenseite.isEmpty()) parts << QStringLiteral("Gegenseite „%1“").arg(gegenseite);
    if (!verwendung.isEmpty()) parts << QStringLiteral("Verwendung „%1“").arg(verwendung);
    return parts.join(QStringLiteral(", "));
}

namespace BankRules {

std::vector<FieldDef> schema() {
    return {
        {QStringLiteral("Gegenseite"), FieldType::String, 60}, {QStringLiteral("Verwendung"), FieldType::String, 60},
        {QStringLiteral("Konto"), FieldType::Integer, 0},      {QStringLiteral("MwSt"), FieldType::Float, 0},
        {QStringLiteral("Buchtext"), FieldType::String, 60},   {QStringLiteral("Neutral"), FieldType::String, 1},
    };
}

QString fileName(const QString& folder, int mandantnr, int year) {
    return folder + ClientNaming::tableFileName(QString::fromLatin1(baseName), mandantnr, year);
}

std::vector<BankRule> load(const QString& file) {
    std::vector<BankRule> rules;
    if (!QFileInfo::exists(file)) return rules;
    DbfTable table;
    table.setFilePath(QFileInfo(file).absolutePath());
    table.setTableName(QFileInfo(file).fileName());
    table.setReadOnlyMode(true);
    table.Open();
    if (table.FieldCount() < int(schema().size()))
        throw DamagedTableError(QStringLiteral("Die Regeltabelle „%1“ hat nicht die erwarteten Felder.").arg(file));
    for (table.First(); !table.Eof(); table.Next()) {
        BankRule r;
        r.gegenseite = table.Fields(fGegenseite).AsString();
        r.verwendung = table.Fields(fVerwendung).AsString();
        r.konto = table.Fields(fKonto).AsInteger();
        r.mwst = table.Fields(fMwst).AsFloat();
        r.buchtext = table.Fields(fBuchtext).AsString();
        r.neutral = table.Fields(fNeutral).AsString() == u"J";
        rules.push_back(r);
    }
    table.Close();
    return rules;
}

void save(const QString& file, const std::vector<BankRule>& rules) {
    rewriteTable(file, schema(), QStringLiteral("Die Regeltabelle"), [&rules](DbfTable& part) {
        for (const BankRule& r : rules) {
            part.Insert();
            part.Fields(fGegenseite).setAsString(r.gegenseite);
            part.Fields(fVerwendung).setAsString(r.verwendung);
            part.Fields(fKonto).setAsInteger(r.konto);
            part.Fields(fMwst).setAsFloat(r.mwst);
            part.Fields(fBuchtext).setAsString(r.buchtext);
            part.Fields(fNeutral).setAsString(r.neutral ? QStringLiteral("J") : QString());
            part.Post();
        }
    });
}

Matcher::Matcher(const std::vector<BankRule>& rules) {
    for (const BankRule& r : rules) m_patterns.emplace_back(r.gegenseite.toCaseFolded(), r.verwendung.toCaseFolded());
}

int Matcher::firstMatch(const BankMovement& m) const {
    if (m_patterns.empty()) return -1;
    const QString counterparty = m.counterparty.toCaseFolded();
    const QString text = m.text.toCaseFolded();
    for (size_t i = 0; i < m_patterns.size(); ++i) {
        const auto& [g, v] = m_patterns[i];
        if (g.isEmpty() && v.isEmpty()) continue;
        if (!g.isEmpty() && !counterparty.contains(g)) continue;
        if (!v.isEmpty() && !text.contains(v)) continue;
        return int(i);
    }
    return -1;
}

int firstMatch(const std::vector<BankRule>& rules, const BankMovement& movement) {
    for (size_t i = 0; i < rules.size(); ++i) {
        if (rules[i].matches(movement)) return int(i);
    }
    return -1;
}

}  // namespace BankRules
