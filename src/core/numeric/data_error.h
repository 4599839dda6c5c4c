// The one failure of a generator run: arithmetic that cannot give a usable number.
#pragma once

#include <stdexcept>
#include <string>

namespace quillane {

// Thrown by every checked operation; caught once where a run starts. what() says in the
// user's terms which input made the arithmetic fail.
class DataError : public std::runtime_error {
public:
    explicit DataError(const std::string& detail) : std::runtime_error(detail) {}
};

// The text the user sees for any DataError (the trailing blank is part of it).
inline constexpr const char* DataErrorMessage = "Data error ";

}  // namespace quillane
