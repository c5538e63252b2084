// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

#include "reports/data/ReportData.h"

class MeasureCache;
class ReportCanvas;
struct PageParams;

// Everything a report layout reads: the hand-over of the report command, the company address lines,
// the currency text and the account-name lookups (account number to name; "Konto " and the number when
// no account has it). The layouts read the arrays through their cursor variables and change nothing else;
// the booking lists read their records by position instead, so that a page count on a thread of its own
// (PageCountThread) can read them while the window paints.
struct ReportInputs {
    ReportData* data = nullptr;
    QStringList address;
    QString currency = QStringLiteral("€");
    std::function<QString(int)> findEinnahmeKonto;
    std::function<QString(int)> findAusgabeKonto;
    // A line under the heading naming what the report is restricted to ("Nur Buchungen mit »müller«");
    // empty when it covers every booking of the period.
    QString filterNote;
    // Optional: measurements kept between runs of the same report (the preview's repaints).
    MeasureCache* cache = nullptr;
    // Optional: a layout of its own (the tax forms) run instead of the one the modus selects.
    std::function<int(ReportCanvas&, const ReportInputs&, const PageParams&)> layout;
};

// Where and how a layout runs: print (every page, new device pages) or preview of one page, at the
// printer's resolution and printable page size in pixels.
struct PageParams {
    bool print = false;
    int pageToDraw = 1;
    int resolution = 300;
    int pageWidth = 0;
    int pageHeight = 0;
    // Preview only: the layout ends with the page to draw (PageEngine::Ended) instead of running on to
    // the end of the report to count its pages.
    bool endAfterDrawn = false;
    // Looked at every page break: once set, the layout stops with ReportOutputCancelled.
    const std::atomic<bool>* stop = nullptr;
};

// The printer page a report is laid out on: resolution in pixels per inch, printable width and height
// in pixels.
struct PageGeometry {
    int resolution = 300;
    int width = 0;
    int height = 0;

    friend bool operator==(const PageGeometry&, const PageGeometry&) = default;
};
