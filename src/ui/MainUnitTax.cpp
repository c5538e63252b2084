// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <memory>

#include "reports/output/ReportFormat.h"
#include "storage/DayNumber.h"
#include "storage/SafeFile.h"
#include "tax/Kontenzuordnung.h"
#include "tax/TaxBookings.h"
#include "tax/TaxFormPages.h"
#include "tax/TaxResults.h"
#include "tax/TaxSettings.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/KontenzuordnungFUnit.h"
#include "ui/MainUnit.h"
#include "ui/UiMessages.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QLineEdit>

// The tax form commands: the VAT return of the period and the Anlage EÜR of the year on the report
// window, the account assignment dialog, and the tax facts of "Firmenangaben". The figures are computed
// in src/tax; this file only gathers what the forms need and shows them.

namespace {

// Hands a form to the report window for the time it is shown; clears the hook afterwards, also when the
// window fails.
class TaxFormHandOver {
public:
    TaxFormHandOver(TDruckeErgebnisForm& window, const QString& title,
                    std::function<int(ReportCanvas&, const ReportInputs&, const PageParams&)> layout,
                    std::function<void()> csv)
        : m_form(window) {
        m_form.report.modus = -1;
        m_form.report.cap = title;
        m_form.layout = std::move(layout);
        m_form.csvExport = std::move(csv);
    }
    ~TaxFormHandOver() {
        m_form.layout = nullptr;
        m_form.csvExport = nullptr;
        m_form.report.cap.clear();
    }
    TaxFormHandOver(const TaxFormHandOver&) = delete;
    TaxFormHandOver& operator=(const TaxFormHandOver&) = delete;

private:
    TDruckeErgebnisForm& m_form;
};

// Asks for a file name and writes the CSV through the checked writer; failures are shown.
void saveCsv(QWidget* parent, const QString& suggested, const QByteArray& bytes) {
    static QString folder;
    const QString start = QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(suggested);
    QString fileName =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Als CSV speichern"), start, QStringLiteral("CSV-Dateien (*.csv)"));
    if (fileName.isEmpty()) return;
    if (!fileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) fileName += QStringLiteral(".csv");
    folder = QFileInfo(fileName).absolutePath();
    if (UiMessages::guarded(parent, [&] { SafeFile::replace(fileName, bytes, QStringLiteral("Die CSV-Datei")); }))
        UiMessages::showInformation(parent, QStringLiteral("Die CSV-Datei \"%1\" wurde gespeichert.")
                                                .arg(QDir::toNativeSeparators(fileName)));
}

// The texts of a form for the choice lists: the form of the year, or the nearest there is (the lines an
// account can be given do not depend on the year).
TaxForm formForChoices(const QString& form, int year) {
    const QList<int> years = TaxFormData::availableYears(form);
    if (!years.isEmpty() && year < years.first()) year = years.first();
    return TaxFormData::load(form, year);
}

QString today() {
    return ReportFormat::date(DayNumber::fromDate(QDate::currentDate()));
}

}  // namespace

void TMainForm::loadTaxSettings(TFirmenanschriftForm& dialog) {
    TaxSettings s;
    UiMessages::guarded(this, [&] { s = TaxSettings::load(TaxSettings::fileName(m_progpath, m_mandantnr)); });
    dialog.setTaxNumber(s.steuernummer);
    dialog.setSmallBusiness(s.kleinunternehmer);
}

void TMainForm::saveTaxSettings(const TFirmenanschriftForm& dialog) {
    TaxSettings s{dialog.taxNumber(), dialog.smallBusiness()};
    const QString file = TaxSettings::fileName(m_progpath, m_mandantnr);
    // Nothing to keep and nothing kept: no file is made.
    if (s.steuernummer.isEmpty() && !s.kleinunternehmer && !QFileInfo::exists(file)) return;
    s.save(file);
}

void TMainForm::UmsatzsteuerVoranmeldung1Click() {
    if (!m_tables.Dbf1.Active()) return;
    const TaxSettings settings = TaxSettings::load(TaxSettings::fileName(m_progpath, m_mandantnr));
    if (settings.kleinunternehmer) {
        UiMessages::showInformation(this, kleinunternehmerText());
        return;
    }
    const int item = checkedPeriod();
    if (item < 0) return;
    const PeriodItem period = static_cast<PeriodItem>(item);
    if (const QString note = TaxComputation::periodNote(period); !note.isEmpty()) {
        UiMessages::showInformation(this, note);
        return;
    }
    postPendingEdits();
    const int year = m_openedYear;
    const Zeitraum zeitraum = ::CalcZeitraum(period, year);
    auto result = std::make_shared<UstvaResult>();
    {
        const WaitCursor wait;
        const TaxForm form = TaxFormData::load(TaxFormData::ustva, year);
        const TaxBookingSource source(m_tables.Dbf1);
        *result = TaxComputation::ustva(source, accountNumbers(m_tables.EinnahmeKonten),
                                        accountNumbers(m_tables.AusgabeKonten),
                                        Kontenzuordnung::read(m_tables.Kontenzuordnung), zeitraum, form);
    }
    const QString zeitraumText = QStringLiteral("%1 %2 (%3 – %4)")
                                     .arg(periodCaption(period))
                                     .arg(year)
                                     .arg(ReportFormat::date(zeitraum.vondatum), ReportFormat::date(zeitraum.bisdatum));
    const QString printed = today();
    const QString steuernummer = settings.steuernummer;
    TDruckeErgebnisForm* window = m_dialogs.DruckeErgebnisForm;
    const TaxFormHandOver handOver(
        *window, QStringLiteral("%1 %2").arg(TaxFormPages::ustvaTitle(*result), periodCaption(period)),
        [=](ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
            const TaxPageHeader header{in.address, steuernummer, zeitraumText, printed, in.currency};
            return TaxFormPages::ustva(canvas, *result, header, params);
        },
        [window, result, year, period] {
            saveCsv(window,
                    QStringLiteral("UStVA_%1_%2.csv").arg(QString::number(year), periodCaption(period)).remove(QLatin1Char(' ')),
                    TaxCsv::ustva(*result));
        });
    window->showReport();
    activateWindow();
}

void TMainForm::AnlageER1Click() {
    if (!m_tables.Dbf1.Active()) return;
    postPendingEdits();
    const int year = m_openedYear;
    const TaxSettings settings = TaxSettings::load(TaxSettings::fileName(m_progpath, m_mandantnr));
    auto source = std::make_shared<TaxBookingSource>(m_tables.Dbf1);
    auto result = std::make_shared<EuerResult>();
    {
        const WaitCursor wait;
        const TaxForm form = TaxFormData::load(TaxFormData::euer, year);
        *result = TaxComputation::euer(*source, accountNumbers(m_tables.EinnahmeKonten),
                                       accountNumbers(m_tables.AusgabeKonten),
                                       Kontenzuordnung::read(m_tables.Kontenzuordnung), year, form,
                                       settings.kleinunternehmer);
    }
    const Zeitraum jahr = ::CalcZeitraum(PeriodItem::GanzesJahr, year);
    const QString zeitraumText = QStringLiteral("Wirtschaftsjahr %1 (%2 – %3)")
                                     .arg(year)
                                     .arg(ReportFormat::date(jahr.vondatum), ReportFormat::date(jahr.bisdatum));
    const QString printed = today();
    const QString steuernummer = settings.steuernummer;
    TDruckeErgebnisForm* window = m_dialogs.DruckeErgebnisForm;
    const TaxFormHandOver handOver(
        *window, TaxFormPages::euerTitle(*result),
        [=](ReportCanvas& canvas, const ReportInputs& in, const PageParams& params) {
            const TaxPageHeader header{in.address, steuernummer, zeitraumText, printed, in.currency};
            return TaxFormPages::euer(canvas, *result, *source, header, params);
        },
        [window, result, year] {
            saveCsv(window, QStringLiteral("Anlage_EUeR_%1.csv").arg(year), TaxCsv::euer(*result));
        });
    window->showReport();
    activateWindow();
}

void TMainForm::Kontenzuordnung1Click() {
    const int year = m_openedYear;
    TKontenzuordnungForm dialog(m_tables.EinnahmeKonten, m_tables.AusgabeKonten, m_tables.Kontenzuordnung,
                                formForChoices(TaxFormData::ustva, year), formForChoices(TaxFormData::euer, year),
                                this);
    runModal(&dialog);
}
