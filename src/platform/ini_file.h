#pragma once
// Settings and archive files: INI text with sections and keys kept in their
// order and looked up without regard to case; values are updated in place.
// Not QSettings, which escapes keys with blanks and splits values at commas.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "atomic_file.h"

namespace kalvo {

class IniFile {
public:
    // Files larger than this are not read. The function store's limit is
    // chosen so that an archive of a full store stays below it.
    static constexpr size_t kMaxFileBytes = 64u << 20;

    IniFile() = default;

    // Reads a file; a missing, unreadable, oversized or not regular file
    // gives an empty object and false, and `result` says which (its bytes
    // are not kept). UTF-8 or Windows-1252 line by line, or UTF-16 after
    // its byte-order mark; LF, CRLF or CR.
    bool Load(const std::string& path, FileReadResult* result = nullptr);
    void Parse(std::string_view bytes);

    // UTF-8 text with LF line ends.
    std::string Text() const;
    // Writes through a temporary file; the old file stays when this fails.
    WriteResult Save(const std::string& path) const;

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> SectionNames() const;
    // The sections in file order, without copying their names; a name is
    // valid until the next write.
    size_t SectionCount() const { return sections_.size(); }
    std::string_view SectionName(size_t i) const { return View(sections_[i].name, sections_[i].nameSize); }
    // How many keys a section holds (0 for a section that is not there).
    size_t SectionKeyCount(size_t i) const { return sections_[i].count; }
    size_t KeyCount(std::string_view section) const;
    void EraseSection(std::string_view section);
    // Room for that many sections, entries and bytes of names, keys and
    // values, so that writing a large file does not move what it holds; the
    // room taken so far, to tell how much one part of such a file takes.
    void Reserve(size_t sections, size_t entries, size_t textBytes);
    size_t EntryRoom() const { return entries_.size(); }
    size_t TextBytes() const { return text_.size(); }
    void Clear();

    // Typed reads: a missing key or a value that does not convert gives the default.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    double ReadFloat(std::string_view section, std::string_view key, double def) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // Shortest digits that read back bit-identical, decimal comma as in older files.
    void WriteFloat(std::string_view section, std::string_view key, double value);

    // How many stored names the lookups so far have looked at. An archive
    // has a hundred thousand sections and more than a million keys; each
    // lookup must look at a few names, not at a share of them.
    size_t Probes() const { return probes_; }

private:
    // Everything lives in a few large blocks, not in two million small
    // strings and vectors: names, keys and values in one text (a file read
    // keeps its text and points into it; what is written is appended), the
    // entries of all sections in one table, each section owning a run of it
    // that moves to the end when it is full (a value overwritten by a longer
    // one, a run that moved and an erased section leave unused room behind
    // until the object goes).
    struct Entry {
        uint32_t key = 0, keySize = 0;  // in text_
        uint32_t value = 0, valueSize = 0;
        uint32_t hash = 0;  // of the key without regard to case
    };
    struct Section {
        uint32_t name = 0, nameSize = 0;  // in text_
        uint32_t hash = 0;
        uint32_t first = 0, count = 0, room = 0;  // its run of entries_
        // Its run of keySlots_; none while its few keys are searched in order.
        uint32_t firstSlot = 0, slotCount = 0;
    };

    // Reads decoded text.
    void ParseText(std::string text);
    std::string_view View(uint32_t at, uint32_t size) const { return {text_.data() + at, size}; }
    // Appends to text_ and tells where; line breaks become blanks.
    uint32_t Store(std::string_view s);
    // Where s, a part of text_, starts.
    uint32_t Offset(std::string_view s) const;
    const Section* FindSection(std::string_view section) const;
    const Entry* Find(std::string_view section, std::string_view key) const;
    size_t FindKey(const Section& s, std::string_view key, uint32_t hash) const;
    Section& SectionFor(std::string_view section);
    Section& AddSection(uint32_t name, uint32_t nameSize, uint32_t hash);
    void AddEntry(Section& s, const Entry& e);
    void Reserve(Section& s, size_t entries);
    void IndexKeys(Section& s, size_t room);

    std::vector<Section> sections_;
    std::vector<uint64_t> sectionSlots_;
    std::vector<Entry> entries_;
    std::vector<uint32_t> keySlots_;
    std::string text_;
    mutable size_t probes_ = 0;
    // Files are read and written a section at a time, key after key: the
    // section of the last lookup, the one after it and the entry after the
    // last key found are tried first.
    mutable size_t lastSection_ = 0;
    mutable size_t nextEntry_ = 0;
};

}  // namespace kalvo
