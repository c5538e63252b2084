// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// Sample data and a way to run the built program as a user does.
namespace clitest {

// Client 2 (and client 1), booking year 2025: six bookings of every kind over the first half-year, an
// expense account 4 "Bürobedarf", the default collective account and cost centre 1, and a company address.
void writeSampleYear(const QString& folder, int mandant, int year);

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program with `args` and the given environment; `program` runs instead when given (a wrapper
// that starts the program, such as setpriv).
Run runQuorvel(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
               const QString& program = QString());

// Whether pdftotext (poppler-utils) is there, and the text of a PDF file as it reads it (-layout).
bool havePdfText();
QString pdfText(const QString& fileName);

}  // namespace clitest
