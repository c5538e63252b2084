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
