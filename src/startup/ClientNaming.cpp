// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/ClientNaming.h"

namespace ClientNaming {

QString mandantPrefix(int mandantnr) {
    return QLatin1Char('_') + QString::number(mandantnr) + QLatin1Char('_');
}

QString tableFileName(const QString& baseName, int mandantnr, int year) {
    return baseName + mandantPrefix(mandantnr) + QString::number(year) + QStringLiteral(".dbf");
}

QString addressFileName(int mandantnr) {
    return QStringLiteral("anschrift") + mandantPrefix(mandantnr) + QStringLiteral(".txt");
}

}  // namespace ClientNaming
