// What a user typing a name sees: which entries match the words typed so
// far and in which order, whether typed key by key or all at once.
#include "search/name_query.hpp"
#include "search_fixture.hpp"

#include <gtest/gtest.h>

namespace tevo::search {
namespace {

using K = NameKind;

// Bindlach and its streets near 11.60 E 49.98 N, Harsdorf 6 km north-west.
std::vector<NameEntry> sampleEntries() {
    return {
        entry(K::Place, "Bindlach", "", 11.600, 49.980),
        entry(K::Street, "Hauptstraße", "Bindlach", 11.602, 49.981),
        entry(K::Street, "Hauptstraße", "Harsdorf", 11.540, 50.030),
        entry(K::Street, "Bindlacher Straße", "Harsdorf", 11.545, 50.031),
        entry(K::Poi, "Bäckerei Bindlach", "Bindlach", 11.601, 49.979),
        entry(K::Area, "Hauptpark", "Harsdorf", 11.541, 50.032),
        entry(K::Street, "Rue de la Fontaine", "", 11.550, 50.000),
        entry(K::Street, "Rue de Rivoli", "", 11.551, 50.000),
        entry(K::Street, "улица Гончарова", "Москва", 11.560, 50.000),
        entry(K::Street, "Гончарный проезд", "", 11.561, 50.001),
    };
}

struct QueryCase {
    const char* typed;
    double lon, lat;                // the origin
    std::vector<std::string> names; // the hits in order ("name, town")
};

const QueryCase kQueryCases[] = {
    // Prefixes in the name's own script, any word of the name.
    {"гонч", 11.56, 50.0, {"улица Гончарова, Москва", "Гончарный проезд, "}},
    {"ГОНЧАРОВА", 11.56, 50.0, {"улица Гончарова, Москва"}},
    // Several words narrow, in any order; each takes a word of its own.
    {"rue fontaine", 11.6, 50.0, {"Rue de la Fontaine, "}},
    {"Fontaine  RUE", 11.6, 50.0, {"Rue de la Fontaine, "}},
    {"strasse strasse", 11.6, 50.0, {}},
    {"r rivoli", 11.6, 50.0, {"Rue de Rivoli, "}},
    // Whole words first, then places, streets, areas, POIs.
    {"bindlach",
     11.54,
     50.03,
     {"Bindlach, ", "Bäckerei Bindlach, Bindlach", "Bindlacher Straße, Harsdorf"}},
    {"bindl",
     11.54,
     50.03,
     {"Bindlach, ", "Bindlacher Straße, Harsdorf", "Bäckerei Bindlach, Bindlach"}},
    // Then by distance from the origin.
    {"haupt",
     11.54,
     50.03,
     {"Hauptstraße, Harsdorf", "Hauptstraße, Bindlach", "Hauptpark, Harsdorf"}},
    {"haupt",
     11.60,
     49.98,
     {"Hauptstraße, Bindlach", "Hauptstraße, Harsdorf", "Hauptpark, Harsdorf"}},
    // The town narrows, but a word of the name must be typed.
    {"haupt bindlach", 11.54, 50.03, {"Hauptstraße, Bindlach"}},
    {"haupt harsdorf", 11.54, 50.03, {"Hauptstraße, Harsdorf", "Hauptpark, Harsdorf"}},
    {"harsdorf", 11.54, 50.03, {}},
    {"Bäckerei Bindl", 11.6, 50.0, {"Bäckerei Bindlach, Bindlach"}},
    {"", 11.6, 50.0, {}},
    {" -. ", 11.6, 50.0, {}},
    {"zzz", 11.6, 50.0, {}},
};

std::vector<std::string> namesOf(const std::vector<NameHit>& hits) {
    std::vector<std::string> names;
    for (const NameHit& h : hits) names.push_back(h.name + ", " + h.town);
    return names;
}

class NameQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(index.open(writeIndex(folder, sampleEntries()), &error)) << error;
    }
    test::TempDir folder;
    cNameIndex index;
};

TEST_F(NameQueryTest, TypedWordsFindAndRankNames) {
    for (const QueryCase& c : kQueryCases) {
        SCOPED_TRACE(c.typed);
        cNameQuery query(index);
        query.setOrigin(c.lon, c.lat);
        EXPECT_EQ(namesOf(query.search(std::string_view(c.typed))), c.names);
    }
}

// Typing key by key narrows the previous search; the hits must be those of
// the same text searched at once, also after the origin moved.
TEST_F(NameQueryTest, EveryKeyGivesTheHitsOfItsTextSearchedAnew) {
    const char16_t* names[] = {u"Bäckerei Bindlach", u"улица Гончарова", u"Rue de la Fontaine",
                               u"haupt bindlach"};
    for (const char16_t* name : names) {
        cNameQuery typing(index);
        const std::u16string text(name);
        for (std::size_t n = 1; n <= text.size(); ++n) {
            typing.setOrigin(11.5 + 0.01 * static_cast<double>(n), 50.0);
            cNameQuery anew(index);
            anew.setOrigin(11.5 + 0.01 * static_cast<double>(n), 50.0);
            const std::u16string_view typed(text.data(), n);
            EXPECT_EQ(namesOf(typing.search(typed)), namesOf(anew.search(typed))) << n;
            EXPECT_EQ(typing.matchCount(), anew.matchCount()) << n;
        }
    }
}

TEST_F(NameQueryTest, HitsCarryPositionKindTownAndDistance) {
    cNameQuery query(index);
    query.setOrigin(11.60, 49.99);
    query.setLimit(1);
    const std::vector<NameHit>& hits = query.search(u"bindlach");
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].kind, K::Place);
    EXPECT_NEAR(hits[0].lon, 11.60, 1e-5);
    EXPECT_NEAR(hits[0].lat, 49.98, 1e-5);
    EXPECT_NEAR(hits[0].metres, 1112, 2); // a hundredth of a degree north
    EXPECT_EQ(hits[0].exactWords, 1u);
    EXPECT_EQ(query.matchCount(), 3u);
}

} // namespace
} // namespace tevo::search
