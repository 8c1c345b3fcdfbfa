#include "tools/tvmc/road_graph/judge_team.hpp"

#include <algorithm>

namespace tevo::tvmc {

namespace {

// A step with fewer candidates is judged on the caller's thread alone: most
// junctions have a handful, whose searches take less than handing them out.
constexpr std::size_t kShareFrom = 8;
constexpr unsigned kMostHelpers = 3;
constexpr uint64_t kLow = 0xFFFFFFFFu;
// Spins between yields while a helper waits for work.
constexpr unsigned kSpinsPerYield = 64;

void relax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

} // namespace

JudgeTeam::JudgeTeam(const route::BaseGraph& g, const ArcLists& lists,
                     const std::vector<bool>& bans, unsigned helpers)
    : own_(g, lists, bans) {
    for (unsigned i = 0; i < helpers; ++i)
        searches_.push_back(std::make_unique<WitnessSearch>(g, lists, bans));
    for (const auto& search : searches_)
        helpers_.emplace_back([this, s = search.get()] { help(*s); });
}

JudgeTeam::~JudgeTeam() {
    stop_.store(true, std::memory_order_release);
    for (std::thread& t : helpers_) t.join();
}

unsigned JudgeTeam::helpersForThisMachine() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 1 ? std::min(cores - 1, kMostHelpers) : 0;
}

void JudgeTeam::judge(std::span<NewArc> candidates, uint32_t avoid, uint32_t settleLimit) {
    // 1. The groups: runs of candidates that leave one junction.
    groupEnds_.clear();
    for (std::size_t i = 0, end = 0; i < candidates.size(); i = end) {
        while (end < candidates.size() && candidates[end].from == candidates[i].from) ++end;
        groupEnds_.push_back(end);
    }
    candidates_ = candidates;
    avoid_ = avoid;
    settleLimit_ = settleLimit;
    const std::size_t groups = groupEnds_.size();
    // 2. A small step on this thread alone.
    if (helpers_.empty() || groups < 2 || groups > kLow || candidates.size() < kShareFrom) {
        for (std::size_t k = 0; k < groups; ++k) judgeGroup(own_, k);
        rethrow();
        return;
    }
    // 3. The groups handed out, this thread taking its share, and the wait
    // for the last one a helper still judges.
    judged_.store(0, std::memory_order_relaxed);
    ticket_.store(uint64_t{groups} << 32, std::memory_order_release);
    for (uint64_t ticket = 0; claim(ticket);) {
        judgeGroup(own_, ticket & kLow);
        judged_.fetch_add(1, std::memory_order_release);
    }
    while (judged_.load(std::memory_order_acquire) < groups) relax();
    rethrow();
}

// Claims the next group of the step, if one is left: its number in the low
// half of `ticket`.
bool JudgeTeam::claim(uint64_t& ticket) {
    uint64_t t = ticket_.load(std::memory_order_acquire);
    while ((t & kLow) < (t >> 32))
        if (ticket_.compare_exchange_weak(t, t + 1, std::memory_order_acq_rel)) {
            ticket = t;
            return true;
        }
    return false;
}

void JudgeTeam::help(WitnessSearch& search) {
    unsigned idle = 0;
    while (!stop_.load(std::memory_order_acquire)) {
        if (uint64_t ticket = 0; claim(ticket)) {
            judgeGroup(search, ticket & kLow);
            judged_.fetch_add(1, std::memory_order_release);
            idle = 0;
        } else if (++idle % kSpinsPerYield == 0) {
            std::this_thread::yield();
        } else {
            relax();
        }
    }
}

void JudgeTeam::judgeGroup(WitnessSearch& search, std::size_t group) {
    const std::size_t begin = group == 0 ? 0 : groupEnds_[group - 1];
    try {
        search.judge(candidates_.subspan(begin, groupEnds_[group] - begin), avoid_, settleLimit_);
    } catch (...) {
        if (!failed_.exchange(true)) failure_ = std::current_exception();
    }
}

void JudgeTeam::rethrow() {
    if (failed_.load(std::memory_order_acquire)) std::rethrow_exception(failure_);
}

} // namespace tevo::tvmc
