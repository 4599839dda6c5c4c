// Lists numbered by the program's lines and the picture's items, moved along lazily after edits.
#pragma once

// An edit that adds or removes lines (Enter in the middle of a long program) moves every item,
// link line and pass after it along by the same count: millions of them on every key. Instead
// a list keeps one move that its elements from some index on still owe, and makes it good
// element by element as later edits come by, so an edit costs the distance from the one before
// it, as in an editor's line table.

#include "core/ncplot/vector_splice.h"

#include <cstddef>
#include <iterator>
#include <vector>

namespace quillane {

// How far an element moves: by lines, and by items of the picture.
struct Shift {
    int Lines = 0;
    std::ptrdiff_t Items = 0;

    bool None() const { return Lines == 0 && Items == 0; }
    Shift operator-() const { return {-Lines, -Items}; }
    Shift operator+(const Shift& s) const { return {Lines + s.Lines, Items + s.Items}; }
};

// Elements [from, end) of `v` owe `by`; they are made to owe it from `to` on instead: elements
// on the way are moved, forwards or backwards, with Moved(element, shift).
template <class T>
void MoveOwedTo(std::vector<T>& v, std::size_t& from, const Shift& by, std::size_t to) {
    if (!by.None()) {
        for (std::size_t i = from; i < to; ++i) v[i] = Moved(v[i], by);
        for (std::size_t i = to; i < from; ++i) v[i] = Moved(v[i], -by);
    }
    from = to;
}

// A vector whose elements from some index on owe a move (see above). Read it by value: an
// element as stored may not be the element.
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

    std::size_t size() const { return v_.size(); }
    bool empty() const { return v_.empty(); }
    T operator[](std::size_t i) const { return i < from_ ? v_[i] : Moved(v_[i], by_); }
    // An element as stored: only for what no move changes.
    const T& Stored(std::size_t i) const { return v_[i]; }
    T front() const { return (*this)[0]; }
    T back() const { return (*this)[v_.size() - 1]; }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, v_.size()}; }

    // Emptied and handed out to be filled again with elements as they are.
    std::vector<T>& Refill() {
        v_.clear();
        from_ = kNoneOwes;
        by_ = {};
        return v_;
    }
    // Elements [first, last) become `with` (as they are), and every element after them moves by
    // `shift`.
    void Replace(std::size_t first, std::size_t last, const std::vector<T>& with, Shift shift) {
        MoveOwedTo(v_, from_, by_, last);
        quillane::Replace(v_, first, last, with);
        from_ = first + with.size();
        by_ = by_ + shift;
    }

private:
    static constexpr std::size_t kNoneOwes = ~std::size_t{0};
    std::vector<T> v_;
    std::size_t from_ = kNoneOwes;  // the first element that owes by_
    Shift by_;
};

}  // namespace quillane
