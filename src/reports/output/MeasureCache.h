// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "reports/data/ReportData.h"

// The measure pass of a booking list (its column widths and list sums) kept between layout runs of the
// same report. Widths depend only on the records, the opening balance, the fonts' resolution, the
// currency text and the locale, never on the page size or the page shown, so a repaint that finds them
// here lays out exactly as a run that measured afresh. The owner clears it whenever a new report is
// handed over.
class MeasureCache {
public:
    struct Key {
        const ReportData* data = nullptr;
        const void* records = nullptr;
        std::uint32_t count = 0;
        int modus = -1;
        int resolution = 0;
        bool opening = false;
        double openingBrutto = 0;
        double openingMwst = 0;
        double openingNetto = 0;
        QString currency;
        QString locale;

        friend bool operator==(const Key&, const Key&) = default;
    };
    struct Measured {
        std::array<int, 8> widths{};
        double brutto = 0;
        double mwst = 0;
        double netto = 0;
    };

    std::optional<Measured> find(const Key& key) const {
        if (m_entry && m_key == key) return m_entry;
        return std::nullopt;
    }
    void store(const Key& key, const Measured& measured) {
        m_key = key;
        m_entry = measured;
        m_lines.clear();
        m_linesKey = {};
    }
    void clear() {
        m_entry.reset();
        m_lines.clear();
        m_linesKey = {};
    }

    // The lines each booking row takes, for the column widths of the text and receipt columns they were
    // counted for (these depend on the page width too). Valid together with the measurements above.
    struct LinesKey {
        int textWidth = -1;
        int belegWidth = -1;
        bool belegWraps = false;

        friend bool operator==(const LinesKey&, const LinesKey&) = default;
    };
    const std::vector<std::uint8_t>* lines(const Key& key, const LinesKey& linesKey) const {
        if (!m_entry || !(m_key == key) || !(m_linesKey == linesKey)) return nullptr;
        return &m_lines;
    }
    void storeLines(const LinesKey& linesKey, std::vector<std::uint8_t> lines) {
        m_linesKey = linesKey;
        m_lines = std::move(lines);
    }

private:
    Key m_key;
    std::optional<Measured> m_entry;
    LinesKey m_linesKey;
    std::vector<std::uint8_t> m_lines;
};
