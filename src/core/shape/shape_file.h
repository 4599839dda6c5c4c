// Shape files: one press of "Program Output" written down as TOML, for batch runs and for the
// window's Open Shape and Save Shape As.
#pragma once

#include "core/shape/program_writers.h"
#include "core/shape/shape_data.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quillane {

// A file that cannot be used at all (unreadable, bad TOML, unknown key, wrong type).
class ShapeFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A shape file holds what the dialog would: a text value is taken as typed into the box, a
// number as its exact shortest text, so both are read by the one rule of the dialog.
struct ShapeFile {
    std::string Name;  // for messages
    ShapeBoxTexts Boxes;
    std::optional<bool> Fanuc;  // OutputType override
    std::optional<bool> SequenceNumbers;
    std::optional<bool> OutputModin;
    // Not part of the record: the included angle of the tool in degrees, for the
    // cross-section check only (0 for a parallel-sided tool when not given).
    std::optional<double> ToolAngle;
};

// Parses a shape file's text; `name` is used in messages. Throws ShapeFileError naming the
// file, the line and the key.
ShapeFile ParseShapeFile(std::string_view text, const std::string& name);
ShapeFile LoadShapeFile(const std::string& path);

// The text of a shape file that reads back (ParseShapeFile) as exactly these boxes and options:
// a box whose text is a number's own shortest form is written as that number, any other text
// as a TOML string, an empty box not at all (an absent key is an empty box).
std::string ShapeFileText(const ShapeBoxTexts& boxes, const OutputOptions& options);

// The options of one run: the command line's, overridden by the file's.
OutputOptions OptionsFor(const ShapeFile& file, OutputOptions commandLine);

}  // namespace quillane
