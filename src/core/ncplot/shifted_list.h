// Lists numbered by the program's lines and the picture's items, moved along lazily after edits.
#pragma once

// An edit that adds or removes lines (Enter in the middle of a long program) moves every item,
// link line and pass after it along by the same count: millions of them on every key. Instead
// a list keeps one move that its elements from some index on still owe, and makes it good
// element by element as later edits come by, so an edit costs the distance from the one before
// it, as in an editor's line table. The list also keeps a gap where those elements start, as an
// editor's buffer does, so that an edit that adds or removes elements does not move all after it.

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

namespace quillane {

// How far an element moves: by lines, and by items of the picture.
struct Shift {
    int Lines = 0;
    std::ptrdiff_t Items = 0;

    Shift operator-() const { return {-Lines, -Items}; }
    Shift operator+(const Shift& s) const { return {Lines + s.Lines, Items + s.Items}; }
};

// A vector whose elements from some index on owe a move and lie after a gap (see above). Read it
// by value: an element as stored may not be the element.
template <class T>
class ShiftedList {
public:
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = T;

        Iterator() = default;
        Iterator(const ShiftedList* list, std::size_t i) : list_(list), i_(i) {}
        T operator*() const { return (*list_)[i_]; }
        T operator[](difference_type n) const { return (*list_)[Index(n)]; }
        Iterator& operator++() { return *this += 1; }
        Iterator operator++(int) {
            Iterator was = *this;
            ++*this;
            return was;
        }
        Iterator& operator--() { return *this -= 1; }
        Iterator operator--(int) {
            Iterator was = *this;
            --*this;
            return was;
        }
        Iterator& operator+=(difference_type n) {
            i_ = Index(n);
            return *this;
        }
        Iterator& operator-=(difference_type n) { return *this += -n; }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const Iterator& a, const Iterator& b) {
            return static_cast<difference_type>(a.i_) - static_cast<difference_type>(b.i_);
        }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.i_ == b.i_; }
        friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.i_ <=> b.i_; }

    private:
        std::size_t Index(difference_type n) const {
            return static_cast<std::size_t>(static_cast<difference_type>(i_) + n);
        }
        const ShiftedList* list_ = nullptr;
        std::size_t i_ = 0;
    };

    std::size_t size() const { return v_.size() - gapLength_; }
    bool empty() const { return size() == 0; }
    T operator[](std::size_t i) const { return i < gapAt_ ? v_[i] : Moved(v_[i + gapLength_], by_); }
    // An element as stored: only for what no move changes.
    const T& Stored(std::size_t i) const { return v_[i < gapAt_ ? i : i + gapLength_]; }
    T back() const { return (*this)[size() - 1]; }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size()}; }

    // Emptied and handed out to be filled again with elements as they are.
    std::vector<T>& Refill() {
        v_.clear();
        gapAt_ = kNoGap;
        gapLength_ = 0;
        by_ = {};
        return v_;
    }
    // Elements [first, last) become `with` (as they are), and every element after them moves by
    // `shift`.
    void Replace(std::size_t first, std::size_t last, const std::vector<T>& with, Shift shift) {
        GapTo(last);
        gapAt_ = first;  // the replaced elements join the gap
        gapLength_ += last - first;
        if (with.size() > gapLength_) {
            // Room for these and as many again: an edit that keeps adding elements here moves
            // the elements after it now and then, not on every key.
            const std::size_t grow = 2 * with.size() - gapLength_ + kSpareRoom;
            v_.insert(v_.begin() + static_cast<std::ptrdiff_t>(gapAt_ + gapLength_), grow, T{});
            gapLength_ += grow;
        }
        std::copy(with.begin(), with.end(), v_.begin() + static_cast<std::ptrdiff_t>(gapAt_));
        gapAt_ += with.size();
        gapLength_ -= with.size();
        by_ = by_ + shift;
    }

private:
    static constexpr std::size_t kNoGap = ~std::size_t{0};  // the elements lie as built, none owes
    static constexpr std::size_t kSpareRoom = 256;

    // The gap, and the move owed, start at element `to`: elements that cross it make good the
    // move or come to owe it.
    void GapTo(std::size_t to) {
        if (gapAt_ == kNoGap) {
            gapAt_ = to;  // an empty gap, and by_ is none
            return;
        }
        for (; gapAt_ < to; ++gapAt_) v_[gapAt_] = Moved(v_[gapAt_ + gapLength_], by_);
        while (gapAt_ > to) {
            --gapAt_;
            v_[gapAt_ + gapLength_] = Moved(v_[gapAt_], -by_);
        }
    }

    std::vector<T> v_;            // the elements, with gapLength_ unused ones from gapAt_ on
    std::size_t gapAt_ = kNoGap;  // elements from here on owe by_
    std::size_t gapLength_ = 0;
    Shift by_;
};

}  // namespace quillane
