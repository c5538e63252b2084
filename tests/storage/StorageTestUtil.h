// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <vector>

#include "storage/DbfTable.h"
#include "storage/FieldDef.h"
#include "storage/TableObserver.h"

// Schemas of the program's tables, built here so the storage tests do not depend on the start-up code.
namespace storagetest {

std::vector<FieldDef> bookingsSchema();
std::vector<FieldDef> accountSchema();
std::vector<FieldDef> mwstSchema();
std::vector<FieldDef> textSchema();
std::vector<FieldDef> dauerSchema();

// A field as the dBase header stores it, written out from the documented layout (not from our schemas).
struct StoredField {
    const char* name;  // upper case, at most 10 characters
    char type;
    int width;
    int decimals;
};
const std::vector<StoredField>& storedBookingsFields();
const std::vector<StoredField>& storedAccountFields();
const std::vector<StoredField>& storedDauerFields();

// Creates folder/name from the definitions and opens it.
void createAndOpen(DbfTable& table, const QString& folder, const QString& name, const std::vector<FieldDef>& defs);

// Appends one record per value into field 0 as text.
void appendTexts(DbfTable& table, const QStringList& values);

// The values of field `field` (AsString) of every visible row, walking from First.
QStringList walk(DbfTable& table, int field = 0);

// Records every notification as a short text, e.g. "ins?3", "ins3", "cur".
class RecordingObserver : public TableObserver {
public:
    QStringList events;
    bool withCursor = false;  // cursorChanged is noisy; off unless asked for

    void tableAboutToReset() override { events << QStringLiteral("reset?"); }
    void tableReset() override { events << QStringLiteral("reset"); }
    void rowAboutToBeInserted(int row) override { events << QStringLiteral("ins?%1").arg(row); }
    void rowInserted(int row) override { events << QStringLiteral("ins%1").arg(row); }
    void rowAboutToBeRemoved(int row) override { events << QStringLiteral("rem?%1").arg(row); }
    void rowRemoved(int row) override { events << QStringLiteral("rem%1").arg(row); }
    void rowAboutToMove(int from, int to) override { events << QStringLiteral("mov?%1>%2").arg(from).arg(to); }
    void rowMoved(int from, int to) override { events << QStringLiteral("mov%1>%2").arg(from).arg(to); }
    void rowChanged(int row) override { events << QStringLiteral("chg%1").arg(row); }
    void cursorChanged() override {
        if (withCursor) events << QStringLiteral("cur");
    }
};

}  // namespace storagetest
