// A plain file keeps its identity (its hard links see the new text), a link
// becomes a file of its own, a link at the old predictable temporary name is
// not followed, and a full disk leaves the name as it was. Decoys only.
#include "platform/file_output.hpp"
#include "support/temp_dir.hpp"

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace tevo {
namespace {

namespace fs = std::filesystem;
using test::readFile;

TEST(WrittenFile, IsNeverWrittenThroughWhatStandsAtOrBesideItsName) {
    test::TempDir dir;
    const std::string decoy = dir.write("decoy", "decoy"), plain = dir.write("plain", "old");
    const std::string link = dir.file("link");
    fs::create_hard_link(plain, dir.file("shared"));
    fs::create_symlink(decoy, link);
    for (const std::string& name : {plain, link})
        fs::create_symlink(decoy, name + ".tmp" + std::to_string(::getpid()));
    EXPECT_TRUE(writeWholeFile(plain, "new", nullptr));
    EXPECT_TRUE(writeWholeFile(link, "new", nullptr));
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit tight{2, old.rlim_max}; // a file size limit stands in for a full disk
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &tight);
    EXPECT_FALSE(writeWholeFile(plain, "newer text", nullptr));
    EXPECT_FALSE(writeWholeFile(dir.file("absent"), "new", nullptr));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, handler);

    EXPECT_EQ(2u, fs::hard_link_count(plain));
    EXPECT_EQ("new", readFile(dir.file("shared")));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link)));
    EXPECT_EQ("new", readFile(link));
    EXPECT_EQ("decoy", readFile(decoy));
    EXPECT_EQ(6, std::distance(fs::directory_iterator(dir.path()), {})) << "nothing left";
}

} // namespace
} // namespace tevo
