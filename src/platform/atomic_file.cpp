#include "atomic_file.h"

#include <cerrno>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kalvo {

namespace {

constexpr std::string_view kTempMarker = ".tmp-";
constexpr size_t kTempSuffixChars = 6;

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

std::string CannotWrite(const std::string& path, const std::string& why) {
    return "Die Datei " + path + " kann nicht geschrieben werden: " + why + ".";
}

// The file a chain of symbolic links ends at (the path itself when it is no
// link); a link to a file that does not exist yet names where it goes.
// Empty with errno ELOOP for a chain that does not end.
std::string ResolveLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) return path;
        target.resize(static_cast<size_t>(n));
        std::filesystem::path next(target);
        if (next.is_relative()) next = std::filesystem::path(path).parent_path() / next;
        path = next.string();
    }
    errno = ELOOP;
    return {};
}

char RandomNameChar() {
    static std::mt19937_64 random{std::random_device{}()};
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    return kChars[random() % (sizeof(kChars) - 1)];
}

bool IsTemporaryOf(std::string_view entry, std::string_view base) {
    return entry.size() == base.size() + kTempMarker.size() + kTempSuffixChars && entry.substr(0, base.size()) == base &&
           entry.substr(base.size(), kTempMarker.size()) == kTempMarker;
}

// A save holds a lock on its temporary file until it is renamed; one nobody
// holds was left by a save that died, and goes.
void RemoveStaleTemporaries(const std::string& folder, const std::string& base) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (!IsTemporaryOf(e->d_name, base)) continue;
        const int fd = ::openat(dirFd, e->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// A new temporary file next to `target`, locked; -1 with errno on failure.
int CreateTemporary(const std::string& target, mode_t mode, std::string& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = target;
        name += kTempMarker;
        for (size_t i = 0; i < kTempSuffixChars; ++i) name += RandomNameChar();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return -1;
        }
        // Another save cleaning up may have taken the file between its
        // creation and the lock; then it is gone and a new one is made.
        struct stat st {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string SystemErrorText(int error) {
    switch (error) {
        case ENOSPC: return "Kein Platz auf dem Datenträger";
        case EDQUOT: return "Der zugeteilte Speicherplatz ist erschöpft";
        case EACCES:
        case EPERM: return "Zugriff verweigert";
        case EROFS: return "Der Datenträger ist schreibgeschützt";
        case ENOENT: return "Datei oder Ordner nicht gefunden";
        case ENOTDIR: return "Ein Teil des Pfades ist kein Ordner";
        case EISDIR: return "An dieser Stelle steht ein Ordner";
        case ENAMETOOLONG: return "Der Name ist zu lang";
        case ELOOP: return "Zu viele symbolische Verknüpfungen";
        case EIO: return "Ein- oder Ausgabefehler des Datenträgers";
        case EFBIG: return "Die Datei wird zu groß";
        case EMFILE:
        case ENFILE: return "Zu viele offene Dateien";
        case ENOMEM: return "Nicht genug Arbeitsspeicher";
        case EBUSY:
        case ETXTBSY: return "Die Datei ist in Gebrauch";
        case EXDEV: return "Das Ziel liegt auf einem anderen Datenträger";
        case EEXIST: return "Die Datei besteht bereits";
        case ENXIO:
        case ENODEV: return "Das Gerät ist nicht vorhanden";
        case EINVAL: return "Der Name oder der Vorgang ist hier nicht erlaubt";
        default: return "Systemfehler " + std::to_string(error);
    }
}

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteResult r;
    const std::string target = ResolveLinks(path);
    if (target.empty()) {
        r.error = CannotWrite(path, SystemErrorText(errno));
        return r;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (!S_ISREG(old.st_mode)) {
            r.error = CannotWrite(path, S_ISDIR(old.st_mode) ? SystemErrorText(EISDIR) : "Das ist keine gewöhnliche Datei");
            return r;
        }
        // Root may write anything; a file without any write permission is
        // still one its owner protected.
        if ((old.st_mode & 0222) == 0 || (::access(target.c_str(), W_OK) != 0 && errno == EACCES)) {
            r.error = "Die Datei " + path + " ist schreibgeschützt; sie wurde nicht überschrieben.";
            return r;
        }
    }
    const std::filesystem::path targetPath(target);
    const std::string folder = targetPath.has_parent_path() ? targetPath.parent_path().string() : ".";
    RemoveStaleTemporaries(folder, targetPath.filename().string());

    std::string tmp;
    // A new file gets the permissions the user's umask gives any new file.
    const int fd = CreateTemporary(target, exists ? 0600 : 0666, tmp);
    if (fd < 0) {
        r.error = CannotWrite(path, SystemErrorText(errno));
        return r;
    }
    if (exists) {
        // The owner first: changing it may clear set-id bits the mode then puts back.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        ::fchmod(fd, old.st_mode & 07777);
    }
    int why = 0;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) why = errno;
    // The rename happens while the lock is held, so no other save takes the file for stale.
    if (why == 0 && ::rename(tmp.c_str(), target.c_str()) != 0) why = errno;
    if (why != 0) ::unlink(tmp.c_str());
    ::close(fd);
    if (why != 0) {
        r.error = CannotWrite(path, SystemErrorText(why));
        return r;
    }
    SyncFolder(folder);
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

FileReadResult ReadFileBytes(const std::string& path, size_t maxBytes) {
    FileReadResult r;
    auto fail = [&r](int error) {
        r.status = error == ENOENT || error == ENOTDIR ? FileReadStatus::Missing : FileReadStatus::Failed;
        r.error = error;
        r.bytes.clear();
        return r;
    };
    // Checked before opening: opening a named pipe would wait for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) {
        r.status = FileReadStatus::NotRegular;
        return r;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        r.status = FileReadStatus::TooLarge;
        return r;
    }
    // Without blocking, should the file have been swapped for a pipe since.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        r.status = FileReadStatus::NotRegular;
        return r;
    }
    // The size may change while reading; never more than one byte past the limit is read.
    r.bytes.resize(std::min<uint64_t>(static_cast<uint64_t>(st.st_size), maxBytes) + 1);
    size_t got = 0;
    for (;;) {
        if (got == r.bytes.size()) {
            if (got > maxBytes) break;
            r.bytes.resize(std::min(maxBytes + 1, 2 * got + 4096));
        }
        const ssize_t n = ::read(fd, r.bytes.data() + got, r.bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    if (got > maxBytes) {
        r.bytes.clear();
        r.status = FileReadStatus::TooLarge;
        return r;
    }
    r.bytes.resize(got);
    r.status = FileReadStatus::Ok;
    return r;
}

std::string ReadFailureMessage(const FileReadResult& r, const std::string& name, std::string_view what) {
    if (r.status == FileReadStatus::TooLarge) return "Die Datei " + name + " ist zu groß für " + std::string(what) + ".";
    std::string text = "Die Datei " + name + " kann nicht gelesen werden";
    if (r.status == FileReadStatus::Failed && r.error != 0) text += ": " + SystemErrorText(r.error);
    return text + ".";
}

}  // namespace kalvo
