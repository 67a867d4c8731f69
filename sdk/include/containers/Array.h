// MaxSDK::Array<T>: the SDK's growable array of values, used for the argument list of a published
// function call (FPParams::params).
//
// operator[] checks its index and raises MaxSDK::Util::ArrayOutOfRangeException ("Argument index
// out of bounds, passed into a MaxSDK::Array::operator[]") when it is out of range, as the host's
// arrays do. Besides the array's own names (length, append, removeAt, ...) it answers to the
// names of Tab (Count, Append, ZeroCount), so code written against either reads the same.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "../maxexceptions.h"

namespace MaxSDK {

template <class T>
class Array {
public:
    Array() = default;
    explicit Array(std::size_t initUsedLength, const T& defaultVal = T())
        : items_(initUsedLength, defaultVal) {}

    std::size_t length() const { return items_.size(); }
    bool isEmpty() const { return items_.empty(); }
    Array& append(const T& value) {
        items_.push_back(value);
        return *this;
    }
    Array& insertAt(std::size_t index, const T& value) {
        if (index > items_.size()) throw Util::ArrayOutOfRangeException();
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), value);
        return *this;
    }
    // Removes the element at index; false when there is none.
    bool removeAt(std::size_t index) {
        if (index >= items_.size()) return false;
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    }
    void removeAll() { items_.clear(); }
    void setLengthUsed(std::size_t n, const T& defaultVal = T()) { items_.resize(n, defaultVal); }
    void reserve(std::size_t n) { items_.reserve(n); }

    T& operator[](std::size_t i) {
        if (i >= items_.size()) throw Util::ArrayOutOfRangeException();
        return items_[i];
    }
    const T& operator[](std::size_t i) const {
        if (i >= items_.size()) throw Util::ArrayOutOfRangeException();
        return items_[i];
    }
    // A negative int index converts to a huge size and is out of range as well.
    // Tab's names for the same operations.
    int Count() const { return static_cast<int>(items_.size()); }
    void ZeroCount() { items_.clear(); }
    int Append(int num, const T* el) {
        const int before = Count();
        for (int k = 0; k < num; ++k) items_.push_back(el ? el[k] : T());
        return before;
    }

    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<T> items_;
};

}  // namespace MaxSDK
