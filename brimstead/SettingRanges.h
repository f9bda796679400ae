// The values the wizard pages accept for the records' numbers, in the units the pages show. A record reading a
// settings file takes its default for a value its page would refuse (no number, not finite, outside the range),
// as it does for a word it does not know, so the page shows a value it accepts and the host never gets one the
// user could not have entered.
#pragma once

#include <cfloat>
#include <cmath>

struct CSettingRange {
  double low;                       // the smallest value the page accepts, in the page's unit
  double high;                      // the largest
  double pageUnitsPerRecordUnit;    // the page shows the record's value times this

  // Whether the page accepts the record's value as it shows it.
  bool Accepts(double recordValue) const {
    const double shown = recordValue * pageUnitsPerRecordUnit;
    return std::isfinite(shown) && shown >= low && shown <= high;
  }
  // The record's value when the page accepts it, else `fallback`.
  double AcceptedOr(double recordValue, double fallback) const { return Accepts(recordValue) ? recordValue : fallback; }
};

// The target impedance page: milliohms; the record holds ohms.
inline constexpr CSettingRange kTargetImpedanceRange{0.001, 10000.0, 1000.0};
// The frequency page's minimum and maximum: megahertz, the maximum above the minimum; the record holds hertz (a
// larger maximum would overflow the record's hertz).
inline constexpr CSettingRange kFrequencyRange{0.001, 1e300, 1e-6};
// The via-model and extractor pages' normal impedance: ohms, as the record holds it.
inline constexpr CSettingRange kNormalImpedanceRange{0.001, 10000.0, 1.0};
// The frequency page's sample counts (whole numbers; 0 asks for the analysis's own count).
inline constexpr CSettingRange kSampleCountRange{0.0, 9999.0, 1.0};
// The debug page's time-domain interval: any number.
inline constexpr CSettingRange kFDTDIntervalRange{-DBL_MAX, DBL_MAX, 1.0};
