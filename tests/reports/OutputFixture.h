// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "reports/data/ReportData.h"
#include "reports/output/DrawnItem.h"
#include "reports/output/RecordingCanvas.h"
#include "reports/output/ReportInputs.h"

// Report data built by hand, as a report command hands it over, plus a recording run of its layout.
class OutputFixture {
public:
    OutputFixture();
    OutputFixture(const OutputFixture&) = delete;
    OutputFixture& operator=(const OutputFixture&) = delete;

    // One booking record (list reports): net and VAT derived from gross and rate.
    void booking(TKontoArray& array, int day, const QString& beleg, int konto, double brutto, double rate,
                 const QString& text);
    // One account's sums (total result).
    void account(TKontoArray& array, int konto, double brutto, double mwst, double netto);
    void rate(TMwstArray& array, double mwstsatz, double brutto, double mwst, double netto);

    // Runs the layout of data.modus on a recording canvas.
    std::vector<DrawnItem> run(const PageParams& params, int* pages = nullptr, int* newPages = nullptr);
    std::vector<DrawnItem> preview(int page, const PageGeometry& geometry, int* pages = nullptr);
    std::vector<DrawnItem> print(const PageGeometry& geometry, int* pages = nullptr, int* newPages = nullptr);

    TKontoRec* akonto = nullptr;
    TMwstRec* amwst = nullptr;
    TKontoArray ein{&akonto};
    TKontoArray aus{&akonto};
    TMwstArray mwstsE{&amwst};
    TMwstArray mwstsA{&amwst};
    ReportData data;
    ReportInputs inputs;

private:
    char16_t* keep(const QString& text);
    std::deque<std::u16string> m_strings;
};

// The A4 page of a printer at `resolution` dpi with 1/6 inch unprintable borders.
PageGeometry a4(int resolution);

// Items whose text is exactly `text`.
std::vector<DrawnItem> withText(const std::vector<DrawnItem>& items, const QString& text);
// Items on one device page.
std::vector<DrawnItem> onPage(const std::vector<DrawnItem>& items, int page);
