#include "archive_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

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

void WriteEntry(IniFile& ini, int i, const ArchivEintrag& e, const ArchiveContents& a) {
    WriteSchaubilderSection(ini, i, e.Schaubilder);
    WriteListentermeSection(ini, a.Listenterme);
    WriteFunctionSetSections(ini, i, e);
    ini.WriteBool("Grafik", "Rahmen", a.Rahmen);
}

// Reads entry i over e: the keys the file lacks take the archive defaults,
// or keep e's value where the format says so.
void ReadEntry(const IniFile& ini, int i, ArchivEintrag& e) {
    ReadSchaubilderSection(ini, i, e.Schaubilder);
    // Written by other versions: the decimals the entry was made with.
    e.Nachkommastellen = ReadClampedInteger(ini, "Eingabe", "Nachkommastellen", e.Nachkommastellen, 0, 3);
    ReadFunctionSetSections(ini, i, e);
}

// The numbers 1..count of the store entries the file has a section of,
// in ascending order; a name like "Konstanten Nr3" counts for entry 3.
std::vector<int> EntriesInFile(const IniFile& ini, int count) {
    std::vector<std::string> prefixes;
    for (const char* s : kEntrySections) prefixes.push_back(FoldCase(s) + " nr");
    std::vector<int> found;
    for (const std::string& name : ini.SectionNames()) {
        const std::string folded = FoldCase(name);
        for (const std::string& p : prefixes) {
            if (folded.size() <= p.size() || folded.compare(0, p.size(), p) != 0) continue;
            const std::string_view digits = std::string_view(folded).substr(p.size());
            int k = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
            // Only the number as the writer spells it: the lookups use that spelling.
            if (ec == std::errc() && end == digits.data() + digits.size() && k >= 1 && k <= count &&
                digits == std::to_string(k))
                found.push_back(k);
            break;
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
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
    for (int i = 1; i <= n; ++i) WriteEntry(ini, i, a.Speicher[static_cast<size_t>(i - 1)], a);
}

ArchiveContents ReadArchive(const IniFile& ini, const ArchiveContents& start, int storeCount) {
    ArchiveContents a = start;
    a.Speicher.clear();
    ReadKoordinatensystemSection(ini, a.Koordinatensystem, a.Schriftgroesse, a.Schriftname, a.SchriftFett);
    ReadListentermeSection(ini, a.Listenterme);
    a.Rahmen = ini.ReadBool("Grafik", "Rahmen", a.Rahmen);

    // The entries are read into one state one after the other, the last
    // entry first, so a key one of them lacks keeps the value read before.
    ArchivEintrag state = start.Aktuell;
    state.Koordinatensystem = a.Koordinatensystem;
    const int count = ini.ReadInteger(kArchiv, "Anzahl", 0);
    // A negative count is no archive of ours: nothing of the entries is read.
    if (count < 0) {
        a.Aktuell = state;
        return a;
    }
    std::vector<int> entries = EntriesInFile(ini, std::min(count, SpeicherListe::kMaxCount));
    const size_t room = static_cast<size_t>(std::max(0, SpeicherListe::kMaxCount - storeCount));
    if (entries.size() > room) entries.resize(room);
    a.Speicher.resize(entries.size());
    for (size_t j = entries.size(); j-- > 0;) {
        ReadEntry(ini, entries[j], state);
        a.Speicher[j] = state;
    }
    ReadEntry(ini, 0, state);
    a.Aktuell = state;
    return a;
}

bool LooksLikeArchive(const IniFile& ini) {
    for (const char* s : kSingleSections)
        if (ini.SectionExists(s)) return true;
    for (const char* s : kEntrySections)
        if (ini.SectionExists(s)) return true;
    return !EntriesInFile(ini, SpeicherListe::kMaxCount).empty();
}

void ApplyArchive(const ArchiveContents& a) {
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
    const int stored = gFunktionenspeicher.Count();
    const ArchiveContents a = ReadArchive(ini, ArchiveFromProgram(false), stored);
    const int inFile = static_cast<int>(EntriesInFile(ini, std::max(0, ini.ReadInteger(kArchiv, "Anzahl", 0))).size());
    ApplyArchive(a);
    const int left = inFile - static_cast<int>(a.Speicher.size());
    if (left > 0)
        ShowMessage("Der Funktionenspeicher fasst höchstens " + IntToText(SpeicherListe::kMaxCount) + " Funktionssätze; " +
                        (left == 1 ? "1 Funktionssatz der Datei " + name + " wurde"
                                   : IntToText(left) + " Funktionssätze der Datei " + name + " wurden") +
                        " nicht übernommen.",
                    MessageKind::Warning);
    return true;
}

}  // namespace kalvo
