// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/TaxForm.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

QString resourceFolder() {
    return QStringLiteral(":/tax/data");
}

}  // namespace

QString TaxFormLine::kzText() const {
    if (kz.isEmpty()) return QStringLiteral("Kz –");
    return kzTax.isEmpty() ? QStringLiteral("Kz ") + kz : QStringLiteral("Kz %1/%2").arg(kz, kzTax);
}

QString TaxFormLine::kzCell() const {
    const QString text = kz.isEmpty() ? QStringLiteral("–") : kz;
    return pruefen.isEmpty() ? text : text + QLatin1Char('*');
}

QString TaxFormLine::zeileCell() const {
    return zeile.isEmpty() ? QStringLiteral("–") : zeile;
}

const TaxFormLine* TaxForm::line(const QString& id) const {
    for (const TaxFormLine& l : lines)
        if (l.id == id) return &l;
    return nullptr;
}

std::vector<const TaxFormLine*> TaxForm::linesOfKind(const QString& kind) const {
    std::vector<const TaxFormLine*> result;
    for (const TaxFormLine& l : lines)
        if (l.kind == kind || l.rule == kind) result.push_back(&l);
    return result;
}

QString TaxForm::fallbackNote() const {
    if (requestedYear == 0 || requestedYear == year) return QString();
    return QStringLiteral("Für das Jahr %1 liegt kein eigener Vordruck vor; verwendet wird der Vordruck %2.")
        .arg(requestedYear)
        .arg(year);
}

QString TaxForm::pruefenNote() const {
    for (const TaxFormLine& l : lines)
        if (!l.pruefen.isEmpty())
            return QStringLiteral("* Kennzahl oder Zeilennummer sind nicht dem amtlichen Vordruck selbst entnommen, sondern "
                                  "nur anderen Quellen; bitte vor dem Übertragen mit dem Vordruck %1 vergleichen. "
                                  "Zeilen ohne Kennzahl oder Zeilennummer (–): dem amtlichen Vordruck entnehmen.")
                .arg(title);
    return QString();
}

namespace TaxFormData {

TaxForm parse(const QByteArray& json, const QString& origin) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    const auto fail = [&origin](const QString& why) {
        return TaxDataError(QStringLiteral("Die Formulardaten \"%1\" sind fehlerhaft: %2").arg(origin, why));
    };
    if (error.error != QJsonParseError::NoError) throw fail(error.errorString());
    if (!doc.isObject()) throw fail(QStringLiteral("kein JSON-Objekt"));
    const QJsonObject root = doc.object();
    TaxForm form;
    form.form = root.value(QStringLiteral("form")).toString();
    form.year = root.value(QStringLiteral("year")).toInt();
    form.title = root.value(QStringLiteral("title")).toString();
    if (form.form != ustva && form.form != euer) throw fail(QStringLiteral("unbekanntes Formular"));
    if (form.year < 1900 || form.year > 3000) throw fail(QStringLiteral("kein gültiges Jahr"));
    const QJsonObject sources = root.value(QStringLiteral("sources")).toObject();
    for (auto it = sources.begin(); it != sources.end(); ++it) form.sources.insert(it.key(), it.value().toString());
    const QJsonArray lines = root.value(QStringLiteral("lines")).toArray();
    if (lines.isEmpty()) throw fail(QStringLiteral("keine Zeilen"));
    static const QRegularExpression kzPattern(QStringLiteral("^[0-9]{0,3}$"));
    for (const QJsonValue& v : lines) {
        const QJsonObject o = v.toObject();
        TaxFormLine l;
        l.id = o.value(QStringLiteral("id")).toString();
        l.kz = o.value(QStringLiteral("kz")).toString();
        l.kzTax = o.value(QStringLiteral("kzTax")).toString();
        l.zeile = o.value(QStringLiteral("zeile")).toString();
        l.pruefen = o.value(QStringLiteral("pruefen")).toString();
        l.label = o.value(QStringLiteral("label")).toString();
        l.section = o.value(QStringLiteral("section")).toString();
        l.rule = o.value(QStringLiteral("rule")).toString();
        l.kind = o.value(QStringLiteral("kind")).toString();
        l.rate = o.value(QStringLiteral("rate")).toDouble();
        l.choice = o.value(QStringLiteral("choice")).toBool();
        for (const QJsonValue& s : o.value(QStringLiteral("source")).toArray()) l.sources << s.toString();
        if (l.id.isEmpty() || l.label.isEmpty()) throw fail(QStringLiteral("eine Zeile ohne Kennung oder Text"));
        if (!kzPattern.match(l.kz).hasMatch() || !kzPattern.match(l.kzTax).hasMatch())
            throw fail(QStringLiteral("Zeile \"%1\": Kennzahl \"%2\" ist keine Zahl").arg(l.id, l.kz));
        if (!kzPattern.match(l.zeile).hasMatch())
            throw fail(QStringLiteral("Zeile \"%1\": Zeilennummer \"%2\" ist keine Zahl").arg(l.id, l.zeile));
        if (l.sources.isEmpty()) throw fail(QStringLiteral("Zeile \"%1\" nennt keine Quelle").arg(l.id));
        for (const QString& s : l.sources)
            if (!form.sources.contains(s))
                throw fail(QStringLiteral("Zeile \"%1\" nennt die unbekannte Quelle \"%2\"").arg(l.id, s));
        if (form.line(l.id)) throw fail(QStringLiteral("Zeile \"%1\" kommt doppelt vor").arg(l.id));
        form.lines.push_back(l);
    }
    return form;
}

QList<int> availableYears(const QString& form) {
    QList<int> years;
    const QStringList files = QDir(resourceFolder()).entryList({form + QStringLiteral("-*.json")}, QDir::Files);
    for (const QString& f : files) {
        bool ok = false;
        const int year = f.mid(form.size() + 1, 4).toInt(&ok);
        if (ok) years << year;
    }
    std::sort(years.begin(), years.end());
    return years;
}

TaxForm load(const QString& form, int year) {
    const QList<int> years = availableYears(form);
    int chosen = 0;
    for (int y : years)
        if (y <= year) chosen = y;
    if (chosen == 0)
        throw TaxDataError(
            QStringLiteral("Für das Jahr %1 und die Jahre davor liegen keine Formulardaten vor.").arg(year));
    const QString name = QStringLiteral("%1/%2-%3.json").arg(resourceFolder(), form).arg(chosen);
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw TaxDataError(QStringLiteral("Die Formulardaten \"%1\" lassen sich nicht lesen.").arg(name));
    TaxForm result = parse(file.readAll(), name);
    result.requestedYear = year;
    return result;
}

}  // namespace TaxFormData
