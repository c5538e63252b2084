// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TMainForm;
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

// Every window lives from program start to program end. They are created once, hidden, in a fixed
// order: the main window first (its constructor runs before any other window exists), then the
// dialogs its first showing relies on.
struct AppForms {
    TMainForm* MainForm = nullptr;
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

// The windows of the running program.
AppForms& appForms();

// Creates all windows in their order (the dialogs are parented to the main window). Returns the main window.
TMainForm* createAppForms();

// Destroys all windows (the dialogs go with the main window).
void destroyAppForms();
