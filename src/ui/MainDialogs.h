// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TInfoForm;
class TDruckeErgebnisForm;
class TAdminForm;
class TEinstellungenForm;
class TEinstellUebertragForm;
class TWaehrungForm;
class TDruckeForm;
class TKontoAuswaehlenForm;
class TFirmenanschriftForm;
class TMandantenNrForm;
class TDauerForm;

// The dialogs the main window runs. They live as long as the main window (they are its children) and
// are handed to it once, right after they were created; the main window reaches them only through this.
struct MainDialogs {
    TInfoForm* InfoForm = nullptr;
    TDruckeErgebnisForm* DruckeErgebnisForm = nullptr;
    TAdminForm* AdminForm = nullptr;
    TEinstellungenForm* EinstellungenForm = nullptr;
    TEinstellUebertragForm* EinstellUebertragForm = nullptr;
    TWaehrungForm* WaehrungForm = nullptr;
    TDruckeForm* DruckeForm = nullptr;
    TKontoAuswaehlenForm* KontoAuswaehlenForm = nullptr;
    TFirmenanschriftForm* FirmenanschriftForm = nullptr;
    TMandantenNrForm* MandantenNrForm = nullptr;
    TDauerForm* DauerForm = nullptr;
};
