// The order in which a track list's pictures are made, and which of them the window keeps. Jobs
// are numbered in list order. When the page shown changes, its entries come first, in screen
// order, then the next page, the previous page and the rest of the list in order. Pictures are
// kept for the page shown and two pages on each side; one further away is let go and asked for
// again once its page is shown or next to it. Pure logic: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ThumbSchedule {
public:
    enum class State : uint8_t {
        Queued,  // waiting to be made
        Taken,   // being made, or its result not yet received
        Kept,    // its picture is in the window
        LetGo,   // its picture was let go, or came while its page was far away
        Done     // no picture can be made: never asked for again
    };
    static constexpr int kKeptPagesEachSide = 2;

    void Clear();
    // New jobs for these entries, rising and each past the last entry known; the others are
    // already asked for. Returns how many were added, first in line as Queued.
    size_t Add(const std::vector<int>& entries);
    // The page [top, top + perPage) is shown: the queue is ordered for it, and the jobs whose
    // pictures lie beyond the kept pages become LetGo and are appended to `letGo`.
    void Show(int top, int perPage, std::vector<int>* letGo);
    // The next job to make, now Taken, or -1.
    int Next();
    // The result of a Taken job arrived: true when its picture is to be kept.
    bool Arrived(int job, bool picture);

    int Entry(int job) const { return entries_[job]; }
    State StateOf(int job) const { return states_[job]; }
    int Jobs() const { return static_cast<int>(entries_.size()); }
    size_t Queued() const { return queued_; }
    size_t Awaited() const { return queued_ + taken_; }
    // The most pictures kept at once.
    int KeptRoom() const { return perPage_ * (2 * kKeptPagesEachSide + 1); }
    bool Keeps(int entry) const {
        return entry >= top_ - kKeptPagesEachSide * perPage_ && entry < top_ + (kKeptPagesEachSide + 1) * perPage_;
    }

private:
    void Set(int job, State state);
    // Appends to the queue the jobs of entries [from, to) that wait, or whose picture was let go.
    void Order(int from, int to, bool again);
    int FirstJobAt(int entry) const;

    std::vector<int> entries_;   // by job, rising
    std::vector<State> states_;  // by job
    std::vector<int> order_;     // jobs in the order to make them, from `next_` on
    size_t next_ = 0;
    size_t queued_ = 0;
    size_t taken_ = 0;
    int top_ = 0;
    int perPage_ = 1;
};
