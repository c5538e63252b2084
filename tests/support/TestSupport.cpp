// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

namespace testsupport {

void pinGermanLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

ScopedLocale::ScopedLocale(const QLocale& locale) : m_previous(QLocale()) {
    QLocale::setDefault(locale);
}
ScopedLocale::~ScopedLocale() {
    QLocale::setDefault(m_previous);
}

TempFolder::TempFolder() {
    EXPECT_TRUE(m_dir.isValid());
}
QString TempFolder::path() const {
    return m_dir.path() + QLatin1Char('/');
}

QByteArray readFile(const QString& fileName) {
    QFile f(fileName);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return f.readAll();
}

void writeFile(const QString& fileName, const QByteArray& bytes) {
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << fileName.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace testsupport
