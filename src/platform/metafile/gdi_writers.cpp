// EMF and placeable WMF from the recorded picture. Both formats replay a device
// context: objects are created into a table, selected, and deleted again. The
// shared part below keeps that table small (a 3D picture brings thousands of
// colours) and selects only what a record needs.

#include "gdi_picture.h"

#include <QBuffer>

#include "work_budget.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string_view>
#include <type_traits>
#include <unordered_map>

namespace kalvo::gdi {

namespace {

// Live objects at most; the least recently used goes when another is needed.
constexpr int kObjectCapacity = 32;
constexpr int kDpi = 96;
// Larger images are scaled down before they go into a record.
constexpr int kMaxImageSide = 4096;

// Little-endian, as both formats store their numbers.
template <class T>
void StoreLE(char* out, T v) {
    static_assert(std::is_integral_v<T>);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &v, sizeof v);
    } else {
        using U = std::make_unsigned_t<T>;
        for (size_t i = 0; i < sizeof v; ++i) out[i] = static_cast<char>(static_cast<U>(v) >> (8 * i));
    }
}

// The file being written. A picture brings hundreds of thousands of points,
// so arrays go in whole: room is made once and filled through a pointer.
class Bytes {
public:
    std::string data;
    void U8(std::uint8_t v) { data.push_back(static_cast<char>(v)); }
    void U16(std::uint16_t v) { Put(v); }
    void U32(std::uint32_t v) { Put(v); }
    void I16(std::int16_t v) { Put(v); }
    void I32(std::int32_t v) { Put(v); }
    void F32(float v) { Put(std::bit_cast<std::uint32_t>(v)); }
    void Zeros(size_t n) { data.append(n, '\0'); }
    void Raw(std::string_view s) { data.append(s); }
    template <class T>
    void Array(const T* v, size_t n) {
        if constexpr (std::endian::native == std::endian::little) {
            Raw(std::string_view(reinterpret_cast<const char*>(v), n * sizeof(T)));
        } else {
            char* out = Grow(n * sizeof(T));
            for (size_t i = 0; i < n; ++i) StoreLE(out + i * sizeof(T), v[i]);
        }
    }
    // n more bytes at the end, to be filled through the pointer returned.
    char* Grow(size_t n) {
        const size_t at = data.size();
        data.resize(at + n);
        return data.data() + at;
    }
    void PatchU32(size_t at, std::uint32_t v) { StoreLE(data.data() + at, v); }
    void PatchU16(size_t at, std::uint16_t v) { StoreLE(data.data() + at, v); }
    size_t Size() const { return data.size(); }
    // A picture of millions of points takes a while to write: what was
    // written since the last look counts as work (about a nanosecond a
    // byte), and the writing stops when the output is cancelled.
    bool Stopped() {
        AddWork(static_cast<long long>(data.size() - counted_));
        counted_ = data.size();
        return WorkBudgetSpent();
    }

private:
    size_t counted_ = 0;

    template <class T>
    void Put(T v) {
        char b[sizeof(T)];
        StoreLE(b, v);
        data.append(b, sizeof(T));
    }
};

// Enough room for the records of the picture's geometry, so that the file
// does not move while it grows (images aside).
size_t EstimatedSize(const Picture& pic) {
    return 4096 + pic.points.size() * 4 + pic.polyCounts.size() * 4 + pic.ops.size() * 48 + pic.texts.size() * 160;
}

std::int16_t Clamp16(std::int64_t v) {
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, INT16_MIN, INT16_MAX));
}

bool Fits16(const QPoint* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (p[i].x() < INT16_MIN || p[i].x() > INT16_MAX || p[i].y() < INT16_MIN || p[i].y() > INT16_MAX) return false;
    return true;
}

RectL BoundsOf(const QPoint* p, size_t n) {
    RectL r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (size_t i = 0; i < n; ++i) {
        r.left = std::min(r.left, p[i].x());
        r.top = std::min(r.top, p[i].y());
        r.right = std::max(r.right, p[i].x());
        r.bottom = std::max(r.bottom, p[i].y());
    }
    return r;
}

// A device-independent bitmap: BITMAPINFOHEADER and 24-bit rows, bottom row
// first, with the size the picture has in it.
struct DibImage {
    std::string data;
    std::uint32_t headerSize = 40;
    std::int32_t width = 0, height = 0;
};

DibImage Dib(const QImage& source) {
    QImage img = source;
    if (img.width() > kMaxImageSide || img.height() > kMaxImageSide)
        img = img.scaled(kMaxImageSide, kMaxImageSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    img = img.convertToFormat(QImage::Format_RGB32);
    Bytes b;
    const int w = img.width(), h = img.height();
    const int stride = (w * 3 + 3) & ~3;
    b.data.reserve(40 + static_cast<size_t>(stride) * static_cast<size_t>(h));
    b.U32(40);
    b.I32(w);
    b.I32(h);
    b.U16(1);
    b.U16(24);
    b.U32(0);
    b.U32(static_cast<std::uint32_t>(stride * h));
    b.I32(3780);
    b.I32(3780);
    b.U32(0);
    b.U32(0);
    char* out = b.Grow(static_cast<size_t>(stride) * static_cast<size_t>(h));  // row padding stays zero
    for (int y = h - 1; y >= 0; --y, out += stride) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out[3 * x] = static_cast<char>(qBlue(line[x]));
            out[3 * x + 1] = static_cast<char>(qGreen(line[x]));
            out[3 * x + 2] = static_cast<char>(qRed(line[x]));
        }
    }
    return {std::move(b.data), 40, w, h};
}

// The records one format writes for the device-context bookkeeping.
class Emitter {
public:
    virtual ~Emitter() = default;
    virtual void CreatePen(int slot, const LogPen& pen) = 0;
    virtual void CreateBrush(int slot, const LogBrush& brush) = 0;
    virtual void CreateFont(int slot, const LogFont& font, std::uint8_t charset) = 0;
    virtual void Select(int slot) = 0;
    virtual void Delete(int slot) = 0;
    virtual void SaveDc() = 0;
    virtual void RestoreDc() = 0;
    virtual void IntersectClip(const RectL& r) = 0;
    virtual void TextColor(Color c) = 0;
    virtual void BkColor(Color c) = 0;
    virtual void BkMode(std::uint16_t mode) = 0;
    virtual void FillMode(std::uint16_t mode) = 0;
};

// Tracks the device context a reader would hold while it replays the records,
// so that nothing is written twice and no object is deleted while in use.
class DcSync {
public:
    DcSync(const Picture& pic, Emitter& out) : pic_(pic), out_(out) {}

    // The context every reader starts from, stated once at the top of the file.
    void Start() {
        out_.BkMode(cur_.bkMode);
        out_.FillMode(cur_.fill);
        out_.TextColor(cur_.text);
        out_.BkColor(cur_.bk);
    }

    void Prepare(const DcState& want, OpKind kind) {
        SyncClip(want.clip);
        switch (kind) {
            case OpKind::Polyline:
            case OpKind::PolyPolyline: SelectPen(want.pen); break;
            case OpKind::Polygon:
            case OpKind::PolyPolygon:
                if (cur_.fill != want.fillMode) {
                    out_.FillMode(want.fillMode);
                    cur_.fill = want.fillMode;
                }
                [[fallthrough]];
            case OpKind::Rectangle:
            case OpKind::Ellipse:
                SelectPen(want.pen);
                SelectBrush(want.brush);
                break;
            case OpKind::Text:
                if (cur_.text != want.textColor) {
                    out_.TextColor(want.textColor);
                    cur_.text = want.textColor;
                }
                break;
            case OpKind::Pixel:
            case OpKind::Image: return;  // neither uses the background
        }
        // The background fills the gaps of styled lines and hatches and the cells of text.
        if (cur_.bkMode != want.bkMode) {
            out_.BkMode(want.bkMode);
            cur_.bkMode = want.bkMode;
        }
        if (cur_.bk != want.bkColor) {
            out_.BkColor(want.bkColor);
            cur_.bk = want.bkColor;
        }
    }

    void SelectFont(std::int32_t font, std::uint8_t charset) {
        const int slot = Obtain(Key(2, font, charset), [&](int s) { out_.CreateFont(s, pic_.fonts[font], charset); });
        if (cur_.font != slot) {
            out_.Select(slot);
            cur_.font = slot;
        }
    }

    void Finish() { SyncClip(-1); }

    // Size the reader's object table must have.
    int TableSize() const { return static_cast<int>(slots_.size()); }

private:
    struct Tracked {
        int pen = -1, brush = -1, font = -1;  // selected slots
        Color text = 0, bk = 0xFFFFFF;
        std::uint16_t bkMode = BKMODE_TRANSPARENT, fill = FILL_ALTERNATE;
        std::int32_t clip = -1;
    };
    struct Slot {
        std::uint64_t key = 0;
        bool used = false;
        std::uint64_t lastUse = 0;
    };

    static std::uint64_t Key(int kind, std::int32_t index, std::uint8_t charset) {
        return static_cast<std::uint64_t>(kind) << 40 | static_cast<std::uint64_t>(charset) << 32 |
               static_cast<std::uint32_t>(index);
    }

    void SelectPen(std::int32_t pen) {
        const int slot = Obtain(Key(0, pen, 0), [&](int s) { out_.CreatePen(s, pic_.pens[pen]); });
        if (cur_.pen != slot) {
            out_.Select(slot);
            cur_.pen = slot;
        }
    }

    void SelectBrush(std::int32_t brush) {
        const int slot = Obtain(Key(1, brush, 0), [&](int s) { out_.CreateBrush(s, pic_.brushes[brush]); });
        if (cur_.brush != slot) {
            out_.Select(slot);
            cur_.brush = slot;
        }
    }

    bool SameClip(std::int32_t a, std::int32_t b) const {
        if (a == b) return true;
        if (a < 0 || b < 0) return false;
        return pic_.clips[a] == pic_.clips[b];
    }

    // A clip is a SaveDC with IntersectClipRect; the next clip first restores the context,
    // which also brings back the objects and colours selected before the SaveDC.
    void SyncClip(std::int32_t clip) {
        if (SameClip(cur_.clip, clip)) return;
        if (cur_.clip >= 0) {
            out_.RestoreDc();
            cur_ = saved_;
            saving_ = false;
        }
        if (clip >= 0) {
            saved_ = cur_;
            saving_ = true;
            out_.SaveDc();
            out_.IntersectClip(pic_.clips[clip]);
            cur_.clip = clip;
        }
    }

    bool InUse(int slot) const {
        return slot == cur_.pen || slot == cur_.brush || slot == cur_.font ||
               (saving_ && (slot == saved_.pen || slot == saved_.brush || slot == saved_.font));
    }

    template <class Create>
    int Obtain(std::uint64_t key, Create create) {
        ++tick_;
        if (auto it = slotOf_.find(key); it != slotOf_.end()) {
            slots_[it->second].lastUse = tick_;
            return it->second;
        }
        // The lowest free slot, as a WMF reader assigns it; EMF readers take the number we give.
        int slot = -1;
        for (int i = 0; i < static_cast<int>(slots_.size()); ++i)
            if (!slots_[i].used) {
                slot = i;
                break;
            }
        if (slot < 0 && static_cast<int>(slots_.size()) < kObjectCapacity) {
            slots_.emplace_back();
            slot = static_cast<int>(slots_.size()) - 1;
        }
        if (slot < 0) {
            std::uint64_t oldest = UINT64_MAX;
            for (int i = 0; i < static_cast<int>(slots_.size()); ++i)
                if (!InUse(i) && slots_[i].lastUse < oldest) {
                    oldest = slots_[i].lastUse;
                    slot = i;
                }
            // At most six slots are in use, far below the capacity.
            out_.Delete(slot);
            slotOf_.erase(slots_[slot].key);
            slots_[slot].used = false;
        }
        create(slot);
        slots_[slot] = {key, true, tick_};
        slotOf_[key] = slot;
        return slot;
    }

    const Picture& pic_;
    Emitter& out_;
    Tracked cur_, saved_;
    bool saving_ = false;
    std::vector<Slot> slots_;
    std::unordered_map<std::uint64_t, int> slotOf_;
    std::uint64_t tick_ = 0;
};

// ---------------------------------------------------------------- EMF

enum : std::uint32_t {
    EMR_HEADER = 1, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8,
    EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12,
    EMR_EOF = 14, EMR_SETPIXELV = 15, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19,
    EMR_SETTEXTALIGN = 22, EMR_SETTEXTCOLOR = 24, EMR_SETBKCOLOR = 25, EMR_INTERSECTCLIPRECT = 30,
    EMR_SAVEDC = 33, EMR_RESTOREDC = 34, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43,
    EMR_STRETCHDIBITS = 81, EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTW = 84, EMR_POLYGON16 = 86,
    EMR_POLYLINE16 = 87, EMR_POLYPOLYLINE16 = 90, EMR_POLYPOLYGON16 = 91,
};

class EmfWriter final : public Emitter {
public:
    explicit EmfWriter(const Picture& pic) : pic_(pic), dc_(pic, *this) {}

    std::string Write() {
        b_.data.reserve(EstimatedSize(pic_));
        WriteHeader();
        Simple(EMR_SETMAPMODE, {MM_ANISOTROPIC});
        Simple(EMR_SETWINDOWORGEX, {0, 0});
        Simple(EMR_SETWINDOWEXTEX, {pic_.width, pic_.height});
        Simple(EMR_SETVIEWPORTORGEX, {0, 0});
        Simple(EMR_SETVIEWPORTEXTEX, {pic_.width, pic_.height});
        Simple(EMR_SETTEXTALIGN, {TA_BASELINE});
        dc_.Start();
        for (const Op& op : pic_.ops) {
            WriteOp(op);
            if (b_.Stopped()) return {};
        }
        dc_.Finish();
        Simple(EMR_EOF, {0, 16, 20});
        // The header learns the totals last.
        b_.PatchU32(48, static_cast<std::uint32_t>(b_.Size()));
        b_.PatchU32(52, records_);
        b_.PatchU16(56, static_cast<std::uint16_t>(std::min(dc_.TableSize() + 1, 0xFFFF)));
        return std::move(b_.data);
    }

    void CreatePen(int slot, const LogPen& p) override {
        Simple(EMR_CREATEPEN, {slot + 1, p.style, p.width, 0, static_cast<std::int32_t>(p.color)});
    }
    void CreateBrush(int slot, const LogBrush& br) override {
        Simple(EMR_CREATEBRUSHINDIRECT, {slot + 1, br.style, static_cast<std::int32_t>(br.color), br.hatch});
    }
    void CreateFont(int slot, const LogFont& f, std::uint8_t charset) override {
        const size_t at = Begin(EMR_EXTCREATEFONTINDIRECTW);
        b_.U32(static_cast<std::uint32_t>(slot + 1));
        b_.I32(f.height);
        b_.I32(0);
        b_.I32(f.escapement);
        b_.I32(f.escapement);
        b_.I32(f.weight);
        b_.U8(f.italic);
        b_.U8(f.underline);
        b_.U8(f.strikeOut);
        b_.U8(charset);
        b_.U8(0);  // OUT_DEFAULT_PRECIS
        b_.U8(0);  // CLIP_DEFAULT_PRECIS
        b_.U8(0);  // DEFAULT_QUALITY
        b_.U8(0);  // DEFAULT_PITCH | FF_DONTCARE
        const QString face = f.face.left(31);
        for (int i = 0; i < 32; ++i) b_.U16(i < face.size() ? face[i].unicode() : 0);
        // The rest of a LogFontPanose: full name, style, version, ... all empty.
        b_.Zeros(228);
        End(at);
    }
    void Select(int slot) override { Simple(EMR_SELECTOBJECT, {slot + 1}); }
    void Delete(int slot) override { Simple(EMR_DELETEOBJECT, {slot + 1}); }
    void SaveDc() override { Simple(EMR_SAVEDC, {}); }
    void RestoreDc() override { Simple(EMR_RESTOREDC, {-1}); }
    void IntersectClip(const RectL& r) override { Simple(EMR_INTERSECTCLIPRECT, {r.left, r.top, r.right, r.bottom}); }
    void TextColor(Color c) override { Simple(EMR_SETTEXTCOLOR, {static_cast<std::int32_t>(c)}); }
    void BkColor(Color c) override { Simple(EMR_SETBKCOLOR, {static_cast<std::int32_t>(c)}); }
    void BkMode(std::uint16_t m) override { Simple(EMR_SETBKMODE, {m}); }
    void FillMode(std::uint16_t m) override { Simple(EMR_SETPOLYFILLMODE, {m}); }

private:
    size_t Begin(std::uint32_t type) {
        const size_t at = b_.Size();
        b_.U32(type);
        b_.U32(0);
        return at;
    }
    void End(size_t at) {
        while (b_.Size() % 4) b_.U8(0);
        b_.PatchU32(at + 4, static_cast<std::uint32_t>(b_.Size() - at));
        ++records_;
    }
    void Simple(std::uint32_t type, std::initializer_list<std::int32_t> values) {
        const size_t at = Begin(type);
        for (std::int32_t v : values) b_.I32(v);
        End(at);
    }
    void Rect(const RectL& r) {
        b_.I32(r.left);
        b_.I32(r.top);
        b_.I32(r.right);
        b_.I32(r.bottom);
    }
    void Points(const QPoint* p, size_t n, bool small) {
        if (small) {
            char* out = b_.Grow(n * 4);
            for (size_t i = 0; i < n; ++i, out += 4) {
                StoreLE(out, static_cast<std::int16_t>(p[i].x()));
                StoreLE(out + 2, static_cast<std::int16_t>(p[i].y()));
            }
        } else {
            char* out = b_.Grow(n * 8);
            for (size_t i = 0; i < n; ++i, out += 8) {
                StoreLE(out, static_cast<std::int32_t>(p[i].x()));
                StoreLE(out + 4, static_cast<std::int32_t>(p[i].y()));
            }
        }
    }

    void WriteHeader() {
        const size_t at = Begin(EMR_HEADER);
        if (pic_.hasBounds) {
            Rect(pic_.bounds);
        } else {
            Rect({0, 0, -1, -1});
        }
        // The frame in hundredths of a millimetre, at 96 pixels per inch like the reference device below.
        Rect({0, 0, static_cast<std::int32_t>(std::lround(pic_.width * 2540.0 / kDpi)),
              static_cast<std::int32_t>(std::lround(pic_.height * 2540.0 / kDpi))});
        b_.U32(0x464D4520);  // " EMF"
        b_.U32(0x10000);
        b_.U32(0);  // bytes, patched
        b_.U32(0);  // records, patched
        b_.U16(0);  // handles, patched
        b_.U16(0);
        // Program and picture name, each ended by a zero, and a final zero.
        static constexpr char16_t kDescription[] = u"Kalvograf\0Grafik\0";
        const std::u16string_view description(kDescription, std::size(kDescription));
        b_.U32(static_cast<std::uint32_t>(description.size()));
        b_.U32(108);
        b_.U32(0);  // palette entries
        // A 1920 x 1440 screen at exactly 96 pixels per inch.
        b_.I32(1920);
        b_.I32(1440);
        b_.I32(508);
        b_.I32(381);
        b_.U32(0);  // no pixel format
        b_.U32(0);
        b_.U32(0);  // no OpenGL
        b_.I32(508000);
        b_.I32(381000);
        b_.Array(description.data(), description.size());
        End(at);
    }

    void WriteOp(const Op& op) {
        const DcState& st = pic_.states[op.state];
        dc_.Prepare(st, op.kind);
        const QPoint* pts = pic_.points.data();
        switch (op.kind) {
            case OpKind::Polyline:
            case OpKind::Polygon: {
                const QPoint* p = pts + op.a;
                const bool small = Fits16(p, op.b);
                const std::uint32_t type = op.kind == OpKind::Polygon ? (small ? EMR_POLYGON16 : EMR_POLYGON)
                                                                      : (small ? EMR_POLYLINE16 : EMR_POLYLINE);
                const size_t at = Begin(type);
                Rect(BoundsOf(p, op.b));
                b_.U32(op.b);
                Points(p, op.b, small);
                End(at);
                break;
            }
            case OpKind::PolyPolygon:
            case OpKind::PolyPolyline: {
                std::uint32_t total = 0;
                for (std::uint32_t i = 0; i < op.c; ++i) total += pic_.polyCounts[op.b + i];
                const QPoint* p = pts + op.a;
                const bool small = Fits16(p, total);
                const bool polygon = op.kind == OpKind::PolyPolygon;
                const std::uint32_t type = polygon ? (small ? EMR_POLYPOLYGON16 : EMR_POLYPOLYGON)
                                                   : (small ? EMR_POLYPOLYLINE16 : EMR_POLYPOLYLINE);
                const size_t at = Begin(type);
                Rect(BoundsOf(p, total));
                b_.U32(op.c);
                b_.U32(total);
                b_.Array(pic_.polyCounts.data() + op.b, op.c);
                Points(p, total, small);
                End(at);
                break;
            }
            case OpKind::Rectangle:
            case OpKind::Ellipse: {
                const QPoint& a = pts[op.a];
                const QPoint& c = pts[op.a + 1];
                Simple(op.kind == OpKind::Rectangle ? EMR_RECTANGLE : EMR_ELLIPSE, {a.x(), a.y(), c.x(), c.y()});
                break;
            }
            case OpKind::Text: WriteText(st, pic_.texts[op.a]); break;
            case OpKind::Pixel: Simple(EMR_SETPIXELV, {pts[op.a].x(), pts[op.a].y(), static_cast<std::int32_t>(op.b)}); break;
            case OpKind::Image: WriteImage(pic_.images[op.a]); break;
        }
    }

    void WriteText(const DcState& st, const TextRun& t) {
        const LogFont& font = pic_.fonts[st.font];
        dc_.SelectFont(st.font, CharsetForText(font.charset, t.text));
        const std::uint32_t n = static_cast<std::uint32_t>(t.text.size());
        const std::uint32_t stringBytes = (n * 2 + 3) & ~3u;
        const size_t at = Begin(EMR_EXTTEXTOUTW);
        std::int32_t width = 0;
        for (std::int32_t d : t.dx) width += d;
        // Bounds are for readers that cull; a generous box around the baseline is enough.
        const std::int32_t h = std::abs(font.height);
        Rect({t.origin.x() - 1, t.origin.y() - 2 * h, t.origin.x() + width + 1, t.origin.y() + h});
        b_.U32(1);  // GM_COMPATIBLE
        b_.F32(2540.0f / kDpi);
        b_.F32(2540.0f / kDpi);
        b_.I32(t.origin.x());
        b_.I32(t.origin.y());
        b_.U32(n);
        b_.U32(76);
        b_.U32(0);  // no options: background and clip come from the context
        Rect({0, 0, -1, -1});
        b_.U32(76 + stringBytes);
        b_.Array(t.text.utf16(), n);
        b_.Zeros(stringBytes - n * 2);
        b_.Array(t.dx.data(), t.dx.size());
        End(at);
    }

    void WriteImage(const ImageRun& img) {
        const DibImage dib = Dib(img.image);
        const size_t at = Begin(EMR_STRETCHDIBITS);
        Rect({img.dest.left, img.dest.top, img.dest.right - 1, img.dest.bottom - 1});
        b_.I32(img.dest.left);
        b_.I32(img.dest.top);
        b_.I32(0);
        b_.I32(0);
        b_.I32(dib.width);
        b_.I32(dib.height);
        b_.U32(80);
        b_.U32(dib.headerSize);
        b_.U32(80 + dib.headerSize);
        b_.U32(static_cast<std::uint32_t>(dib.data.size() - dib.headerSize));
        b_.U32(0);           // DIB_RGB_COLORS
        b_.U32(0x00CC0020);  // SRCCOPY
        b_.I32(img.dest.right - img.dest.left);
        b_.I32(img.dest.bottom - img.dest.top);
        b_.Raw(dib.data);
        End(at);
    }

    const Picture& pic_;
    DcSync dc_;
    Bytes b_;
    std::uint32_t records_ = 0;
};

// ---------------------------------------------------------------- WMF

enum : std::uint16_t {
    META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102, META_SETMAPMODE = 0x0103,
    META_SETPOLYFILLMODE = 0x0106, META_RESTOREDC = 0x0127, META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E, META_DELETEOBJECT = 0x01F0, META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C,
    META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324, META_POLYLINE = 0x0325, META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B,
    META_INTERSECTCLIPRECT = 0x0416, META_SETPIXEL = 0x041F, META_POLYPOLYGON = 0x0538,
    META_EXTTEXTOUT = 0x0A32, META_STRETCHDIB = 0x0F43,
};

// Point counts are 16-bit in WMF records.
constexpr std::uint32_t kMaxWmfPoints = 32767;

class WmfWriter final : public Emitter {
public:
    explicit WmfWriter(const Picture& pic) : pic_(pic), dc_(pic, *this) {}

    std::string Write() {
        const std::int16_t w = Clamp16(pic_.width), h = Clamp16(pic_.height);
        // Placeable header: key, handle, bounding box, units per inch, reserved, checksum.
        Bytes head;
        head.U32(0x9AC6CDD7);
        head.U16(0);
        head.I16(0);
        head.I16(0);
        head.I16(w);
        head.I16(h);
        head.U16(kDpi);
        head.U32(0);
        std::uint16_t sum = 0;
        for (size_t i = 0; i < head.Size(); i += 2)
            sum ^= static_cast<std::uint16_t>(static_cast<std::uint8_t>(head.data[i]) |
                                              static_cast<std::uint8_t>(head.data[i + 1]) << 8);
        head.U16(sum);

        // Standard header; size, object count and largest record are patched below.
        b_.data.reserve(EstimatedSize(pic_));
        b_.U16(1);
        b_.U16(9);
        b_.U16(0x0300);
        b_.U32(0);
        b_.U16(0);
        b_.U32(0);
        b_.U16(0);

        Record(META_SETMAPMODE, {MM_ANISOTROPIC});
        Record(META_SETWINDOWORG, {0, 0});
        Record(META_SETWINDOWEXT, {h, w});
        Record(META_SETTEXTALIGN, {TA_BASELINE});
        dc_.Start();
        for (const Op& op : pic_.ops) {
            WriteOp(op);
            if (b_.Stopped()) return {};
        }
        dc_.Finish();
        Record(META_EOF, {});

        const size_t words = b_.Size() / 2;
        b_.PatchU16(6, static_cast<std::uint16_t>(words));
        b_.PatchU16(8, static_cast<std::uint16_t>(words >> 16));
        b_.PatchU16(10, static_cast<std::uint16_t>(dc_.TableSize()));
        b_.PatchU16(12, static_cast<std::uint16_t>(maxRecord_));
        b_.PatchU16(14, static_cast<std::uint16_t>(maxRecord_ >> 16));
        return head.data + b_.data;
    }

    void CreatePen(int, const LogPen& p) override {
        const size_t at = Begin(META_CREATEPENINDIRECT);
        b_.U16(p.style);
        b_.I16(Clamp16(p.width));
        b_.I16(0);
        b_.U32(p.color);
        End(at);
    }
    void CreateBrush(int, const LogBrush& br) override {
        const size_t at = Begin(META_CREATEBRUSHINDIRECT);
        b_.U16(br.style);
        b_.U32(br.color);
        b_.U16(br.hatch);
        End(at);
    }
    void CreateFont(int, const LogFont& f, std::uint8_t charset) override {
        const size_t at = Begin(META_CREATEFONTINDIRECT);
        b_.I16(Clamp16(f.height));
        b_.I16(0);
        b_.I16(Clamp16(f.escapement));
        b_.I16(Clamp16(f.escapement));
        b_.I16(Clamp16(f.weight));
        b_.U8(f.italic);
        b_.U8(f.underline);
        b_.U8(f.strikeOut);
        b_.U8(charset);
        b_.U8(0);
        b_.U8(0);
        b_.U8(0);
        b_.U8(0);
        // Face names are ASCII in practice; anything else goes through the Western code page.
        std::string face;
        for (const CharsetRun& r : SplitIntoCharsetRuns(ANSI_CHARSET, f.face.left(31))) face += r.bytes;
        face.resize(32, '\0');
        face[31] = '\0';
        b_.Raw(face);
        End(at);
    }
    void Select(int slot) override { Record(META_SELECTOBJECT, {static_cast<std::int16_t>(slot)}); }
    void Delete(int slot) override { Record(META_DELETEOBJECT, {static_cast<std::int16_t>(slot)}); }
    void SaveDc() override { Record(META_SAVEDC, {}); }
    void RestoreDc() override { Record(META_RESTOREDC, {-1}); }
    void IntersectClip(const RectL& r) override {
        Record(META_INTERSECTCLIPRECT, {Clamp16(r.bottom), Clamp16(r.right), Clamp16(r.top), Clamp16(r.left)});
    }
    void TextColor(Color c) override { ColorRecord(META_SETTEXTCOLOR, c); }
    void BkColor(Color c) override { ColorRecord(META_SETBKCOLOR, c); }
    void BkMode(std::uint16_t m) override { Record(META_SETBKMODE, {static_cast<std::int16_t>(m)}); }
    void FillMode(std::uint16_t m) override { Record(META_SETPOLYFILLMODE, {static_cast<std::int16_t>(m)}); }

private:
    size_t Begin(std::uint16_t function) {
        const size_t at = b_.Size();
        b_.U32(0);
        b_.U16(function);
        return at;
    }
    void End(size_t at) {
        if (b_.Size() % 2) b_.U8(0);
        const std::uint32_t words = static_cast<std::uint32_t>((b_.Size() - at) / 2);
        b_.PatchU32(at, words);
        maxRecord_ = std::max(maxRecord_, words);
    }
    void Record(std::uint16_t function, std::initializer_list<std::int16_t> params) {
        const size_t at = Begin(function);
        for (std::int16_t v : params) b_.I16(v);
        End(at);
    }
    void ColorRecord(std::uint16_t function, Color c) {
        const size_t at = Begin(function);
        b_.U32(c);
        End(at);
    }
    void Points(const QPoint* p, size_t n) {
        char* out = b_.Grow(n * 4);
        for (size_t i = 0; i < n; ++i, out += 4) {
            StoreLE(out, Clamp16(p[i].x()));
            StoreLE(out + 2, Clamp16(p[i].y()));
        }
    }

    // Keeps a polygon within the 16-bit point count by leaving out points evenly.
    static std::vector<QPoint> Thin(const QPoint* p, std::uint32_t n) {
        std::vector<QPoint> out;
        out.reserve(kMaxWmfPoints);
        for (std::uint32_t i = 0; i < kMaxWmfPoints; ++i) out.push_back(p[static_cast<std::uint64_t>(i) * n / kMaxWmfPoints]);
        return out;
    }

    void Poly(std::uint16_t function, const QPoint* p, std::uint32_t n) {
        const size_t at = Begin(function);
        b_.I16(static_cast<std::int16_t>(n));
        Points(p, n);
        End(at);
    }

    void Polyline(const QPoint* p, std::uint32_t n) {
        // Long lines go in pieces that share their joints.
        std::uint32_t start = 0;
        while (n - start > kMaxWmfPoints) {
            Poly(META_POLYLINE, p + start, kMaxWmfPoints);
            start += kMaxWmfPoints - 1;
        }
        Poly(META_POLYLINE, p + start, n - start);
    }

    void Polygon(const QPoint* p, std::uint32_t n) {
        if (n > kMaxWmfPoints) {
            const std::vector<QPoint> thin = Thin(p, n);
            Poly(META_POLYGON, thin.data(), kMaxWmfPoints);
        } else {
            Poly(META_POLYGON, p, n);
        }
    }

    void WriteOp(const Op& op) {
        const DcState& st = pic_.states[op.state];
        dc_.Prepare(st, op.kind);
        const QPoint* pts = pic_.points.data();
        switch (op.kind) {
            case OpKind::Polyline: Polyline(pts + op.a, op.b); break;
            case OpKind::Polygon: Polygon(pts + op.a, op.b); break;
            case OpKind::PolyPolyline: {
                const QPoint* p = pts + op.a;
                for (std::uint32_t i = 0; i < op.c; ++i) {
                    Polyline(p, pic_.polyCounts[op.b + i]);
                    p += pic_.polyCounts[op.b + i];
                }
                break;
            }
            case OpKind::PolyPolygon: WritePolyPolygon(pts + op.a, pic_.polyCounts.data() + op.b, op.c); break;
            case OpKind::Rectangle:
            case OpKind::Ellipse: {
                const QPoint& a = pts[op.a];
                const QPoint& c = pts[op.a + 1];
                Record(op.kind == OpKind::Rectangle ? META_RECTANGLE : META_ELLIPSE,
                       {Clamp16(c.y()), Clamp16(c.x()), Clamp16(a.y()), Clamp16(a.x())});
                break;
            }
            case OpKind::Text: WriteText(st, pic_.texts[op.a]); break;
            case OpKind::Pixel: {
                const size_t at = Begin(META_SETPIXEL);
                b_.U32(op.b);
                b_.I16(Clamp16(pts[op.a].y()));
                b_.I16(Clamp16(pts[op.a].x()));
                End(at);
                break;
            }
            case OpKind::Image: WriteImage(pic_.images[op.a]); break;
        }
    }

    void WritePolyPolygon(const QPoint* p, const std::uint32_t* counts, std::uint32_t parts) {
        // The part count is 16-bit as well; a path with more parts than that keeps the first.
        const std::uint32_t written = std::min(parts, kMaxWmfPoints);
        std::vector<std::uint16_t> sizes(written);
        bool thin = false;
        for (std::uint32_t i = 0; i < written; ++i) {
            thin = thin || counts[i] > kMaxWmfPoints;
            sizes[i] = static_cast<std::uint16_t>(std::min(counts[i], kMaxWmfPoints));
        }
        const size_t at = Begin(META_POLYPOLYGON);
        b_.U16(static_cast<std::uint16_t>(written));
        b_.Array(sizes.data(), sizes.size());
        if (!thin) {
            std::uint64_t total = 0;
            for (std::uint32_t i = 0; i < written; ++i) total += counts[i];
            Points(p, total);
        } else {
            for (std::uint32_t i = 0; i < written; ++i) {
                if (counts[i] > kMaxWmfPoints) {
                    const std::vector<QPoint> part = Thin(p, counts[i]);
                    Points(part.data(), part.size());
                } else {
                    Points(p, counts[i]);
                }
                p += counts[i];
            }
        }
        End(at);
    }

    void WriteText(const DcState& st, const TextRun& t) {
        const LogFont& font = pic_.fonts[st.font];
        // Along the baseline, whatever the escapement.
        const double angle = font.escapement * std::numbers::pi / 1800.0;
        const double ux = std::cos(angle), uy = -std::sin(angle);
        std::int64_t advance = 0;
        for (const CharsetRun& run : SplitIntoCharsetRuns(font.charset, t.text)) {
            dc_.SelectFont(st.font, run.charset);
            const std::int64_t x = t.origin.x() + std::llround(advance * ux);
            const std::int64_t y = t.origin.y() + std::llround(advance * uy);
            const std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(run.bytes.size()), INT16_MAX);
            const size_t at = Begin(META_EXTTEXTOUT);
            b_.I16(Clamp16(y));
            b_.I16(Clamp16(x));
            b_.I16(static_cast<std::int16_t>(n));
            b_.U16(0);
            b_.Raw(std::string_view(run.bytes).substr(0, n));
            if (n % 2) b_.U8(0);
            char* dx = b_.Grow(static_cast<size_t>(n) * 2);
            for (std::uint32_t i = 0; i < n; ++i) StoreLE(dx + 2 * i, Clamp16(t.dx[run.first + i]));
            End(at);
            for (int i = 0; i < run.count; ++i) advance += t.dx[run.first + i];
        }
    }

    void WriteImage(const ImageRun& img) {
        const DibImage dib = Dib(img.image);
        const size_t at = Begin(META_STRETCHDIB);
        b_.U32(0x00CC0020);  // SRCCOPY
        b_.U16(0);           // DIB_RGB_COLORS
        b_.I16(Clamp16(dib.height));
        b_.I16(Clamp16(dib.width));
        b_.I16(0);
        b_.I16(0);
        b_.I16(Clamp16(static_cast<std::int64_t>(img.dest.bottom) - img.dest.top));
        b_.I16(Clamp16(static_cast<std::int64_t>(img.dest.right) - img.dest.left));
        b_.I16(Clamp16(img.dest.top));
        b_.I16(Clamp16(img.dest.left));
        b_.Raw(dib.data);
        End(at);
    }

    const Picture& pic_;
    DcSync dc_;
    Bytes b_;
    std::uint32_t maxRecord_ = 0;
};

}  // namespace

std::string WriteEmf(const Picture& picture) { return EmfWriter(picture).Write(); }

std::string WriteWmf(const Picture& picture) { return WmfWriter(picture).Write(); }

}  // namespace kalvo::gdi
