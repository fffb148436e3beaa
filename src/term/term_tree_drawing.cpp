#include "term_tree_drawing.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

#include "canvas.h"
#include "decimal.h"
#include "number_text.h"
#include "term.h"

namespace kalvo {

namespace {

namespace K = TermNodeKind;

// Labels of one level closer than this count as overlapping.
constexpr int kLabelGap = 4;
// The tidy layout keeps at least this much line between two levels.
constexpr int kMinLineLength = 10;
constexpr std::string_view kCutMark = "\xE2\x80\xA6";  // "…"

struct PlacedNode {
    const TermNode* node = nullptr;
    long long x = 0;  // centre of the label
    long long y = 0;  // top of the label
    int width = 0;
    int parent = -1;
    std::string label;
};

int ToCanvas(long long v) { return ClampToInt(static_cast<double>(v), -(1 << 29), 1 << 29); }

// The number of levels below the root.
int TreeDepth(const TermNode* root) {
    int depth = 0;
    std::vector<std::pair<const TermNode*, int>> stack{{root, 0}};
    while (!stack.empty()) {
        const auto [node, level] = stack.back();
        stack.pop_back();
        depth = std::max(depth, level);
        if (node->Left) stack.emplace_back(node->Left.get(), level + 1);
        if (node->Right) stack.emplace_back(node->Right.get(), level + 1);
    }
    return depth;
}

std::vector<PlacedNode> HalvingLayout(Canvas& canvas, const TermNode* root, int x, int y, int dx) {
    struct Pending {
        const TermNode* node;
        int parent;
        long long x, y, dx;
    };
    std::vector<PlacedNode> placed;
    std::vector<Pending> stack{{root, -1, x, y, dx}};
    while (!stack.empty()) {
        const Pending p = stack.back();
        stack.pop_back();
        PlacedNode n{p.node, p.x, p.y, 0, p.parent, TermNodeLabel(*p.node)};
        n.width = canvas.TextExtent(n.label).width;
        placed.push_back(std::move(n));
        const int self = static_cast<int>(placed.size()) - 1;
        const long long childY = p.y + kTermbaumLevelStep;
        if (p.node->Right) stack.push_back({p.node->Right.get(), self, p.x + p.dx, childY, p.dx / 2});
        if (p.node->Left) stack.push_back({p.node->Left.get(), self, p.x - p.dx, childY, p.dx / 2});
    }
    return placed;
}

bool FitsInto(const std::vector<PlacedNode>& nodes, const CanvasRect& area, int h) {
    std::unordered_map<long long, std::vector<std::pair<long long, long long>>> levels;
    for (const PlacedNode& n : nodes) {
        const long long left = n.x - n.width / 2, right = left + n.width;
        if (left < area.left || right > area.right || n.y < area.top || n.y + h > area.bottom) return false;
        levels[n.y].emplace_back(left, right);
    }
    for (auto& [y, boxes] : levels) {
        std::sort(boxes.begin(), boxes.end());
        for (size_t i = 1; i < boxes.size(); ++i)
            if (boxes[i].first < boxes[i - 1].second + kLabelGap) return false;
    }
    return true;
}

// A tidy layout: a single operand straight below its node, two operands as
// close together as the outlines of their subtrees allow, the node between
// them; only `levels` levels. Built bottom-up without recursion: each
// subtree keeps, for each of its levels, how far it reaches to the left and
// to the right of its root.
std::vector<PlacedNode> TidyLayout(Canvas& canvas, const TermNode* root, int levels, int top, int step,
                                   const CanvasRect& area) {
    struct Outline {
        std::vector<long long> left, right;
    };
    std::vector<PlacedNode> placed;  // parents before their children
    std::vector<std::array<int, 2>> children;
    std::vector<long long> offset;   // from the parent's centre
    struct Pending {
        const TermNode* node;
        int parent, level;
    };
    std::vector<Pending> stack{{root, -1, 0}};
    while (!stack.empty()) {
        const auto [n, parent, level] = stack.back();
        stack.pop_back();
        PlacedNode p{n, 0, top + static_cast<long long>(level) * step, 0, parent, TermNodeLabel(*n)};
        const bool cut = level + 1 >= levels;
        if (cut && (n->Left || n->Right)) p.label += kCutMark;
        p.width = canvas.TextExtent(p.label).width;
        const int self = static_cast<int>(placed.size());
        placed.push_back(std::move(p));
        children.push_back({-1, -1});
        offset.push_back(0);
        if (parent >= 0) {
            auto& slots = children[static_cast<size_t>(parent)];
            (slots[0] < 0 ? slots[0] : slots[1]) = self;
        }
        if (cut) continue;
        // The left operand first, so it takes the first slot.
        for (const TermNode* child : {n->Right.get(), n->Left.get()})
            if (child) stack.push_back({child, self, level + 1});
    }

    const long long gap = std::max(kLabelGap, canvas.TextExtent("  ").width);
    std::vector<Outline> outlines(placed.size());
    for (size_t i = placed.size(); i-- > 0;) {
        Outline& o = outlines[i];
        const long long w = placed[i].width;
        o.left = {-(w / 2)};
        o.right = {w - w / 2};
        const auto [a, b] = children[i];
        if (a < 0) continue;
        if (b >= 0) {
            const Outline &oa = outlines[static_cast<size_t>(a)], &ob = outlines[static_cast<size_t>(b)];
            long long apart = 0;
            for (size_t d = 0; d < std::min(oa.right.size(), ob.left.size()); ++d)
                apart = std::max(apart, oa.right[d] - ob.left[d] + gap);
            offset[static_cast<size_t>(a)] = -(apart / 2);
            offset[static_cast<size_t>(b)] = apart - apart / 2;
        }
        for (const int c : {a, b}) {
            if (c < 0) continue;
            Outline& oc = outlines[static_cast<size_t>(c)];
            const long long off = offset[static_cast<size_t>(c)];
            for (size_t d = 0; d < oc.left.size(); ++d) {
                if (o.left.size() <= d + 1) {
                    o.left.push_back(oc.left[d] + off);
                    o.right.push_back(oc.right[d] + off);
                } else {
                    o.left[d + 1] = std::min(o.left[d + 1], oc.left[d] + off);
                    o.right[d + 1] = std::max(o.right[d + 1], oc.right[d] + off);
                }
            }
            oc = Outline{};
        }
    }
    for (size_t i = 1; i < placed.size(); ++i)
        placed[i].x = placed[static_cast<size_t>(placed[i].parent)].x + offset[i];

    // The root in the middle of the area where the tree has room; squeezed
    // into the area where it has not.
    const long long minX = *std::min_element(outlines[0].left.begin(), outlines[0].left.end());
    const long long maxX = *std::max_element(outlines[0].right.begin(), outlines[0].right.end());
    const long long first = area.left + kLabelGap, last = area.right - kLabelGap;
    const double scale = std::min(1.0, static_cast<double>(std::max(1LL, last - first)) / std::max(1LL, maxX - minX));
    long long shift = (area.left + area.right) / 2;
    shift = std::max(shift, first - static_cast<long long>(minX * scale));
    shift = std::min(shift, last - static_cast<long long>(maxX * scale));
    for (PlacedNode& p : placed) {
        p.x = shift + static_cast<long long>(p.x * scale);
        // Squeezed, a wide label at either end would reach over the edge.
        p.x = std::max<long long>(p.x, area.left + p.width / 2);
        p.x = std::min<long long>(p.x, area.right - (p.width - p.width / 2));
    }
    return placed;
}

void DrawPlaced(Canvas& canvas, const std::vector<PlacedNode>& nodes, int h) {
    canvas.SetPen(0, 1, PenStyle::Solid);
    for (const PlacedNode& n : nodes) {
        if (n.parent < 0) continue;
        const PlacedNode& p = nodes[static_cast<size_t>(n.parent)];
        canvas.MoveTo(ToCanvas(p.x), ToCanvas(p.y + h));
        canvas.LineTo(ToCanvas(n.x), ToCanvas(n.y));
    }
    for (const PlacedNode& n : nodes) canvas.TextOut(ToCanvas(n.x - n.width / 2), ToCanvas(n.y), n.label);
}

}  // namespace

std::string FunctionCodeName(uint16_t code) {
    static const char* const kNames[] = {
        "ln",     "lg",     "ld",     "exp",  "sin",  "cos",  "tan",    "cot",  "arcsin", "arccos",
        "arctan", "arccot", "sinh",   "cosh", "tanh", "coth", "sqrt",   "sqr",  "normal", "phi",
        "abs",    "sgn",    "maxint", "int",  "deg",  "rad",  "fak",    "random", "blanc",
    };
    static_assert(std::size(kNames) == K::LastFunction - K::FirstFunction + 1);
    if (code < K::FirstFunction || code > K::LastFunction) return {};
    return kNames[code - K::FirstFunction];
}

std::string TermNodeLabel(const TermNode& node) {
    switch (node.Kind) {
        case K::Number: return RoundTripText(node.Value, ',');
        case K::VarX: return "x";
        case K::VarT: return "t";
        case K::VarN: return "n";
        case K::VarW: return "w";
        case K::VarY: return "y";
        case K::Pi: return std::string(kPiShown);
        case K::E: return "e";
        case K::ConstA: return "a";
        case K::ConstB: return "b";
        case K::ConstC: return "c";
        case K::ConstD: return "d";
        case K::Neg: return "*(-1)";
        default: break;
    }
    if (node.Kind >= K::FirstFunction && node.Kind <= K::LastFunction) return FunctionCodeName(node.Kind);
    // The operators: their code is their character.
    if (node.Kind < 128) return std::string(1, static_cast<char>(node.Kind));
    return "?";
}

void DrawTermbaum(Canvas& canvas, const TermNode* node, int x, int y, int dx) {
    canvas.SetPen(0, 1, PenStyle::Solid);
    if (!node) return;
    DrawPlaced(canvas, HalvingLayout(canvas, node, x, y, dx), canvas.TextExtent("H").height);
}

void DrawTermbaumBild(Canvas& canvas, std::string_view termText, const TermNode* root, int clientWidth,
                      const CanvasRect& area) {
    CanvasFont font;
    font.name = "Courier New";
    font.size = 12;  // 16 pixels on the screen
    font.bold = true;
    canvas.SetFont(font);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.SetClipRect(area);
    canvas.TextOut(20, 20, "f(x)=" + TermShown(termText));
    if (root) {
        constexpr int kTop = 40;
        const int h = canvas.TextExtent("H").height;
        const int depth = TreeDepth(root);
        bool drawn = false;
        if (kTop + static_cast<long long>(depth) * kTermbaumLevelStep + h <= area.bottom) {
            std::vector<PlacedNode> nodes = HalvingLayout(canvas, root, clientWidth / 2, kTop, clientWidth / 4);
            if (FitsInto(nodes, area, h)) {
                DrawPlaced(canvas, nodes, h);
                drawn = true;
            }
        }
        if (!drawn) {
            const int room = std::max(0, area.bottom - kTop - h);
            const int levels = std::min(depth + 1, 1 + room / (h + kMinLineLength));
            const int step = levels > 1 ? std::min(kTermbaumLevelStep, room / (levels - 1)) : kTermbaumLevelStep;
            DrawPlaced(canvas, TidyLayout(canvas, root, levels, kTop, step, area), h);
        }
    }
    canvas.ClearClipRect();
}

}  // namespace kalvo
