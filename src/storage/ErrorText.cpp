// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ErrorText.h"

#include <QRegularExpression>
#include <new>

#include "storage/StorageError.h"

namespace ErrorText {

namespace {

QString translated(const QString& text) {
    if (text == QLatin1String("Cannot perform this operation on a closed dataset"))
        return QStringLiteral(
            "Die Tabelle ist nicht geöffnet, deshalb ist dieser Befehl nicht möglich. Meist war der "
            "Datenordner beim Start nicht nutzbar (siehe die Meldung beim Start): Wählen Sie im Menü "
            "„Admin“ unter „Admin Menü...“ einen beschreibbaren Datenordner und starten Sie das "
            "Programm neu.");
    if (text == QLatin1String("Dataset not in edit or insert mode"))
        return QStringLiteral(
            "Es gibt keine Änderung zum Speichern. Ändern oder ergänzen Sie zuerst einen "
            "Datensatz.");
    if (text == QLatin1String("Cannot perform this operation on an open dataset"))
        return QStringLiteral(
            "Dieser Befehl ist bei geöffneter Tabelle nicht möglich. Bitte starten Sie das Programm "
            "neu und versuchen Sie es erneut.");
    if (text == QLatin1String("Cannot perform this operation on an empty dataset"))
        return QStringLiteral(
            "Die Tabelle enthält keinen Datensatz, deshalb ist dieser Befehl nicht möglich. Legen "
            "Sie zuerst einen Datensatz an.");
    static const QRegularExpression fieldNotFound(QStringLiteral("^Field '(.*)' not found$"));
    const QRegularExpressionMatch field = fieldNotFound.match(text);
    if (field.hasMatch())
        return QStringLiteral(
                   "Das Feld „%1“ gibt es in dieser Tabelle nicht. Die Tabelle hat einen anderen Aufbau als "
                   "erwartet; prüfen Sie, ob sie von einem anderen Programm stammt oder beschädigt ist.")
            .arg(field.captured(1));
    static const QRegularExpression outOfBounds(QStringLiteral("^List index out of bounds \\((.*)\\)$"));
    const QRegularExpressionMatch index = outOfBounds.match(text);
    if (index.hasMatch())
        return QStringLiteral(
                   "Der Eintrag Nr. %1 existiert nicht (mehr). Bitte wählen Sie einen anderen Eintrag "
                   "und versuchen Sie es erneut.")
            .arg(index.captured(1));
    return text;
}

}  // namespace

QString forUser(const std::exception& error) {
    if (const auto* own = dynamic_cast<const QuorvelError*>(&error)) return translated(own->message());
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral(
            "Der Arbeitsspeicher reicht für diesen Befehl nicht aus. Schließen Sie andere Programme "
            "und versuchen Sie es erneut.");
    return QStringLiteral(
               "Ein unerwarteter Fehler ist aufgetreten (%1). Der Befehl wurde abgebrochen; bitte versuchen "
               "Sie es erneut.")
        .arg(QString::fromUtf8(error.what()));
}

}  // namespace ErrorText
