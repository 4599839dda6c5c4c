// The shape check: each check fires on its case with its boxes and numbers, and stays silent
// on the worked example, the shipped examples and a set of plausible grooves.
#include "core/shape/shape_check.h"
#include "core/shape/program_writers.h"
#include "core/shape/shape_file.h"
#include "worked_example.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillane {
namespace {

using testing_shapes::WorkedExample;

// The shipped external groove, with a land feed that leaves no ridges.
ShapeData ExternalGroove() {
    ShapeData s;
    s.Side = 1;
    s.DimensionsSet = true;
    s.Pitch = 20;
    s.Width = 4;
    s.NoseR = 0.4;
    s.D1 = 50;
    s.D2 = s.D3 = 44;
    s.A1 = s.A2 = 70;
    s.R1 = s.R4 = 1;
    s.R2 = s.R3 = 1.5;
    s.BlankDiaX = 50.5;
    s.StartPointZ = 0;
    s.EndPointZ = -60;
    s.RetractX = 56;
    s.Feed = {0.3f, 0.4f, 0.3f, 0.5f, 0.3f, 0.4f, 0.3f, 0.5f};
    return s;
}

std::string Describe(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) text += "\n  " + f.Text;
    return text;
}

struct FiringCase {
    const char* name;
    ShapeData (*base)();
    void (*change)(ShapeData&);    // on the record, before it is shown in the boxes
    void (*edit)(ShapeBoxTexts&);  // on the box texts, or nullptr
    ShapeCheck check;
    Severity level;
    std::vector<ShapeBox> boxes;
    const char* text;  // part of the sentence
};

void Keep(ShapeData&) {}

class Fires : public ::testing::TestWithParam<FiringCase> {};

TEST_P(Fires, WithItsBoxesAndNumbers) {
    const FiringCase& c = GetParam();
    ShapeData s = c.base();
    c.change(s);
    ShapeBoxTexts boxes = ShapeToBoxes(s);
    if (c.edit) c.edit(boxes);
    const std::vector<Finding> findings = CheckShapeBoxes(boxes);
    const Finding* found = nullptr;
    for (const Finding& f : findings) {
        if (f.Check == c.check && !found) found = &f;
    }
    ASSERT_NE(found, nullptr) << Describe(findings);
    EXPECT_EQ(found->Level, c.level) << found->Text;
    EXPECT_EQ(found->Boxes, c.boxes) << found->Text;
    EXPECT_NE(found->Text.find(c.text), std::string::npos) << found->Text;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, Fires,
    ::testing::Values(
        FiringCase{"DecimalComma", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Text[1] = "12,7"; },
                   ShapeCheck::TextIgnored, Severity::Warning, {ShapeBox::Pitch},
                   "PITCH \"12,7\" is read as 12: reading stops at \",\", so \",7\" is ignored. The decimal point is \".\"."},
        FiringCase{"LowerCaseExponent", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Feed[3] = "5e-1"; },
                   ShapeCheck::TextIgnored, Severity::Warning, {FeedBox(3)},
                   "D1-F \"5e-1\" is read as 5: reading stops at \"e\", so \"e-1\" is ignored."},
        FiringCase{"TrailingLetters", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Text[16] = "28 x"; },
                   ShapeCheck::TextIgnored, Severity::Note, {ShapeBox::RetractX},
                   "Retract X \"28 x\" is read as 28: reading stops at \"x\", so \"x\" is ignored."},
        FiringCase{"CarriageReturnFirst", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Text[2] = "\r3"; },
                   ShapeCheck::TextIgnored, Severity::Warning, {ShapeBox::Width},
                   "WIDTH \"\r3\" is read as 0: reading stops at \"\r\", so \"\r3\" is ignored."},
        FiringCase{"NoNumber", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Text[12] = "-"; },
                   ShapeCheck::TextNoNumber, Severity::Warning, {ShapeBox::FinishStock},
                   "Finish Stock \"-\" holds no number and is read as 0."},
        FiringCase{"BeyondDouble", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Text[14] = "1E400"; },
                   ShapeCheck::TextOutOfRange, Severity::Warning, {ShapeBox::EndPointZ},
                   "End Point Z \"1E400\" is beyond the range of numbers"},
        FiringCase{"FeedBeyondSingle", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Feed[7] = "1E39"; },
                   ShapeCheck::TextOutOfRange, Severity::Warning, {FeedBox(7)},
                   "D2-F \"1E39\" is beyond the single-precision range of a feed"},
        FiringCase{"PitchZero", WorkedExample, [](ShapeData& s) { s.Pitch = 0; }, nullptr,
                   ShapeCheck::PitchNotPositive, Severity::Warning, {ShapeBox::Pitch},
                   "PITCH 0 is not a lead: the thread moves are written with F0"},
        FiringCase{"PitchNegative", WorkedExample, [](ShapeData& s) { s.Pitch = -12.7; }, nullptr,
                   ShapeCheck::PitchNotPositive, Severity::Warning, {ShapeBox::Pitch}, "written with F-12.7"},
        FiringCase{"ExternalFollowingTheInternalSketch", ExternalGroove, [](ShapeData& s) { s.D1 = 44; s.D2 = s.D3 = 50; }, nullptr,
                   ShapeCheck::DiametersReversed, Severity::Warning, {ShapeBox::D1, ShapeBox::D2},
                   "with D 1 44 below D 2 50 the groove is left standing as a rib and the land is turned down to \xC3\x98" "44"},
        FiringCase{"InternalReversed", WorkedExample, [](ShapeData& s) { s.D1 = 24; }, nullptr,
                   ShapeCheck::DiametersReversed, Severity::Warning, {ShapeBox::D1, ShapeBox::D2},
                   "the passes run inward from \xC3\x98" "30 to \xC3\x98" "24"},
        FiringCase{"NoDepth", WorkedExample, [](ShapeData& s) { s.D1 = 30; }, nullptr,
                   ShapeCheck::NoDepth, Severity::Warning, {ShapeBox::D1, ShapeBox::D2}, "D 1 equals D 2 (30)"},
        FiringCase{"ExternalD3", ExternalGroove, [](ShapeData& s) { s.D3 = 45; }, nullptr,
                   ShapeCheck::D3External, Severity::Warning, {ShapeBox::D3, ShapeBox::D2},
                   "the floor steps from \xC3\x98" "44 to \xC3\x98" "46 at R 3 and the land lies at \xC3\x98" "51 instead of \xC3\x98" "50"},
        FiringCase{"InternalD3", WorkedExample, [](ShapeData& s) { s.D3 = 31; }, nullptr,
                   ShapeCheck::D3ChangesA2, Severity::Warning, {ShapeBox::D3, ShapeBox::A2},
                   "so A 2 60 degrees is cut at 55.3 degrees"},
        FiringCase{"NoseAboveR2", WorkedExample, [](ShapeData& s) { s.NoseR = 1.2; s.R3 = 1.5; }, nullptr,
                   ShapeCheck::NoseAboveCorner, Severity::Warning, {ShapeBox::NoseR, ShapeBox::R2},
                   "Nose-R 1.2 is not smaller than R 2 1: the tool cannot form a concave corner tighter than its nose"},
        FiringCase{"NoseAboveR3WithoutFailure", WorkedExample, [](ShapeData& s) { s.NoseR = 1.5; s.R2 = 2; }, nullptr,
                   ShapeCheck::NoseAboveCorner, Severity::Warning, {ShapeBox::NoseR, ShapeBox::R3}, "(the corner's tool-centre radius, R 3 - Nose-R, is -0.5)"},
        FiringCase{"NegativeRadius", WorkedExample, [](ShapeData& s) { s.R4 = -0.5; }, nullptr,
                   ShapeCheck::NegativeSize, Severity::Warning, {ShapeBox::R4}, "R 4 -0.5 is negative"},
        FiringCase{"NegativeStock", WorkedExample, [](ShapeData& s) { s.FinishStock = -0.2; }, nullptr,
                   ShapeCheck::NegativeSize, Severity::Warning, {ShapeBox::FinishStock}, "the passes cut 0.1 beyond the profile"},
        FiringCase{"StockBeyondDepth", WorkedExample, [](ShapeData& s) { s.FinishStock = 6; }, nullptr,
                   ShapeCheck::StockBeyondDepth, Severity::Warning, {ShapeBox::FinishStock, ShapeBox::D1, ShapeBox::D2},
                   "Finish Stock 6 is not less than the groove's depth on the diameter (6, D 1 - D 2)"},
        FiringCase{"FlatFlank", WorkedExample, [](ShapeData& s) { s.A1 = 0; }, nullptr,
                   ShapeCheck::FlankAngle, Severity::Warning, {ShapeBox::A1}, "a flank at 0 degrees never reaches the floor"},
        FiringCase{"OverhangingFlank", WorkedExample, [](ShapeData& s) { s.A2 = 100; }, nullptr,
                   ShapeCheck::FlankAngle, Severity::Warning, {ShapeBox::A2}, "A 2 100 is not between 0 and 90 degrees"},
        FiringCase{"TaperAt90", WorkedExample, [](ShapeData& s) { s.TaperAngle = 90; }, nullptr,
                   ShapeCheck::TaperAngle, Severity::Warning, {ShapeBox::TaperAngle}, "Taper Angle 90 is not between -90 and 90 degrees"},
        FiringCase{"TaperThroughTheAxis", WorkedExample, [](ShapeData& s) { s.TaperAngle = -10; s.RetractX = -10; }, nullptr,
                   ShapeCheck::TaperAngle, Severity::Warning, {ShapeBox::TaperAngle, ShapeBox::EndPointZ},
                   "Taper Angle -10 takes the pass from Z17.7 to \xC3\x98-4.454 at End Point Z -80: through the axis."},
        FiringCase{"FlatFlankStops", WorkedExample, [](ShapeData& s) { s.A1 = 0; }, nullptr,
                   ShapeCheck::RunFails, Severity::Warning, {ShapeBox::A1},
                   "Program Output will stop with a data error: A 1 is 0"},
        FiringCase{"EmptyLandFeedStops", WorkedExample, Keep, [](ShapeBoxTexts& b) { b.Feed[7] = ""; },
                   ShapeCheck::RunFails, Severity::Warning, {FeedBox(7)},
                   "more than 361 profile points: D2-F is 0 (an empty feed box reads as 0)"},
        FiringCase{"FineFeedStops", WorkedExample, [](ShapeData& s) { s.Feed[3] = 0.005f; }, nullptr,
                   ShapeCheck::RunFails, Severity::Warning, {FeedBox(3), ShapeBox::Pitch},
                   "more than 361 profile points: D1-F 0.005 alone took"},
        FiringCase{"StartZNoControlReads", WorkedExample, [](ShapeData& s) { s.StartPointZ = 1e306; }, nullptr,
                   ShapeCheck::RunFails, Severity::Warning, {ShapeBox::StartPointZ, ShapeBox::Pitch},
                   "pass start Z (Start Point Z + PITCH): the number would be written with 307 digits"},
        FiringCase{"RetractNoControlReads", WorkedExample, [](ShapeData& s) { s.RetractX = -1e306; }, nullptr,
                   ShapeCheck::RunFails, Severity::Warning, {ShapeBox::RetractX}, "Retract X: the number would be written with 307 digits"},
        FiringCase{"BlankAboveTheFloor", WorkedExample, [](ShapeData& s) { s.BlankDiaX = 40; }, nullptr,
                   ShapeCheck::NoPass, Severity::Warning, {ShapeBox::BlankDiaX},
                   "Blank Dia X 40 leaves no pass: for Internal a pass cuts where its diameter is above the bore, and the cut diameters run from \xC3\x98" "30 to \xC3\x98" "36."},
        FiringCase{"ExternalBlankBelowTheFloor", ExternalGroove, [](ShapeData& s) { s.BlankDiaX = 40; }, nullptr,
                   ShapeCheck::NoPass, Severity::Warning, {ShapeBox::BlankDiaX}, "for External a pass cuts where its diameter is below the blank"},
        FiringCase{"RetractThroughTheWall", WorkedExample, [](ShapeData& s) { s.RetractX = 40; }, nullptr,
                   ShapeCheck::RetractSide, Severity::Warning, {ShapeBox::RetractX, ShapeBox::BlankDiaX},
                   "Retract X 40 is not below the bore of \xC3\x98" "29: the retract crosses the groove (top \xC3\x98" "30, floor \xC3\x98" "36) and the tool returns through the wall. For Internal, Retract X must be below the bore."},
        FiringCase{"RetractOnTheBore", WorkedExample, [](ShapeData& s) { s.RetractX = 29; }, nullptr,
                   ShapeCheck::RetractSide, Severity::Warning, {ShapeBox::RetractX, ShapeBox::BlankDiaX}, "Retract X 29 is not below the bore"},
        FiringCase{"RetractIntoATaperedBore", WorkedExample, [](ShapeData& s) { s.TaperAngle = -1; }, nullptr,
                   ShapeCheck::RetractSide, Severity::Warning, {ShapeBox::RetractX, ShapeBox::BlankDiaX},
                   "Retract X 28 is not below the bore of \xC3\x98" "25.589 along the taper"},
        FiringCase{"ExternalRetractInside", ExternalGroove, [](ShapeData& s) { s.RetractX = 48; }, nullptr,
                   ShapeCheck::RetractSide, Severity::Warning, {ShapeBox::RetractX, ShapeBox::BlankDiaX},
                   "Retract X 48 is not above the blank of \xC3\x98" "50.5: the retract stays in the material (top \xC3\x98" "50, floor \xC3\x98" "44)"},
        FiringCase{"LandRidges", ExternalGroove, [](ShapeData& s) { s.Feed[7] = 1; }, nullptr,
                   ShapeCheck::Ridges, Severity::Warning, {FeedBox(7), ShapeBox::NoseR},
                   "D2-F 1 is not below twice Nose-R 0.4: the passes on the land are 1 apart but the nose cuts at most 0.8 wide"},
        FiringCase{"FloorRidges", ExternalGroove, [](ShapeData& s) { s.Feed[3] = 0.8f; }, nullptr,
                   ShapeCheck::Ridges, Severity::Warning, {FeedBox(3), ShapeBox::NoseR}, "the passes on the floor are 0.8 apart"},
        // Exactly at each boundary (values a float holds exactly).
        FiringCase{"NoseEqualToR2", ExternalGroove, [](ShapeData& s) { s.R2 = 0.4; }, nullptr,
                   ShapeCheck::NoseAboveCorner, Severity::Warning, {ShapeBox::NoseR, ShapeBox::R2}, "Nose-R 0.4 is not smaller than R 2 0.4"},
        FiringCase{"ExternalRetractAtTheBlank", ExternalGroove, [](ShapeData& s) { s.RetractX = 50.5; }, nullptr,
                   ShapeCheck::RetractSide, Severity::Warning, {ShapeBox::RetractX, ShapeBox::BlankDiaX}, "Retract X 50.5 is not above the blank"},
        FiringCase{"FloorFeedExactlyTwiceTheNose", ExternalGroove, [](ShapeData& s) { s.NoseR = 0.25; s.Feed[3] = 0.5f; }, nullptr,
                   ShapeCheck::Ridges, Severity::Warning, {FeedBox(3), ShapeBox::NoseR}, "D1-F 0.5 is not below twice Nose-R 0.25"},
        FiringCase{"EndBeyondStart", WorkedExample, [](ShapeData& s) { s.EndPointZ = 20; }, nullptr,
                   ShapeCheck::EndBeyondStart, Severity::Warning, {ShapeBox::EndPointZ, ShapeBox::StartPointZ},
                   "End Point Z 20 is not below the pass starts (Z4.2 to Z17.7): every pass cuts towards +Z or not at all."},
        FiringCase{"PitchShorterThanTheGroove", WorkedExample, [](ShapeData& s) { s.Pitch = 6; }, nullptr,
                   ShapeCheck::PitchBelowGroove, Severity::Warning, {ShapeBox::Pitch},
                   "PITCH 6 is not longer than the groove (its profile reaches the land at u 8.5)"},
        FiringCase{"PitchFloored", WorkedExample, [](ShapeData& s) { s.Pitch = 12.7005; }, nullptr,
                   ShapeCheck::Floored, Severity::Note, {ShapeBox::Pitch}, "PITCH 12.7005 is written as 12.7"}),
    [](const ::testing::TestParamInfo<FiringCase>& c) { return std::string(c.param.name); });
// clang-format on

// Plausible grooves: internal and external, tapers, roughing runs with finish stock.
struct Groove {
    const char* name;
    bool external;
    double pitch, width, noseR, d1, d2, d3, a1, a2, r1, r2, r3, r4, blank, stock, startZ, endZ, taper, retract;
    float feed, floorFeed, landFeed;
};

ShapeData Make(const Groove& g) {
    ShapeData s;
    s.Side = g.external ? 1 : -1;
    s.DimensionsSet = true;
    s.Pitch = g.pitch;
    s.Width = g.width;
    s.NoseR = g.noseR;
    s.D1 = g.d1;
    s.D2 = g.d2;
    s.D3 = g.d3;
    s.A1 = g.a1;
    s.A2 = g.a2;
    s.R1 = g.r1;
    s.R2 = g.r2;
    s.R3 = g.r3;
    s.R4 = g.r4;
    s.BlankDiaX = g.blank;
    s.FinishStock = g.stock;
    s.StartPointZ = g.startZ;
    s.EndPointZ = g.endZ;
    s.TaperAngle = g.taper;
    s.RetractX = g.retract;
    s.Feed.fill(g.feed);
    s.Feed[3] = g.floorFeed;
    s.Feed[7] = g.landFeed;
    return s;
}

class Silent : public ::testing::TestWithParam<Groove> {};

TEST_P(Silent, OnAPlausibleGroove) {
    const ShapeData s = Make(GetParam());
    const RunResult run = RunGenerator(GeneratorState{s, 0, 1}, {}, "", "");
    ASSERT_TRUE(run.Succeeded) << run.ErrorDetail;
    EXPECT_GT(run.PassCount, 10);
    EXPECT_EQ(Describe(CheckShapeBoxes(ShapeToBoxes(s))), "");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Grooves, Silent,
    ::testing::Values(
        //     name                 ext    pitch width nose  D1    D2    D3    A1  A2  R1   R2   R3   R4   blank stock startZ endZ   taper retract feed  floor land
        Groove{"SmallBore",         false, 10,   2,    0.2,  24,   20,   20,   45, 45, 0.3, 0.5, 0.5, 0.3, 19.5, 0,    0,     -50,   0,    18,     0.3f, 0.3f, 0.3f},
        Groove{"RoughingBore",      false, 16,   4,    0.4,  44,   38,   38,   60, 60, 0.5, 1,   1,   0.5, 37,   0.2,  2,     -60,   0,    35,     0.5f, 1.0f, 1.0f},
        Groove{"SteepFlanks",       false, 8,    1.5,  0.2,  18,   15,   15,   70, 70, 0.2, 0.4, 0.4, 0.2, 14.6, 0,    0,     -30,   0,    13,     0.25f,0.25f,0.25f},
        Groove{"TaperedBore",       false, 12,   3,    0.4,  40,   34,   34,   60, 60, 0.5, 1,   1,   0.5, 33,   0,    5,     -40,   1.5,  31,     0.5f, 0.5f, 0.5f},
        Groove{"NarrowingBore",     false, 12,   3,    0.4,  40,   34,   34,   60, 60, 0.5, 1,   1,   0.5, 33,   0,    5,     -30,   -1,   30,     0.5f, 0.5f, 0.5f},
        Groove{"AsymmetricBore",    false, 10,   2,    0.3,  30,   26,   26,   45, 75, 0.4, 0.8, 0.8, 0.4, 25,   0,    0,     -45,   0,    24,     0.4f, 0.4f, 0.4f},
        Groove{"DeepNarrowBore",    false, 6,    0.8,  0.15, 14,   10,   10,   80, 80, 0.2, 0.3, 0.3, 0.2, 9.6,  0,    0,     -25,   0,    8,      0.2f, 0.2f, 0.2f},
        Groove{"WideCamBore",       false, 40,   10,   0.8,  70,   60,   60,   30, 30, 1,   2,   2,   1,   59,   0,    0,     -120,  0,    56,     1.0f, 1.0f, 1.0f},
        Groove{"NearlyVerticalBore",false, 12,   3,    0.4,  36,   30,   30,   85, 85, 0.5, 1,   1,   0.5, 29,   0.1,  5,     -80,   0,    28,     0.5f, 0.5f, 0.5f},
        Groove{"BoreBelowZero",     false, 12.7, 3,    0.4,  36,   30,   30,   60, 60, 0.5, 1,   1,   0.5, 29,   0,    -10,   -90,   0,    28,     0.5f, 0.5f, 0.5f},
        Groove{"TaperedRoughBore",  false, 14,   3,    0.4,  42,   36,   36,   55, 55, 0.5, 1,   1,   0.5, 35,   0.3,  0,     -50,   0.5,  33,     0.6f, 1.0f, 1.0f},
        Groove{"Shaft",             true,  20,   4,    0.4,  50,   44,   44,   70, 70, 1,   1.5, 1.5, 1,   50.5, 0,    0,     -60,   0,    56,     0.3f, 0.5f, 0.5f},
        Groove{"ShaftAtTheBlank",   true,  10,   2,    0.2,  30,   26,   26,   60, 60, 0.3, 0.5, 0.5, 0.3, 30,   0,    0,     -40,   0,    34,     0.3f, 0.3f, 0.3f},
        Groove{"RoughingShaft",     true,  25,   5,    0.8,  60,   52,   52,   45, 45, 1,   2,   2,   1,   61,   0.3,  0,     -80,   0,    66,     0.8f, 1.2f, 1.2f},
        Groove{"TaperedShaft",      true,  12,   3,    0.4,  40,   34,   34,   60, 60, 0.5, 1,   1,   0.5, 41,   0,    0,     -40,   2,    48,     0.5f, 0.5f, 0.5f},
        Groove{"NarrowingShaft",    true,  12,   3,    0.4,  40,   34,   34,   60, 60, 0.5, 1,   1,   0.5, 40.5, 0,    0,     -40,   -1.5, 44,     0.5f, 0.5f, 0.5f},
        Groove{"FineShaft",         true,  3,    0.5,  0.1,  20,   18.4, 18.4, 60, 60, 0.1, 0.15,0.15,0.1, 20,   0,    0,     -25,   0,    22,     0.05f,0.05f,0.05f},
        Groove{"CamShaft",          true,  50,   12,   1,    80,   68,   68,   35, 35, 2,   3,   3,   2,   81,   0,    10,    -100,  0,    86,     1.5f, 1.5f, 1.5f},
        Groove{"AsymmetricShaft",   true,  14,   2.5,  0.3,  36,   30,   30,   30, 80, 0.5, 0.8, 0.8, 0.5, 36.4, 0,    0,     -50,   0,    40,     0.4f, 0.4f, 0.4f},
        Groove{"ShaftBelowZero",    true,  20,   4,    0.4,  50,   44,   44,   70, 70, 1,   1.5, 1.5, 1,   50.5, 0,    -20,   -100,  0,    56,     0.3f, 0.5f, 0.5f},
        Groove{"RoughTaperedShaft", true,  18,   4,    0.5,  45,   39,   39,   60, 60, 0.5, 1.2, 1.2, 0.5, 46,   0.4,  0,     -60,   1,    52,     0.5f, 1.0f, 1.0f},
        Groove{"FinishedShaft",     true,  18,   4,    0.5,  45,   39,   39,   60, 60, 0.5, 1.2, 1.2, 0.5, 46,   0,    0,     -60,   0,    50,     0.4f, 0.6f, 0.6f}),
    [](const ::testing::TestParamInfo<Groove>& c) { return std::string(c.param.name); });
// clang-format on

class SilentOnExample : public ::testing::TestWithParam<const char*> {};

TEST_P(SilentOnExample, AsShipped) {
    const ShapeFile file = LoadShapeFile(std::string(QUILLANE_SOURCE_DIR) + "/examples/" + GetParam());
    EXPECT_EQ(Describe(CheckShapeBoxes(file.Boxes)), "");
}

INSTANTIATE_TEST_SUITE_P(Files, SilentOnExample,
                         ::testing::Values("worked-example.toml", "external-groove.toml", "roughing.toml",
                                           "finishing.toml"),
                         [](const ::testing::TestParamInfo<const char*>& c) {
                             std::string name;
                             for (const char* p = c.param; *p != '.'; ++p) name += *p == '-' ? '_' : *p;
                             return name;
                         });

TEST(SilentOn, TheWorkedExampleAndItsUnits) {
    ShapeBoxTexts boxes = ShapeToBoxes(WorkedExample());
    EXPECT_EQ(Describe(CheckShapeBoxes(boxes)), "");
    boxes.Text[1] = " 12.7 mm";  // a unit and blanks are read as meant
    boxes.Text[6] = "60deg";
    boxes.Feed[0] = "0.5MM";
    boxes.Text[7] = "";  // an empty R 1 is 0
    EXPECT_EQ(Describe(CheckShapeBoxes(boxes)), "");
}

TEST(SilentOn, AnEmptyDialogButNotOnOneBoxTyped) {
    ShapeBoxTexts boxes = ShapeToBoxes(ShapeData{});
    EXPECT_EQ(Describe(CheckShapeBoxes(boxes)), "");
    boxes.Text[1] = "12.7";
    EXPECT_NE(Describe(CheckShapeBoxes(boxes)), "");
}

TEST(BoxNames, CaptionFieldAndControl) {
    EXPECT_EQ(BoxCaption(ShapeBox::RetractX), "Retract X");
    EXPECT_EQ(BoxField(ShapeBox::RetractX), "RetractX");
    EXPECT_EQ(BoxControl(ShapeBox::RetractX), "Text17");
    EXPECT_EQ(BoxCaption(ShapeBox::D3), "D 3");
    EXPECT_EQ(BoxControl(ShapeBox::D3), "Text18");
    EXPECT_EQ(BoxCaption(FeedBox(3)), "D1-F");
    EXPECT_EQ(BoxField(FeedBox(3)), "Feed[3]");
    EXPECT_EQ(BoxControl(FeedBox(3)), "FEED(3)");
    EXPECT_EQ(BoxCaption(ShapeBox::Position), "Cutting Position");
    EXPECT_EQ(BoxField(ShapeBox::Position), "Side");
}

TEST(BoxNames, ANameIsFoundOnlyAsAWholeName) {
    EXPECT_EQ(BoxesNamedIn("arc R 2 (R 2 1 - Nose-R 0.4): the step of R1-F 5"),
              (std::vector<ShapeBox>{ShapeBox::R2, ShapeBox::NoseR, FeedBox(0)}));
    EXPECT_EQ(BoxesNamedIn("R 10, D1, XPITCH, End Point Zs"), std::vector<ShapeBox>{});
}

}  // namespace
}  // namespace quillane
