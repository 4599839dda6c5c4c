// The shape record: reading the dialog's boxes and the text forms that refill them.
#include "core/shape/shape_data.h"
#include "core/numeric/data_error.h"
#include "core/shape/program_writers.h"
#include "worked_example.h"

#include <gtest/gtest.h>

namespace quillane {
namespace {

TEST(ShapeText, UnsetRecordShowsEmptyBoxesAndInternal) {
    const ShapeBoxTexts boxes = ShapeToBoxes(ShapeData{});
    EXPECT_FALSE(boxes.External);
    for (const auto& t : boxes.Text) EXPECT_EQ(t, "");
    for (const auto& t : boxes.Feed) EXPECT_EQ(t, "");
}

TEST(ShapeText, SetFieldsShowFifteenDigitsFeedsSeven) {
    ShapeData s = testing_shapes::WorkedExample();
    s.Pitch = 12.70;
    s.R1 = 0;
    s.StartPointZ = 17.7 - 12.5;
    s.Feed = {0.1f, 0, -0.5f, 1.0f / 3.0f, 0, 0, 0, 2.5f};
    const ShapeBoxTexts boxes = ShapeToBoxes(s);
    EXPECT_EQ(boxes.Text[1], "12.7");  // PITCH is Text2
    EXPECT_EQ(boxes.Text[7], "0");     // R 1 is Text8: a set zero shows
    EXPECT_EQ(boxes.Text[13], "5.2");  // Start Point Z is Text14
    EXPECT_EQ(boxes.Text[17], "30");   // D 3 is Text18
    EXPECT_EQ(boxes.Feed[0], "0.1");
    EXPECT_EQ(boxes.Feed[1], "");  // a feed of 0 shows empty
    EXPECT_EQ(boxes.Feed[2], "-0.5");
    EXPECT_EQ(boxes.Feed[3], "0.3333333");
    EXPECT_EQ(boxes.Feed[7], "2.5");
    s.Side = 1;
    EXPECT_TRUE(ShapeToBoxes(s).External);
    s.Side = 0;
    EXPECT_FALSE(ShapeToBoxes(s).External);
}

TEST(ShapeRead, EachBoxGoesToItsField) {
    ShapeBoxTexts boxes;
    for (int n = 1; n <= 18; ++n) boxes.Text[static_cast<std::size_t>(n - 1)] = std::to_string(n) + "mm";
    for (int k = 0; k < 8; ++k) boxes.Feed[static_cast<std::size_t>(k)] = "0." + std::to_string(k + 1);
    boxes.External = true;
    ShapeData s;
    ReadShapeBoxes(boxes, s);
    EXPECT_EQ(s.Side, 1);
    EXPECT_TRUE(s.DimensionsSet);
    EXPECT_EQ(s.NoseR, 1);
    EXPECT_EQ(s.Pitch, 2);
    EXPECT_EQ(s.Width, 3);
    EXPECT_EQ(s.D1, 4);
    EXPECT_EQ(s.D2, 5);
    EXPECT_EQ(s.A1, 6);
    EXPECT_EQ(s.A2, 7);
    EXPECT_EQ(s.R1, 8);
    EXPECT_EQ(s.R4, 11);
    EXPECT_EQ(s.BlankDiaX, 12);
    EXPECT_EQ(s.FinishStock, 13);
    EXPECT_EQ(s.StartPointZ, 14);
    EXPECT_EQ(s.EndPointZ, 15);
    EXPECT_EQ(s.TaperAngle, 16);
    EXPECT_EQ(s.RetractX, 17);
    EXPECT_EQ(s.D3, 18);
    EXPECT_EQ(s.Feed[0], 0.1f);
    EXPECT_EQ(s.Feed[7], 0.8f);
    boxes.External = false;
    ReadShapeBoxes(boxes, s);
    EXPECT_EQ(s.Side, -1);
}

TEST(ShapeRead, BoxTextsReadByTheNumericRule) {
    ShapeBoxTexts boxes;
    boxes.Text[0] = "12.7mm";
    boxes.Text[1] = "1,5";
    boxes.Text[2] = "1 000";
    boxes.Text[3] = "-";
    boxes.Text[4] = "abc";
    boxes.Text[5] = "2E3";
    ShapeData s;
    ReadShapeBoxes(boxes, s);
    EXPECT_EQ(s.NoseR, 12.7);
    EXPECT_EQ(s.Pitch, 1);
    EXPECT_EQ(s.Width, 1000);
    EXPECT_EQ(s.D1, 0);
    EXPECT_EQ(s.D2, 0);
    EXPECT_EQ(s.A1, 2000);
    EXPECT_EQ(s.Feed[0], 0.0f);  // empty feed box
}

TEST(ShapeRead, NumbersBeyondRangeAreDataErrors) {
    ShapeBoxTexts boxes;
    boxes.Text[3] = "1E400";  // D 1
    ShapeData s;
    try {
        ReadShapeBoxes(boxes, s);
        FAIL() << "no error";
    } catch (const DataError& e) {
        EXPECT_NE(std::string(e.what()).find("D 1"), std::string::npos) << e.what();
    }
    EXPECT_EQ(s.Pitch, 0);  // read before the failure
    boxes.Text[3] = "36";
    boxes.Feed[5] = "4E38";  // fine as a double, not as a float
    EXPECT_THROW(ReadShapeBoxes(boxes, s), DataError);
    boxes.Feed[5] = "3.4E38";
    EXPECT_NO_THROW(ReadShapeBoxes(boxes, s));
}

TEST(ShapeRead, FlooredLeadShowsAsWrittenBack) {
    ShapeBoxTexts boxes = ShapeToBoxes(testing_shapes::WorkedExample());
    boxes.Text[1] = "12.7005";
    const RunResult r = ProgramOutput(GeneratorState{}, boxes, {}, "", "");
    ASSERT_TRUE(r.Succeeded);
    EXPECT_EQ(r.State.Shape.Pitch, 12.7);
    EXPECT_EQ(ShapeToBoxes(r.State.Shape).Text[1], "12.7");
}

}  // namespace
}  // namespace quillane
