// Shape files: one press of "Program Output" written down as TOML, for batch runs and the window.
#include "core/shape/shape_file.h"

#include "core/numeric/number_text.h"
#include "core/shape/toml_guard.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include <fstream>
#include <sstream>

// The parser is compiled in here rather than called in its shared library, whatever the build
// asked for: a command-line run then loads no parser library, and with it no C++ runtime
// library, at start (loading and binding those cost more than reading and generating).
#undef TOML_SHARED_LIB
#undef TOML_HEADER_ONLY
#define TOML_HEADER_ONLY 1
#include <toml++/toml.h>

namespace quillane {
namespace {

std::string Where(const std::string& name, const toml::source_region& region) {
    return name + ":" + std::to_string(region.begin.line);
}

constexpr const char* OneRunHint =
    " (a shape file holds one run, one press of \"Program Output\": give each run a file of its own)";

[[noreturn]] void Fail(const std::string& name, const toml::node& node, const std::string& key,
                       const std::string& what) {
    throw ShapeFileError(Where(name, node.source()) + ": key \"" + key + "\": " + what);
}

// The shortest text that reads back as exactly the same double.
std::string ExactText(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string text(buf, res.ptr);
    for (char& c : text) {
        if (c == 'e') c = 'E';  // the dialog's rule knows only the upper-case exponent letter
    }
    return text;
}

std::string ValueOf(const std::string& name, const std::string& key, const toml::node& node) {
    if (const auto* s = node.as_string()) return s->get();
    if (const auto* i = node.as_integer()) return std::to_string(i->get());
    if (const auto* f = node.as_floating_point()) {
        if (!std::isfinite(f->get())) Fail(name, node, key, "expected a finite number");
        return ExactText(f->get());
    }
    Fail(name, node, key, "expected a number or a text");
}

bool BoolOf(const std::string& name, const std::string& key, const toml::node& node) {
    if (const auto* b = node.as_boolean()) return b->get();
    Fail(name, node, key, "expected true or false");
}

}  // namespace

ShapeFile ParseShapeFile(std::string_view text, const std::string& name) {
    if (const std::optional<UnreadableCharacter> bad = FindUnreadableCharacter(text)) {
        const std::string_view before = text.substr(0, bad->Offset);
        const auto line = std::count(before.begin(), before.end(), '\n') + 1;
        const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
        const std::string character = CharacterName(text, bad->Offset);
        const std::string why =
            bad->InText ? " cannot be read in a text as it stands: write it as \\u" + character.substr(2) +
                              " there (and not after a backslash)"
                        : " cannot be read there: beyond ASCII, a character may stand only in a text or a comment";
        throw ShapeFileError(name + ":" + std::to_string(line) + ": " + character + " at column " +
                             std::to_string(bad->Offset - lineStart + 1) + why);
    }
    toml::table table;
    try {
        table = toml::parse(text, name);
    } catch (const toml::parse_error& e) {
        std::string what = Where(name, e.source()) + ": " + std::string(e.description());
        // Two shape files put together in one define every key twice.
        if (e.description().find("cannot redefine existing") != std::string_view::npos) what += OneRunHint;
        throw ShapeFileError(what);
    }

    ShapeFile file;
    file.Name = name;

    for (const auto& [keyNode, node] : table) {
        const std::string key(keyNode.str());
        if (node.is_table() || node.is_array_of_tables()) {
            Fail(name, node, key, std::string("a table of its own") + OneRunHint);
        }
        if (key == "Side") {
            const auto* s = node.as_string();
            if (s && s->get() == "External") {
                file.Boxes.External = true;
            } else if (s && s->get() == "Internal") {
                file.Boxes.External = false;
            } else {
                Fail(name, node, key, "expected \"External\" or \"Internal\"");
            }
        } else if (key == "Feed") {
            const auto* array = node.as_array();
            if (!array) Fail(name, node, key, "expected an array of up to 8 feeds");
            if (array->size() > file.Boxes.Feed.size()) Fail(name, node, key, "more than 8 feeds");
            for (std::size_t k = 0; k < array->size(); ++k) file.Boxes.Feed[k] = ValueOf(name, key, (*array)[k]);
        } else if (key == "OutputType") {
            const auto* s = node.as_string();
            if (s && s->get() == "TRV") {
                file.Fanuc = false;
            } else if (s && s->get() == "FANUC") {
                file.Fanuc = true;
            } else {
                Fail(name, node, key, "expected \"TRV\" or \"FANUC\"");
            }
        } else if (key == "SequenceNumbers") {
            file.SequenceNumbers = BoolOf(name, key, node);
        } else if (key == "OutputModin") {
            file.OutputModin = BoolOf(name, key, node);
        } else if (key == "ToolAngle") {
            const double angle = NumericValue(ValueOf(name, key, node));
            if (!(angle >= 0 && angle < 180)) Fail(name, node, key, "expected an angle from 0 up to below 180 degrees");
            file.ToolAngle = angle;
        } else {
            bool known = false;
            for (const ShapeField& f : ShapeFields) {
                if (key == f.Name) {
                    file.Boxes.Text[static_cast<std::size_t>(f.Box - 1)] = ValueOf(name, key, node);
                    known = true;
                }
            }
            if (!known) Fail(name, node, key, "unknown key");
        }
    }
    return file;
}

ShapeFile LoadShapeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ShapeFileError(path + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw ShapeFileError(path + ": cannot be read");
    return ParseShapeFile(text.str(), path);
}

namespace {

// A TOML basic string: quotes, backslashes and control characters escaped, the rest as it is.
std::string QuotedText(std::string_view text) {
    std::string out = "\"";
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto escaped = [&out](char32_t code) {
        out += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(code >> shift) & 0xF];
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto u = static_cast<unsigned char>(c);
        std::size_t length = 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7F) {
            escaped(u);
        } else if (const std::optional<char32_t> code = CodePointAt(text, i, &length);
                   u >= 0x80 && code && ReaderMistakes(*code)) {
            // Written as is, the reader could not be given the file back (see toml_guard.h).
            escaped(*code);
            i += length - 1;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// A number when the text is exactly the form the reader gives that number back as, so the
// file reads as the same text; otherwise the text itself.
std::string ValueText(const std::string& text) {
    // A number is ASCII; the reader is not given anything else to try (see toml_guard.h).
    const bool ascii =
        std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (text.empty() || text.size() > 40 || !ascii) return QuotedText(text);
    try {
        const toml::table probe = toml::parse("v = " + text);
        const toml::node* node = probe.get("v");
        if (node != nullptr && (node->is_integer() || node->is_floating_point()) && ValueOf("", "v", *node) == text) {
            return text;
        }
    } catch (const toml::parse_error&) {
    } catch (const ShapeFileError&) {
    }
    return QuotedText(text);
}

}  // namespace

std::string ShapeFileText(const ShapeBoxTexts& boxes, const OutputOptions& options) {
    std::string out = "# Groove shape: one press of \"Program Output\" (quillane-cli generate reads it too).\n";
    out += std::string("Side = \"") + (boxes.External ? "External" : "Internal") + "\"\n";
    for (const ShapeField& f : ShapeFields) {
        const std::string& text = boxes.Text[static_cast<std::size_t>(f.Box - 1)];
        if (!text.empty()) out += std::string(f.Name) + " = " + ValueText(text) + "\n";
    }
    // The feeds up to the last one given; an empty one before it is an empty text.
    std::size_t feeds = boxes.Feed.size();
    while (feeds > 0 && boxes.Feed[feeds - 1].empty()) --feeds;
    if (feeds > 0) {
        out += "Feed = [";
        for (std::size_t k = 0; k < feeds; ++k) out += (k > 0 ? ", " : "") + ValueText(boxes.Feed[k]);
        out += "]\n";
    }
    // The dialog's two option buttons: FANUC when it is chosen, else TRV.
    out += std::string("OutputType = \"") + (options.Fanuc ? "FANUC" : "TRV") + "\"\n";
    out += std::string("SequenceNumbers = ") + (options.SequenceNumbers ? "true" : "false") + "\n";
    out += std::string("OutputModin = ") + (options.OutputModin ? "true" : "false") + "\n";
    return out;
}

OutputOptions OptionsFor(const ShapeFile& file, OutputOptions options) {
    if (file.Fanuc) {
        options.Fanuc = *file.Fanuc;
        options.Trv = !*file.Fanuc;
    }
    if (file.SequenceNumbers) options.SequenceNumbers = *file.SequenceNumbers;
    if (file.OutputModin) options.OutputModin = *file.OutputModin;
    return options;
}

}  // namespace quillane
