// Names for the rows of parameterised tests, so that a row keeps its name from run to run and
// from build to build (ctest lists it by that name, not by its position in the table).
#pragma once

#include <charconv>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quillane::test {

// A test name made of `text`: letters and digits stay, each blank is an underscore, and every
// other character becomes a word ("X-.5" gives "X_minus_dot_5", "G " gives "G_", "" gives
// "empty"). Texts clash only when one spells out a word where the other has its character
// ("a minus", "a-"); GoogleTest refuses a table whose rows come out with the same name when it
// starts, so a clash cannot go unnoticed: such rows need a name of their own.
inline std::string ParamName(std::string_view text) {
    std::string name;
    bool afterWord = false;  // a letter or digit that follows a word is set apart from it
    const auto word = [&](std::string_view w) {
        if (!name.empty()) name += '_';
        name += w;
        afterWord = true;
    };
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')) {
            if (afterWord) name += '_';
            name += ch;
            afterWord = false;
            continue;
        }
        switch (ch) {
            case ' ':
                name += '_';
                afterWord = false;
                break;
            case '_':
                word("us");
                break;
            case '.':
                word("dot");
                break;
            case '-':
                word("minus");
                break;
            case '+':
                word("plus");
                break;
            case '*':
                word("times");
                break;
            case '/':
                word("div");
                break;
            case '=':
                word("eq");
                break;
            case ',':
                word("comma");
                break;
            case ';':
                word("semi");
                break;
            case '#':
                word("hash");
                break;
            case '(':
                word("open");
                break;
            case ')':
                word("close");
                break;
            case '\t':
                word("tab");
                break;
            case '\r':
                word("cr");
                break;
            case '\n':
                word("lf");
                break;
            default: {
                constexpr char hex[] = "0123456789abcdef";
                const char code[] = {'x', hex[u >> 4], hex[u & 15]};
                word(std::string_view(code, sizeof code));
                break;
            }
        }
    }
    return name.empty() ? "empty" : name;
}

// A labelled number, by the number's shortest exact text: ("Value", 0.1 + 0.2) gives
// "Value_0_dot_30000000000000004", apart from ("Value", 0.3); 0 and -0 differ too. The label
// keeps a whole number from reading like a row's position in its table.
inline std::string ParamName(std::string_view label, double value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return ParamName(label) + "_" + ParamName(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}
inline std::string ParamName(std::string_view label, float value) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return ParamName(label) + "_" + ParamName(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)));
}

// Several parts of a row, in order.
inline std::string ParamName(std::initializer_list<std::string> parts) {
    std::string name;
    for (const std::string& part : parts) {
        if (!name.empty()) name += '_';
        name += part;
    }
    return name;
}

// The generator for a table whose rows carry a Name field.
struct ByNameField {
    template <class Row>
    std::string operator()(const Row& row) const {
        return ParamName(std::string_view(row.param.Name));
    }
};

}  // namespace quillane::test
