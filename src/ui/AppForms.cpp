// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AppForms.h"

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
    return main;
}

void destroyAppForms() {
    AppForms& f = appForms();
    delete f.MainForm;
    f = AppForms{};
}
