#include "route/maneuvers.hpp"

#include "route/edge_shape.hpp"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace tevo::route {

namespace {

// Turns by the size of their angle: below `below` degrees, to the right or
// to the left.
struct TurnRange {
    double below;
    Maneuver right, left;
};
constexpr TurnRange kTurnRanges[] = {
    {20, Maneuver::Straight, Maneuver::Straight},
    {60, Maneuver::SlightRight, Maneuver::SlightLeft},
    {120, Maneuver::Right, Maneuver::Left},
    {170, Maneuver::SharpRight, Maneuver::SharpLeft},
};

constexpr const char* kManeuverText[] = {
    "depart", "straight",    "slight-right", "right",      "sharp-right", "u-turn", "sharp-left",
    "left",   "slight-left", "keep-left",    "keep-right", "roundabout",  "arrive"};

// Two ways on within this angle of straight ahead make a fork.
constexpr double kForkAngle = 45;
// At a junction that offers a choice, a turn by at least this much is a step
// even when the street's name goes on.
constexpr double kStepAngle = 40;
// A turn by at least this much is a U-turn, a step of its own.
constexpr double kUTurnAngle = 170;

// From the bearing of arrival to the bearing of leaving, in (-180, 180].
double turnAngle(double in, double out) {
    double a = std::fmod(out - in, 360.0);
    if (a > 180) a -= 360;
    if (a <= -180) a += 360;
    return a;
}

struct Option {
    NodeId node;
    double angle;
};

class Describer {
public:
    Describer(const cRoadGraph& graph) : graph_(graph), base_(graph.base()) {}

    std::vector<RouteStep> run(const std::vector<NodeId>& nodes, const std::vector<double>& pieces,
                               LonLat start, LonLat end);

private:
    std::string nameOf(NodeId x) const { return std::string(graph_.name(base_.nameIndex(x))); }
    void options(NodeId x, std::vector<Option>& out) const;
    void turn(NodeId x, NodeId y);
    void addStep(Maneuver m, NodeId onto, NodeId from) {
        const LonLat at = toLonLat(base_.junctions[base_.head(from)]);
        steps_.push_back({m, 0, nameOf(onto), 0, at});
    }
    bool fork(NodeId x, const Option& taken, Maneuver& m) const;

    const cRoadGraph& graph_;
    const BaseGraph& base_;
    std::vector<RouteStep> steps_;
    std::vector<Option> options_;
    int exits_ = 0; // exits passed in the roundabout being driven
};

void Describer::options(NodeId x, std::vector<Option>& out) const {
    out.clear();
    const double in = arrivingBearing(graph_, x);
    base_.forEachTurnFrom(x, [&](NodeId y) {
        out.push_back({y, turnAngle(in, leavingBearing(graph_, y))});
    });
}

// A fork: the way taken and another go on nearly straight. Not when the
// street goes on under its name and the other way has another name.
bool Describer::fork(NodeId x, const Option& taken, Maneuver& m) const {
    if (std::abs(taken.angle) >= kForkAngle) return false;
    const bool sameName = base_.nameIndex(taken.node) == base_.nameIndex(x);
    bool found = false, leftmost = true;
    for (const Option& o : options_) {
        if (o.node == taken.node || std::abs(o.angle) >= kForkAngle) continue;
        if (sameName && base_.nameIndex(o.node) != base_.nameIndex(x)) continue;
        found = true;
        leftmost = leftmost && taken.angle < o.angle;
    }
    if (found) m = leftmost ? Maneuver::KeepLeft : Maneuver::KeepRight;
    return found;
}

void Describer::turn(NodeId x, NodeId y) {
    options(x, options_);
    const bool inRing = base_.roundabout(x), toRing = base_.roundabout(y);
    if (toRing && !inRing) { // entering: the step is told at the exit
        addStep(Maneuver::Roundabout, y, x);
        exits_ = 0;
        return;
    }
    if (inRing) {
        bool exit = false;
        for (const Option& o : options_) exit = exit || !base_.roundabout(o.node);
        exits_ += exit;
        if (toRing) return;
        if (steps_.back().maneuver != Maneuver::Roundabout) addStep(Maneuver::Roundabout, y, x);
        steps_.back().exit = exits_;
        steps_.back().street = nameOf(y);
        return;
    }
    Option taken{y, 0};
    for (const Option& o : options_)
        if (o.node == y) taken = o;
    Maneuver m = turnManeuver(taken.angle);
    const bool choice = options_.size() >= 2;
    // A road without a name does not end the street being driven.
    const std::string_view name = graph_.name(base_.nameIndex(y));
    const bool renamed = !name.empty() && name != steps_.back().street;
    const bool step = fork(x, taken, m) || (choice && std::abs(taken.angle) >= kStepAngle) ||
                      std::abs(taken.angle) >= kUTurnAngle || renamed;
    if (step) addStep(m, y, x);
}

std::vector<RouteStep> Describer::run(const std::vector<NodeId>& nodes,
                                      const std::vector<double>& pieces, LonLat start, LonLat end) {
    steps_.clear();
    if (nodes.empty()) return steps_;
    steps_.push_back({Maneuver::Depart, 0, nameOf(nodes.front()), 0, start});
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (i > 0) turn(nodes[i - 1], nodes[i]);
        steps_.back().distanceM += i < pieces.size() ? pieces[i] : 0;
    }
    steps_.push_back({Maneuver::Arrive, 0, nameOf(nodes.back()), 0, end});
    return steps_;
}

} // namespace

std::string maneuverText(const RouteStep& step) {
    std::string text = kManeuverText[static_cast<int>(step.maneuver)];
    if (step.maneuver == Maneuver::Roundabout && step.exit > 0)
        text += "-exit-" + std::to_string(step.exit);
    return text;
}

Maneuver turnManeuver(double angle) {
    for (const TurnRange& r : kTurnRanges)
        if (std::abs(angle) < r.below) return angle >= 0 ? r.right : r.left;
    return Maneuver::UTurn;
}

std::vector<RouteStep> describeRoute(const cRoadGraph& graph, const std::vector<NodeId>& nodes,
                                     const std::vector<double>& pieces, LonLat start, LonLat end) {
    return Describer(graph).run(nodes, pieces, start, end);
}

} // namespace tevo::route
