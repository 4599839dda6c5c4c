// Helpers for the plot tests: picking primitives out of a drawing by what they are.
#pragma once

#include "core/ncplot/drawing.h"
#include "core/ncplot/nc_scanner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include <random>
#include <string>
#include <vector>

namespace quillane::testing_support {

inline constexpr Color Green = Color::Rgb(0, 128, 0);
inline constexpr Color Blue = Color::Rgb(0, 0, 255);
inline constexpr Color Grey = Color::Rgb(192, 192, 192);
inline constexpr Color Purple = Color::Rgb(128, 0, 128);
inline constexpr Color Yellow = Color::Rgb(255, 255, 0);
inline constexpr Color Cyan = Color::Rgb(0, 255, 255);
inline constexpr Color PlotBackground = Color::Rgb(8, 0, 0);
inline constexpr Color ButtonShadow = Color::System(ColorRole::ButtonShadow);

// A text of fewer than `pieces` random pieces of program: words, numbers at the edges of what is
// read in one step, comments, and line ends of every kind.
inline std::string RandomNcText(std::mt19937& random, unsigned pieces) {
    static const std::vector<std::string> kPieces = {
        "X",   "Z",      "G",    "G00 ",   "G32",         "X-",     "Z+",        ".",       "0",
        "7",   "28.",    "17.7", "-80.0",  "30.303",      " ",      "\t",        "(",       ")",
        "P=",  "+",      "*2",   "/",      "\r\n",        "\r\n",   "\r\n",      "\r",      "\n",
        "N1 ", "F12.7 ", "M8",   "ZSP=A ", "123456789.5", "0.0001", "1.0000001", "99999999"};
    std::string text;
    const unsigned count = static_cast<unsigned>(random() % pieces);
    for (unsigned k = 0; k < count; ++k) text += kPieces[random() % kPieces.size()];
    return text;
}

// Everything a line's scan leaves that the plots or the next line read, the values to the bit.
inline void ExpectSameScanState(const ScanState& a, const ScanState& b, const std::string& text) {
    const auto bits = [](double v) {
        std::uint64_t out = 0;
        std::memcpy(&out, &v, sizeof out);
        return out;
    };
    ASSERT_EQ(bits(a.XValue), bits(b.XValue)) << text;
    ASSERT_EQ(bits(a.ZValue), bits(b.ZValue)) << text;
    ASSERT_EQ(bits(static_cast<double>(a.GValue)), bits(static_cast<double>(b.GValue))) << text;
    ASSERT_EQ(a.InComment, b.InComment) << text;
    ASSERT_EQ(a.StartNewPath, b.StartNewPath) << text;
    ASSERT_EQ(a.ScanPos, b.ScanPos) << text;
    ASSERT_EQ(a.LineLength, b.LineLength) << text;
}

// A point as the plots store it: computed in double, kept in single precision.
inline DrawPoint P(double x, double y) { return {static_cast<float>(x), static_cast<float>(y)}; }

inline std::vector<Primitive> Items(const Drawing& d, PrimitiveKind kind) {
    std::vector<Primitive> out;
    for (const Primitive& p : d.Items) {
        if (p.Kind == kind) out.push_back(p);
    }
    return out;
}

// Primitives drawn for NC lines (the path), in drawing order.
inline std::vector<Primitive> PathItems(const Drawing& d) {
    std::vector<Primitive> out;
    for (const Primitive& p : d.Items) {
        if (p.NcLine != NoNcLine) out.push_back(p);
    }
    return out;
}

// Horizontal grid lines (from left to right at one y) in the given colour.
inline std::vector<double> HorizontalLineYs(const Drawing& d, Color colour) {
    std::vector<double> out;
    for (const Primitive& p : d.Items) {
        if (p.Kind == PrimitiveKind::Line && p.NcLine == NoNcLine && p.Colour == colour && p.At.Y == p.To.Y &&
            p.At.X != p.To.X) {
            out.push_back(p.At.Y);
        }
    }
    return out;
}

// Vertical grid lines (at one x), any colour.
inline std::vector<double> VerticalLineXs(const Drawing& d) {
    std::vector<double> out;
    for (const Primitive& p : d.Items) {
        if (p.Kind == PrimitiveKind::Line && p.NcLine == NoNcLine && p.At.X == p.To.X) out.push_back(p.At.X);
    }
    return out;
}

inline std::vector<std::string> Texts(const Drawing& d) {
    std::vector<std::string> out;
    for (const Primitive& p : d.Items) {
        if (p.Kind == PrimitiveKind::Text) out.push_back(d.TextOf(p));
    }
    return out;
}

inline const Primitive* FindText(const Drawing& d, const std::string& text) {
    for (const Primitive& p : d.Items) {
        if (p.Kind == PrimitiveKind::Text && d.TextOf(p) == text) return &p;
    }
    return nullptr;
}

}  // namespace quillane::testing_support
