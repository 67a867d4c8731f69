// Tab<T>: the SDK's growable table of plain values (node pointers, ints, floats, points).
//
// Count() is the number of entries in use. operator[] checks its index and raises
// MaxSDK::Util::OutOfRangeException ("Invalid index passed into a Max SDK Tab::operator[]") when
// it is out of range, as the host's tables do.
#pragma once

#include <algorithm>
#include <vector>

#include "maxexceptions.h"

template <class T>
class Tab {
public:
    Tab() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    int Length() const { return Count(); }
    void ZeroCount() { items_.clear(); }
    // Sets the number of entries in use; new entries are value-initialised.
    void SetCount(int n) { items_.resize(static_cast<std::size_t>(n > 0 ? n : 0)); }
    void Resize(int n) { items_.reserve(static_cast<std::size_t>(n > 0 ? n : 0)); }
    void Shrink() { items_.shrink_to_fit(); }

    // Appends num entries from el (value-initialised when el is null); returns the count before.
    int Append(int num, const T* el, int allocExtra = 0) {
        const int before = Count();
        items_.reserve(items_.size() + static_cast<std::size_t>(num + allocExtra));
        for (int i = 0; i < num; ++i) items_.push_back(el ? el[i] : T{});
        return before;
    }
    // Inserts num entries from el at index at (0..Count()); returns at, or -1 when at is invalid.
    int Insert(int at, int num, const T* el) {
        if (at < 0 || at > Count()) return -1;
        std::vector<T> add;
        add.reserve(static_cast<std::size_t>(num));
        for (int i = 0; i < num; ++i) add.push_back(el ? el[i] : T{});
        items_.insert(items_.begin() + at, add.begin(), add.end());
        return at;
    }
    // Deletes num entries from start; returns the count left. Entries past the end are ignored.
    int Delete(int start, int num) {
        if (start < 0 || start >= Count() || num <= 0) return Count();
        const int end = std::min(Count(), start + num);
        items_.erase(items_.begin() + start, items_.begin() + end);
        return Count();
    }

    T& operator[](int i) {
        if (i < 0 || i >= Count()) throw MaxSDK::Util::OutOfRangeException();
        return items_[static_cast<std::size_t>(i)];
    }
    const T& operator[](int i) const {
        if (i < 0 || i >= Count()) throw MaxSDK::Util::OutOfRangeException();
        return items_[static_cast<std::size_t>(i)];
    }
    T* Addr(int i) {
        (void)(*this)[i];  // range check
        return items_.data() + i;
    }
    bool operator==(const Tab& b) const { return items_ == b.items_; }

    // Iteration for code outside the module (tests, the host).
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};
