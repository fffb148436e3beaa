#include "lgs.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

LgsUrteil LgsLoesungsurteil(const LgsMatrix& R, int m, int n) {
    if (n - 1 != m) return LgsUrteil::KeinUrteil;
    for (int r = 1; r <= m; ++r) {
        bool zero = true;
        for (int c = 1; c <= m && zero; ++c) zero = At(R, r, c) == 0;
        if (zero && At(R, r, n) != 0) return LgsUrteil::KeineLoesung;
    }
    for (int r = 1; r <= m; ++r)
        if (At(R, r, r) != 1) return LgsUrteil::UnendlichViele;
    return LgsUrteil::Eindeutig;
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

std::string FormatBruch(double x) {
    double p = 0, q = 1;
    const double tol = BruchToleranz(x);
    // A fraction is taken only where the tolerance could not have led to it by
    // chance: fractions of denominators up to q lie about 1/q^2 apart, and
    // every number has some fraction of denominator about 1/sqrt(tol) within
    // tol. Nor does a value that is not 0 become 0.
    if (std::isfinite(x) && FloatToFraction(x, p, q, tol) && std::fabs(p) * std::fabs(q) <= 1e14 &&
        q * q * tol <= kBruchEindeutig && (p != 0 || x == 0)) {
        if (q == 1) return GeneralNumberText(p);
        return GeneralNumberText(p) + "/" + GeneralNumberText(q);
    }
    return FixedText(x);
}

std::string LgsZahltext(double x, int stellen) { return GeneralNumberText(x, stellen < 1 ? 1 : stellen, 3); }

}  // namespace kalvo
