// The witness searches of one contraction step, shared among the machine's
// cores. Each group of candidate shortcuts (those leaving one junction) is
// judged by a search of its own that depends on nothing but the lists, so
// the groups go to whichever thread is free next and the judgement is the
// same as on one thread: the hierarchy does not depend on the core count.
//
// The helpers wait for work by spinning, since a step takes microseconds
// and waking a sleeping thread would take longer; they yield the core
// while they wait, and exist only while a network is contracted.
#pragma once

#include "tools/tvmc/road_graph/witness_search.hpp"

#include <atomic>
#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <thread>
#include <vector>

namespace tevo::tvmc {

class JudgeTeam {
public:
    // helpers: threads besides the caller's; 0 judges on the caller's alone.
    JudgeTeam(const route::BaseGraph& g, const ArcLists& lists, const std::vector<bool>& bans,
              unsigned helpers);
    ~JudgeTeam();
    JudgeTeam(const JudgeTeam&) = delete;
    JudgeTeam& operator=(const JudgeTeam&) = delete;

    // Judges the candidates, sorted by the junction they leave, around
    // `avoid` (WitnessSearch::judge); returns when all are judged. Throws
    // what a search threw.
    void judge(std::span<NewArc> candidates, uint32_t avoid, uint32_t settleLimit);

    // The helpers a machine's cores call for.
    static unsigned helpersForThisMachine();

private:
    void help(WitnessSearch& search);
    bool claim(uint64_t& ticket);
    void judgeGroup(WitnessSearch& search, std::size_t group);
    void rethrow();

    WitnessSearch own_;
    std::vector<std::unique_ptr<WitnessSearch>> searches_; // one per helper
    std::vector<std::thread> helpers_;

    // The step being judged: written by the caller before it hands out the
    // ticket, read by a helper only after it has claimed a group.
    std::span<NewArc> candidates_;
    std::vector<std::size_t> groupEnds_;
    uint32_t avoid_ = 0, settleLimit_ = 0;

    // The groups of this step (high half) and the next one to claim (low).
    std::atomic<uint64_t> ticket_{0};
    std::atomic<std::size_t> judged_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    std::exception_ptr failure_; // set once, by whoever sets failed_ first
};

} // namespace tevo::tvmc
