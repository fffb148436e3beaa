#include "metafile_reader.h"

#include <QRect>

#include <algorithm>
#include <cstring>

namespace kalvo::test {

namespace {

// Little-endian numbers at a byte offset; 0 past the end.
struct Cursor {
    const std::string& b;
    template <typename T>
    T Get(size_t at) const {
        T v = 0;
        if (at + sizeof(T) <= b.size()) std::memcpy(&v, b.data() + at, sizeof(T));
        return v;
    }
    std::uint32_t U32(size_t at) const { return Get<std::uint32_t>(at); }
    std::int32_t I32(size_t at) const { return Get<std::int32_t>(at); }
    std::uint16_t U16(size_t at) const { return Get<std::uint16_t>(at); }
    std::int16_t I16(size_t at) const { return Get<std::int16_t>(at); }
    std::uint8_t U8(size_t at) const { return Get<std::uint8_t>(at); }
};

struct Object {
    enum Kind { Pen, Brush, Font } kind;
    LogPen pen;
    LogBrush brush;
    LogFont font;
};

struct Dc {
    int pen = -1, brush = -1, font = -1;
    int bkMode = 2, align = 0;
    bool clipped = false;
    QRect clip;
};

// The player's state shared by both formats.
class Player {
public:
    Replay r;
    std::map<int, Object> objects;
    Dc dc;
    std::vector<Dc> saved;

    void Error(const std::string& what) {
        if (r.errors.size() < 20) r.errors.push_back(what);
    }

    void Created(int slot, Object o) {
        if (objects.count(slot)) Error("object " + std::to_string(slot) + " created over a live one");
        objects[slot] = std::move(o);
        r.mostLiveObjects = std::max(r.mostLiveObjects, static_cast<int>(objects.size()));
    }

    void Select(int slot) {
        auto it = objects.find(slot);
        if (it == objects.end()) {
            Error("selected object " + std::to_string(slot) + " does not exist");
            return;
        }
        (it->second.kind == Object::Pen ? dc.pen : it->second.kind == Object::Brush ? dc.brush : dc.font) = slot;
    }

    void Delete(int slot) {
        if (!objects.count(slot)) {
            Error("deleted object " + std::to_string(slot) + " does not exist");
            return;
        }
        auto inUse = [slot](const Dc& d) { return d.pen == slot || d.brush == slot || d.font == slot; };
        if (inUse(dc)) Error("deleted object " + std::to_string(slot) + " is selected");
        for (const Dc& d : saved)
            if (inUse(d)) Error("deleted object " + std::to_string(slot) + " is selected in a saved context");
        objects.erase(slot);
    }

    void Restore() {
        if (saved.empty()) {
            Error("RestoreDC without SaveDC");
            return;
        }
        dc = saved.back();
        saved.pop_back();
        // A restored selection must still exist.
        for (int s : {dc.pen, dc.brush, dc.font})
            if (s >= 0 && !objects.count(s)) Error("restored selection of a deleted object");
    }

    void Intersect(QRect c) {
        dc.clip = dc.clipped ? dc.clip.intersected(c) : c;
        dc.clipped = true;
    }

    void Draw(std::string kind, std::vector<QPoint> pts, std::vector<int> counts = {}) {
        Shape s;
        s.kind = std::move(kind);
        s.points = std::move(pts);
        s.counts = std::move(counts);
        if (s.kind != "pixel") {
            if (dc.pen < 0) Error(s.kind + " drawn without a pen selected");
            else s.pen = objects[dc.pen].pen;
        }
        if (s.kind == "polygon" || s.kind == "polypolygon" || s.kind == "rectangle" || s.kind == "ellipse") {
            if (dc.brush < 0) Error(s.kind + " drawn without a brush selected");
            else s.brush = objects[dc.brush].brush;
        }
        s.clipped = dc.clipped;
        s.clip = dc.clip;
        r.shapes.push_back(std::move(s));
    }

    void DrawText(Text t) {
        if (dc.font < 0) Error("text drawn without a font selected");
        else t.font = objects[dc.font].font;
        t.bkMode = dc.bkMode;
        t.align = dc.align;
        r.texts.push_back(std::move(t));
    }
};

}  // namespace

Replay ReadEmf(const std::string& b) {
    Player p;
    Cursor c{b};
    if (b.size() < 108 || c.U32(0) != 1 || c.U32(40) != 0x464D4520) {
        p.Error("no EMF header");
        return p.r;
    }
    const std::uint32_t nBytes = c.U32(48), nRecords = c.U32(52);
    p.r.declaredHandles = c.U16(56);
    if (nBytes != b.size()) p.Error("header byte count " + std::to_string(nBytes) + " != " + std::to_string(b.size()));
    const QRect bounds(QPoint(c.I32(8), c.I32(12)), QPoint(c.I32(16), c.I32(20)));
    p.r.hasBounds = bounds.isValid();
    p.r.bounds = bounds;
    p.r.width = static_cast<int>(std::lround((c.I32(32) - c.I32(24)) * 96.0 / 2540.0));
    p.r.height = static_cast<int>(std::lround((c.I32(36) - c.I32(28)) * 96.0 / 2540.0));

    auto points = [&](size_t at, std::uint32_t n, bool small) {
        std::vector<QPoint> v;
        for (std::uint32_t i = 0; i < n; ++i)
            v.push_back(small ? QPoint(c.I16(at + 4 * i), c.I16(at + 4 * i + 2)) : QPoint(c.I32(at + 8 * i), c.I32(at + 8 * i + 4)));
        return v;
    };
    auto handle = [&](std::uint32_t ih) {
        if (ih == 0 || ih >= static_cast<std::uint32_t>(p.r.declaredHandles)) p.Error("handle " + std::to_string(ih) + " outside the table");
        return static_cast<int>(ih);
    };

    size_t off = 0;
    while (off < b.size()) {
        const std::uint32_t type = c.U32(off), size = c.U32(off + 4);
        if (size < 8 || size % 4 || off + size > b.size()) {
            p.Error("record " + std::to_string(type) + " at " + std::to_string(off) + " has size " + std::to_string(size));
            break;
        }
        p.r.recordTypes.push_back(type);
        const size_t a = off;
        switch (type) {
            case 38: p.Created(handle(c.U32(a + 8)), {Object::Pen, {static_cast<int>(c.U32(a + 12)), c.I32(a + 16), c.U32(a + 24)}, {}, {}}); break;
            case 39: p.Created(handle(c.U32(a + 8)), {Object::Brush, {}, {static_cast<int>(c.U32(a + 12)), static_cast<int>(c.U32(a + 20)), c.U32(a + 16)}, {}}); break;
            case 82: {
                LogFont f{c.I32(a + 12), c.I32(a + 20), c.I32(a + 28), c.U8(a + 32) != 0, c.U8(a + 33) != 0, c.U8(a + 34) != 0, c.U8(a + 35), {}};
                for (int i = 0; i < 32 && c.U16(a + 40 + 2 * i); ++i) f.face += QChar(c.U16(a + 40 + 2 * i));
                p.Created(handle(c.U32(a + 8)), {Object::Font, {}, {}, f});
                break;
            }
            case 37:
                if (!(c.U32(a + 8) & 0x80000000u)) p.Select(handle(c.U32(a + 8)));
                break;
            case 40: p.Delete(handle(c.U32(a + 8))); break;
            case 33: p.saved.push_back(p.dc); break;
            case 34: p.Restore(); break;
            case 30: p.Intersect(QRect(QPoint(c.I32(a + 8), c.I32(a + 12)), QPoint(c.I32(a + 16) - 1, c.I32(a + 20) - 1))); break;
            case 17: p.r.mapMode = static_cast<int>(c.U32(a + 8)); break;
            case 9: p.r.windowExt = QSize(c.I32(a + 8), c.I32(a + 12)); break;
            case 18: p.dc.bkMode = static_cast<int>(c.U32(a + 8)); break;
            case 22: p.dc.align = static_cast<int>(c.U32(a + 8)); break;
            case 3: case 4: case 86: case 87:  // 16-bit points from 86 on
                p.Draw(type == 3 || type == 86 ? "polygon" : "polyline", points(a + 28, c.U32(a + 24), type >= 86));
                break;
            case 7: case 8: case 90: case 91: {  // 16-bit points from 90 on
                const std::uint32_t parts = c.U32(a + 24), total = c.U32(a + 28);
                std::vector<int> counts;
                for (std::uint32_t i = 0; i < parts; ++i) counts.push_back(static_cast<int>(c.U32(a + 32 + 4 * i)));
                p.Draw(type == 8 || type == 91 ? "polypolygon" : "polypolyline", points(a + 32 + 4 * parts, total, type >= 90), counts);
                break;
            }
            case 42: case 43:
                p.Draw(type == 43 ? "rectangle" : "ellipse", {QPoint(c.I32(a + 8), c.I32(a + 12)), QPoint(c.I32(a + 16), c.I32(a + 20))});
                break;
            case 15: p.Draw("pixel", {QPoint(c.I32(a + 8), c.I32(a + 12))}); break;
            case 84: {
                Text t;
                t.origin = QPoint(c.I32(a + 36), c.I32(a + 40));
                const std::uint32_t n = c.U32(a + 44), offString = c.U32(a + 48), offDx = c.U32(a + 72);
                if (offString + 2 * n > size || (offDx && offDx + 4 * n > size)) p.Error("text outside its record");
                for (std::uint32_t i = 0; i < n; ++i) t.text += QChar(c.U16(a + offString + 2 * i));
                for (std::uint32_t i = 0; offDx && i < n; ++i) t.dx.push_back(c.I32(a + offDx + 4 * i));
                p.DrawText(std::move(t));
                break;
            }
            default: break;
        }
        off += size;
        if (type == 14 && off != b.size()) p.Error("EOF record is not the last");
    }
    if (p.r.recordTypes.empty() || p.r.recordTypes.back() != 14) p.Error("no EOF record at the end");
    if (nRecords != p.r.recordTypes.size()) p.Error("header record count " + std::to_string(nRecords) + " != " + std::to_string(p.r.recordTypes.size()));
    if (!p.saved.empty()) p.Error("SaveDC left open at the end");
    return p.r;
}

Replay ReadWmf(const std::string& b) {
    Player p;
    Cursor c{b};
    if (b.size() < 40 || c.U32(0) != 0x9AC6CDD7u) {
        p.Error("no placeable header");
        return p.r;
    }
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= c.U16(2 * i);
    if (sum != c.U16(20)) p.Error("placeable checksum wrong");
    p.r.width = c.I16(10) - c.I16(6);
    p.r.height = c.I16(12) - c.I16(8);
    p.r.unitsPerInch = c.U16(14);
    const size_t h = 22;
    if (c.U16(h) != 1 || c.U16(h + 2) != 9) p.Error("no WMF header");
    const std::uint32_t words = c.U32(h + 6);
    if (words * 2 != b.size() - h) p.Error("header size " + std::to_string(words) + " words for " + std::to_string(b.size() - h) + " bytes");
    p.r.declaredHandles = c.U16(h + 10);
    const std::uint32_t maxRecord = c.U32(h + 12);
    std::uint32_t largest = 0;

    auto create = [&](Object o) {
        int slot = 0;
        while (p.objects.count(slot)) ++slot;
        if (slot >= p.r.declaredHandles) p.Error("object table of " + std::to_string(p.r.declaredHandles) + " overflows");
        p.Created(slot, std::move(o));
    };
    auto points = [&](size_t at, int n) {
        std::vector<QPoint> v;
        for (int i = 0; i < n; ++i) v.emplace_back(c.I16(at + 4 * i), c.I16(at + 4 * i + 2));
        return v;
    };

    size_t off = h + 18;
    while (off < b.size()) {
        const std::uint32_t size = c.U32(off);
        const std::uint16_t fn = c.U16(off + 4);
        if (size < 3 || off + 2 * size > b.size()) {
            p.Error("record " + std::to_string(fn) + " has size " + std::to_string(size));
            break;
        }
        largest = std::max(largest, size);
        p.r.recordTypes.push_back(fn);
        const size_t a = off + 6;  // parameters
        switch (fn) {
            case 0x02FA: create({Object::Pen, {c.U16(a), c.I16(a + 2), c.U32(a + 6)}, {}, {}}); break;
            case 0x02FC: create({Object::Brush, {}, {c.U16(a), c.U16(a + 6), c.U32(a + 2)}, {}}); break;
            case 0x02FB: {
                LogFont f{c.I16(a), c.I16(a + 4), c.I16(a + 8), c.U8(a + 10) != 0, c.U8(a + 11) != 0, c.U8(a + 12) != 0, c.U8(a + 13), {}};
                for (int i = 0; i < 32 && c.U8(a + 18 + i); ++i) f.face += QChar(c.U8(a + 18 + i));
                create({Object::Font, {}, {}, f});
                break;
            }
            case 0x012D: p.Select(c.U16(a)); break;
            case 0x01F0: p.Delete(c.U16(a)); break;
            case 0x001E: p.saved.push_back(p.dc); break;
            case 0x0127: p.Restore(); break;
            case 0x0416: p.Intersect(QRect(QPoint(c.I16(a + 6), c.I16(a + 4)), QPoint(c.I16(a + 2) - 1, c.I16(a) - 1))); break;
            case 0x0103: p.r.mapMode = c.U16(a); break;
            case 0x020C: p.r.windowExt = QSize(c.I16(a + 2), c.I16(a)); break;
            case 0x0102: p.dc.bkMode = c.U16(a); break;
            case 0x012E: p.dc.align = c.U16(a); break;
            case 0x0324: p.Draw("polygon", points(a + 2, c.I16(a))); break;
            case 0x0325: p.Draw("polyline", points(a + 2, c.I16(a))); break;
            case 0x0538: {
                const int parts = c.U16(a);
                std::vector<int> counts;
                int total = 0;
                for (int i = 0; i < parts; ++i) total += counts.emplace_back(c.U16(a + 2 + 2 * i));
                p.Draw("polypolygon", points(a + 2 + 2 * parts, total), counts);
                break;
            }
            case 0x041B: case 0x0418:
                p.Draw(fn == 0x041B ? "rectangle" : "ellipse", {QPoint(c.I16(a + 6), c.I16(a + 4)), QPoint(c.I16(a + 2), c.I16(a))});
                break;
            case 0x041F: p.Draw("pixel", {QPoint(c.I16(a + 6), c.I16(a + 4))}); break;
            case 0x0A32: {
                Text t;
                t.origin = QPoint(c.I16(a + 2), c.I16(a));
                const int n = c.I16(a + 4);
                const size_t text = a + 8 + ((c.U16(a + 6) & 6) ? 8 : 0);
                if (text + n + (n % 2) + 2 * n > off + 2 * size) p.Error("text outside its record");
                t.bytes = b.substr(text, static_cast<size_t>(std::max(n, 0)));
                for (char ch : t.bytes) t.text += QChar(static_cast<unsigned char>(ch));
                for (int i = 0; i < n; ++i) t.dx.push_back(c.I16(text + n + (n % 2) + 2 * i));
                p.DrawText(std::move(t));
                break;
            }
            default: break;
        }
        off += 2 * size;
        if (fn == 0 && off != b.size()) p.Error("EOF record is not the last");
    }
    if (p.r.recordTypes.empty() || p.r.recordTypes.back() != 0) p.Error("no EOF record at the end");
    if (largest != maxRecord) p.Error("header largest record " + std::to_string(maxRecord) + " != " + std::to_string(largest));
    if (!p.saved.empty()) p.Error("SaveDC left open at the end");
    return p.r;
}

}  // namespace kalvo::test
