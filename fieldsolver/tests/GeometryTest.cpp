// Validation, DC resistance, model trimming, outline operations, dielectric stack, regions and mesh.
#include "CanonicalCases.h"
#include "fieldsolver/FieldSolver.h"
#include "fieldsolver/ModelOperations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace canonical;

namespace {

constexpr float kMil = 2.54e-5f;

// Runs the checks and the region builder of a solve on its own solver object.
int Regions(FieldSolver& s, const CrossSection& cs)
{
    const FieldSolverInput in = cs.Input();
    if (s.CheckExtent(cs.layers, cs.traces, in.LeftEdgeX, in.RightEdgeX) != FS_OK)
        return FS_SINGULAR;
    BuildModel(s.model, in, s.accuracyLevel, s.boardEdgesUsed, false, false, s.removedThickness);
    return s.BuildRegions();
}

CrossSection Microstrip(float eps = 1.0f)
{
    CrossSection cs;
    cs.layers = {Layer(0.0f, FS_LAYER_ROUTING), Layer(4 * kMil, FS_LAYER_DIELECTRIC, eps), Layer(kMil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, 0.0f, 8 * kMil, 1)};
    return cs;
}

} // namespace

TEST(Validation, CodesComeInTheirOrder)
{
    FieldSolver s;
    CrossSection cs = Microstrip();
    EXPECT_EQ(Regions(s, cs), FS_OK);

    CrossSection noLayers = cs;
    noLayers.layers.clear();
    EXPECT_EQ(Regions(s, noLayers), FS_NO_LAYERS);
    CrossSection noTraces = cs;
    noTraces.traces.clear();
    EXPECT_EQ(Regions(s, noTraces), FS_NO_TRACES);
    CrossSection badEps = cs;
    badEps.layers[1].DielConstant = 0.99f;
    EXPECT_EQ(Regions(s, badEps), FS_BAD_LAYER);
    CrossSection badWidth = cs;
    badWidth.traces[0].TopWidth = -1e-6f;
    EXPECT_EQ(Regions(s, badWidth), FS_BAD_TRACE);
    CrossSection badLayerIndex = cs;
    badLayerIndex.traces[0].LayerIndex = 7;
    EXPECT_EQ(Regions(s, badLayerIndex), FS_BAD_TRACE);
    CrossSection onDielectric = cs;
    onDielectric.traces[0].LayerIndex = 2;
    EXPECT_EQ(Regions(s, onDielectric), FS_TRACE_ON_DIELECTRIC);
    CrossSection gap = cs;
    gap.traces = {Trace(1, -20 * kMil, 4 * kMil, 1), Trace(1, 20 * kMil, 4 * kMil, 3)};
    EXPECT_EQ(Regions(s, gap), FS_BAD_CONDUCTOR_NUMBER);
    CrossSection allReturn = cs;
    allReturn.traces[0].conductor = 0;
    EXPECT_EQ(Regions(s, allReturn), FS_NO_TRACES);
    CrossSection touching = cs;
    touching.traces = {Trace(1, -2 * kMil, 4 * kMil, 1), Trace(1, 2 * kMil, 4 * kMil, 1)};
    EXPECT_EQ(Regions(s, touching), FS_TRACES_OVERLAP);
    CrossSection far = cs;   // a wide bus far above its plane is fine; a plane too close to it is not
    far.traces = {Trace(1, -3000 * kMil, 4 * kMil, 1), Trace(1, 3000 * kMil, 4 * kMil, 2)};
    far.layers[1].Thickness = 0.001f * kMil;
    EXPECT_EQ(Regions(s, far), FS_SINGULAR);
    CrossSection floating;   // a wire in free space has nothing to return through
    floating.layers = {Layer(4 * kMil, FS_LAYER_ROUTING)};
    floating.traces = {Trace(1, 0.0f, 0.0f, 1)};
    EXPECT_EQ(Regions(s, floating), FS_NO_REFERENCE);
}

// Values that are not numbers, media below the vacuum and conductors that touch each other or a
// plane are refused; each of these used to pass and come back as a result (or as a misleading code).
TEST(Validation, BadValuesAndTouchingConductorsAreRefused)
{
    const float nan = std::nanf(""), inf = INFINITY;
    FieldSolver s;
    const CrossSection cs = Microstrip(4.3f);
    auto with = [&](auto change) {
        CrossSection c = cs;
        change(c);
        return Regions(s, c);
    };
    // Media: the space outside the stack, infinite permittivities, NaN or negative losses.
    for (float eps : {0.0f, 0.5f, nan, inf})
        EXPECT_EQ(with([&](CrossSection& c) { c.spaceEps = eps; }), FS_BAD_LAYER) << eps;
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[1].DielConstant = inf; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[0].resistivity = -1.7e-8f; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[2].resistivity = nan; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[1].propertyA = -0.02f; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[1].propertyB = inf; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[0].propertyD = nan; }), FS_BAD_LAYER);
    EXPECT_EQ(with([&](CrossSection& c) { c.layers[0].resistivity = 1.7e-8f; c.layers[1].propertyA = 0.02f; }), FS_OK);

    // Round wires span their diameter: two wires 0.5 mil apart in a 4 mil layer overlap; 5 mil apart they do not.
    CrossSection wires;
    wires.layers = {Layer(4 * kMil, FS_LAYER_ROUTING), Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    wires.traces = {Trace(1, 0.0f, 0.0f, 1), Trace(1, 0.5f * kMil, 0.0f, 2)};
    EXPECT_EQ(Regions(s, wires), FS_TRACES_OVERLAP);
    wires.traces[1].Center = 5 * kMil;
    EXPECT_EQ(Regions(s, wires), FS_OK);

    // Traces in two routing layers with nothing between them touch where their faces meet.
    CrossSection stacked = cs;
    stacked.layers.insert(stacked.layers.begin(), Layer(kMil, FS_LAYER_ROUTING));
    stacked.traces = {Trace(1, 0.0f, 4 * kMil, 1), Trace(2, 3 * kMil, 4 * kMil, 2)};
    EXPECT_EQ(Regions(s, stacked), FS_TRACES_OVERLAP);
    stacked.traces[1].Center = 10 * kMil;
    EXPECT_EQ(Regions(s, stacked), FS_OK);

    // A signal trace on a plane layer with no dielectric between them is shorted to the plane.
    CrossSection onPlane;
    onPlane.layers = {Layer(kMil, FS_LAYER_ROUTING), Layer(0.0f, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    onPlane.traces = {Trace(1, 0.0f, 8 * kMil, 1)};
    EXPECT_EQ(Regions(s, onPlane), FS_TRACES_OVERLAP);

    // A trace in a plane layer: a NaN clearance is a bad trace; no clearance on one side touches the plane,
    // even when another trace keeps the clearance of the cross-section large.
    CrossSection coplanar;
    coplanar.layers = {Layer(kMil, FS_LAYER_PLANE), Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(0.0f, FS_LAYER_ROUTING)};
    coplanar.traces = {Trace(1, 0.0f, 4 * kMil, 1, 4 * kMil), Trace(3, 40 * kMil, 4 * kMil, 2)};
    EXPECT_EQ(Regions(s, coplanar), FS_OK);
    coplanar.traces[0].LeftXtoPlane = nan;
    EXPECT_EQ(Regions(s, coplanar), FS_BAD_TRACE);
    coplanar.traces[0].LeftXtoPlane = inf;
    EXPECT_EQ(Regions(s, coplanar), FS_BAD_TRACE);
    coplanar.traces[0].LeftXtoPlane = 0.0f;
    EXPECT_EQ(Regions(s, coplanar), FS_TRACES_OVERLAP);

    // A finite board: NaN or crossed edges, and a trace beyond an edge.
    s.finiteBoard = 1;
    CrossSection board = cs;
    board.leftEdge = -40 * kMil;
    board.rightEdge = 40 * kMil;
    EXPECT_EQ(Regions(s, board), FS_OK);
    board.traces[0].Center = 60 * kMil;
    EXPECT_EQ(Regions(s, board), FS_BAD_TRACE);
    board.traces[0].Center = 0.0f;
    std::swap(board.leftEdge, board.rightEdge);
    EXPECT_EQ(Regions(s, board), FS_SINGULAR);   // the extent check
    board.leftEdge = nan;
    EXPECT_EQ(Regions(s, board), FS_SINGULAR);
}

TEST(DcResistance, ParallelTracesAndReturnPaths)
{
    CrossSection cs;
    cs.layers = {Layer(kMil, FS_LAYER_PLANE), Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(2 * kMil, FS_LAYER_ROUTING),
                 Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    for (int k : {0, 2, 4})
        cs.layers[std::size_t(k)].resistivity = 1.7e-8f;
    cs.traces = {Trace(3, 0.0f, 5 * kMil, 1)};
    OutputRoom out(1);
    FieldSolver::ComputeDcResistance(cs.Input(), false, out.output);
    const double own = 1.7e-8 / (5.0 * kMil * 2.0 * kMil);
    EXPECT_NEAR(out.output.dcResistance[0], own, own * 1e-5);   // unbounded planes add nothing

    // Two traces of one conductor conduct in parallel.
    cs.traces = {Trace(3, -10 * kMil, 5 * kMil, 1), Trace(3, 10 * kMil, 5 * kMil, 1)};
    FieldSolver::ComputeDcResistance(cs.Input(), false, out.output);
    EXPECT_NEAR(out.output.dcResistance[0], own / 2, own * 1e-5);

    // A round wire's area is t^2 pi/4; a return trace on a perfect layer is skipped, not the end of the sum.
    CrossSection wires;
    wires.layers = {Layer(4 * kMil, FS_LAYER_ROUTING), Layer(4 * kMil, FS_LAYER_ROUTING)};
    wires.layers[0].resistivity = 1e-7f;
    wires.layers[1].resistivity = 2e-7f;
    wires.traces = {Trace(1, 0.0f, 0.0f, 1), Trace(1, 20 * kMil, 4 * kMil, 0), Trace(2, 0.0f, 4 * kMil, 0)};
    wires.layers.push_back(Layer(kMil, FS_LAYER_ROUTING));   // perfect conductor layer
    wires.traces.insert(wires.traces.begin() + 1, Trace(3, 0.0f, 4 * kMil, 0));
    FieldSolver::ComputeDcResistance(wires.Input(), false, out.output);
    const double a = 4.0 * kMil * 4.0 * kMil;
    const double wire = 1e-7 / (a * 0.7853982);
    const double ret = 1.0 / (a / 1e-7 + a / 2e-7);
    EXPECT_NEAR(out.output.dcResistance[0], wire + ret, (wire + ret) * 1e-5);
}

TEST(ModelTrimming, KeepsTheNearestPlanesOutsideTheTraceLayers)
{
    std::vector<FieldSolverLayer> layers = {Layer(1e-5f, FS_LAYER_PLANE),  Layer(1e-4f, FS_LAYER_DIELECTRIC), Layer(1e-5f, FS_LAYER_PLANE),
                                            Layer(1e-4f, FS_LAYER_DIELECTRIC), Layer(0.0f, FS_LAYER_ROUTING), Layer(1e-4f, FS_LAYER_DIELECTRIC),
                                            Layer(1e-5f, FS_LAYER_PLANE), Layer(1e-4f, FS_LAYER_DIELECTRIC)};
    std::vector<FieldSolverTrace> traces = {Trace(5, 0.0f, 1e-4f, 1)};
    FieldSolverInput in{int(layers.size()), layers.data(), int(traces.size()), traces.data(), -1, 1, 1, 0, 0};
    FieldSolverModel m;
    float removed = -1;
    ASSERT_TRUE(BuildModel(m, in, 1, false, false, false, removed));
    ASSERT_EQ(m.layerCount(), 5);   // planes 3 and 7 and what lies between
    EXPECT_EQ(m.traces[0].LayerIndex, 3);
    EXPECT_FLOAT_EQ(removed, 1.1e-4f);

    // Traces on the first layer keep the stack from there; a plane that holds traces never ends it.
    traces = {Trace(1, 0.0f, 1e-4f, 1)};
    in.traces = traces.data();
    ASSERT_TRUE(BuildModel(m, in, 1, false, false, false, removed));
    EXPECT_EQ(m.layerCount(), 3);
    EXPECT_EQ(removed, 0.0f);
    traces = {Trace(3, 0.0f, 1e-4f, 1, 1e-4f)};
    in.traces = traces.data();
    ASSERT_TRUE(BuildModel(m, in, 1, false, false, false, removed));
    EXPECT_EQ(m.layerCount(), 7);   // from plane 1 over the coplanar plane 3 to plane 7
    ASSERT_TRUE(CopyModel(m, in, 1, false, false, false));
    EXPECT_EQ(m.layerCount(), 8);
}

TEST(OutlineOperations, PlanePiecesAroundTraces)
{
    FieldSolverModel m;
    m.layers = {Layer(0.0f, FS_LAYER_PLANE)};
    m.traces = {Trace(1, 5.0f, 2.0f, 2, 1.0f), Trace(1, -5.0f, 2.0f, 1, 1.0f)};
    auto pieces = LayerTraces(m, 0, -20.0f, 20.0f);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0].conductor, 0);
    EXPECT_FLOAT_EQ(pieces[0].Center, -13.5f);   // -20 .. -7
    EXPECT_EQ(pieces[1].conductor, 1);
    EXPECT_FLOAT_EQ(pieces[2].TopWidth, 6.0f);   // -3 .. 3
    EXPECT_EQ(pieces[3].conductor, 2);
    // Touching cut-outs leave no piece between them.
    m.traces = {Trace(1, -2.0f, 2.0f, 1, 1.0f), Trace(1, 2.0f, 2.0f, 2, 1.0f)};
    EXPECT_EQ(LayerTraces(m, 0, -20.0f, 20.0f).size(), 4u);
    // A routing layer without traces has nothing.
    m.layers[0].LayerType = FS_LAYER_ROUTING;
    m.traces.clear();
    EXPECT_TRUE(LayerTraces(m, 0, -20.0f, 20.0f).empty());
}

TEST(OutlineOperations, SegmentIntersectionKinds)
{
    Vec2 x;
    EXPECT_EQ(SegmentIntersection({0, 0}, {1, 0}, {0, 1}, {1, 1}, x), CROSS_PARALLEL);
    EXPECT_EQ(SegmentIntersection({0, 0}, {2, 0}, {1, 0}, {3, 0}, x), CROSS_COLLINEAR_OVERLAP);
    EXPECT_EQ(SegmentIntersection({0, 0}, {2, 2}, {0, 2}, {2, 0}, x), CROSS_INSIDE);
    EXPECT_FLOAT_EQ(x.x, 1.0f);
    EXPECT_EQ(SegmentIntersection({0, 0}, {1, 0}, {1, 0}, {1, 1}, x), CROSS_OUTSIDE);   // meeting at an end
}

TEST(OutlineOperations, OffsetPolylineMovesEdgesAndCutsLoops)
{
    std::vector<Vec2> two = {{0, 0}, {2, 0}};
    OffsetPolyline(two, 1.0);
    EXPECT_FLOAT_EQ(two[0].y, 1.0f);
    EXPECT_FLOAT_EQ(two[1].y, 1.0f);
    // A bump narrower than twice the offset folds over itself; the loop is cut away.
    std::vector<Vec2> bump = {{-10, 0}, {-0.5f, 0}, {-0.5f, -1}, {0.5f, -1}, {0.5f, 0}, {10, 0}};
    OffsetPolyline(bump, 2.0);
    for (std::size_t i = 0; i + 1 < bump.size(); ++i)
        for (std::size_t j = i + 2; j + 1 < bump.size(); ++j) {
            Vec2 x;
            EXPECT_NE(SegmentIntersection(bump[i], bump[i + 1], bump[j], bump[j + 1], x), CROSS_INSIDE);
        }
    EXPECT_FLOAT_EQ(bump.front().y, 2.0f);
}

TEST(DielectricStack, MergesNearlyEqualLayersAndSamplesTheSpace)
{
    FieldSolverModel m;
    m.layers = {Layer(1.0f, FS_LAYER_DIELECTRIC, 4.0f), Layer(1.0f, FS_LAYER_DIELECTRIC, 4.02f), Layer(1.0f, FS_LAYER_DIELECTRIC, 1.0f)};
    DielectricStack stack;
    ASSERT_EQ(stack.Build(m, 0.0f, -5.0f, 5.0f, 0.01), 0);
    ASSERT_EQ(stack.Entries().size(), 1u);
    EXPECT_FLOAT_EQ(stack.Entries()[0].material.eps, 4.01f);
    EXPECT_FLOAT_EQ(stack.Entries()[0].y1, 2.0f);
    EXPECT_EQ(stack.EntryAt(0.0f, 2.5f), -1);
    EXPECT_FLOAT_EQ(stack.MaterialAt(0.0f, 2.5f).eps, 1.0f);
    EXPECT_FLOAT_EQ(stack.MaterialAt(0.0f, 0.5f).eps, 4.01f);
    EXPECT_TRUE(DielectricsDiffer({4.0f, 0, 0}, {4.2f, 0, 0}, 0.01));
    EXPECT_TRUE(DielectricsDiffer({4.0f, 0.08f, 0}, {4.0f, 0.04f, 0}, 0.01));
}

TEST(RegionBuilder, TraceShapesFollowTheirWidths)
{
    FieldSolver s;
    CrossSection cs;
    cs.layers = {Layer(3.5e-5f, FS_LAYER_ROUTING), Layer(1e-4f, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    FieldSolverTrace triangle = Trace(1, 0.0f, 0.0f, 1);
    triangle.BottomWidth = 2e-4f;
    cs.traces = {triangle};
    ASSERT_EQ(Regions(s, cs), FS_OK);
    const MeshRegion& t = s.regions[0];
    ASSERT_EQ(t.kind, REGION_POLYGON);
    ASSERT_EQ(t.vertices.size(), 3u);
    EXPECT_FLOAT_EQ(t.vertices[0].x, 0.0f);
    EXPECT_FLOAT_EQ(t.vertices[0].y, 0.0f);   // apex on the top face

    cs.traces = {Trace(1, 0.0f, 3e-6f, 1)};   // narrower than a tenth of the layer
    ASSERT_EQ(Regions(s, cs), FS_OK);
    EXPECT_EQ(s.regions[0].kind, REGION_VLINE);
}

TEST(RegionBuilder, OuterPlanesBecomeLinesAtTheirInnerFaces)
{
    FieldSolver s;
    CrossSection cs;
    cs.layers = {Layer(kMil, FS_LAYER_PLANE), Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4.0f), Layer(kMil, FS_LAYER_ROUTING, 4.0f),
                 Layer(4 * kMil, FS_LAYER_DIELECTRIC, 4.0f), Layer(kMil, FS_LAYER_PLANE)};
    cs.traces = {Trace(3, 0.0f, 5 * kMil, 1)};
    ASSERT_EQ(Regions(s, cs), FS_OK);
    int planes = 0;
    for (const auto& r : s.regions) {
        EXPECT_NE(r.conductor, 0) << "equal dielectrics make no interface";
        if (r.conductor == s.referenceConductor) {
            ++planes;
            EXPECT_EQ(r.kind, REGION_HLINE);
            EXPECT_FLOAT_EQ(r.y0, r.side == -2 ? kMil : 10 * kMil);
        }
    }
    EXPECT_EQ(planes, 2);
}

TEST(RegionBuilder, InterfacesAreCutWhereConductorsCrossThem)
{
    FieldSolver s;
    CrossSection cs = Microstrip(4.3f);
    ASSERT_EQ(Regions(s, cs), FS_OK);
    std::vector<const MeshRegion*> interfaces;
    for (const auto& r : s.regions)
        if (r.conductor == 0)
            interfaces.push_back(&r);
    ASSERT_EQ(interfaces.size(), 2u);   // left and right of the strip
    EXPECT_NEAR(interfaces[0]->x1, -4 * kMil, 1e-9);
    EXPECT_NEAR(interfaces[1]->x0, 4 * kMil, 1e-9);
    EXPECT_FLOAT_EQ(interfaces[0]->epsA, 4.3f);   // the medium below (after) the boundary
    EXPECT_FLOAT_EQ(interfaces[0]->epsB, 1.0f);
}

TEST(Mesh, MinimumTotalAndCircleCounts)
{
    FieldSolver s;
    CrossSection wire;
    wire.layers = {Layer(8 * kMil, FS_LAYER_ROUTING), Layer(8 * kMil, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    wire.traces = {Trace(1, 0.0f, 0.0f, 1)};
    for (int level : {0, 1, 2}) {
        s.accuracyLevel = level;
        ASSERT_EQ(Regions(s, wire), FS_OK);
        const int total = s.BuildMesh();
        ASSERT_GT(total, 0);
        // The totals are raised to about 35 x 2^level when the plan falls short.
        EXPECT_GE(total, 35 * (1 << level) * 9 / 10) << level;
        int sum = 0;
        for (const auto& r : s.regions) {
            EXPECT_EQ(r.firstSegment, sum);
            sum += r.segmentCount;
        }
        EXPECT_EQ(sum, total);
    }
    // A reference circle gets 8 x 2^level chords whatever its size.
    CrossSection pair;
    pair.layers = {Layer(8 * kMil, FS_LAYER_ROUTING)};
    pair.traces = {Trace(1, -20 * kMil, 0.0f, 1), Trace(1, 20 * kMil, 0.0f, 0)};
    s.accuracyLevel = 2;
    ASSERT_EQ(Regions(s, pair), FS_OK);
    ASSERT_GT(s.BuildMesh(), 0);
    for (const auto& r : s.regions)
        if (r.conductor == s.referenceConductor) {
            EXPECT_GE(r.segmentCount, 32);
        }
}

TEST(Mesh, OutlineNormalsPointOutOfTheConductor)
{
    FieldSolver s;
    CrossSection cs;
    cs.layers = {Layer(2 * kMil, FS_LAYER_ROUTING), Layer(4 * kMil, FS_LAYER_DIELECTRIC), Layer(kMil, FS_LAYER_PLANE)};
    cs.traces = {Trace(1, 0.0f, 10 * kMil, 1)};
    ASSERT_EQ(Regions(s, cs), FS_OK);
    ASSERT_GT(s.BuildMesh(), 0);
    const MeshRegion& trace = s.regions[0];
    ASSERT_EQ(trace.kind, REGION_RECTANGLE);
    const Vec2 centre{0.0f, kMil};
    int corners = 0;
    for (int i = trace.firstSegment; i < trace.firstSegment + trace.segmentCount; ++i) {
        const BoundarySegment& seg = s.segments[std::size_t(i)];
        const Vec2 out = seg.Point() - centre;
        EXPECT_GT(Dot(seg.normalEnd, out), 0.0) << i;
        if (seg.type == SEG_CORNER) {
            ++corners;
            EXPECT_NEAR(seg.edgeExponent, 1.0f / 3.0f, 1e-6);
        }
    }
    EXPECT_EQ(corners, 4);
}
