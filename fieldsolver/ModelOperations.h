// Building the solver's working model from a caller's input, and the outline operations that the
// region builder uses (layer pieces, polyline offset, segment intersection, coating surface).
#pragma once

#include "fieldsolver/FieldSolverRecords.h"
#include "fieldsolver/Vec2.h"

#include <vector>

// Resets the model and fills it from the input. Unless boardEdgesUsed is set, the stack is trimmed to
// the nearest plane strictly outside the trace layers on each side (a plane that holds traces, such as
// a coplanar ground, never ends the stack). removedThickness receives the thickness of the dropped
// leading layers. False (and an empty model) when memory runs out.
bool BuildModel(FieldSolverModel& model, const FieldSolverInput& input, int accuracyLevel, bool boardEdgesUsed,
                bool lossesEnabled, bool extraLossEnabled, float& removedThickness);
// The same without trimming.
bool CopyModel(FieldSolverModel& model, const FieldSolverInput& input, int accuracyLevel, bool boardEdgesUsed,
               bool lossesEnabled, bool extraLossEnabled);
void ResetModel(FieldSolverModel& model);
int HighestConductor(const FieldSolverModel& model);

// The traces of a layer (0-based index) sorted by centre; for a plane layer also the metal pieces
// (conductor 0) between the traces' cut-outs from `left` to `right`. Empty when there is nothing.
std::vector<FieldSolverTrace> LayerTraces(const FieldSolverModel& model, int layer, float left, float right);

// Moves a polyline sideways by d (positive: to the left of the walking direction turned
// counter-clockwise) and removes the loops the move creates. Returns the new point count.
int OffsetPolyline(std::vector<Vec2>& points, double d);

enum SegmentCrossing { CROSS_PARALLEL = 0, CROSS_COLLINEAR_OVERLAP = 1, CROSS_INSIDE = 2, CROSS_OUTSIDE = 3 };
int SegmentIntersection(Vec2 a0, Vec2 a1, Vec2 b0, Vec2 b1, Vec2& crossing);

// Surface of a coating dielectric layer (0-based index) over the traces of the routing layer on its
// non-air side, offset by the coating's thickness away from the traces. layerTop is the y of the top of
// each layer (layerCount + 1 values). Empty when the layer has no air-like neighbour or the routing
// layer holds no trace.
std::vector<Vec2> SurfacePolyline(const FieldSolverModel& model, int layer, const std::vector<float>& layerTop,
                                  float left, float right, bool closing);
