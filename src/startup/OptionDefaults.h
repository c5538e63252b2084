// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <vector>

// The stored items of every window with their defaults: the one source the windows restore from, so
// that a first start (or a renamed executable) looks the same everywhere.
class OptionDefaults {
public:
    struct Item {
        QString window;        // window class, the group of the store
        QString item;          // component + "_" + property
        QString defaultValue;  // "True"/"False" for check marks, the text otherwise
    };

    static const std::vector<Item>& all();
    static std::optional<QString> defaultValue(const QString& window, const QString& item);
    static bool defaultCheck(const QString& window, const QString& item);  // false for unknown items

    // Window classes that keep items or a placement in the store.
    static inline const QString mainForm = QStringLiteral("TMainForm");
    static inline const QString adminForm = QStringLiteral("TAdminForm");
    static inline const QString waehrungForm = QStringLiteral("TWaehrungForm");
    static inline const QString druckeErgebnisForm = QStringLiteral("TDruckeErgebnisForm");

    // Item names.
    static inline const QString AutobelCheck = QStringLiteral("AutobelCheck_Checked");
    static inline const QString ErsteZeileCsv =
        QStringLiteral("ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1_Checked");
    static inline const QString FilternnachZeitraum = QStringLiteral("FilternnachZeitraum1_Checked");
    static inline const QString ZeigeSammelkonto = QStringLiteral("ZeigeEingabefeldfrSammelkonto1_Checked");
    static inline const QString ZeigeKostenstelle = QStringLiteral("ZeigeEingabefeldfrKostenstelle1_Checked");
    static inline const QString AktuellenMonat = QStringLiteral("AktuellenMonatbeimffnenvoreinstellen1_Checked");
    static inline const QString ProgramFolderCheck = QStringLiteral("ProgramFolderCheck_Checked");
    static inline const QString UseSpecialFolderCheck = QStringLiteral("UseSpecialFolderCheck_Checked");
    static inline const QString DirectoryEdit1 = QStringLiteral("DirectoryEdit1_Text");
    static inline const QString UserFolderCheck = QStringLiteral("UserFolderCheck_Checked");
    static inline const QString ResizeToPageWidthCheck = QStringLiteral("ResizeToPageWidthCheck_Checked");
};
