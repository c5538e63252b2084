#include "journal/VatSummary.h"

#include "journal/AmountFormat.h"
#include "storage/DbfTable.h"

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
    bookings.First();
    while (!bookings.Eof()) {
        const double datum = bookings.Fields(fieldDatum).AsDateTime();
        if (zeitraum.contains(datum)) {
            const QString art = bookings.Fields(fieldArt).AsString();
            const bool einnahme = art == QLatin1String("E");
            if (einnahme || art == QLatin1String("A")) {
                const long double brutto = bookings.Fields(fieldBrutto).AsFloat();
                const long double rate = bookings.Fields(fieldMwst).AsFloat();
                if (rate + 100 != 0) {
                    // The term stays extended; the running sum is a double.
                    double& sum = einnahme ? sums.mwst : sums.vorsteuer;
                    sum = static_cast<double>(sum + brutto * rate / (rate + 100));
                }
            }
        }
        bookings.Next();
    }
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
