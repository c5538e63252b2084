// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "reports/output/MeasureCache.h"
#include "reports/output/ReportInputs.h"

// Counts the pages of a report on a thread of its own, with measurements of its own, so that a window
// can show the first page of a long list at once and the page count when it is known. The report data
// must stay as it is until the count has ended or is stopped; the destructor stops it.
class PageCountThread {
public:
    // Reports from this many booking records count aside; smaller ones count within a repaint.
    static constexpr std::uint32_t kFromRecords = 50000;
    // True for a booking list of kFromRecords records or more. Only the lists read nothing but the
    // report data (no account names from the open tables), so only they may be counted on another thread.
    static bool worthIt(const ReportInputs& in);

    // Starts the count. `ended` runs on the counting thread when the count has ended, also when the
    // layout failed; never after a stop.
    PageCountThread(const ReportInputs& in, const PageGeometry& page, std::function<void()> ended);
    ~PageCountThread();
    PageCountThread(const PageCountThread&) = delete;
    PageCountThread& operator=(const PageCountThread&) = delete;

    const PageGeometry& page() const { return m_page; }
    bool ended() const { return m_ended.load(); }
    // Waits for the end of the count: the number of pages, or -1 when the layout failed.
    int wait();
    // The column widths and line counts the count measured, valid for the preview of the same report;
    // call after wait().
    MeasureCache takeMeasurements() { return std::move(m_cache); }

private:
    void stop();

    PageGeometry m_page;
    MeasureCache m_cache;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_ended{false};
    int m_pages = -1;
    std::thread m_thread;
};
