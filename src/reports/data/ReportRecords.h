// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The two record types of the report arrays. Both are plain, trivially copyable records: TDynaArray
// moves them bytewise. The strings of TKontoRec are owned copies (zero-terminated UTF-16) that the
// array's owner releases before the array goes (see KontoStrings.h).

// One booking (list and account reports) or one account's sums (total result: only konto, brutto,
// mwst and netto set).
struct TKontoRec {
    int konto;
    double mwstsatz;
    double brutto;
    double mwst;
    double netto;
    char16_t* beleg;
    char16_t* text;
    double datum;
};

// The sums of one VAT rate (total result), keyed by mwstsatz.
struct TMwstRec {
    double mwstsatz;
    double brutto;
    double mwst;
    double netto;
};
