// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <utility>

class QWidget;

// The message boxes the windows share, with their German texts in one place. Slots never let an
// exception escape into the event loop: they run their work through guarded(), which shows the error
// in the standard error box and returns false.
namespace UiMessages {

inline const QString deleteQuestion = QStringLiteral("Datensatz löschen?");

// The caption of the program's boxes and windows: the application's display name, "Quorvel" without one.
QString appTitle();

// The German text the user reads for an exception (English texts of the table layer put into German).
QString errorText(const std::exception& error);

// Every box shows its text as plain text: names of files, values typed or read from files and texts of
// the user never turn into markup ("<b>", "<font ...>").
void showError(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& text);
void showInformation(QWidget* parent, const QString& text);

// The same with the given caption; icon Critical, Warning or Information.
void showTitled(QWidget* parent, int icon, const QString& title, const QString& text);
// Where a refusal may offer more than OK (a booking in a closed period offers "Stornieren"): called with
// the text of every error or warning box before it shows; true when it has dealt with the text itself.
// Empty: every box shows as it is.
using RefusalOffer = std::function<bool(QWidget* parent, const QString& text)>;
void setRefusalOffer(RefusalOffer offer);

// Ja/Nein with the given caption and default; true for Ja.
bool askYesNo(QWidget* parent, const QString& title, const QString& text, bool yesIsDefault);

// "Datensatz löschen?" with Ja/Nein, Nein being the default; true for Ja.
bool confirmDelete(QWidget* parent);

template <class Work>
bool guarded(QWidget* parent, Work&& work) {
    try {
        std::forward<Work>(work)();
        return true;
    } catch (const std::exception& error) {
        showError(parent, errorText(error));
    }
    return false;
}

}  // namespace UiMessages
