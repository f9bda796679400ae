#include "fieldsolver/DielectricStack.h"

#include <cmath>
#include <new>

bool DielectricsDiffer(const DielectricMaterial& a, const DielectricMaterial& b, double t)
{
    const double sa = std::sqrt(double(a.eps)), sb = std::sqrt(double(b.eps));
    if (std::fabs(sa - sb) >= t * std::sqrt(std::fmin(double(a.eps), double(b.eps))))
        return true;
    const double ml = (double(a.loss) + b.loss) / 2;
    if (ml != 0.0 && std::fabs(double(a.loss) - b.loss) > 10.0 * t * ml)
        return true;
    const double mc = (double(a.conductivity) + b.conductivity) / 2;
    return mc != 0.0 && std::fabs(double(a.conductivity) - b.conductivity) > 10.0 * t * mc;
}

namespace {

DielectricMaterial OwnMaterial(const FieldSolverLayer& l)
{
    return DielectricMaterial{l.DielConstant, l.DielConstant * l.propertyA, l.propertyB};
}

bool Fills(const FieldSolverModel& model, int k)
{
    return k >= 0 && k < model.layerCount() && IsDielectric(model.layers[k]) && model.layers[k].fillsNeighbours != 0;
}

} // namespace

DielectricMaterial LayerMaterial(const FieldSolverModel& model, int layer)
{
    const FieldSolverLayer& l = model.layers[layer];
    DielectricMaterial m = OwnMaterial(l);
    if (!IsDielectric(l)) {
        if (Fills(model, layer - 1))
            m = OwnMaterial(model.layers[layer - 1]);
        if (Fills(model, layer + 1))
            m = OwnMaterial(model.layers[layer + 1]);
    }
    return m;
}

DielectricMaterial SpaceMaterial(const FieldSolverModel& model)
{
    return DielectricMaterial{model.SpaceDielConstant, model.SpaceDielConstant * model.spacePropertyA, model.spacePropertyB};
}

int DielectricStack::Build(const FieldSolverModel& model, float removedThickness, float left, float right, double tolerance)
{
    entries_.clear();
    built_ = false;
    space_ = SpaceMaterial(model);
    try {
        entries_.reserve(model.layers.size());
        double y = removedThickness;
        for (int k = 0; k < model.layerCount(); ++k) {
            const double next = y + model.layers[k].Thickness;
            const DielectricMaterial m = LayerMaterial(model, k);
            if (DielectricsDiffer(m, space_, tolerance))
                entries_.push_back(Entry{left, float(y), right, float(next), m});
            y = next;
        }
    } catch (const std::bad_alloc&) {
        entries_.clear();
        return 1;
    }
    // Merge touching neighbours of one material; the merged entry takes the mean material.
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i + 1 < entries_.size(); ++i) {
            Entry& a = entries_[i];
            const Entry& b = entries_[i + 1];
            if (!DielectricsDiffer(a.material, b.material, tolerance) && a.y1 == b.y0) {
                a.y1 = b.y1;
                a.material.eps = (a.material.eps + b.material.eps) / 2;
                a.material.loss = (a.material.loss + b.material.loss) / 2;
                a.material.conductivity = (a.material.conductivity + b.material.conductivity) / 2;
                entries_.erase(entries_.begin() + long(i) + 1);
                merged = true;
                break;
            }
        }
    }
    built_ = true;
    return 0;
}

int DielectricStack::EntryAt(float x, float y) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        if (e.x0 <= x && x <= e.x1 && e.y0 <= y && y <= e.y1)
            return int(i);
    }
    return -1;
}

DielectricMaterial DielectricStack::MaterialAt(float x, float y) const
{
    const int i = EntryAt(x, y);
    return i < 0 ? space_ : entries_[std::size_t(i)].material;
}
