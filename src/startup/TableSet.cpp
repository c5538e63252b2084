// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/TableSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <filesystem>
#include <functional>

#include "startup/ClientNaming.h"
#include "storage/DbfField.h"
#include "storage/ErrorText.h"
#include "storage/PendingRecord.h"
#include "storage/SafeFile.h"
#include "storage/StorageError.h"

namespace {

QString nativeName(const DbfTable& table) {
    return QDir::toNativeSeparators(table.absoluteFileName());
}

QString describe(const std::exception& e) {
    return ErrorText::forUser(e);
}

// Files the upgrade has made so far; removed again unless the upgrade got through.
class UpgradeLeftovers {
public:
    ~UpgradeLeftovers() {
        if (m_committed) return;
        for (const QString& f : m_files) QFile::remove(f);
    }
    void add(const QString& fileName) { m_files << fileName; }
    void commit() { m_committed = true; }

private:
    QStringList m_files;
    bool m_committed = false;
};

// Moves `from` to `to`, replacing `to` in one step where the file system allows it.
bool replaceFile(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                            ec);
    return !ec;
}

// A number as the target field stores it: rounded to its decimals, as the fixed-point text does.
double atPrecision(double value, int decimals) {
    return QByteArray::number(value, 'f', std::clamp(decimals, 0, 30)).toDouble();
}

// Copies one record field by field position. Values of the same kind travel as values: the text forms
// of floats and dates depend on the locale (and the short date format may carry a two-digit year), so
// only a field whose kind changes goes through its text form. Every value is read back and compared
// (numbers at the precision of the new field), and the stored text of numbers and dates must be well
// formed, so a value that would not arrive as it was fails the upgrade instead of being altered.
void copyRecord(const DbfTable& from, DbfTable& to, int recordNumber) {
    const int count = std::min(from.FieldCount(), to.FieldCount());
    for (int p = 0; p < count; ++p) {
        const DbfField& source = from.Fields(p);
        DbfField& target = to.Fields(p);
        try {
            if (source.IsNull()) continue;
            const FieldType kind = source.DataType();
            if (!source.isWellFormed())
                throw ConversionError(QStringLiteral("Der gespeicherte Wert „%1“ ist %2.")
                                          .arg(source.storedText(), kind == FieldType::Date
                                                                        ? QStringLiteral("kein gültiges Datum")
                                                                        : QStringLiteral("keine gültige Zahl")));
            bool arrived = true;
            if (kind != target.DataType()) {
                target.setAsString(source.AsString());
                arrived = target.AsString() == source.AsString();
            } else if (kind == FieldType::Date) {
                target.setAsDateTime(source.AsDateTime());
                arrived = target.AsDateTime() == source.AsDateTime();
            } else if (kind == FieldType::Float) {
                const double value = source.AsFloat();
                target.setAsFloat(value);
                arrived = target.AsFloat() == atPrecision(value, target.Decimals());
            } else if (kind == FieldType::Integer) {
                target.setAsInteger(source.AsInteger());
                arrived = target.AsFloat() == source.AsFloat();
            } else {
                target.setAsString(source.AsString());
                if (target.AsString() != source.AsString())
                    throw ConversionError(QStringLiteral("Der Text „%1“ ist länger als das neue Feld (%2 Zeichen).")
                                              .arg(source.AsString(), QString::number(target.Size())));
            }
            if (!arrived)
                throw ConversionError(
                    QStringLiteral("Der Wert „%1“ kam als „%2“ an.").arg(source.AsString(), target.AsString()));
        } catch (const QuorvelError& e) {
            throw ConversionError(QStringLiteral("Die Buchung Nr. %1, Feld %2, lässt sich nicht übernehmen: %3")
                                      .arg(QString::number(recordNumber), source.FieldName(), e.message()));
        }
    }
}

}  // namespace

std::vector<FieldDef> TableSet::bookingsSchema() {
    return Booking::schema();
}

std::vector<FieldDef> TableSet::templatesSchema() {
    return {
        {QStringLiteral("Art"), FieldType::String, 1},   {QStringLiteral("Beleg"), FieldType::String, 20},
        {QStringLiteral("Text"), FieldType::String, 60}, {QStringLiteral("Brutto"), FieldType::Float, 0},
        {QStringLiteral("MwSt"), FieldType::Float, 0},   {QStringLiteral("Konto"), FieldType::Integer, 0},
    };
}

std::vector<FieldDef> TableSet::accountsSchema() {
    return {
        {QStringLiteral("Nr"), FieldType::Integer, 0},
        {QStringLiteral("Bezeichnung"), FieldType::String, 60},
    };
}

std::vector<FieldDef> TableSet::vatRatesSchema() {
    return {{QStringLiteral("Prozent"), FieldType::Float, 0}};
}

std::vector<FieldDef> TableSet::bookingTextsSchema() {
    return {{QStringLiteral("Text"), FieldType::String, 60}};
}

std::vector<FieldDef> TableSet::assignmentsSchema() {
    return {
        {QStringLiteral("Art"), FieldType::String, 1},
        {QStringLiteral("Nr"), FieldType::Integer, 0},
        {QStringLiteral("UStArt"), FieldType::String, 2},
        {QStringLiteral("EUeRZeile"), FieldType::String, 40},
        // The rate of the tax owed for a purchase under § 13b UStG; tables of earlier versions end before it.
        {QStringLiteral("Steuersatz"), FieldType::Float, 0},
    };
}

std::vector<TableSet::Entry> TableSet::entries() {
    return {
        {&Dbf1, bookingsSchema()},           {&dauer, templatesSchema()},
        {&EinnahmeKonten, accountsSchema()}, {&AusgabeKonten, accountsSchema()},
        {&Sammelkonten, accountsSchema()},   {&kostenkonten, accountsSchema()},
        {&MwstSaetze, vatRatesSchema()},     {&buchungstexte, bookingTextsSchema()},
        {&Kontenzuordnung, assignmentsSchema()},
    };
}

std::vector<DbfTable*> TableSet::tables() {
    return {&Dbf1, &dauer, &EinnahmeKonten, &AusgabeKonten, &Sammelkonten, &kostenkonten, &MwstSaetze, &buchungstexte};
}

void TableSet::setNames(int mandantnr, int year) {
    const std::vector<DbfTable*> all = tables();
    for (size_t i = 0; i < all.size(); ++i)
        all[i]->setTableName(
            ClientNaming::tableFileName(QString::fromLatin1(ClientNaming::tableBaseNames[i]), mandantnr, year));
    Kontenzuordnung.setTableName(ClientNaming::tableFileName(assignmentsBaseName, mandantnr, year));
    Dbf2.setTableName(ClientNaming::tempFileName);
}

// Writes the default rows of `table` (which says which rows) into `target`, the file being made for it.
// Every row must be stored: a list missing a row would be taken for complete for good.
void TableSet::writeDefaultRows(DbfTable& target, DbfTable& table) {
    using Row = std::function<void(DbfTable&)>;
    auto account = [](int nr, const QString& name) -> Row {
        return [nr, name](DbfTable& t) {
            t.Fields(0).setAsInteger(nr);
            t.Fields(1).setAsString(name);
        };
    };
    auto rate = [](double percent) -> Row { return [percent](DbfTable& t) { t.Fields(0).setAsFloat(percent); }; };
    auto text = [](const QString& s) -> Row { return [s](DbfTable& t) { t.Fields(0).setAsString(s); }; };

    std::vector<Row> rows;
    if (&table == &EinnahmeKonten) {
        rows = {account(0, QStringLiteral("Einnahmen 19% Umsatzsteuer")),
                account(1, QStringLiteral("Einnahmen 7% Umsatzsteuer"))};
    } else if (&table == &AusgabeKonten) {
        rows = {account(0, QStringLiteral("Ausgaben"))};
    } else if (&table == &Sammelkonten) {
        rows = {account(0, QStringLiteral("Nicht zugeordnet")), account(1, QStringLiteral("Sammelkonto 1"))};
    } else if (&table == &kostenkonten) {
        rows = {account(0, QStringLiteral("Nicht zugeordnet")), account(1, QStringLiteral("Kostenstelle 1"))};
    } else if (&table == &MwstSaetze) {
        rows = {rate(19), rate(7), rate(0)};
    } else if (&table == &buchungstexte) {
        rows = {text(QStringLiteral("Vorgabetext 1 Beispiel")), text(QStringLiteral("Vorgabetext 2 Beispiel"))};
    } else if (&table == &dauer) {
        rows = {[](DbfTable& t) {
            t.Fields(0).setAsString(QStringLiteral("A"));
            t.Fields(2).setAsString(QStringLiteral("Dauerbuchung Beispiel"));
            t.Fields(3).setAsFloat(12.45);
        }};
    }

    for (const Row& row : rows) {
        PendingRecord record(target);
        row(target);
        record.post();
    }
}

void TableSet::createWithDefaultRows(DbfTable& table) {
    const QString fileName = table.absoluteFileName();
    const QString partName = fileName + QStringLiteral(".neu");
    DbfTable part;
    part.setFilePath(QFileInfo(partName).absolutePath());
    part.setTableName(QFileInfo(partName).fileName());
    part.setFieldDefs(table.fieldDefs());
    part.setCreateLanguageDriver(table.createLanguageDriver());
    try {
        part.CreateTable();
        part.Open();
        writeDefaultRows(part, table);
        const qint64 size = qint64(part.headerLength()) + qint64(part.physicalRecordCount()) * part.recordLength() + 1;
        part.Close();
        SafeFile::commit(partName, fileName, size, QStringLiteral("Die neue Tabelle"));
    } catch (...) {
        part.Close();
        QFile::remove(partName);
        throw;
    }
}

QStringList TableSet::InitDB(const QString& folder) {
    postAll();
    closeAll();
    m_folder = folder;
    for (DbfTable* t : tables()) t->setFilePath(folder);
    Kontenzuordnung.setFilePath(folder);
    Dbf2.setFilePath(folder);

    QStringList messages;
    for (Entry& entry : entries()) {
        DbfTable& table = *entry.table;
        table.setFieldDefs(entry.schema);
        table.setReadOnlyMode(m_readOnly, m_readOnlyReason);

        try {
            table.Open();
        } catch (const FileMissingError&) {
            if (m_readOnly) {
                messages << QStringLiteral(
                                "Die Tabelle \"%1\" fehlt. Solange die Tabellen nur zum Lesen geöffnet "
                                "sind, wird sie nicht angelegt und bleibt geschlossen.")
                                .arg(nativeName(table));
                continue;
            }
            // Only a missing file is created; anything else that keeps a file from opening is reported.
            try {
                createWithDefaultRows(table);
            } catch (const std::exception& e) {
                messages << QStringLiteral("Die Tabelle \"%1\" konnte nicht angelegt werden.\n%2")
                                .arg(nativeName(table), describe(e));
                // Without the account assignment the bookings still open; the tax forms say it is missing.
                if (&table == &Kontenzuordnung) continue;
                // The rest of the set is not opened; what was found so far is said together with it.
                throw StorageError(messages.join(QStringLiteral("\n\n")));
            }
            try {
                table.Open();
            } catch (const std::exception& e) {
                messages << QStringLiteral("Die neu angelegte Tabelle \"%1\" konnte nicht geöffnet werden.\n%2")
                                .arg(nativeName(table), describe(e));
                continue;
            }
        } catch (const std::exception& e) {
            messages << QStringLiteral(
                            "Die Tabelle \"%1\" konnte nicht geöffnet werden. Sie bleibt geschlossen "
                            "und wurde nicht verändert.\n%2")
                            .arg(nativeName(table), describe(e));
            continue;
        }

        if (table.isReadOnly() && !m_readOnly)
            messages << QStringLiteral(
                            "Die Tabelle \"%1\" ist schreibgeschützt und wurde nur zum Lesen geöffnet. "
                            "Änderungen an dieser Tabelle können nicht gespeichert werden.")
                            .arg(nativeName(table));

        if (&table == &Dbf1 && table.FieldCount() < bookingsFieldCount) {
            if (m_readOnly) {
                messages << QStringLiteral(
                                "Die Buchungstabelle \"%1\" hat noch das alte Format mit %2 Feldern. Sie "
                                "wird umgestellt, sobald die Tabellen wieder beschreibbar geöffnet werden; "
                                "bis dahin können Sie die Buchungen nur lesen.")
                                .arg(nativeName(table), QString::number(table.FieldCount()));
                continue;
            }
            try {
                upgradeBookings();
            } catch (const QuorvelError& e) {
                openOldBookingsReadOnly(messages << e.message());
            }
        }
    }
    return messages;
}

// After a failed upgrade the old bookings stay readable: the old file, as it is, for reading only.
void TableSet::openOldBookingsReadOnly(QStringList& messages) {
    Dbf1.setReadOnlyMode(true, QStringLiteral("Die Buchungstabelle hat noch das alte Format und konnte nicht "
                                              "umgestellt werden; beheben Sie die beim Öffnen gemeldete Ursache und "
                                              "öffnen Sie das Jahr erneut."));
    try {
        Dbf1.Open();
        messages.last() += QStringLiteral(
            "\n\nDamit Sie die Buchungen dieses Jahres weiter lesen können, wurde die "
            "bisherige Tabelle nur zum Lesen geöffnet. Neue Buchungen sind erst nach der "
            "Umstellung möglich: Beheben Sie die genannte Ursache und wechseln Sie das "
            "Jahr erneut oder starten Sie das Programm neu.");
    } catch (const std::exception& e) {
        messages.last() += QStringLiteral("\n\nDie bisherige Tabelle konnte auch nicht zum Lesen geöffnet werden.\n%1")
                               .arg(describe(e));
    }
}

void TableSet::setReadOnly(bool on, const QString& reason) {
    m_readOnly = on;
    m_readOnlyReason = on ? reason : QString();
}

void TableSet::upgradeBookings() {
    if (!Dbf1.Active())
        throw TableStateError(QStringLiteral("Die Buchungstabelle \"%1\" ist nicht geöffnet und kann nicht umgestellt "
                                             "werden.")
                                  .arg(nativeName(Dbf1)));
    const QString bookingsFile = Dbf1.absoluteFileName();
    const QFileInfo bookingsInfo(bookingsFile);
    const QString dir = bookingsInfo.absolutePath() + QLatin1Char('/');
    const QString tempFile = dir + ClientNaming::tempFileName;
    const int oldFieldCount = Dbf1.FieldCount();
    const bool wasFiltered = Dbf1.Filtered();

    auto failure = [&](const QString& reason) {
        return StorageError(QStringLiteral("Die Buchungstabelle \"%1\" hat das alte Format mit %2 Feldern und konnte "
                                           "nicht auf das neue Format mit 11 Feldern umgestellt werden. Die bisherige "
                                           "Datei ist unverändert geblieben.\n%3")
                                .arg(QDir::toNativeSeparators(bookingsFile), QString::number(oldFieldCount), reason));
    };

    if (Dbf1.isReadOnly()) {
        Dbf1.Close();
        throw failure(QStringLiteral("Die Datei ist schreibgeschützt."));
    }

    UpgradeLeftovers leftovers;
    bool replaced = false;
    try {
        Dbf2.Close();
        Dbf2.setFilePath(dir);
        Dbf2.setTableName(ClientNaming::tempFileName);
        Dbf2.setFieldDefs(bookingsSchema());
        // The new file keeps the old file's language driver, so its texts stay in their code page.
        Dbf2.setCreateLanguageDriver(Dbf1.languageDriver());
        Dbf2.setReadOnlyMode(false);
        leftovers.add(tempFile);
        Dbf2.CreateTable();
        Dbf2.Open();

        // Every record is copied, whatever the journal filter or sort order; physical order is kept.
        Dbf1.setFiltered(false);
        Dbf1.setIndexName(QString());
        // Records marked deleted are not copied: a walk never visits them. The complete copy therefore
        // holds exactly the live records, which is what it is checked against below.
        const int liveRecords = Dbf1.RecordCount();
        int copied = 0;
        for (Dbf1.First(); !Dbf1.Eof(); Dbf1.Next()) {
            Dbf2.Insert();
            copyRecord(Dbf1, Dbf2, copied + 1);
            Dbf2.Post();
            ++copied;
        }
        Dbf2.Close();

        // Check the new file as it lies on disk before the old one is touched.
        DbfTable check;
        check.setFilePath(dir);
        check.setTableName(ClientNaming::tempFileName);
        check.Open();
        const int written = check.RecordCount();
        const int writtenFields = check.FieldCount();
        const qint64 writtenSize =
            qint64(check.headerLength()) + qint64(check.physicalRecordCount()) * check.recordLength() + 1;
        check.Close();
        if (copied != liveRecords || written != liveRecords || writtenFields != bookingsFieldCount)
            throw StorageError(
                QStringLiteral("Die neue Tabelle enthält %1 von %2 Buchungen.").arg(written).arg(liveRecords));

        const bool hadMdx = Dbf1.hasMdxFlag();
        Dbf1.setFiltered(wasFiltered);
        Dbf1.Close();

        // Keep the previous file under the first free copy name. Copying (rather than renaming it away)
        // leaves the bookings file in place until the new one replaces it in a single rename.
        QString copyFile = dir + ClientNaming::copyFileName;
        for (int n = 1; QFileInfo::exists(copyFile); ++n) copyFile = dir + QStringLiteral("copy%1.dbf").arg(n);
        leftovers.add(copyFile);
        if (!QFile::copy(bookingsFile, copyFile) || QFileInfo(copyFile).size() != bookingsInfo.size())
            throw StorageError(QStringLiteral("Die Sicherungskopie \"%1\" konnte nicht angelegt werden.")
                                   .arg(QDir::toNativeSeparators(copyFile)));

        SafeFile::commit(tempFile, bookingsFile, writtenSize, QStringLiteral("Die umgestellte Buchungstabelle"));
        replaced = true;
        leftovers.commit();

        // The index file described the old records; the new file has none. Keep it aside rather than
        // delete it (it is only derived data, so a failure here does not matter).
        if (hadMdx) {
            const QString mdx = dir + bookingsInfo.completeBaseName() + QStringLiteral(".mdx");
            if (QFileInfo::exists(mdx)) replaceFile(mdx, mdx + QStringLiteral(".bak"));
        }

        Dbf1.setFieldDefs(bookingsSchema());
        Dbf1.Open();
        Dbf1.setFiltered(wasFiltered);
    } catch (const std::exception& e) {
        try {
            Dbf2.Close();
            if (Dbf1.Active()) {
                if (Dbf1.state() != DbfTable::State::Browse) Dbf1.Cancel();
                Dbf1.setFiltered(wasFiltered);
                Dbf1.Close();
            }
        } catch (const std::exception&) {
        }
        if (replaced)
            throw StorageError(QStringLiteral("Die umgestellte Buchungstabelle \"%1\" konnte nicht geöffnet werden. "
                                              "Die bisherige Datei liegt als Sicherung im selben Ordner.\n%2")
                                   .arg(QDir::toNativeSeparators(bookingsFile), describe(e)));
        throw failure(describe(e));
    }
}

void TableSet::postAll() {
    std::exception_ptr first;
    std::vector<DbfTable*> all = tables();
    all.push_back(&Kontenzuordnung);
    all.push_back(&Dbf2);
    for (DbfTable* t : all) {
        const DbfTable::State s = t->state();
        if (s != DbfTable::State::Insert && s != DbfTable::State::Edit) continue;
        try {
            t->Post();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

void TableSet::closeAll() {
    std::exception_ptr first;
    std::vector<DbfTable*> all = tables();
    all.push_back(&Kontenzuordnung);
    all.push_back(&Dbf2);
    for (DbfTable* t : all) {
        try {
            t->Close();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}
