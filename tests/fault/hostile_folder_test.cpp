// Pipes in place of files the program reads, links and a device where it
// writes: nothing is waited on, each entry and decoy stays as it was, a link
// where it writes becomes a file of its own. Decoys only; devices need root.
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

struct EntryCase {
    const char* name;
    const char* entry; // in the program folder
    fs::file_type put; // fifo, character (a device) or symlink (to a broken decoy)
};

class HostileEntry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(HostileEntry, IsNeitherWaitedOnNorWrittenThrough) {
    const EntryCase& c = GetParam();
    Navigator nav(false);
    const std::string entry = nav.folder().file(c.entry);
    if (fs::path(c.entry).has_parent_path()) // that folder of its own
        unlinkFolderEntry(nav.folder(), fs::path(c.entry).begin()->string());
    TempDir decoys;
    const std::string decoy = decoys.write("decoy", "<config>&</config>");
    if (c.entry == std::string("config.xml.bad")) writeFile(nav.folder().file("config.xml"), "&");
    fs::remove(entry);
    fs::create_directories(fs::path(entry).parent_path());
    const mode_t node = c.put == fs::file_type::fifo ? S_IFIFO : S_IFCHR;
    if (c.put == fs::file_type::symlink ? ::symlink(decoy.c_str(), entry.c_str()) != 0
                                        : ::mknod(entry.c_str(), node | 0644, makedev(1, 3)) != 0)
        GTEST_SKIP() << "a device node needs root";

    nav.start(nullptr);
    ASSERT_TRUE(nav.waitForLoop()) << nav.console();
    // Menus and pictures come after the receiver; one waiting on the pipe
    // would let a writer open it.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const int writer = node == S_IFIFO ? ::open(entry.c_str(), O_WRONLY | O_NONBLOCK) : -1;
    EXPECT_LT(writer, 0) << nav.console();
    if (writer >= 0) ::close(writer);
    EXPECT_EQ(0, nav.stop()) << nav.console();

    EXPECT_EQ("<config>&</config>", readFile(decoy));
    EXPECT_EQ(c.put == fs::file_type::symlink ? fs::file_type::regular : c.put,
              fs::symlink_status(entry).type());
}

INSTANTIATE_TEST_SUITE_P(
    Folder, HostileEntry,
    ::testing::Values(EntryCase{"PipeAsLayout", "screen.xml", fs::file_type::fifo},
                      EntryCase{"PipeAsSettings", "config.xml", fs::file_type::fifo},
                      EntryCase{"PipeAsMenu", "menu.xml", fs::file_type::fifo},
                      EntryCase{"PipeAsStyle", "tevo.skn", fs::file_type::fifo},
                      EntryCase{"PipeAsMap", "map.tvm", fs::file_type::fifo},
                      EntryCase{"PipeAsFont", "DejaVuSans.ttf", fs::file_type::fifo},
                      EntryCase{"PipeAsDemoTrack", "demo.plt", fs::file_type::fifo},
                      EntryCase{"PipeAsSplash", "pictures/splash.png", fs::file_type::fifo},
                      EntryCase{"PipeAsPlugin", "Plugins/Pipe/Pipe.so", fs::file_type::fifo},
                      EntryCase{"DeviceAsSettings", "config.xml", fs::file_type::character},
                      EntryCase{"LinkAsSettings", "config.xml", fs::file_type::symlink},
                      EntryCase{"LinkAsKeptSettings", "config.xml.bad", fs::file_type::symlink}),
    [](const ::testing::TestParamInfo<EntryCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tevo::test
