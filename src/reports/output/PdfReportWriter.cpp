#include "reports/output/PdfReportWriter.h"

#include <QBuffer>
#include <QPdfWriter>

#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportPainter.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

int PdfReportWriter::write(const QString& fileName, const ReportInputs& in, const QPageLayout& layout, int resolution,
                           const std::function<void(int)>& pageFinished) {
    // The document is made in memory and then put in place by checked writes: a failed or cancelled
    // run leaves the target as it was.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    int pages = 0;
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Quorvel"));
        writer.setTitle(in.data ? in.data->cap : QString());
        writer.setResolution(resolution);
        writer.setPageLayout(layout);
        PrintHooks hooks;
        hooks.pageFinished = pageFinished;
        pages = ReportPainter::print(writer, in, hooks);
        if (pageFinished) pageFinished(pages);
    }
    buffer.close();
    try {
        SafeFile::replace(fileName, bytes, QStringLiteral("Die PDF-Datei"));
    } catch (const FileIoError& e) {
        throw ReportOutputError(e.message());
    }
    return pages;
}

QString PdfReportWriter::suggestedFileName(const QString& cap) {
    QString name = cap.trimmed();
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20) c = QLatin1Char('_');
    }
    if (name.isEmpty()) name = QStringLiteral("Auswertung");
    return name + QStringLiteral(".pdf");
}
