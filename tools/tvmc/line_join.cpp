#include "tools/tvmc/line_join.hpp"

#include "tools/tvmc/simplify.hpp"

#include <algorithm>
#include <map>
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

// For every end of the group's records, the other end it continues into
// (exactly two ends meet there), if any.
class Links {
public:
    Links(const std::vector<TvmObject>& lines, const std::vector<std::size_t>& group) {
        std::map<Point, std::vector<End>> at;
        for (std::size_t r : group) {
            at[key(lines[r].points.front())].push_back({r, false});
            at[key(lines[r].points.back())].push_back({r, true});
        }
        for (const auto& [point, ends] : at)
            if (ends.size() == 2 && ends[0].record != ends[1].record) {
                next_[{ends[0].record, ends[0].last}] = ends[1];
                next_[{ends[1].record, ends[1].last}] = ends[0];
            }
    }

    const End* from(std::size_t record, bool last) const {
        const auto it = next_.find({record, last});
        return it == next_.end() ? nullptr : &it->second;
    }

private:
    std::map<std::pair<std::size_t, bool>, End> next_;
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
    // The records of each type and name, in block order.
    std::map<std::pair<uint16_t, std::u16string>, std::vector<std::size_t>> groups;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].points.empty()) groups[{lines[i].type, lines[i].name}].push_back(i);
    std::vector<bool> used(lines.size(), false);
    std::vector<bool> keep(lines.size(), false);
    for (const auto& [what, group] : groups) {
        if (group.size() < 2) {
            keep[group.front()] = true;
            continue;
        }
        const Links links(lines, group);
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
