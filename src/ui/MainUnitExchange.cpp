#include "ui/MainUnit.h"

// CSV export and import, the year transfer of the master data and the printing of booking records.

void TMainForm::ExportierenalsCSV1Click() {}
void TMainForm::ImportierenausCSVDatei1Click() {}
void TMainForm::ErsteZeilederCSVDateimitberschriftenbeimImportberlesen1Click() {}
void TMainForm::EinstellungeninneuesJahrbertragen1Click() {}
void TMainForm::Druckereinrichten1Click() {}
void TMainForm::Datensatzdrucken1Click() {}
void TMainForm::AlleDatenstzedrucken1Click() {}
