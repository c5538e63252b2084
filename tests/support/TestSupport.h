// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Pins the locale every test starts from: German, decimal comma, dd.MM.yyyy. Called by the test mains.
void pinGermanLocale();

// Switches the default locale for the lifetime of the object (English cases where separators matter).
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale);
    ~ScopedLocale();

private:
    QLocale m_previous;
};

// A temporary data folder, removed with the object. path() ends in '/'.
class TempFolder {
public:
    TempFolder();
    QString path() const;
    QString file(const QString& name) const { return path() + name; }

private:
    QTemporaryDir m_dir;
};

QByteArray readFile(const QString& fileName);
void writeFile(const QString& fileName, const QByteArray& bytes);

}  // namespace testsupport
