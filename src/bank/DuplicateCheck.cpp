// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/DuplicateCheck.h"

#include <QHash>
#include <QSet>
#include <cmath>

#include "bank/BankLedger.h"
#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "storage/DayNumber.h"
#include "storage/DbfField.h"
#include "storage/DbfTable.h"

namespace DuplicateCheck {

namespace {

// A day and a signed amount in cents: what a booking and a movement must share.
struct Key {
    int day = 0;  // yyyymmdd
    qint64 cents = 0;
    bool operator==(const Key&) const = default;
};

size_t qHash(const Key& k, size_t seed = 0) {
    return qHashMulti(seed, k.day, k.cents);
}

int dayOf(const QDate& d) {
    return d.year() * 10000 + d.month() * 100 + d.day();
}

// "20260416" as stored in a D field; 0 when empty or malformed.
int storedDay(const char* p) {
    int v = 0;
    for (int i = 0; i < 8; ++i) {
        if (p[i] < '0' || p[i] > '9') return 0;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

// A stored number ("      119,50000000", point or comma) in cents, rounded half away from zero; false
// when the field is empty or not a plain number.
bool storedCents(const char* p, int width, qint64* cents) {
    int i = 0;
    while (i < width && p[i] == ' ') ++i;
    bool negative = false;
    if (i < width && (p[i] == '-' || p[i] == '+')) negative = p[i++] == '-';
    qint64 whole = 0;
    int digits = 0;
    while (i < width && p[i] >= '0' && p[i] <= '9' && digits < 15) whole = whole * 10 + (p[i++] - '0'), ++digits;
    int fraction[3] = {0, 0, 0};
    if (i < width && (p[i] == ',' || p[i] == '.')) {
        ++i;
        for (int k = 0; i < width && p[i] >= '0' && p[i] <= '9'; ++k, ++i) {
            if (k < 3) fraction[k] = p[i] - '0';
        }
    }
    while (i < width && p[i] == ' ') ++i;
    if (i != width || digits == 0) return false;
    qint64 c = whole * 100 + fraction[0] * 10 + fraction[1] + (fraction[2] >= 5 ? 1 : 0);
    *cents = negative ? -c : c;
    return true;
}

struct BookingHit {
    int row = 0;  // decoded only when a movement asks for it
    bool used = false;
};

struct LedgerRecord {
    Key key;
    QString counterparty;  // BankLedger::key
    QString bankRef;
    QString e2e;
};

QString describeRef(const BankMovement& m) {
    if (!m.bankRef.isEmpty()) return QStringLiteral("Bankreferenz %1").arg(m.bankRef);
    return QStringLiteral("Ende-zu-Ende-Referenz %1").arg(m.endToEndId);
}

}  // namespace

std::vector<Verdict> check(const Statement& statement, const DbfTable& ledger, const DbfTable& bookings) {
    const std::vector<BankMovement>& movements = statement.movements;
    std::vector<Verdict> verdicts(movements.size());
    std::vector<Key> keys(movements.size());
    // Movement keys to a slot of bookings sharing the key; a bitmap of the keys' hashes lets most of the
    // year's bookings pass without a hash lookup.
    QHash<Key, int> slotOf;
    slotOf.reserve(qsizetype(movements.size()));
    constexpr size_t filterBits = size_t(1) << 22;
    std::vector<quint64> filter(filterBits / 64, 0);
    auto filterBit = [](const Key& k) { return qHash(k, 0) & (filterBits - 1); };
    for (size_t i = 0; i < movements.size(); ++i) {
        keys[i] = Key{dayOf(movements[i].datum), movements[i].cents};
        if (!slotOf.contains(keys[i])) slotOf.insert(keys[i], int(slotOf.size()));
        const size_t bit = filterBit(keys[i]);
        filter[bit / 64] |= quint64(1) << (bit % 64);
    }
    std::vector<std::vector<BookingHit>> bookingsOf(size_t(slotOf.size()));

    // The bookings of the year, straight from the stored bytes; only those sharing a key are decoded.
    if (bookings.Active() && bookings.FieldCount() > Booking::Brutto &&
        bookings.Fields(Booking::Datum).dbfType() == 'D' && bookings.Fields(Booking::Brutto).dbfType() == 'N') {
        const int offDatum = bookings.fieldOffset(Booking::Datum);
        const int offArt = bookings.fieldOffset(Booking::Art);
        const int offBrutto = bookings.fieldOffset(Booking::Brutto);
        const int wBrutto = bookings.Fields(Booking::Brutto).Size();
        const int count = bookings.RecordCount();
        for (int row = 0; row < count; ++row) {
            const char* r = bookings.rowBytes(row);
            const int day = storedDay(r + offDatum);
            qint64 cents = 0;
            if (day == 0 || !storedCents(r + offBrutto, wBrutto, &cents)) continue;
            const char art = r[offArt];
            const int sign = (art == 'E' || art == 'N') ? 1 : -1;
            const Key key{day, sign * cents};
            const size_t bit = filterBit(key);
            if (!(filter[bit / 64] & (quint64(1) << (bit % 64)))) continue;
            auto it = slotOf.constFind(key);
            if (it == slotOf.constEnd()) continue;
            bookingsOf[size_t(*it)].push_back(BookingHit{row, false});
        }
    }

    // The ledger of movements taken over before.
    QHash<QString, int> ledgerRefs, ledgerE2e;
    QHash<Key, std::vector<int>> ledgerKeys;
    std::vector<LedgerRecord> records;
    if (ledger.Active() && ledger.FieldCount() >= int(BankLedger::schema().size())) {
        const int count = ledger.RecordCount();
        records.reserve(size_t(count));
        for (int row = 0; row < count; ++row) {
            ledger.readRow(row, [&](const DbfTable& t) {
                LedgerRecord rec;
                const QDate d = DayNumber::toDate(t.Fields(BankLedger::fDatum).AsDateTime());
                rec.key =
                    Key{dayOf(d), std::llround(Booking::roundToCent(t.Fields(BankLedger::fBetrag).AsFloat()) * 100)};
                rec.counterparty = BankLedger::key(t.Fields(BankLedger::fGegenseite).AsString());
                rec.bankRef = t.Fields(BankLedger::fBankref).AsString();
                rec.e2e = t.Fields(BankLedger::fE2eref).AsString();
                records.push_back(rec);
            });
        }
        for (int i = 0; i < int(records.size()); ++i) {
            if (!records[size_t(i)].bankRef.isEmpty()) ledgerRefs.insert(records[size_t(i)].bankRef, i);
            if (!records[size_t(i)].e2e.isEmpty()) ledgerE2e.insert(records[size_t(i)].e2e, i);
            ledgerKeys[records[size_t(i)].key].push_back(i);
        }
    }

    // The text and receipt of a booking row, read from its bytes when a movement asks for them.
    auto bookingText = [&bookings](int row, QString* beleg) {
        const char* r = bookings.rowBytes(row);
        const CodePage& cp = bookings.codePage();
        const DbfField& text = bookings.Fields(Booking::Text);
        const DbfField& receipt = bookings.Fields(Booking::Beleg);
        *beleg = cp.decode(r + bookings.fieldOffset(Booking::Beleg), receipt.Size()).trimmed();
        return cp.decode(r + bookings.fieldOffset(Booking::Text), text.Size()).trimmed().toCaseFolded();
    };

    // Takes the booking that stands for movement i: one naming its counterparty first, else any.
    auto takeBooking = [&](size_t i, bool needCounterparty) -> bool {
        std::vector<BookingHit>& candidates = bookingsOf[size_t(slotOf.value(keys[i]))];
        if (candidates.empty()) return false;
        const BankMovement& m = movements[i];
        const QString cp = m.counterparty.simplified().toCaseFolded();
        const QString probe = cp.left(20);
        for (BookingHit& h : candidates) {
            if (h.used) continue;
            QString beleg;
            const QString text = bookingText(h.row, &beleg);
            const bool names = probe.isEmpty() || text.contains(probe) || (!m.bankRef.isEmpty() && beleg == m.bankRef);
            if (names) {
                h.used = true;
                return true;
            }
        }
        if (needCounterparty) return false;
        for (BookingHit& h : candidates) {
            if (!h.used) {
                h.used = true;
                return true;
            }
        }
        return false;
    };

    QSet<QString> seenRefs, seenE2e;
    QMultiHash<Key, int> seenKeys;  // movement index
    std::vector<QString> cpKeys(movements.size()), refs(movements.size());
    for (size_t i = 0; i < movements.size(); ++i) {
        const BankMovement& m = movements[i];
        Verdict& v = verdicts[i];
        cpKeys[i] = BankLedger::key(m.counterparty);
        refs[i] = m.bankRef.left(35).trimmed();
        const QString& cpKey = cpKeys[i];
        const QString& ref = refs[i];
        const QString e2e = m.endToEndId.left(35).trimmed();

        // Read twice in the same files.
        bool repeated = (!ref.isEmpty() && seenRefs.contains(ref)) || (!e2e.isEmpty() && seenE2e.contains(e2e));
        for (auto it = seenKeys.constFind(keys[i]); !repeated && it != seenKeys.constEnd() && it.key() == keys[i];
             ++it) {
            const size_t other = size_t(it.value());
            if (cpKeys[other] == cpKey && (ref.isEmpty() || refs[other].isEmpty())) repeated = true;
        }
        if (repeated) {
            v = Verdict{Verdict::Kind::Repeated, QStringLiteral("Kommt in den gelesenen Auszügen doppelt vor.")};
            continue;
        }
        if (statement.fileComplete(m.fileIndex) && m.currency == u"EUR" && m.bookedByBank) {
            if (!ref.isEmpty()) seenRefs.insert(ref);
            if (!e2e.isEmpty()) seenE2e.insert(e2e);
            seenKeys.insert(keys[i], int(i));
        }

        // Taken over before.
        bool inLedger = (!ref.isEmpty() && ledgerRefs.contains(ref)) || (!e2e.isEmpty() && ledgerE2e.contains(e2e));
        QString how = inLedger ? describeRef(m) : QString();
        if (!inLedger) {
            for (int r : ledgerKeys.value(keys[i])) {
                const LedgerRecord& rec = records[size_t(r)];
                if (rec.counterparty == cpKey && (ref.isEmpty() || rec.bankRef.isEmpty())) {
                    inLedger = true;
                    how = QStringLiteral("gleiches Datum, gleicher Betrag, gleiche Gegenseite");
                }
            }
        }
        if (inLedger) {
            if (takeBooking(i, false))
                v = Verdict{Verdict::Kind::Booked, QStringLiteral("Bereits gebucht (%1).").arg(how)};
            else
                v = Verdict{
                    Verdict::Kind::LedgerOnly,
                    QStringLiteral("Wurde schon einmal übernommen (%1), die Buchung fehlt aber im Journal.").arg(how)};
            continue;
        }
        if (takeBooking(i, true))
            v = Verdict{Verdict::Kind::Booked,
                        QStringLiteral("Eine Buchung mit gleichem Datum, Betrag und Gegenseite gibt es schon.")};
    }
    return verdicts;
}

}  // namespace DuplicateCheck
