#include "platform/display/ReferenceImage.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace plat {

namespace {

bool Within(Pixel a, Pixel b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance)
      return false;
  return true;
}

bool InAreas(const std::vector<RECT>& areas, int x, int y) {
  return std::any_of(areas.begin(), areas.end(),
                     [&](const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

Pixel Faded(Pixel e) {
  return kOpaque | (((e >> 16 & 0xFF) / 3 + 170) << 16) | (((e >> 8 & 0xFF) / 3 + 170) << 8) | ((e & 0xFF) / 3 + 170);
}

}  // namespace

ImageDifference CompareImages(const Surface& actual, const Surface& expected, const ImageTolerance& tolerance,
                              const std::string& diffPath) {
  ImageDifference result;
  result.sizeDiffers = actual.width() != expected.width() || actual.height() != expected.height();
  const int w = std::max(actual.width(), expected.width());
  const int h = std::max(actual.height(), expected.height());
  SurfacePtr diff = diffPath.empty() ? nullptr : Surface::create(w, h);
  const int textTolerance = std::max(tolerance.channel, tolerance.text);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool inBoth = x < actual.width() && y < actual.height() && x < expected.width() && y < expected.height();
      const Pixel e = inBoth ? expected.pixel(x, y) : 0;
      bool same = false;
      if (inBoth) {
        const bool text = !result.sizeDiffers && InAreas(tolerance.textAreas, x, y);
        same = Within(actual.pixel(x, y), e, text ? textTolerance : tolerance.channel);
        if (!same) ++(text ? result.textPixels : result.pixels);
      } else {
        ++result.pixels;
      }
      if (diff) diff->setPixel(x, y, same ? Faded(e) : 0xFFFF0000u);
    }
  if (diff && result.Total()) diff->writePng(diffPath);
  return result;
}

bool UpdatingReferences() {
  const char* value = std::getenv("BRIM_UPDATE_REFERENCES");
  return value && std::string(value) == "1";
}

std::string SourcePath(const std::string& relativePath) {
  const char* src = std::getenv("BRIM_SOURCE_DIR");
  return (std::filesystem::path(src ? src : ".") / relativePath).string();
}

ReferenceMatch MatchReferenceImage(const Surface& actual, const std::string& relativePath,
                                   const ImageTolerance& tolerance) {
  namespace fs = std::filesystem;
  ReferenceMatch match;
  const std::string ref = SourcePath(relativePath);
  if (UpdatingReferences()) {
    fs::create_directories(fs::path(ref).parent_path());
    match.updated = actual.writePng(ref);
    match.message = (match.updated ? "reference rewritten: " : "could not write the reference ") + ref;
    if (!match.updated) match.missing = true;
    return match;
  }
  SurfacePtr expected = Surface::readPng(ref);
  if (!expected) {
    match.missing = true;
    match.message = "missing reference " + ref + " (run with BRIM_UPDATE_REFERENCES=1)";
    return match;
  }
  const fs::path tmp = fs::temp_directory_path();
  const std::string stem = fs::path(relativePath).stem().string();
  const std::string actualPath = (tmp / (stem + "-actual.png")).string();
  const std::string diffPath = (tmp / (stem + "-diff.png")).string();
  match.difference = CompareImages(actual, *expected, tolerance, diffPath);
  if (match.difference.Total() == 0) {
    match.message = "matches " + ref;
    return match;
  }
  actual.writePng(actualPath);
  match.message = std::to_string(match.difference.pixels) + " pixels (" + std::to_string(match.difference.textPixels) +
                  " in text) differ from " + ref + (match.difference.sizeDiffers ? " (the sizes differ)" : "") +
                  "; see " + actualPath + " and " + diffPath;
  return match;
}

}  // namespace plat
