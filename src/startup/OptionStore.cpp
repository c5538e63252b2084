// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/OptionStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <array>
#include <utility>
#include <vector>

#include "storage/StorageError.h"

namespace {

QString key(const QString& window, const QString& item) {
    return window + QLatin1Char('/') + item;
}

QString screenSuffix(const QSize& screen) {
    return QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
}

QString fourNumbers(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

std::optional<std::array<int, 4>> parseFourNumbers(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    std::array<int, 4> numbers{};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[size_t(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    return numbers;
}

}  // namespace

OptionStore::OptionStore() {
#ifdef Q_OS_WIN
    m_settings = std::make_unique<QSettings>(defaultFileName(), QSettings::NativeFormat);
#else
    m_settings = std::make_unique<QSettings>(defaultFileName(), QSettings::IniFormat);
    replaceIfDamaged();
#endif
}

OptionStore::OptionStore(const QString& iniFileName)
    : m_settings(std::make_unique<QSettings>(iniFileName, QSettings::IniFormat)) {
    replaceIfDamaged();
}

// QSettings keeps reporting a file it could not parse as a format error, also after it has written
// the file anew, so every later save would look failed. A damaged file is therefore kept aside as
// "<name>.bak" and replaced at once by what could be read from it.
void OptionStore::replaceIfDamaged() {
    if (m_settings->status() != QSettings::FormatError) return;
    const QString fileName = m_settings->fileName();
    std::vector<std::pair<QString, QVariant>> readable;
    for (const QString& k : m_settings->allKeys()) readable.emplace_back(k, m_settings->value(k));

    const QString backup = fileName + QStringLiteral(".bak");
    QFile::remove(backup);
    if (!QFile::copy(fileName, backup)) return;  // nothing is given up without a copy
    m_settings.reset();
    QFile::remove(fileName);
    m_settings = std::make_unique<QSettings>(fileName, QSettings::IniFormat);
    for (const auto& [k, v] : readable) m_settings->setValue(k, v);
    m_settings->sync();
}

OptionStore::~OptionStore() = default;

QString OptionStore::executableBaseName() {
    QString name;
    if (QCoreApplication::instance()) name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("Quorvel") : name;
}

QString OptionStore::defaultFileName() {
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + executableBaseName();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           executableBaseName() + QStringLiteral(".ini");
#endif
}

QString OptionStore::location() const {
    return m_settings->fileName();
}

std::optional<QString> OptionStore::value(const QString& window, const QString& item) const {
    const QString k = key(window, item);
    if (!m_settings->contains(k)) return std::nullopt;
    const QVariant v = m_settings->value(k);
    // An INI value written by hand with unquoted commas ("10,20,30,40") comes back as a list.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void OptionStore::setValue(const QString& window, const QString& item, const QString& value) {
    m_settings->setValue(key(window, item), value);
}

bool OptionStore::boolValue(const QString& window, const QString& item, bool defaultValue) const {
    const std::optional<QString> text = value(window, item);
    if (!text) return defaultValue;
    if (text->compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return true;
    if (text->compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return false;
    return defaultValue;
}

void OptionStore::setBoolValue(const QString& window, const QString& item, bool value) {
    setValue(window, item, value ? QStringLiteral("True") : QStringLiteral("False"));
}

std::optional<OptionStore::Placement> OptionStore::placement(const QString& window, const QSize& screen) const {
    const QString suffix = screenSuffix(screen);
    auto fourOf = [&](const QString& name) -> std::optional<std::array<int, 4>> {
        if (const auto sized = value(window, name + suffix))
            if (const auto numbers = parseFourNumbers(*sized)) return numbers;
        if (const auto plain = value(window, name)) return parseFourNumbers(*plain);
        return std::nullopt;
    };
    auto numberOf = [&](const QString& name, int fallback) {
        bool ok = false;
        const int n = value(window, name).value_or(QString()).trimmed().toInt(&ok);
        return ok ? n : fallback;
    };

    const auto norm = fourOf(QStringLiteral("NormPos"));
    if (!norm) return std::nullopt;
    const auto [left, top, right, bottom] = *norm;
    if (right < left || bottom < top) return std::nullopt;

    Placement p;
    p.normPos = QRect(left, top, right - left, bottom - top);
    p.flags = numberOf(QStringLiteral("Flags"), p.flags);
    p.showCmd = numberOf(QStringLiteral("ShowCmd"), p.showCmd);
    p.pixelsPerInch = numberOf(QStringLiteral("PixelsPerInch"), p.pixelsPerInch);
    if (const auto minMax = fourOf(QStringLiteral("MinMaxPos"))) {
        p.minPos = QPoint((*minMax)[0], (*minMax)[1]);
        p.maxPos = QPoint((*minMax)[2], (*minMax)[3]);
    }
    return p;
}

void OptionStore::setPlacement(const QString& window, const QSize& screen, const Placement& p) {
    const QString suffix = screenSuffix(screen);
    const QString minMax = fourNumbers(p.minPos.x(), p.minPos.y(), p.maxPos.x(), p.maxPos.y());
    const QRect& r = p.normPos;
    const QString norm = fourNumbers(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    setValue(window, QStringLiteral("Flags"), QString::number(p.flags));
    setValue(window, QStringLiteral("ShowCmd"), QString::number(p.showCmd));
    setValue(window, QStringLiteral("PixelsPerInch"), QString::number(p.pixelsPerInch));
    setValue(window, QStringLiteral("MinMaxPos"), minMax);
    setValue(window, QStringLiteral("MinMaxPos") + suffix, minMax);
    setValue(window, QStringLiteral("NormPos"), norm);
    setValue(window, QStringLiteral("NormPos") + suffix, norm);
}

void OptionStore::sync() {
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError) return;
    throw QuorvelError(QStringLiteral("Die Einstellungen konnten nicht in \"%1\" gespeichert werden. Der "
                                      "Speicherort ist nicht beschreibbar.")
                           .arg(QDir::toNativeSeparators(m_settings->fileName())));
}
