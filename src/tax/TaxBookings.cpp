// SPDX-License-Identifier: GPL-3.0-or-later
#include "tax/TaxBookings.h"

#include <QDir>

#include "journal/Booking.h"
#include "storage/DbfTable.h"
#include "storage/FieldCodec.h"

TaxBookingSource::TaxBookingSource(DbfTable& bookings) {
    if (!bookings.Active())
        throw StorageError(QStringLiteral("Die Buchungstabelle ist nicht geöffnet."));
    m_table = &bookings;
    if (bookings.Filtered()) {
        m_copy = std::make_unique<DbfTable>();
        m_copy->setFilePath(bookings.FilePath());
        m_copy->setTableName(bookings.TableName());
        m_copy->setReadOnlyMode(true, QStringLiteral("Die Steuerformulare lesen die Buchungen nur."));
        m_copy->Open();
        m_table = m_copy.get();
    }
    const DbfTable& t = *m_table;
    if (t.FieldCount() <= Booking::Konto || t.Fields(Booking::Datum).DataType() != FieldType::Date)
        throw StorageError(QStringLiteral("Die Buchungstabelle \"%1\" hat ein unbekanntes Format; die Steuerformulare "
                                          "können sie nicht lesen.")
                               .arg(QDir::toNativeSeparators(t.absoluteFileName())));
    for (int f = 0; f <= Booking::Konto; ++f) {
        m_offsets[f] = t.fieldOffset(f);
        m_widths[f] = t.Fields(f).Size();
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString s = t.codePage().decode(&byte, 1);
        m_kindOf[b] = (s == u"E" || s == u"A" || s == u"N" || s == u"S") ? char(s[0].unicode()) : 0;
    }
}

TaxBookingSource::~TaxBookingSource() = default;

int TaxBookingSource::count() const {
    return m_table->RecordCount();
}

void TaxBookingSource::forEach(const std::function<void(const TaxBooking&)>& visit) const {
    const int n = m_table->RecordCount();
    const int artWidth = m_widths[Booking::Art];
    for (int row = 0; row < n; ++row) {
        const char* r = m_table->rowBytes(row);
        TaxBooking b;
        b.record = r;
        b.datum = FieldCodec::dayNumber(r + m_offsets[Booking::Datum]);
        const char* art = r + m_offsets[Booking::Art];
        int len = artWidth;
        while (len > 0 && (art[len - 1] == ' ' || art[len - 1] == '\0')) --len;
        b.art = len == 1 ? m_kindOf[static_cast<unsigned char>(art[0])] : 0;
        FieldCodec::readNumber(r + m_offsets[Booking::Brutto], m_widths[Booking::Brutto], &b.brutto);
        FieldCodec::readNumber(r + m_offsets[Booking::MwSt], m_widths[Booking::MwSt], &b.rate);
        double konto = 0;
        FieldCodec::readNumber(r + m_offsets[Booking::Konto], m_widths[Booking::Konto], &konto);
        b.konto = int(konto);
        visit(b);
    }
}

QString TaxBookingSource::textField(const char* record, int field) const {
    const char* p = record + m_offsets[field];
    int len = m_widths[field];
    while (len > 0 && (p[len - 1] == ' ' || p[len - 1] == '\0')) --len;
    return m_table->codePage().decode(p, len);
}

QString TaxBookingSource::beleg(const char* record) const {
    return textField(record, Booking::Beleg);
}

double TaxBookingSource::datum(const char* record) const {
    return FieldCodec::dayNumber(record + m_offsets[Booking::Datum]);
}

QString TaxBookingSource::text(const char* record) const {
    return textField(record, Booking::Text);
}

std::set<int> accountNumbers(const DbfTable& accounts) {
    std::set<int> result;
    if (!accounts.Active()) return result;
    for (int row = 0; row < accounts.RecordCount(); ++row)
        accounts.readRow(row, [&](const DbfTable& t) { result.insert(t.Fields(0).AsInteger()); });
    return result;
}
