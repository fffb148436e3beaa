#include "measured_data.h"

#include <QFileInfo>

#include <algorithm>

#include "decimal.h"
#include "number_text.h"
#include "number_cells.h"
#include "text_codec.h"

namespace kalvo {

namespace {

// The lines of a decoded file, without their line ends: LF, CR LF, or CR
// alone as old Macintosh programs end lines.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        lines.push_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

bool IsBlank(std::string_view line) { return line.find_first_not_of(" \t\r") == std::string_view::npos; }

// Reads the pair lines in order into d, up to `limit` pairs: a blank line is
// passed over, any other line that is not a valid pair is left out and
// counted. Nothing stands in for a line that was left out. Valid pairs
// beyond the limit are counted, not kept.
template <typename Next>
void ReadPairs(Messdaten& d, int limit, Next next) {
    std::vector<double> xs, ys;
    std::string_view line;
    int number = 0;
    while (next(line, number)) {
        double x = 0, y = 0;
        if (ParseWertepaar(line, x, y) != WertepaarStatus::Ok) {
            if (d.Uebergangen++ == 0) d.ErsteUebergangene = number;
            continue;
        }
        if (static_cast<int>(xs.size()) == limit) {
            ++d.Weitere;
            continue;
        }
        xs.push_back(x);
        ys.push_back(y);
    }
    d.N = static_cast<int>(xs.size());
    AllocVector(d.X, d.N);
    AllocVector(d.Y, d.N);
    for (size_t k = 0; k < xs.size(); ++k) {
        d.X[k + 1] = xs[k];
        d.Y[k + 1] = ys[k];
    }
}

std::string Paare(long long n) { return IntToText(n) + (n == 1 ? " Wertepaar" : " Wertepaare"); }

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
    if (lines.empty() || lines[0] != "Regression") {
        d.KeinEigenesFormat = text.find_first_not_of(" \t\r\n") != std::string_view::npos;
        return d;
    }
    int n = 0;
    if (lines.size() < 2 || !ParseInteger(lines[1], n) || n < 1) {
        d.KeineAnzahl = true;
        if (lines.size() >= 2) d.AnzahlText = std::string(TrimBlanks(lines[1]));
        return d;
    }
    d.Angegeben = n;
    // The count covers the lines that are not blank; a file that ends before
    // them gives the pairs it has.
    size_t i = 2;
    int lineCount = 0;
    ReadPairs(d, kMaxDateiWertepaare, [&](std::string_view& line, int& number) {
        while (i < lines.size() && IsBlank(lines[i])) ++i;
        if (i >= lines.size() || lineCount >= n) return false;
        line = lines[i];
        number = static_cast<int>(i) + 1;
        ++i;
        ++lineCount;
        return true;
    });
    d.Fehlend = n - lineCount;
    return d;
}

Messdaten LoadMesswerteTxt(std::string_view text) {
    Messdaten d;
    const auto lines = Lines(text);
    size_t i = 0;
    ReadPairs(d, kMaxDateiWertepaare, [&](std::string_view& line, int& number) {
        while (i < lines.size() && IsBlank(lines[i])) ++i;
        if (i >= lines.size()) return false;
        line = lines[i];
        number = static_cast<int>(i) + 1;
        ++i;
        return true;
    });
    return d;
}

std::string LadeHinweis(const Messdaten& d) {
    std::vector<std::string> said;
    if (d.KeinEigenesFormat)
        said.push_back("Ihre erste Zeile heißt nicht „Regression“ wie die einer Messtabelle im eigenen Format; als "
                       "Messwerte mit Trennzeichen wird nur eine Datei mit der Endung .txt gelesen.");
    if (d.KeineAnzahl) {
        // A long line is shown by its beginning.
        std::string shown = CutToChars(d.AnzahlText, 30);
        if (shown.size() < d.AnzahlText.size()) shown += "…";
        said.push_back("Ihre zweite Zeile muss die Anzahl der Wertepaare angeben, eine ganze Zahl ab 1; dort steht „" +
                       shown + "“.");
    }
    if (d.Uebergangen > 0)
        said.push_back(IntToText(d.Uebergangen) + (d.Uebergangen == 1 ? " Zeile" : " Zeilen") +
                       " ohne gültiges Zahlenpaar übergangen (zuerst Zeile " + IntToText(d.ErsteUebergangene) + ").");
    if (d.Fehlend > 0)
        said.push_back("Die Datei gibt " + Paare(d.Angegeben) + " an, hat aber nur " + IntToText(d.Angegeben - d.Fehlend) +
                       (d.Angegeben - d.Fehlend == 1 ? " Zeile" : " Zeilen") + " dafür; gelesen wurde, was vorhanden ist.");
    if (d.Weitere > 0)
        said.push_back("Die Datei hat " + Paare(static_cast<long long>(d.N) + d.Weitere) + ", die Tabelle fasst " +
                       IntToText(kMaxDateiWertepaare) + ": Geladen wurden die ersten " + IntToText(d.N) +
                       "; wird die Tabelle gespeichert, " +
                       (d.Weitere == 1 ? std::string("fehlt darin das letzte.")
                                       : "fehlen darin die übrigen " + IntToText(d.Weitere) + "."));
    std::string s;
    for (const std::string& line : said) s += (s.empty() ? "" : "\n") + line;
    return s;
}

std::string NichtsGeladenMeldung(const Messdaten& d, const std::string& name) {
    const std::string hinweis = LadeHinweis(d);
    // A file whose pairs stand after a damaged count does hold pairs.
    return (d.KeineAnzahl ? "Aus der Datei " + name + " wurde kein Wertepaar geladen"
                          : "Die Datei " + name + " enthält keine Wertepaare") +
           "; die Tabelle bleibt, wie sie war." + (hinweis.empty() ? "" : "\n" + hinweis);
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
