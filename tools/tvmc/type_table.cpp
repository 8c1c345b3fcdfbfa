#include "tools/tvmc/type_table.hpp"

#include "map/object_types.hpp"

#include "platform/text.hpp"
#include "tools/tvmc/tag_view.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string_view>
#include <unordered_map>

namespace tevo::tvmc {

namespace {

// One rule: a tag (value null: any value but "no") gives a type.
struct TagRule {
    const char* key;
    const char* value;
    uint16_t type;
    uint32_t maxCellSeconds;
};

// ---- Polylines (types 0x01 to 0x48) ----------------------------------------
constexpr uint16_t kRoundabout = 0x0C;

constexpr TagRule kPolylineRules[] = {
    {"highway", "motorway", 0x01, kEveryLevel},
    {"highway", "trunk", 0x02, kEveryLevel},
    {"highway", "primary", 0x03, kEveryLevel},
    {"highway", "secondary", 0x04, kUpTo1800},
    {"highway", "tertiary", 0x05, kUpTo1800},
    {"highway", "residential", 0x06, kUpTo300},
    {"highway", "unclassified", 0x06, kUpTo300},
    {"highway", "road", 0x06, kUpTo300},
    {"highway", "living_street", 0x07, kFinestOnly},
    {"highway", "service", 0x07, kFinestOnly},
    {"highway", "motorway_link", 0x08, kUpTo1800},
    {"highway", "trunk_link", 0x08, kUpTo1800},
    {"highway", "primary_link", 0x09, kUpTo300},
    {"highway", "secondary_link", 0x09, kUpTo300},
    {"highway", "tertiary_link", 0x09, kUpTo300},
    {"highway", "track", 0x0A, kUpTo300},
    {"highway", "pedestrian", 0x0B, kFinestOnly},
    {"highway", "cycleway", 0x0D, kFinestOnly},
    {"highway", "path", 0x0E, kFinestOnly},
    {"highway", "bridleway", 0x0E, kFinestOnly},
    {"highway", "footway", 0x0F, kFinestOnly},
    {"highway", "steps", 0x10, kFinestOnly},
    {"railway", "rail", 0x14, kEveryLevel},
    {"railway", "tram", 0x15, kUpTo300},
    {"railway", "light_rail", 0x15, kUpTo300},
    {"railway", "narrow_gauge", 0x16, kUpTo300},
    {"railway", "monorail", 0x16, kUpTo300},
    {"railway", "funicular", 0x16, kUpTo300},
    {"railway", "preserved", 0x16, kUpTo300},
    {"waterway", "river", 0x18, kEveryLevel},
    {"waterway", "canal", 0x19, kUpTo1800},
    {"waterway", "stream", 0x1A, kUpTo300},
    {"waterway", "ditch", 0x1A, kFinestOnly},
    {"waterway", "drain", 0x1A, kFinestOnly},
    {"route", "ferry", 0x1B, kUpTo1800},
    {"power", "line", 0x1F, kUpTo300},
    {"power", "minor_line", 0x1F, kFinestOnly},
    {"natural", "coastline", 0x20, kEveryLevel},
    {"aeroway", "runway", 0x21, kUpTo1800},
    {"aeroway", "taxiway", 0x22, kFinestOnly},
};

// Administrative borders by admin_level: 2 national, 3-4 state, 5-8 other.
constexpr uint16_t kNationalBorder = 0x1C, kStateBorder = 0x1D, kLocalBorder = 0x1E;

// ---- Polygons (types up to 0xFF; upper polygons are buildings) -------------
constexpr TagRule kPolygonRules[] = {
    {"aeroway", "aerodrome", 0x07, kEveryLevel},
    {"amenity", "parking", 0x05, kFinestOnly},
    {"amenity", "school", 0x09, kUpTo300},
    {"amenity", "college", 0x09, kUpTo300},
    {"amenity", "university", 0x09, kUpTo300},
    {"amenity", "kindergarten", 0x09, kUpTo300},
    {"amenity", "hospital", 0x0C, kUpTo300},
    {"amenity", "grave_yard", 0x1A, kUpTo1800},
    {"leisure", "park", 0x12, kUpTo1800},
    {"leisure", "garden", 0x12, kUpTo300},
    {"leisure", "nature_reserve", 0x14, kUpTo1800},
    {"leisure", "golf_course", 0x18, kUpTo1800},
    {"leisure", "pitch", 0x19, kUpTo300},
    {"leisure", "stadium", 0x19, kUpTo300},
    {"leisure", "sports_centre", 0x19, kUpTo300},
    {"leisure", "track", 0x19, kUpTo300},
    {"waterway", "riverbank", 0x3E, kEveryLevel},
    {"waterway", "dock", 0x3D, kEveryLevel},
    {"natural", "water", 0x3D, kEveryLevel}, // refined by the water tag below
    {"natural", "bay", 0x3C, kEveryLevel},
    {"natural", "wood", 0x16, kEveryLevel},
    {"natural", "scrub", 0x17, kEveryLevel},
    {"natural", "heath", 0x17, kEveryLevel},
    {"natural", "grassland", 0x15, kEveryLevel},
    {"natural", "wetland", 0x1F, kEveryLevel},
    {"natural", "beach", 0x20, kUpTo1800},
    {"natural", "sand", 0x20, kUpTo1800},
    {"landuse", "reservoir", 0x3D, kEveryLevel},
    {"landuse", "basin", 0x3D, kEveryLevel},
    {"landuse", "forest", 0x16, kEveryLevel},
    {"landuse", "residential", 0x01, kUpTo1800},
    {"landuse", "commercial", 0x02, kUpTo300},
    {"landuse", "retail", 0x02, kUpTo300},
    {"landuse", "industrial", 0x03, kUpTo1800},
    {"landuse", "railway", 0x04, kUpTo300},
    {"landuse", "construction", 0x0D, kUpTo300},
    {"landuse", "brownfield", 0x0D, kUpTo300},
    {"landuse", "greenfield", 0x0D, kUpTo300},
    {"landuse", "landfill", 0x0D, kUpTo300},
    {"landuse", "military", 0x0E, kUpTo1800},
    {"landuse", "grass", 0x15, kUpTo300},
    {"landuse", "meadow", 0x15, kEveryLevel},
    {"landuse", "village_green", 0x15, kUpTo300},
    {"landuse", "recreation_ground", 0x15, kUpTo300},
    {"landuse", "cemetery", 0x1A, kUpTo1800},
    {"landuse", "allotments", 0x1B, kUpTo300},
    {"landuse", "orchard", 0x1C, kUpTo1800},
    {"landuse", "vineyard", 0x1C, kUpTo1800},
    {"landuse", "plant_nursery", 0x1C, kUpTo1800},
    {"landuse", "farmland", 0x1D, kEveryLevel},
    {"landuse", "farmyard", 0x1E, kUpTo1800},
};

// natural=water is split by its water tag: sea, flowing water, still water.
constexpr uint16_t kSea = 0x3C, kLake = 0x3D, kRiverArea = 0x3E;

// Buildings: upper-polygon types and the heights they are drawn with.
struct BuildingType {
    uint16_t type;
    double metres;
};
constexpr BuildingType kShed{types::kShed, 3}, kHouse{types::kHouse, 5},
    kSmallBuilding{types::kSmallBuilding, 5}, kTerrace{types::kTerrace, 9},
    kBlock{types::kBlock, 10}, kPublicBuilding{types::kPublicBuilding, 12},
    kWorship{types::kWorship, 12}, kApartments{types::kApartments, 20}, kTower{types::kTower, 30};
constexpr BuildingType kBuildingTypes[] = {kShed,           kSmallBuilding, kTerrace, kBlock,
                                           kPublicBuilding, kApartments,    kTower};

struct BuildingKind {
    const char* value;
    BuildingType type;
};
constexpr BuildingKind kBuildingKinds[] = {
    {"garage", kShed},
    {"garages", kShed},
    {"shed", kShed},
    {"hut", kShed},
    {"carport", kShed},
    {"kiosk", kShed},
    {"roof", kShed},
    {"greenhouse", kShed},
    {"house", kHouse},
    {"detached", kHouse},
    {"semidetached_house", kHouse},
    {"bungalow", kHouse},
    {"cabin", kHouse},
    {"farm", kHouse},
    {"terrace", kTerrace},
    {"barn", kBlock},
    {"farm_auxiliary", kShed},
    {"industrial", kBlock},
    {"warehouse", kBlock},
    {"commercial", kBlock},
    {"retail", kBlock},
    {"office", kPublicBuilding},
    {"school", kPublicBuilding},
    {"hospital", kPublicBuilding},
    {"university", kPublicBuilding},
    {"public", kPublicBuilding},
    {"civic", kPublicBuilding},
    {"train_station", kPublicBuilding},
    {"church", kWorship},
    {"cathedral", kWorship},
    {"chapel", kWorship},
    {"mosque", kWorship},
    {"synagogue", kWorship},
    {"temple", kWorship},
    {"apartments", kApartments},
    {"hotel", kApartments},
    {"tower", kTower},
};
constexpr double kMetresPerStorey = 3.0;
constexpr double kSmallFootprint = 200.0; // m²: untyped buildings below it are houses

// ---- POIs -------------------------------------------------------------------
constexpr TagRule kPoiRules[] = {
    // food
    {"amenity", "restaurant", 0x2A00, kFinestOnly},
    {"amenity", "fast_food", 0x2A01, kFinestOnly},
    {"amenity", "cafe", 0x2A02, kFinestOnly},
    {"amenity", "pub", 0x2A03, kFinestOnly},
    {"amenity", "bar", 0x2A04, kFinestOnly},
    {"amenity", "biergarten", 0x2A05, kFinestOnly},
    {"amenity", "ice_cream", 0x2A06, kFinestOnly},
    {"amenity", "food_court", 0x2A07, kFinestOnly},
    // lodging
    {"tourism", "hotel", 0x2B00, kFinestOnly},
    {"tourism", "motel", 0x2B01, kFinestOnly},
    {"tourism", "guest_house", 0x2B02, kFinestOnly},
    {"tourism", "hostel", 0x2B03, kFinestOnly},
    {"tourism", "camp_site", 0x2B04, kUpTo300},
    {"tourism", "caravan_site", 0x2B04, kUpTo300},
    // tourism and culture
    {"tourism", "attraction", 0x2C00, kUpTo300},
    {"tourism", "museum", 0x2C01, kUpTo300},
    {"tourism", "viewpoint", 0x2C02, kFinestOnly},
    {"tourism", "zoo", 0x2C03, kUpTo300},
    {"tourism", "theme_park", 0x2C04, kUpTo300},
    {"historic", "monument", 0x2C05, kFinestOnly},
    {"historic", "memorial", 0x2C05, kFinestOnly},
    {"historic", "castle", 0x2C06, kUpTo300},
    {"historic", "ruins", 0x2C06, kFinestOnly},
    {"amenity", "library", 0x2C07, kFinestOnly},
    {"amenity", "theatre", 0x2C08, kFinestOnly},
    {"amenity", "arts_centre", 0x2C09, kFinestOnly},
    {"tourism", "gallery", 0x2C09, kFinestOnly},
    {"tourism", "information", 0x2C0A, kFinestOnly},
    {"amenity", "place_of_worship", 0x2C0B, kFinestOnly},
    // entertainment and sport
    {"amenity", "cinema", 0x2D00, kFinestOnly},
    {"amenity", "nightclub", 0x2D01, kFinestOnly},
    {"leisure", "sports_centre", 0x2D02, kFinestOnly},
    {"leisure", "swimming_pool", 0x2D03, kFinestOnly},
    {"leisure", "stadium", 0x2D04, kUpTo300},
    {"leisure", "playground", 0x2D05, kFinestOnly},
    {"leisure", "fitness_centre", 0x2D06, kFinestOnly},
    {"leisure", "golf_course", 0x2D07, kUpTo300},
    {"leisure", "ice_rink", 0x2D08, kFinestOnly},
    {"leisure", "water_park", 0x2D09, kFinestOnly},
    {"leisure", "marina", 0x2D0A, kFinestOnly},
    // shops
    {"shop", "supermarket", 0x2E00, kFinestOnly},
    {"shop", "convenience", 0x2E01, kFinestOnly},
    {"shop", "department_store", 0x2E02, kFinestOnly},
    {"shop", "mall", 0x2E02, kFinestOnly},
    {"shop", "clothes", 0x2E03, kFinestOnly},
    {"shop", "shoes", 0x2E03, kFinestOnly},
    {"shop", "bakery", 0x2E04, kFinestOnly},
    {"shop", "butcher", 0x2E04, kFinestOnly},
    {"shop", "hardware", 0x2E05, kFinestOnly},
    {"shop", "doityourself", 0x2E05, kFinestOnly},
    {"shop", "electronics", 0x2E06, kFinestOnly},
    {"shop", "mobile_phone", 0x2E06, kFinestOnly},
    {"shop", "books", 0x2E07, kFinestOnly},
    {"shop", "stationery", 0x2E07, kFinestOnly},
    {"shop", "florist", 0x2E08, kFinestOnly},
    {"shop", "garden_centre", 0x2E08, kFinestOnly},
    {"shop", "hairdresser", 0x2E09, kFinestOnly},
    {"shop", "beauty", 0x2E09, kFinestOnly},
    {"shop", "kiosk", 0x2E0A, kFinestOnly},
    {"shop", "newsagent", 0x2E0A, kFinestOnly},
    {"shop", "car_repair", 0x2F03, kFinestOnly},
    {"shop", "car", 0x2F04, kFinestOnly},
    {"shop", nullptr, 0x2E0B, kFinestOnly}, // any other shop
    // car services, money, post, transport
    {"amenity", "fuel", 0x2F00, kUpTo300},
    {"amenity", "charging_station", 0x2F01, kFinestOnly},
    {"amenity", "car_rental", 0x2F02, kFinestOnly},
    {"amenity", "car_wash", 0x2F05, kFinestOnly},
    {"amenity", "parking", 0x2F06, kFinestOnly},
    {"amenity", "bank", 0x2F07, kFinestOnly},
    {"amenity", "atm", 0x2F08, kFinestOnly},
    {"amenity", "post_office", 0x2F09, kFinestOnly},
    {"amenity", "toilets", 0x2F0A, kFinestOnly},
    {"amenity", "telephone", 0x2F0B, kFinestOnly},
    {"highway", "bus_stop", 0x2F0C, kFinestOnly},
    {"railway", "tram_stop", 0x2F0D, kFinestOnly},
    {"railway", "station", 0x2F0E, kUpTo300},
    {"railway", "halt", 0x2F0E, kUpTo300},
    {"railway", "subway_entrance", 0x2F0F, kFinestOnly},
    {"aeroway", "aerodrome", 0x2F10, kEveryLevel},
    {"amenity", "ferry_terminal", 0x2F11, kUpTo300},
    {"amenity", "bicycle_rental", 0x2F12, kFinestOnly},
    {"amenity", "taxi", 0x2F13, kFinestOnly},
    {"amenity", "bus_station", 0x2F14, kUpTo300},
    {"amenity", "veterinary", 0x2F16, kFinestOnly},
    {"amenity", "drinking_water", 0x2F17, kFinestOnly},
    // health and public services
    {"amenity", "police", 0x3000, kFinestOnly},
    {"amenity", "fire_station", 0x3001, kFinestOnly},
    {"amenity", "hospital", 0x3002, kUpTo300},
    {"amenity", "clinic", 0x3003, kFinestOnly},
    {"amenity", "doctors", 0x3003, kFinestOnly},
    {"amenity", "dentist", 0x3004, kFinestOnly},
    {"amenity", "pharmacy", 0x3005, kFinestOnly},
    {"amenity", "townhall", 0x3006, kUpTo300},
    {"amenity", "courthouse", 0x3007, kFinestOnly},
    {"amenity", "community_centre", 0x3008, kFinestOnly},
    // education and man-made landmarks
    {"amenity", "school", 0x6400, kFinestOnly},
    {"amenity", "kindergarten", 0x6401, kFinestOnly},
    {"amenity", "college", 0x6402, kFinestOnly},
    {"amenity", "university", 0x6402, kUpTo300},
    {"man_made", "tower", 0x6404, kFinestOnly},
    {"man_made", "water_tower", 0x6405, kFinestOnly},
    {"man_made", "lighthouse", 0x6406, kUpTo300},
    {"man_made", "windmill", 0x6407, kFinestOnly},
    {"man_made", "dam", 0x640A, kUpTo300},
    // water features
    {"natural", "spring", 0x6500, kFinestOnly},
    {"waterway", "waterfall", 0x6501, kUpTo300},
    {"natural", "bay", 0x6502, kUpTo1800},
    {"man_made", "water_well", 0x6504, kFinestOnly},
    {"amenity", "fountain", 0x6505, kFinestOnly},
    {"place", "island", 0x6506, kUpTo1800},
    {"place", "islet", 0x6506, kFinestOnly},
    // land features
    {"natural", "peak", 0x6600, kUpTo1800},
    {"natural", "volcano", 0x6601, kUpTo1800},
    {"natural", "saddle", 0x6602, kUpTo300},
    {"natural", "cave_entrance", 0x6603, kFinestOnly},
    {"natural", "rock", 0x6604, kFinestOnly},
    {"natural", "stone", 0x6604, kFinestOnly},
    {"natural", "hill", 0x6607, kUpTo300},
    {"natural", "valley", 0x6608, kUpTo300},
};

// Places: by population when tagged, else by the place kind.
struct PopulationStep {
    long long atLeast;
    uint16_t type;
};
constexpr PopulationStep kPopulationSteps[] = {
    {10000000, 0x0100}, {5000000, 0x0200}, {2000000, 0x0300}, {1000000, 0x0400},
    {500000, 0x0500},   {200000, 0x0600},  {100000, 0x0700},  {50000, 0x0800},
    {20000, 0x0900},    {10000, 0x0A00},   {5000, 0x0B00},    {2000, 0x0C00},
    {1000, 0x0D00},     {500, 0x0E00},     {200, 0x0F00},     {0, 0x1000},
};
struct PlaceKind {
    const char* value;
    uint16_t type; // when no population is tagged
    bool byPopulation;
};
constexpr PlaceKind kPlaceKinds[] = {
    {"city", 0x0700, true},      {"town", 0x0A00, true},
    {"village", 0x0D00, true},   {"suburb", 0x0E00, false},
    {"hamlet", 0x0F00, true},    {"neighbourhood", 0x1000, false},
    {"quarter", 0x1000, false},  {"isolated_dwelling", 0x1100, false},
    {"locality", 0x1100, false}, {"farm", 0x1100, false},
};
// The bigger the place, the coarser the levels that still name it.
constexpr uint32_t placeLevels(uint16_t type) {
    if (type <= 0x0A00) return kEveryLevel;
    if (type <= 0x0D00) return kUpTo1800;
    if (type <= 0x0F00) return kUpTo300;
    return kFinestOnly;
}

bool isNo(const char* v) {
    return std::strcmp(v, "no") == 0;
}

// A rule table indexed by key: each key once, with the table position of
// the first rule for each of its values and of its first any-value rule, so
// that a match takes one lookup per key of the table instead of a string
// compare per rule.
class RuleIndex {
public:
    explicit RuleIndex(std::span<const TagRule> rules) : rules_(rules) {
        for (std::size_t i = 0; i < rules.size(); ++i) {
            const TagRule& r = rules[i];
            auto at = std::find_if(keys_.begin(), keys_.end(),
                                   [&r](const Key& k) { return std::strcmp(k.name, r.key) == 0; });
            if (at == keys_.end()) at = keys_.insert(keys_.end(), Key{r.key, {}, kNone});
            if (!r.value)
                at->anyValue = std::min(at->anyValue, i);
            else
                at->values.emplace(r.value, i); // an earlier rule of the value stays
        }
        for (std::size_t i = 0; i < keys_.size(); ++i)
            byLetter_[static_cast<unsigned char>(keys_[i].name[0]) & 63].push_back(
                static_cast<uint8_t>(i));
    }

    // The first rule in table order that the tags match.
    std::optional<TypeChoice> firstMatch(const TagGet& tags) const {
        const TagView* view = tags.target<TagView>();
        const std::size_t best = view ? matchTags(view->pairs()) : matchKeys(tags);
        if (best == kNone) return std::nullopt;
        return TypeChoice{rules_[best].type, rules_[best].maxCellSeconds};
    }

private:
    static constexpr std::size_t kNone = SIZE_MAX;
    struct Key {
        const char* name;
        std::unordered_map<std::string_view, std::size_t> values;
        std::size_t anyValue;
    };

    // The earliest rule that a key's value v gives, or `best` if none earlier.
    static std::size_t rule(const Key& k, const char* v, std::size_t best) {
        if (const auto at = k.values.find(v); at != k.values.end())
            best = std::min(best, at->second);
        if (k.anyValue < best && !isNo(v)) best = k.anyValue;
        return best;
    }

    // Asks the tags for every key of the table.
    std::size_t matchKeys(const TagGet& tags) const {
        std::size_t best = kNone;
        for (const Key& k : keys_)
            if (const char* v = tags(k.name)) best = rule(k, v, best);
        return best;
    }

    // The same answer from the tags themselves, looked up among the table's
    // keys by their first letter: an object has a few tags where a table
    // has a dozen keys. Of a key that comes twice, the first tag counts.
    std::size_t matchTags(const TagView::Pairs& pairs) const {
        std::size_t best = kNone;
        for (std::size_t t = 0; t < pairs.size(); ++t) {
            const char* key = pairs[t].first;
            const Key* k = find(key);
            if (!k) continue;
            const auto same = [key](const auto& pair) { return std::strcmp(pair.first, key) == 0; };
            if (std::any_of(pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(t), same))
                continue;
            best = rule(*k, pairs[t].second, best);
        }
        return best;
    }

    const Key* find(const char* key) const {
        for (const uint8_t i : byLetter_[static_cast<unsigned char>(key[0]) & 63])
            if (std::strcmp(keys_[i].name, key) == 0) return &keys_[i];
        return nullptr;
    }

    std::span<const TagRule> rules_;
    std::vector<Key> keys_;
    std::array<std::vector<uint8_t>, 64> byLetter_; // keys_ by first letter (64 apart share)
};

const RuleIndex& polylineRules() {
    static const RuleIndex index(kPolylineRules);
    return index;
}
const RuleIndex& polygonRules() {
    static const RuleIndex index(kPolygonRules);
    return index;
}
const RuleIndex& poiRules() {
    static const RuleIndex index(kPoiRules);
    return index;
}

// A leading decimal number ("12", "12.5 m", "3;4" reads 3), or nothing.
std::optional<double> leadingNumber(const char* text) {
    if (!text) return std::nullopt;
    char* end = nullptr;
    const double v = std::strtod(text, &end);
    if (end == text || !std::isfinite(v) || v <= 0) return std::nullopt;
    return v;
}

} // namespace

std::optional<TypeChoice> polylineType(const TagGet& tags) {
    std::optional<TypeChoice> choice = polylineRules().firstMatch(tags);
    if (!choice) {
        const char* boundary = tags("boundary");
        if (boundary && std::strcmp(boundary, "administrative") == 0) return borderType(tags);
        return std::nullopt;
    }
    const char* junction = tags("junction");
    if (choice->type <= 0x09 && junction && std::strcmp(junction, "roundabout") == 0)
        choice->type = kRoundabout;
    return choice;
}

std::optional<TypeChoice> borderType(const TagGet& tags) {
    const char* boundary = tags("boundary");
    if (!boundary || std::strcmp(boundary, "administrative") != 0) return std::nullopt;
    const std::optional<double> level = leadingNumber(tags("admin_level"));
    if (!level || *level > 8) return std::nullopt;
    if (*level <= 2) return TypeChoice{kNationalBorder, kEveryLevel};
    if (*level <= 4) return TypeChoice{kStateBorder, kEveryLevel};
    return TypeChoice{kLocalBorder, kUpTo1800};
}

namespace {

// The building type of a building tag's value, or null; of two entries of
// one value the later one counts.
const BuildingType* buildingOfKind(const char* kind) {
    static const auto kinds = [] {
        std::unordered_map<std::string_view, const BuildingType*> map;
        for (const BuildingKind& k : kBuildingKinds) map[k.value] = &k.type;
        return map;
    }();
    const auto at = kinds.find(kind);
    return at == kinds.end() ? nullptr : at->second;
}

TypeChoice buildingType(const TagGet& tags, const char* kind, double squareMetres) {
    std::optional<double> metres = leadingNumber(tags("height"));
    if (!metres) {
        if (auto storeys = leadingNumber(tags("building:levels")))
            metres = *storeys * kMetresPerStorey;
    }
    BuildingType named = squareMetres < kSmallFootprint ? kSmallBuilding : kBlock;
    if (const BuildingType* type = buildingOfKind(kind)) named = *type;
    if (!metres) return {named.type, kFinestOnly};
    // A tagged height picks the nearest drawn height; houses and places of
    // worship keep their own colours where their heights match.
    BuildingType best = kBuildingTypes[0];
    for (const BuildingType& b : kBuildingTypes)
        if (std::fabs(b.metres - *metres) < std::fabs(best.metres - *metres)) best = b;
    if (best.metres == named.metres) best = named;
    return {best.type, kFinestOnly};
}

uint16_t waterType(const TagGet& tags) {
    const char* water = tags("water");
    if (!water) return kLake;
    for (const char* flowing : {"river", "canal", "stream", "oxbow", "lock"})
        if (std::strcmp(water, flowing) == 0) return kRiverArea;
    if (std::strcmp(water, "sea") == 0 || std::strcmp(water, "lagoon") == 0) return kSea;
    return kLake;
}

} // namespace

std::optional<TypeChoice> polygonType(const TagGet& tags, double squareMetres) {
    if (const char* b = tags("building"); b && !isNo(b)) return buildingType(tags, b, squareMetres);
    if (const char* m = tags("man_made"); m && std::strcmp(m, "tower") == 0)
        return TypeChoice{kTower.type, kFinestOnly};
    std::optional<TypeChoice> choice = polygonRules().firstMatch(tags);
    if (choice && choice->type == kLake) {
        const char* natural = tags("natural");
        if (natural && std::strcmp(natural, "water") == 0) choice->type = waterType(tags);
    }
    return choice;
}

std::optional<TypeChoice> poiType(const TagGet& tags) {
    if (const char* place = tags("place")) {
        for (const PlaceKind& k : kPlaceKinds) {
            if (std::strcmp(place, k.value) != 0) continue;
            uint16_t type = k.type;
            if (auto people = leadingNumber(tags("population")); people && k.byPopulation) {
                for (const PopulationStep& s : kPopulationSteps)
                    if (*people >= static_cast<double>(s.atLeast)) {
                        type = s.type;
                        break;
                    }
            }
            return TypeChoice{type, placeLevels(type)};
        }
    }
    return poiRules().firstMatch(tags);
}

const char* objectNameText(const TagGet& tags, ObjectClass cls) {
    for (const char* key : {"name", "name:en", "int_name"})
        if (const char* v = tags(key); v && *v) return v;
    // A road's ref ("M1", "B 22") names it; the ref of a railway or a power
    // line is a track or line number that says nothing on a map.
    const char* fallback = cls == ObjectClass::Poi                           ? "brand"
                           : cls == ObjectClass::Polyline && tags("highway") ? "ref"
                                                                             : nullptr;
    if (fallback)
        if (const char* v = tags(fallback); v && *v) return v;
    return nullptr;
}

std::u16string objectName(const TagGet& tags, ObjectClass cls) {
    const char* text = objectNameText(tags, cls);
    return text ? toWide(text) : std::u16string();
}

std::vector<uint16_t> producibleTypes(ObjectClass cls) {
    std::vector<uint16_t> types;
    auto addRules = [&types](std::span<const TagRule> rules) {
        for (const TagRule& r : rules) types.push_back(r.type);
    };
    switch (cls) {
    case ObjectClass::Polyline:
        addRules(kPolylineRules);
        types.insert(types.end(), {kRoundabout, kNationalBorder, kStateBorder, kLocalBorder});
        break;
    case ObjectClass::Polygon:
        addRules(kPolygonRules);
        types.insert(types.end(), {kSea, kLake, kRiverArea, kHouse.type, kWorship.type});
        for (const BuildingType& b : kBuildingTypes) types.push_back(b.type);
        break;
    case ObjectClass::Poi:
        addRules(kPoiRules);
        for (const PopulationStep& p : kPopulationSteps) types.push_back(p.type);
        for (const PlaceKind& k : kPlaceKinds) types.push_back(k.type);
        break;
    }
    std::sort(types.begin(), types.end());
    types.erase(std::unique(types.begin(), types.end()), types.end());
    return types;
}

double drawnHeightOf(uint16_t type) {
    for (const BuildingType& b : kBuildingTypes)
        if (b.type == type) return b.metres;
    if (type == kHouse.type) return kHouse.metres;
    if (type == kWorship.type) return kWorship.metres;
    return 0;
}

} // namespace tevo::tvmc
