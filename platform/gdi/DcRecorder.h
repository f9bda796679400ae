// DcRecorder: the log of a recording DC (or of any DC put into recording mode), one stable text line per
// primitive after mapping and clipping, in surface coordinates. Tests compare the lines ("one fill for two equal
// neighbours", "a one-row scroll repaints one row"); the printer's "Recording" target keeps one per page.
//
// Line forms (coordinates "l,t,r,b" half-open; colours #RRGGBB):
//   fill l,t,r,b #RRGGBB | fill l,t,r,b pattern | fill l,t,r,b rop=XX
//   invert l,t,r,b
//   line x0,y0 -> x1,y1 #RRGGBB w=N style=S
//   text x,y "text" font="Face" h=N w=WEIGHT [u] [s] #RRGGBB [opaque l,t,r,b] [clip l,t,r,b]
//   blit l,t,r,b from x,y rop=XXXXXXXX [stretch sw x sh]
//   dib l,t,r,b bpp=N
//   edge l,t,r,b edge=N flags=N
//   clip kind=N box=l,t,r,b
//   pixel x,y #RRGGBB
#pragma once

#include <string>
#include <vector>

namespace plat {

class DcRecorder {
 public:
  void add(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& lines() const { return lines_; }
  std::string text() const;
  void clear() { lines_.clear(); }

 private:
  std::vector<std::string> lines_;
};

}  // namespace plat
