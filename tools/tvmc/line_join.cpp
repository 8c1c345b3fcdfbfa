#include "tools/tvmc/line_join.hpp"

#include "tools/tvmc/simplify.hpp"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace tevo::tvmc {

namespace {

// One end of a record: the record and whether it is its last point.
struct End {
    std::size_t record;
    bool last;
};

using Point = std::pair<int32_t, int32_t>;

Point key(const TvmPoint& p) {
    return {p.x, p.y};
}

// For every end of a record, the end of another record of its group that
// it continues into (exactly two ends meet there), if any.
class Links {
public:
    explicit Links(std::size_t records) : next_(records * 2, End{kNone, false}) {}

    void link(const std::vector<TvmObject>& lines, const std::vector<std::size_t>& group) {
        std::vector<std::pair<Point, End>> ends;
        ends.reserve(group.size() * 2);
        for (std::size_t r : group) {
            ends.push_back({key(lines[r].points.front()), {r, false}});
            ends.push_back({key(lines[r].points.back()), {r, true}});
        }
        std::sort(ends.begin(), ends.end(), [](const auto& a, const auto& b) {
            return std::tie(a.first, a.second.record, a.second.last) <
                   std::tie(b.first, b.second.record, b.second.last);
        });
        for (std::size_t i = 0; i < ends.size();) {
            std::size_t j = i + 1;
            while (j < ends.size() && ends[j].first == ends[i].first) ++j;
            const End a = ends[i].second, b = ends[i + 1 < j ? i + 1 : i].second;
            if (j - i == 2 && a.record != b.record) {
                next_[slot(a)] = b;
                next_[slot(b)] = a;
            }
            i = j;
        }
    }

    const End* from(std::size_t record, bool last) const {
        const End& e = next_[slot({record, last})];
        return e.record == kNone ? nullptr : &e;
    }

private:
    static constexpr std::size_t kNone = SIZE_MAX;
    static std::size_t slot(End e) { return e.record * 2 + (e.last ? 1 : 0); }

    std::vector<End> next_;
};

// Appends record r's points after the shared one, in the direction that
// starts at the shared end.
void append(std::vector<TvmPoint>& chain, const std::vector<TvmPoint>& points, bool fromLast) {
    if (fromLast)
        chain.insert(chain.end(), points.rbegin() + 1, points.rend());
    else
        chain.insert(chain.end(), points.begin() + 1, points.end());
}

// Joins the chain that record `first` belongs to, starting with it in its
// own direction; marks the records used.
std::vector<TvmPoint> chainFrom(const std::vector<TvmObject>& lines, const Links& links,
                                std::size_t first, std::vector<bool>& used, std::size_t maxPoints) {
    std::vector<TvmPoint> chain = lines[first].points;
    used[first] = true;
    // Forward from the last point, then backward from the first point (the
    // backward part is built reversed and turned round at the end).
    for (bool forward : {true, false}) {
        if (!forward) std::reverse(chain.begin(), chain.end());
        std::size_t at = first;
        bool atLast = forward;
        while (const End* next = links.from(at, atLast)) {
            const std::vector<TvmPoint>& points = lines[next->record].points;
            if (used[next->record] || chain.size() + points.size() - 1 > maxPoints) break;
            append(chain, points, next->last);
            used[next->record] = true;
            at = next->record;
            atLast = !next->last;
        }
        if (!forward) std::reverse(chain.begin(), chain.end());
    }
    return chain;
}

} // namespace

void joinLines(std::vector<TvmObject>& lines, double tolerance, std::size_t maxPoints) {
    if (lines.size() < 2) return;
    // The records of each type and name, each group in block order.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].points.empty()) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&lines](std::size_t a, std::size_t b) {
        return std::tie(lines[a].type, lines[a].name) < std::tie(lines[b].type, lines[b].name);
    });
    std::vector<bool> used(lines.size(), false), keep(lines.size(), false);
    Links links(lines.size());
    std::vector<std::size_t> group;
    for (std::size_t i = 0; i < order.size();) {
        group.clear();
        const TvmObject& first = lines[order[i]];
        for (; i < order.size() && lines[order[i]].type == first.type &&
               lines[order[i]].name == first.name;
             ++i)
            group.push_back(order[i]);
        if (group.size() > 1) links.link(lines, group);
        for (std::size_t r : group) {
            if (used[r]) continue;
            std::vector<TvmPoint> chain = chainFrom(lines, links, r, used, maxPoints);
            const bool joined = chain.size() != lines[r].points.size();
            if (joined && tolerance > 0) chain = simplifyLine(chain, tolerance);
            lines[r].points = std::move(chain);
            keep[r] = true;
        }
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!keep[i]) continue;
        if (out != i) lines[out] = std::move(lines[i]);
        ++out;
    }
    lines.resize(out);
}

} // namespace tevo::tvmc
