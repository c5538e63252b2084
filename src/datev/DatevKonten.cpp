// SPDX-License-Identifier: GPL-3.0-or-later
#include "datev/DatevKonten.h"

#include <QDir>
#include <QFileInfo>

#include "datev/DatevFormat.h"
#include "startup/ClientNaming.h"
#include "storage/DbfTable.h"
#include "storage/ErrorText.h"
#include "storage/TableRewrite.h"

namespace {

constexpr int fieldRahmen = 0;
constexpr int fieldArt = 1;
constexpr int fieldNr = 2;
constexpr int fieldKonto = 3;

std::vector<FieldDef> schema() {
    return {
        {QStringLiteral("Rahmen"), FieldType::String, 2},
        {QStringLiteral("Art"), FieldType::String, 1},
        {QStringLiteral("Nr"), FieldType::Integer, 0},
        {QStringLiteral("Konto"), FieldType::Integer, 0},
    };
}

QString nativePath(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(QDir(folder).filePath(name));
}

}  // namespace

QString DatevKonten::fileName(int mandantnr, int year) {
    return ClientNaming::tableFileName(baseName, mandantnr, year);
}

DatevKonten DatevKonten::read(const QString& folder, int mandantnr, int year) {
    DatevKonten result;
    const QString name = fileName(mandantnr, year);
    if (!QFileInfo::exists(QDir(folder).filePath(name))) return result;
    DbfTable table;
    table.setFilePath(folder);
    table.setTableName(name);
    table.setReadOnlyMode(true, QStringLiteral("Die DATEV-Konten werden hier nur gelesen."));
    try {
        table.Open();
    } catch (const std::exception& e) {
        result.m_unreadable = true;
        result.m_problem = QStringLiteral(
                               "Die DATEV-Konten \"%1\" lassen sich nicht lesen; es gelten keine "
                               "Zuordnungen.\n%2")
                               .arg(nativePath(folder, name), ErrorText::forUser(e));
        return result;
    }
    if (table.FieldCount() < 4) {
        result.m_unreadable = true;
        result.m_problem = QStringLiteral(
                               "Die DATEV-Konten \"%1\" haben ein unbekanntes Format; es gelten keine "
                               "Zuordnungen.")
                               .arg(nativePath(folder, name));
        return result;
    }
    QStringList bad;
    for (int row = 0; row < table.RecordCount(); ++row) {
        table.readRow(row, [&](const DbfTable& t) {
            const QString rahmen = t.Fields(fieldRahmen).AsString();
            const QString art = t.Fields(fieldArt).AsString();
            const int konto = t.Fields(fieldKonto).AsInteger();
            if (rahmen.isEmpty() || (art != u"E" && art != u"A" && art != u"S") || konto <= 0) {
                bad << QString::number(row + 1);
                return;
            }
            result.m_rows[{rahmen, char(art[0].unicode()), t.Fields(fieldNr).AsInteger()}] = konto;
        });
    }
    if (!bad.isEmpty()) {
        result.m_unreadable = true;
        result.m_problem = QStringLiteral(
                               "Die DATEV-Konten \"%1\" enthalten unlesbare Zeilen (Nr. %2); für diese "
                               "Konten gilt keine Zuordnung.")
                               .arg(nativePath(folder, name), bad.join(QStringLiteral(", ")));
    }
    return result;
}

std::optional<int> DatevKonten::account(const QString& chart, Art art, int nr) const {
    const auto it = m_rows.find({chart, char(art), nr});
    if (it == m_rows.end()) return std::nullopt;
    return it->second;
}

int DatevKonten::contraAccount(const DatevChart& chart, int sammelNr) const {
    return account(chart.code, Art::Sammel, sammelNr).value_or(chart.bank);
}

void DatevKonten::set(const QString& chart, Art art, int nr, std::optional<int> konto) {
    if (konto)
        m_rows[{chart, char(art), nr}] = *konto;
    else
        m_rows.erase({chart, char(art), nr});
}

QString DatevKonten::refusal(const QString& typed, const DatevChart& chart, int* konto) {
    const QString t = typed.trimmed();
    bool digits = !t.isEmpty();
    for (const QChar c : t) digits = digits && c >= u'0' && c <= u'9';
    if (!digits || t.size() != chart.sachkontenlaenge || t.toInt() <= 0)
        return QStringLiteral(
                   "„%1“ ist kein Konto des %2: Ein DATEV-Konto besteht hier aus genau %3 Ziffern, "
                   "z. B. %4.")
            .arg(t, chart.name, QString::number(chart.sachkontenlaenge), QString::number(chart.bank));
    if (konto) *konto = t.toInt();
    return QString();
}

void DatevKonten::write(const QString& folder, int mandantnr, int year) const {
    const QString name = fileName(mandantnr, year);
    const QString target = QDir(folder).filePath(name);
    if (m_unreadable)
        throw StorageError(QStringLiteral("Die DATEV-Konten \"%1\" wurden nicht gespeichert: Die vorhandene Datei "
                                          "ließ sich nicht vollständig lesen, und ihre übrigen Zeilen gingen sonst "
                                          "verloren.")
                               .arg(QDir::toNativeSeparators(target)));
    try {
        rewriteTable(target, schema(), QStringLiteral("Die DATEV-Konten"), [this](DbfTable& part) {
            for (const auto& [key, konto] : m_rows) {
                part.Insert();
                part.Fields(fieldRahmen).setAsString(std::get<0>(key));
                part.Fields(fieldArt).setAsString(QString(QLatin1Char(std::get<1>(key))));
                part.Fields(fieldNr).setAsInteger(std::get<2>(key));
                part.Fields(fieldKonto).setAsInteger(konto);
                part.Post();
            }
        });
    } catch (const QuorvelError&) {
        throw;
    } catch (const std::exception& e) {
        throw StorageError(QStringLiteral("Die DATEV-Konten \"%1\" konnten nicht gespeichert werden.\n%2")
                               .arg(QDir::toNativeSeparators(target), ErrorText::forUser(e)));
    }
}
