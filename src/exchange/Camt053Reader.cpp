// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/Camt053Reader.h"

#include <QIODevice>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace Camt053Reader {

namespace {

const QString namespacePrefix = QStringLiteral("urn:iso:std:iso:20022:tech:xsd:camt.053.001.");

// The elements the reader looks at; every other element is Other and only kept for the depth.
enum Tag : unsigned char {
    Other,
    Document,
    BkToCstmrStmt,
    Stmt,
    Ntry,
    Amt,
    CdtDbtInd,
    RvslInd,
    Sts,
    Cd,
    BookgDt,
    ValDt,
    Dt,
    DtTm,
    AcctSvcrRef,
    NtryDtls,
    TxDtls,
    Refs,
    EndToEndId,
    AmtDtls,
    TxAmt,
    RltdPties,
    Dbtr,
    Cdtr,
    DbtrAcct,
    CdtrAcct,
    Pty,
    Nm,
    Id,
    IBAN,
    RmtInf,
    Ustrd,
    Strd,
    CdtrRefInf,
    Ref,
    AddtlNtryInf,
    AddtlTxInf,
};

Tag tagOf(QStringView n) {
    struct Name {
        QStringView text;  // the length is known here, not counted at every comparison
        Tag tag;
    };
    static const Name names[] = {
        {u"Ntry", Ntry},
        {u"Amt", Amt},
        {u"CdtDbtInd", CdtDbtInd},
        {u"TxDtls", TxDtls},
        {u"NtryDtls", NtryDtls},
        {u"Nm", Nm},
        {u"Ustrd", Ustrd},
        {u"RmtInf", RmtInf},
        {u"RltdPties", RltdPties},
        {u"Dbtr", Dbtr},
        {u"Cdtr", Cdtr},
        {u"DbtrAcct", DbtrAcct},
        {u"CdtrAcct", CdtrAcct},
        {u"Id", Id},
        {u"IBAN", IBAN},
        {u"Refs", Refs},
        {u"EndToEndId", EndToEndId},
        {u"AcctSvcrRef", AcctSvcrRef},
        {u"BookgDt", BookgDt},
        {u"ValDt", ValDt},
        {u"Dt", Dt},
        {u"DtTm", DtTm},
        {u"Sts", Sts},
        {u"Cd", Cd},
        {u"RvslInd", RvslInd},
        {u"Pty", Pty},
        {u"Strd", Strd},
        {u"CdtrRefInf", CdtrRefInf},
        {u"Ref", Ref},
        {u"AmtDtls", AmtDtls},
        {u"TxAmt", TxAmt},
        {u"AddtlNtryInf", AddtlNtryInf},
        {u"AddtlTxInf", AddtlTxInf},
        {u"Stmt", Stmt},
        {u"BkToCstmrStmt", BkToCstmrStmt},
        {u"Document", Document},
    };
    // Most elements of a statement are among these; a name is compared only with names of its length.
    static const auto byLength = [] {
        std::array<std::vector<Name>, 16> table;
        for (const Name& name : names) table[size_t(name.text.size())].push_back(name);
        return table;
    }();
    if (n.size() >= qsizetype(byLength.size())) return Other;
    for (const Name& name : byLength[size_t(n.size())]) {
        if (std::equal(n.begin(), n.end(), name.text.begin())) return name.tag;
    }
    return Other;
}

struct Tx {
    QString amt, ccy, cdtDbt;  // TxDtls/Amt (001.04 on) and its direction
    QString txAmt, txCcy;      // TxDtls/AmtDtls/TxAmt/Amt (001.02)
    QString acctSvcrRef, endToEndId;
    QString dbtrNm, cdtrNm, dbtrIban, cdtrIban;
    QStringList ustrd;
    QString strdRef;
    QString addtlTxInf;
};

struct Entry {
    int number = 0;
    qint64 line = 0;
    QString amt, ccy, cdtDbt, rvsl, sts, bookgDt, valDt, acctSvcrRef, addtlNtryInf;
    std::vector<Tx> txs;
};

class Reader {
public:
    Reader(QIODevice& device, const QString& fileName, Statement& out)
        : m_xml(&device), m_out(out), m_file(out.addFile(fileName)) {}

    void run();

private:
    // True when the open elements end in `path` (the innermost last), the current element not counted.
    bool under(std::initializer_list<Tag> path) const {
        if (m_stack.size() < path.size()) return false;
        auto it = m_stack.end() - qsizetype(path.size());
        for (Tag t : path) {
            if (*it++ != t) return false;
        }
        return true;
    }
    bool inside(Tag t) const {
        for (Tag s : m_stack) {
            if (s == t) return true;
        }
        return false;
    }
    QString text() { return m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement).trimmed(); }
    // "Eintrag 12, Umsatz 3 (Zeile 345)", put together in one allocation.
    static QString entryWhere(const Entry& e, int tx = -1) {
        QString w;
        w.reserve(64);
        w += u"Eintrag ";
        appendNumber(w, e.number);
        if (tx >= 0) {
            w += u", Umsatz ";
            appendNumber(w, tx + 1);
        }
        w += u" (Zeile ";
        appendNumber(w, e.line);
        w += u')';
        return w;
    }
    static void appendNumber(QString& out, qint64 n) {
        char16_t digits[24];
        int count = 0;
        const bool negative = n < 0;
        quint64 rest = negative ? quint64(0) - quint64(n) : quint64(n);
        do {
            digits[count++] = char16_t(u'0' + rest % 10);
            rest /= 10;
        } while (rest > 0);
        if (negative) out += u'-';
        while (count > 0) out += QChar(digits[--count]);
    }
    void problem(const QString& where, const QString& field, const QString& why) {
        m_out.addProblem(m_file, where, field, why);
    }

    bool checkDocument();
    void startElement(Tag tag);
    void finishEntry();
    QDate readDate(const QString& text, const Entry& e, const QString& field);

    QXmlStreamReader m_xml;
    Statement& m_out;
    int m_file = 0;
    std::vector<Tag> m_stack;
    bool m_inEntry = false;
    Entry m_entry;
    int m_entries = 0;
};

bool Reader::checkDocument() {
    const QString ns = m_xml.namespaceUri().toString();
    if (m_xml.name() != u"Document") {
        problem({}, {},
                QStringLiteral("Die Datei ist kein Kontoauszug im Format camt.053 (das Wurzelelement heißt "
                               "„%1“ statt „Document“).")
                    .arg(m_xml.name().toString()));
        return false;
    }
    if (!ns.startsWith(namespacePrefix)) {
        problem({}, {},
                ns.isEmpty()
                    ? QStringLiteral("Die Datei nennt keine camt.053-Version (der Namensraum fehlt).")
                    : QStringLiteral("Die Datei ist kein Kontoauszug im Format camt.053 (Namensraum „%1“).").arg(ns));
        return false;
    }
    const QString version = ns.mid(namespacePrefix.size());
    if (!supportsVersion(version)) {
        problem({}, {},
                QStringLiteral("Die Version camt.053.001.%1 wird nicht gelesen; gelesen werden die Versionen "
                               "camt.053.001.02, .04 und .08.")
                    .arg(version));
        return false;
    }
    return true;
}

QDate Reader::readDate(const QString& text, const Entry& e, const QString& field) {
    // ISODate "2026-04-16" or ISODateTime "2026-04-16T10:15:00+02:00": the day as the bank wrote it.
    const QDate d = QDate::fromString(text.left(10), Qt::ISODate);
    if (!d.isValid() || (text.size() > 10 && text[10] != u'T'))
        problem(entryWhere(e), field, QStringLiteral("„%1“ ist kein Datum.").arg(text));
    return d;
}

void Reader::startElement(Tag tag) {
    // Leaf values, read whole here (readElementText consumes the end element as well).
    if (tag == Ntry && under({Stmt})) {
        m_inEntry = true;
        m_entry = Entry{};
        m_entry.number = ++m_entries;
        m_entry.line = m_xml.lineNumber();
        m_stack.push_back(tag);
        return;
    }
    if (!m_inEntry) {
        m_stack.push_back(tag);
        return;
    }
    Entry& e = m_entry;
    Tx* tx = e.txs.empty() || !inside(TxDtls) ? nullptr : &e.txs.back();
    if (tag == TxDtls && under({Ntry, NtryDtls})) {
        e.txs.emplace_back();
        m_stack.push_back(tag);
        return;
    }
    auto attrCcy = [this] {
        // Nearly every amount is in euro: that text is shared, not made anew for each of them.
        static const QString euro = QStringLiteral("EUR");
        const QXmlStreamAttributes attributes = m_xml.attributes();
        const QStringView ccy = attributes.value(QLatin1String("Ccy")).trimmed();
        return ccy == u"EUR" ? euro : ccy.toString();
    };
    if (under({Ntry})) {
        switch (tag) {
            case Amt:
                e.ccy = attrCcy();
                e.amt = text();
                return;
            case CdtDbtInd:
                e.cdtDbt = text();
                return;
            case RvslInd:
                e.rvsl = text();
                return;
            case Sts: {
                // 001.02 and .04 write the code directly, 001.08 inside Cd.
                const QString s = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                e.sts = s;
                return;
            }
            case AcctSvcrRef:
                e.acctSvcrRef = text();
                return;
            case AddtlNtryInf:
                e.addtlNtryInf = text();
                return;
            default:
                break;
        }
    } else if ((tag == Dt || tag == DtTm) && (under({Ntry, BookgDt}) || under({Ntry, ValDt}))) {
        (m_stack.back() == BookgDt ? e.bookgDt : e.valDt) = text();
        return;
    } else if (tx) {
        if (under({TxDtls})) {
            switch (tag) {
                case Amt:
                    tx->ccy = attrCcy();
                    tx->amt = text();
                    return;
                case CdtDbtInd:
                    tx->cdtDbt = text();
                    return;
                case AddtlTxInf:
                    tx->addtlTxInf = text();
                    return;
                default:
                    break;
            }
        } else if (tag == Amt && under({TxDtls, AmtDtls, TxAmt})) {
            tx->txCcy = attrCcy();
            tx->txAmt = text();
            return;
        } else if (under({TxDtls, Refs})) {
            if (tag == AcctSvcrRef) {
                tx->acctSvcrRef = text();
                return;
            }
            if (tag == EndToEndId) {
                tx->endToEndId = text();
                return;
            }
        } else if (tag == Nm) {
            // 001.02 and .04: RltdPties/Dbtr/Nm; 001.08: RltdPties/Dbtr/Pty/Nm.
            if (under({RltdPties, Dbtr}) || under({RltdPties, Dbtr, Pty})) {
                tx->dbtrNm = text();
                return;
            }
            if (under({RltdPties, Cdtr}) || under({RltdPties, Cdtr, Pty})) {
                tx->cdtrNm = text();
                return;
            }
        } else if (tag == IBAN) {
            if (under({RltdPties, DbtrAcct, Id})) {
                tx->dbtrIban = text();
                return;
            }
            if (under({RltdPties, CdtrAcct, Id})) {
                tx->cdtrIban = text();
                return;
            }
        } else if (tag == Ustrd && under({TxDtls, RmtInf})) {
            tx->ustrd << text();
            return;
        } else if (tag == Ref && under({RmtInf, Strd, CdtrRefInf})) {
            tx->strdRef = text();
            return;
        }
    }
    m_stack.push_back(tag);
}

void Reader::run() {
    bool documentSeen = false;
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        switch (token) {
            case QXmlStreamReader::DTD:
                // Entities declared here could expand without end or name outside files: never used.
                problem({}, {},
                        QStringLiteral("Die Datei enthält eine Dokumenttypdefinition (DTD, Zeile %1). Solche Dateien "
                                       "werden aus Sicherheitsgründen nicht gelesen; Kontoauszüge der Banken enthalten "
                                       "keine.")
                            .arg(m_xml.lineNumber()));
                return;
            case QXmlStreamReader::EntityReference:
                problem({}, {},
                        QStringLiteral("Die Datei verweist in Zeile %1 auf eine Entität; sie wird nicht gelesen.")
                            .arg(m_xml.lineNumber()));
                return;
            case QXmlStreamReader::StartElement: {
                if (!documentSeen) {
                    documentSeen = true;
                    if (!checkDocument()) return;
                }
                startElement(tagOf(m_xml.name()));
                break;
            }
            case QXmlStreamReader::EndElement:
                if (!m_stack.empty()) {
                    if (m_stack.back() == Ntry && m_inEntry) {
                        m_stack.pop_back();
                        finishEntry();
                        m_inEntry = false;
                        break;
                    }
                    m_stack.pop_back();
                }
                break;
            default:
                break;
        }
    }
    if (m_xml.hasError() && !documentSeen && m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        problem({}, {}, QStringLiteral("Die Datei ist leer."));
    } else if (m_xml.hasError()) {
        QString why = m_xml.errorString();
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            why = QStringLiteral("Die Datei endet mitten im Auszug (abgeschnitten?).");
        problem(QStringLiteral("Zeile %1").arg(m_xml.lineNumber()), {},
                QStringLiteral("Die Datei ist kein gültiges XML: %1").arg(why));
        // Movements of an entry that was still open are not kept; those before are, but the file is
        // marked as not read whole, so none of them is posted.
    } else if (!documentSeen) {
        problem({}, {}, QStringLiteral("Die Datei ist leer."));
    }
}

// Joins the remittance lines: the bank cuts a long purpose into lines of up to 140 characters.
QString joined(const QStringList& lines) {
    QString out;
    for (const QString& l : lines) {
        if (l.isEmpty()) continue;
        if (out.isEmpty()) {
            out = l;  // a single line is shared, not copied
            continue;
        }
        out += u' ';
        out += l;
    }
    return out;
}

void Reader::finishEntry() {
    const Entry& e = m_entry;
    const qsizetype problemsBefore = m_out.problemCount();
    qint64 entryCents = 0;
    if (e.amt.isEmpty())
        problem(entryWhere(e), QStringLiteral("Betrag"), QStringLiteral("Der Betrag fehlt."));
    else if (!BankAmount::parseIsoCents(e.amt, &entryCents))
        problem(entryWhere(e), QStringLiteral("Betrag"),
                QStringLiteral("„%1“ ist kein Betrag in Euro und Cent.").arg(e.amt));
    int entrySign = 0;
    if (e.cdtDbt == u"CRDT")
        entrySign = 1;
    else if (e.cdtDbt == u"DBIT")
        entrySign = -1;
    else
        problem(entryWhere(e), QStringLiteral("Soll/Haben"),
                QStringLiteral("„%1“ ist weder CRDT noch DBIT.").arg(e.cdtDbt));
    QDate datum;
    if (!e.bookgDt.isEmpty())
        datum = readDate(e.bookgDt, e, QStringLiteral("Buchungsdatum"));
    else if (!e.valDt.isEmpty())
        datum = readDate(e.valDt, e, QStringLiteral("Valuta"));
    else
        problem(entryWhere(e), QStringLiteral("Buchungsdatum"), QStringLiteral("Weder Buchungsdatum noch Valuta."));
    const bool reversal = e.rvsl == u"true" || e.rvsl == u"1";
    const bool booked = e.sts.isEmpty() || e.sts == u"BOOK";
    if (m_out.problemCount() != problemsBefore) return;

    auto movement = [&](const Tx* tx, qint64 cents, const QString& ccy, int index) {
        BankMovement m;
        m.fileIndex = m_file;
        m.where = entryWhere(e, index);
        m.datum = datum;
        m.cents = cents;
        m.currency = ccy.isEmpty() ? QStringLiteral("EUR") : ccy;
        m.reversal = reversal;
        m.bookedByBank = booked;
        m.bankRef = e.acctSvcrRef;
        m.text = e.addtlNtryInf;
        if (tx) {
            // Money in comes from the debtor, money out goes to the creditor; a reversal names the parties
            // of the movement it reverses.
            const bool fromDebtor = (cents >= 0) != reversal;
            m.counterparty = fromDebtor ? tx->dbtrNm : tx->cdtrNm;
            m.counterpartyIban = fromDebtor ? tx->dbtrIban : tx->cdtrIban;
            if (m.counterparty.isEmpty()) {
                m.counterparty = fromDebtor ? tx->cdtrNm : tx->dbtrNm;
                m.counterpartyIban = fromDebtor ? tx->cdtrIban : tx->dbtrIban;
            }
            const QString remittance = joined(tx->ustrd);
            if (!remittance.isEmpty())
                m.text = remittance;
            else if (!tx->addtlTxInf.isEmpty())
                m.text = tx->addtlTxInf;
            m.structuredRef = tx->strdRef;
            if (m.text.isEmpty()) m.text = tx->strdRef;
            if (tx->endToEndId.compare(u"NOTPROVIDED", Qt::CaseInsensitive) != 0) m.endToEndId = tx->endToEndId;
            if (!tx->acctSvcrRef.isEmpty())
                m.bankRef = tx->acctSvcrRef;
            else if (index >= 0 && !e.acctSvcrRef.isEmpty())
                m.bankRef = e.acctSvcrRef + QStringLiteral("/") + QString::number(index + 1);
        }
        m_out.movements.push_back(std::move(m));
    };

    const qint64 signedEntry = entrySign * entryCents;
    if (e.txs.size() <= 1) {
        movement(e.txs.empty() ? nullptr : &e.txs.front(), signedEntry, e.ccy, -1);
        return;
    }
    // A batch: one movement per transaction, each with its own amount; together they make the entry.
    std::vector<qint64> amounts;
    qint64 sum = 0;
    bool sameCurrency = true;
    for (size_t i = 0; i < e.txs.size(); ++i) {
        const Tx& tx = e.txs[i];
        const QString& text = tx.amt.isEmpty() ? tx.txAmt : tx.amt;
        const QString& ccy = tx.amt.isEmpty() ? tx.txCcy : tx.ccy;
        qint64 cents = 0;
        if (text.isEmpty()) {
            problem(entryWhere(e, int(i)), QStringLiteral("Betrag"),
                    QStringLiteral("Der Betrag des Einzelumsatzes einer Sammelbuchung fehlt."));
            continue;
        }
        if (!BankAmount::parseIsoCents(text, &cents)) {
            problem(entryWhere(e, int(i)), QStringLiteral("Betrag"),
                    QStringLiteral("„%1“ ist kein Betrag in Euro und Cent.").arg(text));
            continue;
        }
        int sign = entrySign;
        if (tx.cdtDbt == u"CRDT")
            sign = 1;
        else if (tx.cdtDbt == u"DBIT")
            sign = -1;
        amounts.push_back(sign * cents);
        sum += sign * cents;
        if (!ccy.isEmpty() && ccy != e.ccy) sameCurrency = false;
    }
    if (m_out.problemCount() != problemsBefore) return;
    if (sameCurrency && sum != signedEntry) {
        problem(
            entryWhere(e), QStringLiteral("Betrag"),
            QStringLiteral("Die Einzelumsätze der Sammelbuchung ergeben %1, der Eintrag nennt %2.")
                .arg(QString::number(double(sum) / 100, 'f', 2), QString::number(double(signedEntry) / 100, 'f', 2)));
        return;
    }
    for (size_t i = 0; i < e.txs.size(); ++i) {
        const Tx& tx = e.txs[i];
        movement(&tx, amounts[i], tx.amt.isEmpty() ? (tx.txCcy.isEmpty() ? e.ccy : tx.txCcy) : tx.ccy, int(i));
    }
}

}  // namespace

bool supportsVersion(const QString& version) {
    return version == u"02" || version == u"04" || version == u"08";
}

void read(QIODevice& device, const QString& fileName, Statement& out) {
    // Room for the movements of a file whose entries take a kilobyte or more each (bank statements take
    // more), so that a long statement does not move the movements read so far again and again; memory
    // reserved but never filled is not touched.
    if (!device.isSequential() && device.size() > 0)
        out.movements.reserve(out.movements.size() + size_t(device.size() / 1024));
    Reader(device, fileName, out).run();
}

}  // namespace Camt053Reader
