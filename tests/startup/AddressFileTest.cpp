// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>

#include "startup/AddressFile.h"
#include "storage/StorageError.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

TEST(AddressFile, SavesWindows1252WithCrLfAfterEveryLine) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("anschrift_2_.txt"));
    AddressFile::save(
        name, {QStringLiteral("Müller GmbH"), QStringLiteral("Straße 5"), QString(), QStringLiteral("12345 Köln €")});
    EXPECT_EQ(readFile(name), QByteArray("M\xFCller GmbH\r\nStra\xDF"
                                         "e 5\r\n\r\n12345 K\xF6ln \x80\r\n"));
}

TEST(AddressFile, SaveReplacesAnExistingFile) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("anschrift_1_.txt"));
    writeFile(name, QByteArray("alt\r\nalt\r\nalt\r\n"));
    AddressFile::save(name, {QStringLiteral("neu")});
    EXPECT_EQ(readFile(name), QByteArray("neu\r\n"));
}

TEST(AddressFile, SaveOfNoLinesWritesAnEmptyFile) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("a.txt"));
    AddressFile::save(name, {});
    EXPECT_TRUE(QFile::exists(name));
    EXPECT_EQ(readFile(name), QByteArray());
}

struct LoadCase {
    const char* label;
    QByteArray bytes;
    QStringList lines;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.label;
}

class AddressFileLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(AddressFileLoad, ReadsLines) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("anschrift_1_.txt"));
    writeFile(name, GetParam().bytes);
    const auto lines = AddressFile::load(name);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AddressFileLoad,
    ::testing::Values(LoadCase{"CrLf",
                               QByteArray("M\xFCller GmbH\r\nHauptstr. 1\r\n"),
                               {QStringLiteral("Müller GmbH"), QStringLiteral("Hauptstr. 1")}},
                      LoadCase{"Lf",
                               QByteArray("M\xFCller GmbH\nHauptstr. 1\n"),
                               {QStringLiteral("Müller GmbH"), QStringLiteral("Hauptstr. 1")}},
                      LoadCase{"NoFinalBreak", QByteArray("A\r\nB"), {QStringLiteral("A"), QStringLiteral("B")}},
                      LoadCase{"EmptyLinesKept",
                               QByteArray("A\r\n\r\nB\r\n\r\n"),
                               {QStringLiteral("A"), QString(), QStringLiteral("B"), QString()}},
                      LoadCase{"Empty", QByteArray(), {}},
                      LoadCase{"Utf8WithBom", QByteArray("\xEF\xBB\xBFM\xC3\xBCller\r\n"), {QStringLiteral("Müller")}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(AddressFile, RoundTrip) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("a.txt"));
    const QStringList lines{QStringLiteral("Ärger & Söhne KG"), QStringLiteral("  eingerückt"), QString(),
                            QStringLiteral("Tel. 0221/123")};
    AddressFile::save(name, lines);
    EXPECT_EQ(AddressFile::load(name), lines);
}

TEST(AddressFile, MissingFileLoadsAsNothing) {
    TempFolder dir;
    EXPECT_FALSE(AddressFile::load(dir.file(QStringLiteral("fehlt.txt"))).has_value());
}

TEST(AddressFile, UnreadableFileLoadsAsNothing) {
    TempFolder dir;
    // A folder under the file's name cannot be read as a file, whoever runs the test.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("anschrift_1_.txt")));
    EXPECT_FALSE(AddressFile::load(dir.file(QStringLiteral("anschrift_1_.txt"))).has_value());
}

TEST(AddressFile, SaveIntoAMissingFolderThrowsNamingTheFile) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("gibtsnicht/anschrift_1_.txt"));
    try {
        AddressFile::save(name, {QStringLiteral("x")});
        FAIL() << "no error";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("anschrift_1_.txt"))) << e.what();
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Firmenanschrift"))) << e.what();
    }
    EXPECT_FALSE(QFile::exists(name));
}

}  // namespace

namespace {

// An address with characters 1252 lacks (a Polish street, a Czech town) is not cut down to '?': such a
// file is written as UTF-8 with byte order mark, which loading already understands.
TEST(AddressFile, CharactersOutside1252AreKept) {
    TempFolder dir;
    const QString name = dir.file(QStringLiteral("anschrift_3_.txt"));
    const QStringList lines{QStringLiteral("Łódź Sp. z o.o."), QStringLiteral("ul. Żeromskiego 7"),
                            QStringLiteral("Preis 5 €")};
    AddressFile::save(name, lines);
    EXPECT_TRUE(readFile(name).startsWith(QByteArray("\xEF\xBB\xBF")));
    EXPECT_EQ(AddressFile::load(name), lines);
}

}  // namespace
