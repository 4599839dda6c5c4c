// Replacing a run of a vector's elements in place, as a splice of a picture's items, lines or
// passes does: the elements before and after the run keep their storage.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace quillane {

// Elements [from, to) of `v` replaced by those of `with`.
template <class T>
void Replace(std::vector<T>& v, std::size_t from, std::size_t to, const std::vector<T>& with) {
    const auto at = [&v](std::size_t i) { return v.begin() + static_cast<std::ptrdiff_t>(i); };
    const std::size_t old = to - from;
    if (with.size() >= old) {
        std::copy(with.begin(), with.begin() + static_cast<std::ptrdiff_t>(old), at(from));
        v.insert(at(to), with.begin() + static_cast<std::ptrdiff_t>(old), with.end());
    } else {
        std::copy(with.begin(), with.end(), at(from));
        v.erase(at(from + with.size()), at(to));
    }
}

}  // namespace quillane
