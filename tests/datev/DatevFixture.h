// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>

#include "datev/DatevExport.h"
#include "datev/DatevFormat.h"
#include "startup/TableSet.h"
#include "storage/DayNumber.h"
#include "support/TestSupport.h"

// A year of client 1 in a temporary data folder, with helpers to add bookings, and a reader of the written
// file that knows nothing of the export: it splits the bytes as the publisher describes the format (";"
// between fields, CR LF after each line, texts in quotes with inner quotes doubled) and finds the columns
// by their headings in the data file.
struct DatevYear {
    testsupport::TempFolder dir;
    TableSet set;
    int year;

    explicit DatevYear(int y = 2026) : year(y) {
        set.setNames(1, y);
        set.InitDB(dir.path());
    }

    void book(const QDate& date, const char* art, double brutto, double rate, int konto, int sammel = 0,
              const QString& beleg = QString(), const QString& text = QString()) {
        DbfTable& t = set.Dbf1;
        t.Insert();
        t.Fields(Booking::Datum).setAsDateTime(DayNumber::fromDate(date));
        t.Fields(Booking::Art).setAsString(QString::fromLatin1(art));
        t.Fields(Booking::Beleg).setAsString(beleg);
        t.Fields(Booking::Text).setAsString(text);
        t.Fields(Booking::Brutto).setAsFloat(brutto);
        t.Fields(Booking::MwSt).setAsFloat(rate);
        t.Fields(Booking::Konto).setAsInteger(konto);
        t.Fields(Booking::Sammelkonto).setAsInteger(sammel);
        t.Post();
    }

    DatevSettings settings(const QString& chart = QStringLiteral("03")) const {
        DatevSettings s;
        s.chart = chart;
        s.beraternummer = 29098;
        s.mandantennummer = 55003;
        s.wjBeginn = QDate(year, 1, 1);
        s.von = QDate(year, 1, 1);
        s.bis = QDate(year, 12, 31);
        s.bezeichnung = QStringLiteral("Buchungsstapel");
        s.erzeugtAm = QDateTime(QDate(year, 12, 10), QTime(9, 30, 0, 123));
        return s;
    }
};

struct ReadField {
    QByteArray bytes;  // as in the file, quotes taken away and doubled quotes made single
    bool quoted = false;
};

// Lines of a file, each split into fields. Fails the test (through an empty result) on a line not ended
// by CR LF or an unclosed quote.
inline QList<QList<ReadField>> readDatevFile(const QByteArray& file) {
    QList<QList<ReadField>> lines;
    QList<ReadField> line;
    ReadField field;
    bool inQuotes = false;
    for (qsizetype i = 0; i < file.size(); ++i) {
        const char c = file[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < file.size() && file[i + 1] == '"') {
                field.bytes += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                field.bytes += c;
            }
        } else if (c == '"') {
            inQuotes = true;
            field.quoted = true;
        } else if (c == ';') {
            line << field;
            field = {};
        } else if (c == '\r') {
            if (i + 1 >= file.size() || file[i + 1] != '\n') return {};
            ++i;
            line << field;
            lines << line;
            line.clear();
            field = {};
        } else {
            field.bytes += c;
        }
    }
    if (inQuotes || !line.isEmpty() || !field.bytes.isEmpty()) return {};
    return lines;
}

// The 1-based column of a heading in the data file's column list.
inline int datevColumn(const QString& heading) {
    const QJsonObject root = QJsonDocument::fromJson(DatevData::resource(DatevData::formatResource)).object();
    for (const QJsonValue& v : root.value(QStringLiteral("columns")).toArray())
        if (v.toObject().value(QStringLiteral("heading")).toString() == heading)
            return v.toObject().value(QStringLiteral("nr")).toInt();
    return 0;
}
