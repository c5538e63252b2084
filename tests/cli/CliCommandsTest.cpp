// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "CliFixture.h"
#include "audit/ChangeLog.h"
#include "audit/LogCheck.h"
#include "journal/Booking.h"
#include "startup/ClientNaming.h"
#include "startup/TableSet.h"
#include "support/TestSupport.h"

namespace {

using clitest::runQuorvel;

struct CommandCase {
    const char* name;
    QStringList args;     // "{dir}" stands for the data folder, "{out}" for a file in a scratch folder
    const char* locale;   // LC_ALL of the child
    int exitCode;
    const char* stdoutHas;
    const char* stderrHas;
    bool outWritten;  // whether "{out}" exists afterwards
};

// The case's name in test listings rather than its bytes.
void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

QStringList L(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items) list << QString::fromUtf8(item);
    return list;
}

class CliCommandsTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CliCommandsTest, RunsAsCalled) {
    const CommandCase& c = GetParam();
    testsupport::TempFolder data;
    testsupport::TempFolder scratch;
    clitest::writeSampleYear(data.path(), 2, 2025);
    const QString out = scratch.file(QStringLiteral("ergebnis.out"));
    QStringList args;
    for (QString a : c.args) args << a.replace(QStringLiteral("{dir}"), data.path()).replace(QStringLiteral("{out}"), out);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromUtf8(c.locale));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.file(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), scratch.file(QStringLiteral("data")));
    const clitest::Run run = runQuorvel(args, env);

    EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QString::fromUtf8(c.stdoutHas))) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.stderrHas))) << run.err.toStdString();
    EXPECT_EQ(QFileInfo::exists(out), c.outWritten);
    // Reading commands and wrong calls leave the data folder as it was: no table of another year appears.
    EXPECT_EQ(QDir(data.path()).entryList({QStringLiteral("records_*")}, QDir::Files),
              QStringList{QStringLiteral("records_2_2025.dbf")});
}

const char* de = "de_DE.UTF-8";
const char* en = "en_US.UTF-8";

INSTANTIATE_TEST_SUITE_P(
    Commands, CliCommandsTest,
    ::testing::Values(
        CommandCase{"Help", L({"--help"}), de, 0, "--zeitraum Quartal --nummer 2", "", false},
        CommandCase{"Version", L({"--version"}), de, 0, "quorvel 1.0", "", false},
        CommandCase{"UnknownCommand", L({"drucken"}), de, 2, "", "Unbekannter Befehl \"drucken\"", false},
        CommandCase{"UnknownOption", L({"export-csv", "--pdf", "{out}"}), de, 2, "",
                    "Der Befehl export-csv kennt die Option --pdf nicht", false},
        CommandCase{"MissingReport", L({"report", "--pdf", "{out}"}), de, 2, "", "Es fehlt die Option --bericht",
                    false},
        CommandCase{"UnknownReport", L({"report", "--bericht", "bilanz", "--pdf", "{out}"}), de, 2, "",
                    "Unbekannter Bericht \"bilanz\"", false},
        CommandCase{"AccountMissing", L({"report", "--bericht", "ausgabenkonto", "--pdf", "{out}"}), de, 2, "",
                    "braucht die Option --konto", false},
        CommandCase{"AccountNotWanted",
                    L({"report", "--bericht", "ausgabenliste", "--konto", "4", "--pdf", "{out}"}), de, 2, "",
                    "lassen Sie --konto weg", false},
        CommandCase{"QuarterWithoutNumber",
                    L({"report", "--bericht", "gesamtergebnis", "--zeitraum", "Quartal", "--pdf", "{out}"}), de, 2,
                    "", "fehlt die Option --nummer (1 bis 4)", false},
        CommandCase{"MonthThirteen",
                    L({"report", "--bericht", "gesamtergebnis", "--zeitraum", "Monat", "--nummer", "13", "--pdf",
                       "{out}"}),
                    de, 2, "", "keine ganze Zahl von 1 bis 12", false},
        CommandCase{"YearOutOfRange", L({"export-csv", "--jahr", "1899", "--datei", "{out}"}), de, 2, "",
                    "von 1900 bis 3000", false},
        CommandCase{"TotalResult",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht",
                       "gesamtergebnis", "--pdf", "{out}"}),
                    de, 0, "1 Seite nach", "", true},
        CommandCase{"QuarterWithEquals",
                    L({"report", "--datenordner={dir}", "--mandant=2", "--jahr=2025", "--bericht=einnahmenliste",
                       "--zeitraum=Quartal", "--nummer=2", "--pdf={out}"}),
                    de, 0, "01.04.2025 - 30.06.2025", "", true},
        CommandCase{"UnknownAccount",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht",
                       "ausgabenkonto", "--konto", "99", "--pdf", "{out}"}),
                    de, 1, "", "Das Konto 99 steht nicht in den Ausgabearten des Mandanten 2", false},
        CommandCase{"YearWithoutBookings",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2024", "--bericht",
                       "gesamtergebnis", "--pdf", "{out}"}),
                    de, 1, "", "keine Buchungen des Mandanten 2 für das Jahr 2024", false},
        CommandCase{"PdfIntoMissingFolder",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht",
                       "gesamtergebnis", "--pdf", "{out}/fehlt/x.pdf"}),
                    de, 1, "", "PDF-Datei", false},
        CommandCase{"ExportAll", L({"export-csv", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025",
                                    "--datei", "{out}"}),
                    de, 0, "6 Buchungen wurden nach", "", true},
        CommandCase{"ExportFebruary",
                    L({"export-csv", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--zeitraum",
                       "Monat", "--nummer", "2", "--datei", "{out}"}),
                    de, 0, "1 Buchung wurde nach", "", true},
        CommandCase{"ExportFiltered",
                    L({"export-csv", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--filter",
                       "müller", "--datei", "{out}"}),
                    en, 0, "1 Buchung wurde nach", "", true},
        CommandCase{"TaxFormWithoutFile", L({"report", "--bericht", "ustva"}), de, 2, "", "fehlt --pdf oder --csv",
                    false},
        CommandCase{"TaxFormFiltered", L({"report", "--bericht", "anlage-euer", "--filter", "x", "--csv", "{out}"}), de,
                    2, "", "gilt dafür nicht", false},
        CommandCase{"EuerQuarter",
                    L({"report", "--bericht", "anlage-euer", "--zeitraum", "Quartal", "--nummer", "1", "--csv", "{out}"}),
                    de, 2, "", "gilt dem ganzen Jahr", false},
        CommandCase{"UstvaHalfYear",
                    L({"report", "--bericht", "ustva", "--zeitraum", "Halbjahr", "--nummer", "1", "--csv", "{out}"}), de,
                    2, "", "nur für einen Monat oder ein Vierteljahr", false},
        CommandCase{"CsvOfAReport", L({"report", "--bericht", "gesamtergebnis", "--csv", "{out}"}), de, 2, "",
                    "Nur die Steuerformulare", false},
        CommandCase{"UstvaBeforeTheFirstFormYear",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht", "ustva",
                       "--csv", "{out}"}),
                    de, 1, "", "keine Formulardaten", false},
        CommandCase{"EuerCsv",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht",
                       "anlage-euer", "--csv", "{out}"}),
                    en, 0, "Anlage EÜR 2025 – Gewinnermittlung 2025: CSV-Datei", "", true},
        CommandCase{"EuerPdf",
                    L({"report", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--bericht",
                       "anlage-euer", "--pdf", "{out}"}),
                    de, 0, "Seiten nach", "", true},
        CommandCase{"ImportMissingFile",
                    L({"import-csv", "--datenordner", "{dir}", "--mandant", "2", "--jahr", "2025", "--datei",
                       "{out}"}),
                    de, 1, "", "Konnte die CSV Datei nicht öffnen!", false}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

// Export and import under both separators: the amounts of the file follow the locale, and a file exported
// from one client imports into another with the same values. Without a language setting (C, as under cron)
// the German forms hold.
TEST(CliExchangeTest, ExportImportsBackUnderEitherLocale) {
    for (const char* locale : {de, en, "C"}) {
        SCOPED_TRACE(locale);
        testsupport::TempFolder data;
        clitest::writeSampleYear(data.path(), 2, 2025);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromUtf8(locale));
        const QString csv = data.file(QStringLiteral("buchungen.csv"));
        const QStringList where{QStringLiteral("--datenordner"), data.path(), QStringLiteral("--jahr"),
                                QStringLiteral("2025")};
        ASSERT_EQ(runQuorvel(QStringList{QStringLiteral("export-csv"), QStringLiteral("--mandant"),
                                         QStringLiteral("2"), QStringLiteral("--datei"), csv} + where, env)
                      .exitCode,
                  0);
        const QByteArray bytes = testsupport::readFile(csv);
        EXPECT_TRUE(bytes.contains(locale == en ? "\"119.5\"" : "\"119,5\"")) << bytes.constData();
        if (locale != en) {
            EXPECT_TRUE(bytes.contains("\"20.02.2025\"")) << bytes.constData();
        }

        const clitest::Run imported = runQuorvel(
            QStringList{QStringLiteral("import-csv"), QStringLiteral("--mandant"), QStringLiteral("7"),
                        QStringLiteral("--erste-zeile-ueberlesen"), QStringLiteral("nein"), QStringLiteral("--datei"),
                        csv} + where, env);
        EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
        EXPECT_TRUE(imported.out.contains(QStringLiteral("6 Buchungen wurden importiert."))) << imported.out.toStdString();

        // The new client's year was created as the window creates it, and holds the same amounts.
        TableSet set;
        set.setNames(7, 2025);
        set.InitDB(data.path());
        double sum = 0;
        int count = 0;
        for (set.Dbf1.First(); !set.Dbf1.Eof(); set.Dbf1.Next(), ++count)
            sum += set.Dbf1.Fields(Booking::Brutto).AsFloat();
        EXPECT_EQ(count, 6);
        EXPECT_DOUBLE_EQ(sum, 500 + 1190 + 119.5 + 107 + 238 + 50);
        // Every imported booking is in the year's change log.
        const audit::LogCheckResult log = audit::LogCheck::run(audit::ChangeLog::fileNameFor(data.path(), 7, 2025),
                                                               set.Dbf1.absoluteFileName());
        EXPECT_TRUE(log.ok()) << log.summary().toStdString();
        EXPECT_EQ(log.entries, 1 + 6);
    }
}

}  // namespace
