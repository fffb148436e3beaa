#include "number_cells.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "number_text.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {

std::string GeneralNumberText(double x, int precision, int minExpDigits) {
    if (!std::isfinite(x)) return std::string(kNotFiniteText);
    if (x == 0) return "0";
    precision = std::clamp(precision, 1, 17);
    minExpDigits = std::clamp(minExpDigits, 0, 4);
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific, precision - 1);
    const std::string_view s(buf, static_cast<size_t>(res.ptr - buf));
    const size_t epos = s.find('e');
    int exponent = 0;
    std::from_chars(s.data() + epos + 1 + (s[epos + 1] == '+'), s.data() + s.size(), exponent);
    const bool negative = s.front() == '-';
    std::string digits;
    for (char c : s.substr(0, epos))
        if (c >= '0' && c <= '9') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent >= precision) {
        out += digits[0];
        if (digits.size() > 1) out += "," + digits.substr(1);
        out += 'E';
        if (exponent < 0) out += '-';
        std::string e = std::to_string(std::abs(exponent));
        if (static_cast<int>(e.size()) < minExpDigits) e.insert(0, static_cast<size_t>(minExpDigits) - e.size(), '0');
        return out + e;
    }
    if (exponent < 0) {
        out += "0," + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) return out + digits + std::string(whole - digits.size(), '0');
    return out + digits.substr(0, whole) + "," + digits.substr(whole);
}

bool CellTermValue(std::string_view text, double& value) {
    if (RemoveBlanks(text).empty()) return false;
    if (!ParseTerm(ZahlTermbaum, text, false)) return false;
    const double v = EvalTermDerivative(ZahlTermbaum, 0, 0, 0, 0, 0);
    if (!gTerms.TermOK || !std::isfinite(v)) return false;
    value = v;
    return true;
}

std::string RemoveBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

bool CellTextAccepted(std::string_view text) {
    double v = 0;
    return RemoveBlanks(text).empty() || CellTermValue(text, v);
}

}  // namespace kalvo
