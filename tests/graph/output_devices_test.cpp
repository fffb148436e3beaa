// The redraw on the other surfaces it serves: a PDF page through Qt's own
// printer-like device, and the metafile recorder, both scaled by the output
// factors as printing and export set them.

#include <QColor>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "canvas_qpainter.h"
#include "graph_test_support.h"
#include "metafile_recorder.h"
#include "output_redirection.h"
#include "redraw.h"
#include "view.h"

namespace kalvo {
namespace {

using OutputDevices = GraphTest;

TEST_F(OutputDevices, PrintedPageCarriesTheLabels) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) FAIL() << "pdftotext is missing: tools/install-deps installs it";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("graph.pdf");
    gTerms.TermF = "x^2";
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        const double factor = 600 / kScreenDpi;
        QPainterCanvas canvas(&writer, 600);
        CanvasFont font;
        font.size = gDisplay.Schriftgroesse;
        canvas.SetFont(font);
        OutputRedirection redirect({.canvas = &canvas, .faktorX = factor, .faktorY = factor, .samplesPerPixel = 4,
                                    .plotWidthPx = 599, .plotHeightPx = 599, .printing = true});
        GrafikZeichnen(true);
    }
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* s : {"Zeit", "7", "-7", "y"}) EXPECT_TRUE(text.contains(s)) << s << " in " << text.toStdString();
}

TEST_F(OutputDevices, MetafileRecordsTheCurveWhereTheScreenHasIt) {
    gTerms.TermF = "x^2";
    gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};
    // A pole far beyond the picture must not reach the 16-bit coordinates.
    gTerms.TermG = "1/x";
    gDisplay.Schaubilder[8] = Schaubild{0xFF0000, 0, true};
    const int aufloesung = 3;
    MetafileRecorder recorder(600 * aufloesung, 600 * aufloesung);
    {
        QPainterCanvas canvas(&recorder);
        OutputRedirection redirect({.canvas = &canvas, .faktorX = aufloesung, .faktorY = aufloesung,
                                    .samplesPerPixel = aufloesung, .plotWidthPx = 599, .plotHeightPx = 599,
                                    .metafile = true});
        GrafikZeichnen(true);
    }
    const QImage image = recorder.toImage();
    SetupAxes(gDisplay.Koordinatensystem);
    double px, py;
    WorldToPixel(2, 4, px, py);
    int red = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            red += QColor(image.pixel(ToDevice(px, aufloesung) + dx, ToDevice(py, aufloesung) + dy)) == Qt::red;
    EXPECT_GT(red, 3);
    EXPECT_FALSE(recorder.toWmf().empty());
}

}  // namespace
}  // namespace kalvo
