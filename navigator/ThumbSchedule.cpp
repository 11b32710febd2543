#include "navigator/ThumbSchedule.h"

#include <algorithm>

void ThumbSchedule::Clear() {
    entries_.clear();
    states_.clear();
    order_.clear();
    next_ = queued_ = taken_ = 0;
}

size_t ThumbSchedule::Add(const std::vector<int>& entries) {
    size_t added = 0;
    for (int entry : entries) {
        if (!entries_.empty() && entry <= entries_.back()) continue;
        entries_.push_back(entry);
        states_.push_back(State::Queued);
        ++queued_;
        ++added;
    }
    return added;
}

int ThumbSchedule::FirstJobAt(int entry) const {
    return static_cast<int>(std::lower_bound(entries_.begin(), entries_.end(), entry) - entries_.begin());
}

void ThumbSchedule::Set(int job, State state) {
    State& now = states_[job];
    queued_ -= now == State::Queued;
    taken_ -= now == State::Taken;
    now = state;
    queued_ += now == State::Queued;
    taken_ += now == State::Taken;
}

void ThumbSchedule::Order(int from, int to, bool again) {
    for (int job = FirstJobAt(std::max(from, 0)); job < Jobs() && entries_[job] < to; ++job) {
        if (again && states_[job] == State::LetGo) Set(job, State::Queued);
        if (states_[job] == State::Queued) order_.push_back(job);
    }
}

void ThumbSchedule::Show(int top, int perPage, std::vector<int>* letGo) {
    top_ = std::max(top, 0);
    perPage_ = std::max(perPage, 1);
    for (int job = 0; job < Jobs(); ++job)
        if (states_[job] == State::Kept && !Keeps(entries_[job])) {
            Set(job, State::LetGo);
            if (letGo) letGo->push_back(job);
        }
    order_.clear();
    next_ = 0;
    const int next = top_ + perPage_, previous = top_ - perPage_;
    Order(top_, next, true);
    Order(next, next + perPage_, true);
    Order(previous, top_, true);
    Order(0, previous, false);
    Order(next + perPage_, entries_.empty() ? 0 : entries_.back() + 1, false);
}

int ThumbSchedule::Next() {
    while (next_ < order_.size()) {
        int job = order_[next_++];
        if (states_[job] != State::Queued) continue;
        Set(job, State::Taken);
        return job;
    }
    return -1;
}

bool ThumbSchedule::Arrived(int job, bool picture) {
    if (job < 0 || job >= Jobs() || states_[job] != State::Taken) return false;
    bool keep = picture && Keeps(entries_[job]);
    Set(job, !picture ? State::Done : keep ? State::Kept : State::LetGo);
    return keep;
}
