// The main of every benchmark program: Qt's core application and the German locale the program's texts
// and numbers are measured under.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QLocale>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
