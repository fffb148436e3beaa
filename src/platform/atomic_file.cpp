#include "atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <filesystem>
#include <unistd.h>

namespace kalvo {

namespace {

std::string ErrnoText() { return std::strerror(errno); }

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteResult r;
    std::string tmpl = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        r.error = "Die Datei " + path + " kann nicht geschrieben werden: " + ErrnoText();
        return r;
    }
    bool good = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    std::string why = good ? "" : ErrnoText();
    // mkstemp creates 0600; a settings or picture file should be readable like any other.
    ::fchmod(fd, 0644);
    if (::close(fd) != 0 && good) {
        good = false;
        why = ErrnoText();
    }
    if (good && std::rename(tmpl.c_str(), path.c_str()) != 0) {
        good = false;
        why = ErrnoText();
    }
    if (!good) {
        std::remove(tmpl.c_str());
        r.error = "Die Datei " + path + " kann nicht geschrieben werden: " + why;
        return r;
    }
    r.ok = true;
    return r;
}

bool FolderIsWritable(const std::string& folder) {
    std::string probe = (std::filesystem::path(folder.empty() ? "." : folder) / ".kalvo-probe-XXXXXX").string();
    int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    std::remove(probe.c_str());
    return true;
}

}  // namespace kalvo
