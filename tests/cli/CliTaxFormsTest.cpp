// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "CliFixture.h"
#include "support/TestSupport.h"
#include "tax/TaxSettings.h"

namespace {

QString text(const QString& file) {
    return QString::fromUtf8(testsupport::readFile(file));
}

}  // namespace

// The VAT return of a quarter and the Anlage EÜR on the command line, with the figures of the sample year:
// 1.190 € at 19 % in January, 119,50 € at 19 % spent in February, 107 € at 7 % in April, 238 € at 19 % in
// May. A small business gets no VAT return, and its takings stand gross on the line for small businesses.
TEST(CliTaxForms, QuarterAndYearAsTheWindowComputesThem) {
    testsupport::TempFolder data;
    clitest::writeSampleYear(data.path(), 2, 2026);
    const QString pdf = data.file(QStringLiteral("ustva.pdf"));
    const QString csv = data.file(QStringLiteral("ustva.csv"));
    const QStringList where{QStringLiteral("--datenordner"), data.path(), QStringLiteral("--mandant"),
                            QStringLiteral("2"), QStringLiteral("--jahr"), QStringLiteral("2026")};

    const clitest::Run quarter =
        clitest::runQuorvel(QStringList{QStringLiteral("report"), QStringLiteral("--bericht"), QStringLiteral("ustva"),
                                        QStringLiteral("--zeitraum"), QStringLiteral("Quartal"),
                                        QStringLiteral("--nummer"), QStringLiteral("1"), QStringLiteral("--pdf"), pdf,
                                        QStringLiteral("--csv"), csv} + where);
    ASSERT_EQ(quarter.exitCode, 0) << quarter.err.toStdString();
    EXPECT_TRUE(quarter.out.contains(QStringLiteral("Umsatzsteuer-Voranmeldung 2026 1. Quartal: CSV-Datei")))
        << quarter.out.toStdString();
    const QString rows = text(csv);
    for (const char* row : {"\n13;81;Steuerpflichtige Umsätze zum Steuersatz von 19 %;1000;",
                            "\n38;66;Vorsteuerbeträge aus Rechnungen von anderen Unternehmern;19,08;",
                            "\n50;83;Verbleibende Umsatzsteuer-Vorauszahlung (Überschuss mit Minuszeichen);170,92;"})
        EXPECT_TRUE(rows.contains(QString::fromUtf8(row))) << row << rows.toStdString();
    if (clitest::havePdfText()) {
        const QString page = clitest::pdfText(pdf);
        EXPECT_TRUE(page.contains(QStringLiteral("1. Quartal 2026 (01.01.2026 – 31.03.2026)"))) << page.toStdString();
        EXPECT_TRUE(page.contains(QStringLiteral("170,92"))) << page.toStdString();
    }

    TaxSettings{QString(), true}.save(TaxSettings::fileName(data.path(), 2));
    const clitest::Run refused = clitest::runQuorvel(
        QStringList{QStringLiteral("report"), QStringLiteral("--bericht"), QStringLiteral("ustva"),
                    QStringLiteral("--csv"), csv} + where);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Kleinunternehmer"))) << refused.err.toStdString();

    const QString euer = data.file(QStringLiteral("euer.csv"));
    const clitest::Run year = clitest::runQuorvel(
        QStringList{QStringLiteral("report"), QStringLiteral("--bericht"), QStringLiteral("anlage-euer"),
                    QStringLiteral("--csv"), euer} + where);
    ASSERT_EQ(year.exitCode, 0) << year.err.toStdString();
    const QString lines = text(euer);
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "\n12;111;Betriebseinnahmen als umsatzsteuerlicher Kleinunternehmer (nach § 19 Abs. 1 UStG);1297,00;")))
        << lines.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("\n17;140;Vereinnahmte Umsatzsteuer sowie Umsatzsteuer auf "
                                              "unentgeltliche Wertabgaben;0,00;")));
    // The year 2026 has no form file of its own yet: the 2025 form stands in and the output says so.
    EXPECT_TRUE(year.err.contains(QStringLiteral("Vordruck 2025"))) << year.err.toStdString();
}
