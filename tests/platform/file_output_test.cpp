// What stands at a file's name decides how the program reads and writes it:
// only a regular file is read (nothing waits on a pipe or a device), a link
// is replaced and never written through, a plain file stays the same file,
// and a device, a pipe or a folder is left as it is. Decoys only, in a
// private folder; the device case needs root and is skipped otherwise.
#include "platform/file_output.hpp"
#include "platform/regular_file.hpp"
#include "support/temp_dir.hpp"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace tevo {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

enum class Entry { None, Plain, HardLinked, LinkToDecoy, DanglingLink, Fifo, Device, Folder };

struct NameCase {
    const char* name;
    Entry entry;
    bool readable; // openRegularFile takes what is there
    bool written;  // writeWholeFile puts the new text at the name
};

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

class AtTheName : public ::testing::TestWithParam<NameCase> {
protected:
    // False when this machine cannot make the entry (a device needs root).
    bool place(Entry entry) {
        writeFile(decoy, "decoy");
        switch (entry) {
        case Entry::None:
            return true;
        case Entry::Plain:
            writeFile(at, "old");
            return true;
        case Entry::HardLinked:
            writeFile(at, "old");
            return ::link(at.c_str(), other.c_str()) == 0;
        case Entry::LinkToDecoy:
            return ::symlink(decoy.c_str(), at.c_str()) == 0;
        case Entry::DanglingLink:
            return ::symlink(dir.file("nowhere").c_str(), at.c_str()) == 0;
        case Entry::Fifo:
            return ::mkfifo(at.c_str(), 0644) == 0;
        case Entry::Device:
            return ::mknod(at.c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
        case Entry::Folder:
            return fs::create_directory(at);
        }
        return false;
    }

    test::TempDir dir;
    const std::string at = dir.file("config.xml");
    const std::string decoy = dir.file("decoy");
    const std::string other = dir.file("other name");
};

TEST_P(AtTheName, IsReadAndWrittenOnlyAsARegularFileOfItsOwn) {
    const NameCase& c = GetParam();
    if (!place(c.entry)) GTEST_SKIP() << "cannot make the entry here (a device needs root)";
    const struct stat before = statOf(at);
    const std::size_t entries = std::distance(fs::directory_iterator(dir.path()), {});

    const int fd = openRegularFile(at);
    EXPECT_EQ(c.readable, fd >= 0);
    if (fd >= 0) ::close(fd);
    std::string error;
    EXPECT_EQ(c.written, writeWholeFile(at, "new", &error)) << error;

    EXPECT_EQ("decoy", readFile(decoy));
    const struct stat after = statOf(at);
    if (c.written) {
        EXPECT_TRUE(S_ISREG(after.st_mode));
        EXPECT_EQ("new", readFile(at));
    } else {
        EXPECT_EQ(before.st_mode, after.st_mode) << error;
        EXPECT_EQ(before.st_rdev, after.st_rdev);
    }
    if (c.entry == Entry::Plain || c.entry == Entry::HardLinked) {
        EXPECT_EQ(before.st_ino, after.st_ino) << "the same file";
    }
    if (c.entry == Entry::HardLinked) {
        EXPECT_EQ("new", readFile(other));
    }
    EXPECT_EQ(entries + (c.entry == Entry::None),
              std::distance(fs::directory_iterator(dir.path()), {}))
        << "no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(
    Entries, AtTheName,
    ::testing::Values(NameCase{"Nothing", Entry::None, false, true},
                      NameCase{"PlainFile", Entry::Plain, true, true},
                      NameCase{"HardLinkedFile", Entry::HardLinked, true, true},
                      NameCase{"LinkToAFile", Entry::LinkToDecoy, true, true},
                      NameCase{"DanglingLink", Entry::DanglingLink, false, true},
                      NameCase{"NamedPipe", Entry::Fifo, false, false},
                      NameCase{"Device", Entry::Device, false, false},
                      NameCase{"Folder", Entry::Folder, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The temporary name was once the name, ".tmp" and the process id: a link
// planted there in a shared folder must not be followed.
TEST(ReplacementFile, NeverFollowsALinkAtTheOldPredictableName) {
    test::TempDir dir;
    const std::string decoy = dir.write("decoy", "decoy");
    const std::string map = dir.file("map.tvm");
    ASSERT_EQ(0, ::symlink(decoy.c_str(), (map + ".tmp" + std::to_string(::getpid())).c_str()));
    EXPECT_TRUE(writeWholeFile(map, "map", nullptr));
    EXPECT_EQ("decoy", readFile(decoy));
    EXPECT_EQ("map", readFile(map));
}

// A full disk (a file size limit stands in for it) leaves no file where
// there was none, and the old text where there was one.
TEST(ReplacementFile, AFullDiskLeavesTheNameAsItWas) {
    for (const bool existed : {false, true}) {
        test::TempDir dir;
        const std::string at = dir.file("config.xml");
        if (existed) writeFile(at, "old");
        rlimit old{};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit tight = old;
        tight.rlim_cur = 2;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &tight);
        const bool written = writeWholeFile(at, "new settings", nullptr);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
        EXPECT_FALSE(written) << existed;
        EXPECT_EQ(existed, fs::exists(at));
        if (existed) {
            EXPECT_EQ("old", readFile(at));
        }
        EXPECT_EQ(existed ? 1 : 0, std::distance(fs::directory_iterator(dir.path()), {}));
    }
}

} // namespace
} // namespace tevo
