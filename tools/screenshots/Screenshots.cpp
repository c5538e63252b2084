// SPDX-License-Identifier: GPL-3.0-or-later
// Photographs every window the user guide names, as the user sees it over the fixed sample year:
//   quorvel_screenshots <guide.md> <picture folder>
// Runs under the offscreen platform with a German locale (scripts/screenshots.sh sets both) and a data
// folder and option store of its own, so the user's data are never touched.
#include <QApplication>
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

    TMainForm* main = createAppForms();
    main->resize(900, 560);
    main->show();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    main->JahrEd->setValue(SampleData::year);
    main->DateTimePicker1->setDate(QDate(SampleData::year, 4, 16));
    main->periodItems[static_cast<int>(PeriodItem::GanzesJahr)]->trigger();
    for (int i = 0; i < 20; ++i) QApplication::processEvents();

    int failures = 0;
    for (const GuideWindow& w : readGuideWindows(guide)) {
        const QString problem = showGuideWindow(*main, w, [&](QWidget* window) {
            const QString file = pictures.filePath(w.picture);
            if (!window->grab().save(file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                ++failures;
            } else {
                std::printf("%s\n", qPrintable(file));
            }
        });
        if (!problem.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(w.picture), qPrintable(problem));
            ++failures;
        }
    }
    main->close();
    destroyAppForms();
    return failures == 0 ? 0 : 1;
}
