// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "storage/FieldDef.h"

class DbfTable;

// Writes a whole dBase table anew: it is created in a temporary file beside `target` with `schema`, filled
// by `fill` (Insert, set fields, Post for each row) and put in place of `target` through SafeFile::commit,
// which flushes, checks the size and renames. Whatever fails on the way (a throwing `fill` too) leaves the
// previous file as it was and no temporary file behind; the exception is passed on. `what` names the table
// in a commit failure ("Die Regeltabelle").
void rewriteTable(const QString& target, const std::vector<FieldDef>& schema, const QString& what,
                  const std::function<void(DbfTable&)>& fill);
