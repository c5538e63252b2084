// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/PageCountThread.h"

#include "reports/output/RecordingCanvas.h"
#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportRenderer.h"

bool PageCountThread::worthIt(const ReportInputs& in) {
    if (in.layout || !in.data || in.data->modus < 1 || in.data->modus > 5) return false;
    const ReportData& data = *in.data;
    const std::uint32_t records = (data.ein ? data.ein->Count() : 0) + (data.aus ? data.aus->Count() : 0);
    return records >= kFromRecords;
}

PageCountThread::PageCountThread(const ReportInputs& in, const PageGeometry& page, std::function<void()> ended)
    : m_page(page) {
    ReportInputs own = in;
    own.cache = &m_cache;
    m_thread = std::thread([this, own = std::move(own), ended = std::move(ended)] {
        PageParams params{false, 0, m_page.resolution, m_page.width, m_page.height};
        params.stop = &m_stop;
        try {
            // Page 0 is never drawn: the whole layout runs for its count.
            RecordingCanvas canvas(m_page.resolution);
            m_pages = ReportRenderer::render(canvas, own, params);
        } catch (const ReportOutputCancelled&) {
            return;
        } catch (...) {
            m_pages = -1;
        }
        m_ended.store(true);
        if (ended && !m_stop.load()) ended();
    });
}

PageCountThread::~PageCountThread() {
    stop();
}

void PageCountThread::stop() {
    m_stop.store(true);
    if (m_thread.joinable()) m_thread.join();
}

int PageCountThread::wait() {
    if (m_thread.joinable()) m_thread.join();
    return m_ended.load() ? m_pages : -1;
}
