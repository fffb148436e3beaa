#include "ini_file.h"

#include "decimal.h"
#include "text_codec.h"

namespace kalvo {

namespace {

// Keys and values live on one line each; a line break inside a written value
// would split it into a second, bogus key on reading.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c == '\n' || c == '\r') c = ' ';
    return out;
}

// Blanks around a value are trimmed on reading, and one pair of surrounding
// quotes is removed, as the system's own INI reader does; a value that needs
// its blanks or quotes is written inside quotes.
std::string Unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return std::string(v);
}

std::string QuoteIfNeeded(std::string v) {
    const bool needs = !v.empty() && (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t' ||
                                      (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
    return needs ? '"' + v + '"' : v;
}

}  // namespace

bool IniFile::Load(const std::string& path, FileReadResult* result) {
    Clear();
    FileReadResult r = ReadFileBytes(path, kMaxFileBytes);
    if (r.ok()) Parse(r.bytes);
    const bool ok = r.ok();
    if (result) {
        r.bytes.clear();
        *result = std::move(r);
    }
    return ok;
}

void IniFile::Parse(std::string_view bytes) {
    Clear();
    const std::string text = DecodeFileText(bytes);
    std::string_view rest(text);
    Section* current = nullptr;
    while (!rest.empty()) {
        // CR alone ends a line as well (old Macintosh files), so no value read
        // holds a line break that writing would have to change.
        const size_t nl = rest.find_first_of("\r\n");
        std::string_view line = TrimBlanks(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const size_t close = line.find(']');
            current = &SectionFor(TrimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1)));
            continue;
        }
        const size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, eq));
        if (key.empty()) continue;
        std::string folded = FoldCase(key);
        // As with the system's own INI reader, the first of two equal keys wins.
        if (current->index.count(folded)) continue;
        current->index.emplace(std::move(folded), current->entries.size());
        current->entries.push_back({std::string(key), Unquote(TrimBlanks(line.substr(eq + 1)))});
    }
}

std::string IniFile::Text() const {
    std::string out;
    for (const Section& s : sections_) {
        out += '[' + s.name + "]\n";
        for (const Entry& e : s.entries) out += e.key + '=' + QuoteIfNeeded(e.value) + '\n';
        out += '\n';
    }
    return out;
}

WriteResult IniFile::Save(const std::string& path) const { return WriteFileAtomically(path, Text()); }

bool IniFile::SectionExists(std::string_view section) const { return index_.count(FoldCase(section)) != 0; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return Find(section, key) != nullptr;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

void IniFile::EraseSection(std::string_view section) {
    auto it = index_.find(FoldCase(section));
    if (it == index_.end()) return;
    sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
    index_.clear();
    for (size_t i = 0; i < sections_.size(); ++i) index_.emplace(FoldCase(sections_[i].name), i);
}

void IniFile::Clear() {
    sections_.clear();
    index_.clear();
}

const std::string* IniFile::Find(std::string_view section, std::string_view key) const {
    auto s = index_.find(FoldCase(section));
    if (s == index_.end()) return nullptr;
    const Section& sec = sections_[s->second];
    auto k = sec.index.find(FoldCase(key));
    return k == sec.index.end() ? nullptr : &sec.entries[k->second].value;
}

IniFile::Section& IniFile::SectionFor(std::string_view section) {
    std::string folded = FoldCase(section);
    auto it = index_.find(folded);
    if (it != index_.end()) return sections_[it->second];
    index_.emplace(std::move(folded), sections_.size());
    sections_.push_back({OneLine(section), {}, {}});
    return sections_.back();
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const std::string* v = Find(section, key);
    return v ? *v : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string* v = Find(section, key);
    int value = def;
    return v && ParseInteger(*v, value) ? value : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const std::string* v = Find(section, key);
    double value = def;
    return v && ParseDecimal(*v, value) ? value : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section& s = SectionFor(section);
    const std::string k = OneLine(TrimBlanks(key));
    std::string folded = FoldCase(k);
    auto it = s.index.find(folded);
    if (it != s.index.end()) {
        s.entries[it->second].value = OneLine(value);
        return;
    }
    s.index.emplace(std::move(folded), s.entries.size());
    s.entries.push_back({k, OneLine(value)});
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
    WriteString(section, key, RoundTripText(value, ','));
}

}  // namespace kalvo
