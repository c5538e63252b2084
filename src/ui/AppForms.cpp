// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppForms.h"

#include "journal/EntryLookups.h"
#include "ui/AdminMenuFUnit.h"
#include "ui/DatensatzDruckenFUnit.h"
#include "ui/DauerFUnit.h"
#include "ui/DruckeErgebnisFUnit.h"
#include "ui/EinstellUebertragFUnit.h"
#include "ui/EinstellungenFUnit.h"
#include "ui/FirmenanschriftFUnit.h"
#include "ui/InfoFUnit.h"
#include "ui/KontoAuswahlenFUnit.h"
#include "ui/MainUnit.h"
#include "ui/MandatenNrFUnit.h"
#include "ui/WaehrungFUnit.h"

namespace {

QString accountName(DbfTable& accounts, int nr) {
    try {
        return EntryLookups::findKonto(accounts, nr);
    } catch (const std::exception&) {
        return QStringLiteral("Konto ") + QString::number(nr);
    }
}

// The report window takes the address and the currency from their dialogs and the account names from
// the main window's open tables (whichever set is open when a page is laid out).
TDruckeErgebnisForm::Sources programSources(TMainForm& main, const TFirmenanschriftForm& address,
                                            const TWaehrungForm& currency) {
    TDruckeErgebnisForm::Sources s;
    s.address = [&address] { return address.lines(); };
    s.currency = [&currency] { return currency.currency(); };
    s.findEinnahmeKonto = [&main](int nr) { return accountName(main.tables().EinnahmeKonten, nr); };
    s.findAusgabeKonto = [&main](int nr) { return accountName(main.tables().AusgabeKonten, nr); };
    return s;
}

}  // namespace

AppForms& appForms() {
    static AppForms forms;
    return forms;
}

TMainForm* createAppForms() {
    AppForms& f = appForms();
    f.MainForm = new TMainForm();
    TMainForm* main = f.MainForm;
    f.InfoForm = new TInfoForm(main);
    f.DruckeErgebnisForm = new TDruckeErgebnisForm(main);
    f.AdminForm = new TAdminForm(main);
    f.EinstellungenForm = new TEinstellungenForm(main);
    f.EinstellUebertragForm = new TEinstellUebertragForm(main);
    f.WaehrungForm = new TWaehrungForm(main);
    f.DruckeForm = new TDruckeForm(main);
    f.KontoAuswaehlenForm = new TKontoAuswaehlenForm(main);
    f.FirmenanschriftForm = new TFirmenanschriftForm(main);
    f.MandantenNrForm = new TMandantenNrForm(main);
    f.DauerForm = new TDauerForm(*main, main);
    f.DruckeErgebnisForm->setSources(programSources(*main, *f.FirmenanschriftForm, *f.WaehrungForm));
    main->setDialogs(f);
    return main;
}

void destroyAppForms() {
    AppForms& f = appForms();
    delete f.MainForm;
    f = AppForms{};
}
