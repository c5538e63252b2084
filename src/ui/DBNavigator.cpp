// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DBNavigator.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QStyle>
#include <QToolButton>

#include "storage/DbfTable.h"
#include "ui/UiMessages.h"

namespace {

struct ButtonLook {
    const char* hint;
    QStyle::StandardPixmap pixmap;
    const char* themeIcon;  // preferred where the style has no fitting standard pixmap
    const char* fallbackText;
};

// Hints as the navigator has always shown them (the spelling included).
const ButtonLook looks[DBNavigator::buttonCount] = {
    {"Erster Datensatz", QStyle::SP_MediaSkipBackward, "go-first", nullptr},
    {"Vorheriger Datensatz", QStyle::SP_ArrowLeft, "go-previous", nullptr},
    {"Nächster Datensatz", QStyle::SP_ArrowRight, "go-next", nullptr},
    {"Letzter Datensatz", QStyle::SP_MediaSkipForward, "go-last", nullptr},
    {"Datensatz einfügen", QStyle::SP_CustomBase, "list-add", "+"},
    {"Datensatz löschen", QStyle::SP_CustomBase, "list-remove", "\u2212"},
    {"Datensatz bearbeiten", QStyle::SP_CustomBase, "document-edit", "\u25B2"},
    {"Geänderten Datensatz speichern", QStyle::SP_DialogApplyButton, "dialog-ok-apply", nullptr},
    {"Abbrechen, Änderungen verwerfen", QStyle::SP_DialogCancelButton, "dialog-cancel", nullptr},
    {"Daten aktualisieren", QStyle::SP_BrowserReload, "view-refresh", nullptr},
};

constexpr int buttonWidth = 24;
constexpr int navigatorHeight = 25;

}  // namespace

DBNavigator::DBNavigator(QWidget* parent, bool showHints) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < buttonCount; ++i) {
        const ButtonLook& look = looks[i];
        auto* button = new QToolButton(this);
        const QString hint = QString::fromUtf8(look.hint);
        button->setAccessibleName(hint);
        if (showHints) button->setToolTip(hint);
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(look.themeIcon));
        if (icon.isNull() && look.pixmap != QStyle::SP_CustomBase) icon = style()->standardIcon(look.pixmap);
        if (icon.isNull())
            button->setText(QString::fromUtf8(look.fallbackText));
        else
            button->setIcon(icon);
        button->setFixedSize(buttonWidth, navigatorHeight);
        button->setAutoRaise(false);
        layout->addWidget(button);
        m_buttons[i] = button;
        connect(button, &QToolButton::clicked, this, [this, i] { doAction(Button(i)); });
    }
    setFixedSize(buttonWidth * buttonCount, navigatorHeight);
    updateButtons();
}

DBNavigator::~DBNavigator() {
    if (m_table) m_table->detach(this);
}

void DBNavigator::setTable(DbfTable* table) {
    if (table == m_table) return;
    if (m_table) m_table->detach(this);
    m_table = table;
    if (m_table) m_table->attach(this);
    updateButtons();
}

bool DBNavigator::doAction(Button which) {
    if (!m_table) return false;
    emit beforeAction(which);
    if (!m_table) return false;  // a slot may have unbound us
    if (which == Delete && !UiMessages::confirmDelete(this)) return false;
    DbfTable& table = *m_table;
    const bool ok = UiMessages::guarded(this, [&] {
        switch (which) {
            case First:
                table.First();
                break;
            case Prior:
                table.Prior();
                break;
            case Next:
                table.Next();
                break;
            case Last:
                table.Last();
                break;
            case Insert:
                table.Insert();
                break;
            case Delete:
                table.Delete();
                break;
            case Edit:
                table.Edit();
                break;
            case Post:
                table.Post();
                break;
            case Cancel:
                table.Cancel();
                break;
            case Refresh:
                table.Refresh();
                break;
        }
    });
    updateButtons();
    return ok;
}

void DBNavigator::updateButtons() {
    std::array<bool, buttonCount> enabled{};
    if (m_table && m_table->Active()) {
        const DbfTable::State state = m_table->state();
        const bool editing = state == DbfTable::State::Insert || state == DbfTable::State::Edit;
        const bool canModify = !m_table->isReadOnly();
        const int row = m_table->RecNo();
        const int rows = m_table->RecordCount();
        const bool hasRow = row >= 0 && rows > 0;
        const bool canGoBack = hasRow && row > 0;
        const bool canGoOn = hasRow && row < rows - 1;
        enabled[First] = enabled[Prior] = canGoBack;
        enabled[Next] = enabled[Last] = canGoOn;
        enabled[Insert] = canModify;
        enabled[Delete] = canModify && hasRow;
        enabled[Edit] = canModify && hasRow && !editing;
        enabled[Post] = enabled[Cancel] = canModify && editing;
        enabled[Refresh] = !editing;
    }
    for (int i = 0; i < buttonCount; ++i) m_buttons[i]->setEnabled(enabled[i]);
}
