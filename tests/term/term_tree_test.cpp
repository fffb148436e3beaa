#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "canvas_recording.h"
#include "message_sink.h"
#include "program_state.h"
#include "term.h"
#include "term_tree_drawing.h"
#include "term_tree_window.h"

namespace kalvo {
namespace {

class TermTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        InitTermTrees();
    }

    const TermNode* Parse(const std::string& text) {
        EXPECT_TRUE(ParseTerm(tree, text, true)) << text;
        return tree.Root();
    }

    Termbaum tree;
};

std::string PreorderLabels(const TermNode* node) {
    if (!node) return {};
    std::string s = TermNodeLabel(*node);
    for (const TermNode* child : {node->Left.get(), node->Right.get()})
        if (child) s += " " + PreorderLabels(child);
    return s;
}

std::vector<const CanvasRecord*> Texts(RecordingCanvas& canvas) {
    std::vector<const CanvasRecord*> texts;
    for (const CanvasRecord& r : canvas.Records())
        if (r.kind == CanvasRecord::Kind::Text) texts.push_back(&r);
    return texts;
}

std::string Repeat(const std::string& unit, int n, const std::string& sep) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? sep : "") + unit;
    return s;
}

TEST_F(TermTreeTest, LabelsShowWhatTheParserRead) {
    const std::pair<const char*, const char*> cases[] = {
        {"x^2+1", "+ ^ x 2 1"}, {"-x", "*(-1) x"}, {"-2^2", "*(-1) ^ 2 2"}, {"2^3^2", "^ ^ 2 3 2"},
        {"(x+1)(x-1)", "* + x 1 - x 1"}, {"2,5x", "* 2,5 x"}, {"1e3+0.125", "+ 1000 0,125"},
        {"2pi", "* 2 \u03C0"},  // the pi sign reads π
        {"a+b*c-d/e", "- + a * b c / d e"}, {"wurzel(t)+sign(n)", "+ sqrt t sgn n"}, {"3sin(x)", "* 3 sin x"},
    };
    for (const auto& [term, labels] : cases) EXPECT_EQ(PreorderLabels(Parse(term)), labels) << term;
    // The picture shows the pi sign as π.
    RecordingCanvas canvas;
    DrawTermbaumBild(canvas, "cos(a*2*\xC2\xB6)", Parse("cos(a*2*\xC2\xB6)"), 800, CanvasRect{10, 10, 790, 590});
    const auto texts = Texts(canvas);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front()->text, "f(x)=cos(a*2*\u03C0)");
    EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const CanvasRecord* t) { return t->text == "\u03C0"; }), 1);
    for (const CanvasRecord* t : texts) EXPECT_EQ(t->text.find("\xC2\xB6"), std::string::npos) << t->text;
    // Every function's label reads back as its code.
    for (uint16_t code = TermNodeKind::FirstFunction; code <= TermNodeKind::LastFunction; ++code) {
        const std::string name = FunctionCodeName(code);
        ASSERT_FALSE(name.empty()) << code;
        const TermNode* root = Parse(name + "(x)");
        ASSERT_NE(root, nullptr) << name;
        EXPECT_EQ(root->Kind, code) << name;
    }
    // Codes outside the functions have no name.
    for (uint16_t code : {0, 1, 9, 39, 42, 105}) EXPECT_EQ(FunctionCodeName(code), "") << code;
}

TEST_F(TermTreeTest, ATreeWithRoomIsDrawnWithHalvingOffsetsAndALineToEachChild) {
    RecordingCanvas canvas;
    const TermNode* root = Parse("x^2+1");
    DrawTermbaumBild(canvas, "x^2+1", root, 800, CanvasRect{10, 10, 790, 590});
    const auto texts = Texts(canvas);
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0]->text, "f(x)=x^2+1");
    EXPECT_EQ(texts[0]->at, (CanvasPoint{20, 20}));
    EXPECT_TRUE(texts[1]->font.bold);
    EXPECT_EQ(texts[1]->font.name, "Courier New");
    const std::map<std::string, CanvasPoint> centres = {
        {"+", {400, 40}}, {"^", {200, 100}}, {"1", {600, 100}}, {"x", {100, 160}}, {"2", {300, 160}}};
    for (size_t i = 1; i < texts.size(); ++i) {
        const CanvasPoint want = centres.at(texts[i]->text);
        EXPECT_EQ(texts[i]->at.x, want.x - canvas.TextExtent(texts[i]->text).width / 2) << texts[i]->text;
        EXPECT_EQ(texts[i]->at.y, want.y) << texts[i]->text;
    }
    // Four edges, no lines hanging from the leaves; each from below its parent's label to the child's top.
    const int h = canvas.TextExtent("H").height;
    std::vector<std::vector<CanvasPoint>> lines;
    for (const CanvasRecord& r : canvas.Records())
        if (r.kind == CanvasRecord::Kind::Polyline) lines.push_back(r.points);
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a[1].x < b[1].x; });
    const std::vector<std::vector<CanvasPoint>> want = {
        {{200, 100 + h}, {100, 160}}, {{400, 40 + h}, {200, 100}}, {{200, 100 + h}, {300, 160}},
        {{400, 40 + h}, {600, 100}}};
    EXPECT_EQ(lines, want);
}

TEST_F(TermTreeTest, ATreeWithoutRoomIsSqueezedOrCutIntoTheAreaWithoutOverlaps) {
    const std::string longTerm =
        "x^3-2x^2+5sin(x)*cos(2x)-sqrt(abs(x))+ln(x^2+1)/(x-3)+exp(-x^2/2)*t+arctan(3x)-0,5x^4+1/(1+x^2)-2^x+a*b-"
        "cos(pi*x)^2+d/c";
    struct Case { std::string term; CanvasRect area; bool cut; };
    const Case cases[] = {
        {longTerm, {10, 10, 1270, 790}, false}, {longTerm, {10, 10, 790, 590}, false},
        {longTerm, {10, 10, 290, 190}, true}, {Repeat("x", 3000, "+"), {10, 10, 790, 590}, true},
        {Repeat("sin(", 60, "") + "x" + std::string(60, ')'), {10, 10, 790, 590}, true},
        {Repeat("-(", 200, "") + "x" + std::string(200, ')'), {10, 10, 1270, 790}, true},
        {"sin(x)+cos(x)+tan(x)+x^2*3-1", {10, 10, 390, 590}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term.substr(0, 40));
        RecordingCanvas canvas;
        const TermNode* root = Parse(c.term);
        DrawTermbaumBild(canvas, c.term, root, c.area.right + 10, c.area);
        const int h = canvas.TextExtent("H").height;
        auto texts = Texts(canvas);
        texts.erase(texts.begin());  // the term
        bool marked = false;
        std::map<int, std::vector<std::pair<int, int>>> rows;
        for (const CanvasRecord* t : texts) {
            const int w = canvas.TextExtent(t->text).width;
            EXPECT_GE(t->at.x, c.area.left) << t->text;
            EXPECT_LE(t->at.x + w, c.area.right) << t->text;
            EXPECT_GE(t->at.y, 40);
            EXPECT_LE(t->at.y + h, c.area.bottom) << t->text;
            marked |= t->text.ends_with("\xE2\x80\xA6");
            rows[t->at.y].emplace_back(t->at.x, t->at.x + w);
        }
        EXPECT_EQ(marked, c.cut);
        if (!c.cut) {
            const std::string all = PreorderLabels(root);
            EXPECT_EQ(texts.size(), std::count(all.begin(), all.end(), ' ') + 1u) << "every node";
        }
        for (auto& [y, row] : rows) {
            std::sort(row.begin(), row.end());
            for (size_t i = 1; i < row.size(); ++i) EXPECT_GE(row[i].first, row[i - 1].second) << "row " << y;
        }
        const auto& records = canvas.Records();
        EXPECT_EQ(std::count_if(records.begin(), records.end(),
                                [](const auto& r) { return r.kind == CanvasRecord::Kind::Polyline; }),
                  static_cast<long>(texts.size()) - 1)
            << "a line to each child";
    }
}

TEST_F(TermTreeTest, AnyDepthIsDrawnWithoutRecursion) {
    // Deep enough that a recursive walk would overflow the stack.
    const TermNode* root = Parse(Repeat("x", 100000, "+"));
    NullCanvas canvas;
    DrawTermbaum(canvas, root, 400, 40, 200);
    DrawTermbaumBild(canvas, "x+x+x", root, 800, CanvasRect{10, 10, 790, 590});
    DrawTermbaumBild(canvas, "", nullptr, 800, CanvasRect{10, 10, 790, 590});
}

class TermbaumWindowTest : public TermTreeTest {
protected:
    MessageRecorder messages;
};

TEST_F(TermbaumWindowTest, ShowsTheMainTermInATreeOfItsOwnAndZeroForAFaultyOne) {
    // Term, its text as shown (empty: as given), labels, value at x = 2.
    const std::tuple<std::string, std::string, const char*, double> cases[] = {
        {"x^2+1", "", "+ ^ x 2 1", 5}, {"", "", "0", 0}, {"2x+", "", "0", 0}, {"sin(", "", "0", 0},
        {Repeat("sin(x)", 17, "+"), "", nullptr, 17 * std::sin(2.0)},  // as long as a term may be
        // As typed, not yet read: shown as the field shows it after Enter.
        {"X^2 + 1", "x^2+1", "+ ^ x 2 1", 5}, {" 2 * PI * X", "2*\xC2\xB6*x", "* * 2 \xCF\x80 x", 4 * M_PI},
        {"0.5 X {Gerade}", "0,5x{Gerade}", "* 0,5 x", 1}, {"SIN( X", "sin(x", "0", 0},
    };
    for (const auto& [term, shown, labels, atTwo] : cases) {
        SCOPED_TRACE(term);
        ParseTerm(FunktionTermbaum, "cos(x)", true);  // what a redraw may have left there
        gTerms.TermF = term;
        TForm19 form;
        EXPECT_EQ(form.windowTitle(), "Termbaum");
        EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(form.TermText(), shown.empty() ? term : shown);
        if (labels) {
            EXPECT_EQ(PreorderLabels(form.Tree().Root()), labels);
        }
        EXPECT_NEAR(EvalTerm(form.Tree(), 2, 0, 0, 0, 0), atTwo, 1e-12);
        // The program's own tree is compiled anew by every redraw; the
        // window's picture stays that of its term.
        form.setWindowState(Qt::WindowNoState);
        form.resize(400, 300);
        form.show();
        const QImage before = form.grab().toImage();
        ParseTerm(FunktionTermbaum, "sin(x)*x", true);
        EXPECT_EQ(form.grab().toImage(), before);
        EXPECT_EQ(PreorderLabels(FunktionTermbaum.Root()), "* sin x x");
        // Nothing is drawn into the margin.
        const QImage image = before.convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.width(), 400);
        int inkInside = 0, inkInMargin = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
                const bool margin = x < 10 || y < 10 || x >= 390 || y >= 290;
                (margin ? inkInMargin : inkInside)++;
            }
        EXPECT_GT(inkInside, 100);
        EXPECT_EQ(inkInMargin, 0);
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(TermbaumWindowTest, AClickAnywhereOrEscClosesTheModalWindow) {
    const std::function<void(TForm19&)> closers[] = {
        [](TForm19& f) { QTest::mouseClick(&f, Qt::LeftButton, {}, QPoint(f.width() / 2, f.height() / 2)); },
        [](TForm19& f) { QTest::keyClick(&f, Qt::Key_Escape); },
    };
    for (const auto& close : closers) {
        TForm19 form;
        bool ran = false;
        QTimer::singleShot(0, &form, [&] {
            ran = true;
            close(form);
        });
        form.exec();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(form.isVisible());
    }
}

}  // namespace
}  // namespace kalvo
