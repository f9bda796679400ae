// The values the wizard pages accept for the records' numbers, in the units the pages show, and how a page turns
// a record's number into its edit's and back. A page reads a number as its edit shows it (plat::ShownDdxDouble: 15
// significant digits, in the page's unit), judges that and stores it in the record's unit; a record reading a
// settings file takes a number exactly so, and its default for a number the page would refuse (no number, not
// finite, outside the range, a frequency out of order), as it does for a word it does not know. So the page shows
// a value it accepts, and the host gets the number a Next on the page would have stored.
#pragma once

#include "platform/framework/CDataExchange.h"

#include <cfloat>
#include <optional>

struct CSettingRange {
  double low;                       // the smallest value the page accepts, in the page's unit
  double high;                      // the largest
  double pageUnitsPerRecordUnit;    // the page shows the record's value times this
  double recordUnitsPerPageUnit;    // and stores the number it reads back times this

  // The number the page's edit gives back for the record's value, in the page's unit; none when the text the edit
  // shows reads as no number (a value beyond the largest double once shown).
  std::optional<double> Shown(double recordValue) const {
    return plat::ShownDdxDouble(recordValue * pageUnitsPerRecordUnit);
  }
  // Whether the page's range takes a number its edit gives back.
  bool TakesShown(double shown) const { return shown >= low && shown <= high; }
  // The record's value for a number the page took.
  double Stored(double shown) const { return shown * recordUnitsPerPageUnit; }
  // Whether the page accepts the record's value as it shows it.
  bool Accepts(double recordValue) const {
    const std::optional<double> shown = Shown(recordValue);
    return shown && TakesShown(*shown);
  }
  // What a Next on the page showing the record's value stores: the number as shown, when the page accepts it;
  // else `fallback`. No number (a text the page would not read as one) gives `fallback` too.
  double AcceptedOr(std::optional<double> recordValue, double fallback) const {
    const std::optional<double> shown = recordValue ? Shown(*recordValue) : std::nullopt;
    return shown && TakesShown(*shown) ? Stored(*shown) : fallback;
  }
};

// The target impedance page: milliohms; the record holds ohms.
inline constexpr CSettingRange kTargetImpedanceRange{0.001, 10000.0, 1000.0, 0.001};
// The frequency page's minimum and maximum: megahertz, the maximum above the minimum (JudgeShownFrequencies); the
// record holds hertz (a larger maximum would overflow the record's hertz).
inline constexpr CSettingRange kFrequencyRange{0.001, 1e300, 1e-6, 1e6};
// The via-model and extractor pages' normal impedance: ohms, as the record holds it.
inline constexpr CSettingRange kNormalImpedanceRange{0.001, 10000.0, 1.0, 1.0};
// The frequency page's sample counts (whole numbers; 0 asks for the analysis's own count).
inline constexpr CSettingRange kSampleCountRange{0.0, 9999.0, 1.0, 1.0};
// The debug page's time-domain interval: any number its edit shows.
inline constexpr CSettingRange kFDTDIntervalRange{-DBL_MAX, DBL_MAX, 1.0, 1.0};

// What the frequency page refuses of a minimum and a maximum as its edits give them back, in megahertz.
enum class FrequencyFault { None, MinimumTooSmall, MaximumNotAboveMinimum, MaximumTooLarge };
inline FrequencyFault JudgeShownFrequencies(double minimum, double maximum) {
  // Written as "not at least" so that a value that is no number is refused as well.
  if (!(minimum >= kFrequencyRange.low))
    return FrequencyFault::MinimumTooSmall;
  if (!(maximum > minimum))
    return FrequencyFault::MaximumNotAboveMinimum;
  if (!(maximum <= kFrequencyRange.high))
    return FrequencyFault::MaximumTooLarge;
  return FrequencyFault::None;
}
