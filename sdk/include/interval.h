// Interval: a validity range of animation time, [start, end] in ticks.
#pragma once

#include "maxtypes.h"

class Interval {
public:
    Interval() : start_(TIME_NegInfinity), end_(TIME_NegInfinity) {}  // empty, as NEVER
    // The ends are swapped when given in the wrong order.
    Interval(TimeValue s, TimeValue e) {
        if (e < s) {
            start_ = e;
            end_ = s;
        } else {
            start_ = s;
            end_ = e;
        }
    }

    TimeValue Start() const { return start_; }
    TimeValue End() const { return end_; }
    void Set(TimeValue s, TimeValue e) { *this = Interval(s, e); }
    void SetEmpty() {
        start_ = TIME_NegInfinity;
        end_ = TIME_NegInfinity;
    }
    void SetInstant(TimeValue t) { start_ = end_ = t; }

    bool Empty() const { return start_ == TIME_NegInfinity && end_ == TIME_NegInfinity; }
    int InInterval(TimeValue t) const { return !Empty() && start_ <= t && t <= end_; }
    int InInterval(const Interval& i) const { return InInterval(i.start_) && InInterval(i.end_); }

    // Intersection; disjoint intervals give the empty interval.
    Interval operator&(const Interval& i) const {
        if (Empty() || i.Empty()) return Interval();
        TimeValue s = start_ > i.start_ ? start_ : i.start_;
        TimeValue e = end_ < i.end_ ? end_ : i.end_;
        if (e < s) return Interval();
        Interval r;
        r.start_ = s;
        r.end_ = e;
        return r;
    }
    Interval& operator&=(const Interval& i) { return *this = *this & i; }
    bool operator==(const Interval& i) const { return start_ == i.start_ && end_ == i.end_; }
    bool operator!=(const Interval& i) const { return !(*this == i); }

private:
    TimeValue start_;
    TimeValue end_;
};

inline const Interval FOREVER(TIME_NegInfinity, TIME_PosInfinity);
inline const Interval NEVER;
