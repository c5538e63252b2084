// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/output/ReportFormat.h"

#include "journal/AmountFormat.h"
#include "storage/DayNumber.h"
#include "storage/LocaleFormat.h"

QString ReportFormat::amount(double value, const QString& currency) {
    return formatAmountWithCurrency(value, currency);
}

QString ReportFormat::rateLabel(double rate) {
    return LocaleFormat::formatFloat(rate) + QLatin1Char('%');
}

QString ReportFormat::rateColumn(double rate) {
    return formatAmount(rate) + QStringLiteral(" %");
}

QString ReportFormat::date(double datum) {
    return LocaleFormat::formatDate(DayNumber::toDate(datum));
}

QString ReportFormat::filterNote(const QString& filtertext) {
    if (filtertext.isEmpty()) return QString();
    return QStringLiteral("Nur Buchungen mit »") + filtertext + QStringLiteral("«");
}

const QString& DateTexts::text(double datum) {
    // The key is the whole day, as the conversion to a date takes it.
    const auto day = static_cast<qint64>(datum);
    auto it = m_texts.find(day);
    if (it == m_texts.end()) it = m_texts.insert(day, ReportFormat::date(datum));
    return it.value();
}
