// What the TOML reader must not be given. The reader (toml++ 3.3) reaches code it declares
// unreachable, which is undefined behaviour, when it tests some characters beyond ASCII for
// blanks: U+00A1 to U+0499, U+2C5E to U+2FFF, U+3001 to U+3057 and U+FB26 to U+FEFE. It tests
// every character outside texts and comments, the characters after a backslash in a multi-line
// text, and, when a value is wrong, everything from it to the next blank, comma, bracket or '#',
// also inside what would be a text. A shape file is therefore searched before it is read: beyond
// ASCII, only comments may hold any character, and texts any but those.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quillane {

struct UnreadableCharacter {
    std::size_t Offset = 0;  // of its first byte
    bool InText = false;     // in a text (written as \uXXXX there, it reads)
};

// The first character of `toml` the reader must not be given, if any.
std::optional<UnreadableCharacter> FindUnreadableCharacter(std::string_view toml);

// One of the characters the reader's blank test fails on.
bool ReaderMistakes(char32_t c);

// The character whose UTF-8 bytes start at `at` and how many bytes it takes; none where the
// bytes there are not UTF-8.
std::optional<char32_t> CodePointAt(std::string_view text, std::size_t at, std::size_t* length = nullptr);

// "U+00E9" for the character at `at`, or "byte 0xE9" where the bytes are not UTF-8.
std::string CharacterName(std::string_view text, std::size_t at);

}  // namespace quillane
