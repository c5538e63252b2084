#include "startup/TableSet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <exception>
#include <filesystem>
#include <functional>

#include "startup/ClientNaming.h"
#include "storage/DbfField.h"
#include "storage/StorageError.h"

namespace {

QString nativeName(const DbfTable& table) {
    return QDir::toNativeSeparators(table.absoluteFileName());
}

QString describe(const std::exception& e) {
    if (const auto* q = dynamic_cast<const QuorvelError*>(&e)) return q->message();
    return QString::fromUtf8(e.what());
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

// Copies one record field by field position. Values of the same kind travel as values: the text forms
// of floats and dates depend on the locale (and the short date format may carry a two-digit year), so
// only a field whose kind changes goes through its text form. Each number and date is read back and
// compared, so a value that did not arrive exactly fails the upgrade instead of being altered silently.
void copyRecord(const DbfTable& from, DbfTable& to, int recordNumber) {
    const int count = std::min(from.FieldCount(), to.FieldCount());
    for (int p = 0; p < count; ++p) {
        const DbfField& source = from.Fields(p);
        DbfField& target = to.Fields(p);
        try {
            if (source.IsNull()) continue;
            const FieldType kind = source.DataType();
            if (kind != target.DataType()) {
                target.setAsString(source.AsString());
            } else if (kind == FieldType::Date) {
                target.setAsDateTime(source.AsDateTime());
            } else if (kind == FieldType::Float) {
                target.setAsFloat(source.AsFloat());
            } else if (kind == FieldType::Integer) {
                target.setAsInteger(source.AsInteger());
            } else {
                target.setAsString(source.AsString());
                continue;  // texts longer than the new field are cut, as for every text written
            }
            if (target.AsString() != source.AsString())
                throw ConversionError(
                    QStringLiteral("Der Wert \"%1\" kam als \"%2\" an.").arg(source.AsString(), target.AsString()));
        } catch (const QuorvelError& e) {
            throw ConversionError(QStringLiteral("Die Buchung Nr. %1, Feld %2, lässt sich nicht übernehmen: %3")
                                      .arg(recordNumber)
                                      .arg(source.FieldName(), e.message()));
        }
    }
}

}  // namespace

std::vector<FieldDef> TableSet::bookingsSchema() {
    return {
        {QStringLiteral("Datum"), FieldType::Date, 0},           {QStringLiteral("Art"), FieldType::String, 1},
        {QStringLiteral("Beleg"), FieldType::String, 20},        {QStringLiteral("Text"), FieldType::String, 60},
        {QStringLiteral("Brutto"), FieldType::Float, 0},         {QStringLiteral("MwSt"), FieldType::Float, 0},
        {QStringLiteral("Konto"), FieldType::Integer, 0},        {QStringLiteral("MwSt2"), FieldType::Float, 0},
        {QStringLiteral("Netto"), FieldType::Float, 0},          {QStringLiteral("Sammelkonto"), FieldType::Integer, 0},
        {QStringLiteral("Kostenstelle"), FieldType::Integer, 0},
    };
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

std::vector<TableSet::Entry> TableSet::entries() {
    return {
        {&Dbf1, bookingsSchema()},           {&dauer, templatesSchema()},
        {&EinnahmeKonten, accountsSchema()}, {&AusgabeKonten, accountsSchema()},
        {&Sammelkonten, accountsSchema()},   {&kostenkonten, accountsSchema()},
        {&MwstSaetze, vatRatesSchema()},     {&buchungstexte, bookingTextsSchema()},
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
    Dbf2.setTableName(ClientNaming::tempFileName);
}

void TableSet::writeDefaultRows(DbfTable& table) {
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

    // The rows only seed a fresh table; one that cannot be written must not keep the others out.
    for (const Row& row : rows) {
        try {
            table.Insert();
            row(table);
            table.Post();
        } catch (const std::exception&) {
            try {
                if (table.state() == DbfTable::State::Insert) table.Cancel();
            } catch (const std::exception&) {
            }
        }
    }
    if (!rows.empty()) table.First();
}

QStringList TableSet::InitDB(const QString& folder) {
    postAll();
    closeAll();
    m_folder = folder;
    for (DbfTable* t : tables()) t->setFilePath(folder);
    Dbf2.setFilePath(folder);

    QStringList messages;
    for (Entry& entry : entries()) {
        DbfTable& table = *entry.table;
        table.setFieldDefs(entry.schema);

        bool created = false;
        try {
            table.Open();
        } catch (const FileMissingError&) {
            // Only a missing file is created; anything else that keeps a file from opening is reported.
            try {
                table.CreateTable();
            } catch (const std::exception& e) {
                // The rest of the set is not opened; what was found so far is said together with it.
                messages << QStringLiteral("Die Tabelle \"%1\" konnte nicht angelegt werden.\n%2")
                                .arg(nativeName(table), describe(e));
                throw StorageError(messages.join(QStringLiteral("\n\n")));
            }
            created = true;
        } catch (const std::exception& e) {
            messages << QStringLiteral(
                            "Die Tabelle \"%1\" konnte nicht geöffnet werden. Sie bleibt geschlossen "
                            "und wurde nicht verändert.\n%2")
                            .arg(nativeName(table), describe(e));
            continue;
        }

        if (created) {
            try {
                table.Open();
            } catch (const std::exception& e) {
                messages << QStringLiteral("Die neu angelegte Tabelle \"%1\" konnte nicht geöffnet werden.\n%2")
                                .arg(nativeName(table), describe(e));
                continue;
            }
            writeDefaultRows(table);
        }

        if (table.isReadOnly())
            messages << QStringLiteral(
                            "Die Tabelle \"%1\" ist schreibgeschützt und wurde nur zum Lesen geöffnet. "
                            "Änderungen an dieser Tabelle können nicht gespeichert werden.")
                            .arg(nativeName(table));

        if (&table == &Dbf1 && table.FieldCount() < bookingsFieldCount) {
            try {
                upgradeBookings();
            } catch (const QuorvelError& e) {
                // The program addresses bookings by field position up to 10; an old layout stays closed.
                messages << e.message();
            }
        }
    }
    return messages;
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
                                .arg(QDir::toNativeSeparators(bookingsFile))
                                .arg(oldFieldCount)
                                .arg(reason));
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

        if (!replaceFile(tempFile, bookingsFile))
            throw StorageError(QStringLiteral("\"%1\" konnte nicht durch die neue Tabelle ersetzt werden.")
                                   .arg(QDir::toNativeSeparators(bookingsFile)));
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
