#include "platform/directory.hpp"
#include "platform/paths.hpp"
#include "support/process.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace tevo {
namespace {

TEST(ProgramFolder, IsEverythingUpToTheLastSlash) {
    EXPECT_EQ(programFolderFrom("/opt/tevo/tevo"), "/opt/tevo/");
    EXPECT_EQ(programFolderFrom("./tevo"), "./");
    EXPECT_EQ(programFolderFrom("build/dist/tevo"), "build/dist/");
    const std::string longPath = "/" + std::string(400, 'd') + "/tevo";
    EXPECT_EQ(programFolderFrom(longPath.c_str()), "/" + std::string(400, 'd') + "/");
}

TEST(ProgramFolder, WithoutSlashIsTheFolderOfTheRunningProgram) {
    const std::string folder = programFolderFrom("tevo");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(isDirectory(folder));
}

TEST(Directory, ListsEntriesSortedByBytes) {
    test::TempDir dir;
    for (const char* name : {"b.plt", "B.plt", "a.plt", ".hidden", "Ä.plt"})
        test::writeFile(dir.file(name), "x");
    std::filesystem::create_directory(dir.file("Sentrix"));
    std::filesystem::create_symlink(dir.file("Sentrix"), dir.file("link"));
    const auto entries = listDirectory(dir.path());
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.name + (e.isDirectory ? "/" : ""));
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "B.plt", "Sentrix/", "a.plt", "b.plt",
                                               "link/", "Ä.plt"}));
}

TEST(Directory, MissingFolderGivesNothing) {
    EXPECT_TRUE(listDirectory("/nonexistent/folder/for/tevo").empty());
}

} // namespace
} // namespace tevo
