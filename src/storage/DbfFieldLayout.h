// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "storage/FieldDef.h"

// Where and how one field sits in a record: stored name, dBase type letter, width, decimals, the
// byte offset inside the record (the deletion flag is byte 0) and the logical type it is read as.
struct DbfFieldLayout {
    QString name;
    char type = 'C';
    int width = 1;
    int decimals = 0;
    int offset = 1;
    FieldType logical = FieldType::String;

    // The logical type a stored field is read as: C string, D date, N/F with decimals float, N/F
    // without decimals integer up to 9 digits (wider ones exceed 32 bits and are read as floats),
    // any other letter (L, M, ...) as a string of its width.
    static FieldType logicalTypeOf(char type, int width, int decimals);
};
