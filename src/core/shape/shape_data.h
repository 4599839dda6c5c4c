// The groove profile record: its dimensions, segment feeds and cutting position.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillane {

struct ShapeData {
    std::int16_t Side = 0;       // +1 external, -1 internal, 0 before the first run
    bool DimensionsSet = false;  // false until the first run: the boxes then show empty
    double NoseR = 0;
    double Pitch = 0;
    double Width = 0;
    double D1 = 0;
    double D2 = 0;
    double D3 = 0;
    double A1 = 0;
    double A2 = 0;
    double R1 = 0;
    double R2 = 0;
    double R3 = 0;
    double R4 = 0;
    double BlankDiaX = 0;
    double FinishStock = 0;
    double StartPointZ = 0;
    double EndPointZ = 0;
    double TaperAngle = 0;
    double RetractX = 0;
    std::array<float, 8> Feed{};  // axial step per segment: R1, A1, R2, D1, R3, A2, R4, D2
};

// One dimension field with the dialog box that edits it.
struct ShapeField {
    const char* Name;     // field name, also the key of a shape file
    int Box;              // n of the dialog box Text<n>
    const char* Caption;  // caption of the box's label
    double ShapeData::*Member;
};

// The eighteen dimension fields in the order the dialog is read.
extern const std::array<ShapeField, 18> ShapeFields;

// Captions of the eight feed boxes, in segment order.
extern const std::array<const char*, 8> FeedCaptions;

// What the dialog holds: the eighteen boxes Text1..Text18 (index 0 is Text1), the eight
// feed boxes and the cutting position.
struct ShapeBoxTexts {
    bool External = false;
    std::array<std::string, 18> Text;
    std::array<std::string, 8> Feed;
};

// Reads the dialog into the record the way "Program Output" does. Throws DataError when a
// box holds a number beyond the double range or a feed beyond the single-precision range;
// the fields read before it keep their new values.
void ReadShapeBoxes(const ShapeBoxTexts& boxes, ShapeData& shape);

// Text forms used to refill the dialog: empty while unset, else 15 significant digits.
std::string DimensionText(const ShapeData& shape, double ShapeData::*member);
// A feed of 0 shows empty; others with 7 significant digits.
std::string FeedText(float feed);
// The record as the dialog would show it.
ShapeBoxTexts ShapeToBoxes(const ShapeData& shape);

// A caption as messages name its box: the label's padding blanks closed up ("Retract X").
std::string BoxLabel(std::string_view caption);

// Reading a number from a box: the numeric value of the text, rejected beyond the range.
double BoxValue(std::string_view text, const char* caption);
float BoxFeed(std::string_view text, const char* caption);

}  // namespace quillane
