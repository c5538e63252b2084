// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The tax facts of a client that the forms need beside the address: the tax number and whether the
// client is a small business (Kleinunternehmer, no VAT return). Kept in "steuerangaben" + client prefix +
// ".txt" beside the address file, which keeps its layout: UTF-8 lines "Steuernummer=…", "Kleinunternehmer=ja".
struct TaxSettings {
    QString steuernummer;
    bool kleinunternehmer = false;

    static QString fileName(const QString& folder, int mandantnr);
    // A missing file gives the empty settings; an unreadable one throws a QuorvelError.
    static TaxSettings load(const QString& fileName);
    // Through the checked writer: a full disk keeps the previous file and says so.
    void save(const QString& fileName) const;

    // Refuses characters a tax number never has (line breaks, '='); the German reason, or empty.
    static QString check(const QString& steuernummer);
};

// "Sie sind als Kleinunternehmer eingetragen ..." — why the VAT return is not offered.
QString kleinunternehmerText();
