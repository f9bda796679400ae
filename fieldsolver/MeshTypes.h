// Mesh regions (outlines and interfaces made by the region builder) and boundary segments (the
// unknowns of the boundary-element solve).
#pragma once

#include "fieldsolver/Vec2.h"

#include <cstdint>
#include <vector>

enum MeshRegionKind : std::int32_t {
    REGION_RECTANGLE = 1,
    REGION_POLYGON = 2,
    REGION_CIRCLE = 3,
    REGION_HLINE = 4,
    REGION_VLINE = 5,
    REGION_POLYLINE = 6,
    REGION_SINGLE = 7,
};

struct MeshRegion {
    std::int32_t conductor = 0;   // 0 dielectric interface, else the conductor number
    std::int32_t side = 0;        // -2, -1, 0, 1, 2
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    std::int32_t kind = 0;
    std::vector<Vec2> vertices;
    // Interface materials (A: the medium after the boundary, B: before it).
    float epsA = 1, epsB = 1, lossA = 0, lossB = 0, conductivityA = 0, conductivityB = 0;
    // Conductor materials.
    float resistivity = 0, roughnessLow = 0, roughnessHigh = 0;
    std::int32_t segmentCount = 0;
    std::int32_t firstSegment = 0;

    bool IsClosed() const { return kind == REGION_RECTANGLE || kind == REGION_POLYGON || kind == REGION_CIRCLE; }
    int EdgeCount() const
    {
        switch (kind) {
        case REGION_RECTANGLE: return 4;
        case REGION_POLYGON: return int(vertices.size());
        case REGION_POLYLINE: return int(vertices.size()) - 1;
        case REGION_CIRCLE: case REGION_HLINE: case REGION_VLINE: return 1;
        default: return 0;
        }
    }
};

enum SegmentType : std::int32_t {
    SEG_STRAIGHT = 0,
    SEG_CORNER = 1,
    SEG_JUNCTION = 2,
    SEG_CAP_LEFT = 3,
    SEG_CAP_RIGHT = 4,
    SEG_CAP_LOWER = 5,
    SEG_CAP_UPPER = 6,
    SEG_BENT = 7,
};

struct BoundarySegment {
    std::int32_t type = SEG_STRAIGHT;
    float x = 0, y = 0;
    float halfLength = 0;
    float edgeExponent = 0;
    Vec2 startDir, endDir;
    Vec2 normalStart, normalEnd;
    float epsA = 1, epsB = 1, lossA = 0, lossB = 0;
    float roughnessFactor = 0;
    Vec2 thirdDir;
    float weightA = 0, weightB = 0, weightC = 0;
    float junctionExponent = 0;

    Vec2 Point() const { return Vec2{x, y}; }
};
