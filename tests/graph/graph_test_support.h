#pragma once
// A clean program state drawing onto a recording canvas of 600 x 600 pixels.

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "canvas_recording.h"
#include "graph_state.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"
#include "view.h"

namespace kalvo {

inline void SetWindow(double x1, double x2, double y1, double y2) {
    gView.BereichX1 = x1;
    gView.BereichX2 = x2;
    gView.BereichY1 = y1;
    gView.BereichY2 = y2;
}

class GraphTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_graph";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }

    void SetUp() override {
        ResetProgramState();
        ResetGraphState();
        InitTermTrees();
        gOutput.AusgabeCanvas = &canvas;
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
    }
    void TearDown() override { gOutput.AusgabeCanvas = nullptr; }

    // Only slot i is drawn, in colour c.
    static void OnlySlot(int i, Color c = 0x0000FF) {
        gDisplay.Schaubilder = SchaubildTabelle{};
        gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{c, 0, true};
    }

    // A redraw from scratch onto the recording canvas.
    void Repaint(bool all = false) {
        canvas.ClearRecords();
        GrafikZeichnen(all);
    }
    std::vector<CanvasRecord> Records(CanvasRecord::Kind kind) {
        std::vector<CanvasRecord> out;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == kind) out.push_back(r);
        return out;
    }
    std::vector<CanvasRecord> Polylines(Color c) {
        std::vector<CanvasRecord> out;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == CanvasRecord::Kind::Polyline && r.pen.color == c) out.push_back(r);
        return out;
    }
    std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == CanvasRecord::Kind::Text) out.push_back(r.text);
        return out;
    }
    size_t Count(CanvasRecord::Kind kind) { return Records(kind).size(); }
    // The first and the last point of a line.
    static std::pair<CanvasPoint, CanvasPoint> Ends(const CanvasRecord& r) {
        return {r.points.front(), r.points.back()};
    }
    // The device pixel of a world point in the current transform.
    static CanvasPoint Pixel(double x, double y) {
        double px, py;
        WorldToPixel(x, y, px, py);
        return CanvasPoint{DeviceX(px), DeviceY(py)};
    }
    bool HasText(const std::string& s) {
        const auto t = Texts();
        return std::find(t.begin(), t.end(), s) != t.end();
    }

    RecordingCanvas canvas;
};

}  // namespace kalvo
