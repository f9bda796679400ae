#include "shared/Misc_Units.h"

#include <cmath>

namespace {
struct Unit {
  double perMetre;
  double steps;   // steps per unit: the result is rounded to 1 / steps
  double metres;  // metres per unit
};
constexpr Unit Units[] = {
    {1000.0, 1000.0, 0.001},
    {39370.07874015748, 100.0, 2.54e-5},
    {100.0, 10000.0, 0.01},
    {39.37007874015748, 10000.0, 0.0254},
};
bool Known(int unit) { return unit >= 0 && unit < 4; }
}  // namespace

double ConvertMetresToUnit(double metres, int unit) {
  if (!Known(unit))
    return 0.0;
  const Unit& u = Units[unit];
  // Half up, then cut towards zero, as the calculator always rounded. The cut is done in floating point, so a
  // value beyond the 32-bit range is not undefined.
  return std::trunc(metres * u.perMetre * u.steps + 0.5) / u.steps;
}

double ConvertUnitToMetres(double value, int unit) { return Known(unit) ? value * Units[unit].metres : 0.0; }
