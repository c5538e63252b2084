// SPDX-License-Identifier: GPL-3.0-or-later
// The first page of every report layout over a small fixed year of bookings, as the recording canvas saw
// it, compared byte for byte with the recordings in tests/reports/golden/ (one line per text: page, x, y,
// font, text). A change of a layout shows as a diff of these files.
//
// To write the recordings anew after a deliberate change of a layout:
//     QUORVEL_WRITE_GOLDEN=1 build/tests/reports/reports_tests --gtest_filter='GoldenPagesTest.*'
// then read the diff before committing it.
//
// Measurements depend on the font: the recordings are made with Liberation Sans (Debian package
// fonts-liberation2). Where another face would be used (Arial installed, or Liberation Sans missing), the
// test is skipped with the reason.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>

#include "OutputFixture.h"
#include "ReportDataFixtures.h"
#include "reports/data/ListReport.h"
#include "reports/data/TotalResult.h"
#include "reports/output/RecordingCanvas.h"
#include "reports/output/ReportRenderer.h"

namespace {

using reporttest::Buchung;

void fillYear(reporttest::BookingsTable& bookings) {
    struct Line {
        int month, day;
        const char* art;
        double brutto, mwst;
        int konto, sammelkonto, kostenstelle;
        const char* beleg;
        const char* text;
    };
    const Line lines[] = {
        {1, 5, "E", 119.00, 19, 1, 1, 2, "R-001", "Beratung Januar"},
        {1, 20, "A", 53.50, 7, 2, 1, 0, "B-001", "Fachbücher"},
        {2, 3, "E", 595.00, 19, 1, 0, 2, "R-002", "Beratung Februar"},
        {2, 17, "A", 238.00, 19, 3, 1, 2, "B-002", "Büromaterial"},
        {3, 1, "N", 1000.00, 0, 0, 1, 0, "E-001", "Einlage"},
        {3, 15, "S", 250.00, 0, 0, 1, 0, "P-001", "Privatentnahme"},
        {4, 16, "E", 119.50, 19, 2, 0, 1, "R-003", "Wartung Müller & Söhne"},
        {5, 2, "A", 49.90, 19, 4, 2, 1, "B-003", "Telefon Mai"},
        {6, 30, "A", 1200.00, 0, 5, 0, 0, "B-004", "Miete Juni"},
        {7, 7, "E", 321.00, 7, 3, 2, 1, "R-004", "Buchverkauf"},
        {9, 1, "A", 89.25, 19, 4, 2, 0, "B-005", "Telefon August"},
        {10, 12, "E", 2380.00, 19, 1, 1, 2, "R-005", "Projekt Herbst"},
        {11, 30, "S", 150.00, 0, 0, 1, 0, "P-002", "Privatentnahme"},
        {12, 18, "A", 35.70, 19, 2, 0, 1, "B-006", "Porto"},
        {12, 31, "E", -59.50, 19, 1, 0, 0, "G-001", "Gutschrift"},
    };
    for (const Line& l : lines)
        bookings.add(Buchung{QDate(2026, l.month, l.day), QString::fromLatin1(l.art), l.brutto, l.mwst, l.konto,
                             l.sammelkonto, l.kostenstelle, QString::fromLatin1(l.beleg), QString::fromUtf8(l.text)});
}

const char* roleName(FontRole role) {
    switch (role) {
        case FontRole::Title:
            return "title";
        case FontRole::Body:
            return "body";
        case FontRole::SectionHeading:
            return "section";
        case FontRole::ColumnHeader:
            return "column";
    }
    return "?";
}

QByteArray recording(const std::vector<DrawnItem>& items) {
    QByteArray out;
    for (const DrawnItem& item : items)
        out += QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(item.page)
                   .arg(item.x)
                   .arg(item.y)
                   .arg(QLatin1String(roleName(item.role)), item.text)
                   .toUtf8();
    return out;
}

// Why the recordings cannot be compared here, empty when they can.
QString otherFont() {
    if (ReportFonts::family() != QStringLiteral("Liberation Sans"))
        return QStringLiteral("the reports use %1, the recordings were made with Liberation Sans")
            .arg(ReportFonts::family());
    const QString used = QFontInfo(QFont(ReportFonts::family())).family();
    if (used != QStringLiteral("Liberation Sans"))
        return QStringLiteral("Liberation Sans is not installed (%1 stands in; install fonts-liberation2)").arg(used);
    return {};
}

struct Layout {
    const char* file;
    int modus;
    ListKind kind;  // list layouts
    int nr;
    const char* name;
    bool fromApril;  // the period starts on 1 April, so the opening balance holds the first quarter
};

TEST(GoldenPagesTest, firstPageOfEveryLayout) {
    const QString reason = otherFont();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    const bool write = qEnvironmentVariableIntValue("QUORVEL_WRITE_GOLDEN") == 1;

    reporttest::BookingsTable bookings;
    fillYear(bookings);
    const Layout layouts[] = {
        {"total-result.txt", 0, ListKind::AlleBuchungen, 0, "", false},
        {"expense-list.txt", 1, ListKind::Ausgabenliste, 0, "", false},
        {"income-list.txt", 2, ListKind::Einnahmenliste, 0, "", false},
        {"collective-account.txt", 3, ListKind::Sammelkonto, 1, "Bank", true},
        {"cost-centre.txt", 4, ListKind::Kostenstelle, 2, "Beratung", true},
        {"all-bookings.txt", 5, ListKind::AlleBuchungen, 0, "", true},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.file);
        const Zeitraum z{reporttest::day(2026, layout.fromApril ? 4 : 1, 1), reporttest::day(2026, 12, 31)};
        ReportArrays arrays;
        ReportData data;
        if (layout.modus == 0) {
            TotalResult::build(bookings.table(), z, arrays, data);
        } else {
            ListReport::Request request;
            request.kind = layout.kind;
            request.zeitraum = z;
            request.nr = layout.nr;
            request.name = QString::fromLatin1(layout.name);
            request.anfangsbestand = layout.fromApril;
            ListReport::build(bookings.table(), nullptr, request, arrays, data);
        }
        ASSERT_EQ(data.modus, layout.modus);

        OutputFixture f;
        f.inputs.data = &data;
        const std::vector<DrawnItem> items = f.preview(1, a4(300));
        ASSERT_FALSE(items.empty());
        const QByteArray actual = recording(items);

        QFile golden(QStringLiteral(QUORVEL_REPORT_GOLDEN_DIR "/") + QString::fromLatin1(layout.file));
        if (write) {
            ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate)) << golden.fileName().toStdString();
            golden.write(actual);
            continue;
        }
        ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << golden.fileName().toStdString();
        EXPECT_EQ(golden.readAll().toStdString(), actual.toStdString());
    }
}

}  // namespace
