// The gallery tests' screenshot checks: the whole desktop (pages with popups) or one page window, painted
// and compared with a committed reference of grid/demo/tests/reference.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/display/Desktop.h"
#include "platform/display/ReferenceImage.h"

namespace galleryshots {

inline void ExpectMatches(const std::shared_ptr<plat::Surface>& image, const std::string& name) {
  ASSERT_TRUE(image);
  const plat::ReferenceMatch match = plat::MatchReferenceImage(*image, "grid/demo/tests/reference/" + name + ".png");
  EXPECT_TRUE(match.Matches()) << match.message;
}

inline void ExpectDesktopMatches(const std::string& name) {
  plat::Desktop::PaintAll();
  ExpectMatches(plat::Desktop::Compose(), name);
}

inline void ExpectWindowMatches(HWND window, const std::string& name) {
  plat::Desktop::PaintAll();
  ExpectMatches(plat::Desktop::Capture(window), name);
}

}  // namespace galleryshots
