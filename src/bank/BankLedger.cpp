// SPDX-License-Identifier: GPL-3.0-or-later
#include "bank/BankLedger.h"

#include <QFileInfo>

#include "exchange/BankMovement.h"
#include "startup/ClientNaming.h"
#include "storage/CodePage.h"
#include "storage/DayNumber.h"
#include "storage/StorageError.h"

namespace {

// What the table keeps of a text: the code page's characters only, at most `width` of them.
QString storable(const QString& text, int width) {
    static const CodePage cp;
    const QByteArray bytes = cp.encode(text.left(width));
    return cp.decode(bytes.constData(), int(bytes.size())).trimmed();
}

}  // namespace

std::vector<FieldDef> BankLedger::schema() {
    return {
        {QStringLiteral("Datum"), FieldType::Date, 0},         {QStringLiteral("Betrag"), FieldType::Float, 0},
        {QStringLiteral("Gegenseite"), FieldType::String, 60}, {QStringLiteral("Bankref"), FieldType::String, 35},
        {QStringLiteral("E2eref"), FieldType::String, 35},     {QStringLiteral("Beleg"), FieldType::String, 20},
    };
}

QString BankLedger::fileName(int mandantnr, int year) {
    return ClientNaming::tableFileName(QString::fromLatin1(baseName), mandantnr, year);
}

void BankLedger::open(const QString& folder, int mandantnr, int year) {
    m_table.Close();
    m_table.setFilePath(folder);
    m_table.setTableName(fileName(mandantnr, year));
    m_table.setFieldDefs(schema());
    try {
        m_table.Open();
    } catch (const FileMissingError&) {
        m_table.CreateTable();  // written whole into a temporary file and renamed into place
        m_table.Open();
    }
    if (m_table.FieldCount() < int(schema().size())) {
        m_table.Close();
        throw DamagedTableError(QStringLiteral("Die Tabelle der übernommenen Bankumsätze „%1“ hat nicht die erwarteten "
                                               "Felder.")
                                    .arg(m_table.absoluteFileName()));
    }
}

QString BankLedger::key(const QString& text, int width) {
    // Text of plain ASCII and Latin-1 letters is stored as it is: no round trip through the code page.
    bool plain = true;
    for (QChar c : QStringView(text).left(width)) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && (u < 0xA0 || u > 0xFF)) {
            plain = false;
            break;
        }
    }
    return (plain ? text.left(width).trimmed() : storable(text, width)).toCaseFolded().simplified();
}

int BankLedger::add(const BankMovement& m, const QString& beleg) {
    m_table.Insert();
    try {
        m_table.Fields(fDatum).setAsDateTime(DayNumber::fromDate(m.datum));
        m_table.Fields(fBetrag).setAsFloat(m.amount());
        m_table.Fields(fGegenseite).setAsString(storable(m.counterparty, 60));
        m_table.Fields(fBankref).setAsString(storable(m.bankRef, 35));
        m_table.Fields(fE2eref).setAsString(storable(m.endToEndId, 35));
        m_table.Fields(fBeleg).setAsString(storable(beleg, 20));
        m_table.Post();
    } catch (...) {
        if (m_table.state() == DbfTable::State::Insert) m_table.Cancel();
        throw;
    }
    return m_table.physicalRecordCount() - 1;
}

void BankLedger::remove(int recordNumber) {
    m_table.Last();  // almost always the record just added
    if (m_table.physicalRecNo() == recordNumber) {
        m_table.Delete();
        return;
    }
    for (m_table.First(); !m_table.Eof(); m_table.Next()) {
        if (m_table.physicalRecNo() == recordNumber) {
            m_table.Delete();
            return;
        }
    }
}
