#pragma once
// Reading and writing the user's files.
//
// A write never leaves a half-written file behind: the bytes go to a
// temporary file in the same folder, which is renamed over the target only
// when everything was written and flushed. The new file keeps what the old
// one was: its permission bits (and owner, where allowed), and a symbolic
// link stays a link, the file it points to is replaced. A write-protected
// file is not replaced. Temporary files a killed save left behind are
// removed by the next save of the same file.
//
// A read never blocks: only regular files are opened, and no more bytes
// than the caller's limit are read.

#include <cstddef>
#include <string>
#include <string_view>

namespace kalvo {

struct WriteResult {
    bool ok = false;
    std::string error;  // German, ready for a message box; empty when ok
};

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);

// Whether a new file can be created in the folder (by creating and removing a probe).
bool FolderIsWritable(const std::string& folder);

enum class FileReadStatus {
    Ok,
    Missing,     // no such file
    NotRegular,  // a folder, a named pipe, a device: never opened
    TooLarge,    // larger than the caller's limit
    Failed,      // the system refused to open or read it (see error)
};

struct FileReadResult {
    FileReadStatus status = FileReadStatus::Failed;
    int error = 0;  // errno of a failure
    std::string bytes;
    bool ok() const { return status == FileReadStatus::Ok; }
};

FileReadResult ReadFileBytes(const std::string& path, size_t maxBytes);

// The reader's message for a file that could not be read: "Die Datei NAME
// kann nicht gelesen werden." (with the system's reason in German where
// there is one), or for a file beyond the limit "Die Datei NAME ist zu groß
// für WHAT." (what: "ein Funktionen-Archiv", "eine Termliste", ...).
std::string ReadFailureMessage(const FileReadResult& r, const std::string& name, std::string_view what);

// The system's reason for a failure (an errno value) in German words.
std::string SystemErrorText(int error);

}  // namespace kalvo
