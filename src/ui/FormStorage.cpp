// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/FormStorage.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "startup/OptionStore.h"
#include "ui/UiMessages.h"

namespace {

const QString checkedSuffix = QStringLiteral("_Checked");
const QString textSuffix = QStringLiteral("_Text");
constexpr int showNormal = 1;
constexpr int showMaximized = 3;

QSize screenSizeOf(const QWidget* window) {
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->size() : QSize();
}

}  // namespace

FormStorage::FormStorage(QWidget* window, const QString& className, bool storePlacement, OptionStore* store)
    : m_window(window), m_className(className), m_storePlacement(storePlacement), m_store(store) {
    if (!m_store) {
        m_ownStore = std::make_unique<OptionStore>();
        m_store = m_ownStore.get();
    }
    if (window) window->installEventFilter(this);
}

FormStorage::~FormStorage() {
    if (m_window) m_window->removeEventFilter(this);
    // A window that was never restored has nothing of its own to keep; writing then would replace
    // the stored values by the defaults.
    if (m_restored && !m_saved) save();
}

void FormStorage::addCheck(QAbstractButton* button, bool defaultValue) {
    m_items.push_back({Item::Kind::Check, button, button->objectName() + checkedSuffix, defaultValue, {}});
}

void FormStorage::addAction(QAction* action, bool defaultValue) {
    m_items.push_back({Item::Kind::Action, action, action->objectName() + checkedSuffix, defaultValue, {}});
}

void FormStorage::addText(QLineEdit* edit, const QString& defaultValue) {
    m_items.push_back({Item::Kind::Text, edit, edit->objectName() + textSuffix, false, defaultValue});
}

bool FormStorage::restore() {
    // Counted as restored even when reading fails half-way: the controls now hold what the user
    // will see and may change, so that is what a later save must keep.
    m_restored = true;
    m_saved = false;
    return UiMessages::guarded(m_window, [this] {
        restoreItems();
        if (m_storePlacement) restorePlacementUnguarded();
    });
}

bool FormStorage::restorePlacement() {
    if (!m_storePlacement) return true;
    return UiMessages::guarded(m_window, [this] { restorePlacementUnguarded(); });
}

bool FormStorage::save() {
    const bool ok = UiMessages::guarded(m_window, [this] { saveUnguarded(); });
    // A failed save is not retried at destruction: the user has been told once.
    m_saved = true;
    return ok;
}

void FormStorage::restoreItems() {
    for (const Item& item : m_items) {
        if (!item.target) continue;
        switch (item.kind) {
            case Item::Kind::Check:
                static_cast<QAbstractButton*>(item.target.data())
                    ->setChecked(m_store->boolValue(m_className, item.name, item.defaultChecked));
                break;
            case Item::Kind::Action:
                static_cast<QAction*>(item.target.data())
                    ->setChecked(m_store->boolValue(m_className, item.name, item.defaultChecked));
                break;
            case Item::Kind::Text:
                static_cast<QLineEdit*>(item.target.data())
                    ->setText(m_store->value(m_className, item.name).value_or(item.defaultText));
                break;
        }
    }
}

void FormStorage::restorePlacementUnguarded() {
    if (!m_window) return;
    const std::optional<OptionStore::Placement> placement = m_store->placement(m_className, screenSizeOf(m_window));
    if (!placement) return;
    const QRect norm = placement->normPos;
    // A rectangle that lies off every screen (another monitor set-up) would hide the window.
    const QScreen* screen = m_window->screen();
    const bool usable = norm.isValid() && norm.width() > 0 && norm.height() > 0 &&
                        (!screen || screen->virtualGeometry().intersects(norm));
    if (usable) m_window->setGeometry(norm);
    if (placement->showCmd == showMaximized)
        m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    else
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMaximized);
}

void FormStorage::saveUnguarded() {
    for (const Item& item : m_items) {
        if (!item.target) continue;
        switch (item.kind) {
            case Item::Kind::Check:
                m_store->setBoolValue(m_className, item.name,
                                      static_cast<QAbstractButton*>(item.target.data())->isChecked());
                break;
            case Item::Kind::Action:
                m_store->setBoolValue(m_className, item.name, static_cast<QAction*>(item.target.data())->isChecked());
                break;
            case Item::Kind::Text:
                m_store->setValue(m_className, item.name, static_cast<QLineEdit*>(item.target.data())->text());
                break;
        }
    }
    if (m_storePlacement && m_window) {
        OptionStore::Placement placement;
        placement.showCmd = m_window->isMaximized() ? showMaximized : showNormal;
        placement.pixelsPerInch = 96;
        placement.normPos =
            m_window->isMaximized() || m_window->isMinimized() ? m_window->normalGeometry() : m_window->geometry();
        m_store->setPlacement(m_className, screenSizeOf(m_window), placement);
    }
    m_store->sync();
}

bool FormStorage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && !event->spontaneous()) {
        if (event->type() == QEvent::Show && m_window->isWindow()) {
            restore();
        } else if (event->type() == QEvent::Hide && m_window->isWindow()) {
            if (m_restored && !m_saved) save();
        }
    }
    return QObject::eventFilter(watched, event);
}
