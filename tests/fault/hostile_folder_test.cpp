// Hostile entries in the program folder: a named pipe in place of any file
// the program reads, links and a device node where it writes. The program
// waits on none of them, ends normally, and leaves every such entry, and
// every decoy a link leads to, as it was; a link where it writes is replaced
// by a file of its own. Decoys only, in the test's own folders; the device
// rows need root and are skipped otherwise.
#include "fault/fault_support.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

enum class Put { Fifo, LinkToDecoy, Device };

struct EntryCase {
    const char* name;
    const char* entry; // in the program folder
    Put put;
    const char* settings = nullptr; // config.xml before the start; null: the Navigator's
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

const char kBrokenSettings[] = "<config><port>0</port>&</config>";

struct stat statOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// A reader blocked in open() on the pipe lets a writer open it at once.
bool somebodyWaitsOn(const std::string& fifo) {
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
    return fd >= 0;
}

class HostileEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(HostileEntry, IsNeitherWaitedOnNorWrittenThrough) {
    const EntryCase& c = GetParam();
    Navigator nav(false);
    const std::string entry = nav.folder().file(c.entry);
    const fs::path relative(c.entry);
    if (relative.has_parent_path()) unlinkFolderEntry(nav.folder(), relative.begin()->string());
    if (c.settings) writeFile(nav.folder().file("config.xml"), c.settings);
    TempDir decoys;
    const std::string decoy = decoys.write("decoy", kBrokenSettings);
    fs::remove(entry);
    fs::create_directories(fs::path(entry).parent_path());
    const bool placed = c.put == Put::Fifo ? ::mkfifo(entry.c_str(), 0644) == 0
                        : c.put == Put::LinkToDecoy
                            ? ::symlink(decoy.c_str(), entry.c_str()) == 0
                            : ::mknod(entry.c_str(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    if (!placed) GTEST_SKIP() << "cannot make the entry here (a device needs root)";
    const struct stat before = statOf(entry);

    nav.start(nullptr);
    ASSERT_TRUE(nav.waitForLoop()) << nav.console();
    // The menus and pictures are read just after the receiver is given up.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    if (c.put == Put::Fifo) {
        EXPECT_FALSE(somebodyWaitsOn(entry)) << nav.console();
    }
    EXPECT_EQ(0, nav.stop()) << nav.console();

    EXPECT_EQ(kBrokenSettings, readFile(decoy));
    if (c.put == Put::LinkToDecoy) {
        EXPECT_TRUE(S_ISREG(statOf(entry).st_mode)) << "the link is replaced";
    } else {
        EXPECT_EQ(before.st_mode, statOf(entry).st_mode);
        EXPECT_EQ(before.st_rdev, statOf(entry).st_rdev);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folder, HostileEntry,
    ::testing::Values(EntryCase{"PipeAsLayout", "screen.xml", Put::Fifo},
                      EntryCase{"PipeAsSettings", "config.xml", Put::Fifo},
                      EntryCase{"PipeAsMenu", "menu.xml", Put::Fifo},
                      EntryCase{"PipeAsStyle", "tevo.skn", Put::Fifo},
                      EntryCase{"PipeAsMap", "map.tvm", Put::Fifo},
                      EntryCase{"PipeAsFont", "DejaVuSans.ttf", Put::Fifo},
                      EntryCase{"PipeAsLevels", "levels.xml", Put::Fifo},
                      EntryCase{"PipeAsSpeedView", "vsa.xml", Put::Fifo},
                      EntryCase{"PipeAsDemoTrack", "demo.plt", Put::Fifo},
                      EntryCase{"PipeAsTrack", "Tracks/ostankino.plt", Put::Fifo},
                      EntryCase{"PipeAsSplash", "pictures/splash.png", Put::Fifo},
                      EntryCase{"PipeAsButton", "pictures/button_map.png", Put::Fifo},
                      EntryCase{"PipeAsPlugin", "Plugins/Pipe/Pipe.so", Put::Fifo},
                      EntryCase{"DeviceAsSettings", "config.xml", Put::Device},
                      EntryCase{"DeviceAsMap", "map.tvm", Put::Device},
                      EntryCase{"LinkAsSettings", "config.xml", Put::LinkToDecoy},
                      EntryCase{"LinkAsKeptSettings", "config.xml.bad", Put::LinkToDecoy,
                                kBrokenSettings}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
