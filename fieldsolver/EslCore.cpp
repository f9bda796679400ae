#include "fieldsolver/EslCore.h"

#include "fieldsolver/FieldSolverApi.h"

#include <cmath>

EslResult ComputeMountingInductance(const EslGeometry& g)
{
    EslResult result;
    // A zero gap would put the body on the plane: the per-unit-length inductance has no meaning.
    if (!(g.gapThickness > 0.0) || !std::isfinite(g.gapThickness) || !(g.mountThickness >= 0.0) || !(g.planeThickness >= 0.0))
        return EslResult{FS_BAD_LAYER, 0.0};
    if (!(g.bodyWidth > 0.0) || !(g.bodyLength > 0.0) || !std::isfinite(g.bodyWidth) || !std::isfinite(g.bodyLength))
        return EslResult{FS_BAD_TRACE, 0.0};
    const bool top = g.side == EslMountSide::Top;
    FieldSolverLayer layers[3] = {};
    layers[0].Thickness = float(top ? g.mountThickness : g.planeThickness);
    layers[0].DielConstant = 1.0f;
    layers[0].LayerType = top ? FS_LAYER_ROUTING : FS_LAYER_PLANE;
    layers[1].Thickness = float(g.gapThickness);
    layers[1].DielConstant = 1.0f;
    layers[1].LayerType = FS_LAYER_DIELECTRIC;
    layers[2].Thickness = float(top ? g.planeThickness : g.mountThickness);
    layers[2].DielConstant = 1.0f;
    layers[2].LayerType = top ? FS_LAYER_PLANE : FS_LAYER_ROUTING;
    FieldSolverTrace trace{};
    trace.LayerIndex = top ? 1 : 3;
    trace.Center = 0.0f;
    trace.TopWidth = trace.BottomWidth = float(g.bodyWidth);
    trace.LeftXtoPlane = -1.0f;
    trace.RightXtoPlane = 1.0f;
    trace.conductor = 1;
    FieldSolverInput input;
    input.layerCount = 3;
    input.layers = layers;
    input.traceCount = 1;
    input.traces = &trace;
    input.LeftEdgeX = -1.0f;
    input.RightEdgeX = 1.0f;
    input.SpaceDielConstant = 1.0f;
    float room[12] = {};
    FieldSolverOutput output;
    output.conductorCount = 1;
    float** fields[12] = {&output.capacitance, &output.inductance, &output.speeds, &output.modesToTraces, &output.tracesToModes,
                          &output.impedance, &output.equivalentResistors, &output.dcResistance, &output.extraMatrixA,
                          &output.extraMatrixB, &output.extraMatrixC, &output.extraMatrixD};
    for (int i = 0; i < 12; ++i)
        *fields[i] = &room[i];
    int code = FieldSolverInit();
    if (code == FS_OK)
        code = FieldSolverCompute(input, output);
    const int closeCode = FieldSolverClose();
    if (code == FS_OK && closeCode != FS_OK)
        code = closeCode;
    if (code != FS_OK || output.conductorCount != 1 || !(room[1] > 0.0f))
        return EslResult{code != FS_OK ? code : FS_NOT_POSITIVE, 0.0};
    result.inductance = g.bodyLength * double(room[1]);
    return result;
}
