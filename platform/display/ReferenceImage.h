// Screenshots against committed reference images: the one comparison every test of the platform and the
// module uses.
//
// References live in the source tree (BRIM_SOURCE_DIR, which CTest sets; else the current directory).
// BRIM_UPDATE_REFERENCES=1 rewrites each reference from the actual image instead of comparing. On a mismatch
// the actual image and a diff image (differing pixels red over a faded copy of the reference) are written to
// the temporary directory as <name>-actual.png and <name>-diff.png.
#pragma once

#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/window/windowapi.h"

namespace plat {

// How far a pixel may be off, per colour channel (0..255). Alpha is never compared.
struct ImageTolerance {
  int channel = 0;              // everywhere
  std::vector<RECT> textAreas;  // where text runs are drawn ...
  int text = 0;                 // ... pixels may differ this much: glyph rasterisation varies between font libraries
};

struct ImageDifference {
  long long pixels = 0;      // differing pixels outside the text areas (all of them when the sizes differ)
  long long textPixels = 0;  // differing pixels inside the text areas, beyond the text tolerance
  bool sizeDiffers = false;
  long long Total() const { return pixels + textPixels; }
};

// Compares two images; writes the diff image to `diffPath` (when given) if they differ. Images of different
// sizes count every pixel of the larger one.
ImageDifference CompareImages(const Surface& actual, const Surface& expected, const ImageTolerance& tolerance,
                              const std::string& diffPath = {});

struct ReferenceMatch {
  bool updated = false;  // the reference was rewritten (BRIM_UPDATE_REFERENCES=1)
  bool missing = false;  // no readable reference
  ImageDifference difference;
  std::string message;  // names the reference and, on a mismatch, the actual and diff images
  bool Matches() const { return updated || (!missing && difference.Total() == 0); }
};

// Whether the run rewrites references (BRIM_UPDATE_REFERENCES=1).
bool UpdatingReferences();
// The absolute path of a file given relative to the top of the source tree.
std::string SourcePath(const std::string& relativePath);
// Compares `actual` with the reference at `relativePath` (from the top of the source tree), or rewrites it.
ReferenceMatch MatchReferenceImage(const Surface& actual, const std::string& relativePath,
                                   const ImageTolerance& tolerance = {});

}  // namespace plat
