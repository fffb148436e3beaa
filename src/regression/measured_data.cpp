#include "measured_data.h"

#include <QFileInfo>

#include <algorithm>

#include "decimal.h"
#include "number_cells.h"
#include "text_codec.h"

namespace kalvo {

namespace {

// The lines of a decoded file, without their line ends.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

void Allocate(Messdaten& d, int n) {
    d.N = n;
    AllocVector(d.X, n);
    AllocVector(d.Y, n);
}

void ReadPair(Messdaten& d, int k, std::string_view line, int lineNumber) {
    double x = 0, y = 0;
    if (ParseWertepaar(line, x, y) == WertepaarStatus::KeineZahl) {
        if (d.Uebergangen++ == 0) d.ErsteUebergangene = lineNumber;
        return;
    }
    d.X[static_cast<size_t>(k)] = x;
    d.Y[static_cast<size_t>(k)] = y;
}

// Pairs that held no number close up, so no invented (0; 0) stands for them.
void DropSkipped(Messdaten& d, const std::vector<bool>& keep) {
    int n = 0;
    for (int k = 1; k <= d.N; ++k) {
        if (!keep[static_cast<size_t>(k)]) continue;
        ++n;
        d.X[static_cast<size_t>(n)] = d.X[static_cast<size_t>(k)];
        d.Y[static_cast<size_t>(n)] = d.Y[static_cast<size_t>(k)];
    }
    d.N = n;
    d.X.resize(static_cast<size_t>(n) + 1);
    d.Y.resize(static_cast<size_t>(n) + 1);
}

template <typename LineAt>
void ReadPairs(Messdaten& d, int n, LineAt lineAt) {
    Allocate(d, n);
    std::vector<bool> keep(static_cast<size_t>(n) + 1, true);
    for (int k = 1; k <= n; ++k) {
        const auto [line, number] = lineAt(k);
        const int before = d.Uebergangen;
        ReadPair(d, k, line, number);
        keep[static_cast<size_t>(k)] = d.Uebergangen == before;
    }
    if (d.Uebergangen > 0) DropSkipped(d, keep);
}

}  // namespace

WertepaarStatus ParseWertepaar(std::string_view line, double& x, double& y) {
    std::string s(line);
    std::replace(s.begin(), s.end(), '.', ',');
    std::replace(s.begin(), s.end(), '\t', ';');
    const size_t sep = s.find(';');
    if (sep == std::string::npos) return WertepaarStatus::KeinTrenner;
    const std::string xs = RemoveBlanks(s.substr(0, sep));
    std::string ys = RemoveBlanks(s.substr(sep + 1));
    if (ys.empty()) ys = "0";
    double vx = 0, vy = 0;
    if (!ParseDecimal(xs, vx) || !ParseDecimal(ys, vy)) return WertepaarStatus::KeineZahl;
    x = vx;
    y = vy;
    return WertepaarStatus::Ok;
}

Messdaten LoadMesstabelleDat(std::string_view text) {
    Messdaten d;
    const auto lines = Lines(text);
    if (lines.empty() || lines[0] != "Regression") return d;
    int n = 0;
    if (lines.size() < 2 || !ParseInteger(lines[1], n) || n < 1) return d;
    n = std::min(n, kMaxDateiWertepaare);
    ReadPairs(d, n, [&](int k) {
        const size_t i = static_cast<size_t>(k) + 1;
        return std::pair<std::string_view, int>(i < lines.size() ? lines[i] : std::string_view{}, k + 2);
    });
    return d;
}

Messdaten LoadMesswerteTxt(std::string_view text) {
    Messdaten d;
    const auto lines = Lines(text);
    std::vector<int> filled;  // indices of the lines that are not empty
    for (size_t i = 0; i < lines.size() && static_cast<int>(filled.size()) < kMaxDateiWertepaare; ++i)
        if (!IsBlank(lines[i])) filled.push_back(static_cast<int>(i));
    if (filled.empty()) return d;
    ReadPairs(d, static_cast<int>(filled.size()), [&](int k) {
        const int i = filled[static_cast<size_t>(k) - 1];
        return std::pair<std::string_view, int>(lines[static_cast<size_t>(i)], i + 1);
    });
    return d;
}

Messdaten LoadMessdatei(const std::string& path, std::string& fehler) {
    fehler.clear();
    const QString qpath = QString::fromStdString(path);
    // Never opens what is not a regular file: a named pipe would block.
    const FileReadResult file = ReadFileBytes(path, static_cast<size_t>(kMaxMessdateiBytes));
    if (!file.ok()) {
        fehler = ReadFailureMessage(file, path, "eine Wertetabelle");
        return {};
    }
    const std::string text = DecodeFileText(file.bytes);
    const std::string name = QFileInfo(qpath).fileName().toStdString();
    const size_t dot = name.rfind('.');
    const bool txt = dot != std::string::npos && name.substr(dot) == ".txt";
    return txt ? LoadMesswerteTxt(text) : LoadMesstabelleDat(text);
}

std::vector<std::string> SpeicherFilter() {
    return {"eigenes Format   (*.dat)", "Messwerte:   1,5 Tab 3,5     Excel-Tabelle (*.txt)",
            "Messwerte:   1.5 Tab 3.5    (*.txt)", "Messwerte:      1,5 ; 3,5       (*.txt)",
            "Messwerte:      1.5 ; 3.5       (*.txt)"};
}

std::vector<std::string> LadeFilter() {
    return {"Messtabelle (eigenes Format)   (*.dat)", "Messwerte:  x Seperator y  (*.txt)"};
}

std::string SpeicherDateiname(std::string_view chosen, Speicherformat format) {
    const size_t slash = chosen.find_last_of("/\\:");
    std::string_view name = slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    if (name.empty()) return {};
    return std::string(name) + (format == Speicherformat::Eigenes ? ".dat" : ".txt");
}

std::string MesswerteDateitext(const std::vector<std::pair<std::string, std::string>>& paare, Speicherformat format) {
    const bool tab = format == Speicherformat::TabKomma || format == Speicherformat::TabPunkt;
    const bool punkt = format == Speicherformat::TabPunkt || format == Speicherformat::SemikolonPunkt;
    std::string out;
    if (format == Speicherformat::Eigenes) out = "Regression\r\n" + std::to_string(paare.size()) + "\r\n";
    for (auto [x, y] : paare) {
        if (punkt) {
            std::replace(x.begin(), x.end(), ',', '.');
            std::replace(y.begin(), y.end(), ',', '.');
        }
        out += x + (tab ? "\t" : ";") + y + "\r\n";
    }
    return out;
}

}  // namespace kalvo
