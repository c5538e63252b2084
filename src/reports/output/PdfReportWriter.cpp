#include "reports/output/PdfReportWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

#include "reports/output/ReportOutputError.h"
#include "reports/output/ReportPainter.h"

int PdfReportWriter::write(const QString& fileName, const ReportInputs& in, const QPageLayout& layout, int resolution,
                           const std::function<void(int)>& pageFinished) {
    const QString shown = QDir::toNativeSeparators(fileName);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportOutputError(QStringLiteral("Die Datei \"%1\" kann nicht angelegt werden (%2). Wählen Sie einen "
                                               "anderen Ordner oder Dateinamen.")
                                    .arg(shown, file.errorString()));
    int pages = 0;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Quorvel"));
        writer.setTitle(in.data ? in.data->cap : QString());
        writer.setResolution(resolution);
        writer.setPageLayout(layout);
        PrintHooks hooks;
        hooks.pageFinished = pageFinished;
        // QSaveFile drops its temporary file unless committed; nothing else to undo here.
        pages = ReportPainter::print(writer, in, hooks);
        if (pageFinished) pageFinished(pages);
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        throw ReportOutputError(QStringLiteral("Die Datei \"%1\" konnte nicht vollständig geschrieben werden (%2). "
                                               "Prüfen Sie den freien Speicherplatz und versuchen Sie es erneut.")
                                    .arg(shown, file.errorString()));
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
