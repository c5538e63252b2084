// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// One booking as the entry panel of the main window holds it. Accounts are numbers (as the number
// fields show them), the rate is the VAT rate in percent.
struct EntryValue {
    QDate datum;
    bool einnahme = true;  // kind: income ("Einnahme") or expense ("Ausgabe")
    QString beleg;
    QString text;
    double brutto = 0.0;
    double mwst = 0.0;
    int konto = 0;  // income or expense account, after the kind
    int sammelkonto = 0;
    int kostenstelle = 0;
    bool neutral = false;

    bool operator==(const EntryValue&) const = default;
};
