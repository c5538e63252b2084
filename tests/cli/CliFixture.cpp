// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliFixture.h"

#include <QDate>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "journal/Booking.h"
#include "startup/AddressFile.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"

namespace clitest {

void writeSampleYear(const QString& folder, int mandant, int year) {
    TableSet set;
    set.setNames(mandant, year);
    set.InitDB(folder);
    DbfTable& ausgaben = set.AusgabeKonten;
    ausgaben.Insert();
    ausgaben.Fields(0).setAsInteger(4);
    ausgaben.Fields(1).setAsString(QStringLiteral("Bürobedarf"));
    ausgaben.Post();

    struct Row {
        int month, day;
        const char* art;
        const char* beleg;
        const char* text;
        double brutto, mwst;
        int konto, sammel, kosten;
    };
    const Row rows[] = {
        {1, 1, "N", "1", "Eröffnung Kasse", 500, 0, 0, 1, 0},
        {1, 15, "E", "2", "Beratung Müller", 1190, 19, 0, 1, 0},
        {2, 20, "A", "3", "Papier", 119.5, 19, 0, 0, 1},
        {4, 10, "E", "4", "Fachbuch", 107, 7, 1, 0, 0},
        {5, 5, "A", "5", "Drucker", 238, 19, 4, 1, 1},
        {6, 30, "S", "6", "Privatentnahme", 50, 0, 0, 1, 1},
    };
    DbfTable& b = set.Dbf1;
    for (const Row& r : rows) {
        b.Insert();
        b.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(QDate(year, r.month, r.day)));
        b.Fields(Booking::Art).setAsString(QString::fromUtf8(r.art));
        b.Fields(Booking::Beleg).setAsString(QString::fromUtf8(r.beleg));
        b.Fields(Booking::Text).setAsString(QString::fromUtf8(r.text));
        b.Fields(Booking::Brutto).setAsFloat(r.brutto);
        b.Fields(Booking::MwSt).setAsFloat(r.mwst);
        b.Fields(Booking::Konto).setAsInteger(r.konto);
        b.Fields(Booking::Sammelkonto).setAsInteger(r.sammel);
        b.Fields(Booking::Kostenstelle).setAsInteger(r.kosten);
        b.Post();
    }
    set.closeAll();
    AddressFile::save(folder + ClientNaming::addressFileName(mandant),
                      {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Musterstadt")});
}

Run runQuorvel(const QStringList& args, const QProcessEnvironment& env, const QString& program) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program.isEmpty() ? QStringLiteral(QUORVEL_EXE) : program, args);
    Run run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "quorvel did not finish: " << args.join(QLatin1Char(' ')).toStdString();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

bool havePdfText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString pdfText(const QString& fileName) {
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")), {QStringLiteral("-layout"), fileName, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace clitest
