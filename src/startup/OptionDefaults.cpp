// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/OptionDefaults.h"

const std::vector<OptionDefaults::Item>& OptionDefaults::all() {
    static const QString yes = QStringLiteral("True");
    static const QString no = QStringLiteral("False");
    static const std::vector<Item> items{
        {mainForm, AutobelCheck, yes},
        {mainForm, ErsteZeileCsv, no},
        {mainForm, FilternnachZeitraum, no},
        {mainForm, ZeigeSammelkonto, no},
        {mainForm, ZeigeKostenstelle, no},
        {mainForm, AktuellenMonat, no},
        {adminForm, ProgramFolderCheck, no},
        {adminForm, UseSpecialFolderCheck, no},
        {adminForm, DirectoryEdit1, QString()},
        {adminForm, UserFolderCheck, yes},
        {druckeErgebnisForm, ResizeToPageWidthCheck, no},
    };
    return items;
}

std::optional<QString> OptionDefaults::defaultValue(const QString& window, const QString& item) {
    for (const Item& i : all())
        if (i.window == window && i.item == item) return i.defaultValue;
    return std::nullopt;
}

bool OptionDefaults::defaultCheck(const QString& window, const QString& item) {
    return defaultValue(window, item) == QStringLiteral("True");
}
