// SPDX-License-Identifier: GPL-3.0-or-later
#include "recurring/TemplateTakeOver.h"

#include <cmath>
#include <limits>

#include "journal/EntryLookups.h"
#include "storage/DbfTable.h"
#include "storage/PendingRecord.h"
#include "storage/StorageError.h"

namespace TemplateTakeOver {

namespace {

enum Field { Art, Beleg, Text, Brutto, MwSt, Konto, FieldCount };

void requireTemplateLayout(const DbfTable& dauer) {
    if (!dauer.Active()) throw TableStateError(QStringLiteral("Cannot perform this operation on a closed dataset"));
    if (dauer.FieldCount() < FieldCount)
        throw StorageError(QStringLiteral("Die Tabelle der Dauerbuchungen %1 hat nicht die erwarteten Felder.")
                               .arg(dauer.TableName()));
}

int clampToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (value <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(value);
}

std::optional<QString> unlessEmpty(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    return text;
}

}  // namespace

int roundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5)
        result = lower + 1.0;
    else if (fraction == 0.5)
        result = std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
    return clampToInt(result);
}

TakeOverValues readCurrent(const DbfTable& dauer) {
    requireTemplateLayout(dauer);
    const bool pending = dauer.state() == DbfTable::State::Insert || dauer.state() == DbfTable::State::Edit;
    if (!pending && (dauer.RecordCount() == 0 || dauer.RecNo() < 0))
        throw StorageError(QStringLiteral("Es ist keine Dauerbuchung markiert."));

    TakeOverValues values;
    values.einnahme = dauer.Fields(Art).AsString() == QStringLiteral("E");
    values.beleg = unlessEmpty(dauer.Fields(Beleg).AsString());
    values.text = unlessEmpty(dauer.Fields(Text).AsString());
    values.brutto = dauer.Fields(Brutto).AsFloat();
    values.mwstZahl = roundHalfEven(dauer.Fields(MwSt).AsFloat());
    values.konto = dauer.Fields(Konto).IsNull() ? 0 : clampToInt(dauer.Fields(Konto).AsFloat());
    return values;
}

void addTemplate(DbfTable& dauer, DbfTable& mwstsaetze, DbfTable& accounts, const NewTemplate& entry) {
    requireTemplateLayout(dauer);
    // The lookups walk the master tables; done first, so that their failure leaves nothing pending.
    const double rate = entry.rateIndex < 0 ? 0.0 : EntryLookups::rateAt(mwstsaetze, entry.rateIndex);
    const int konto = entry.accountIndex < 0 ? 0 : EntryLookups::accountNrAt(accounts, entry.accountIndex);

    PendingRecord record(dauer);
    dauer.Fields(Art).setAsString(entry.einnahme ? QStringLiteral("E") : QStringLiteral("A"));
    dauer.Fields(Beleg).setAsString(entry.beleg);
    dauer.Fields(Text).setAsString(entry.text);
    dauer.Fields(Brutto).setAsFloat(entry.brutto);
    dauer.Fields(MwSt).setAsFloat(rate);
    dauer.Fields(Konto).setAsInteger(konto);
    record.post();
}

}  // namespace TemplateTakeOver
