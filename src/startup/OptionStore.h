// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QSettings;

// The per-user option store. On Windows the registry key HKEY_CURRENT_USER\Software\<executable base
// name>, elsewhere the INI file <config folder>/<executable base name>.ini; renaming the executable
// therefore starts with default options. One group per window class, one string value per item
// ("AutobelCheck_Checked"), check marks as "True"/"False". A missing or unreadable store reads as empty,
// so every caller falls back to its defaults; a damaged INI file is kept as "<name>.bak" and replaced by
// what could be read from it.
class OptionStore {
public:
    // Window placement in the stored form. normPos is the normal window rectangle; it is stored as
    // left, top, right, bottom with right and bottom exclusive (right = left + width).
    struct Placement {
        int flags = 0;
        int showCmd = 1;  // 1 normal, 3 maximised
        int pixelsPerInch = 96;
        QPoint minPos{-1, -1};
        QPoint maxPos{-1, -1};
        QRect normPos;
    };

    OptionStore();                                     // the store of this executable
    explicit OptionStore(const QString& iniFileName);  // an explicit INI file (tests)
    ~OptionStore();
    OptionStore(const OptionStore&) = delete;
    OptionStore& operator=(const OptionStore&) = delete;

    // The registry key on Windows, the INI file name elsewhere.
    static QString defaultFileName();
    static QString executableBaseName();

    std::optional<QString> value(const QString& window, const QString& item) const;
    void setValue(const QString& window, const QString& item, const QString& value);

    // "True"/"False" (any letter case); anything else, or nothing stored, gives defaultValue.
    bool boolValue(const QString& window, const QString& item, bool defaultValue) const;
    void setBoolValue(const QString& window, const QString& item, bool value);

    // Reads the entry for the given screen size first and falls back to the plain one. nullopt when no
    // readable normal rectangle is stored; other missing or unreadable numbers keep their defaults.
    std::optional<Placement> placement(const QString& window, const QSize& screen) const;
    // Writes "Flags", "ShowCmd", "PixelsPerInch", and "MinMaxPos" and "NormPos" twice: plain and with
    // "(<width>x<height>)" of the screen appended.
    void setPlacement(const QString& window, const QSize& screen, const Placement& p);

    // Writes pending changes; throws QuorvelError (German, naming the store) when that fails.
    void sync();

    QString location() const;

private:
    void replaceIfDamaged();

    std::unique_ptr<QSettings> m_settings;
};
