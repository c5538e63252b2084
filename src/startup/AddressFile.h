// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The company address of a client: a text file of address lines in the platform's 8-bit code page
// (Windows-1252), each line ended by CR LF, as other Windows programs of the user expect it.
class AddressFile {
public:
    // The lines of the file; nullopt when it is missing or cannot be read (callers ignore that and keep
    // the address they have). Accepts CR LF and LF; a UTF-8 file with byte order mark is read as UTF-8.
    static std::optional<QStringList> load(const QString& fileName);

    // Replaces the file atomically; on a full disk or a write-protected folder the previous file stays.
    // An address with characters the code page lacks is written as UTF-8 with byte order mark instead,
    // so nothing is lost. Throws QuorvelError with a German message naming the file and the reason
    // when it cannot be written.
    static void save(const QString& fileName, const QStringList& lines);
};
