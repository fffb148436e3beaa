#pragma once
// The two lists of what the user collects while the program runs: the drawing
// objects on the graph and the stored function sets. Positions count from 1;
// an invalid position is ignored, as callers rely on.

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "program_state.h"

namespace kalvo {

enum class TDrawingTool : uint8_t { Tangente, Normale, Senkrechte, Waagrechte, Punkt1, Punkt2, Textfeld };

// Font styles of a text object, as bits.
enum FontStyleBits : uint8_t { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8 };

inline constexpr size_t kElementTextChars = 50;

struct tElement {
    TDrawingTool Art = TDrawingTool::Tangente;
    bool mflag = false;
    bool f1flag = false;
    BoundedText<kElementTextChars> Text;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string SchriftName;
    int32_t SchriftHoehe = 0;
    Color SchriftFarbe = 0;
    uint8_t Schriftart = 0;  // FontStyleBits
    Color LinienFarbe = 0;
};

struct Zeichenbereich {
    double von = 0, bis = 0;
    friend bool operator==(const Zeichenbereich&, const Zeichenbereich&) = default;
};
struct Parameterbereich {
    double von = 0, bis = 0, Schrittweite = 0;
    friend bool operator==(const Parameterbereich&, const Parameterbereich&) = default;
};

// A family draws one curve per t value of its range. A few hundred curves
// fill the picture already and cannot be told apart; more only make every
// redraw wait.
inline constexpr long long kMaxFamilyMembers = 250;

// The number of t values from von to bis by the step: von, von + step, ...
// up to bis (a billionth of a step of rounding allowed). A negative step
// counts by its size, a zero or undefined one as 1; a range that runs
// backwards has the one value von.
double FamilyMemberCount(const Parameterbereich& r);

// A range with more members than kMaxFamilyMembers gets the smallest step
// that keeps it to that many, over the same range.
void LimitFamilyMembers(Parameterbereich& r);

struct Summenbereich {
    int32_t von = 0, bis = 0, Schrittweite = 0;
    friend bool operator==(const Summenbereich&, const Summenbereich&) = default;
};

// One complete function set: graph slots, coordinate system, terms, ranges and constants.
struct ArchivEintrag {
    SchaubildTabelle Schaubilder;
    KoordinatensystemEinstellung Koordinatensystem;
    double a = 1, b = 1, c = 1, d = 1;
    double x1 = -8, x2 = 8, y1 = -8, y2 = 8;
    int32_t Nachkommastellen = 2;
    Funktionsterm f, g;
    Zeichenbereich fgBereich;
    Parameterbereich fgParameter;
    Funktionsterm Liste;
    ParameterWerteFeld Wert{};
    double u1 = 0, xo = 0, u2 = 0, u3 = 0;
    Summenbereich Summe;
    OneBased<Funktionsterm, 4> h;
    OneBased<Zeichenbereich, 4> hBereich;
    Parameterbereich hParameter;
    Funktionsterm Liste2;
    ParameterWerteFeld Wert2{};
    Funktionsterm xt, yt;
    Parameterbereich xytParameter;
};

// A list of records copied in and out whole; no caller holds a reference into it.
template <typename Record, int MaxCount = 65535>
class ObjectList {
public:
    // Positions are 16-bit numbers; a list never grows beyond them.
    static constexpr int kMaxCount = MaxCount;
    static_assert(MaxCount <= 65535);

    void Init() {
        items_.clear();
        cursor_ = 0;
    }
    void Done() { Init(); }
    bool Empty() const { return items_.empty(); }
    int Count() const { return static_cast<int>(items_.size()); }
    bool ValidIndex(int i) const { return i >= 1 && i <= Count(); }

    // The cell found by the last Seek (0 when none).
    int Cursor() const { return cursor_; }
    void Seek(int i) { cursor_ = ValidIndex(i) ? i : 0; }

    void InsertAfter(int i, const Record& r) {
        if (!ValidIndex(i) || Count() >= kMaxCount) return;
        items_.insert(items_.begin() + i, r);
        if (cursor_ > i) ++cursor_;
    }
    // i < 2 puts r first; otherwise after i - 1, so Count() + 1 appends and
    // anything further inserts nothing.
    void Insert(int i, const Record& r) {
        if (i < 2) {
            if (Count() >= kMaxCount) return;
            items_.insert(items_.begin(), r);
            if (cursor_ > 0) ++cursor_;
        } else {
            InsertAfter(i - 1, r);
        }
    }
    // The records ahead of those the list holds, in their order, as many
    // as there is room for; returns how many that were.
    int InsertFirst(std::span<const Record> records) {
        const size_t room = static_cast<size_t>(kMaxCount - Count());
        const size_t n = std::min(records.size(), room);
        items_.insert(items_.begin(), records.begin(), records.begin() + static_cast<std::ptrdiff_t>(n));
        if (cursor_ > 0) cursor_ += static_cast<int>(n);
        return static_cast<int>(n);
    }
    void Delete(int i) {
        if (!ValidIndex(i)) return;
        items_.erase(items_.begin() + (i - 1));
        if (cursor_ == i)
            cursor_ = 0;
        else if (cursor_ > i)
            --cursor_;
    }
    void Get(int i, Record& r) const {
        if (ValidIndex(i)) r = items_[static_cast<size_t>(i - 1)];
    }

protected:
    std::vector<Record> items_;
    int cursor_ = 0;
};

class ElementListe : public ObjectList<tElement> {
public:
    // The highest position whose box holds the point strictly inside; 0 when none.
    int FindAt(int x, int y) const;
};

// The function store. Every set it holds is drawn in every redraw and saved
// in every archive; its limit keeps an archive of a full store readable
// (below the readers' size limit, also with every text at its full length).
inline constexpr int kMaxFunktionssaetze = 7500;
class SpeicherListe : public ObjectList<ArchivEintrag, kMaxFunktionssaetze> {};

extern ElementListe gGrafikobjektliste;
extern SpeicherListe gFunktionenspeicher;

}  // namespace kalvo
