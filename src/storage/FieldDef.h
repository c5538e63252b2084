// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Logical field types of the program; their dBase IV encodings are fixed by DbfFieldLayout.
enum class FieldType { String, Date, Float, Integer };

// One field definition, used only when a table file is created. size 0 means the type's default:
// String needs a size (1..255), Float becomes N 18.8, Integer N 9.0, Date D 8.
struct FieldDef {
    QString name;  // as defined; stored upper-cased and cut to 10 characters
    FieldType type = FieldType::String;
    int size = 0;
};
