#pragma once

class QPrinter;
class QWidget;

// The one printer object of the program. Report printing and record printing share it, so the printer
// and paper chosen in either "Drucker einrichten..." hold for both until the program ends.
QPrinter& appPrinter();

// True when the system knows at least one printer.
bool printerAvailable();

// What to do when printing was asked for.
enum class PrintChoice { Print, SavePdf, Cancel };

// Before a print run: with a printer, Print. Without one, says so in German and offers to save the
// pages as PDF instead (SavePdf), or Cancel.
PrintChoice choosePrintOrPdf(QWidget* parent);

// "Drucker einrichten...": the printer setup dialog on the shared printer. Without a printer it says so
// in German instead. Returns true when the dialog was confirmed.
bool setUpPrinter(QWidget* parent);
