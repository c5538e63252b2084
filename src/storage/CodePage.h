// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

// A single-byte code page for the text fields of a table, chosen by the language-driver byte of the
// file header. Decoding uses a 256-entry table built once through iconv; encoding maps characters the
// code page lacks to '?'. Every byte decodes to a character that encodes back to the same byte.
class CodePage {
public:
    CodePage();  // Windows-1252
    explicit CodePage(int windowsCodePage);

    static CodePage forLanguageDriver(int ldid);  // unknown or 0 -> 1252
    static int codePageOfLanguageDriver(int ldid);
    static constexpr int defaultLanguageDriver = 0x03;  // every common reader maps 0x03 to 1252

    int number() const { return m_number; }
    QString decode(const char* bytes, int length) const;
    // The same into `out`, room for `length` characters.
    void decodeInto(const char* bytes, int length, char16_t* out) const;
    char16_t character(unsigned char byte) const { return (*m_toUnicode)[byte]; }  // what `byte` decodes to
    QByteArray encode(const QString& text) const;
    bool canEncode(const QString& text) const;  // false when encode would write a '?' for some character
    // The distinct characters (a surrogate pair counts as one) among the first `length` that
    // encodeInto(text, .., length) would write as '?', in the order of their first appearance.
    QStringList unencodable(const QString& text, int length) const;
    // Encodes into exactly `length` bytes at `out`: cut at the length, padded with blanks.
    void encodeInto(const QString& text, char* out, int length) const;

    struct Tables;

private:
    QString composed(const QString& text) const;
    int encodeTo(const QString& text, char* out, int length) const;  // bytes written, at most length

    int m_number = 1252;
    const std::array<char16_t, 256>* m_toUnicode = nullptr;
    const Tables* m_tables = nullptr;
};
