// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/BankCsvProfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "exchange/BankCsvReader.h"
#include "startup/OptionStore.h"

namespace {

const QString storeGroup = QStringLiteral("TKontoauszugForm");
const QString namesItem = QStringLiteral("CsvProfile");

QString profileItem(const QString& name) {
    return QStringLiteral("CsvProfil_") + QString::fromLatin1(name.toUtf8().toHex());
}

}  // namespace

QString BankCsvProfile::incomplete() const {
    if (dateColumn < 0) return QStringLiteral("Bitte geben Sie an, welche Spalte das Datum enthält.");
    if (amountColumn < 0 && (debitColumn < 0 || creditColumn < 0))
        return QStringLiteral("Bitte geben Sie die Spalte mit dem Betrag an, oder die Spalten für Soll und Haben.");
    if (separator.isNull() || separator == u'"' || separator == u'\n' || separator == u'\r')
        return QStringLiteral("Bitte wählen Sie ein Trennzeichen (Semikolon, Komma oder Tabulator).");
    if (skipLines < 0) return QStringLiteral("Die Zahl der zu überspringenden Zeilen darf nicht negativ sein.");
    return {};
}

QByteArray BankCsvProfile::toJson() const {
    QJsonObject o;
    o[u"name"] = name;
    o[u"encoding"] = encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("CP1252");
    o[u"separator"] = QString(separator);
    o[u"decimalComma"] = decimalComma;
    o[u"skipLines"] = skipLines;
    o[u"hasHeading"] = hasHeading;
    o[u"date"] = dateColumn;
    o[u"amount"] = amountColumn;
    o[u"debit"] = debitColumn;
    o[u"credit"] = creditColumn;
    QJsonArray texts;
    for (int c : textColumns) texts.append(c);
    o[u"text"] = texts;
    o[u"counterparty"] = counterpartyColumn;
    o[u"reference"] = referenceColumn;
    o[u"currency"] = currencyColumn;
    o[u"heading"] = heading;
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

std::optional<BankCsvProfile> BankCsvProfile::fromJson(const QByteArray& json) {
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return std::nullopt;
    const QJsonObject o = doc.object();
    BankCsvProfile p;
    p.name = o[u"name"].toString();
    p.encoding = o[u"encoding"].toString() == u"UTF-8" ? Encoding::Utf8 : Encoding::Cp1252;
    const QString sep = o[u"separator"].toString();
    p.separator = sep.isEmpty() ? QChar(u';') : sep[0];
    p.decimalComma = o[u"decimalComma"].toBool(true);
    p.skipLines = o[u"skipLines"].toInt(0);
    p.hasHeading = o[u"hasHeading"].toBool(true);
    p.dateColumn = o[u"date"].toInt(-1);
    p.amountColumn = o[u"amount"].toInt(-1);
    p.debitColumn = o[u"debit"].toInt(-1);
    p.creditColumn = o[u"credit"].toInt(-1);
    for (const QJsonValue v : o[u"text"].toArray()) p.textColumns << v.toInt();
    p.counterpartyColumn = o[u"counterparty"].toInt(-1);
    p.referenceColumn = o[u"reference"].toInt(-1);
    p.currencyColumn = o[u"currency"].toInt(-1);
    p.heading = o[u"heading"].toString();
    if (p.name.isEmpty()) return std::nullopt;
    return p;
}

namespace BankCsvProfiles {

QStringList names(const OptionStore& store) {
    const QByteArray json = store.value(storeGroup, namesItem).value_or(QString()).toUtf8();
    QStringList out;
    for (const QJsonValue v : QJsonDocument::fromJson(json).array()) out << v.toString();
    return out;
}

std::optional<BankCsvProfile> load(const OptionStore& store, const QString& name) {
    const std::optional<QString> json = store.value(storeGroup, profileItem(name));
    if (!json) return std::nullopt;
    return BankCsvProfile::fromJson(json->toUtf8());
}

static void saveNames(OptionStore& store, const QStringList& list) {
    QJsonArray array;
    for (const QString& n : list) array.append(n);
    store.setValue(storeGroup, namesItem, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
}

void save(OptionStore& store, const BankCsvProfile& profile) {
    QStringList list = names(store);
    if (!list.contains(profile.name)) list << profile.name;
    store.setValue(storeGroup, profileItem(profile.name), QString::fromUtf8(profile.toJson()));
    saveNames(store, list);
}

void remove(OptionStore& store, const QString& name) {
    QStringList list = names(store);
    list.removeAll(name);
    store.setValue(storeGroup, profileItem(name), QString());
    saveNames(store, list);
}

std::optional<BankCsvProfile> recognise(const OptionStore& store, const QByteArray& fileBytes) {
    for (const QString& name : names(store)) {
        const std::optional<BankCsvProfile> p = load(store, name);
        if (!p || !p->hasHeading || p->heading.isEmpty()) continue;
        if (BankCsvReader::headingLine(fileBytes, *p) == p->heading) return p;
    }
    return std::nullopt;
}

}  // namespace BankCsvProfiles
