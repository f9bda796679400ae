// Closed-form potential and field kernels of a boundary segment.
//
// Units: the potential of a unit charge is -2 ln(distance) (that is, charge / (4 pi eps0) times
// this value gives volts), so a solved charge q corresponds to 4 pi eps0 q coulombs per metre.
// Fields are the gradient of that potential (minus the electric field). Everything is evaluated
// in extended precision and returned as float.
#pragma once

#include "fieldsolver/MeshTypes.h"

namespace kernels {

// Uniform charge on -1 <= t <= 1 of the local x axis.
long double UniformPotential(long double x, long double y);
void UniformField(long double x, long double y, long double& fx, long double& fy);
// Charge on 0 <= t <= 1 whose cumulative amount grows as t^(1 - e) (singular at t = 0).
long double EdgePotential(long double x, long double y, long double e);
void EdgeField(long double x, long double y, long double e, long double& fx, long double& fy);

enum class JunctionForm { Dielectric, Vacuum };

// Potential at p of a unit charge on segment s; logScale is the log of the mesh length scale.
float SegmentPotential(const BoundarySegment& s, Vec2 p, double logScale, JunctionForm form);
// The part that does not depend on the field point: logScale - 2 ln(halfLength).
long double PotentialBase(const BoundarySegment& s, double logScale);
// The same potential with the base computed once per segment (assembly evaluates it per row).
float SegmentPotentialFromBase(const BoundarySegment& s, Vec2 p, long double base, JunctionForm form);
// Field (gradient of the potential) at p of a unit charge on s, in board axes.
Vec2 SegmentField(const BoundarySegment& s, Vec2 p);
// Self term of an interface segment in the flux-continuity rows.
inline double SelfField(const BoundarySegment& s) { return -2.0 * 3.14159265358979323846 / (2.0 * s.halfLength); }

} // namespace kernels
