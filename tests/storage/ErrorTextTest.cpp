// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "StorageTestUtil.h"
#include "storage/DbfTable.h"
#include "storage/ErrorText.h"
#include "storage/StorageError.h"
#include "support/TestSupport.h"

using namespace storagetest;

namespace {

QString userTextOf(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        return ErrorText::forUser(e);
    }
    return QStringLiteral("(kein Fehler)");
}

// The English texts of the table layer never reach a window as they are: each becomes German and says
// what to do. The table layer itself keeps them (callers and the dataset interface know them).
TEST(ErrorText, TableLayerTextsReachTheUserInGerman) {
    testsupport::TempFolder folder;
    DbfTable closed;
    DbfTable table;
    createAndOpen(table, folder.path(), QStringLiteral("t.dbf"), accountSchema());
    struct Case {
        const char* label;
        std::function<void()> command;
        QString german;
    };
    const Case cases[] = {
        {"closed", [&] { closed.First(); }, QStringLiteral("Die Tabelle ist nicht geöffnet")},
        {"nothing pending", [&] { table.Post(); }, QStringLiteral("Es gibt keine Änderung zum Speichern")},
        {"unknown field", [&] { table.FieldByName(QStringLiteral("Gibtsnicht")); },
         QStringLiteral("Das Feld „Gibtsnicht“ gibt es in dieser Tabelle nicht")},
        {"field position", [&] { table.Fields(7); }, QStringLiteral("Der Eintrag Nr. 7 existiert nicht")},
        {"empty table", [&] { table.Delete(); }, QStringLiteral("Die Tabelle enthält keinen Datensatz")},
        {"open table", [&] { table.setTableName(QStringLiteral("x.dbf")); },
         QStringLiteral("bei geöffneter Tabelle nicht möglich")},
        {"foreign", [] { throw std::runtime_error("boom"); },
         QStringLiteral("Ein unerwarteter Fehler ist aufgetreten (boom)")},
        {"memory", [] { throw std::bad_alloc(); }, QStringLiteral("Der Arbeitsspeicher reicht")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const QString text = userTextOf(c.command);
        EXPECT_TRUE(text.startsWith(c.german) || text.contains(c.german)) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("dataset"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("not found"))) << text.toStdString();
    }
    // German texts pass unchanged.
    EXPECT_EQ(ErrorText::forUser(ConversionError(QStringLiteral("Bitte ändern Sie den Text."))),
              QStringLiteral("Bitte ändern Sie den Text."));
}

}  // namespace
