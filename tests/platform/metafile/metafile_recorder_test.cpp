// The recorder's EMF and WMF files, read record by record as a player reads
// them, and as other programs read them: emf2svg-conv for EMF, wmf2svg
// (libwmf) for WMF. Both must take every file, and their SVG must show the
// texts and the lines where they were drawn.

#include "canvas_qpainter.h"
#include "metafile_reader.h"
#include "metafile_recorder.h"
#include "scenes.h"
#include "work_budget.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <tuple>

namespace kalvo::test {
namespace {

const char* Name(MetafileFormat f) { return f == MetafileFormat::Emf ? "EMF" : "WMF"; }

// Each test of this fixture runs for EMF and for WMF.
class BothFormats : public ::testing::TestWithParam<MetafileFormat> {
protected:
    const MetafileFormat fmt = GetParam();
};
INSTANTIATE_TEST_SUITE_P(MetafileRecorder, BothFormats, ::testing::Values(MetafileFormat::Emf, MetafileFormat::Wmf),
                         [](const auto& info) { return std::string(Name(info.param)); });

Replay Read(MetafileFormat f, const std::string& bytes) {
    return f == MetafileFormat::Emf ? ReadEmf(bytes) : ReadWmf(bytes);
}

std::string Record(MetafileFormat f, const std::function<void(QPainter&)>& draw, int w = 200, int h = 200,
                   FontCharset charset = FontCharset::Ansi) {
    MetafileRecorder recorder(w, h);
    recorder.setFontCharset(charset);
    Paint(recorder, draw);
    return recorder.toBytes(f);
}

std::vector<Shape> ShapesOf(const Replay& r, const std::string& kind) {
    std::vector<Shape> out;
    for (const Shape& s : r.shapes)
        if (s.kind == kind) out.push_back(s);
    return out;
}

std::string Errors(const Replay& r) {
    std::string all;
    for (const std::string& e : r.errors) all += e + "\n";
    return all;
}

TEST_P(BothFormats, ReferenceSceneIsWellFormed) {
    for (int factor : {1, 3}) {
        SCOPED_TRACE("at factor " + std::to_string(factor));
        const int size = kSceneSize * factor;
        MetafileRecorder recorder(size, size);
        ReferenceScene scene;
        Paint(recorder, [&](QPainter& p) { scene = DrawReferenceScene(p, factor); });
        const std::string bytes = recorder.toBytes(fmt);
        const Replay r = Read(fmt, bytes);
        EXPECT_EQ(Errors(r), "");
        EXPECT_EQ(bytes.size() % (fmt == MetafileFormat::Emf ? 4 : 2), 0u);
        EXPECT_EQ(QSize(r.width, r.height), QSize(size, size));
        EXPECT_EQ(r.mapMode, 8);  // MM_ANISOTROPIC
        EXPECT_EQ(r.windowExt, QSize(size, size));
        EXPECT_EQ(r.unitsPerInch, fmt == MetafileFormat::Wmf ? 96 : 0);  // a WMF's placeable header

        // The curve is drawn clipped to the plot, with its points where they were drawn.
        const std::vector<Shape> lines = ShapesOf(r, "polyline");
        auto curve = std::find_if(lines.begin(), lines.end(), [](const Shape& s) { return s.pen.color == 0x0000FF; });
        ASSERT_NE(curve, lines.end());
        EXPECT_EQ(curve->pen.width, 2 * factor);
        EXPECT_TRUE(curve->clipped);
        EXPECT_EQ(curve->clip, QRect(20 * factor, 20 * factor, 360 * factor, 360 * factor));
        EXPECT_EQ(curve->points.front(), scene.curve.front().toPoint());
        EXPECT_EQ(curve->points.back(), scene.curve.back().toPoint());
        EXPECT_GE(curve->points.size(), factor == 1 ? 350u : 1000u);  // repeats of a pixel are left out

        // The hatched triangles (outlines over their hatch lines), the dotted grid and the fonts.
        const std::vector<Shape> triangles = ShapesOf(r, "polygon");
        EXPECT_EQ(triangles.size(), 6u);
        for (const Shape& t : triangles) EXPECT_EQ(t.brush.style, 1);
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const Shape& s) { return s.pen.style == 2; }), 14);
        EXPECT_EQ(ShapesOf(r, "ellipse").size(), 2u);

        if (fmt == MetafileFormat::Emf) {
            ASSERT_EQ(r.texts.size(), scene.labels.size());
            for (size_t i = 0; i < r.texts.size(); ++i) {
                EXPECT_EQ(r.texts[i].text, scene.labels[i].text);
                EXPECT_EQ(r.texts[i].origin, scene.labels[i].baseline.toPoint());
                EXPECT_EQ(r.texts[i].align, 24);  // TA_BASELINE
                EXPECT_EQ(r.texts[i].font.height, -static_cast<int>(std::lround(std::lround(11.0 * factor) * 96 / 72.0)));
            }
            EXPECT_EQ(r.texts[0].font.face, "Arial");
            EXPECT_EQ(r.texts[1].font.charset, 161);
            // Bounds hold everything, the curve only as far as its clip.
            EXPECT_TRUE(r.hasBounds);
            EXPECT_TRUE(QRect(0, 0, size, size).contains(r.bounds)) << r.bounds.x() << "," << r.bounds.right();
            for (const Shape& s : r.shapes)
                for (const QPoint& q : s.points) EXPECT_TRUE(s.clipped || r.bounds.contains(q));
        }
    }
}

TEST(MetafileRecorder, WmfTextIsWrittenInTheCodePageOfItsFont) {
    const struct {
        FontCharset preferred;
        QString text;
        int emfCharset;
        std::vector<std::pair<int, std::string>> wmfRuns;
    } cases[] = {
        {FontCharset::Ansi, "Wert", 0, {{0, "Wert"}}},
        {FontCharset::Ansi, "äöüß€", 0, {{0, "\xE4\xF6\xFC\xDF\x80"}}},
        {FontCharset::Greek, "x=2", 161, {{161, "x=2"}}},
        {FontCharset::Greek, "αβπΩ", 161, {{161, "\xE1\xE2\xF0\xD9"}}},
        // Qt hands over a text in pieces of one script each; the first piece decides for EMF.
        {FontCharset::Ansi, "π·r²", 161, {{161, "\xF0\xB7"}, {0, "r\xB2"}}},
        {FontCharset::Ansi, "ä π", 0, {{0, "\xE4 "}, {161, "\xF0"}}},
        {FontCharset::Greek, "Fläche", 0, {{161, "Fl"}, {0, "\xE4" "che"}}},
        {FontCharset::Ansi, "Ж", 204, {{204, "\xC6"}}},
        {FontCharset::Ansi, "a∞b", 1, {{0, "a?b"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        auto draw = [&](QPainter& p) {
            p.setFont(QFont("Courier New", 12));
            p.drawText(QPointF(10, 50), c.text);
        };
        const Replay emf = ReadEmf(Record(MetafileFormat::Emf, draw, 200, 200, c.preferred));
        QString emfText;
        for (const Text& t : emf.texts) emfText += t.text;
        EXPECT_EQ(emfText, c.text);
        ASSERT_FALSE(emf.texts.empty());
        EXPECT_EQ(emf.texts[0].font.charset, c.emfCharset);

        const Replay wmf = ReadWmf(Record(MetafileFormat::Wmf, draw, 200, 200, c.preferred));
        EXPECT_EQ(Errors(wmf), "");
        std::vector<std::pair<int, std::string>> runs;
        for (const Text& t : wmf.texts) {
            if (!runs.empty() && runs.back().first == t.font.charset) runs.back().second += t.bytes;
            else runs.emplace_back(t.font.charset, t.bytes);
        }
        EXPECT_EQ(runs, c.wmfRuns);
        // Later runs start where the earlier ones end.
        for (size_t i = 1; i < wmf.texts.size(); ++i) {
            int advance = 0;
            for (int d : wmf.texts[i - 1].dx) advance += d;
            EXPECT_EQ(wmf.texts[i].origin.x(), wmf.texts[i - 1].origin.x() + advance);
        }
    }
}

// A metafile names the fonts as the program names them: where it is read,
// Arial is Arial, whatever stood in for it here.
TEST(MetafileRecorder, TheCanvasRecordsTheProgramsFontNames) {
    for (const char* name : {"Arial", "Courier New", "Times New Roman"}) {
        MetafileRecorder recorder(200, 200);
        {
            QPainterCanvas canvas(&recorder);
            CanvasFont font;
            font.name = name;
            font.size = 12;
            canvas.SetFont(font);
            canvas.TextOut(10, 10, "x = 1,5");
        }
        const Replay r = ReadEmf(recorder.toBytes(MetafileFormat::Emf));
        ASSERT_EQ(r.texts.size(), 1u) << name;
        EXPECT_EQ(r.texts[0].font.face, QString::fromLatin1(name));
    }
}

TEST_P(BothFormats, PensAndBrushesMapToTheirMetafileStyles) {
    const struct { QPen pen; int style, width; } pens[] = {
        {QPen(Qt::black, 1, Qt::SolidLine), 0, 1}, {QPen(Qt::black, 1, Qt::DashLine), 1, 1},
        {QPen(Qt::black, 1, Qt::DotLine), 2, 1},   {QPen(Qt::black, 1, Qt::DashDotLine), 3, 1},
        {QPen(Qt::black, 0, Qt::DashDotDotLine), 4, 0}, {QPen(Qt::black, 0), 0, 0},
    };
    const struct { QBrush brush; int style; std::uint32_t color; } brushes[] = {
        {QBrush(QColor(10, 20, 30)), 0, 0x1E140A},
        {QBrush(Qt::NoBrush), 1, 0},
        {QBrush(QColor(0, 0, 255, 0)), 1, 0},           // fully transparent fills nothing
        {QBrush(Qt::green, Qt::Dense4Pattern), 0, 0xFF00},  // no metafile brush: solid in its colour
    };
    const Replay r = Read(fmt, Record(fmt, [&](QPainter& p) {
        for (const auto& c : pens) {
            p.setPen(c.pen);
            p.drawLine(10, 10, 100, 10);
        }
        p.setPen(QColor(0, 0, 0, 0));  // fully transparent: nothing to record
        p.drawLine(10, 10, 100, 10);
        p.setPen(Qt::NoPen);
        for (const auto& c : brushes) {
            p.setBrush(c.brush);
            p.drawRect(20, 20, 50, 50);
        }
    }));
    EXPECT_EQ(Errors(r), "");
    const std::vector<Shape> lines = ShapesOf(r, "polyline"), rects = ShapesOf(r, "rectangle");
    ASSERT_EQ(lines.size(), std::size(pens));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(std::pair(lines[i].pen.style, lines[i].pen.width), std::pair(pens[i].style, pens[i].width)) << i;
    ASSERT_EQ(rects.size(), std::size(brushes));
    for (size_t i = 0; i < rects.size(); ++i) {
        EXPECT_EQ(rects[i].brush.style, brushes[i].style) << i;
        if (brushes[i].style != 1) {
            EXPECT_EQ(rects[i].brush.color, brushes[i].color) << i;
        }
        EXPECT_EQ(rects[i].pen.style, 5) << i;
    }
}

// Office programs draw a styled pen wider than a pixel solid or with dashes
// of their own; such a line goes in as its dashes, filled pieces of the
// pen's width with Qt's pattern (a dot one pen width long, two widths of gap;
// a dash four, a gap two).
TEST_P(BothFormats, WideDottedAndDashedPensGoInAsTheirDashes) {
    const struct {
        QPen pen;
        std::uint32_t colorRef;
        std::vector<std::pair<int, int>> xs;  // from and to of each piece
    } cases[] = {
        {QPen(QColor(0x80, 0x80, 0x80), 3, Qt::DotLine), 0x808080, {{0, 3}, {9, 12}, {18, 21}, {27, 30}}},
        {QPen(Qt::red, 2, Qt::DashLine), 0x0000FF, {{0, 8}, {12, 20}, {24, 30}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("width " + std::to_string(c.pen.width()));
        const Replay r = Read(fmt, Record(fmt, [&](QPainter& p) {
            p.setPen(c.pen);
            p.drawLine(0, 10, 30, 10);
        }));
        EXPECT_EQ(Errors(r), "");
        EXPECT_TRUE(ShapesOf(r, "polyline").empty());
        const std::vector<Shape> dashes = ShapesOf(r, "polypolygon");
        ASSERT_EQ(dashes.size(), 1u);
        const Shape& d = dashes.front();
        EXPECT_EQ(d.pen.style, 5);  // no outline
        EXPECT_EQ(d.brush.style, 0);
        EXPECT_EQ(d.brush.color, c.colorRef);
        ASSERT_EQ(d.counts.size(), c.xs.size());
        size_t at = 0;
        for (size_t i = 0; i < c.xs.size(); ++i) {
            QRect box;
            for (int k = 0; k < d.counts[i]; ++k) box |= QRect(d.points[at + k], QSize(1, 1));
            at += d.counts[i];
            EXPECT_EQ(box.left(), c.xs[i].first) << i;
            EXPECT_EQ(box.right(), c.xs[i].second) << i;
            EXPECT_EQ(box.height() - 1, c.pen.width()) << i;
        }
    }
}

// The box around each part of the dashes' records (right and bottom exclusive, as
// the scene gives the dots), and the most parts lying on one pixel in any record.
std::pair<std::vector<QRect>, int> DashBoxes(const std::vector<Shape>& records, int size) {
    std::vector<QRect> boxes;
    int mostCover = 0;
    for (const Shape& s : records) {
        std::vector<std::uint8_t> cover(static_cast<size_t>(size) * size);
        size_t at = 0;
        for (int count : s.counts) {
            QPoint lo(INT_MAX, INT_MAX), hi(INT_MIN, INT_MIN);
            for (int k = 0; k < count; ++k, ++at) {
                lo = QPoint(std::min(lo.x(), s.points[at].x()), std::min(lo.y(), s.points[at].y()));
                hi = QPoint(std::max(hi.x(), s.points[at].x()), std::max(hi.y(), s.points[at].y()));
            }
            boxes.emplace_back(lo, QSize(hi.x() - lo.x(), hi.y() - lo.y()));
            for (int y = std::max(lo.y(), 0); y < std::min(hi.y(), size); ++y)
                for (int x = std::max(lo.x(), 0); x < std::min(hi.x(), size); ++x)
                    mostCover = std::max<int>(mostCover, ++cover[static_cast<size_t>(y) * size + x]);
        }
    }
    return {boxes, mostCover};
}

bool ByPosition(const QRect& a, const QRect& b) {
    return std::tuple(a.top(), a.left(), a.width(), a.height()) < std::tuple(b.top(), b.left(), b.width(), b.height());
}

// The export's dotted grid: every dot as its own filled square, as many to
// a record as the format allows, never two dots overlapping in one record
// (a reader filling even-odd would leave the overlap empty), and no more
// bytes than the dots' own corners need.
TEST_P(BothFormats, TheDottedGridGoesInAsAllItsDotsInFewRecords) {
    MetafileRecorder recorder(kGridSceneSize, kGridSceneSize);
    std::vector<QRect> expected;
    Paint(recorder, [&](QPainter& p) {
        expected = DrawDottedGridScene(p, QColor(0x80, 0x80, 0x80));
        p.setPen(QPen(Qt::black, 3));
        p.drawLine(0, 900, kGridSceneSize, 900);  // the axis over it, after it in the file
    });
    const std::string bytes = recorder.toBytes(fmt);
    const Replay r = Read(fmt, bytes);
    EXPECT_EQ(Errors(r), "");

    const std::vector<Shape> records = ShapesOf(r, "polypolygon");
    EXPECT_LE(records.size(), 2u);
    for (const Shape& s : records) {
        EXPECT_EQ(s.pen.style, 5);
        EXPECT_EQ(s.brush.color, 0x808080u);
    }
    auto [boxes, mostCover] = DashBoxes(records, kGridSceneSize);
    EXPECT_EQ(mostCover, 1);
    std::sort(boxes.begin(), boxes.end(), ByPosition);
    std::sort(expected.begin(), expected.end(), ByPosition);
    EXPECT_EQ(boxes.size(), expected.size());
    EXPECT_TRUE(boxes == expected);
    ASSERT_FALSE(r.shapes.empty());
    EXPECT_EQ(r.shapes.back().kind, "polyline");

    // A dot is four 16-bit points and its corner count (32 bits in EMF, 16 in WMF).
    const size_t perDot = fmt == MetafileFormat::Emf ? 20 : 18;
    EXPECT_LE(bytes.size(), expected.size() * perDot + 1024);
}

// A dotted line longer than a record may hold goes into several, losing no dot.
TEST_P(BothFormats, AVeryLongDottedLineIsSplitIntoWholeRecords) {
    std::vector<QPointF> zigzag;
    for (int i = 0; i <= 400; ++i) zigzag.emplace_back(i % 2 == 0 ? 10 : 1990, 10 + i * 4);
    const Replay r = Read(fmt, Record(fmt, [&](QPainter& p) {
        p.setPen(QPen(Qt::blue, 2, Qt::DotLine));
        p.drawPolyline(zigzag.data(), static_cast<int>(zigzag.size()));
    }, 2000, 1700));
    EXPECT_EQ(Errors(r), "");
    const std::vector<Shape> records = ShapesOf(r, "polypolygon");
    EXPECT_GT(records.size(), 1u);
    size_t dots = 0;
    for (const Shape& s : records) {
        EXPECT_LE(s.points.size(), 32767u);
        dots += s.counts.size();
    }
    // About 400 lines of 1980 pixels with a dot every 6 pixels (corners aside).
    EXPECT_NEAR(static_cast<double>(dots), 400 * 1980 / 6.0, 400);
}

TEST_P(BothFormats, TextsCanStandOnAnOpaqueBackground) {
    for (bool opaque : {false, true}) {
        SCOPED_TRACE(opaque ? "opaque" : "transparent");
        MetafileRecorder recorder(200, 200);
        Paint(recorder, [&](QPainter& p) {
            p.setPen(Qt::black);
            p.drawText(20, 40, QStringLiteral("x"));
            p.drawLine(0, 0, 100, 100);
            p.drawText(20, 80, QStringLiteral("y"));
        });
        if (opaque) recorder.setOpaqueTextBackground(Qt::white);
        const Replay r = Read(fmt, recorder.toBytes(fmt));
        EXPECT_EQ(Errors(r), "");
        ASSERT_EQ(r.texts.size(), 2u);
        for (const Text& t : r.texts) EXPECT_EQ(t.bkMode, opaque ? 2 : 1);
        EXPECT_EQ(ShapesOf(r, "polyline").size(), 1u);
    }
}

// Readers on Linux fill hatched brushes solid, so hatchings are recorded as their lines.
TEST_P(BothFormats, HatchingsBecomeLinesInsideTheShape) {
    const struct {
        Qt::BrushStyle style;
        std::set<std::pair<int, int>> directions;  // of the lines, as (sign dx, sign dy)
    } cases[] = {
        {Qt::HorPattern, {{1, 0}}},           {Qt::VerPattern, {{0, 1}}},
        {Qt::FDiagPattern, {{1, 1}}},         {Qt::BDiagPattern, {{1, -1}}},
        {Qt::CrossPattern, {{1, 0}, {0, 1}}}, {Qt::DiagCrossPattern, {{1, 1}, {1, -1}}},
    };
    const QPolygonF triangle({QPointF(20, 20), QPointF(180, 40), QPointF(60, 170)});
    for (const auto& c : cases) {
        SCOPED_TRACE("brush style " + std::to_string(c.style));
        const Replay r = Read(fmt, Record(fmt, [&](QPainter& p) {
            p.setPen(QPen(Qt::blue, 2));
            p.setBrush(QBrush(QColor(200, 0, 0), c.style));
            p.drawPolygon(triangle);
        }));
        EXPECT_EQ(Errors(r), "");
        const std::vector<Shape> outline = ShapesOf(r, "polygon");
        ASSERT_EQ(outline.size(), 1u);
        EXPECT_EQ(outline[0].brush.style, 1);
        EXPECT_EQ(outline[0].pen.width, 2);
        std::set<std::pair<int, int>> directions;
        int segments = 0;
        for (const Shape& s : r.shapes) {
            if (s.kind != "polyline" && s.kind != "polypolyline") continue;
            EXPECT_EQ(s.pen.color, 0x0000C8u);
            EXPECT_EQ(s.pen.width, 0);
            for (size_t i = 0; i + 1 < s.points.size(); i += 2) {
                const QPoint a = s.points[i], b = s.points[i + 1];
                const QPoint d = b.x() < a.x() ? a - b : b - a;
                directions.insert({d.x() > 0 ? 1 : 0, d.y() > 0 ? 1 : d.y() < 0 ? -1 : 0});
                // On or inside the outline: within a pixel of its edges at most.
                for (QPoint q : {a, b}) {
                    bool inside = triangle.containsPoint(q, Qt::OddEvenFill);
                    for (int i = 0; i < 3 && !inside; ++i) {
                        const QLineF edge(triangle[i], triangle[(i + 1) % 3]);
                        const QPointF n = QPointF(-edge.dy(), edge.dx()) / edge.length();
                        inside = std::abs(QPointF::dotProduct(QPointF(q) - edge.p1(), n)) <= 1.0;
                    }
                    EXPECT_TRUE(inside) << q.x() << "," << q.y();
                }
                ++segments;
                EXPECT_TRUE(c.style != Qt::HorPattern || a.y() % 8 == 0) << a.y();
            }
        }
        EXPECT_EQ(directions, c.directions);
        EXPECT_GT(segments, 10);
    }
    // With an opaque background the gaps are filled first, as on the screen.
    const Replay opaque = Read(fmt, Record(fmt, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QBrush(Qt::red, Qt::HorPattern));
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::yellow);
        p.drawRect(10, 10, 100, 50);
    }));
    ASSERT_GE(opaque.shapes.size(), 2u);
    EXPECT_EQ(opaque.shapes.front().brush.style, 0);
    EXPECT_EQ(opaque.shapes.front().brush.color, 0x00FFFFu);
    EXPECT_EQ(opaque.shapes.back().kind, fmt == MetafileFormat::Emf ? "polypolyline" : "polyline");
    EXPECT_EQ(opaque.shapes.back().pen.color, 0x0000FFu);
}

TEST_P(BothFormats, TwentyThousandPolygonsKeepTheObjectTableSmall) {
    MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
    Paint(recorder, [&](QPainter& p) {
        // The graph's plot clip around it, so objects also live across saved contexts.
        p.setClipRect(50, 50, 1100, 700);
        DrawPolygonScene(p);
    });
    const std::string bytes = recorder.toBytes(fmt);
    const Replay r = Read(fmt, bytes);
    EXPECT_EQ(Errors(r), "");
    EXPECT_EQ(ShapesOf(r, "polygon").size(), 20000u);
    EXPECT_LE(r.declaredHandles, 33);
    EXPECT_LE(r.mostLiveObjects, r.declaredHandles);
    std::cout << "[ size     ] 20,000 polygons as " << Name(fmt) << ": " << bytes.size() << " bytes\n";
    ::testing::Test::RecordProperty(std::string(Name(fmt)) + "_bytes", static_cast<int>(bytes.size()));
}

TEST_P(BothFormats, ChangingClipsRestoreTheContextWithoutLosingObjects) {
    const Replay r = Read(fmt, Record(fmt, [](QPainter& p) {
        // More colours under one clip than the object table holds, so objects selected
        // before the SaveDC would be the first to go if nothing kept them.
        for (int i = 0; i < 120; ++i) {
            if (i % 50 == 10) p.setClipRect(i, i, 100, 100);
            if (i == 115) p.setClipping(false);
            p.setBrush(QColor(i, 255 - i, 2 * i % 256));
            p.setPen(QColor(i, i, 0));
            p.drawRect(i, i, 20, 20);
        }
        p.setClipRect(5, 5, 50, 50);
        p.save();
        p.setClipRect(QRectF(10, 10, 100, 100), Qt::IntersectClip);
        p.drawEllipse(0, 0, 80, 80);
        p.restore();
        p.drawEllipse(0, 0, 80, 80);
    }));
    EXPECT_EQ(Errors(r), "");
    const std::vector<Shape> ellipses = ShapesOf(r, "ellipse");
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].clip, QRect(10, 10, 45, 45));  // the intersection
    EXPECT_EQ(ellipses[1].clip, QRect(5, 5, 50, 50));    // back after restore
    EXPECT_EQ(ShapesOf(r, "rectangle").size(), 120u);
}

// WMF coordinates are clamped to 16 bits and its polylines split at shared
// points; EMF keeps 32-bit coordinates (within the recorder's own limit).
TEST(MetafileRecorder, WmfKeepsToItsSixteenBitLimits) {
    auto draw = [](QPainter& p) {
        p.drawLine(QPointF(-100000, 10), QPointF(100000, 1e300));
        p.drawLine(QPointF(0, 0), QPointF(std::nan(""), 5));
    };
    std::vector<Shape> wmf = ShapesOf(ReadWmf(Record(MetafileFormat::Wmf, draw)), "polyline");
    ASSERT_EQ(wmf.size(), 2u);
    EXPECT_EQ(wmf[0].points, (std::vector<QPoint>{{-32768, 10}, {32767, 32767}}));
    EXPECT_EQ(wmf[1].points[1].x(), 32767);
    std::vector<Shape> emf = ShapesOf(ReadEmf(Record(MetafileFormat::Emf, draw)), "polyline");
    ASSERT_EQ(emf.size(), 2u);
    EXPECT_EQ(emf[0].points[0], QPoint(-100000, 10));
    EXPECT_GT(emf[0].points[1].y(), 100000);

    std::vector<QPointF> pts;
    for (int i = 0; i < 40000; ++i) pts.emplace_back(i % 2000, i / 2000 + (i % 2) * 3);
    auto polyline = [&](QPainter& p) { p.drawPolyline(pts.data(), static_cast<int>(pts.size())); };
    wmf = ShapesOf(ReadWmf(Record(MetafileFormat::Wmf, polyline)), "polyline");
    ASSERT_EQ(wmf.size(), 2u);
    EXPECT_EQ(wmf[0].points.size(), 32767u);
    EXPECT_EQ(wmf[0].points.back(), wmf[1].points.front());
    EXPECT_EQ(wmf[0].points.size() + wmf[1].points.size(), 40001u);
    emf = ShapesOf(ReadEmf(Record(MetafileFormat::Emf, polyline)), "polyline");
    ASSERT_EQ(emf.size(), 1u);
    EXPECT_EQ(emf[0].points.size(), 40000u);
}

TEST_P(BothFormats, TransformsScaleGeometryPensAndFonts) {
    const Replay r = Read(fmt, Record(fmt, [](QPainter& p) {
        p.translate(10, 20);
        p.scale(2, 2);
        p.setPen(QPen(Qt::black, 1.5));
        p.drawLine(QPointF(0, 0), QPointF(10, 0));
        QFont font("Arial");
        font.setPixelSize(12);
        p.setFont(font);
        p.drawText(QPointF(5, 5), "x");
        p.rotate(-90);
        p.drawText(QPointF(0, 0), "y");
    }));
    const std::vector<Shape> lines = ShapesOf(r, "polyline");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, (std::vector<QPoint>{{10, 20}, {30, 20}}));
    EXPECT_EQ(lines[0].pen.width, 3);
    ASSERT_EQ(r.texts.size(), 2u);
    EXPECT_EQ(r.texts[0].origin, QPoint(20, 30));
    EXPECT_EQ(r.texts[0].font.height, -24);
    EXPECT_EQ(r.texts[0].font.escapement, 0);
    EXPECT_EQ(r.texts[1].font.escapement, 900);  // upwards
}

TEST_P(BothFormats, TextDecorationAndBackgroundGoIntoFontAndContext) {
    const Replay r = Read(fmt, Record(fmt, [](QPainter& p) {
        QFont font("Arial", 12, QFont::Bold, true);
        font.setUnderline(true);
        font.setStrikeOut(true);
        p.setFont(font);
        p.drawText(QPointF(10, 30), "unterstrichen");
        p.setFont(QFont("Arial", 12));
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(Qt::yellow);
        p.drawText(QPointF(10, 60), "deckend");
    }));
    EXPECT_EQ(Errors(r), "");
    ASSERT_EQ(r.texts.size(), 2u);
    const LogFont& f = r.texts[0].font;
    EXPECT_TRUE(f.underline && f.strikeOut && f.italic);
    EXPECT_EQ(f.weight, 700);
    EXPECT_TRUE(ShapesOf(r, "polyline").empty());  // no second underline drawn as a line
    EXPECT_EQ(r.texts[0].bkMode, 1);
    EXPECT_EQ(r.texts[1].bkMode, 2);
    EXPECT_FALSE(r.texts[1].font.underline);
}

TEST_P(BothFormats, EmptyAndDegeneratePicturesAreStillValidFiles) {
    MetafileRecorder empty(0, -5);
    EXPECT_EQ(empty.width(), 1);
    EXPECT_TRUE(empty.isEmpty());
    const Replay r = Read(fmt, empty.toBytes(fmt));
    EXPECT_EQ(Errors(r), "");
    EXPECT_FALSE(r.hasBounds);
    EXPECT_TRUE(r.shapes.empty());
}

TEST(MetafileRecorder, SavesAtomicallyAndReportsFailure) {
    QTemporaryDir dir;
    MetafileRecorder recorder(100, 100);
    Paint(recorder, [&](QPainter& p) { p.drawEllipse(10, 10, 50, 50); });
    const std::string path = dir.filePath("bild.emf").toStdString();
    ASSERT_TRUE(recorder.save(path, MetafileFormat::Emf).ok);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), recorder.toEmf());

    const WriteResult failed = recorder.save(dir.filePath("fehlt/bild.wmf").toStdString(), MetafileFormat::Wmf);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error.find("kann nicht geschrieben werden"), std::string::npos);

    // Writing a large picture takes a while: an output the user cancels on
    // the way writes nothing, and the file stays as it was.
    MetafileRecorder large(1000, 1000);
    Paint(large, [&](QPainter& p) {
        for (int i = 0; i < 5000; ++i) p.drawLine(i % 1000, 0, 0, i % 997);
    });
    struct : WorkProgress {
        bool Progress(const CancellableWork&, long long) override { return false; }
        void Finished(const CancellableWork&) override {}
    } abbrechen;
    WorkProgress* const before = SetWorkProgress(&abbrechen);
    for (const MetafileFormat format : {MetafileFormat::Emf, MetafileFormat::Wmf}) {
        CancellableWork work("Die Grafik wird gespeichert");
        const WriteResult cancelled = large.save(path, format);
        EXPECT_TRUE(work.Cancelled());
        EXPECT_FALSE(cancelled.ok);
        EXPECT_EQ(cancelled.error, "");
    }
    SetWorkProgress(before);
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), recorder.toEmf());
    EXPECT_FALSE(large.toEmf().empty());

    EXPECT_EQ(MetafileRecorder::FormatForFileName("a/bild.EMF"), MetafileFormat::Emf);
    EXPECT_EQ(MetafileRecorder::FormatForFileName("bild.neu.wmf"), MetafileFormat::Wmf);
    EXPECT_EQ(MetafileRecorder::FormatForFileName("bild"), MetafileFormat::Wmf);
}

struct SvgText { QPointF at; QString text; };

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

// The boxes of the closed parts of the filled paths an SVG shows in one colour.
std::vector<QRectF> FilledBoxes(const QString& svgPath, const QString& fill) {
    QFile file(svgPath);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QString all = QString::fromUtf8(file.readAll());
    static const QRegularExpression path(R"re(<path d="([^"]*)"([^>]*)>)re");
    std::vector<QRectF> boxes;
    for (auto it = path.globalMatch(all); it.hasNext();) {
        const auto m = it.next();
        if (!m.captured(2).contains(fill)) continue;
        for (const QString& part : m.captured(1).split(QLatin1Char('Z'), Qt::SkipEmptyParts)) {
            const std::vector<QPointF> pts = Numbers(part);
            if (pts.empty()) continue;
            QPointF lo = pts.front(), hi = pts.front();
            for (const QPointF& q : pts) {
                lo = QPointF(std::min(lo.x(), q.x()), std::min(lo.y(), q.y()));
                hi = QPointF(std::max(hi.x(), q.x()), std::max(hi.y(), q.y()));
            }
            boxes.emplace_back(lo, hi);
        }
    }
    return boxes;
}

TEST_F(OutsideReaders, ShowEveryDotOfTheDottedGrid) {
    MetafileRecorder recorder(kGridSceneSize, kGridSceneSize);
    std::vector<QRect> expected;
    Paint(recorder, [&](QPainter& p) { expected = DrawDottedGridScene(p, QColor(0x80, 0x80, 0x80)); });
    std::sort(expected.begin(), expected.end(), ByPosition);
    const QString emf = dir.filePath("gitter.emf"), wmf = dir.filePath("gitter.wmf");
    ASSERT_TRUE(recorder.save(emf.toStdString(), MetafileFormat::Emf).ok);
    ASSERT_TRUE(recorder.save(wmf.toStdString(), MetafileFormat::Wmf).ok);
    ASSERT_EQ(Convert("emf2svg-conv", {"-i", emf, "-o", emf + ".svg"}), 0);
    ASSERT_EQ(Convert("wmf2svg", {"--wmf-gs-fontmap=" + WriteFontMap(dir), "-o", wmf + ".svg", wmf}), 0);

    // emf2svg keeps the picture's pixels; libwmf scales them, here by the span of all dots.
    const struct {
        QString svg, fill;
    } readers[] = {{emf + ".svg", "fill=\"#808080\""}, {wmf + ".svg", "fill:gray;"}};
    for (const auto& reader : readers) {
        SCOPED_TRACE(reader.svg.toStdString());
        const std::vector<QRectF> shown = FilledBoxes(reader.svg, reader.fill);
        ASSERT_EQ(shown.size(), expected.size());
        QRectF span = shown.front(), wanted = QRectF(expected.front());
        for (const QRectF& b : shown) span |= b;
        for (const QRect& e : expected) wanted |= QRectF(e);
        const double sx = wanted.width() / span.width(), sy = wanted.height() / span.height();
        std::vector<QRect> dots;
        for (const QRectF& b : shown) {
            auto x = [&](double v) { return static_cast<int>(std::lround(wanted.left() + (v - span.left()) * sx)); };
            auto y = [&](double v) { return static_cast<int>(std::lround(wanted.top() + (v - span.top()) * sy)); };
            dots.emplace_back(QPoint(x(b.left()), y(b.top())),
                              QSize(x(b.right()) - x(b.left()), y(b.bottom()) - y(b.top())));
        }
        std::sort(dots.begin(), dots.end(), ByPosition);
        EXPECT_TRUE(dots == expected);
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
