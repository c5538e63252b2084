// SPDX-License-Identifier: GPL-3.0-or-later
// Alt+letter opens one menu, and within an open menu a letter reaches one entry: no two titles of the menu
// bar, and no two entries of one menu, share their underlined letter.
#include <QMenu>
#include <QMenuBar>
#include <map>

#include "MainWindowFixture.h"

namespace {

QChar mnemonic(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&')) continue;
        if (text[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

void expectUnique(const QList<QAction*>& actions, const QString& where) {
    std::map<QChar, QString> taken;
    for (const QAction* a : actions) {
        if (a->isSeparator() || !a->isVisible()) continue;
        const QChar key = mnemonic(a->text());
        if (key.isNull()) continue;
        const auto [it, fresh] = taken.emplace(key, a->text());
        EXPECT_TRUE(fresh) << where.toStdString() << ": \"" << a->text().toStdString() << "\" and \""
                           << it->second.toStdString() << "\" share Alt+" << QString(key).toStdString();
    }
}

class MenuKeysTest : public MainWindowFixture {};

TEST_F(MenuKeysTest, EveryUnderlinedLetterLeadsToOnePlace) {
    start();
    QMenuBar* bar = form->menuBar();
    expectUnique(bar->actions(), QStringLiteral("Menüleiste"));
    for (const QAction* top : bar->actions())
        if (top->menu()) expectUnique(top->menu()->actions(), top->text());
}

}  // namespace
