// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class OptionStore;
class QAbstractButton;
class QAction;
class QLineEdit;
class QWidget;

// Keeps a window's stored items and placement in the option store, under the window's class name.
//
// Items are check marks ("<objectName>_Checked" = "True"/"False") and texts ("<objectName>_Text").
// Watching the window through an event filter, it restores items and placement each time the window
// is shown - before the window's own show handler runs, so that handler already sees the stored values
// - and saves them when the window hides (closed by OK, done() or the close box) and, if not saved
// since the last restore, when it is destroyed. Failures are shown in the error box; the program goes on.
//
// Own it as a member of the window it watches, so it goes before the window's child controls do.
class FormStorage : public QObject {
    Q_OBJECT
public:
    // `store` nullptr: the program's default option store, owned by this object.
    FormStorage(QWidget* window, const QString& className, bool storePlacement, OptionStore* store = nullptr);
    ~FormStorage() override;

    void addCheck(QAbstractButton* button, bool defaultValue);
    void addAction(QAction* action, bool defaultValue);
    void addText(QLineEdit* edit, const QString& defaultValue);

    // Items and (when stored) placement. Each shows its own failures and returns false on one.
    bool restore();
    bool save();
    bool restorePlacement();

    const QString& className() const { return m_className; }
    OptionStore& store() { return *m_store; }
    bool savedSinceRestore() const { return m_saved; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Item {
        enum class Kind { Check, Action, Text } kind = Kind::Check;
        QPointer<QObject> target;
        QString name;  // stored value name
        bool defaultChecked = false;
        QString defaultText;
    };

    void restoreItems();
    void restorePlacementUnguarded();
    void saveUnguarded();

    QPointer<QWidget> m_window;
    QString m_className;
    bool m_storePlacement = false;
    std::unique_ptr<OptionStore> m_ownStore;
    OptionStore* m_store = nullptr;
    std::vector<Item> m_items;
    bool m_restored = false;
    bool m_saved = false;
};
