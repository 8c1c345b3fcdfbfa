// The reader refuses damaged and foreign files with one line and never
// reads outside the file, whatever its bytes.
#include "search/name_query.hpp"
#include "search/tvn_format.hpp"
#include "search_fixture.hpp"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tevo::search {
namespace {

using K = NameKind;

std::string sampleBytes() {
    return encodeNameIndex({entry(K::Place, "Neudrossenfeld", "", 11.50, 50.01),
                            entry(K::Street, "Kulmbacher Straße", "Altenplos", 11.52, 50.02),
                            entry(K::Poi, "Edeka", "Neudrossenfeld", 11.50, 50.02)});
}

void putU32At(std::string& bytes, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}

struct Damage {
    const char* what;
    void (*apply)(std::string&);
};

const Damage kDamages[] = {
    {"cut short", [](std::string& b) { b.resize(60); }},
    {"cut at the end", [](std::string& b) { b.resize(b.size() - 3); }},
    {"foreign magic", [](std::string& b) { b[0] = 'X'; }},
    {"newer version", [](std::string& b) { b[tvn::kVersionAt] = 2; }},
    {"more entries than offsets", [](std::string& b) { putU32At(b, tvn::kEntryCountAt, 4); }},
    {"a section past the end",
     [](std::string& b) { putU32At(b, tvn::sectionAt(tvn::kPostings), 0xFFFFFF00u); }},
    {"an unknown kind",
     [](std::string& b) {
         b[tvn::readU32(reinterpret_cast<const uint8_t*>(b.data()) +
                        tvn::sectionAt(tvn::kEntryRecords))] = 7;
     }},
    {"words out of order",
     [](std::string& b) {
         b[tvn::readU32(reinterpret_cast<const uint8_t*>(b.data()) +
                        tvn::sectionAt(tvn::kWordTexts))] = 'z';
     }},
    // The place's record: 11 fixed bytes, no town, its name of 14 bytes, one
    // word, which now is another word than its postings say.
    {"a word whose postings lack the entry",
     [](std::string& b) {
         b[tvn::readU32(reinterpret_cast<const uint8_t*>(b.data()) +
                        tvn::sectionAt(tvn::kEntryRecords)) +
           28] = 0;
     }},
    {"a posting past the entries",
     [](std::string& b) {
         b[tvn::readU32(reinterpret_cast<const uint8_t*>(b.data()) +
                        tvn::sectionAt(tvn::kPostings))] = 0x7F;
     }},
};

TEST(NameIndex, DamagedFilesAreRefusedWithOneLine) {
    test::TempDir folder;
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        std::string bytes = sampleBytes();
        d.apply(bytes);
        cNameIndex index;
        std::string error;
        EXPECT_FALSE(index.open(folder.write("map.tvn", bytes), &error));
        EXPECT_NE(error.find("map.tvn: not a usable name index: "), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(NameIndex, NoFileAFolderOrAPipeIsRefusedAtOnce) {
    test::TempDir folder;
    folder.makeFolder("folder.tvn");
    ASSERT_EQ(::mkfifo(folder.file("pipe.tvn").c_str(), 0600), 0);
    for (const char* name : {"missing.tvn", "folder.tvn", "pipe.tvn"}) {
        cNameIndex index;
        std::string error;
        EXPECT_FALSE(index.open(folder.file(name), &error)) << name;
        EXPECT_FALSE(error.empty());
    }
}

// Every byte changed in turn: the file is refused or searches without
// reading outside it (the sanitizer build watches the reads).
TEST(NameIndex, AnyChangedByteIsRefusedOrSearchedSafely) {
    test::TempDir folder;
    const std::string good = sampleBytes();
    for (std::size_t at = 0; at < good.size(); ++at) {
        std::string bytes = good;
        bytes[at] = static_cast<char>(bytes[at] ^ 0xA5);
        cNameIndex index;
        if (!index.open(folder.write("map.tvn", bytes), nullptr)) continue;
        cNameQuery query(index);
        for (const char* typed : {"n", "kulmbacher s", "edeka alt", "e"})
            query.search(std::string_view(typed));
    }
}

} // namespace
} // namespace tevo::search
