// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "StorageTestUtil.h"
#include "storage/CodePage.h"
#include "storage/DbfTable.h"
#include "support/RawDbfWriter.h"
#include "support/TestSupport.h"

using namespace storagetest;
using testsupport::RawDbf;
using testsupport::readFile;
using testsupport::TempFolder;

TEST(CodePages, LanguageDriversNameTheirPages) {
    const std::pair<int, int> cases[] = {{0x01, 437},  {0x02, 850}, {0x03, 1252}, {0x57, 1252}, {0x58, 1252},
                                         {0x59, 1252}, {0x64, 852}, {0x65, 866},  {0xC8, 1250}, {0xC9, 1251},
                                         {0x26, 866},  {0x37, 850}, {0x40, 852},  {0x00, 1252}, {0xEE, 1252}};
    for (const auto& [ldid, page] : cases) {
        SCOPED_TRACE(ldid);
        EXPECT_EQ(CodePage::codePageOfLanguageDriver(ldid), page);
        EXPECT_EQ(CodePage::forLanguageDriver(ldid).number(), page);
    }
}

TEST(CodePages, DecodeAndEncodeRoundTrip) {
    struct Case {
        int page;
        const char* text;
    };
    const Case cases[] = {{1252, "Grüße € Œ"},  {850, "Grüße ÄÖÜ ß"},     {437, "Grüße ÄÖÜ ß"},   {866, "Привет мир"},
                          {1251, "Привет мир"}, {1250, "Łódź Žluťoučký"}, {852, "Łódź Žluťoučký"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const CodePage cp(c.page);
        const QString text = QString::fromUtf8(c.text);
        const QByteArray bytes = cp.encode(text);
        EXPECT_EQ(bytes.size(), text.size());
        EXPECT_FALSE(bytes.contains('?'));
        EXPECT_EQ(cp.decode(bytes.constData(), int(bytes.size())), text);
    }
    EXPECT_EQ(CodePage(1252).encode(QStringLiteral("€")), QByteArray("\x80"));
    EXPECT_EQ(CodePage(850).encode(QStringLiteral("ä€")), QByteArray("\x84?"));  // 850 has no euro sign
    EXPECT_EQ(CodePage(1252).encode(QString::fromUtf8("Ж")), QByteArray("?"));
}

TEST(CodePages, NewTablesUse1252AndKeepEuroAndUmlauts) {
    TempFolder folder;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), textSchema());
    EXPECT_EQ(table.languageDriver(), 0x03);
    appendTexts(table, {QStringLiteral("Büro 12 € Größe")});
    const QByteArray bytes = readFile(folder.file(QStringLiteral("t.dbf")));
    EXPECT_EQ(bytes.at(29), char(0x03));
    EXPECT_EQ(bytes.mid(66, 15), QByteArray("B\xFCro 12 \x80 Gr\xF6\xDF"
                                            "e"));
    table.Close();
    table.Open();
    EXPECT_EQ(walk(table), (QStringList{QStringLiteral("Büro 12 € Größe")}));
}

TEST(CodePages, ForeignFilesAreReadAndWrittenInTheirPage) {
    struct Case {
        quint8 ldid;
        QByteArray stored;
        const char* text;
    };
    const Case cases[] = {
        {0x01,
         "Gr\x81\xE1"
         "e",
         "Grüße"},                                     // 437
        {0x02, "\x8E\x99\x9A\xE1", "ÄÖÜß"},            // 850
        {0x65, "\x8F\xE0\xA8\xA2\xA5\xE2", "Привет"},  // 866
        {0xC9, "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},  // 1251
        {0x57, "Fu\xDF \x80", "Fuß €"},                // 1252 under the ANSI id
        {0x00, "Fu\xDF \x80", "Fuß €"},                // unknown: 1252
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TempFolder folder;
        RawDbf raw;
        raw.languageDriver = c.ldid;
        raw.fields = {{"TEXT", 'C', 12, 0}};
        raw.addRecord({c.stored});
        raw.write(folder.file(QStringLiteral("f.dbf")));
        DbfTable table;
        table.setFilePath(folder.path());
        table.setTableName(QStringLiteral("f.dbf"));
        table.Open();
        EXPECT_EQ(table.languageDriver(), c.ldid);
        EXPECT_EQ(walk(table), (QStringList{QString::fromUtf8(c.text)}));
        // Writing keeps the file's page and its language-driver byte.
        table.Insert();
        table.Fields(0).setAsString(QString::fromUtf8(c.text));
        table.Post();
        const QByteArray bytes = readFile(folder.file(QStringLiteral("f.dbf")));
        EXPECT_EQ(quint8(bytes.at(29)), c.ldid);
        EXPECT_EQ(bytes.mid(table.headerLength() + table.recordLength() + 1, c.stored.size()), c.stored);
    }
}

TEST(CodePages, BytesWithoutACharacterSurviveARoundTrip) {
    // 0x81, 0x8D, 0x8F, 0x90 and 0x9D name no character in 1252. Files of other software still carry
    // them; reading and writing a text back (the bookings upgrade does exactly that) must not turn
    // them into '?'.
    const CodePage cp(1252);
    const QByteArray stored(
        "a\x81"
        "b\x8D\x8F\x90\x9D"
        "c");
    const QString text = cp.decode(stored.constData(), int(stored.size()));
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(cp.encode(text), stored);
    // Every byte of every supported page comes back as itself.
    for (int page : {437, 850, 852, 866, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257}) {
        SCOPED_TRACE(page);
        const CodePage p(page);
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b) all[b] = char(b);
        EXPECT_EQ(p.encode(p.decode(all.constData(), 256)), all);
    }
}

TEST(CodePages, TextIsEncodedCharacterByCharacter) {
    const CodePage cp(1252);
    // Decomposed umlauts (as some systems paste them) are the same characters as the composed ones.
    const QString decomposed = QStringLiteral("Gru") + QChar(0x0308) + QStringLiteral("ße A") + QChar(0x0308);
    EXPECT_EQ(cp.encode(decomposed), QByteArray("Gr\xFC\xDF"
                                                "e \xC4"));
    // A character outside the basic plane is one character, so one '?', not two.
    const QString emoji = QStringLiteral("a") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("b");
    EXPECT_EQ(cp.encode(emoji), QByteArray("a?b"));
    char field[4];
    cp.encodeInto(emoji + QStringLiteral("cdef"), field, 4);
    EXPECT_EQ(QByteArray(field, 4), QByteArray("a?bc"));
}

TEST(CodePages, CanEncodeTellsWhetherTextSurvives) {
    const CodePage cp(1252);
    EXPECT_TRUE(cp.canEncode(QStringLiteral("Grüße € Œ")));
    EXPECT_TRUE(cp.canEncode(QStringLiteral("Gru") + QChar(0x0308) + QStringLiteral("ße")));
    EXPECT_FALSE(cp.canEncode(QStringLiteral("Łódź")));
    EXPECT_FALSE(cp.canEncode(QString::fromUcs4(U"\U0001F600")));
    EXPECT_TRUE(CodePage(850).canEncode(QStringLiteral("ÄÖÜ")));
    EXPECT_FALSE(CodePage(850).canEncode(QStringLiteral("€")));
}
