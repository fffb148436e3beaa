#include "decimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace kalvo {

std::string_view TrimBlanks(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool ParseDecimal(std::string_view s, double& value) {
    s = TrimBlanks(s);
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        if (!s.empty() && s.front() == '-') return false;
    }
    // from_chars alone would take "inf" and "nan", and stop quietly at the "x" of "0x1p3".
    if (s.empty() || s.find_first_not_of("0123456789.,eE+-") != std::string_view::npos) return false;
    if (s.find_first_of("0123456789") == std::string_view::npos) return false;
    std::string t(s);
    std::replace(t.begin(), t.end(), ',', '.');
    double v = 0;
    auto res = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != t.data() + t.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool ParseInteger(std::string_view s, int& value) {
    s = TrimBlanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty() || s.front() == '+' || s.front() == '-') return false;
    int64_t v = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), v, base);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) return false;
    if (negative) v = -v;
    // Colours are written as unsigned 32-bit values by some programs.
    if (base == 16 && !negative && v <= 0xFFFFFFFFLL) v = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

std::string RoundTripText(double x, char separator) {
    if (!std::isfinite(x)) x = 0;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, x);
    std::string s(buf, res.ptr);
    if (separator != '.') std::replace(s.begin(), s.end(), '.', separator);
    return s;
}

}  // namespace kalvo
