// Computing core of the mounting-inductance (ESL) calculator: the capacitor body as one trace of the
// body's width over its reference plane, solved per unit length and multiplied by the body's length.
#pragma once

enum class EslMountSide { Top, Bottom };

struct EslGeometry {
    double bodyWidth = 0.0;        // metres
    double bodyLength = 0.0;       // metres
    double mountThickness = 0.0;   // the mount (routing) layer, metres
    double gapThickness = 0.0;     // all layers between the mount layer and the reference plane, metres
    double planeThickness = 0.0;   // the reference plane layer, metres
    EslMountSide side = EslMountSide::Top;
};

struct EslResult {
    int code = 0;               // 0, a solver code, or FS_BAD_TRACE/FS_BAD_LAYER for refused geometry
    double inductance = 0.0;    // henries; only meaningful when code is 0
};

// Runs FieldSolverInit, FieldSolverCompute and FieldSolverClose. A failed solve is reported in the
// code and never turned into a value; a body that touches its plane (zero gap) is refused.
EslResult ComputeMountingInductance(const EslGeometry& geometry);
