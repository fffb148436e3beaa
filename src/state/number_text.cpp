#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kalvo {

namespace {

std::string Replace(std::string s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
    return s;
}

std::string PadLeft(std::string s, int w) {
    if (w > 0 && static_cast<int>(s.size()) < w) s.insert(0, static_cast<size_t>(w) - s.size(), ' ');
    return s;
}

// Fixed or scientific by the band test on the unrounded value.
bool InFixedBand(double ax, double limit) { return (0.1 < ax && ax < limit) || ax < 1e-20; }

// x in scientific form with 15 significant digits ("d.dddde+xx"), in buf.
std::string_view ScientificForm(double x, char (&buf)[64]) {
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, 14);
    return {buf, static_cast<size_t>(res.ptr - buf)};
}

}  // namespace

std::string Fixed(double x, int w, int d) {
    w = std::clamp(w, 0, 255);
    d = std::clamp(d, 0, 30);
    if (!std::isfinite(x)) return PadLeft(std::string(kNotFiniteText), w);
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, d);
    std::string s(buf, res.ptr);
    // A value that rounds to zero carries no sign.
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return PadLeft(std::move(s), w);
}

std::string ScientificText(int w, int d, double x) {
    if (!std::isfinite(x)) return " " + PadLeft(std::string(kNotFiniteText), w);
    if (x == 0) return " " + Fixed(0, w, d) + " E+0";
    d = std::clamp(d, 0, 30);
    // The mantissa is rounded together with its exponent, so 999.999 with two
    // decimals reads 1,00 E+3 and never 10,00 E+2.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, d);
    const std::string text(buf, res.ptr);
    const size_t pos = text.find('e');
    int e = 0;
    std::from_chars(text.data() + pos + 2, text.data() + text.size(), e);
    const char sign = text[pos + 1] == '-' && e != 0 ? '-' : '+';
    return " " + PadLeft(text.substr(0, pos), std::clamp(w, 0, 255)) + " E" + sign + std::to_string(e);
}

std::string FormatNumberCommaBlanks(int d, double x) {
    if (!std::isfinite(x)) return std::string(kNotFiniteText);
    std::string s = InFixedBand(std::fabs(x), 100) ? Fixed(x, d + 4, d) + "     " : ScientificText(d + 3, d, x);
    return Replace(std::move(s), '.', ',');
}

std::string FormatNumberComma(int d, double x) {
    if (std::fabs(x) < 1e-10) x = 0;
    return FormatNumberCommaBlanks(d, x);
}

std::string FormatNumberCommaTight(int d, double x) {
    if (!std::isfinite(x)) return std::string(kNotFiniteText);
    std::string s = InFixedBand(std::fabs(x), 100) ? Fixed(x, d + 4, d) : ScientificText(d + 3, d, x);
    return Replace(std::move(s), '.', ',');
}

std::string FormatNumberWide(int d, double x) {
    if (!std::isfinite(x)) return std::string(kNotFiniteText);
    return InFixedBand(std::fabs(x), 10000) ? Fixed(x, d + 6, d) + "     " : ScientificText(d + 5, d, x);
}

std::string FormatNumberPoint(int d, double x) {
    if (!std::isfinite(x)) return std::string(kNotFiniteText);
    return InFixedBand(std::fabs(x), 100) ? Fixed(x, d + 4, d) : ScientificText(d + 3, d, x);
}

std::string RealToStrFixed(double x, int w, int d) { return Fixed(x, w, d); }

std::string RealToStrComma(double x, int w, int d) { return Replace(Fixed(x, w, d), '.', ','); }

std::string FormatTwoDecimals(double x) { return Replace(Fixed(x, 0, 2), '.', ','); }

std::string IntToText(long long i) { return std::to_string(i); }

std::string PointToComma(std::string s) { return Replace(std::move(s), '.', ','); }

std::string CommaToPoint(std::string s) { return Replace(std::move(s), ',', '.'); }

std::string RepeatChar(char c, int n) { return std::string(static_cast<size_t>(std::clamp(n, 0, 255)), c); }

std::string PadRightWith(std::string s, int n, char c) {
    while (static_cast<int>(s.size()) < n - 1) s.push_back(c);
    return s;
}

double StrToRealComma(std::string_view s) {
    double v = 0;
    return ParseDecimal(s, v) ? v : 0.0;
}

bool ReadWholeNumber(std::string_view s, int& value) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return false;
    value = v;
    return true;
}

int DecimalExponent(double x) {
    if (x == 0 || !std::isfinite(x)) return 0;
    char buf[64];
    const std::string_view s = ScientificForm(x, buf);
    auto epos = s.find('e');
    int e = 0;
    std::from_chars(s.data() + epos + 1 + (s[epos + 1] == '+'), s.data() + s.size(), e);
    return e;
}

double DecimalMantissa(double x) {
    if (x == 0 || !std::isfinite(x)) return 0;
    char buf[64];
    const std::string_view s = ScientificForm(x, buf);
    double m = 0;
    std::from_chars(s.data(), s.data() + s.find('e'), m);
    return m;
}

double RoundToDecimals(int n, double x) {
    if (x == 0 || !std::isfinite(x)) return x;
    if (n <= 0) return std::nearbyint(x);
    const double p = std::pow(10.0, std::min(n, 22));
    return (x > 0 ? std::trunc(p * x + 0.5) : std::trunc(p * x - 0.5)) / p;
}

namespace {

std::string ReplaceAll(std::string s, std::string_view from, std::string_view to) {
    for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
    return s;
}

}  // namespace

std::string TermShown(std::string_view term) { return ReplaceAll(std::string(term), kPiSign, kPiShown); }

std::string TermFromShown(std::string_view shown) {
    return ReplaceAll(ReplaceAll(std::string(shown), kPiShown, kPiSign), kPiShownCapital, kPiSign);
}

std::string NormalizeTermText(std::string_view s) {
    std::string comment;
    auto brace = s.find('{');
    if (brace != std::string_view::npos) {
        comment = std::string(s.substr(brace));
        s = s.substr(0, brace);
    }
    std::string t;
    t.reserve(s.size());
    for (char c : s) {
        if (c == ' ') continue;
        t.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    for (size_t pos = t.find("pi"); pos != std::string::npos; pos = t.find("pi")) t.replace(pos, 2, kPiSign);
    // A typed π is pi as well.
    t = TermFromShown(t);
    std::replace(t.begin(), t.end(), ',', '.');
    return t + comment;
}

std::string LineEquationText(double m, double b, double zeroBelow) {
    if (std::fabs(m) < zeroBelow) m = 0;
    if (std::fabs(b) < zeroBelow) b = 0;
    std::string s = "y = ";
    if (m != 0) {
        const std::string mt = FormatNumberPoint(2, m);
        if (mt == "  1.00")
            s += " x";
        else if (mt == " -1.00")
            s += " - x";
        else
            s += mt + " * x";
        if (b != 0) s += (b < 0 ? " -" : " +") + FormatNumberPoint(2, std::fabs(b));
    } else {
        s += b != 0 ? FormatNumberPoint(2, b) : "  0.0";
    }
    return s;
}

size_t CharCount(std::string_view s) {
    size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string CutToChars(std::string_view s, size_t n) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (chars == n) return std::string(s.substr(0, i));
            ++chars;
        }
    }
    return std::string(s);
}

int ClampToInt(double x, int lo, int hi) {
    if (std::isnan(x)) return lo;
    if (x <= lo) return lo;
    if (x >= hi) return hi;
    return static_cast<int>(std::nearbyint(x));
}

int RoundToInt(double x) {
    return ClampToInt(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

}  // namespace kalvo
