// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/PdfCanvas.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <QByteArray>
#include <algorithm>
#include <map>
#include <vector>

#include "reports/output/ReportOutputError.h"

namespace {

constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

// A font file as fontconfig resolves it, with the glyph of each character looked up once.
struct Face {
    cairo_font_face_t* face = nullptr;
    std::vector<std::uint32_t> glyphOf = std::vector<std::uint32_t>(0x10000, kUnknown);
    std::map<char32_t, std::uint32_t> glyphOfOther;  // beyond the basic plane
};

// The face of the report fonts' family in that weight, or the face fontconfig proposes for a character
// that face lacks (`needed` non-zero).
cairo_font_face_t* matchFace(bool bold, char32_t needed, QByteArray* file) {
    FcPattern* pattern = FcPatternCreate();
    const QByteArray family = ReportFonts::family().toUtf8();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    if (needed != 0) {
        FcCharSet* chars = FcCharSetCreate();
        FcCharSetAddChar(chars, needed);
        FcPatternAddCharSet(pattern, FC_CHARSET, chars);
        FcCharSetDestroy(chars);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!matched) return nullptr;
    FcChar8* path = nullptr;
    int index = 0;
    FcPatternGetString(matched, FC_FILE, 0, &path);
    FcPatternGetInteger(matched, FC_INDEX, 0, &index);
    if (file) *file = QByteArray(reinterpret_cast<const char*>(path)) + ':' + QByteArray::number(index);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(matched);
    FcPatternDestroy(matched);
    return face;
}

}  // namespace

struct PdfCanvas::Private {
    // The glyphs of one drawn text in `pending`, by its start.
    struct Item {
        double x;
        double y;
        std::size_t begin;
        std::size_t end;
    };
    // One face at the size of one role, with the glyphs of the current page waiting for it.
    struct Run {
        int face = 0;
        cairo_scaled_font_t* font = nullptr;
        std::vector<cairo_glyph_t> pending;
        std::vector<Item> items;  // where the texts of `pending` begin
    };

    Sink sink;
    bool abandoned = false;  // nothing more goes to the sink
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    cairo_font_options_t* options = nullptr;
    std::vector<Face> faces;        // 0: regular, 1: bold, then faces standing in for missing characters
    std::map<QByteArray, int> faceOfFile;
    std::vector<Run> runs;        // the first kFontRoleCount are the roles in their own face
    std::map<std::pair<int, int>, int> runOf;  // (face, role) of the stand-in faces
    std::map<std::pair<int, char32_t>, std::pair<int, std::uint32_t>> standIn;  // (role, character)

    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length) {
        auto* self = static_cast<Private*>(closure);
        if (self->abandoned || !self->sink(reinterpret_cast<const char*>(data), length))
            return CAIRO_STATUS_WRITE_ERROR;
        return CAIRO_STATUS_SUCCESS;
    }

    int runFor(int face, int pixelSize) {
        cairo_set_font_face(cr, faces[std::size_t(face)].face);
        cairo_set_font_size(cr, pixelSize);
        cairo_set_font_options(cr, options);
        runs.push_back(Run{face, cairo_scaled_font_reference(cairo_get_scaled_font(cr)), {}, {}});
        return int(runs.size()) - 1;
    }

    std::uint32_t glyphIn(int run, char32_t c) {
        Face& face = faces[std::size_t(runs[std::size_t(run)].face)];
        std::uint32_t* known = nullptr;
        if (c <= 0xFFFF)
            known = &face.glyphOf[c];
        else
            known = &face.glyphOfOther.try_emplace(c, kUnknown).first->second;
        if (*known == kUnknown) {
            FT_Face ft = cairo_ft_scaled_font_lock_face(runs[std::size_t(run)].font);
            *known = ft ? FT_Get_Char_Index(ft, c) : 0;
            cairo_ft_scaled_font_unlock_face(runs[std::size_t(run)].font);
        }
        return *known;
    }

    // The run and glyph that draw `c` in the role: its own face, else a face that has the character,
    // else the own face's placeholder glyph.
    std::pair<int, std::uint32_t> glyph(FontRole role, int pixelSize, char32_t c) {
        const int own = static_cast<int>(role);
        const std::uint32_t g = glyphIn(own, c);
        if (g != 0) return {own, g};
        const auto key = std::make_pair(own, c);
        if (const auto it = standIn.find(key); it != standIn.end()) return it->second;
        std::pair<int, std::uint32_t> found{own, 0};
        QByteArray file;
        if (cairo_font_face_t* face = matchFace(ReportFonts::bold(role), c, &file)) {
            int index = 0;
            if (const auto it = faceOfFile.find(file); it != faceOfFile.end()) {
                index = it->second;
                cairo_font_face_destroy(face);
            } else {
                faces.emplace_back().face = face;
                index = int(faces.size()) - 1;
                faceOfFile.emplace(file, index);
            }
            int run = 0;
            if (const auto it = runOf.find({index, own}); it != runOf.end())
                run = it->second;
            else
                run = runOf[{index, own}] = runFor(index, pixelSize);
            if (const std::uint32_t other = glyphIn(run, c); other != 0) found = {run, other};
        }
        standIn.emplace(key, found);
        return found;
    }

    // Hands the page's glyphs to cairo. A PDF viewer advances by the glyph widths of the font's width
    // table, which cairo rounds to thousandths of the size, while cairo keeps to the exact advances: along
    // one line of text the glyphs would drift by up to half a point. Given column by column, every text
    // starts on another line than the one before, so cairo places each start exactly.
    void flush() {
        for (Run& run : runs) {
            if (run.pending.empty()) continue;
            std::sort(run.items.begin(), run.items.end(),
                      [](const Item& a, const Item& b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
            ordered.clear();
            for (const Item& item : run.items)
                ordered.insert(ordered.end(), run.pending.begin() + std::ptrdiff_t(item.begin),
                               run.pending.begin() + std::ptrdiff_t(item.end));
            cairo_set_scaled_font(cr, run.font);
            cairo_show_glyphs(cr, ordered.data(), int(ordered.size()));
            run.pending.clear();
            run.items.clear();
        }
    }
    std::vector<cairo_glyph_t> ordered;
};

PdfCanvas::PdfCanvas(const ReportFonts& fonts, const QPageLayout& layout, Sink sink)
    : FontCanvas(fonts), d(std::make_unique<Private>()) {
    d->sink = std::move(sink);
    const QRectF full = layout.fullRect(QPageLayout::Point);
    const QRectF paint = layout.paintRect(QPageLayout::Point);
    d->surface = cairo_pdf_surface_create_for_stream(&Private::write, d.get(), full.width(), full.height());
    cairo_pdf_surface_set_metadata(d->surface, CAIRO_PDF_METADATA_CREATOR, "Quorvel");
    d->cr = cairo_create(d->surface);
    cairo_translate(d->cr, paint.left(), paint.top());
    const double scale = 72.0 / fonts.resolution();
    cairo_scale(d->cr, scale, scale);
    cairo_set_source_rgb(d->cr, 0, 0, 0);

    // Outlines and advances as designed, as the report fonts measure them.
    d->options = cairo_font_options_create();
    cairo_font_options_set_hint_style(d->options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(d->options, CAIRO_HINT_METRICS_OFF);
    for (const bool bold : {false, true}) {
        cairo_font_face_t* face = matchFace(bold, 0, nullptr);
        if (!face) throw ReportOutputError(QStringLiteral("Die Schrift „%1“ wurde nicht gefunden.").arg(ReportFonts::family()));
        d->faces.emplace_back().face = face;
    }
    for (int i = 0; i < kFontRoleCount; ++i) {
        const auto role = static_cast<FontRole>(i);
        d->runFor(ReportFonts::bold(role) ? 1 : 0, ReportFonts::pixelSize(role, fonts.resolution()));
    }
    checkStatus();
}

PdfCanvas::~PdfCanvas() {
    // A run that did not finish writes nothing more (a finished one has nothing more to write).
    d->abandoned = true;
    for (Private::Run& run : d->runs) cairo_scaled_font_destroy(run.font);
    for (Face& face : d->faces) cairo_font_face_destroy(face.face);
    if (d->options) cairo_font_options_destroy(d->options);
    if (d->cr) cairo_destroy(d->cr);
    if (d->surface) cairo_surface_destroy(d->surface);
}

void PdfCanvas::setTitle(const QString& title) {
    cairo_pdf_surface_set_metadata(d->surface, CAIRO_PDF_METADATA_TITLE, title.toUtf8().constData());
}

void PdfCanvas::drawText(int x, int y, const QString& text) {
    const FontRole role = font();
    const int pixelSize = ReportFonts::pixelSize(role, fonts().resolution());
    const double baseline = y + fonts().ascent(role);
    double at = x;
    const qsizetype n = text.size();
    int last = -1;  // the run of the glyph before
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate())
            c = QChar::surrogateToUcs4(char16_t(c), text[++i].unicode());
        const qreal advance = fonts().advance(role, c);
        if (c >= 0x20) {
            const auto [run, glyph] = d->glyph(role, pixelSize, c);
            Private::Run& r = d->runs[std::size_t(run)];
            if (run != last) r.items.push_back({at, baseline, r.pending.size(), r.pending.size()});
            r.pending.push_back(cairo_glyph_t{glyph, at, baseline});
            r.items.back().end = r.pending.size();
            last = run;
        }
        at += advance;
    }
}

void PdfCanvas::newPage() {
    if (m_pageFinished) m_pageFinished(m_page + 1);
    d->flush();
    cairo_show_page(d->cr);
    checkStatus();
    ++m_page;
}

void PdfCanvas::finish() {
    d->flush();
    cairo_destroy(d->cr);
    d->cr = nullptr;
    cairo_surface_finish(d->surface);
    checkStatus();
}

void PdfCanvas::checkStatus() {
    cairo_status_t status = d->cr ? cairo_status(d->cr) : CAIRO_STATUS_SUCCESS;
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(d->surface);
    if (status != CAIRO_STATUS_SUCCESS)
        throw ReportOutputError(QStringLiteral("Die PDF-Datei konnte nicht geschrieben werden (%1).")
                                    .arg(QString::fromUtf8(cairo_status_to_string(status))));
}
