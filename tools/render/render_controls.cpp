// Renders the switch and the coloured grid offscreen into PNGs, for looking
// at them: render_controls <folder>. Writes switch.png (off and on, with the
// left and the right half raising, and one with the focus, each 4x) and
// mgrid.png.

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "mgrid.h"
#include "switch.h"

using namespace kalvo;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_controls <folder>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);

    QImage strip(5 * 40, 90, QImage::Format_RGB32);
    strip.fill(QColor(0xF0, 0xF0, 0xF0));
    {
        QPainter p(&strip);
        const struct {
            bool left, checked, focus;
        } states[] = {{true, false, false}, {true, true, false}, {false, false, false}, {false, true, false}, {true, true, true}};
        int x = 4;
        for (const auto& s : states) {
            QWidget host;
            host.setPalette(QColor(0xF0, 0xF0, 0xF0));
            auto* sw = new TSwitch(&host);
            sw->SetCheckedLeft(s.left);
            sw->SetChecked(s.checked);
            host.resize(sw->size());
            host.show();
            if (s.focus) {
                host.activateWindow();
                sw->setFocus();
                QApplication::processEvents();
            }
            p.drawImage(x, 3, sw->grab().toImage());
            x += 40;
        }
    }
    const bool ok1 = strip.scaled(strip.size() * 4).save(folder + QStringLiteral("/switch.png"));

    TMgrid grid;
    grid.setColumnCount(4);
    grid.setRowCount(4);
    grid.SetFixedCols(0);
    const char* heads[] = {"X1", "X2", "X3", "b"};
    for (int c = 0; c < 4; ++c) grid.SetCells(c, 0, QString::fromLatin1(heads[c]));
    const char* cells[3][4] = {{"2", "4", "-1", "6"}, {"1", "-1", "0", "0"}, {"1/3", "0", "5", "2,5"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) grid.SetCells(c, r + 1, QString::fromUtf8(cells[r][c]));
    grid.SetOnSetting([](int row, int col, int& color, bool& bold, bool&, bool&) {
        if (row == 3 && col == 0) color = 0x0000FF, bold = true;
    });
    grid.resize(4 * 64 + 2, 4 * 24 + 2);
    grid.show();
    grid.setFocus();
    grid.setCurrentCell(2, 1);
    const bool ok2 = grid.grab().toImage().scaled(grid.size() * 2).save(folder + QStringLiteral("/mgrid.png"));
    return ok1 && ok2 ? 0 : 1;
}
