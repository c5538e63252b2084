#include "journal/VatSummary.h"

#include "journal/AmountFormat.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"

namespace {

constexpr int fieldDatum = 0;
constexpr int fieldArt = 1;
constexpr int fieldBrutto = 4;
constexpr int fieldMwst = 5;

QString line(const QString& caption, double amount, const QString& currency) {
    return caption + QLatin1Char(' ') + formatAmountWithCurrency(amount, currency);
}

}  // namespace

VatSums calcMwst(DbfTable& bookings, const Zeitraum& zeitraum) {
    VatSums sums;
    const auto add = [&sums](bool einnahme, long double brutto, long double rate) {
        if (rate + 100 == 0) return;
        // The term stays extended; the running sum is a double.
        double& sum = einnahme ? sums.mwst : sums.vorsteuer;
        sum = static_cast<double>(sum + brutto * rate / (rate + 100));
    };
    // Through the fields: for tables of another layout and for kinds that are not a single character.
    const auto readFields = [&](const DbfTable& table) {
        const double datum = table.Fields(fieldDatum).AsDateTime();
        if (!zeitraum.contains(datum)) return;
        const QString art = table.Fields(fieldArt).AsString();
        const bool einnahme = art == QLatin1String("E");
        if (!einnahme && art != QLatin1String("A")) return;
        add(einnahme, table.Fields(fieldBrutto).AsFloat(), table.Fields(fieldMwst).AsFloat());
    };

    // In the order the journal shows, as the sum depends on it. The rows are read where they stand (no
    // cursor step, no view told about each one); the cursor ends where a walk to the end leaves it.
    bookings.First();
    const int count = bookings.RecordCount();
    if (count > 0) {
        const auto type = [&bookings](int field) { return bookings.Fields(field).DataType(); };
        const auto isNumber = [&type](int field) {
            return type(field) == FieldType::Float || type(field) == FieldType::Integer;
        };
        const bool plainLayout = type(fieldDatum) == FieldType::Date && type(fieldArt) == FieldType::String &&
                                 isNumber(fieldBrutto) && isNumber(fieldMwst);
        if (!plainLayout) {
            for (int row = 0; row < count; ++row) bookings.readRow(row, readFields);
        } else {
            const int datumAt = bookings.fieldOffset(fieldDatum);
            const int artAt = bookings.fieldOffset(fieldArt);
            const int artWidth = bookings.Fields(fieldArt).Size();
            const int bruttoAt = bookings.fieldOffset(fieldBrutto);
            const int bruttoWidth = bookings.Fields(fieldBrutto).Size();
            const int mwstAt = bookings.fieldOffset(fieldMwst);
            const int mwstWidth = bookings.Fields(fieldMwst).Size();
            // What a kind of one stored byte reads as: 'E', 'A' or neither.
            char kindOf[256];
            for (int b = 0; b < 256; ++b) {
                const char byte = char(b);
                const QString text = bookings.codePage().decode(&byte, 1);
                kindOf[b] = text == QLatin1String("E") ? 'E' : text == QLatin1String("A") ? 'A' : 0;
            }
            for (int row = 0; row < count; ++row) {
                const char* record = bookings.rowBytes(row);
                if (!zeitraum.contains(FieldCodec::dayNumber(record + datumAt))) continue;
                const char* art = record + artAt;
                int artLength = artWidth;
                while (artLength > 0 && (art[artLength - 1] == ' ' || art[artLength - 1] == '\0')) --artLength;
                // Text of another length is neither "E" nor "A" in a code page of one byte a character.
                if (artLength != 1) continue;
                const char kind = kindOf[static_cast<unsigned char>(art[0])];
                if (kind == 0) continue;
                double brutto = 0;
                double rate = 0;
                FieldCodec::readNumber(record + bruttoAt, bruttoWidth, &brutto);
                FieldCodec::readNumber(record + mwstAt, mwstWidth, &rate);
                add(kind == 'E', brutto, rate);
            }
        }
    }
    bookings.Last();
    return sums;
}

QString mwstLabelCaption() {
    return QStringLiteral("MwSt für eingestellten Zeitraum:");
}
QString vorsteuerLabelCaption() {
    return QStringLiteral("Vorsteuer für eingestellten Zeitraum:");
}
QString abfuehrenLabelCaption() {
    return QStringLiteral("Abzuführen für eingestellten Zeitraum:");
}

QString mwstLabelText(const VatSums& sums, const QString& currency) {
    return line(mwstLabelCaption(), sums.mwst, currency);
}
QString vorsteuerLabelText(const VatSums& sums, const QString& currency) {
    return line(vorsteuerLabelCaption(), sums.vorsteuer, currency);
}
QString abfuehrenLabelText(const VatSums& sums, const QString& currency) {
    return line(abfuehrenLabelCaption(), sums.abzufuehren(), currency);
}
