// The groove profile record: reading it from the dialog's texts and showing it back.
#include "core/shape/shape_data.h"

#include "core/numeric/checked_math.h"
#include "core/numeric/number_text.h"

#include <cmath>

namespace quillane {

const std::array<ShapeField, 18> ShapeFields = {{
    {"NoseR", 1, "Nose-R", &ShapeData::NoseR},
    {"Pitch", 2, "PITCH", &ShapeData::Pitch},
    {"Width", 3, "WIDTH", &ShapeData::Width},
    {"D1", 4, "D 1", &ShapeData::D1},
    {"D2", 5, "D 2", &ShapeData::D2},
    {"D3", 18, "D 3", &ShapeData::D3},
    {"A1", 6, "A 1", &ShapeData::A1},
    {"A2", 7, "A 2", &ShapeData::A2},
    {"R1", 8, "R 1", &ShapeData::R1},
    {"R2", 9, "R 2", &ShapeData::R2},
    {"R3", 10, "R 3", &ShapeData::R3},
    {"R4", 11, "R 4", &ShapeData::R4},
    {"BlankDiaX", 12, "Blank Dia  X", &ShapeData::BlankDiaX},
    {"FinishStock", 13, "Finish Stock", &ShapeData::FinishStock},
    {"StartPointZ", 14, "Start Point Z", &ShapeData::StartPointZ},
    {"EndPointZ", 15, "End Point  Z", &ShapeData::EndPointZ},
    {"TaperAngle", 16, "Taper Angle", &ShapeData::TaperAngle},
    {"RetractX", 17, "Retract      X", &ShapeData::RetractX},
}};

const std::array<const char*, 8> FeedCaptions = {"R1-F", "A1-F", "R2-F", "D1-F", "R3-F", "A2-F", "R4-F", "D2-F"};

double BoxValue(std::string_view text, const char* caption) {
    const double v = NumericValue(text);
    if (!std::isfinite(v)) {
        throw DataError(BoxLabel(caption) + " \"" + std::string(text) +
                        "\" holds a number too large to compute with (beyond about 1.8E+308)");
    }
    return v;
}

float BoxFeed(std::string_view text, const char* caption) {
    const std::string what = std::string(caption) + " \"" + std::string(text) + "\"";
    return checked::ToFloat(BoxValue(text, caption), what.c_str());
}

std::string BoxLabel(std::string_view caption) {
    std::string label;
    for (char c : caption) {
        if (c == ' ' && !label.empty() && label.back() == ' ') continue;
        label.push_back(c);
    }
    return label;
}

void ReadShapeBoxes(const ShapeBoxTexts& boxes, ShapeData& shape) {
    shape.Side = boxes.External ? 1 : -1;
    shape.DimensionsSet = true;
    for (const ShapeField& f : ShapeFields) {
        shape.*f.Member = BoxValue(boxes.Text[static_cast<std::size_t>(f.Box - 1)], f.Caption);
    }
    for (std::size_t k = 0; k < shape.Feed.size(); ++k) {
        shape.Feed[k] = BoxFeed(boxes.Feed[k], FeedCaptions[k]);
    }
}

std::string DimensionText(const ShapeData& shape, double ShapeData::*member) {
    if (!shape.DimensionsSet) return {};
    return GeneralNumberText(shape.*member, 15);
}

std::string FeedText(float feed) { return feed == 0.0f ? std::string() : GeneralNumberText(feed); }

ShapeBoxTexts ShapeToBoxes(const ShapeData& shape) {
    ShapeBoxTexts boxes;
    boxes.External = shape.Side == 1;
    for (const ShapeField& f : ShapeFields) {
        boxes.Text[static_cast<std::size_t>(f.Box - 1)] = DimensionText(shape, f.Member);
    }
    for (std::size_t k = 0; k < shape.Feed.size(); ++k) boxes.Feed[k] = FeedText(shape.Feed[k]);
    return boxes;
}

}  // namespace quillane
