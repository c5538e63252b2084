// SPDX-License-Identifier: GPL-3.0-or-later
// The main of every benchmark program: Qt's application object and the German locale the program's texts
// and numbers are measured under. Benchmarks that lay out pages get a GUI application (fonts).
#include <benchmark/benchmark.h>

#include <QLocale>
#include <memory>

#ifdef QUORVEL_BENCH_GUI
#include <QApplication>
using BenchApplication = QApplication;
#else
#include <QCoreApplication>
using BenchApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    BenchApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
