// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QEvent>
#include <QObject>
#include <functional>
#include <memory>

namespace uitest {

// Calls `action` with every window of type T at the moment it is shown, from inside the show() that the
// program calls, so a test can attach itself to a window before that window's work starts (for example
// to the bar of a progress window, whose every step then reaches the test as it happens).
template <typename T>
class ShowHook : public QObject {
public:
    explicit ShowHook(std::function<void(T*)> action) : m_action(std::move(action)) {
        QApplication::instance()->installEventFilter(this);
    }
    ~ShowHook() override { QApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            if (auto* window = qobject_cast<T*>(watched)) m_action(window);
        return false;
    }

private:
    std::function<void(T*)> m_action;
};

template <typename T>
std::unique_ptr<ShowHook<T>> onShow(std::function<void(T*)> action) {
    return std::make_unique<ShowHook<T>>(std::move(action));
}

}  // namespace uitest
