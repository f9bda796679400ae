// Length units of the mounting-inductance calculator: 0 millimetres, 1 mils, 2 centimetres, 3 inches.
#pragma once

// Metres in the unit, rounded to the unit's step (0.001 mm, 0.01 mil, 0.0001 cm, 0.0001 inch). An unknown unit
// gives 0.
double ConvertMetresToUnit(double metres, int unit);
// A value in the unit, in metres; an unknown unit gives 0.
double ConvertUnitToMetres(double value, int unit);
