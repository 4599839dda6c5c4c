// Checks of a shape before it is cut: what the program would be written for but likely cut
// wrong (warnings), and what is worth knowing (notes), each naming the boxes it concerns and
// saying it with the numbers. Nothing here changes what Program Output writes.
#pragma once

#include "core/shape/shape_data.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillane {

// The boxes of the shape dialog: the eighteen dimension boxes in the order of ShapeFields, the
// eight feed boxes in segment order, and the cutting position.
enum class ShapeBox : std::uint8_t {
    NoseR,
    Pitch,
    Width,
    D1,
    D2,
    D3,
    A1,
    A2,
    R1,
    R2,
    R3,
    R4,
    BlankDiaX,
    FinishStock,
    StartPointZ,
    EndPointZ,
    TaperAngle,
    RetractX,
    Feed0,  // Feed0 + k is FEED(k)
    Feed7 = Feed0 + 7,
    Position,
};
inline constexpr int ShapeBoxCount = static_cast<int>(ShapeBox::Position) + 1;

inline ShapeBox FeedBox(int k) { return static_cast<ShapeBox>(static_cast<int>(ShapeBox::Feed0) + k); }

// How a box is named: the dialog's caption as a sentence uses it ("Retract X", "D1-F",
// "Cutting Position"), the record's field ("RetractX", "Feed[3]", "Side") and the control
// ("Text17", "FEED(3)", "Option1").
std::string BoxCaption(ShapeBox box);
std::string BoxField(ShapeBox box);
std::string BoxControl(ShapeBox box);

// The boxes whose captions a message names, in the order it first names them (how a data
// error's detail, which names the box to change first, is tied back to its boxes).
std::vector<ShapeBox> BoxesNamedIn(const std::string& message);

enum class Severity : std::uint8_t { Warning, Note };

// What each check looks for; a finding says which one found it.
enum class ShapeCheck : std::uint8_t {
    TextIgnored,        // characters after the number that reading ignores ("12,7" is 12)
    TextNoNumber,       // a box that is not empty but holds no digits (read as 0)
    TextOutOfRange,     // beyond the double range, or a feed beyond single precision
    PitchNotPositive,   // no lead to cut
    DiametersReversed,  // D1 on the wrong side of D2 for the cutting position
    NoDepth,            // D1 equals D2
    D3External,         // External with D3 differing from D2: the R4 half is shifted
    D3ChangesA2,        // Internal with D3 differing from D2: A2 is cut at another angle
    NoseAboveCorner,    // Nose-R not below the concave corner R2 or R3
    NegativeSize,       // a radius, the width or the finish stock below 0
    FlankAngle,         // A1 or A2 outside (0, 90]
    TaperAngle,         // a taper at or beyond 90 degrees, or one that ends through the axis
    StockBeyondDepth,   // finish stock that keeps every pass out of the groove
    RunFails,           // Program Output would stop with a data error (its detail follows)
    NoPass,             // the blank leaves no pass
    RetractSide,        // Retract X on the material's side of the blank
    Ridges,             // floor or land feed not below twice the nose radius
    EndBeyondStart,     // End Point Z not below the pass starts: passes run backwards
    PitchBelowGroove,   // the groove is longer than the lead
    Floored,            // a stored value written with three decimals, rounded down
};

struct Finding {
    ShapeCheck Check;
    Severity Level;
    std::vector<ShapeBox> Boxes;  // the boxes concerned, the first one the one to change
    std::string Text;             // a sentence with the numbers in it
};

// Checks what the dialog holds, as typed (characters the numeric rule ignores, numbers out of
// range) and then as read into the record. Boxes that are all empty give no finding.
std::vector<Finding> CheckShapeBoxes(const ShapeBoxTexts& boxes);

// Checks a record read from the boxes.
std::vector<Finding> CheckShape(const ShapeData& shape);

}  // namespace quillane
