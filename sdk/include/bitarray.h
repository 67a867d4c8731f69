// BitArray: a resizable array of bits (selections, reverse flags, smoothing masks).
#pragma once

#include <cstddef>
#include <vector>

class BitArray {
public:
    BitArray() = default;
    explicit BitArray(int n) : bits_(static_cast<std::size_t>(n > 0 ? n : 0), false) {}

    int GetSize() const { return static_cast<int>(bits_.size()); }
    // Resizes; with save non-zero the bits below the new size keep their values, new bits are 0.
    void SetSize(int n, int save = 0) {
        if (!save) bits_.assign(static_cast<std::size_t>(n > 0 ? n : 0), false);
        else bits_.resize(static_cast<std::size_t>(n > 0 ? n : 0), false);
    }
    void ClearAll() { bits_.assign(bits_.size(), false); }
    void SetAll() { bits_.assign(bits_.size(), true); }
    void Set(int i) { bits_.at(static_cast<std::size_t>(i)) = true; }
    void Set(int i, int b) { bits_.at(static_cast<std::size_t>(i)) = b != 0; }
    void Clear(int i) { bits_.at(static_cast<std::size_t>(i)) = false; }
    // Out-of-range reads give 0, as a selection with fewer bits than elements.
    int operator[](int i) const {
        return i >= 0 && i < GetSize() && bits_[static_cast<std::size_t>(i)] ? 1 : 0;
    }
    int NumberSet() const {
        int n = 0;
        for (bool b : bits_) n += b ? 1 : 0;
        return n;
    }
    bool IsEmpty() const { return NumberSet() == 0; }
    bool operator==(const BitArray& b) const { return bits_ == b.bits_; }

private:
    std::vector<bool> bits_;
};
