#pragma once

#include <cstdint>
#include <optional>

#include "engine/minutiae/Candidates.h"
#include "engine/minutiae/MinutiaList.h"
#include "engine/minutiae/WorkScan.h"

namespace vela::engine {

// Lists the endings and branching points of the spur-free skeleton again and
// turns each whose ridges run far enough into a minutia, directed along the
// ridge it starts (a branching: the mean of its two closest branches). The
// image is left with every branching point, its neighbours and the start of
// every follow cleared.
void TraceRidges(uint8_t* image, OffsetList& endings, OffsetList& branchings, MinutiaList& minutiae);

// Follows the ridge from `start` for at most 8 steps (walking order), then
// sets again every visited pixel but the start. The position reached when at
// least 6 pixels were visited, otherwise nothing.
std::optional<int> FollowRidge(uint8_t* image, int start);

// Records the set neighbours of a branching point (walking order), clears the
// point and them, and returns how many there were.
int CutBranchingPoint(uint8_t* image, int point, int (&neighbours)[8]);

// Both points at least 16 pixels inside the work area (columns 16..272, rows
// 16..384) and more than 5 pixels apart in city-block distance.
bool FarEnough(PixelPosition p, PixelPosition q);

// The mean of the two closest of three directions (24 steps).
int PairMean(int a, int b, int c);
int CircularMean(int u, int v);

} // namespace vela::engine
