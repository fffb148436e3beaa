#include "ini_file.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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
std::string_view Unquote(std::string_view v) {
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

bool NeedsQuotes(std::string_view v) {
    return !v.empty() && (v.front() == ' ' || v.back() == ' ' || v.front() == '\t' || v.back() == '\t' ||
                          (v.size() >= 2 && v.front() == '"' && v.back() == '"'));
}

// The position of the first CR or LF; find_first_of would search its set of
// two for every byte.
size_t LineBreak(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == '\n' || s[i] == '\r') return i;
    return std::string_view::npos;
}

// Names are compared as FoldCase gives them, byte by byte as they are read,
// so that no lookup builds a string. `afterLead` says that c follows the lead
// byte of a Latin-1 letter.
inline unsigned char FoldedByte(unsigned char c, bool& afterLead) {
    if (afterLead) {
        afterLead = false;
        return c >= 0x80 && c <= 0x9E && c != 0x97 ? static_cast<unsigned char>(c + 0x20) : c;
    }
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    afterLead = c == 0xC3;
    return c;
}

// Equal names without regard to case hash alike: every byte counts with its
// 0x20 bit set, which is all that tells an upper-case letter from its
// lower-case one, in ASCII and in the second byte of a Latin-1 letter.
// Names that differ in that bit elsewhere share a hash; SameFolded tells
// them apart. Eight bytes at a time.
uint32_t FoldedHash(std::string_view s) {
    constexpr uint64_t kCase = 0x2020202020202020ull;
    uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    const char* p = s.data();
    size_t n = s.size();
    auto mix = [&h](uint64_t w) {
        h = (h ^ w) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    };
    for (; n >= 8; p += 8, n -= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        mix(w | kCase);
    }
    if (n > 0) {
        // Byte by byte: a copy of fewer than eight bytes read back as one word would wait for the copy.
        uint64_t w = 0;
        for (size_t i = 0; i < n; ++i) w |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
        mix(w | kCase);
    }
    h *= 0xC4CEB9FE1A85EC53ull;
    return static_cast<uint32_t>(h >> 32);
}

bool SameFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // as nearly always: the program spells its names one way
    bool leadA = false, leadB = false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldedByte(static_cast<unsigned char>(a[i]), leadA) != FoldedByte(static_cast<unsigned char>(b[i]), leadB))
            return false;
    return true;
}

// Up to this many names are searched one by one.
constexpr size_t kSearchedInOrder = 8;

// A slot holds a position plus one, 0 when it is free. The slots of the
// sections hold the hash as well (in the upper half), so that a probe looks
// at a section only when its hash is the one sought: an archive has a
// hundred thousand sections, and each one looked at costs a cache miss.
inline size_t SlotPosition(uint32_t slot) { return slot - 1; }
inline size_t SlotPosition(uint64_t slot) { return static_cast<uint32_t>(slot) - 1; }
inline bool SlotMayHold(uint32_t, uint32_t) { return true; }
inline bool SlotMayHold(uint64_t slot, uint32_t hash) { return (slot >> 32) == hash; }
inline void MakeSlot(uint32_t& slot, uint32_t, size_t position) { slot = static_cast<uint32_t>(position + 1); }
inline void MakeSlot(uint64_t& slot, uint32_t hash, size_t position) {
    slot = (static_cast<uint64_t>(hash) << 32) | static_cast<uint32_t>(position + 1);
}

// The position among n items whose name (nameOf) equals `name` without
// regard to case, n when there is none. Without slots the items are few
// and searched in order.
template <typename Slot, typename ItemAt, typename NameOf>
size_t Lookup(const Slot* slots, size_t slotCount, size_t n, ItemAt itemAt, NameOf nameOf, std::string_view name,
              uint32_t hash, size_t& probes) {
    if (slotCount == 0) {
        for (size_t i = 0; i < n; ++i) {
            ++probes;
            const auto& item = itemAt(i);
            if (item.hash == hash && SameFolded(nameOf(item), name)) return i;
        }
        return n;
    }
    const size_t mask = slotCount - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot slot = slots[at];
        if (slot == 0) return n;
        ++probes;
        if (!SlotMayHold(slot, hash)) continue;
        const auto& item = itemAt(SlotPosition(slot));
        if (item.hash == hash && SameFolded(nameOf(item), name)) return SlotPosition(slot);
    }
}

template <typename Slot>
void Place(Slot* slots, size_t slotCount, uint32_t hash, size_t position) {
    const size_t mask = slotCount - 1;
    size_t at = hash & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    MakeSlot(slots[at], hash, position);
}

// The number of slots for `room` items: a power of two, at most half of
// them taken.
size_t SlotsFor(size_t room) {
    size_t size = 32;
    while (size < 2 * room) size *= 2;
    return size;
}

uint32_t Checked32(size_t n) {
    // Far beyond any file the program reads or writes.
    if (n > UINT32_MAX) throw std::length_error("INI object beyond 4 GiB");
    return static_cast<uint32_t>(n);
}

}  // namespace

bool IniFile::Load(const std::string& path, FileReadResult* result) {
    Clear();
    FileReadResult r = ReadFileBytes(path, kMaxFileBytes);
    if (r.ok()) {
        // UTF-8 without a byte-order mark, as the program writes, is taken as
        // it is; a large file is not copied.
        const bool asItIs = r.bytes.compare(0, 3, "\xEF\xBB\xBF") != 0 && IsValidUtf8(r.bytes);
        ParseText(asItIs ? std::move(r.bytes) : DecodeFileText(r.bytes));
    }
    const bool ok = r.ok();
    if (result) {
        r.bytes.clear();
        *result = std::move(r);
    }
    return ok;
}

void IniFile::Parse(std::string_view bytes) { ParseText(DecodeFileText(bytes)); }

void IniFile::ParseText(std::string text) {
    Clear();
    // Names, keys and values are the parts of the lines between their blanks
    // and quotes: they stay where they are, and nothing is added to the text
    // while the lines are read.
    text_ = std::move(text);
    Checked32(text_.size());
    // Room for a section per "[" and an entry per line break at most, so
    // that a large file is not moved while it is read.
    size_t brackets = 0, breaks = 0;
    for (const char c : text_) {
        brackets += c == '[';
        breaks += c == '\n' || c == '\r';
    }
    sections_.reserve(brackets);
    entries_.reserve(breaks + 1);
    std::string_view rest(text_);
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t current = kNone;  // lines before the first section belong to none
    // The lines of a section are gathered and then added at once, so that
    // its entries and their slots get their room once.
    std::vector<std::pair<std::string_view, std::string_view>> lines;
    auto addLines = [&] {
        if (current == kNone) return;
        Section& s = sections_[current];
        Reserve(s, s.count + lines.size());
        for (const auto& [key, value] : lines) {
            const uint32_t hash = FoldedHash(key);
            // As with the system's own INI reader, the first of two equal keys wins.
            if (FindKey(s, key, hash) != s.count) continue;
            const std::string_view v = Unquote(value);
            AddEntry(s, {Offset(key), static_cast<uint32_t>(key.size()), Offset(v), static_cast<uint32_t>(v.size()), hash});
        }
        lines.clear();
    };
    while (!rest.empty()) {
        // CR alone ends a line as well (old Macintosh files), so no value read
        // holds a line break that writing would have to change.
        const size_t nl = LineBreak(rest);
        std::string_view line = TrimBlanks(rest.substr(0, nl));
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            addLines();
            const size_t close = line.find(']');
            const std::string_view name = TrimBlanks(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
            const Section* s = FindSection(name);
            if (s == nullptr) s = &AddSection(Offset(name), static_cast<uint32_t>(name.size()), FoldedHash(name));
            current = static_cast<size_t>(s - sections_.data());
            continue;
        }
        const size_t eq = line.find('=');
        if (current == kNone || eq == std::string_view::npos) continue;
        const std::string_view key = TrimBlanks(line.substr(0, eq));
        if (!key.empty()) lines.emplace_back(key, TrimBlanks(line.substr(eq + 1)));
    }
    addLines();
}

std::string IniFile::Text() const {
    size_t size = 0;
    for (const Section& s : sections_) {
        size += s.nameSize + 4;
        for (size_t i = s.first; i < s.first + s.count; ++i) size += entries_[i].keySize + entries_[i].valueSize + 4;
    }
    std::string out(size, '\0');
    char* p = out.data();
    auto put = [&p](std::string_view v) {
        std::memcpy(p, v.data(), v.size());
        p += v.size();
    };
    for (const Section& s : sections_) {
        *p++ = '[';
        put(View(s.name, s.nameSize));
        put("]\n");
        for (size_t i = s.first; i < s.first + s.count; ++i) {
            const Entry& e = entries_[i];
            put(View(e.key, e.keySize));
            *p++ = '=';
            const std::string_view v = View(e.value, e.valueSize);
            const bool quoted = NeedsQuotes(v);
            if (quoted) *p++ = '"';
            put(v);
            if (quoted) *p++ = '"';
            *p++ = '\n';
        }
        *p++ = '\n';
    }
    out.resize(static_cast<size_t>(p - out.data()));
    return out;
}

WriteResult IniFile::Save(const std::string& path) const { return WriteFileAtomically(path, Text()); }

bool IniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

size_t IniFile::KeyCount(std::string_view section) const {
    const Section* s = FindSection(section);
    return s ? s->count : 0;
}

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
    return Find(section, key) != nullptr;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_) names.emplace_back(View(s.name, s.nameSize));
    return names;
}

void IniFile::EraseSection(std::string_view section) {
    const Section* s = FindSection(section);
    if (s == nullptr) return;
    sections_.erase(sections_.begin() + (s - sections_.data()));
    sectionSlots_.clear();
    if (sections_.size() > kSearchedInOrder) {
        sectionSlots_.assign(SlotsFor(sections_.size()), 0);
        for (size_t i = 0; i < sections_.size(); ++i)
            Place(sectionSlots_.data(), sectionSlots_.size(), sections_[i].hash, i);
    }
    lastSection_ = nextEntry_ = 0;
}

void IniFile::Reserve(size_t sections, size_t entries, size_t textBytes) {
    sections_.reserve(sections);
    entries_.reserve(entries);
    text_.reserve(textBytes);
}

void IniFile::Clear() {
    sections_.clear();
    sectionSlots_.clear();
    entries_.clear();
    keySlots_.clear();
    text_.clear();
    lastSection_ = nextEntry_ = 0;
}

uint32_t IniFile::Store(std::string_view s) {
    const uint32_t at = Checked32(text_.size());
    Checked32(text_.size() + s.size());
    text_ += s;
    if (LineBreak(s) != std::string_view::npos)
        for (size_t i = at; i < text_.size(); ++i)
            if (text_[i] == '\n' || text_[i] == '\r') text_[i] = ' ';
    return at;
}

uint32_t IniFile::Offset(std::string_view s) const { return static_cast<uint32_t>(s.data() - text_.data()); }

const IniFile::Section* IniFile::FindSection(std::string_view section) const {
    for (size_t i = lastSection_; i < sections_.size() && i <= lastSection_ + 1; ++i) {
        ++probes_;
        if (!SameFolded(View(sections_[i].name, sections_[i].nameSize), section)) continue;
        if (i != lastSection_) nextEntry_ = 0;
        lastSection_ = i;
        return &sections_[i];
    }
    auto sectionAt = [this](size_t i) -> const Section& { return sections_[i]; };
    auto nameOf = [this](const Section& s) { return View(s.name, s.nameSize); };
    const size_t i = Lookup(sectionSlots_.data(), sectionSlots_.size(), sections_.size(), sectionAt, nameOf, section,
                            FoldedHash(section), probes_);
    if (i == sections_.size()) return nullptr;
    if (i != lastSection_) nextEntry_ = 0;
    lastSection_ = i;
    return &sections_[i];
}

size_t IniFile::FindKey(const Section& s, std::string_view key, uint32_t hash) const {
    auto entryAt = [this, &s](size_t i) -> const Entry& { return entries_[s.first + i]; };
    auto keyOf = [this](const Entry& e) { return View(e.key, e.keySize); };
    return Lookup(keySlots_.data() + s.firstSlot, s.slotCount, s.count, entryAt, keyOf, key, hash, probes_);
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    if (s == nullptr) return nullptr;
    if (nextEntry_ < s->count) {
        ++probes_;
        const Entry& e = entries_[s->first + nextEntry_];
        if (SameFolded(View(e.key, e.keySize), key)) {
            ++nextEntry_;
            return &e;
        }
    }
    const size_t i = FindKey(*s, key, FoldedHash(key));
    if (i == s->count) return nullptr;
    nextEntry_ = i + 1;
    return &entries_[s->first + i];
}

IniFile::Section& IniFile::SectionFor(std::string_view section) {
    if (const Section* s = FindSection(section)) return sections_[static_cast<size_t>(s - sections_.data())];
    if (LineBreak(section) != std::string_view::npos) return SectionFor(OneLine(section));
    const uint32_t name = Store(section);
    return AddSection(name, static_cast<uint32_t>(section.size()), FoldedHash(section));
}

IniFile::Section& IniFile::AddSection(uint32_t name, uint32_t nameSize, uint32_t hash) {
    Section s;
    s.name = name;
    s.nameSize = nameSize;
    s.hash = hash;
    sections_.push_back(s);
    const size_t n = sections_.size();
    if (!sectionSlots_.empty() && 2 * n <= sectionSlots_.size()) {
        Place(sectionSlots_.data(), sectionSlots_.size(), hash, n - 1);
    } else if (n > kSearchedInOrder) {
        sectionSlots_.assign(SlotsFor(n), 0);
        for (size_t i = 0; i < n; ++i) Place(sectionSlots_.data(), sectionSlots_.size(), sections_[i].hash, i);
    }
    lastSection_ = n - 1;
    nextEntry_ = 0;
    return sections_.back();
}

void IniFile::Reserve(Section& s, size_t entries) {
    if (entries <= s.room) return;
    Checked32(entries_.size() + entries);
    if (s.first + s.room == entries_.size()) {
        // The last run grows where it is.
        entries_.resize(s.first + entries);
    } else {
        const size_t first = entries_.size();
        entries_.resize(first + entries);
        std::copy_n(entries_.begin() + s.first, s.count, entries_.begin() + static_cast<std::ptrdiff_t>(first));
        s.first = static_cast<uint32_t>(first);
    }
    s.room = static_cast<uint32_t>(entries);
    if (entries > kSearchedInOrder && 2 * entries > s.slotCount) IndexKeys(s, entries);
}

// New slots for the keys of s, with room for `room` of them.
void IniFile::IndexKeys(Section& s, size_t room) {
    const size_t count = SlotsFor(room);
    const size_t first = keySlots_.size();
    Checked32(first + count);
    keySlots_.resize(first + count, 0);
    s.firstSlot = static_cast<uint32_t>(first);
    s.slotCount = static_cast<uint32_t>(count);
    for (size_t i = 0; i < s.count; ++i) Place(keySlots_.data() + first, count, entries_[s.first + i].hash, i);
}

void IniFile::AddEntry(Section& s, const Entry& e) {
    if (s.count == s.room) Reserve(s, std::max<size_t>(4, 2 * static_cast<size_t>(s.room)));
    entries_[s.first + s.count++] = e;
    if (s.slotCount > 0 && 2 * s.count <= s.slotCount)
        Place(keySlots_.data() + s.firstSlot, s.slotCount, e.hash, s.count - 1);
    else if (s.count > kSearchedInOrder)
        IndexKeys(s, s.count);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    const Entry* e = Find(section, key);
    return std::string(e ? View(e->value, e->valueSize) : def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const Entry* e = Find(section, key);
    int value = def;
    return e && ParseInteger(View(e->value, e->valueSize), value) ? value : def;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double IniFile::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const Entry* e = Find(section, key);
    double value = def;
    return e && ParseDecimal(View(e->value, e->valueSize), value) ? value : def;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string_view k = TrimBlanks(key);
    if (LineBreak(k) != std::string_view::npos) return WriteString(section, OneLine(k), value);
    const size_t at = static_cast<size_t>(&SectionFor(section) - sections_.data());
    const uint32_t hash = FoldedHash(k);
    const size_t i = FindKey(sections_[at], k, hash);
    if (i == sections_[at].count) {
        Entry e;
        e.key = Store(k);
        e.keySize = static_cast<uint32_t>(k.size());
        e.value = Store(value);
        e.valueSize = static_cast<uint32_t>(value.size());
        e.hash = hash;
        AddEntry(sections_[at], e);
        return;
    }
    Entry& e = entries_[sections_[at].first + i];
    if (value.size() <= e.valueSize) {
        // A value that fits is written over the old one.
        std::copy(value.begin(), value.end(), text_.begin() + e.value);
        for (size_t j = e.value; j < e.value + value.size(); ++j)
            if (text_[j] == '\n' || text_[j] == '\r') text_[j] = ' ';
    } else {
        e.value = Store(value);
    }
    e.valueSize = static_cast<uint32_t>(value.size());
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
