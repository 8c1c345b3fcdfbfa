// The real tvmc and tvmsearch on the extract north of Bayreuth: names a
// user would look for there (streets, villages and hamlets, shops) are
// found first or among the first three, typed in part, in lower case or
// without their accents.
#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tevo::test {
namespace {

constexpr int kTimeoutMs = 60000;

struct Lookup {
    const char* typed;
    const char* name; // found first or among the first three
    const char* kind;
};

const Lookup kLookups[] = {
    {"hauptstraße", "Hauptstraße", "street"},
    {"bayreuther str", "Bayreuther Straße", "street"},
    {"kulmbacher", "Kulmbacher Straße", "street"},
    {"st georgen", "St.-Georgen-Straße", "street"},
    {"hauptmann", "Gerhard-Hauptmann-Straße", "street"},
    {"angerleinstr", "Ängerleinstraße", "street"},
    {"rothelberg", "Röthelbergstraße", "street"},
    {"schlossplatz", "Schloßplatz", "street"},
    {"unterwaizer", "Unterwaizer Straße", "street"},
    {"neudrossenfeld", "Neudrossenfeld", "place"},
    {"harsd", "Harsdorf", "place"},
    {"ramsenthal", "Ramsenthal", "place"},
    {"Altenplos", "Altenplos", "place"},
    {"zettm", "Zettmeisel", "place"},
    {"DORFLAS", "Dörflas", "place"},
    {"holle", "Hölle", "place"},
    {"edeka", "Edeka", "poi"},
    {"lidl", "Lidl", "poi"},
    {"backerei wagner", "Bäckerei Konditorei Wagner", "poi"},
    {"schiesser out", "Schiesser Outlet Store", "poi"},
};

class NorthBayreuth : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder = new TempDir;
        ChildProcess tvmc({std::string(TEVO_BIN_DIR) + "/tvmc", "--quiet",
                           std::string(TEVO_SOURCE_DIR) + "/data/osm/north-bayreuth.osm.gz", "-o",
                           folder->file("map.tvm")});
        compiled = tvmc.wait(kTimeoutMs) == 0;
    }
    static void TearDownTestSuite() { delete folder; }

    // tvmsearch's JSON lines for the text.
    static std::vector<std::string> search(const char* typed) {
        ChildProcess run(
            {std::string(TEVO_BIN_DIR) + "/tvmsearch", folder->path(), typed, "--limit", "3"});
        EXPECT_EQ(run.wait(kTimeoutMs), 0) << run.errors();
        std::vector<std::string> lines;
        const std::string out = run.output();
        for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
            lines.push_back(out.substr(at, end - at));
        return lines;
    }

    static inline TempDir* folder = nullptr;
    static inline bool compiled = false;
};

TEST_F(NorthBayreuth, NamesAreFoundFirstOrAmongTheFirstThree) {
    ASSERT_TRUE(compiled);
    for (const Lookup& l : kLookups) {
        SCOPED_TRACE(l.typed);
        const std::string wanted =
            "\"kind\":\"" + std::string(l.kind) + "\",\"name\":\"" + l.name + "\"";
        const std::vector<std::string> lines = search(l.typed);
        EXPECT_TRUE(std::any_of(
            lines.begin(), lines.end(),
            [&](const std::string& line) { return line.find(wanted) != std::string::npos; }))
            << "not among the first three: " << l.name;
    }
}

TEST_F(NorthBayreuth, TheIndexIsASmallShareOfTheMap) {
    ASSERT_TRUE(compiled);
    struct stat map {
    }, index{};
    ASSERT_EQ(::stat(folder->file("map.tvm").c_str(), &map), 0);
    ASSERT_EQ(::stat(folder->file("map.tvn").c_str(), &index), 0);
    EXPECT_LE(index.st_size * 100, map.st_size * 15);
}

} // namespace
} // namespace tevo::test
