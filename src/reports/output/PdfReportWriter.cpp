// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/PdfReportWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <cerrno>

#include "reports/output/ReportOutputError.h"
#include "reports/output/PdfCanvas.h"
#include "reports/output/ReportRenderer.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace {

const QString kWhat = QStringLiteral("Die PDF-Datei");

[[noreturn]] void fail(const QString& fileName, int error) {
    throw ReportOutputError(QStringLiteral("%1 konnte nicht in „%2“ gespeichert werden. %3 Die bisherige Datei ist "
                                           "unverändert geblieben.")
                                .arg(kWhat, QDir::toNativeSeparators(fileName), SafeFile::reason(error)));
}

// The temporary file the document streams into: writes gathered in blocks, every write of the disk
// checked; the first failure is kept (later writes are refused) and ends the run once the pages are done.
// A document of ten thousands of pages thus never has to be held in memory.
class CheckedTempFile : public QIODevice {
public:
    explicit CheckedTempFile(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    ~CheckedTempFile() override {
        if (m_fd >= 0) ::close(m_fd);
    }

    // Writes what is gathered and closes the file; the errno of the first failure, or 0.
    int finish() {
        flushBlock();
        if (m_fd >= 0 && ::close(m_fd) != 0 && m_error == 0 && errno != EINTR) m_error = errno;
        m_fd = -1;
        return m_error;
    }
    qint64 written() const { return m_written; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (m_error != 0) return -1;
        m_block.append(data, size);
        if (m_block.size() >= kBlock) flushBlock();
        return m_error == 0 ? size : -1;
    }

private:
    static constexpr qsizetype kBlock = 1 << 20;

    void flushBlock() {
        qsizetype done = 0;
        while (m_error == 0 && done < m_block.size()) {
            const ssize_t n = ::write(m_fd, m_block.constData() + done, size_t(m_block.size() - done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0)
                m_error = errno;
            else if (n == 0)
                m_error = ENOSPC;
            else
                done += n;
        }
        m_written += done;
        m_block.clear();
    }

    int m_fd;
    int m_error = 0;
    qint64 m_written = 0;
    QByteArray m_block;
};

}  // namespace

int PdfReportWriter::write(const QString& fileName, const ReportInputs& in, const QPageLayout& layout, int resolution,
                           const std::function<void(int)>& pageFinished) {
    // A write-protected file stays as it is, although its folder would let the rename replace it.
    const QByteArray target = QFile::encodeName(fileName);
    struct stat previous {};
    const bool exists = ::stat(target.constData(), &previous) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0) fail(fileName, errno);

    // The pages go to a temporary file beside the target, which takes the target's place only when the
    // document is complete: a failed or cancelled run leaves the target as it was.
    const QString temp = SafeFile::temporaryName(fileName);
    const QByteArray tempPath = QFile::encodeName(temp);
    int fd = -1;
    do fd = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) fail(fileName, errno);
    if (exists) ::fchmod(fd, previous.st_mode & 07777);

    int pages = 0;
    qint64 size = 0;
    try {
        CheckedTempFile file(fd);
        try {
            const ReportFonts fonts(resolution);
            PdfCanvas canvas(fonts, layout, [&file](const char* data, std::size_t length) {
                return file.write(data, qint64(length)) == qint64(length);
            });
            canvas.setTitle(in.data ? in.data->cap : QString());
            canvas.setPageFinished(pageFinished);
            const QRect paint = layout.paintRectPixels(resolution);
            pages = ReportRenderer::render(canvas, in, PageParams{true, 0, resolution, paint.width(), paint.height()});
            canvas.finish();
            if (pageFinished) pageFinished(pages);
        } catch (const ReportOutputError&) {
            // A refused write of the disk says why in the file's own words.
            if (const int error = file.finish(); error != 0) fail(fileName, error);
            throw;
        }
        if (const int error = file.finish(); error != 0) fail(fileName, error);
        size = file.written();
    } catch (...) {
        ::unlink(tempPath.constData());
        throw;
    }
    try {
        SafeFile::commit(temp, fileName, size, kWhat);
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
