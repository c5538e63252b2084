// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/ReportFonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <cmath>

namespace {

QFont makeFont(FontRole role, int resolution) {
    QFont font(ReportFonts::family());
    font.setPixelSize(ReportFonts::pixelSize(role, resolution));
    font.setBold(ReportFonts::bold(role));
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::PreferOutline));
    return font;
}

QImage metricsDevice(int resolution) {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = qRound(resolution / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

}  // namespace

ReportFonts::ReportFonts(int resolution) : m_resolution(resolution), m_device(metricsDevice(resolution)) {
    m_roles.reserve(kFontRoleCount);
    for (int i = 0; i < kFontRoleCount; ++i) {
        const QFont font = makeFont(static_cast<FontRole>(i), resolution);
        m_roles.push_back(
            Role{font, QFontMetricsF(font, &m_device), std::make_unique<std::vector<qreal>>(kTableSize, qreal(-1))});
    }
}

QString ReportFonts::family() {
    static const QString chosen = [] {
        const QStringList families = QFontDatabase::families();
        if (families.contains(QStringLiteral("Arial"), Qt::CaseInsensitive)) return QStringLiteral("Arial");
        return QStringLiteral("Liberation Sans");
    }();
    return chosen;
}

int ReportFonts::pointSize(FontRole role) {
    switch (role) {
        case FontRole::Title:
            return 14;
        case FontRole::SectionHeading:
            return 12;
        case FontRole::Body:
        case FontRole::ColumnHeader:
            break;
    }
    return 11;
}

bool ReportFonts::bold(FontRole role) {
    return role != FontRole::Body;
}

int ReportFonts::pixelSize(FontRole role, int resolution) {
    return static_cast<int>(std::lround(double(pointSize(role)) * resolution / 72.0));
}

qreal ReportFonts::measureAdvance(const Role& role, char16_t c) const {
    qreal& slot = (*role.advances)[c];
    slot = role.metrics.horizontalAdvance(QChar(c));
    return slot;
}

qreal ReportFonts::advance(FontRole role, char32_t c) const {
    const Role& r = m_roles[index(role)];
    if (c <= 0xFFFF && inTable(char16_t(c))) return advance(r, char16_t(c));
    return r.metrics.horizontalAdvance(QString::fromUcs4(&c, 1));
}

int ReportFonts::width(FontRole role, QStringView text) const {
    const Role& r = m_roles[index(role)];
    const qreal* table = r.advances->data();  // filled in place, never moved
    qreal sum = 0;
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        // Characters beyond the table (other scripts, surrogate pairs, combining marks) are measured as
        // a whole text by the font machinery.
        if (!inTable(c)) return qRound(r.metrics.horizontalAdvance(text.toString()));
        const qreal a = table[c];
        sum += a >= 0 ? a : measureAdvance(r, c);
    }
    return qRound(sum);
}

qsizetype ReportFonts::fittingLength(FontRole role, QStringView text, int width) const {
    const Role& r = m_roles[index(role)];
    const qreal* table = r.advances->data();
    const qreal limit = width + 0.5;
    qreal sum = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!inTable(c)) {
            // Texts the table cannot measure: prefix by prefix with the font machinery.
            qsizetype low = 0;
            qsizetype high = text.size();
            while (low < high) {
                const qsizetype mid = (low + high + 1) / 2;
                if (this->width(role, text.left(mid)) <= width)
                    low = mid;
                else
                    high = mid - 1;
            }
            return low;
        }
        const qreal a = table[c];
        sum += a >= 0 ? a : measureAdvance(r, c);
        // qRound(sum) > width, compared without rounding at every character.
        if (sum >= limit && qRound(sum) > width) return i;
    }
    return text.size();
}

int ReportFonts::height(FontRole role, QStringView) const {
    return qRound(m_roles[index(role)].metrics.height());
}
