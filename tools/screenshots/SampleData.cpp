// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleData.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <stdexcept>
#include <tuple>

#include "journal/Booking.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace SampleData {

namespace {

void addAccount(DbfTable& table, int nr, const QString& name) {
    table.Insert();
    table.Fields(0).setAsInteger(nr);
    table.Fields(1).setAsString(name);
    table.Post();
}

}  // namespace

void write(const QString& folder) {
    TableSet set;
    set.setNames(1, year);
    set.InitDB(folder);
    addAccount(set.AusgabeKonten, 4, QStringLiteral("Bürobedarf"));
    addAccount(set.AusgabeKonten, 5, QStringLiteral("Telefon und Internet"));
    addAccount(set.AusgabeKonten, 6, QStringLiteral("Miete"));
    addAccount(set.kostenkonten, 2, QStringLiteral("Fahrzeug"));
    // The recurring templates replace the example row of a new year.
    DbfTable& dauer = set.dauer;
    dauer.First();
    while (!dauer.Eof()) dauer.Delete();
    for (const auto& [text, brutto, konto] : {std::tuple{"Büromiete", 952.0, 6}, std::tuple{"Mobilfunk", 35.70, 5}}) {
        dauer.Insert();
        dauer.Fields(0).setAsString(QStringLiteral("A"));
        dauer.Fields(2).setAsString(QString::fromUtf8(text));
        dauer.Fields(3).setAsFloat(brutto);
        dauer.Fields(4).setAsFloat(19);
        dauer.Fields(5).setAsInteger(konto);
        dauer.Post();
    }

    struct Row {
        int month, day;
        const char* art;
        const char* text;
        double brutto, mwst;
        int konto, sammel, kosten;
    };
    const Row rows[] = {
        {1, 2, "N", "Eröffnungsbestand Bank", 2500, 0, 0, 1, 0},
        {1, 5, "A", "Büromiete Januar", 952, 19, 6, 0, 0},
        {1, 15, "E", "Beratung Schulz GmbH", 1785, 19, 0, 1, 0},
        {1, 28, "A", "Druckerpapier", 23.80, 19, 4, 0, 0},
        {2, 3, "A", "Büromiete Februar", 952, 19, 6, 0, 0},
        {2, 10, "E", "Fachbuch Verkauf", 53.50, 7, 1, 0, 0},
        {2, 17, "A", "Mobilfunk Februar", 35.70, 19, 5, 0, 0},
        {3, 4, "A", "Tankstelle", 71.40, 19, 0, 0, 2},
        {3, 12, "E", "Seminar Meyer & Söhne", 2380, 19, 0, 1, 0},
        {3, 31, "S", "Privatentnahme", 400, 0, 0, 1, 0},
        {4, 8, "E", "Beratung Schulz GmbH", 1190, 19, 0, 1, 0},
        {4, 16, "A", "Toner", 119.50, 19, 4, 0, 0},
    };
    DbfTable& b = set.Dbf1;
    int beleg = 1;
    for (const Row& r : rows) {
        b.Insert();
        b.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(year, r.month, r.day)));
        b.Fields(Booking::Art).setAsString(QString::fromUtf8(r.art));
        b.Fields(Booking::Beleg).setAsString(QString::number(beleg++));
        b.Fields(Booking::Text).setAsString(QString::fromUtf8(r.text));
        b.Fields(Booking::Brutto).setAsFloat(r.brutto);
        b.Fields(Booking::MwSt).setAsFloat(r.mwst);
        b.Fields(Booking::Konto).setAsInteger(r.konto);
        b.Fields(Booking::Sammelkonto).setAsInteger(r.sammel);
        b.Fields(Booking::Kostenstelle).setAsInteger(r.kosten);
        b.Post();
    }
    set.closeAll();
    AddressFile::save(folder + ClientNaming::addressFileName(1),
                      {QStringLiteral("Büro Muster"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Musterstadt")});
}

QString writeStatement(const QString& folder) {
    struct Entry {
        const char* datum;
        const char* betrag;
        bool haben;  // money in
        const char* ref;
        const char* name;
        const char* zweck;
    };
    // The first movement is booked already ("Beratung Schulz GmbH" of 8 April); the others are new.
    const Entry entries[] = {
        {"2026-04-08", "1190.00", true, "BANK-2026-0408-01", "Schulz GmbH", "Beratung Schulz GmbH Rechnung 14"},
        {"2026-04-20", "35.70", false, "BANK-2026-0420-01", "Mobilfunk AG", "Mobilfunk April Kundennummer 4711"},
        {"2026-04-22", "1428.00", true, "BANK-2026-0422-01", "Meyer & Söhne", "Seminar Rechnung 15"},
        {"2026-04-30", "952.00", false, "BANK-2026-0430-01", "Hausverwaltung Kurz", "Büromiete Mai"},
    };
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.08\"><BkToCstmrStmt>\n"
        "<GrpHdr><MsgId>MUSTER-2026-04</MsgId><CreDtTm>2026-04-30T18:00:00</CreDtTm></GrpHdr>\n"
        "<Stmt><Id>MUSTER-2026-04</Id><CreDtTm>2026-04-30T18:00:00</CreDtTm>"
        "<Acct><Id><IBAN>DE02120300000000202051</IBAN></Id><Ccy>EUR</Ccy></Acct>\n");
    for (const Entry& e : entries) {
        const QString party = e.haben ? QStringLiteral("Dbtr") : QStringLiteral("Cdtr");
        xml += QStringLiteral(
                   "<Ntry><Amt Ccy=\"EUR\">%1</Amt><CdtDbtInd>%2</CdtDbtInd><RvslInd>false</RvslInd>"
                   "<Sts><Cd>BOOK</Cd></Sts><BookgDt><Dt>%3</Dt></BookgDt><ValDt><Dt>%3</Dt></ValDt>"
                   "<AcctSvcrRef>%4</AcctSvcrRef><NtryDtls><TxDtls><Refs><AcctSvcrRef>%4</AcctSvcrRef>"
                   "<EndToEndId>NOTPROVIDED</EndToEndId></Refs><Amt Ccy=\"EUR\">%1</Amt><CdtDbtInd>%2</CdtDbtInd>"
                   "<RltdPties><%5><Pty><Nm>%6</Nm></Pty></%5></RltdPties><RmtInf><Ustrd>%7</Ustrd></RmtInf>"
                   "</TxDtls></NtryDtls></Ntry>\n")
                   .arg(QString::fromUtf8(e.betrag), e.haben ? QStringLiteral("CRDT") : QStringLiteral("DBIT"),
                        QString::fromUtf8(e.datum), QString::fromUtf8(e.ref), party,
                        QString::fromUtf8(e.name).toHtmlEscaped(), QString::fromUtf8(e.zweck).toHtmlEscaped());
    }
    xml += QStringLiteral("</Stmt></BkToCstmrStmt></Document>\n");
    const QString fileName = QDir(folder).filePath(QStringLiteral("kontoauszug-april.xml"));
    QFile file(fileName);
    const QByteArray bytes = xml.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("cannot write " + fileName.toStdString());
    return fileName;
}

QString writeBankCsv(const QString& folder) {
    const QByteArray bytes =
        "Buchungstag;Valuta;Auftraggeber/Empfaenger;Verwendungszweck;Betrag;Waehrung\r\n"
        "20.04.2026;20.04.2026;Mobilfunk AG;Mobilfunk April Kundennummer 4711;-35,70;EUR\r\n"
        "22.04.2026;22.04.2026;Meyer und Soehne;Seminar Rechnung 15;1.428,00;EUR\r\n"
        "30.04.2026;30.04.2026;Hausverwaltung Kurz;Bueromiete Mai;-952,00;EUR\r\n";
    const QString fileName = QDir(folder).filePath(QStringLiteral("umsaetze-april.csv"));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("cannot write " + fileName.toStdString());
    return fileName;
}

QString sampleFileFor(const QString& window, const QString& statement, const QString& bankCsv) {
    return window == QStringLiteral("BankCsvProfilForm") ? bankCsv : statement;
}

}  // namespace SampleData
