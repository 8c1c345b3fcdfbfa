// The program folder turns read-only while the program runs. At exit the
// settings file is either kept as it was or replaced whole, never lost or
// cut short, and it stays the same file (same inode): other programs may
// hold it open or link to it.
#include "fault/fault_support.hpp"

#include "config/config_xml.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <ostream>

#include <filesystem>
#include <set>

namespace tevo::test {
namespace {

namespace fs = std::filesystem;

// Root writes through any permission bits: the program then runs as nobody.
const std::vector<std::string> kAsNobody = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup",
                                            "--clear-groups"};

struct ReadOnlyCase {
    const char* name;
    bool fileReadOnly; // the settings file itself too, not only the folder
};

// Test names and messages show the case by its name.
void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.name;
}

std::set<std::string> entriesOf(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class ReadOnlyFolder : public ::testing::TestWithParam<ReadOnlyCase> {
protected:
    void TearDown() override {
        // Let the folder's owner remove it again.
        fs::permissions(nav.folder().path(), fs::perms::owner_all, fs::perm_options::add);
        fs::permissions(settings(), fs::perms::owner_write, fs::perm_options::add);
    }
    std::string settings() { return nav.folder().file("config.xml"); }

    Navigator nav{false};
};

TEST_P(ReadOnlyFolder, SettingsFileIsKeptWholeAsTheSameFile) {
    const ReadOnlyCase& c = GetParam();
    std::vector<std::string> prefix;
    if (geteuid() == 0) {
        if (!fs::exists(kAsNobody[0])) GTEST_SKIP() << "setpriv is needed to drop root";
        prefix = kAsNobody;
        fs::permissions(nav.folder().path(), fs::perms::all);
        fs::permissions(settings(),
                        fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                           fs::perms::others_exec));
    }
    // A hand-made line, so that any write at exit shows.
    writeFile(settings(), readFile(settings()) + "<!-- kept by hand -->\n");
    const std::string before = readFile(settings());
    const ino_t inode = inodeOf(settings());
    ASSERT_NE(0u, inode);

    nav.start(nullptr, prefix);
    ASSERT_TRUE(nav.waitForLoop()) << nav.console();
    const auto entries = entriesOf(nav.folder().path());
    fs::permissions(nav.folder().path(), fs::perms::owner_read | fs::perms::owner_exec |
                                             fs::perms::group_read | fs::perms::group_exec |
                                             fs::perms::others_read | fs::perms::others_exec);
    if (c.fileReadOnly)
        fs::permissions(settings(),
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(0, nav.stop()) << nav.console();

    EXPECT_EQ(inode, inodeOf(settings()));
    EXPECT_EQ(entries, entriesOf(nav.folder().path())) << "no file left behind";
    const std::string after = readFile(settings());
    if (after != before) {
        // Replaced: then completely, as a file the program reads back.
        cConfigXML reread;
        EXPECT_TRUE(reread.parse(settings())) << after;
        EXPECT_EQ(reread.render(), after);
    }
}

INSTANTIATE_TEST_SUITE_P(AtExit, ReadOnlyFolder,
                         ::testing::Values(ReadOnlyCase{"FolderOnly", false},
                                           ReadOnlyCase{"FolderAndFile", true}),
                         [](const ::testing::TestParamInfo<ReadOnlyCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace tevo::test
