// SPDX-License-Identifier: GPL-3.0-or-later
// Photographs every window the user guide names, as the user sees it over the fixed sample year:
//   quorvel_screenshots <guide.md> <picture folder>
// Runs under the offscreen platform with a German locale (scripts/screenshots.sh sets both) and a data
// folder and option store of its own, so the user's data are never touched.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QDate>
#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <cstdio>

#include "GuideWindows.h"
#include "SampleData.h"
#include "app/AppLook.h"
#include "app/QuorvelApplication.h"
#include "journal/Period.h"
#include "ui/AppForms.h"
#include "ui/DateField.h"
#include "ui/MainUnit.h"

namespace {

// The column window is photographed as a user leaves it: the sample bank's columns assigned.
void fillCsvColumns(QWidget* window) {
    if (window->objectName() != QStringLiteral("BankCsvProfilForm")) return;
    const auto choose = [window](const char* name, int column) {
        if (auto* combo = window->findChild<QComboBox*>(QString::fromLatin1(name))) combo->setCurrentIndex(column);
    };
    if (auto* profile = window->findChild<QComboBox*>(QStringLiteral("ProfilEd")))
        profile->setEditText(QStringLiteral("Musterbank"));
    choose("DatumEd", 1);  // index 0 is "(keine)", index n the n-th column
    choose("BetragEd", 5);
    choose("GegenseiteEd", 3);
    choose("WaehrungEd", 6);
    if (auto* text = window->findChild<QListWidget*>(QStringLiteral("TextEd")); text && text->count() > 3)
        text->item(3)->setCheckState(Qt::Checked);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GUIDE.md PICTURE_FOLDER\n", argv[0]);
        return 2;
    }
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    QuorvelApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("ZAN-TOR"));
    QTranslator translator;
    setUpAppLook(translator);

    const QString guide = QString::fromLocal8Bit(argv[1]);
    const QDir pictures(QString::fromLocal8Bit(argv[2]));
    const QString folder = home.filePath(QStringLiteral("data/ZAN-TOR/Quorvel/"));
    QDir().mkpath(folder);
    SampleData::write(folder);
    const QString statement = SampleData::writeStatement(home.path());
    const QString bankCsv = SampleData::writeBankCsv(home.path());

    TMainForm* main = createAppForms();
    main->resize(900, 560);
    main->show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    main->findChild<QSpinBox*>(QStringLiteral("JahrEd"))->setValue(SampleData::year);
    EntryValue entry = main->entryValue();
    entry.datum = QDate(SampleData::year, 4, 16);
    main->fillEntry(entry);
    main->findChild<QAction*>(periodComponentName(PeriodItem::GanzesJahr))->trigger();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();

    int failures = 0;
    for (const GuideWindow& w : readGuideWindows(guide)) {
        const QString problem = showGuideWindow(*main, w, [&](QWidget* window) {
            fillCsvColumns(window);
            const QString file = pictures.filePath(w.picture);
            if (!window->grab().save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(file));
            }
        }, [&](const GuideWindow& g) { return SampleData::sampleFileFor(g.window, statement, bankCsv); });
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(w.picture), qPrintable(problem));
            ++failures;
        }
    }
    main->close();
    destroyAppForms();
    return failures == 0 ? 0 : 1;
}
