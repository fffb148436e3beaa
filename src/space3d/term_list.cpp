#include "term_list.h"

#include <filesystem>

#include "number_text.h"
#include "program_state.h"
#include "text_codec.h"

namespace kalvo {

namespace {

constexpr size_t kMarkerZeichen = 8;  // "x=", ";y=", ";z="

// Control characters (C0, DEL, C1) and the byte-order mark have no place in a term.
std::string OhneSteuerzeichen(std::string_view zeile) {
    std::string s;
    s.reserve(zeile.size());
    for (size_t i = 0; i < zeile.size(); ++i) {
        const auto b = static_cast<unsigned char>(zeile[i]);
        if (b < 0x20 || b == 0x7F) continue;
        const auto naechstes = [&](size_t k) { return i + k < zeile.size() ? static_cast<unsigned char>(zeile[i + k]) : 0; };
        if (b == 0xC2 && naechstes(1) >= 0x80 && naechstes(1) <= 0x9F) {
            ++i;
            continue;
        }
        if (b == 0xEF && naechstes(1) == 0xBB && naechstes(2) == 0xBF) {
            i += 2;
            continue;
        }
        s += zeile[i];
    }
    return s;
}

std::string Dateiname(const std::string& pfad) {
    return std::filesystem::path(pfad).filename().string();
}

}  // namespace

size_t MaxEintragZeichen(Termlistenart art) {
    return art == Termlistenart::Funktion ? kTermChars : 3 * kTermChars + kMarkerZeichen;
}

const char* TermlistenEndung(Termlistenart art) { return art == Termlistenart::Funktion ? "LFF" : "LPF"; }

Termliste TermlisteAusText(std::string_view bytes, Termlistenart art) {
    Termliste liste;
    if (bytes.empty()) return liste;
    const std::string text = DecodeFileText(bytes);
    const size_t maxZeichen = MaxEintragZeichen(art);
    size_t anfang = 0;
    while (anfang < text.size()) {
        size_t ende = text.find_first_of("\r\n", anfang);
        if (ende == std::string::npos) ende = text.size();
        if (liste.eintraege.size() < kMaxTermlistenEintraege) {
            std::string zeile = OhneSteuerzeichen(std::string_view(text).substr(anfang, ende - anfang));
            if (CharCount(zeile) > maxZeichen) {
                zeile = CutToChars(zeile, maxZeichen);
                ++liste.gekuerzt;
            }
            liste.eintraege.push_back(std::move(zeile));
        } else {
            ++liste.ausgelassen;
        }
        if (ende < text.size() && text[ende] == '\r' && ende + 1 < text.size() && text[ende + 1] == '\n') ++ende;
        anfang = ende + 1;
    }
    return liste;
}

std::string TermlisteText(const std::vector<std::string>& eintraege) {
    std::string text;
    for (const std::string& e : eintraege) {
        if (e.empty()) continue;
        text += e;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> TermlistenHinweise(const Termliste& liste, const std::string& name) {
    std::vector<std::string> hinweise;
    if (liste.ausgelassen > 0)
        hinweise.push_back("Die Termliste " + name + " ist länger als " + IntToText(static_cast<long long>(kMaxTermlistenEintraege)) +
                           " Zeilen; der Rest wurde nicht geladen.");
    if (liste.gekuerzt > 0)
        hinweise.push_back(liste.gekuerzt == 1 ? "1 Zeile der Termliste " + name + " war zu lang und wurde gekürzt."
                                               : IntToText(static_cast<long long>(liste.gekuerzt)) + " Zeilen der Termliste " +
                                                     name + " waren zu lang und wurden gekürzt.");
    return hinweise;
}

bool TermlisteLaden(const std::string& pfad, Termlistenart art, Termliste& liste, std::string& fehler) {
    const FileReadResult datei = ReadFileBytes(pfad, kMaxTermlistenBytes);
    if (!datei.ok()) {
        fehler = ReadFailureMessage(datei, Dateiname(pfad), "eine Termliste");
        return false;
    }
    liste = TermlisteAusText(datei.bytes, art);
    return true;
}

WriteResult TermlisteSpeichern(const std::string& pfad, const std::vector<std::string>& eintraege) {
    return WriteFileAtomically(pfad, TermlisteText(eintraege));
}

std::string TermlistenDateiname(const std::string& gewaehlt, Termlistenart art) {
    const std::filesystem::path p(gewaehlt);
    std::string name = p.filename().string();
    name = name.substr(0, name.find('.'));
    if (name.empty()) return {};
    name += '.';
    name += TermlistenEndung(art);
    return (p.parent_path() / name).string();
}

std::string ParameterEintrag(const Parameterterme& t) { return "x=" + t.x + ";y=" + t.y + ";z=" + t.z; }

Parameterterme ParameterEintragZerlegen(std::string_view eintrag) {
    constexpr auto npos = std::string_view::npos;
    const size_t px = eintrag.find("x="), py = eintrag.find("y="), pz = eintrag.find("z=");
    // The text after a marker up to the character before the next one.
    const auto zwischen = [&](size_t von, size_t bis) -> std::string {
        if (von == npos || bis == npos || bis < von + 3) return {};
        return std::string(eintrag.substr(von + 2, bis - 1 - (von + 2)));
    };
    Parameterterme t;
    t.x = zwischen(px, py);
    t.y = zwischen(py, pz);
    if (pz != npos) t.z = std::string(eintrag.substr(pz + 2));
    return t;
}

}  // namespace kalvo
