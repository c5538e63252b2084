// SPDX-License-Identifier: GPL-3.0-or-later
#include "datev/DatevFormat.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

QJsonObject rootOf(const QByteArray& json, const QString& origin) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw DatevDataError(
            QStringLiteral("Die DATEV-Formatdaten \"%1\" sind fehlerhaft: %2").arg(origin, error.errorString()));
    if (!doc.isObject())
        throw DatevDataError(
            QStringLiteral("Die DATEV-Formatdaten \"%1\" sind fehlerhaft: kein JSON-Objekt").arg(origin));
    return doc.object();
}

QMap<QString, QString> sourcesOf(const QJsonObject& root) {
    QMap<QString, QString> result;
    const QJsonObject sources = root.value(QStringLiteral("sources")).toObject();
    for (auto it = sources.begin(); it != sources.end(); ++it) result.insert(it.key(), it.value().toString());
    return result;
}

}  // namespace

const DatevField& DatevFormat::field(const QString& key) const {
    const auto it = fields.constFind(key);
    if (it == fields.constEnd())
        throw DatevDataError(QStringLiteral("Den DATEV-Formatdaten fehlt das Feld \"%1\".").arg(key));
    return *it;
}

const DatevChart* DatevCharts::chart(const QString& code) const {
    for (const DatevChart& c : charts)
        if (c.code == code) return &c;
    return nullptr;
}

const DatevTaxKey* DatevCharts::taxKey(double rate) const {
    for (const DatevTaxKey& k : taxKeys)
        if (std::llround(k.rate * 100) == std::llround(rate * 100)) return &k;
    return nullptr;
}

namespace DatevData {

DatevFormat parseFormat(const QByteArray& json, const QString& origin) {
    const QJsonObject root = rootOf(json, origin);
    const auto fail = [&origin](const QString& why) {
        return DatevDataError(QStringLiteral("Die DATEV-Formatdaten \"%1\" sind fehlerhaft: %2").arg(origin, why));
    };
    DatevFormat f;
    f.formatName = root.value(QStringLiteral("format")).toString();
    f.formatVersion = root.value(QStringLiteral("formatVersion")).toInt();
    f.fileNamePrefix = root.value(QStringLiteral("fileNamePrefix")).toString();
    f.maxBookingsPerFile = root.value(QStringLiteral("maxBookingsPerFile")).toInt();
    f.sources = sourcesOf(root);
    if (f.formatName.isEmpty() || f.formatVersion <= 0 || f.maxBookingsPerFile <= 0)
        throw fail(QStringLiteral("Formatname, Formatversion oder Höchstzahl der Buchungen fehlt"));
    for (const QJsonValue& v : root.value(QStringLiteral("header")).toArray()) {
        const QJsonObject o = v.toObject();
        DatevHeaderField h;
        h.nr = o.value(QStringLiteral("nr")).toInt();
        h.name = o.value(QStringLiteral("name")).toString();
        h.text = o.value(QStringLiteral("text")).toBool();
        h.value = o.value(QStringLiteral("value")).toString();
        h.setting = o.value(QStringLiteral("setting")).toString();
        h.maxLength = o.value(QStringLiteral("maxLength")).toInt();
        h.min = qint64(o.value(QStringLiteral("min")).toDouble());
        h.max = qint64(o.value(QStringLiteral("max")).toDouble());
        if (h.nr != int(f.header.size()) + 1) throw fail(QStringLiteral("Kopfzeilenfelder nicht lückenlos"));
        f.header.push_back(h);
    }
    for (const QJsonValue& v : root.value(QStringLiteral("columns")).toArray()) {
        const QJsonObject o = v.toObject();
        if (o.value(QStringLiteral("nr")).toInt() != f.columns.size() + 1)
            throw fail(QStringLiteral("Spalten nicht lückenlos"));
        f.columns << o.value(QStringLiteral("heading")).toString();
    }
    if (f.header.empty() || f.columns.isEmpty()) throw fail(QStringLiteral("Kopfzeile oder Spalten fehlen"));
    const QJsonObject fields = root.value(QStringLiteral("fields")).toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        DatevField d;
        d.column = o.value(QStringLiteral("column")).toInt();
        d.text = o.value(QStringLiteral("text")).toBool();
        d.maxLength = o.value(QStringLiteral("maxLength")).toInt();
        d.maxDigits =
            o.value(QStringLiteral("maxDigits")).toInt(o.value(QStringLiteral("maxDigitsBeforeComma")).toInt());
        d.value = o.value(QStringLiteral("value")).toString();
        d.allowed = o.value(QStringLiteral("allowed")).toString();
        if (d.column < 1 || d.column > f.columns.size())
            throw fail(QStringLiteral("Feld %1 ohne gültige Spalte").arg(it.key()));
        f.fields.insert(it.key(), d);
    }
    return f;
}

DatevCharts parseCharts(const QByteArray& json, const QString& origin) {
    const QJsonObject root = rootOf(json, origin);
    DatevCharts c;
    c.sources = sourcesOf(root);
    for (const QJsonValue& v : root.value(QStringLiteral("charts")).toArray()) {
        const QJsonObject o = v.toObject();
        DatevChart chart;
        chart.code = o.value(QStringLiteral("code")).toString();
        chart.name = o.value(QStringLiteral("name")).toString();
        chart.sachkontenlaenge = o.value(QStringLiteral("sachkontenlaenge")).toInt();
        chart.bank = o.value(QStringLiteral("bank")).toInt();
        chart.kasse = o.value(QStringLiteral("kasse")).toInt();
        if (chart.code.isEmpty() || chart.sachkontenlaenge <= 0 || chart.bank <= 0 || chart.kasse <= 0)
            throw DatevDataError(
                QStringLiteral("Die Kontenrahmendaten \"%1\" sind fehlerhaft: unvollständiger Kontenrahmen")
                    .arg(origin));
        c.charts.push_back(chart);
    }
    for (const QJsonValue& v : root.value(QStringLiteral("taxKeys")).toArray()) {
        const QJsonObject o = v.toObject();
        c.taxKeys.push_back({o.value(QStringLiteral("rate")).toDouble(),
                             o.value(QStringLiteral("umsatzsteuer")).toString(),
                             o.value(QStringLiteral("vorsteuer")).toString()});
    }
    if (c.charts.empty())
        throw DatevDataError(QStringLiteral("Die Kontenrahmendaten \"%1\" enthalten keinen Kontenrahmen.").arg(origin));
    return c;
}

QByteArray resource(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw DatevDataError(QStringLiteral("Die DATEV-Formatdaten \"%1\" fehlen im Programm.").arg(name));
    return file.readAll();
}

const DatevFormat& format() {
    static const DatevFormat f = parseFormat(resource(formatResource), formatResource);
    return f;
}

const DatevCharts& charts() {
    static const DatevCharts c = parseCharts(resource(chartsResource), chartsResource);
    return c;
}

}  // namespace DatevData
