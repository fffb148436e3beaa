// The main graph recorded as a picture for the exports.
#include "graph_export.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include "canvas_recording.h"
#include "graph_state.h"
#include "regression_test_support.h"

namespace kalvo {
namespace {

class GraphPicture : public test::RegressionTest {
protected:
    void SetUp() override {
        RegressionTest::SetUp();
        ResetGraphState();
        gOutput.AusgabeCanvas = &screen;
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
    }
    void TearDown() override { gOutput.AusgabeCanvas = nullptr; }
    RecordingCanvas screen;
};

TEST_F(GraphPicture, ResolutionSetsTheSizeAndTheScreenGetsItsContextBack) {
    gTerms.TermF = "x^2";
    const struct { int aufloesung, w, h, pictureW, pictureH; } cases[] = {
        {3, 599, 599, 1800, 1800}, {2, 599, 599, 1200, 1200}, {2, 799, 399, 799, 800}};
    for (const auto& c : cases) {
        gDisplay.Aufloesung = c.aufloesung;
        gOutput.PlotWidthPx = c.w;
        gOutput.PlotHeightPx = c.h;
        const auto picture = RecordGraphPicture();
        ASSERT_TRUE(picture);
        EXPECT_EQ(QSize(picture->width(), picture->height()), QSize(c.pictureW, c.pictureH));
        EXPECT_FALSE(picture->isEmpty());
        // The screen's output context is back.
        EXPECT_EQ(gOutput.AusgabeCanvas, &screen);
        EXPECT_EQ(std::tuple(gOutput.AusgabefaktorX, gOutput.SamplesPerPixel, gOutput.PlotWidthPx),
                  std::tuple(1.0, 1.0, c.w));
        EXPECT_FALSE(gOutput.MetafileActive);
    }
    EXPECT_TRUE(screen.Records().empty());  // nothing went to the screen meanwhile
}

TEST_F(GraphPicture, SavedAsWmfOrEmfAndRefusedWithoutAGraphArea) {
    QTemporaryDir dir;
    for (const char* name : {"bild.wmf", "bild.emf"}) {
        const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
        EXPECT_TRUE(SaveGraphPicture(path).ok) << name;
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(44);
        if (std::string(name).ends_with(".wmf")) EXPECT_EQ(head.left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
        else EXPECT_EQ(head.mid(40, 4), QByteArray(" EMF"));
    }
    gOutput.PlotWidthPx = 0;
    EXPECT_FALSE(RecordGraphPicture());
    EXPECT_FALSE(SaveGraphPicture(dir.filePath("nichts.wmf").toStdString()).ok);
}

}  // namespace
}  // namespace kalvo
