#pragma once
// Writing a file so that a failure never leaves a half-written file behind:
// the bytes go to a temporary file in the same folder, which is renamed over
// the target only when everything was written and flushed.

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

}  // namespace kalvo
