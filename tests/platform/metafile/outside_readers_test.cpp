// The files as other programs read them: emf2svg-conv for EMF, wmf2svg (libwmf)
// for WMF. Both must take every file, and their SVG must show the texts and the
// lines where they were drawn.

#include "metafile_recorder.h"
#include "scenes.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace kalvo::test {
namespace {

struct SvgText {
    QPointF at;
    QString text;
};

struct Svg {
    std::vector<SvgText> texts;
    std::map<QString, std::vector<std::vector<QPointF>>> linesByColour;  // stroked paths
    int shapes = 0;                                                       // filled shapes
};

std::vector<QPointF> Numbers(const QString& s) {
    static const QRegularExpression pair(R"re((-?\d+(?:\.\d+)?)[ ,](-?\d+(?:\.\d+)?))re");
    std::vector<QPointF> pts;
    for (auto it = pair.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        pts.emplace_back(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return pts;
}

// Runs a converter; -1 when it did not run (tools/install-deps installs them).
int Convert(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    if (!process.waitForFinished(60000)) return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// emf2svg writes proper XML in the picture's own coordinates (a group around it
// moves the drawn part to the SVG's origin).
Svg ReadEmf2Svg(const QString& path) {
    Svg svg;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return svg;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        const auto a = xml.attributes();
        if (xml.name() == QLatin1String("text")) {
            const QPointF at(a.value("x").toDouble(), a.value("y").toDouble());
            svg.texts.push_back({at, xml.readElementText()});
        } else if (xml.name() == QLatin1String("path") || xml.name() == QLatin1String("ellipse")) {
            if (!a.hasAttribute("fill")) continue;  // a clip outline
            if (a.value("fill") != QLatin1String("none")) {
                ++svg.shapes;
            } else {
                svg.linesByColour[a.value("stroke").toString()].push_back(Numbers(a.value("d").toString()));
            }
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return svg;
}

// libwmf writes the bytes of texts unconverted and one text element per character,
// and scales the drawing to the SVG size; read as Latin-1 and map back through the axes.
Svg ReadWmf2Svg(const QString& path) {
    Svg svg;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return svg;
    const QString all = QString::fromLatin1(file.readAll());
    static const QRegularExpression polyline(R"re(<polyline points="([^"]*)"\s*style="[^"]*stroke:(\w+)")re");
    for (auto it = polyline.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        svg.linesByColour[m.captured(2)].push_back(Numbers(m.captured(1)));
    }
    svg.shapes = static_cast<int>(all.count(QLatin1String("<polygon ")));
    static const QRegularExpression text(R"re(<text [^>]*matrix\(\S+ \S+ \S+ \S+ (-?[\d.]+) (-?[\d.]+)\)"\s*>([^<]*)</text>)re");
    for (auto it = text.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        svg.texts.push_back({QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()), m.captured(3)});
    }
    return svg;
}

// libwmf finds fonts through a Ghostscript font map; this one points at the Liberation fonts.
QString WriteFontMap(const QTemporaryDir& dir) {
    const QString liberation = "/usr/share/fonts/truetype/liberation2/";
    const char* map[][2] = {
        {"Times-Roman", "LiberationSerif-Regular"},  {"Times-Italic", "LiberationSerif-Italic"},
        {"Times-Bold", "LiberationSerif-Bold"},      {"Times-BoldItalic", "LiberationSerif-BoldItalic"},
        {"Helvetica", "LiberationSans-Regular"},     {"Helvetica-Oblique", "LiberationSans-Italic"},
        {"Helvetica-Bold", "LiberationSans-Bold"},   {"Helvetica-BoldOblique", "LiberationSans-BoldItalic"},
        {"Courier", "LiberationMono-Regular"},       {"Courier-Oblique", "LiberationMono-Italic"},
        {"Courier-Bold", "LiberationMono-Bold"},     {"Courier-BoldOblique", "LiberationMono-BoldItalic"},
        {"Symbol", "LiberationSans-Regular"},
    };
    QFile file(dir.filePath("fontmap"));
    file.open(QIODevice::WriteOnly);
    for (const auto& entry : map) file.write(QString("/%1 (%2%3.ttf) ;\n").arg(entry[0], liberation, entry[1]).toUtf8());
    return file.fileName();
}

class OutsideReaders : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(OutsideReaders, Emf2SvgShowsTextsAndLinesWhereTheyWereDrawn) {
    for (int f : {1, 3}) {
        SCOPED_TRACE("factor " + std::to_string(f));
        MetafileRecorder recorder(kSceneSize * f, kSceneSize * f);
        ReferenceScene scene;
        Paint(recorder, [&](QPainter& p) { scene = DrawReferenceScene(p, f); });
        const QString emf = dir.filePath(QString("szene%1.emf").arg(f)), svgPath = emf + ".svg";
        ASSERT_TRUE(recorder.save(emf.toStdString(), MetafileFormat::Emf).ok);
        ASSERT_EQ(Convert("emf2svg-conv", {"-i", emf, "-o", svgPath}), 0);
        const Svg svg = ReadEmf2Svg(svgPath);

        ASSERT_EQ(svg.texts.size(), scene.labels.size());
        for (size_t i = 0; i < scene.labels.size(); ++i) {
            EXPECT_EQ(svg.texts[i].text, scene.labels[i].text);
            EXPECT_NEAR(svg.texts[i].at.x(), scene.labels[i].baseline.x(), 0.5);
            EXPECT_NEAR(svg.texts[i].at.y(), scene.labels[i].baseline.y(), 0.5);
        }
        const auto& black = svg.linesByColour.at("#000000");
        const std::vector<QPointF> xAxis{scene.xAxis.p1(), scene.xAxis.p2()};
        EXPECT_NE(std::find(black.begin(), black.end(), xAxis), black.end());
        // Every point of the curve lies on the sine it was sampled from (within the pixel rounding).
        const auto& red = svg.linesByColour.at("#FF0000");
        ASSERT_EQ(red.size(), 1u);
        for (const QPointF& q : red[0]) {
            const double x = q.x() / f;
            EXPECT_NEAR(q.y(), (200 - 120 * std::sin((x - 200) / 30)) * f, 2.5 * f) << x;
        }
    }
}

TEST_F(OutsideReaders, Wmf2SvgShowsTextsInTheirCodePagesAndLinesWhereTheyWereDrawn) {
    const QString fontMap = WriteFontMap(dir);
    for (int f : {1, 3}) {
        SCOPED_TRACE("factor " + std::to_string(f));
        MetafileRecorder recorder(kSceneSize * f, kSceneSize * f);
        ReferenceScene scene;
        Paint(recorder, [&](QPainter& p) { scene = DrawReferenceScene(p, f); });
        const QString wmf = dir.filePath(QString("szene%1.wmf").arg(f)), svgPath = wmf + ".svg";
        ASSERT_TRUE(recorder.save(wmf.toStdString(), MetafileFormat::Wmf).ok);
        ASSERT_EQ(Convert("wmf2svg", {"--wmf-gs-fontmap=" + fontMap, "-o", svgPath, wmf}), 0);
        const Svg svg = ReadWmf2Svg(svgPath);

        // The axes give the scale libwmf chose.
        const auto& black = svg.linesByColour.at("black");
        auto find = [&](bool horizontal) {
            for (const auto& l : black)
                if (l.size() == 2 && (horizontal ? l[0].y() == l[1].y() : l[0].x() == l[1].x())) return l;
            return std::vector<QPointF>{};
        };
        const std::vector<QPointF> xAxis = find(true), yAxis = find(false);
        ASSERT_EQ(xAxis.size(), 2u);
        ASSERT_EQ(yAxis.size(), 2u);
        const double sx = (xAxis[1].x() - xAxis[0].x()) / scene.xAxis.dx();
        const double sy = (yAxis[1].y() - yAxis[0].y()) / scene.yAxis.dy();
        auto toPicture = [&](QPointF q) {
            return QPointF(scene.xAxis.x1() + (q.x() - xAxis[0].x()) / sx, scene.yAxis.y1() + (q.y() - yAxis[0].y()) / sy);
        };
        EXPECT_NEAR(toPicture(yAxis[0]).x(), scene.yAxis.x1(), 0.5);
        EXPECT_NEAR(toPicture(xAxis[0]).y(), scene.xAxis.y1(), 0.5);

        // Characters on one baseline, left to right, make up each label in its code page.
        const std::string expected[] = {"Schnittpunkt \xE4 \xDF", "\xF0=3,14 \xE1\xE2\xE3 \xC4\xD9"};
        for (size_t i = 0; i < scene.labels.size(); ++i) {
            std::string line;
            QPointF first(1e9, 0);
            for (const SvgText& t : svg.texts) {
                const QPointF at = toPicture(t.at);
                if (std::abs(at.y() - scene.labels[i].baseline.y()) > 1) continue;
                line += t.text.toLatin1().toStdString();
                if (at.x() < first.x()) first = at;
            }
            EXPECT_EQ(line, expected[i]);
            EXPECT_NEAR(first.x(), scene.labels[i].baseline.x(), 1.0);
        }
        const auto& red = svg.linesByColour.at("red");
        ASSERT_FALSE(red.empty());
        for (const auto& part : red) {
            for (const QPointF& q : part) {
                const QPointF at = toPicture(q);
                EXPECT_NEAR(at.y(), (200 - 120 * std::sin((at.x() / f - 200) / 30)) * f, 2.5 * f) << at.x();
            }
        }
    }
}

TEST_F(OutsideReaders, TakeTwentyThousandPolygons) {
    MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
    Paint(recorder, [&](QPainter& p) { DrawPolygonScene(p); });
    const QString emf = dir.filePath("flaeche.emf"), wmf = dir.filePath("flaeche.wmf");
    ASSERT_TRUE(recorder.save(emf.toStdString(), MetafileFormat::Emf).ok);
    ASSERT_TRUE(recorder.save(wmf.toStdString(), MetafileFormat::Wmf).ok);
    EXPECT_EQ(Convert("emf2svg-conv", {"-i", emf, "-o", emf + ".svg"}), 0);
    EXPECT_EQ(Convert("wmf2svg", {"--wmf-gs-fontmap=" + WriteFontMap(dir), "-o", wmf + ".svg", wmf}), 0);
    EXPECT_EQ(ReadEmf2Svg(emf + ".svg").shapes, 20000);
    EXPECT_EQ(ReadWmf2Svg(wmf + ".svg").shapes, 20000);
}

}  // namespace
}  // namespace kalvo::test
