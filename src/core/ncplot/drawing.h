// A plot picture as data: background, user scale and the ordered lines, dots, circles and texts.
#pragma once

// Plain standard C++: the plots build a Drawing without any toolkit, and a painter (see
// drawing_painter.h) turns it into pixels at whatever size the window or an export needs.
//
// Coordinates are drawing coordinates ("user scale" units): x grows to the right, y grows
// downwards, and the user scale says which rectangle of them fills the picture. In the NC plots
// x is Z in millimetres and y is minus the radius (-X/2).

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace quillane {

// Where a colour comes from: an exact RGB value, or one of the desktop's system colours, which
// only the painter can resolve (it follows the user's theme).
enum class ColorRole : std::uint8_t {
    Rgb,
    ButtonFace,    // a fresh picture's background
    ButtonShadow,  // the Z = 0 line of the cutting graphic
    WindowBackground,
};

struct Color {
    ColorRole Role = ColorRole::Rgb;
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    static constexpr Color Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        return Color{ColorRole::Rgb, red, green, blue};
    }
    static constexpr Color System(ColorRole role) { return Color{role, 0, 0, 0}; }
    friend constexpr bool operator==(const Color&, const Color&) = default;
};

enum class LineStyle : std::uint8_t { Solid, Dotted };

enum class PrimitiveKind : std::uint8_t { Line, Dot, Circle, Text };

// Single precision, as a picture holds its coordinates: a long program draws hundreds of
// thousands of primitives, and they stay small.
struct DrawPoint {
    float X = 0;
    float Y = 0;
    constexpr DrawPoint() = default;
    // From computed coordinates, rounded to single precision.
    constexpr DrawPoint(double x, double y) : X(static_cast<float>(x)), Y(static_cast<float>(y)) {}
    friend constexpr bool operator==(const DrawPoint&, const DrawPoint&) = default;
};

// No NC line: grid lines, the blank line and labels.
inline constexpr int NoNcLine = -1;

// One thing drawn. Only the fields of its kind are meaningful; the others keep their defaults.
struct Primitive {
    PrimitiveKind Kind = PrimitiveKind::Line;
    LineStyle Style = LineStyle::Solid;  // line only
    std::uint8_t FontSize = 0;           // text: size in points (the typeface is the painter's own)
    Color Colour;                        // line, dot, circle and text colour
    DrawPoint At;                        // line: start; dot: position; circle: centre; text: top-left corner
    DrawPoint To;                        // line: end
    float Radius = 0;                    // circle: radius in horizontal (x) units, drawn round on screen
    std::uint32_t Text = 0;              // text: index of its string in Drawing::Texts
    int NcLine = NoNcLine;               // the CR LF line (0-based) that drew it: read Drawing::LineOf

    friend bool operator==(const Primitive&, const Primitive&) = default;
};

// The rectangle of drawing coordinates that fills the picture. Single precision, as a picture
// stores it. Width or height may be negative (the axis then runs the other way) but never 0.
struct UserScale {
    float Left = 0;
    float Top = 0;
    float Width = 1;
    float Height = 1;
    friend constexpr bool operator==(const UserScale&, const UserScale&) = default;
};

// A user scale from computed values, or nothing when a picture could not take it: a width or
// height that is 0 (also after rounding to single precision), or any value that is not finite
// or lies beyond the single-precision range.
std::optional<UserScale> MakeUserScale(double left, double top, double width, double height);

struct Drawing {
    Color Background = Color::System(ColorRole::ButtonFace);
    std::optional<UserScale> Scale;  // none: the plot stopped before it could set one
    std::vector<Primitive> Items;    // in drawing order; later items paint over earlier ones
    std::vector<std::string> Texts;  // the strings of the text items
    // What a completed plot switches on for its picture; a plot that stopped early leaves both
    // false and the window keeps whatever state it had (a plot never switches them off).
    bool ReadoutVisible = false;  // the X/Z read-out box in the tool bar is shown
    bool Crosshair = false;       // the mouse pointer over the picture is a crosshair

    // The string of a text item.
    const std::string& TextOf(const Primitive& item) const { return Texts.at(item.Text); }

    // The line that drew item `i`, NoNcLine for the grid, the blank line and labels. Read it
    // here, not from the item: after an edit that adds or removes lines the items after it are
    // renumbered only as later edits come by (see shifted_list.h).
    int LineOf(std::size_t i) const {
        const int line = Items[i].NcLine;
        return i < owedFrom_ || line == NoNcLine ? line : line + owedLines_;
    }
    // Items [first, last) replaced by `with` (their lines as they are), and the lines of every
    // item after them moved by `lines`.
    void SpliceItems(std::size_t first, std::size_t last, const std::vector<Primitive>& with, int lines);
    // No items, and none that owes a move: a picture to draw into again.
    void ClearItems() {
        Items.clear();
        owedFrom_ = kNoneOwes;
        owedLines_ = 0;
    }

    // Equal pictures, item lines as LineOf reads them.
    friend bool operator==(const Drawing& a, const Drawing& b);

private:
    // Items from `to` on owe owedLines_ instead of those from owedFrom_ on.
    void OweFrom(std::size_t to);

    // Items from owedFrom_ on are drawn by lines owedLines_ further on than their NcLine says,
    // but for those of NoNcLine, which never move.
    static constexpr std::size_t kNoneOwes = ~std::size_t{0};
    std::size_t owedFrom_ = kNoneOwes;
    int owedLines_ = 0;
};

// A picture that no plot has drawn into yet: the desktop's button face, no scale, nothing drawn.
Drawing FreshPicture();

// Takes the items a plot has drawn so far (once its scale is set) and empties the list, so that
// a program of millions of moves never has all of them in memory; texts, scale and background
// stay in the drawing.
using DrawingDrain = std::function<void(Drawing& pending)>;

// The drawing as JSON (format in the README). `untouched` marks a plot that left the previous
// picture in place; `drawing` is then what is shown (e.g. FreshPicture()).
// Numbers are written in their shortest form that reads back to the same single-precision value.
std::string DrawingJson(const Drawing& drawing, bool untouched = false);
// The same text written to `stream` piece by piece, never held whole: a program of millions of
// moves writes hundreds of megabytes of it. The stream's state tells whether it arrived.
void WriteDrawingJson(std::ostream& stream, const Drawing& drawing, bool untouched = false);

// The same text written while a plot draws: `Drain` writes the items drawn so far (the
// background and scale before the first of them) and empties the list; `Finish` writes the
// rest of the drawing the plot returned, then the closing fields.
class DrawingJsonWriter {
public:
    explicit DrawingJsonWriter(std::ostream& stream);
    void Drain(Drawing& pending);
    void Finish(const Drawing& rest, bool untouched);

private:
    void Write(const Drawing& drawing);  // its items, after the head if it is not written yet
    void Flush();

    std::ostream& stream_;
    std::string buffer_;  // a piece of the text, written out whenever it is full
    bool started_ = false;
    bool firstItem_ = true;
};

}  // namespace quillane
