// Renders the main window offscreen into a PNG as the program starts from a
// program folder (its kalvo.INI): render_main_window <folder> <file.png> [width height]

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <cstdlib>

#include "app_start.h"
#include "graph_state.h"
#include "main_window.h"
#include "program_state.h"

using namespace kalvo;

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "render_main_window <folder> <file.png> [width height]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResetProgramState();
    ResetGraphState();
    StartProgramState(argv[1]);
    TForm1 form;
    const int height = argc > 4 ? std::atoi(argv[4]) : 760;
    form.resize(argc > 3 ? std::atoi(argv[3]) : TForm1::ClientWidthFor(height), height);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) return 1;
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(50);
    }
    return form.grab().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
