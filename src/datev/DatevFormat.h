// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

#include "storage/StorageError.h"

// The facts of the DATEV booking batch and of the two standard charts, read from the data files in
// src/datev/data (embedded as resources). Every fact there names its source; what could not be read at the
// publisher is marked there as uncertain. The program takes field positions, lengths, the header layout,
// the bank and cash accounts and the tax keys from here, never from code.
class DatevDataError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

// One field of the header line: either a fixed value or the name of a setting the export fills in.
struct DatevHeaderField {
    int nr = 0;
    QString name;
    bool text = false;  // written in quotes
    QString value;      // fixed value, when `setting` is empty
    QString setting;    // erzeugtAm, herkunft, beraternummer, mandantennummer, wjBeginn, sachkontenlaenge,
                        // datumVom, datumBis, bezeichnung, diktatkuerzel, sachkontenrahmen
    int maxLength = 0;  // 0: no limit known
    qint64 min = 0;
    qint64 max = 0;  // 0: no range known
};

// A booking field the export fills.
struct DatevField {
    int column = 0;  // 1-based
    bool text = false;
    int maxLength = 0;
    int maxDigits = 0;
    QString value;    // a fixed value
    QString allowed;  // character set of Belegfeld 1 ("A-Za-z0-9$&%*+-/")
};

struct DatevFormat {
    QString formatName;
    int formatVersion = 0;
    QString fileNamePrefix;
    int maxBookingsPerFile = 0;
    std::vector<DatevHeaderField> header;
    QStringList columns;               // headings of the second line, in order
    QMap<QString, DatevField> fields;  // umsatz, sollHaben, wkzUmsatz, konto, gegenkonto, buSchluessel,
                                       // belegdatum, belegfeld1, buchungstext, festschreibung
    QMap<QString, QString> sources;

    const DatevField& field(const QString& key) const;  // throws DatevDataError for a key the file lacks
};

struct DatevChart {
    QString code;  // "03", "04"
    QString name;  // "SKR 03"
    int sachkontenlaenge = 0;
    int bank = 0;
    int kasse = 0;
};

struct DatevTaxKey {
    double rate = 0;
    QString umsatzsteuer;  // key for income at this rate, empty: none
    QString vorsteuer;     // key for expenses at this rate
};

struct DatevCharts {
    std::vector<DatevChart> charts;
    std::vector<DatevTaxKey> taxKeys;
    QMap<QString, QString> sources;

    const DatevChart* chart(const QString& code) const;  // nullptr for an unknown code
    // The key entry for a rate (compared to the cent of a percent); nullptr when the data has none.
    const DatevTaxKey* taxKey(double rate) const;
};

namespace DatevData {

inline const QString formatResource = QStringLiteral(":/datev/data/datev-buchungsstapel-13.json");
inline const QString chartsResource = QStringLiteral(":/datev/data/datev-kontenrahmen.json");

DatevFormat parseFormat(const QByteArray& json, const QString& origin);
DatevCharts parseCharts(const QByteArray& json, const QString& origin);
// The embedded files, read once.
const DatevFormat& format();
const DatevCharts& charts();
// The raw bytes of an embedded file (for tests that read the data file themselves).
QByteArray resource(const QString& name);

}  // namespace DatevData
