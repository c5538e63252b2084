// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/BankMovement.h"

QString StatementProblem::text() const {
    QString out = file;
    if (!where.isEmpty()) out += QStringLiteral(", ") + where;
    if (!field.isEmpty()) out += QStringLiteral(", ") + field;
    return out + QStringLiteral(": ") + why;
}

int Statement::addFile(const QString& name) {
    files.push_back(StatementFile{name, true});
    return int(files.size()) - 1;
}

void Statement::addProblem(int fileIndex, const QString& where, const QString& field, const QString& why) {
    if (fileIndex >= 0 && fileIndex < int(files.size())) files[size_t(fileIndex)].complete = false;
    ++m_problemCount;
    if (int(problems.size()) >= maxProblemsKept) return;
    const QString file = fileIndex >= 0 && fileIndex < int(files.size()) ? files[size_t(fileIndex)].name : QString();
    problems.push_back(StatementProblem{file, where, field, why});
}

namespace BankAmount {

namespace {

constexpr qint64 limitCents = 1'000'000'000'000'000;  // 10^13 in cents

// Whole part digits and fraction digits (already without separators) to cents.
bool toCents(QStringView whole, QStringView fraction, qint64* cents) {
    if (whole.isEmpty() && fraction.isEmpty()) return false;
    qint64 value = 0;
    for (QChar c : whole) {
        if (c < u'0' || c > u'9') return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value * 100 >= limitCents) return false;
    }
    for (qsizetype i = 0; i < fraction.size(); ++i) {
        const QChar c = fraction[i];
        if (c < u'0' || c > u'9') return false;
        if (i >= 2 && c != u'0') return false;  // fractions of a cent
    }
    const int d1 = fraction.size() > 0 ? fraction[0].unicode() - u'0' : 0;
    const int d2 = fraction.size() > 1 ? fraction[1].unicode() - u'0' : 0;
    *cents = value * 100 + d1 * 10 + d2;
    return true;
}

}  // namespace

bool parseIsoCents(QStringView text, qint64* cents) {
    text = text.trimmed();
    const qsizetype point = text.indexOf(u'.');
    if (point < 0) return !text.isEmpty() && toCents(text, {}, cents);
    if (point == 0 || point == text.size() - 1) return false;
    return toCents(text.left(point), text.mid(point + 1), cents);
}

bool parseCsvCents(QStringView text, bool decimalComma, qint64* cents) {
    text = text.trimmed();
    if (text.endsWith(u"EUR", Qt::CaseInsensitive)) text = text.chopped(3).trimmed();
    if (text.endsWith(u'€')) text = text.chopped(1).trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text = text.mid(1).trimmed();
    } else if (text.endsWith(u'-') || text.endsWith(u'+')) {
        negative = text.endsWith(u'-');
        text = text.chopped(1).trimmed();
    }
    const QChar decimal = decimalComma ? u',' : u'.';
    const QChar group = decimalComma ? u'.' : u',';
    const qsizetype dec = text.indexOf(decimal);
    if (dec >= 0 && text.indexOf(decimal, dec + 1) >= 0) return false;
    QStringView whole = dec >= 0 ? text.left(dec) : text;
    const QStringView fraction = dec >= 0 ? text.mid(dec + 1) : QStringView();
    if (dec >= 0 && fraction.isEmpty()) return false;
    QString digits;
    if (whole.contains(group)) {
        // Grouping only in threes: "1.234.567".
        const auto parts = whole.split(group);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (parts[i].isEmpty() || parts[i].size() > 3 || (i > 0 && parts[i].size() != 3)) return false;
            digits += parts[i];
        }
        whole = digits;
    }
    if (!toCents(whole, fraction, cents)) return false;
    if (negative) *cents = -*cents;
    return true;
}

}  // namespace BankAmount
