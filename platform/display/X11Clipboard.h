// The X server's CLIPBOARD selection, through a connection and an unmapped window of its own: it knows who
// holds the selection, reads another program's text whole (the incremental transfer of large texts
// included), and serves the text this process offers to other programs.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/window/Clipboard.h"

namespace plat {

class X11Clipboard : public DesktopClipboard {
 public:
  // Null when no X display can be opened.
  static std::unique_ptr<X11Clipboard> Connect();
  ~X11Clipboard() override;
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  bool HeldElsewhere() override;
  bool OffersText() override;
  std::optional<std::string> Text() override;
  void Take(const std::optional<std::string>& text) override;
  // Answers what other programs asked of the selection meanwhile; the event loop calls it.
  void Serve();

 private:
  struct Impl;
  explicit X11Clipboard(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace plat
