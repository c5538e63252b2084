// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppLook.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setUpAppLook(QTranslator& translator) {
    // German texts in the standard dialogs (buttons of message boxes, file and print dialogs).
    if (translator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);

    // The windows are laid out in pixels for a bold 13-pixel Tahoma; where Tahoma is missing, the
    // metric-compatible Arial stand-in keeps captions inside their places.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13);
    font.setBold(true);
    QApplication::setFont(font);
}
