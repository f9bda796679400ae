// Which dielectric lies at a point of the cross-section: one box per kept layer whose material differs
// from the space, neighbouring equal materials merged.
#pragma once

#include "fieldsolver/FieldSolverRecords.h"

#include <vector>

struct DielectricMaterial {
    float eps = 1.0f;           // relative permittivity
    float loss = 0.0f;          // permittivity x loss tangent
    float conductivity = 0.0f;  // S/m
};

// True when two materials count as different with relative tolerance t.
bool DielectricsDiffer(const DielectricMaterial& a, const DielectricMaterial& b, double t);

// The material of a model layer after neighbour filling: a routing or plane layer next to a
// dielectric with fillsNeighbours takes that dielectric's material (the next one wins).
DielectricMaterial LayerMaterial(const FieldSolverModel& model, int layer);
DielectricMaterial SpaceMaterial(const FieldSolverModel& model);

class DielectricStack {
public:
    struct Entry {
        float x0, y0, x1, y1;
        DielectricMaterial material;
    };

    // 0, or 1 when out of memory.
    int Build(const FieldSolverModel& model, float removedThickness, float left, float right, double tolerance);
    // Entry index at a point, -1 for the space.
    int EntryAt(float x, float y) const;
    DielectricMaterial MaterialAt(float x, float y) const;
    const std::vector<Entry>& Entries() const { return entries_; }
    bool Built() const { return built_; }

private:
    std::vector<Entry> entries_;
    DielectricMaterial space_;
    bool built_ = false;
};
