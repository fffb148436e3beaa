#include "atomic_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using kalvo::FileReadStatus;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

size_t FilesIn(const fs::path& dir) { return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

mode_t ModeOf(const fs::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kalvo-atomic-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
    fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesContentAndLeavesNoTemporaryFile) {
    auto target = dir_ / "a.ini";
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "old").ok);
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "new content").ok);
    EXPECT_EQ(ReadAll(target), "new content");
    EXPECT_EQ(FilesIn(dir_), 1u);
}

// Failures that hold for root as well; each keeps what stood there and
// leaves no temporary file, with the reason in German.
TEST_F(AtomicFileTest, FailuresKeepTheOldFileAndSayWhyInGerman) {
    Write(dir_ / "datei", "alt");
    fs::create_directories(dir_ / "ordner" / "inhalt");
    Write(dir_ / "geschuetzt.ini", "alt");
    fs::permissions(dir_ / "geschuetzt.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0644), 0);
    const struct {
        fs::path target;
        const char* reason;
    } cases[] = {
        {dir_ / "datei" / "a.ini", "kann nicht geschrieben werden: Ein Teil des Pfades ist kein Ordner."},
        {dir_ / "ordner", "kann nicht geschrieben werden: An dieser Stelle steht ein Ordner."},
        {dir_ / "fehlt" / "a.ini", "kann nicht geschrieben werden: Datei oder Ordner nicht gefunden."},
        {dir_ / "geschuetzt.ini", "ist schreibgeschützt; sie wurde nicht überschrieben."},
        {dir_ / "pipe", "kann nicht geschrieben werden: Das ist keine gewöhnliche Datei."},
    };
    for (const auto& c : cases) {
        const auto r = kalvo::WriteFileAtomically(c.target.string(), "neu");
        EXPECT_FALSE(r.ok) << c.target;
        EXPECT_EQ(r.error, "Die Datei " + c.target.string() + " " + c.reason);
    }
    EXPECT_EQ(ReadAll(dir_ / "datei"), "alt");
    EXPECT_EQ(ReadAll(dir_ / "geschuetzt.ini"), "alt");
    EXPECT_EQ(ModeOf(dir_ / "geschuetzt.ini"), 0444u);
    EXPECT_TRUE(fs::is_directory(dir_ / "ordner" / "inhalt"));
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
    EXPECT_EQ(FilesIn(dir_), 4u);
    EXPECT_FALSE(kalvo::FolderIsWritable((dir_ / "datei").string()));
}

TEST_F(AtomicFileTest, TheNewFileKeepsWhatTheOldOneWas) {
    for (mode_t mode : {0600u, 0640u, 0664u}) {
        const auto target = dir_ / ("m" + std::to_string(mode));
        Write(target, "alt");
        ::chmod(target.c_str(), mode);
        ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "neu").ok);
        EXPECT_EQ(ModeOf(target), mode);
        EXPECT_EQ(ReadAll(target), "neu");
    }
    // A link stays a link, relative or absolute, and the file it points to
    // gets the bytes; a link to a file that does not exist yet creates it.
    fs::create_directories(dir_ / "echt");
    Write(dir_ / "echt" / "ziel.ini", "alt");
    fs::create_symlink("echt/ziel.ini", dir_ / "relativ.ini");
    fs::create_symlink(dir_ / "relativ.ini", dir_ / "kette.ini");
    fs::create_symlink(dir_ / "echt" / "neu.ini", dir_ / "offen.ini");
    ASSERT_TRUE(kalvo::WriteFileAtomically((dir_ / "kette.ini").string(), "über die Kette").ok);
    EXPECT_TRUE(fs::is_symlink(dir_ / "kette.ini"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "relativ.ini"));
    EXPECT_EQ(ReadAll(dir_ / "echt" / "ziel.ini"), "über die Kette");
    ASSERT_TRUE(kalvo::WriteFileAtomically((dir_ / "offen.ini").string(), "neu").ok);
    EXPECT_TRUE(fs::is_symlink(dir_ / "offen.ini"));
    EXPECT_EQ(ReadAll(dir_ / "echt" / "neu.ini"), "neu");
    EXPECT_EQ(FilesIn(dir_ / "echt"), 2u);

    fs::create_symlink("schleife.ini", dir_ / "schleife.ini");
    const auto loop = kalvo::WriteFileAtomically((dir_ / "schleife.ini").string(), "x");
    EXPECT_FALSE(loop.ok);
    EXPECT_NE(loop.error.find("Zu viele symbolische Verknüpfungen"), std::string::npos);
}

TEST_F(AtomicFileTest, TemporaryFilesOfADeadSaveGoWithTheNextSave) {
    const auto target = dir_ / "a.ini";
    Write(dir_ / "a.ini.tmp-Ab3xYz", "halb");   // left by a save that died
    Write(dir_ / "b.ini.tmp-Ab3xYz", "fremd");  // of another file
    Write(dir_ / "a.ini.tmp-zu-lang", "fremd");
    // A save running at the same time holds the lock on its temporary file.
    Write(dir_ / "a.ini.tmp-laeuft", "läuft");
    const int busy = ::open((dir_ / "a.ini.tmp-laeuft").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "neu").ok);
    ::close(busy);
    EXPECT_FALSE(fs::exists(dir_ / "a.ini.tmp-Ab3xYz"));
    EXPECT_TRUE(fs::exists(dir_ / "a.ini.tmp-laeuft"));
    EXPECT_TRUE(fs::exists(dir_ / "b.ini.tmp-Ab3xYz"));
    EXPECT_TRUE(fs::exists(dir_ / "a.ini.tmp-zu-lang"));
    EXPECT_EQ(ReadAll(target), "neu");
}

TEST_F(AtomicFileTest, ReadingOpensOnlyRegularFilesAndKeepsToTheLimit) {
    Write(dir_ / "klein", "12345");
    Write(dir_ / "gross", std::string(100, 'x'));
    fs::create_directories(dir_ / "ordner");
    // Opening a named pipe for reading would wait for a writer for good.
    ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0644), 0);
    const struct {
        const char* name;
        FileReadStatus status;
        const char* message;
    } cases[] = {
        {"klein", FileReadStatus::Ok, ""},
        {"gross", FileReadStatus::TooLarge, "Die Datei gross ist zu groß für eine Termliste."},
        {"fehlt", FileReadStatus::Missing, "Die Datei fehlt kann nicht gelesen werden."},
        {"ordner", FileReadStatus::NotRegular, "Die Datei ordner kann nicht gelesen werden."},
        {"pipe", FileReadStatus::NotRegular, "Die Datei pipe kann nicht gelesen werden."},
        {"klein/x", FileReadStatus::Missing, "Die Datei klein/x kann nicht gelesen werden."},
    };
    for (const auto& c : cases) {
        const auto r = kalvo::ReadFileBytes((dir_ / c.name).string(), 99);
        EXPECT_EQ(r.status, c.status) << c.name;
        if (r.ok())
            EXPECT_EQ(r.bytes, "12345");
        else
            EXPECT_EQ(kalvo::ReadFailureMessage(r, c.name, "eine Termliste"), c.message);
    }
    EXPECT_EQ(kalvo::ReadFileBytes((dir_ / "gross").string(), 100).bytes.size(), 100u);
}

TEST(SystemErrorText, TheSystemsReasonsInGerman) {
    EXPECT_EQ(kalvo::SystemErrorText(ENOSPC), "Kein Platz auf dem Datenträger");
    EXPECT_EQ(kalvo::SystemErrorText(EROFS), "Der Datenträger ist schreibgeschützt");
    EXPECT_EQ(kalvo::SystemErrorText(EACCES), "Zugriff verweigert");
    // Every reason a file operation gives has words of its own, never the
    // system's English text.
    for (int e : {ENOSPC, EDQUOT, EACCES, EPERM, EROFS, ENOENT, ENOTDIR, EISDIR, ENAMETOOLONG, ELOOP, EIO, EFBIG,
                  EMFILE, ENFILE, ENOMEM, EBUSY, ETXTBSY, EXDEV, EEXIST, ENXIO, ENODEV, EINVAL}) {
        const std::string text = kalvo::SystemErrorText(e);
        EXPECT_EQ(text.find("Systemfehler"), std::string::npos) << e;
        EXPECT_NE(text, std::strerror(e));
    }
    EXPECT_EQ(kalvo::SystemErrorText(EPROTO), "Systemfehler " + std::to_string(EPROTO));
}

}  // namespace
