#include "ui/UiMessages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "storage/ErrorText.h"

namespace UiMessages {

namespace {

QString boxTitle() {
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QStringLiteral("Quorvel") : title;
}

}  // namespace

QString errorText(const std::exception& error) {
    return ErrorText::forUser(error);
}

void showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, boxTitle(), text);
}

void showWarning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, boxTitle(), text);
}

void showInformation(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, boxTitle(), text);
}

bool confirmDelete(QWidget* parent) {
    QMessageBox box(QMessageBox::Question, boxTitle(), deleteQuestion, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace UiMessages
