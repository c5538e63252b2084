// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <ostream>

#include "reports/output/ReportCanvas.h"

// One text a layout put on a page, as a canvas saw it: the device page (0 = the first page the canvas
// drew on), the position in printer pixels, the font and the text.
struct DrawnItem {
    int page = 0;
    int x = 0;
    int y = 0;
    FontRole role = FontRole::Body;
    QString text;

    friend bool operator==(const DrawnItem&, const DrawnItem&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const DrawnItem& item) {
    return out << "{page " << item.page << ", " << item.x << ", " << item.y << ", font " << int(item.role) << ", \""
               << item.text.toStdString() << "\"}";
}
