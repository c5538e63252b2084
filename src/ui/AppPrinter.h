// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QPrinter;
class QWidget;

// The printer choice of the program: printer name, paper and orientation. Report printing and record
// printing share it, so the printer and paper chosen in either "Drucker einrichten..." hold for both until
// the program ends. The object only keeps the choice and gives the page geometry; nothing is printed on it.
QPrinter& appPrinter();

// A new printer for one print job, set up from the choice (the chosen printer, or the system's default
// printer when none was chosen or the chosen one is gone; paper and orientation). A printer installed
// while the program runs is found, and a job that failed leaves nothing behind for the next one.
std::unique_ptr<QPrinter> newPrintJob();

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
