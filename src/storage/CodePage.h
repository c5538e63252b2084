#pragma once

#include <QByteArray>
#include <QString>
#include <array>

// A single-byte code page for the text fields of a table, chosen by the language-driver byte of the
// file header. Decoding uses a 256-entry table built once through iconv; encoding maps characters the
// code page lacks to '?'.
class CodePage {
public:
    CodePage();  // Windows-1252
    explicit CodePage(int windowsCodePage);

    static CodePage forLanguageDriver(int ldid);  // unknown or 0 -> 1252
    static int codePageOfLanguageDriver(int ldid);
    static constexpr int defaultLanguageDriver = 0x03;  // every common reader maps 0x03 to 1252

    int number() const { return m_number; }
    QString decode(const char* bytes, int length) const;
    QByteArray encode(const QString& text) const;
    // Encodes into exactly `length` bytes at `out`: cut at the length, padded with blanks.
    void encodeInto(const QString& text, char* out, int length) const;

    struct Tables;

private:
    int m_number = 1252;
    const std::array<char16_t, 256>* m_toUnicode = nullptr;
    const Tables* m_tables = nullptr;
};
