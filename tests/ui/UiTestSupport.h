// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "storage/DbfTable.h"
#include "storage/FieldDef.h"

namespace uitest {

// The control of a window with the object name the user knows it by (nullptr when there is none).
template <typename T>
T* child(const QObject* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// Runs `action` on the modal window of type T as soon as it shows (armed before the command runs).
template <typename T>
class OnModal {
public:
    explicit OnModal(std::function<void(T*)> action) : m_action(std::move(action)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window || m_seen) return;
            m_seen = true;
            m_timer.stop();
            m_action(window);
        });
        m_timer.start();
    }
    bool seen() const { return m_seen; }

private:
    std::function<void(T*)> m_action;
    QTimer m_timer;
    bool m_seen = false;
};

// Answers the next modal message box by clicking the button with the given text (empty: the default
// button). Polls from the event loop the box runs, so arm it before the call that shows the box.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(QString buttonText = {}) : m_buttonText(std::move(buttonText)) {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    bool answered() const { return m_answered; }
    const QString& text() const { return m_text; }
    QMessageBox::Icon icon() const { return m_icon; }
    QString defaultButtonText() const { return m_defaultText; }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        m_timer.stop();
        m_answered = true;
        m_text = box->text();
        m_icon = box->icon();
        if (box->defaultButton()) m_defaultText = box->defaultButton()->text();
        for (QAbstractButton* button : box->buttons()) {
            if (m_buttonText.isEmpty() ? button == box->defaultButton() : button->text() == m_buttonText) {
                button->click();
                return;
            }
        }
        box->done(QMessageBox::Cancel);
    }

    QString m_buttonText;
    QTimer m_timer;
    bool m_answered = false;
    QString m_text;
    QString m_defaultText;
    QMessageBox::Icon m_icon = QMessageBox::NoIcon;
};

// Creates a table file in `folder` and opens it.
inline void createTable(DbfTable& table, const QString& folder, const QString& name,
                        const std::vector<FieldDef>& schema) {
    table.setFilePath(folder);
    table.setTableName(name);
    table.setFieldDefs(schema);
    table.CreateTable();
    table.Open();
}

inline void addAccount(DbfTable& accounts, int nr, const QString& name) {
    accounts.Insert();
    accounts.Fields(0).setAsInteger(nr);
    accounts.Fields(1).setAsString(name);
    accounts.Post();
}

}  // namespace uitest
