// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/CodePage.h"

#include <iconv.h>

#include <QHash>
#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

// Decode table and its inverse for one code page, built once per process.
struct CodePage::Tables {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;
};

namespace {

std::unique_ptr<CodePage::Tables> buildTables(int number) {
    auto tables = std::make_unique<CodePage::Tables>();
    const QByteArray name = "CP" + QByteArray::number(number);
    iconv_t cd = iconv_open("UTF-16LE", name.constData());
    for (int b = 0; b < 256; ++b) {
        char16_t unit = b < 128 ? char16_t(b) : u'\xFFFD';
        if (cd != iconv_t(-1)) {
            char in = char(b);
            char out[8] = {};
            char* inPtr = &in;
            char* outPtr = out;
            size_t inLeft = 1;
            size_t outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outPtr - out == 2)
                unit = char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
        } else if (b >= 128) {
            unit = char16_t(b);  // without iconv: Latin-1 is the nearest guess
        }
        tables->toUnicode[size_t(b)] = unit;
    }
    if (cd != iconv_t(-1)) iconv_close(cd);
    // A byte the page leaves undefined still stands for itself: it reads as the character of the same
    // number, as Windows does (or a private-use one where the page uses that number already), so that
    // it is written back as it was.
    for (int b = 128; b < 256; ++b) {
        if (tables->toUnicode[size_t(b)] != u'\xFFFD') continue;
        const auto& all = tables->toUnicode;
        const bool taken = std::find(all.begin(), all.end(), char16_t(b)) != all.end();
        tables->toUnicode[size_t(b)] = taken ? char16_t(0xF700 + b) : char16_t(b);
    }
    // Reverse map; the lowest byte wins where a page maps two bytes to one character.
    for (int b = 255; b >= 0; --b) tables->fromUnicode.insert(tables->toUnicode[size_t(b)], char(b));
    return tables;
}

const CodePage::Tables* tablesFor(int number) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage::Tables>> cache;
    std::lock_guard lock(mutex);
    auto& slot = cache[number];
    if (!slot) slot = buildTables(number);
    return slot.get();
}

bool supported(int number) {
    switch (number) {
        case 437:
        case 737:
        case 850:
        case 852:
        case 857:
        case 860:
        case 861:
        case 863:
        case 865:
        case 866:
        case 874:
        case 1250:
        case 1251:
        case 1252:
        case 1253:
        case 1254:
        case 1255:
        case 1256:
        case 1257:
            return true;
        default:
            return false;
    }
}

}  // namespace

CodePage::CodePage() : CodePage(1252) {}

CodePage::CodePage(int windowsCodePage) {
    m_number = supported(windowsCodePage) ? windowsCodePage : 1252;
    m_tables = tablesFor(m_number);
    m_toUnicode = &m_tables->toUnicode;
}

int CodePage::codePageOfLanguageDriver(int ldid) {
    // Language-driver ids of dBase IV, Visual FoxPro and the BDE that name a single-byte code page.
    struct Driver {
        int ldid;
        int codePage;
    };
    static constexpr Driver drivers[] = {
        {0x01, 437},   // US MS-DOS
        {0x02, 850},   // international MS-DOS
        {0x03, 1252},  // Windows ANSI
        {0x08, 865},   // Danish OEM
        {0x09, 437},   // Dutch OEM
        {0x0A, 850},   // Dutch OEM secondary
        {0x0B, 437},   // Finnish OEM
        {0x0D, 437},   // French OEM
        {0x0E, 850},   // French OEM secondary
        {0x0F, 437},   // German OEM
        {0x10, 850},   // German OEM secondary
        {0x11, 437},   // Italian OEM
        {0x12, 850},   // Italian OEM secondary
        {0x14, 850},   // Spanish OEM secondary
        {0x15, 437},   // Swedish OEM
        {0x16, 850},   // Swedish OEM secondary
        {0x17, 865},   // Norwegian OEM
        {0x18, 437},   // Spanish OEM
        {0x19, 437},   // English OEM (Britain)
        {0x1A, 850},   // English OEM (Britain) secondary
        {0x1B, 437},   // English OEM (US)
        {0x1C, 863},   // French OEM (Canada)
        {0x1D, 850},   // French OEM secondary
        {0x1F, 852},   // Czech OEM
        {0x22, 852},   // Hungarian OEM
        {0x23, 852},   // Polish OEM
        {0x24, 860},   // Portuguese OEM
        {0x25, 850},   // Portuguese OEM secondary
        {0x26, 866},   // Russian OEM
        {0x37, 850},   // English OEM (US) secondary
        {0x40, 852},   // Romanian OEM
        {0x50, 1252},  // Chinese/Korean/Thai ANSI: no single-byte page
        {0x59, 1252},  // ANSI Western
        {0x64, 852},   // Eastern European MS-DOS
        {0x65, 866},   // Russian MS-DOS
        {0x66, 865},   // Nordic MS-DOS
        {0x67, 861},   // Icelandic MS-DOS
        {0x6A, 737},   // Greek MS-DOS
        {0x6B, 857},   // Turkish MS-DOS
        {0x6C, 863},   // French-Canadian MS-DOS
        {0x7C, 874},   // Thai Windows
        {0x86, 737},   // Greek OEM
        {0x87, 852},   // Slovenian OEM
        {0x88, 857},   // Turkish OEM
        {0xC8, 1250},  // Eastern European Windows
        {0xC9, 1251},  // Russian Windows
        {0xCA, 1254},  // Turkish Windows
        {0xCB, 1253},  // Greek Windows
        {0xCC, 1257},  // Baltic Windows
    };
    for (const Driver& d : drivers) {
        if (d.ldid == ldid) return d.codePage;
    }
    return 1252;
}

CodePage CodePage::forLanguageDriver(int ldid) {
    return CodePage(codePageOfLanguageDriver(ldid));
}

QString CodePage::decode(const char* bytes, int length) const {
    QString text(length, Qt::Uninitialized);
    decodeInto(bytes, length, reinterpret_cast<char16_t*>(text.data()));
    return text;
}

void CodePage::decodeInto(const char* bytes, int length, char16_t* out) const {
    for (int i = 0; i < length; ++i) out[i] = (*m_toUnicode)[quint8(bytes[i])];
}

// A decomposed letter (u + combining diaeresis, as some systems paste it) is composed first when the
// page lacks the combining mark, so that it becomes the page's ü rather than "u?". Text the page holds
// as it is stays untouched, so that decoded text encodes back to exactly its bytes.
QString CodePage::composed(const QString& text) const {
    for (const QChar c : text)
        if (c.unicode() >= 0x300 && !m_tables->fromUnicode.contains(c.unicode()))
            return text.normalized(QString::NormalizationForm_C);
    return text;
}

// One byte per character of an already composed text; a character outside the basic plane (two
// UTF-16 units) is one '?'.
int CodePage::encodeTo(const QString& text, char* out, int length) const {
    const qsizetype size = text.size();
    const QChar* in = text.constData();
    int n = 0;
    for (qsizetype i = 0; i < size && n < length; ++i) {
        const char16_t unit = in[i].unicode();
        if (unit < 128) {
            out[n++] = char(unit);
        } else if (in[i].isSurrogate()) {
            if (in[i].isHighSurrogate() && i + 1 < size && in[i + 1].isLowSurrogate()) ++i;
            out[n++] = '?';
        } else {
            const auto it = m_tables->fromUnicode.constFind(unit);
            out[n++] = it == m_tables->fromUnicode.cend() ? '?' : it.value();
        }
    }
    return n;
}

bool CodePage::canEncode(const QString& text) const {
    const QString c = composed(text);
    for (const QChar ch : c)
        if (ch.unicode() >= 128 && (ch.isSurrogate() || !m_tables->fromUnicode.contains(ch.unicode()))) return false;
    return true;
}

QStringList CodePage::unencodable(const QString& text, int length) const {
    QStringList found;
    const QString c = composed(text);
    const qsizetype size = c.size();
    int n = 0;
    for (qsizetype i = 0; i < size && n < length; ++i, ++n) {
        const char16_t unit = c[i].unicode();
        if (unit < 128) continue;
        if (!c[i].isSurrogate() && m_tables->fromUnicode.contains(unit)) continue;
        QString character(c[i]);
        if (c[i].isHighSurrogate() && i + 1 < size && c[i + 1].isLowSurrogate()) character += c[++i];
        if (!found.contains(character)) found << character;
    }
    return found;
}

QByteArray CodePage::encode(const QString& text) const {
    const QString c = composed(text);
    QByteArray bytes(c.size(), Qt::Uninitialized);
    bytes.truncate(encodeTo(c, bytes.data(), int(bytes.size())));
    return bytes;
}

void CodePage::encodeInto(const QString& text, char* out, int length) const {
    for (int i = encodeTo(composed(text), out, length); i < length; ++i) out[i] = ' ';
}
