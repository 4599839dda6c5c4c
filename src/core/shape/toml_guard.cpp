// What the TOML reader must not be given (see toml_guard.h).
#include "core/shape/toml_guard.h"

#include <cstdio>

namespace quillane {

bool ReaderMistakes(char32_t c) {
    return (c >= 0xA1 && c <= 0x499) || (c >= 0x2C5E && c <= 0x2FFF) || (c >= 0x3001 && c <= 0x3057) ||
           (c >= 0xFB26 && c <= 0xFEFE);
}

std::optional<char32_t> CodePointAt(std::string_view text, std::size_t at, std::size_t* length) {
    const auto byte = [&text](std::size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0U; };
    const unsigned lead = byte(at);
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (lead >= 0x80 && (extra == 0 || lead >= 0xF8)) return std::nullopt;
    char32_t code = extra == 0 ? lead : lead & (0x3FU >> extra);
    for (int k = 1; k <= extra; ++k) {
        const unsigned next = byte(at + static_cast<std::size_t>(k));
        if ((next & 0xC0U) != 0x80U) return std::nullopt;
        code = (code << 6) | (next & 0x3FU);
    }
    if (length != nullptr) *length = static_cast<std::size_t>(extra) + 1;
    return code;
}

std::string CharacterName(std::string_view text, std::size_t at) {
    char buf[16];
    if (const std::optional<char32_t> code = CodePointAt(text, at)) {
        std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(*code));
    } else {
        std::snprintf(buf, sizeof buf, "byte 0x%02X", static_cast<unsigned char>(text[at]));
    }
    return buf;
}

std::optional<UnreadableCharacter> FindUnreadableCharacter(std::string_view text) {
    enum class In { Toml, Comment, Text, Literal, LongText, LongLiteral } in = In::Toml;
    const auto quotes = [&text](std::size_t at, char quote) {
        std::size_t n = 0;
        while (at + n < text.size() && text[at + n] == quote) ++n;
        return n;
    };
    const auto beyondAscii = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]) >= 0x80; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (in == In::Toml) {
            if (beyondAscii(i)) return UnreadableCharacter{i, false};
            if (c == '#') in = In::Comment;
            if (c == '"' || c == '\'') {
                const bool three = quotes(i, c) >= 3;
                in = c == '"' ? (three ? In::LongText : In::Text) : (three ? In::LongLiteral : In::Literal);
                if (three) i += 2;
            }
            continue;
        }
        if (in == In::Comment) {
            if (c == '\n') in = In::Toml;
            continue;
        }
        // In a text.
        if (beyondAscii(i)) {
            const std::optional<char32_t> code = CodePointAt(text, i);
            if (code && ReaderMistakes(*code)) return UnreadableCharacter{i, true};
            continue;
        }
        const bool escapes = in == In::Text || in == In::LongText;
        const char quote = in == In::Text || in == In::LongText ? '"' : '\'';
        if (c == '\\' && escapes) {
            // After a backslash, and after a line-ending one up to the first character that is not
            // blank, the reader tests for blanks.
            std::size_t next = i + 1;
            while (in == In::LongText && next < text.size() &&
                   (text[next] == ' ' || text[next] == '\t' || text[next] == '\r' || text[next] == '\n')) {
                ++next;
            }
            if (next < text.size() && beyondAscii(next)) return UnreadableCharacter{next, true};
            i = next == i + 1 ? next : next - 1;
        } else if (in == In::Text || in == In::Literal) {
            if (c == '\n' || c == quote) in = In::Toml;
        } else if (const std::size_t n = quotes(i, quote); n >= 3) {
            // Up to two quotes may stand before the closing three: the whole run closes.
            i += n - 1;
            in = In::Toml;
        }
    }
    return std::nullopt;
}

}  // namespace quillane
