// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/DbfField.h"

#include <QByteArray>
#include <QVarLengthArray>
#include <cmath>

#include "storage/DayNumber.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"
#include "storage/LocaleFormat.h"
#include "storage/StorageError.h"

namespace {

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// A character as the user can recognise it in a message: invisible ones by their code.
QString shown(const QString& character) {
    const uint code =
        character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1]) : character[0].unicode();
    const QChar::Category category = QChar::category(code);
    const bool invisible = category == QChar::Other_Control || category == QChar::Other_Format ||
                           category == QChar::Other_Surrogate || category == QChar::Other_NotAssigned ||
                           category == QChar::Mark_NonSpacing || category == QChar::Separator_Space ||
                           category == QChar::Separator_Line || category == QChar::Separator_Paragraph;
    if (invisible) return QStringLiteral("U+%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral("„%1“").arg(character);
}

QString unencodableMessage(const QStringList& characters) {
    QStringList names;
    for (const QString& c : characters) names << shown(c);
    if (names.size() == 1)
        return QStringLiteral(
                   "Das Zeichen %1 kann in dieser Tabelle nicht gespeichert werden. Bitte ändern Sie den "
                   "Text.")
            .arg(names.first());
    return QStringLiteral(
               "Die Zeichen %1 können in dieser Tabelle nicht gespeichert werden. Bitte ändern Sie den "
               "Text.")
        .arg(names.join(QStringLiteral(", ")));
}

}  // namespace

const QString& DbfField::FieldName() const {
    return m_table.layoutName(m_index);
}
FieldType DbfField::DataType() const {
    return m_table.layoutLogical(m_index);
}
char DbfField::dbfType() const {
    return m_table.layoutType(m_index);
}
int DbfField::Size() const {
    return m_table.layoutWidth(m_index);
}
int DbfField::Decimals() const {
    return m_table.layoutDecimals(m_index);
}

bool DbfField::IsNull() const {
    const char* p = m_table.fieldBytes(m_index);
    if (DataType() == FieldType::Float || DataType() == FieldType::Integer) return FieldCodec::isNullNumber(p, Size());
    return FieldCodec::isBlank(p, Size());
}

QString DbfField::storedText() const {
    return m_table.codePage().decode(m_table.fieldBytes(m_index), Size()).trimmed();
}

bool DbfField::isWellFormed() const {
    const char* p = m_table.fieldBytes(m_index);
    switch (DataType()) {
        case FieldType::Float:
        case FieldType::Integer:
            return FieldCodec::isWellFormedNumber(p, Size());
        case FieldType::Date:
            return FieldCodec::isWellFormedDate(p);
        case FieldType::String:
            break;
    }
    return true;
}

// --- reading ---

QString DbfField::AsString() const {
    const char* p = m_table.fieldBytes(m_index);
    const int width = Size();
    switch (DataType()) {
        case FieldType::String: {
            int w = width;
            while (w > 0 && (p[w - 1] == ' ' || p[w - 1] == '\0')) --w;
            return m_table.codePage().decode(p, w);
        }
        case FieldType::Date: {
            QDate date;
            if (!FieldCodec::readDate(p, &date)) return QString();
            return LocaleFormat::formatDate(date);
        }
        case FieldType::Float: {
            double v = 0;
            if (!FieldCodec::readNumber(p, width, &v)) return QString();
            return LocaleFormat::formatFloat(v);
        }
        case FieldType::Integer: {
            double v = 0;
            if (!FieldCodec::readNumber(p, width, &v)) return QString();
            // Wide fields of other software may hold values beyond the 64-bit range (1e300).
            if (std::fabs(v) < 9e18) return QString::number(qint64(v));
            return LocaleFormat::formatFloat(std::trunc(v));
        }
    }
    return QString();
}

double DbfField::AsFloat() const {
    const char* p = m_table.fieldBytes(m_index);
    switch (DataType()) {
        case FieldType::String: {
            const QString text = AsString();
            double v = 0;
            if (!LocaleFormat::parseFloat(text, &v))
                throw ConversionError(QStringLiteral("%1 ist keine gültige Gleitkommazahl.").arg(quoted(text)));
            return v;
        }
        case FieldType::Date:
            return FieldCodec::dayNumber(p);
        case FieldType::Float:
        case FieldType::Integer: {
            double v = 0;
            FieldCodec::readNumber(p, Size(), &v);
            return v;
        }
    }
    return 0;
}

int DbfField::AsInteger() const {
    const char* p = m_table.fieldBytes(m_index);
    switch (DataType()) {
        case FieldType::String: {
            const QString text = AsString();
            int v = 0;
            if (!LocaleFormat::parseInteger(text, &v))
                throw ConversionError(QStringLiteral("%1 ist keine gültige ganze Zahl.").arg(quoted(text)));
            return v;
        }
        case FieldType::Date:
            throw ConversionError(
                QStringLiteral("Das Datumsfeld \"%1\" kann nicht als ganze Zahl gelesen werden.").arg(FieldName()));
        case FieldType::Float:
        case FieldType::Integer: {
            double v = 0;
            FieldCodec::readNumber(p, Size(), &v);
            const double rounded = std::round(v);
            if (rounded < double(INT_MIN) || rounded > double(INT_MAX))
                throw ConversionError(QStringLiteral("Der Wert %1 des Feldes \"%2\" ist zu groß für eine ganze Zahl.")
                                          .arg(LocaleFormat::formatFloat(v), FieldName()));
            return int(rounded);
        }
    }
    return 0;
}

double DbfField::AsDateTime() const {
    const char* p = m_table.fieldBytes(m_index);
    switch (DataType()) {
        case FieldType::String: {
            const QString text = AsString();
            const QDate date = LocaleFormat::parseDate(text);
            if (!date.isValid()) throw ConversionError(QStringLiteral("%1 ist kein gültiges Datum.").arg(quoted(text)));
            return DayNumber::fromDate(date);
        }
        case FieldType::Date:
            return FieldCodec::dayNumber(p);
        case FieldType::Float:
        case FieldType::Integer:
            break;
    }
    throw ConversionError(QStringLiteral("Das Feld \"%1\" kann nicht als Datum gelesen werden.").arg(FieldName()));
}

// --- writing: every value is encoded completely before the record is touched ---

void DbfField::setAsString(const QString& text) {
    m_table.checkEditing();
    const int width = Size();
    QVarLengthArray<char, 256> bytes(width);
    switch (DataType()) {
        case FieldType::String: {
            const QStringList lost = m_table.codePage().unencodable(text, width);
            if (!lost.isEmpty()) throw ConversionError(unencodableMessage(lost));
            m_table.codePage().encodeInto(text, bytes.data(), width);
            m_table.storeFieldBytes(m_index, bytes.data());
            return;
        }
        case FieldType::Date: {
            if (text.trimmed().isEmpty()) {
                Clear();
                return;
            }
            const QDate date = LocaleFormat::parseDate(text);
            if (!date.isValid() || !FieldCodec::encodeDate(date, bytes.data()))
                throw ConversionError(QStringLiteral("%1 ist kein gültiges Datum.").arg(quoted(text)));
            m_table.storeFieldBytes(m_index, bytes.data());
            return;
        }
        case FieldType::Float: {
            if (text.trimmed().isEmpty()) {
                Clear();
                return;
            }
            double v = 0;
            if (!LocaleFormat::parseFloat(text, &v))
                throw ConversionError(QStringLiteral("%1 ist keine gültige Gleitkommazahl.").arg(quoted(text)));
            setAsFloat(v);
            return;
        }
        case FieldType::Integer: {
            if (text.trimmed().isEmpty()) {
                Clear();
                return;
            }
            int v = 0;
            if (!LocaleFormat::parseInteger(text, &v))
                throw ConversionError(QStringLiteral("%1 ist keine gültige ganze Zahl.").arg(quoted(text)));
            setAsInteger(v);
            return;
        }
    }
}

void DbfField::setAsFloat(double value) {
    m_table.checkEditing();
    const int width = Size();
    QVarLengthArray<char, 256> bytes(width);
    switch (DataType()) {
        case FieldType::String:
            setAsString(LocaleFormat::formatFloat(value));
            return;
        case FieldType::Date:
            setAsDateTime(value);
            return;
        case FieldType::Float:
        case FieldType::Integer: {
            QString reason;
            if (!FieldCodec::encodeNumber(value, width, Decimals(), bytes.data(), &reason))
                throw ConversionError(QStringLiteral("Der Wert %1 passt nicht in das Feld \"%2\" (%3). Der Wert wurde "
                                                     "nicht übernommen; bitte geben Sie einen kleineren Wert ein.")
                                          .arg(LocaleFormat::formatFloat(value), FieldName(), reason));
            m_table.storeFieldBytes(m_index, bytes.data());
            return;
        }
    }
}

void DbfField::setAsInteger(int value) {
    m_table.checkEditing();
    switch (DataType()) {
        case FieldType::String:
            setAsString(QString::number(value));
            return;
        case FieldType::Date:
            throw ConversionError(
                QStringLiteral("Das Datumsfeld \"%1\" kann keine ganze Zahl aufnehmen.").arg(FieldName()));
        case FieldType::Float:
        case FieldType::Integer:
            setAsFloat(double(value));
            return;
    }
}

void DbfField::setAsDateTime(double day) {
    m_table.checkEditing();
    switch (DataType()) {
        case FieldType::String:
            if (!std::isfinite(day))
                throw ConversionError(QStringLiteral("Kein gültiges Datum für das Feld \"%1\".").arg(FieldName()));
            setAsString(LocaleFormat::formatDate(DayNumber::toDate(std::floor(day))));
            return;
        case FieldType::Date: {
            char bytes[8];
            if (!std::isfinite(day) || std::fabs(day) > 4e6 ||
                !FieldCodec::encodeDate(DayNumber::toDate(std::floor(day)), bytes))
                throw ConversionError(QStringLiteral("Kein gültiges Datum für das Feld \"%1\".").arg(FieldName()));
            m_table.storeFieldBytes(m_index, bytes);
            return;
        }
        case FieldType::Float:
        case FieldType::Integer:
            break;
    }
    throw ConversionError(QStringLiteral("Das Feld \"%1\" kann keinen Datumswert aufnehmen.").arg(FieldName()));
}

void DbfField::Clear() {
    m_table.checkEditing();
    QVarLengthArray<char, 256> bytes(Size());
    std::fill(bytes.begin(), bytes.end(), ' ');
    m_table.storeFieldBytes(m_index, bytes.data());
}
