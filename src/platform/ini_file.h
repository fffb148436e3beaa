#pragma once
// Settings and archive files: INI text with sections and keys kept in their
// order and looked up without regard to case; values are updated in place.
// Not QSettings, which escapes keys with blanks and splits values at commas.

#include <string>
#include <string_view>
#include <unordered_map>
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
    void EraseSection(std::string_view section);
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

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> index;  // folded key -> entry
    };

    const std::string* Find(std::string_view section, std::string_view key) const;
    Section& SectionFor(std::string_view section);

    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> index_;  // folded name -> section
};

}  // namespace kalvo
