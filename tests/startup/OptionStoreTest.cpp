// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

#include "startup/OptionDefaults.h"
#include "startup/OptionStore.h"
#include "storage/StorageError.h"
#include "support/TestSupport.h"

using testsupport::readFile;
using testsupport::TempFolder;
using testsupport::writeFile;

namespace {

const QString mainForm = QStringLiteral("TMainForm");

TEST(OptionStore, ValuesRoundTripThroughTheFile) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("Quorvel.ini"));
    {
        OptionStore store(ini);
        store.setBoolValue(mainForm, QStringLiteral("AutobelCheck_Checked"), false);
        store.setBoolValue(mainForm, QStringLiteral("FilternnachZeitraum1_Checked"), true);
        store.setValue(QStringLiteral("TAdminForm"), QStringLiteral("DirectoryEdit1_Text"),
                       QStringLiteral("/daten/Büro, 2026"));
        store.sync();
    }
    OptionStore store(ini);
    EXPECT_FALSE(store.boolValue(mainForm, QStringLiteral("AutobelCheck_Checked"), true));
    EXPECT_TRUE(store.boolValue(mainForm, QStringLiteral("FilternnachZeitraum1_Checked"), false));
    EXPECT_EQ(store.value(QStringLiteral("TAdminForm"), QStringLiteral("DirectoryEdit1_Text")),
              QStringLiteral("/daten/Büro, 2026"));
    // Check marks are stored as the texts True and False.
    EXPECT_EQ(store.value(mainForm, QStringLiteral("AutobelCheck_Checked")), QStringLiteral("False"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("FilternnachZeitraum1_Checked")), QStringLiteral("True"));
    // One group per window class.
    const QByteArray text = readFile(ini);
    EXPECT_TRUE(text.contains("[TMainForm]"));
    EXPECT_TRUE(text.contains("AutobelCheck_Checked=False"));
}

TEST(OptionStore, EmptyStoreGivesEveryDefault) {
    TempFolder dir;
    OptionStore store(dir.file(QStringLiteral("fehlt.ini")));
    for (const OptionDefaults::Item& item : OptionDefaults::all()) {
        EXPECT_FALSE(store.value(item.window, item.item).has_value()) << item.item.toStdString();
        if (item.item.endsWith(QStringLiteral("_Checked"))) {
            const bool expected = item.defaultValue == QStringLiteral("True");
            EXPECT_EQ(store.boolValue(item.window, item.item, OptionDefaults::defaultCheck(item.window, item.item)),
                      expected);
        }
    }
    EXPECT_FALSE(store.placement(mainForm, QSize(1920, 1080)).has_value());
}

TEST(OptionDefaults, FirstStartValues) {
    // Receipt numbering on, period filter off, both optional entry rows hidden, per-user folder chosen.
    EXPECT_TRUE(OptionDefaults::defaultCheck(QStringLiteral("TMainForm"), QStringLiteral("AutobelCheck_Checked")));
    EXPECT_FALSE(
        OptionDefaults::defaultCheck(QStringLiteral("TMainForm"), QStringLiteral("FilternnachZeitraum1_Checked")));
    EXPECT_FALSE(OptionDefaults::defaultCheck(QStringLiteral("TMainForm"),
                                              QStringLiteral("ZeigeEingabefeldfrSammelkonto1_Checked")));
    EXPECT_FALSE(OptionDefaults::defaultCheck(QStringLiteral("TMainForm"),
                                              QStringLiteral("ZeigeEingabefeldfrKostenstelle1_Checked")));
    EXPECT_TRUE(OptionDefaults::defaultCheck(QStringLiteral("TAdminForm"), QStringLiteral("UserFolderCheck_Checked")));
    EXPECT_FALSE(
        OptionDefaults::defaultCheck(QStringLiteral("TAdminForm"), QStringLiteral("ProgramFolderCheck_Checked")));
    EXPECT_EQ(OptionDefaults::defaultValue(QStringLiteral("TAdminForm"), QStringLiteral("DirectoryEdit1_Text")),
              QString());
    EXPECT_FALSE(OptionDefaults::defaultCheck(QStringLiteral("TDruckeErgebnisForm"),
                                              QStringLiteral("ResizeToPageWidthCheck_Checked")));
    EXPECT_EQ(OptionDefaults::all().size(), 11u);
}

struct BoolCase {
    const char* stored;
    bool defaultValue;
    bool expected;
};

void PrintTo(const BoolCase& c, std::ostream* os) {
    *os << c.stored << (c.defaultValue ? "/default True" : "/default False");
}

class OptionStoreBool : public ::testing::TestWithParam<BoolCase> {};

TEST_P(OptionStoreBool, ReadsTrueFalseAndFallsBackOnAnythingElse) {
    TempFolder dir;
    OptionStore store(dir.file(QStringLiteral("q.ini")));
    store.setValue(mainForm, QStringLiteral("X_Checked"), QString::fromLatin1(GetParam().stored));
    EXPECT_EQ(store.boolValue(mainForm, QStringLiteral("X_Checked"), GetParam().defaultValue), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, OptionStoreBool,
                         ::testing::Values(BoolCase{"True", false, true}, BoolCase{"False", true, false},
                                           BoolCase{"true", false, true}, BoolCase{"FALSE", true, false},
                                           BoolCase{"", true, true}, BoolCase{"ja", false, false},
                                           BoolCase{"1", false, false}));

TEST(OptionStore, PlacementRoundTripWithScreenSizeEntries) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("q.ini"));
    OptionStore::Placement p;
    p.flags = 2;
    p.showCmd = 3;
    p.pixelsPerInch = 120;
    p.minPos = QPoint(-1, -1);
    p.maxPos = QPoint(-8, -30);
    p.normPos = QRect(100, 50, 800, 600);
    {
        OptionStore store(ini);
        store.setPlacement(mainForm, QSize(1920, 1080), p);
        store.sync();
    }
    OptionStore store(ini);
    EXPECT_EQ(store.value(mainForm, QStringLiteral("NormPos")), QStringLiteral("100,50,900,650"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("NormPos(1920x1080)")), QStringLiteral("100,50,900,650"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("MinMaxPos")), QStringLiteral("-1,-1,-8,-30"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("MinMaxPos(1920x1080)")), QStringLiteral("-1,-1,-8,-30"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("Flags")), QStringLiteral("2"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("ShowCmd")), QStringLiteral("3"));
    EXPECT_EQ(store.value(mainForm, QStringLiteral("PixelsPerInch")), QStringLiteral("120"));

    const auto back = store.placement(mainForm, QSize(1920, 1080));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->flags, 2);
    EXPECT_EQ(back->showCmd, 3);
    EXPECT_EQ(back->pixelsPerInch, 120);
    EXPECT_EQ(back->minPos, QPoint(-1, -1));
    EXPECT_EQ(back->maxPos, QPoint(-8, -30));
    EXPECT_EQ(back->normPos, QRect(100, 50, 800, 600));
}

TEST(OptionStore, PlacementPrefersTheCurrentScreenAndFallsBackToThePlainEntry) {
    TempFolder dir;
    OptionStore store(dir.file(QStringLiteral("q.ini")));
    OptionStore::Placement big;
    big.normPos = QRect(10, 10, 1600, 1000);
    store.setPlacement(mainForm, QSize(1920, 1080), big);
    OptionStore::Placement small;
    small.normPos = QRect(20, 20, 700, 500);
    store.setPlacement(mainForm, QSize(1024, 768), small);  // the plain entry now holds the small one

    EXPECT_EQ(store.placement(mainForm, QSize(1920, 1080))->normPos, big.normPos);
    EXPECT_EQ(store.placement(mainForm, QSize(1024, 768))->normPos, small.normPos);
    EXPECT_EQ(store.placement(mainForm, QSize(2560, 1440))->normPos, small.normPos);
}

TEST(OptionStore, UnreadablePlacementEntriesFallBack) {
    TempFolder dir;
    OptionStore store(dir.file(QStringLiteral("q.ini")));
    store.setValue(mainForm, QStringLiteral("NormPos"), QStringLiteral("1,2,301,402"));
    store.setValue(mainForm, QStringLiteral("NormPos(800x600)"), QStringLiteral("kaputt"));
    store.setValue(mainForm, QStringLiteral("ShowCmd"), QStringLiteral("x"));
    const auto p = store.placement(mainForm, QSize(800, 600));
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->normPos, QRect(1, 2, 300, 400));
    EXPECT_EQ(p->showCmd, 1);
    EXPECT_EQ(p->minPos, QPoint(-1, -1));

    store.setValue(mainForm, QStringLiteral("NormPos"), QStringLiteral("300,2,1,402"));  // right before left
    EXPECT_FALSE(store.placement(mainForm, QSize(1024, 768)).has_value());
}

TEST(OptionStore, HandWrittenIniWithUnquotedCommasReads) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("q.ini"));
    writeFile(ini, QByteArray("[TMainForm]\nNormPos=5,6,105,206\nAutobelCheck_Checked=False\n"));
    OptionStore store(ini);
    EXPECT_EQ(store.value(mainForm, QStringLiteral("NormPos")), QStringLiteral("5,6,105,206"));
    EXPECT_EQ(store.placement(mainForm, QSize(1, 1))->normPos, QRect(5, 6, 100, 200));
    EXPECT_FALSE(store.boolValue(mainForm, QStringLiteral("AutobelCheck_Checked"), true));
}

TEST(OptionStore, GarbageFileGivesDefaults) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("q.ini"));
    writeFile(ini, QByteArray("\x01\x02\xff\xfe[[[\n=\n", 10));
    OptionStore store(ini);
    EXPECT_TRUE(store.boolValue(mainForm, QStringLiteral("AutobelCheck_Checked"), true));
    EXPECT_FALSE(store.placement(mainForm, QSize(1, 1)).has_value());
}

TEST(OptionStore, SyncIntoAnImpossibleLocationThrowsInGerman) {
    TempFolder dir;
    // A file stands where the folder of the store should be: no one can write there.
    writeFile(dir.file(QStringLiteral("block")), QByteArray("x"));
    OptionStore store(dir.file(QStringLiteral("block/sub/q.ini")));
    store.setBoolValue(mainForm, QStringLiteral("AutobelCheck_Checked"), true);
    try {
        store.sync();
        FAIL() << "no error";
    } catch (const QuorvelError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Die Einstellungen konnten nicht"))) << e.what();
    }
}

TEST(OptionStore, DefaultStoreIsNamedAfterTheExecutable) {
    const QString name = OptionStore::defaultFileName();
    EXPECT_TRUE(name.endsWith(QStringLiteral("/startup_tests.ini"))) << name.toStdString();
    EXPECT_EQ(OptionStore::executableBaseName(), QStringLiteral("startup_tests"));
    // The test environment points the configuration folder into a throw-away home.
    OptionStore store;
    EXPECT_EQ(store.location(), name);
}

}  // namespace

namespace {

TEST(OptionStore, ScreenSizeKeysOfAHandWrittenIniAreFound) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("q.ini"));
    writeFile(ini, QByteArray("[TMainForm]\nNormPos=1,2,3,4\nNormPos(1280x1024)=10,20,110,220\n"));
    OptionStore store(ini);
    EXPECT_EQ(store.placement(QStringLiteral("TMainForm"), QSize(1280, 1024))->normPos, QRect(10, 20, 100, 200));
    EXPECT_EQ(store.placement(QStringLiteral("TMainForm"), QSize(800, 600))->normPos, QRect(1, 2, 2, 2));
}

// A store that could not be read is replaced by the options of this run; saving them succeeds and
// reports nothing, and at the next start they are there.
TEST(OptionStore, AnUnreadableStoreIsReplacedWhenSaved) {
    TempFolder dir;
    const QString ini = dir.file(QStringLiteral("q.ini"));
    const QByteArray damaged("[TMainForm\n\x01\x02\xff\xfe[[[\n=\n\"", 20);
    writeFile(ini, damaged);
    {
        OptionStore store(ini);
        EXPECT_EQ(readFile(ini + QStringLiteral(".bak")), damaged);
        store.setBoolValue(QStringLiteral("TMainForm"), QStringLiteral("AutobelCheck_Checked"), false);
        EXPECT_NO_THROW(store.sync());
    }
    OptionStore again(ini);
    EXPECT_FALSE(again.boolValue(QStringLiteral("TMainForm"), QStringLiteral("AutobelCheck_Checked"), true));
}

}  // namespace
