// The main of the benchmarks that build screens: an application object on the offscreen
// platform unless another is named, and workbooks read by the build tree's reader program.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "data/workbook.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetWorkbookReaderProgram(QStringLiteral(VEMO_WORKBOOK_READER));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
