#include "lgs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <system_error>

#include "analysis_state.h"
#include "number_cells.h"

namespace kalvo {

std::array<LgsMatrix, kLgsHistorieSlots + 1> LgsHistorie{};

namespace {
int gGespeichert = 0;  // inputs held in slots 1..gGespeichert, oldest first

double& At(LgsMatrix& A, int r, int c) { return A[static_cast<size_t>(r)][static_cast<size_t>(c)]; }
double At(const LgsMatrix& A, int r, int c) { return A[static_cast<size_t>(r)][static_cast<size_t>(c)]; }

void ZeroTiny(LgsMatrix& A, int r, int n) {
    for (int c = 1; c <= n; ++c)
        if (std::fabs(At(A, r, c)) < 1e-12) At(A, r, c) = 0;
}
}  // namespace

void ResetLgsHistorie() {
    LgsHistorie = {};
    gGespeichert = 0;
    gRegression.LgsHistorieAnzahl = 1;
    gRegression.LgsHistorieIndex = 1;
}

void LgsHistorieSpeichern(const LgsMatrix& eingabe) {
    int& index = gRegression.LgsHistorieIndex;
    if (gGespeichert == kLgsHistorieSlots) {
        // Full: the oldest input goes, the others move up one slot, and the
        // restore button keeps pointing at the same input.
        for (int k = 1; k < kLgsHistorieSlots; ++k) LgsHistorie[static_cast<size_t>(k)] = LgsHistorie[static_cast<size_t>(k) + 1];
        index = std::max(1, index - 1);
    } else {
        ++gGespeichert;
    }
    LgsHistorie[static_cast<size_t>(gGespeichert)] = eingabe;
    gRegression.LgsHistorieAnzahl = std::min(gGespeichert + 1, kLgsHistorieSlots);
}

bool LgsHistorieVorhanden() { return gGespeichert > 0; }

int LgsHistorieGespeichert() { return gGespeichert; }

bool LgsHistorieNaechste(LgsMatrix& matrix) {
    if (gGespeichert == 0) return false;
    int& index = gRegression.LgsHistorieIndex;
    // After the newest input the restore starts again at the oldest.
    if (index > gGespeichert || index < 1) index = 1;
    matrix = LgsHistorie[static_cast<size_t>(index)];
    ++index;
    return true;
}

void RowSwap(LgsMatrix& A, int i, int s, int n) {
    for (int c = 1; c <= n; ++c) std::swap(At(A, i, c), At(A, s, c));
}

void RowAddMultiple(LgsMatrix& A, int i, int r, double f, int n) {
    for (int c = 1; c <= n; ++c) At(A, r, c) += f * At(A, i, c);
    ZeroTiny(A, r, n);
}

void RowScale(LgsMatrix& A, int i, double f, int n) {
    for (int c = 1; c <= n; ++c) At(A, i, c) *= f;
    ZeroTiny(A, i, n);
}

void rref(LgsMatrix& A, int m, int n) {
    auto eliminate = [&](int i, int j) {
        for (int r = 1; r <= m; ++r)
            if (r != i && At(A, r, j) != 0) RowAddMultiple(A, i, r, -At(A, r, j), n);
    };
    int i = 1, j = 1;
    // Each pass either moves the pivot column on or makes the pivot usable
    // (a swap brings a non-zero entry, which the next pass scales or takes).
    for (int guard = 0; i >= 1 && i <= m && j >= 1 && j <= n && guard < 4 * (m + 1) * (n + 1); ++guard) {
        const double a = At(A, i, j);
        if (a == 1) {
            eliminate(i, j);
        } else if (a == 0) {
            int s = i + 1;
            while (s <= m && At(A, s, j) == 0) ++s;
            if (s <= m) RowSwap(A, i, s, n);
            else ++j;
            continue;
        } else {
            RowScale(A, i, 1 / a, n);
            // a * (1/a) need not be 1 in floating point (49 is one such a);
            // the pivot is 1 by construction.
            At(A, i, j) = 1;
            eliminate(i, j);
        }
        ++i;
        ++j;
    }
}

namespace {

template <typename IstNull, typename IstEins>
LgsUrteil Urteil(int m, int n, IstNull istNull, IstEins istEins) {
    if (n - 1 != m) return LgsUrteil::KeinUrteil;
    for (int r = 1; r <= m; ++r) {
        bool zero = true;
        for (int c = 1; c <= m && zero; ++c) zero = istNull(r, c);
        if (zero && !istNull(r, n)) return LgsUrteil::KeineLoesung;
    }
    for (int r = 1; r <= m; ++r)
        if (!istEins(r, r)) return LgsUrteil::UnendlichViele;
    return LgsUrteil::Eindeutig;
}

}  // namespace

LgsUrteil LgsLoesungsurteil(const LgsMatrix& R, int m, int n) {
    return Urteil(m, n, [&](int r, int c) { return At(R, r, c) == 0; }, [&](int r, int c) { return At(R, r, c) == 1; });
}

LgsUrteil LgsLoesungsurteil(const LgsBruchMatrix& R, int m, int n) {
    auto at = [&](int r, int c) { return R[static_cast<size_t>(r)][static_cast<size_t>(c)]; };
    return Urteil(m, n, [&](int r, int c) { return at(r, c).zaehler == 0; },
                  [&](int r, int c) { return at(r, c).zaehler == 1 && at(r, c).nenner == 1; });
}

namespace {

using Ganz = LgsGanzzahl;
__extension__ typedef unsigned __int128 Nat;

constexpr Ganz kGanzMax = static_cast<Ganz>(~Nat{0} >> 1);

Nat Betrag(Ganz a) { return a < 0 ? Nat{0} - static_cast<Nat>(a) : static_cast<Nat>(a); }

// A 256-bit number as sign and magnitude: the products of the elimination
// before their exact division.
struct Gross {
    bool negativ = false;
    Nat hoch = 0, tief = 0;
};

Gross Produkt(Ganz a, Ganz b) {
    const Nat x = Betrag(a), y = Betrag(b);
    const Nat maske = ~uint64_t{0};
    const Nat x0 = x & maske, x1 = x >> 64, y0 = y & maske, y1 = y >> 64;
    const Nat p00 = x0 * y0, p01 = x0 * y1, p10 = x1 * y0, p11 = x1 * y1;
    const Nat mitte = (p00 >> 64) + (p01 & maske) + (p10 & maske);
    Gross g;
    g.tief = (mitte << 64) | (p00 & maske);
    g.hoch = p11 + (p01 >> 64) + (p10 >> 64) + (mitte >> 64);
    g.negativ = (a < 0) != (b < 0) && (g.hoch != 0 || g.tief != 0);
    return g;
}

bool Kleiner(const Gross& a, const Gross& b) { return a.hoch != b.hoch ? a.hoch < b.hoch : a.tief < b.tief; }

// Magnitudes below 2^254 each, so a sum cannot carry out of 256 bits.
Gross Summe(const Gross& a, const Gross& b) {
    Gross g;
    if (a.negativ == b.negativ) {
        g.tief = a.tief + b.tief;
        g.hoch = a.hoch + b.hoch + (g.tief < a.tief ? 1 : 0);
        g.negativ = a.negativ;
        return g;
    }
    const bool aGroesser = !Kleiner(a, b);
    const Gross& gr = aGroesser ? a : b;
    const Gross& kl = aGroesser ? b : a;
    g.tief = gr.tief - kl.tief;
    g.hoch = gr.hoch - kl.hoch - (gr.tief < kl.tief ? 1 : 0);
    g.negativ = gr.negativ && (g.hoch != 0 || g.tief != 0);
    return g;
}

// a / d when d divides a and the quotient fits in 128 bits.
bool ExaktGeteilt(const Gross& a, Ganz d, Ganz& q) {
    const Nat teiler = Betrag(d);
    if (teiler == 0) return false;
    Nat rest = 0, qHoch = 0, qTief = 0;
    // Long division bit by bit; the remainder stays below the divisor, at
    // most 2^127, so doubling it cannot overflow.
    for (int bit = 255; bit >= 0; --bit) {
        const Nat wort = bit >= 128 ? a.hoch : a.tief;
        rest = (rest << 1) | ((wort >> (bit & 127)) & 1);
        qHoch = (qHoch << 1) | (qTief >> 127);
        qTief <<= 1;
        if (rest >= teiler) {
            rest -= teiler;
            qTief |= 1;
        }
    }
    if (rest != 0 || qHoch != 0 || qTief > static_cast<Nat>(kGanzMax)) return false;
    const Ganz betrag = static_cast<Ganz>(qTief);
    q = (a.negativ != (d < 0)) ? -betrag : betrag;
    return true;
}

Ganz Ggt(Ganz a, Ganz b) {
    Nat x = Betrag(a), y = Betrag(b);
    while (y != 0) {
        const Nat t = x % y;
        x = y;
        y = t;
    }
    return static_cast<Ganz>(x);  // both below 2^127 here
}

// x as the decimal number it was typed as, x = ziffern * 10^exponent with at
// most 15 significant digits: every such decimal reads back to its double,
// and a double that needs more digits (1/3, the square root of 2, 0.1 + 0.2)
// was not typed as a decimal.
bool AlsDezimalzahl(double x, Ganz& ziffern, int& exponent) {
    if (!std::isfinite(x)) return false;
    if (x == 0) {
        ziffern = 0;
        exponent = 0;
        return true;
    }
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    const std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
    const size_t e = text.find('e');
    if (e == std::string_view::npos) return false;
    int e10 = 0;
    const char* anfang = text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0);
    if (std::from_chars(anfang, text.data() + text.size(), e10).ec != std::errc{}) return false;
    Ganz d = 0;
    int stellen = 0, nachKomma = 0;
    bool komma = false;
    for (char c : text.substr(0, e)) {
        if (c == '.') {
            komma = true;
        } else if (c >= '0' && c <= '9') {
            d = d * 10 + (c - '0');
            ++stellen;
            if (komma) ++nachKomma;
        }
    }
    if (stellen > 15) return false;
    ziffern = text.front() == '-' ? -d : d;
    exponent = e10 - nachKomma;
    return true;
}

bool MalZehnHoch(Ganz& a, int k) {
    for (int i = 0; i < k; ++i) {
        if (Betrag(a) > static_cast<Nat>(kGanzMax / 10)) return false;
        a *= 10;
    }
    return true;
}

}  // namespace

bool LgsExaktReduzieren(const LgsMatrix& A, int m, int n, LgsBruchMatrix& R) {
    if (m < 1 || m > 8 || n < 1 || n > 8) return false;
    Ganz M[9][9] = {};
    // Every row times a power of ten is whole; that leaves the reduced form as it is.
    for (int r = 1; r <= m; ++r) {
        Ganz ziffern[9] = {};
        int exponent[9] = {};
        int kleinster = 0;
        bool erster = true;
        for (int c = 1; c <= n; ++c) {
            if (!AlsDezimalzahl(At(A, r, c), ziffern[c], exponent[c])) return false;
            if (ziffern[c] != 0 && (erster || exponent[c] < kleinster)) {
                kleinster = exponent[c];
                erster = false;
            }
        }
        for (int c = 1; c <= n; ++c) {
            if (ziffern[c] == 0) continue;
            if (exponent[c] - kleinster > 40 || !MalZehnHoch(ziffern[c], exponent[c] - kleinster)) return false;
            M[r][c] = ziffern[c];
        }
    }
    // Fraction-free Gauss-Jordan: after each pivot every entry is a minor of
    // the scaled input, so the division by the previous pivot is exact, and
    // all pivots of the finished rows equal the last one.
    int pivotspalte[9] = {};
    Ganz vorher = 1;
    int i = 1;
    for (int j = 1; j <= n && i <= m; ++j) {
        int s = i;
        while (s <= m && M[s][j] == 0) ++s;
        if (s > m) continue;
        if (s != i)
            for (int c = 1; c <= n; ++c) std::swap(M[i][c], M[s][c]);
        const Ganz p = M[i][j];
        for (int r = 1; r <= m; ++r) {
            if (r == i) continue;
            const Ganz f = M[r][j];
            for (int c = 1; c <= n; ++c) {
                if (c == j) continue;
                Gross neu = Produkt(p, M[r][c]);
                Gross weg = Produkt(f, M[i][c]);
                weg.negativ = !weg.negativ && (weg.hoch != 0 || weg.tief != 0);
                if (!ExaktGeteilt(Summe(neu, weg), vorher, M[r][c])) return false;
            }
            M[r][j] = 0;
        }
        vorher = p;
        pivotspalte[i] = j;
        ++i;
    }
    R = {};
    for (int r = 1; r <= m; ++r)
        for (int c = 1; c <= n; ++c) {
            LgsBruch& b = R[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (r >= i || M[r][c] == 0) continue;  // rows past the rank are zero
            Ganz z = M[r][c], q = M[r][pivotspalte[r]];
            if (q < 0) {
                z = -z;
                q = -q;
            }
            const Ganz g = Ggt(z, q);
            b.zaehler = z / g;
            b.nenner = q / g;
        }
    return true;
}

std::string BruchText(const LgsBruch& b) {
    auto ziffern = [](Ganz v) {
        Nat a = Betrag(v);
        std::string s;
        do {
            s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(a % 10)));
            a /= 10;
        } while (a != 0);
        return v < 0 ? "-" + s : s;
    };
    if (b.nenner == 1) return ziffern(b.zaehler);
    return ziffern(b.zaehler) + "/" + ziffern(b.nenner);
}

double BruchWert(const LgsBruch& b) {
    constexpr Ganz k2hoch53 = Ganz{1} << 53;
    // Both exact as doubles: one correctly rounded division.
    if (Betrag(b.zaehler) <= static_cast<Nat>(k2hoch53) && b.nenner <= k2hoch53)
        return static_cast<double>(b.zaehler) / static_cast<double>(b.nenner);
    return static_cast<double>(static_cast<long double>(b.zaehler) / static_cast<long double>(b.nenner));
}

long long IntGcd(long long a, long long b) {
    a = std::llabs(a);
    b = std::llabs(b);
    while (b != 0) {
        const long long t = a % b;
        a = b;
        b = t;
    }
    return a;
}

double FloatGcd(double a, double b) {
    if (std::fabs(a) < 2147483647.0 && std::fabs(b) < 2147483647.0)
        return static_cast<double>(IntGcd(std::llround(b), std::llround(a)));
    // Euclid in floating point; each step at least halves the pair within two steps.
    for (int guard = 0; std::fabs(a) >= 0.5 && guard < 4000; ++guard) {
        const double next = b - a * std::trunc(b / a);
        b = a;
        a = next;
        if (!std::isfinite(a) || !std::isfinite(b)) break;
    }
    return b;
}

bool FloatToFraction(double x, double& p, double& q, double tolerance) {
    const double ax = std::fabs(x);
    p = 1;
    q = 0;
    double p0 = 0, q0 = 1;
    double y = ax;
    auto close = [&] { return q != 0 && std::fabs(ax - p / q) < tolerance; };
    for (int k = 0; k < 100; ++k) {
        const double a = std::trunc(y + tolerance);
        const double np = a * p + p0, nq = a * q + q0;
        if (!std::isfinite(np) || !std::isfinite(nq)) break;
        p0 = p;
        q0 = q;
        p = np;
        q = nq;
        const double g = FloatGcd(q, p);
        if (g != 0 && std::isfinite(g) && g != 1) {
            p /= g;
            q /= g;
        }
        const double r = y - a;
        if (r < tolerance) break;
        y = 1 / r;
        if (!std::isfinite(y)) break;
        if (close()) break;
    }
    const bool ok = close();
    if (x < 0) p = -p;
    return ok;
}

namespace {

// A decimal number with at most 10 decimals and at least one, from the
// shortest digits that read back to x (more would show the binary noise of
// a value typed as a decimal); values of 1e18 and more as plain digits.
std::string FixedText(double x) {
    if (!std::isfinite(x)) return "nicht def.";
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed);
    std::string s(buf, res.ptr);
    size_t point = s.find('.');
    if (point != std::string::npos && s.size() - point - 1 > 10) {
        res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, 10);
        s.assign(buf, res.ptr);
        point = s.find('.');
    }
    if (std::fabs(x) >= 1e18) return s.substr(0, point);
    if (point == std::string::npos) {
        point = s.size();
        s += ".0";
    }
    while (s.size() > point + 2 && s.back() == '0') s.pop_back();
    // Ten decimals would show a small value that is not 0 as 0,0.
    if (x != 0 && s.find_first_not_of("-0.") == std::string::npos) return GeneralNumberText(x);
    s[point] = ',';
    if (s.front() == '-' && s.find_first_not_of("-0,") == std::string::npos) s.erase(0, 1);
    return s;
}

}  // namespace

double BruchToleranz(double x) { return kBruchToleranz * std::max(1.0, std::fabs(x)); }

namespace {

// A fraction is taken only where the tolerance could not have led to it by
// chance: fractions of denominators up to q lie about 1/q^2 apart, and every
// number has some fraction of denominator about 1/sqrt(tol) within tol. Nor
// does a value that is not 0 become 0.
bool BruchGefunden(double x, double& p, double& q) {
    const double tol = BruchToleranz(x);
    return std::isfinite(x) && FloatToFraction(x, p, q, tol) && std::fabs(p) * std::fabs(q) <= 1e14 &&
           q * q * tol <= kBruchEindeutig && (p != 0 || x == 0);
}

}  // namespace

std::string FormatBruch(double x) {
    double p = 0, q = 1;
    if (BruchGefunden(x, p, q)) {
        if (q == 1) return GeneralNumberText(p);
        return GeneralNumberText(p) + "/" + GeneralNumberText(q);
    }
    return FixedText(x);
}

bool AlsBruchErkannt(double x) {
    double p = 0, q = 1;
    return BruchGefunden(x, p, q);
}

std::string DezimalText(double x) {
    if (std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 1e15) return GeneralNumberText(x);
    return FixedText(x);
}

std::string LgsZahltext(double x, int stellen) { return GeneralNumberText(x, stellen < 1 ? 1 : stellen, 3); }

std::string LgsUrteilText(LgsUrteil urteil, const std::vector<std::string>& loesung) {
    switch (urteil) {
        case LgsUrteil::KeineLoesung: return "keine Lösung!";
        case LgsUrteil::UnendlichViele: return "unendlich viele Lösungen!";
        case LgsUrteil::Eindeutig: {
            std::string s = "L = {(";
            for (size_t r = 0; r < loesung.size(); ++r) {
                if (r > 0) s += "; ";
                s += loesung[r];
            }
            return s + ")}";
        }
        default: return {};
    }
}

LgsErgebnis LgsLoesen(const LgsMatrix& eingabe, int m, int n, bool brueche, int stellen) {
    LgsErgebnis e;
    m = std::clamp(m, 1, 8);
    n = std::clamp(n, 1, 8);
    LgsBruchMatrix exakt{};
    e.exakt = LgsExaktReduzieren(eingabe, m, n, exakt);
    // Decimals that were too large to reduce exactly: their fractions would be
    // guesses, which may be wrong.
    bool dezimal = !e.exakt;
    auto bruch = [&exakt](int r, int c) { return exakt[static_cast<size_t>(r)][static_cast<size_t>(c)]; };
    if (e.exakt) {
        for (int r = 1; r <= m; ++r)
            for (int c = 1; c <= n; ++c) At(e.werte, r, c) = BruchWert(bruch(r, c));
        e.urteil = LgsLoesungsurteil(exakt, m, n);
    } else {
        for (int r = 1; r <= m && dezimal; ++r)
            for (int c = 1; c <= n && dezimal; ++c) {
                Ganz ziffern = 0;
                int exponent = 0;
                dezimal = AlsDezimalzahl(At(eingabe, r, c), ziffern, exponent);
            }
        e.werte = eingabe;
        rref(e.werte, m, n);
        e.urteil = LgsLoesungsurteil(e.werte, m, n);
    }
    // A unique solution in one form: if one component cannot be shown as a
    // fraction, none is.
    bool loesungAlsBruch = true;
    if (brueche && !e.exakt && !dezimal && e.urteil == LgsUrteil::Eindeutig)
        for (int r = 1; r <= m; ++r) loesungAlsBruch = loesungAlsBruch && AlsBruchErkannt(At(e.werte, r, n));
    for (int r = 1; r <= m; ++r)
        for (int c = 1; c <= n; ++c) {
            const double v = At(e.werte, r, c);
            std::string& text = e.texte[static_cast<size_t>(r)][static_cast<size_t>(c)];
            if (!brueche) text = LgsZahltext(v, stellen);
            else if (e.exakt) text = BruchText(bruch(r, c));
            else if (dezimal || (c == n && !loesungAlsBruch)) text = DezimalText(v);
            else text = FormatBruch(v);
        }
    std::vector<std::string> loesung;
    if (e.urteil == LgsUrteil::Eindeutig)
        for (int r = 1; r <= m; ++r) loesung.push_back(e.texte[static_cast<size_t>(r)].at(static_cast<size_t>(n)));
    e.urteilText = LgsUrteilText(e.urteil, loesung);
    return e;
}

}  // namespace kalvo
