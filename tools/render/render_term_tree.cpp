// Renders the term-tree window offscreen into a PNG, for looking at it:
// render_term_tree <term> <width> <height> <file.png>

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>

#include "program_state.h"
#include "term.h"
#include "term_tree_window.h"

using namespace kalvo;

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: render_term_tree <term> <width> <height> <file.png>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResetProgramState();
    InitTermTrees();
    gTerms.TermF = argv[1];
    TForm19 window;
    window.setWindowState(Qt::WindowNoState);
    window.resize(std::atoi(argv[2]), std::atoi(argv[3]));
    window.show();
    if (!window.grab().toImage().save(QString::fromLocal8Bit(argv[4]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
