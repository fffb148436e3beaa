#include "atomic_file.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
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
    fs::path dir_;
};

TEST_F(AtomicFileTest, ReplacesContentAndLeavesNoTemporaryFile) {
    auto target = dir_ / "a.ini";
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "old").ok);
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "new content").ok);
    EXPECT_EQ(ReadAll(target), "new content");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(AtomicFileTest, FailureKeepsTheOldFileAndSaysWhy) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    auto target = dir_ / "a.ini";
    ASSERT_TRUE(kalvo::WriteFileAtomically(target.string(), "old").ok);
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    auto r = kalvo::WriteFileAtomically(target.string(), "new");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("kann nicht geschrieben werden"), std::string::npos);
    EXPECT_EQ(ReadAll(target), "old");
    EXPECT_FALSE(kalvo::FolderIsWritable(dir_.string()));
}

TEST_F(AtomicFileTest, MissingFolderIsReported) {
    auto r = kalvo::WriteFileAtomically((dir_ / "no" / "such" / "file").string(), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
}

}  // namespace

namespace {
TEST_F(AtomicFileTest, RenameFailureRemovesTheTemporaryFile) {
    auto target = dir_ / "taken";
    fs::create_directories(target / "inside");
    auto r = kalvo::WriteFileAtomically(target.string(), "x");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(fs::is_directory(target / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}
}  // namespace
