// SPDX-License-Identifier: GPL-3.0-or-later
#include "audit/LogFormat.h"

#include <openssl/evp.h>

#include <QCryptographicHash>
#include <array>
#include <cstring>

#include "storage/CodePage.h"

namespace audit {

namespace {

struct Column {
    const char* name;
    FieldType type;
    int width;
};

constexpr std::array<Column, 10> columns{{
    {"LFDNR", FieldType::Integer, 9},
    {"UTC", FieldType::String, 24},
    {"ORTSZEIT", FieldType::String, 29},
    {"ART", FieldType::String, 1},
    {"AKTION", FieldType::String, LogFormat::actionWidth},
    {"SATZ", FieldType::Integer, 9},
    {"VORHER", FieldType::String, LogFormat::valueWidth},
    {"NACHHER", FieldType::String, LogFormat::valueWidth},
    {"VERSION", FieldType::String, 16},
    {"HASH", FieldType::String, LogFormat::hashWidth},
}};

constexpr std::array<int, 11> offsets = [] {
    std::array<int, 11> o{};
    o[0] = 1;
    for (size_t i = 0; i < columns.size(); ++i) o[i + 1] = o[i] + columns[i].width;
    return o;
}();

const CodePage& logCodePage() {
    static const CodePage page = CodePage::forLanguageDriver(CodePage::defaultLanguageDriver);
    return page;
}

void putText(char* record, int field, QByteArrayView bytes) {
    if (bytes.isEmpty()) return;  // an empty view may have no data at all
    std::memcpy(record + offsets[size_t(field)], bytes.data(),
                size_t(std::min<qsizetype>(bytes.size(), columns[size_t(field)].width)));
}

// Right-aligned decimal digits; the caller has blanked the field.
void putNumber(char* record, int field, qint64 value) {
    char* at = record + offsets[size_t(field)] + columns[size_t(field)].width;
    const bool negative = value < 0;
    quint64 rest = negative ? 0 - quint64(value) : quint64(value);
    do {
        *--at = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    if (negative) *--at = '-';
}

// The length of `bytes` without its trailing blanks; the wide value fields are mostly blank, so eight
// bytes at a time.
int trimmedLength(const char* bytes, int length) {
    constexpr quint64 blanks = 0x2020202020202020ULL;
    while (length >= 8) {
        quint64 word;
        std::memcpy(&word, bytes + length - 8, sizeof word);
        if (word != blanks) break;
        length -= 8;
    }
    while (length > 0 && bytes[length - 1] == ' ') --length;
    return length;
}

QString text(const char* record, int field) {
    const QByteArray bytes = LogFormat::trimmed(record + offsets[size_t(field)], columns[size_t(field)].width);
    return logCodePage().decode(bytes.constData(), int(bytes.size()));
}

}  // namespace

QString LogEntry::noteText() const {
    return logCodePage().decode(after.constData(), int(after.size()));
}

namespace LogFormat {

std::vector<FieldDef> schema() {
    std::vector<FieldDef> defs;
    for (const Column& c : columns) defs.push_back({QString::fromLatin1(c.name), c.type, c.width});
    return defs;
}

int recordLength() {
    return offsets.back();
}

int fieldCount() {
    return int(columns.size());
}

int fieldOffset(int field) {
    return offsets[size_t(field)];
}

int fieldWidth(int field) {
    return columns[size_t(field)].width;
}

QByteArray zeroHash() {
    return QByteArray(hashWidth, '0');
}

bool hasLayout(const DbfHeader& header) {
    if (header.fields.size() != columns.size() || header.recordLength != recordLength()) return false;
    for (size_t i = 0; i < columns.size(); ++i)
        if (header.fields[i].name != QLatin1String(columns[i].name) || header.fields[i].width != columns[i].width)
            return false;
    return true;
}

QByteArray trimmed(const char* bytes, int length) {
    return QByteArray(bytes, trimmedLength(bytes, length));
}

QByteArray trimmed(const QByteArray& bytes) {
    return trimmed(bytes.constData(), int(bytes.size()));
}

void hashInto(const char* record, QByteArrayView previousHash, char* hex) {
    // The previous hash and the fields in one buffer and one digest: the per-call overhead counts over a
    // million entries.
    char buffer[1024];
    int used = 0;
    std::memcpy(buffer, previousHash.data(), size_t(previousHash.size()));
    used += int(previousHash.size());
    for (int f = 0; f < Hash; ++f) {
        const char* bytes = record + offsets[size_t(f)];
        const int length = trimmedLength(bytes, columns[size_t(f)].width);
        std::memcpy(buffer + used, bytes, size_t(length));
        used += length;
        buffer[used++] = '\x1F';
    }
    // OpenSSL's SHA-256 uses the processor's SHA instructions; one context per thread (the checker hashes
    // a million entries on every core), the algorithm fetched once.
    struct Digest {
        EVP_MD* md = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        EVP_MD_CTX* context = EVP_MD_CTX_new();
        ~Digest() {
            EVP_MD_CTX_free(context);
            EVP_MD_free(md);
        }
    };
    thread_local Digest digest;
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!(digest.md && digest.context && EVP_DigestInit_ex(digest.context, digest.md, nullptr) == 1 &&
          EVP_DigestUpdate(digest.context, buffer, size_t(used)) == 1 &&
          EVP_DigestFinal_ex(digest.context, out, &length) == 1 && length == hashWidth / 2)) {
        const QByteArray sum = QCryptographicHash::hash(QByteArrayView(buffer, used), QCryptographicHash::Sha256);
        std::memcpy(out, sum.constData(), size_t(hashWidth / 2));
    }
    static constexpr char digits[] = "0123456789abcdef";
    for (int i = 0; i < hashWidth / 2; ++i) {
        hex[2 * i] = digits[out[i] >> 4];
        hex[2 * i + 1] = digits[out[i] & 0xF];
    }
}

void encodeInto(LogEntry& entry, QByteArrayView previousHash, char* r) {
    const QByteArray utc = entry.utc.toLatin1();
    const QByteArray local = entry.local.toLatin1();
    const QByteArray action = logCodePage().encode(entry.action);
    const QByteArray version = entry.version.toLatin1();
    encodeInto(EntryBytes{entry.number, entry.kind, utc, local, action, entry.satz, entry.before, entry.after, version},
               previousHash, r);
    entry.hash = QByteArray(r + offsets[Hash], hashWidth);
}

void encodeInto(const EntryBytes& entry, QByteArrayView previousHash, char* r) {
    std::memset(r, ' ', size_t(recordLength()));
    putNumber(r, Lfdnr, entry.number);
    putText(r, Utc, entry.utc);
    putText(r, Ortszeit, entry.local);
    r[offsets[Art]] = char(entry.kind);
    putText(r, Aktion, entry.action);
    putNumber(r, Satz, entry.satz);
    putText(r, Vorher, entry.before);
    putText(r, Nachher, entry.after);
    putText(r, Version, entry.version);
    hashInto(r, previousHash, r + offsets[Hash]);
}

LogEntry decode(const char* record) {
    LogEntry e;
    e.number = text(record, Lfdnr).trimmed().toLongLong();
    e.utc = text(record, Utc);
    e.local = text(record, Ortszeit);
    e.kind = LogEntry::Kind(record[offsets[Art]]);
    e.action = text(record, Aktion);
    e.satz = text(record, Satz).trimmed().toLongLong();
    e.before = trimmed(record + offsets[Vorher], valueWidth);
    e.after = trimmed(record + offsets[Nachher], valueWidth);
    e.version = text(record, Version);
    e.hash = trimmed(record + offsets[Hash], hashWidth);
    return e;
}

}  // namespace LogFormat
}  // namespace audit
