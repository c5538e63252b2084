#include "bank/DuplicateCheck.h"

#include <QHash>
#include <QSet>
#include <cmath>

#include "bank/BankLedger.h"
#include "journal/AmountFormat.h"
#include "journal/Booking.h"
#include "storage/DayNumber.h"
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
    QString text;  // case folded
    QString beleg;
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
    QHash<Key, std::vector<BookingHit>> hits;
    hits.reserve(qsizetype(movements.size()));
    for (size_t i = 0; i < movements.size(); ++i) {
        keys[i] = Key{dayOf(movements[i].datum), movements[i].cents};
        hits.insert(keys[i], {});
    }

    // The bookings of the year, straight from the stored bytes; only those sharing a key are decoded.
    if (bookings.Active() && bookings.FieldCount() > Booking::Brutto &&
        bookings.Fields(Booking::Datum).dbfType() == 'D' && bookings.Fields(Booking::Brutto).dbfType() == 'N') {
        const int offDatum = bookings.fieldOffset(Booking::Datum);
        const int offArt = bookings.fieldOffset(Booking::Art);
        const int offBeleg = bookings.fieldOffset(Booking::Beleg);
        const int offText = bookings.fieldOffset(Booking::Text);
        const int offBrutto = bookings.fieldOffset(Booking::Brutto);
        const int wBeleg = bookings.Fields(Booking::Beleg).Size();
        const int wText = bookings.Fields(Booking::Text).Size();
        const int wBrutto = bookings.Fields(Booking::Brutto).Size();
        const CodePage& cp = bookings.codePage();
        const int count = bookings.RecordCount();
        for (int row = 0; row < count; ++row) {
            const char* r = bookings.rowBytes(row);
            const int day = storedDay(r + offDatum);
            qint64 cents = 0;
            if (day == 0 || !storedCents(r + offBrutto, wBrutto, &cents)) continue;
            const char art = r[offArt];
            const int sign = (art == 'E' || art == 'N') ? 1 : -1;
            auto it = hits.find(Key{day, sign * cents});
            if (it == hits.end()) continue;
            it->push_back(BookingHit{cp.decode(r + offText, wText).trimmed().toCaseFolded(),
                                     cp.decode(r + offBeleg, wBeleg).trimmed(), false});
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
                rec.key = Key{dayOf(d), std::llround(Booking::roundToCent(t.Fields(BankLedger::fBetrag).AsFloat()) * 100)};
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

    // Takes the booking that stands for movement i: one naming its counterparty first, else any.
    auto takeBooking = [&](size_t i, bool needCounterparty) -> bool {
        auto it = hits.find(keys[i]);
        if (it == hits.end()) return false;
        const BankMovement& m = movements[i];
        const QString cp = m.counterparty.simplified().toCaseFolded();
        const QString probe = cp.left(20);
        for (BookingHit& h : *it) {
            if (h.used) continue;
            const bool names = probe.isEmpty() || h.text.contains(probe) || (!m.bankRef.isEmpty() && h.beleg == m.bankRef);
            if (names) {
                h.used = true;
                return true;
            }
        }
        if (needCounterparty) return false;
        for (BookingHit& h : *it) {
            if (!h.used) {
                h.used = true;
                return true;
            }
        }
        return false;
    };

    QSet<QString> seenRefs, seenE2e;
    QHash<Key, std::vector<std::pair<QString, QString>>> seenKeys;  // counterparty, bank reference
    for (size_t i = 0; i < movements.size(); ++i) {
        const BankMovement& m = movements[i];
        Verdict& v = verdicts[i];
        const QString cpKey = BankLedger::key(m.counterparty);
        const QString ref = BankLedger::key(m.bankRef, 35).isEmpty() ? QString() : m.bankRef.left(35).trimmed();
        const QString e2e = m.endToEndId.left(35).trimmed();

        // Read twice in the same files.
        bool repeated = (!ref.isEmpty() && seenRefs.contains(ref)) || (!e2e.isEmpty() && seenE2e.contains(e2e));
        if (!repeated) {
            for (const auto& [cp, otherRef] : seenKeys.value(keys[i])) {
                if (cp == cpKey && (ref.isEmpty() || otherRef.isEmpty())) repeated = true;
            }
        }
        if (repeated) {
            v = Verdict{Verdict::Kind::Repeated, QStringLiteral("Kommt in den gelesenen Auszügen doppelt vor.")};
            continue;
        }
        if (statement.fileComplete(m.fileIndex) && m.currency == u"EUR" && m.bookedByBank) {
            if (!ref.isEmpty()) seenRefs.insert(ref);
            if (!e2e.isEmpty()) seenE2e.insert(e2e);
            seenKeys[keys[i]].emplace_back(cpKey, ref);
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
                v = Verdict{Verdict::Kind::LedgerOnly,
                            QStringLiteral("Wurde schon einmal übernommen (%1), die Buchung fehlt aber im Journal.")
                                .arg(how)};
            continue;
        }
        if (takeBooking(i, true))
            v = Verdict{Verdict::Kind::Booked,
                        QStringLiteral("Eine Buchung mit gleichem Datum, Betrag und Gegenseite gibt es schon.")};
    }
    return verdicts;
}

}  // namespace DuplicateCheck
