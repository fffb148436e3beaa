#include "archive_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "decimal.h"
#include "function_set.h"
#include "message_sink.h"
#include "number_text.h"
#include "text_codec.h"
#include "view.h"

namespace kalvo {

namespace {

constexpr const char* kKoord = "Koordinatensystem";
constexpr const char* kArchiv = "Archiv";

// The sections every entry has, suffixed for the entries of the store.
constexpr const char* kEntrySections[] = {
    "Schaubilder",      "Konstanten",       "xyBereich",         "fg Funktionsterme", "fg Zeichenbereich",
    "fg Parameter t",   "Geraden x=u",      "Integralfunktion",  "fg Summenfunktion", "h Funktionsterme",
    "h Zeichenbereich", "h Parameter t",    "x(t), y(t) Funktionsterme", "x(t), y(t) Parameter t",
};

// Sections that stand once, without a suffix.
constexpr const char* kSingleSections[] = {kKoord, kArchiv, "Funktionsterme", "Grafik", "Eingabe"};

// The function list and the frame stand once in the file, after the first
// entry's graphs and after its last section; the later entries would only
// write the same values over them again.
void WriteEntry(IniFile& ini, int i, const ArchivEintrag& e, const ArchiveContents& a) {
    WriteSchaubilderSection(ini, i, e.Schaubilder);
    if (i == 0) WriteListentermeSection(ini, a.Listenterme);
    WriteFunctionSetSections(ini, i, e);
    if (i == 0) ini.WriteBool("Grafik", "Rahmen", a.Rahmen);
}

// Reads entry i over e: the keys the file lacks take the archive defaults,
// or keep e's value where the format says so.
void ReadEntry(const IniFile& ini, int i, ArchivEintrag& e) {
    ReadSchaubilderSection(ini, i, e.Schaubilder);
    // Written by other versions: the decimals the entry was made with.
    e.Nachkommastellen = ReadClampedInteger(ini, "Eingabe", "Nachkommastellen", e.Nachkommastellen, 0, 3);
    ReadFunctionSetSections(ini, i, e);
}

// The numbers of the store entries the file has a section with a key of, in
// ascending order: a name like "Konstanten Nr3" counts for entry 3. A
// section without keys is what a file cut off after its name holds.
std::vector<int> NumberedEntries(const IniFile& ini) {
    static const std::vector<std::string> folded = [] {
        std::vector<std::string> f;
        for (const char* s : kEntrySections) f.push_back(FoldCase(s));
        return f;
    }();
    std::vector<int> found;
    for (size_t i = 0; i < ini.SectionCount(); ++i) {
        const std::string_view name = ini.SectionName(i);
        size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
        // Only the number as the writer spells it: the lookups use that spelling.
        if (digits == name.size() || name[digits] == '0' || digits < 3 || ini.SectionKeyCount(i) == 0) continue;
        const std::string_view nr = name.substr(digits - 3, 3);
        if (nr[0] != ' ' || (nr[1] != 'N' && nr[1] != 'n') || (nr[2] != 'R' && nr[2] != 'r')) continue;
        int k = 0;
        const auto [end, ec] = std::from_chars(name.data() + digits, name.data() + name.size(), k);
        if (ec != std::errc() || end != name.data() + name.size()) continue;
        if (std::find(folded.begin(), folded.end(), FoldCase(name.substr(0, digits - 3))) != folded.end())
            found.push_back(k);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

// Entry 0: a section of it with a key. The unsuffixed sections that belong
// to no entry (list terms, frame, decimals) make no function set.
bool HasCurrentSet(const IniFile& ini) {
    for (const char* s : kEntrySections)
        if (ini.KeyCount(s) > 0) return true;
    return false;
}

std::string Funktionssaetze(long long n) { return IntToText(n) + (n == 1 ? " Funktionssatz" : " Funktionssätze"); }

// "Nr3", "Nr5 bis Nr7"
std::string EntryRange(const std::pair<int, int>& r) {
    std::string s = "Nr" + std::to_string(r.first);
    if (r.second != r.first) s += " bis Nr" + std::to_string(r.second);
    return s;
}

}  // namespace

ArchiveContents ArchiveFromProgram(bool withStore) {
    ArchiveContents a;
    a.Koordinatensystem = gDisplay.Koordinatensystem;
    a.Schriftgroesse = gDisplay.Schriftgroesse;
    a.Schriftname = gDisplay.Schriftname;
    a.SchriftFett = gDisplay.SchriftFett;
    a.Listenterme = gTerms.Listenterme;
    a.Rahmen = gDisplay.Rahmen;
    StoreGraphState(a.Aktuell);
    const int n = withStore ? gFunktionenspeicher.Count() : 0;
    a.Speicher.resize(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) gFunktionenspeicher.Get(i, a.Speicher[static_cast<size_t>(i - 1)]);
    return a;
}

void WriteArchive(IniFile& ini, const ArchiveContents& a) {
    WriteKoordinatensystemSection(ini, a.Koordinatensystem, a.Schriftgroesse, a.Schriftname, a.SchriftFett);
    const int n = static_cast<int>(std::min<size_t>(a.Speicher.size(), SpeicherListe::kMaxCount));
    ini.WriteInteger(kArchiv, "Anzahl", n);
    WriteEntry(ini, 0, a.Aktuell, a);
    for (int i = 1; i <= n; ++i) {
        const size_t sections = ini.SectionCount(), entries = ini.EntryRoom(), bytes = ini.TextBytes();
        WriteEntry(ini, i, a.Speicher[static_cast<size_t>(i - 1)], a);
        // The sets take about the same room each (their texts a little more
        // or less): room for the others at once, not step by step.
        if (i == 1 && n > 1) {
            const size_t more = static_cast<size_t>(n - 1);
            ini.Reserve(ini.SectionCount() + more * (ini.SectionCount() - sections),
                        ini.EntryRoom() + more * (ini.EntryRoom() - entries),
                        ini.TextBytes() + more * (ini.TextBytes() - bytes) * 5 / 4);
        }
    }
}

ArchiveContents ReadArchive(const IniFile& ini, const ArchiveContents& start, int storeCount, ArchiveReadNotes* notes) {
    ArchiveReadNotes n;
    ArchiveContents a = start;
    a.Speicher.clear();
    ReadKoordinatensystemSection(ini, a.Koordinatensystem, a.Schriftgroesse, a.Schriftname, a.SchriftFett);
    ReadListentermeSection(ini, a.Listenterme);
    a.Rahmen = ini.ReadBool("Grafik", "Rahmen", a.Rahmen);

    // The entries are read into one state one after the other, the last
    // entry first, so a key one of them lacks keeps the value read before.
    ArchivEintrag state = start.Aktuell;
    state.Koordinatensystem = a.Koordinatensystem;

    // A count that is no number reads as none, as every number of the file does.
    if (ini.ValueExists(kArchiv, "Anzahl")) {
        n.countText = ini.ReadString(kArchiv, "Anzahl", "");
        n.countGiven = ParseInteger(n.countText, n.count);
        if (!n.countGiven || n.count < 0) n.countValid = false;
        if (!n.countGiven) n.count = 0;
    }
    const std::vector<int> numbered = NumberedEntries(ini);
    const int count = std::max(0, n.count);
    const auto inCount = std::upper_bound(numbered.begin(), numbered.end(), count);
    n.beyond = static_cast<int>(numbered.end() - inCount);
    n.present = static_cast<int>(inCount - numbered.begin());
    long long expected = 1;
    for (auto it = numbered.begin(); it != inCount; expected = *it++ + 1LL)
        if (*it > expected) n.gaps.emplace_back(static_cast<int>(expected), *it - 1);
    if (expected <= count) n.gaps.emplace_back(static_cast<int>(expected), count);

    n.current = HasCurrentSet(ini);
    a.MitAktuell = n.current;
    // A negative count is no archive of ours: nothing of the entries is read.
    if (n.count < 0) {
        a.Aktuell = n.current ? state : start.Aktuell;
        if (notes) *notes = std::move(n);
        return a;
    }
    const size_t room = static_cast<size_t>(std::max(0, SpeicherListe::kMaxCount - storeCount));
    const size_t taken = std::min(static_cast<size_t>(n.present), room);
    n.left = n.present - static_cast<int>(taken);
    a.Speicher.resize(taken);
    for (size_t j = taken; j-- > 0;) {
        ReadEntry(ini, numbered[j], state);
        a.Speicher[j] = state;
    }
    if (n.current) {
        ReadEntry(ini, 0, state);
        a.Aktuell = state;
    } else {
        a.Aktuell = start.Aktuell;
    }
    if (notes) *notes = std::move(n);
    return a;
}

std::string ArchiveReadMessage(const ArchiveReadNotes& n, const std::string& name) {
    std::vector<std::string> said;
    const std::string datei = "Die Datei " + name;
    // "der 1 gespeicherte", "die 3 gespeicherten"
    const std::string stored = n.beyond == 1 ? "der 1 gespeicherte" : "die " + IntToText(n.beyond) + " gespeicherten";
    // "der 1 gespeicherte wurde", "die 3 gespeicherten wurden"
    const std::string storedNotTaken = stored + (n.beyond == 1 ? " wurde" : " wurden") + " nicht übernommen";
    if (n.Nothing()) {
        said.push_back(datei + (n.present + n.beyond == 0 ? " enthält keinen Funktionssatz"
                                                           : " enthält keinen Funktionssatz, der übernommen werden kann") +
                       "; der aktuelle Funktionssatz und der Funktionenspeicher bleiben unverändert.");
    } else if (!n.current) {
        said.push_back(datei + " enthält keinen aktuellen Funktionssatz; der aktuelle Funktionssatz bleibt unverändert.");
    }
    if (!n.countValid) {
        // A long text is shown by its beginning.
        std::string shown = CutToChars(n.countText, 30);
        if (shown.size() < n.countText.size()) shown += "…";
        std::string s = datei + " nennt als Anzahl der Funktionssätze „" + shown + "“, das ist keine Anzahl";
        if (!n.current)
            s += n.beyond > 0 ? "; " + storedNotTaken : std::string();
        else if (n.countGiven)
            s += "; übernommen wurden nur Koordinatensystem, Funktionsliste und Rahmen, kein Funktionssatz" +
                 (n.beyond > 0 ? ", auch nicht " + stored : std::string());
        else
            s += "; übernommen wurde nur der aktuelle Funktionssatz" + (n.beyond > 0 ? ", nicht " + stored : std::string());
        said.push_back(s + ".");
    } else if (!n.countGiven) {
        if (n.beyond > 0)
            said.push_back(datei + " nennt keine Anzahl der Funktionssätze; " +
                           (n.current ? "übernommen wurde nur der aktuelle, nicht " + stored : storedNotTaken) + ".");
    } else {
        if (!n.gaps.empty()) {
            long long missing = 0;
            for (const auto& [first, last] : n.gaps) missing += static_cast<long long>(last) - first + 1;
            std::string ranges;
            const size_t shown = std::min<size_t>(n.gaps.size(), 3);
            for (size_t i = 0; i < shown; ++i)
                ranges += (i == 0 ? "" : i + 1 == n.gaps.size() ? " und " : ", ") + EntryRange(n.gaps[i]);
            if (n.gaps.size() > shown) ranges += " und weitere";
            std::string s = datei + " nennt " + Funktionssaetze(n.count) + (missing == 1 ? ", es fehlt" : ", es fehlen") +
                            " aber " + ranges + ".";
            s += n.present == 0   ? std::string(n.current ? " Übernommen wurde nur der aktuelle Funktionssatz." : "")
                 : n.present == 1 ? std::string(" Übernommen wurde der eine vorhandene.")
                                  : " Übernommen wurden die " + IntToText(n.present) + " vorhandenen.";
            said.push_back(s);
        }
        if (n.beyond > 0)
            said.push_back(datei + " nennt " + Funktionssaetze(n.count) + ", enthält aber " +
                           (n.beyond == 1 ? "1 weiteren mit höherer Nummer; er wurde"
                                          : IntToText(n.beyond) + " weitere mit höheren Nummern; sie wurden") +
                           " nicht übernommen.");
    }
    if (n.left > 0)
        said.push_back("Der Funktionenspeicher fasst höchstens " + IntToText(SpeicherListe::kMaxCount) + " Funktionssätze; " +
                       (n.left == 1 ? "1 Funktionssatz der Datei " + name + " wurde"
                                    : IntToText(n.left) + " Funktionssätze der Datei " + name + " wurden") +
                       " nicht übernommen.");
    std::string text;
    for (const std::string& s : said) text += (text.empty() ? "" : "\n") + s;
    return text;
}

bool LooksLikeArchive(const IniFile& ini) {
    for (const char* s : kSingleSections)
        if (ini.SectionExists(s)) return true;
    for (const char* s : kEntrySections)
        if (ini.SectionExists(s)) return true;
    return !NumberedEntries(ini).empty();
}

void ApplyArchive(const ArchiveContents& a) {
    if (!a.MitAktuell) {
        gFunktionenspeicher.InsertFirst(a.Speicher);
        return;
    }
    gDisplay.Koordinatensystem = a.Koordinatensystem;
    gDisplay.Schriftgroesse = a.Schriftgroesse;
    gDisplay.Schriftname = a.Schriftname;
    gDisplay.SchriftFett = a.SchriftFett;
    gTerms.Listenterme = a.Listenterme;
    gDisplay.Rahmen = a.Rahmen;
    // All at once: one by one at the head would move the whole store for every set.
    gFunktionenspeicher.InsertFirst(a.Speicher);
    LoadGraphState(a.Aktuell);
}

std::string FileNameWithExtension(const std::string& chosen, const std::string& extension) {
    const std::filesystem::path p(chosen);
    std::string name = p.filename().string();
    name = name.substr(0, name.find('.'));
    if (name.empty()) return {};
    return (p.parent_path() / (name + extension)).string();
}

bool SaveFunctionArchive(const std::string& path) {
    IniFile ini;
    WriteArchive(ini, ArchiveFromProgram());
    const std::string text = ini.Text();
    // What could not be opened again is not written at all.
    if (text.size() > IniFile::kMaxFileBytes) {
        ShowMessage("Die Datei " + path + " wird nicht gespeichert: Das Funktionen-Archiv wäre größer als " +
                        IntToText(static_cast<long long>(IniFile::kMaxFileBytes >> 20)) +
                        " MB und könnte nicht wieder geöffnet werden. Bitte weniger Funktionssätze speichern.",
                    MessageKind::Error);
        return false;
    }
    const WriteResult r = WriteFileAtomically(path, text);
    if (!r.ok) ShowMessage(r.error, MessageKind::Error);
    return r.ok;
}

bool LoadFunctionArchive(const std::string& path) {
    IniFile ini;
    const std::string name = std::filesystem::path(path).filename().string();
    FileReadResult read;
    if (!ini.Load(path, &read)) {
        ShowMessage(ReadFailureMessage(read, name, "ein Funktionen-Archiv"), MessageKind::Error);
        return false;
    }
    if (!LooksLikeArchive(ini)) {
        ShowMessage("Die Datei " + name + " ist kein Funktionen-Archiv.", MessageKind::Error);
        return false;
    }
    ArchiveReadNotes notes;
    const ArchiveContents a = ReadArchive(ini, ArchiveFromProgram(false), gFunktionenspeicher.Count(), &notes);
    const std::string said = ArchiveReadMessage(notes, name);
    // A file without a set would otherwise put empty terms over the current ones.
    if (notes.Nothing()) {
        ShowMessage(said, MessageKind::Error);
        return false;
    }
    ApplyArchive(a);
    if (!said.empty()) ShowMessage(said, MessageKind::Warning);
    return true;
}

}  // namespace kalvo
