// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/UiMessages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "storage/ErrorText.h"

namespace UiMessages {

namespace {

RefusalOffer& refusalOffer() {
    static RefusalOffer offer;
    return offer;
}

}  // namespace

QString appTitle() {
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QStringLiteral("Quorvel") : title;
}

QString errorText(const std::exception& error) {
    return ErrorText::forUser(error);
}

void setRefusalOffer(RefusalOffer offer) {
    refusalOffer() = std::move(offer);
}

void showTitled(QWidget* parent, int icon, const QString& title, const QString& text) {
    if ((icon == QMessageBox::Critical || icon == QMessageBox::Warning) && refusalOffer()) {
        // A copy: the offer may be replaced while its own box is open.
        const RefusalOffer offer = refusalOffer();
        if (offer(parent, text)) return;
    }
    QMessageBox box(QMessageBox::Icon(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void showError(QWidget* parent, const QString& text) {
    showTitled(parent, QMessageBox::Critical, appTitle(), text);
}

void showWarning(QWidget* parent, const QString& text) {
    showTitled(parent, QMessageBox::Warning, appTitle(), text);
}

void showInformation(QWidget* parent, const QString& text) {
    showTitled(parent, QMessageBox::Information, appTitle(), text);
}

bool askYesNo(QWidget* parent, const QString& title, const QString& text, bool yesIsDefault) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yesIsDefault ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool confirmDelete(QWidget* parent) {
    return askYesNo(parent, appTitle(), deleteQuestion, false);
}

}  // namespace UiMessages
