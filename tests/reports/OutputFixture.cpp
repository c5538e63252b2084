// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFixture.h"

#include "reports/output/ReportRenderer.h"
#include "storage/DayNumber.h"

OutputFixture::OutputFixture() {
    data.ein = &ein;
    data.aus = &aus;
    data.akonto = &akonto;
    data.mwstsE = &mwstsE;
    data.mwstsA = &mwstsA;
    data.amwst = &amwst;
    data.cap = QStringLiteral("Testbericht 01.01.2026 - 31.12.2026");
    inputs.data = &data;
    inputs.address = {QStringLiteral("Muster GmbH"), QStringLiteral("Hauptstraße 1"), QStringLiteral("12345 Stadt")};
    inputs.currency = QStringLiteral("€");
    inputs.findEinnahmeKonto = [](int nr) { return QStringLiteral("Einnahme %1").arg(nr); };
    inputs.findAusgabeKonto = [](int nr) { return QStringLiteral("Ausgabe %1").arg(nr); };
}

char16_t* OutputFixture::keep(const QString& text) {
    m_strings.emplace_back(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
    return m_strings.back().data();
}

void OutputFixture::booking(TKontoArray& array, int day, const QString& beleg, int konto, double brutto, double rate,
                            const QString& text) {
    TKontoRec* r = array.Add();
    r->konto = konto;
    r->mwstsatz = rate;
    r->brutto = brutto;
    r->mwst = brutto * rate / (rate + 100);
    r->netto = brutto * 100 / (rate + 100);
    r->beleg = keep(beleg);
    r->text = keep(text);
    r->datum = DayNumber::fromDate(QDate(2026, 1, 1)) + day;
}

void OutputFixture::account(TKontoArray& array, int konto, double brutto, double mwst, double netto) {
    TKontoRec* r = array.Add();
    r->konto = konto;
    r->brutto = brutto;
    r->mwst = mwst;
    r->netto = netto;
}

void OutputFixture::rate(TMwstArray& array, double mwstsatz, double brutto, double mwst, double netto) {
    *array.Add() = TMwstRec{mwstsatz, brutto, mwst, netto};
}

std::vector<DrawnItem> OutputFixture::run(const PageParams& params, int* pages, int* newPages) {
    RecordingCanvas canvas(params.resolution);
    const int n = ReportRenderer::render(canvas, inputs, params);
    if (pages) *pages = n;
    if (newPages) *newPages = canvas.newPages();
    return canvas.items();
}

std::vector<DrawnItem> OutputFixture::preview(int page, const PageGeometry& g, int* pages) {
    return run(PageParams{false, page, g.resolution, g.width, g.height}, pages);
}

std::vector<DrawnItem> OutputFixture::print(const PageGeometry& g, int* pages, int* newPages) {
    return run(PageParams{true, 0, g.resolution, g.width, g.height}, pages, newPages);
}

PageGeometry a4(int resolution) {
    // 210 x 297 mm less 1/6 inch on each side.
    const double inch = 25.4;
    return PageGeometry{resolution, int(210 / inch * resolution - resolution / 3.0),
                        int(297 / inch * resolution - resolution / 3.0)};
}

std::vector<DrawnItem> withText(const std::vector<DrawnItem>& items, const QString& text) {
    std::vector<DrawnItem> out;
    for (const auto& item : items)
        if (item.text == text) out.push_back(item);
    return out;
}

std::vector<DrawnItem> onPage(const std::vector<DrawnItem>& items, int page) {
    std::vector<DrawnItem> out;
    for (const auto& item : items)
        if (item.page == page) out.push_back(item);
    return out;
}
