// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>

// File names of a client's data: the table files of a booking year and the company address file.
// The client prefix is the one rule every name shares ("_12_", never zero-padded).
namespace ClientNaming {

// Base names of the eight tables of a set, in the order InitDB opens them.
inline constexpr std::array<const char*, 8> tableBaseNames{
    "records", "dauerbuchungen", "eaccounts", "aaccounts", "saccounts", "kaccounts", "mwstsaetze", "buchungstexte"};

// "_" + client number in decimal + "_" (GetMandantPrefix).
QString mandantPrefix(int mandantnr);

// base name + prefix + year + ".dbf", e.g. records_3_2024.dbf.
QString tableFileName(const QString& baseName, int mandantnr, int year);

// "anschrift" + prefix + ".txt", e.g. anschrift_2_.txt.
QString addressFileName(int mandantnr);

// Work files of the bookings upgrade; they carry neither client nor year.
inline const QString tempFileName = QStringLiteral("temp.dbf");
inline const QString copyFileName = QStringLiteral("copy.dbf");

}  // namespace ClientNaming
