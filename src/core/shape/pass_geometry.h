// Profile points across one lead of the groove, and the thread pass that each point gives.
#pragma once

#include "core/shape/shape_data.h"

#include <vector>

namespace quillane {

// Truncated on purpose: the generated programs depend on this exact value.
inline constexpr double Pi = 3.141592653589;

// A run with more profile points than this fails.
inline constexpr int MaxProfilePoints = 361;

struct ProfilePoint {
    double Offset = 0;  // radial offset from the top line of its side (internal: outward, positive)
    double X = 0;       // profile diameter
    double Z = 0;       // axial position u across the lead
    int Segment = 0;    // 0..7: R1, A1, R2, floor D1, R3, A2, R4, land (the index of its feed)
};

// Values derived once per run from the record: the flank angles in radians (A2Rad after the
// adjustment for D3 differing from D2), the tool-centre radii of the arcs, the depths on
// either side and the u where each segment of the tool path ends.
struct ProfileGeometry {
    double A1Rad, A2Rad;
    double PathR1, PathR2, PathR3, PathR4;
    double DepthD2, DepthD3;
    double EndR1, EndR2, EndA1, EndD1, EndR3, EndR4, EndA2;
};

// Throws DataError where ComputeProfile would (a zero flank angle, D1 equal to D2 with D3 not).
ProfileGeometry ComputeProfileGeometry(const ShapeData& shape);

// Axial extent of the cutting: (StartPointZ - EndPointZ) + Pitch. Throws DataError on overflow.
double ComputeCutSpanZ(const ShapeData& shape);

// All profile points, in order from the R1 side to the land. Throws DataError on any
// arithmetic failure (a zero flank angle, a negative square root in an arc, more than
// MaxProfilePoints points); its text names the boxes that caused it, with their values.
std::vector<ProfilePoint> ComputeProfile(const ShapeData& shape);

// The thread pass of one profile point, from the record as it stands at that moment (the
// writers floor Pitch and EndPointZ during a run, and later passes see the floored values).
struct Pass {
    double CutX = 0;      // cut diameter
    double PassZ = 0;     // start Z
    bool Exists = false;  // lies inside the blank
};
Pass ComputePass(const ShapeData& shape, const ProfilePoint& point);

// End diameter of a tapered pass (TaperAngle != 0).
double ComputeTaperEndX(const ShapeData& shape, const Pass& pass);

}  // namespace quillane
