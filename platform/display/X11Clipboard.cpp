#include "platform/display/X11Clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <vector>

namespace plat {

namespace {

// How long one step of a transfer (the owner's answer, each piece of an incremental one) may take.
constexpr int kStepTimeoutMs = 2000;

// UTF-8 to ISO 8859-1 for the STRING target: characters beyond it become '?'.
std::string Latin1FromUtf8(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    unsigned code = n == 2 ? c & 0x1Fu : n == 3 ? c & 0x0Fu : c & 0x07u;
    bool ok = n > 1 && i + n <= utf8.size();
    for (size_t k = 1; ok && k < n; ++k) {
      const auto d = static_cast<unsigned char>(utf8[i + k]);
      ok = (d & 0xC0) == 0x80;
      code = (code << 6) | (d & 0x3Fu);
    }
    out += ok && code <= 0xFF ? static_cast<char>(code) : '?';
    i += ok ? n : 1;
  }
  return out;
}

std::string Utf8FromLatin1(const std::string& latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char ch : latin1) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Requests that name another program's window fail when that program went meanwhile; Xlib's default
// handler would end this process for it.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

struct X11Clipboard::Impl {
  Display* display = nullptr;
  Window window = 0;
  Atom clipboard = 0, targets = 0, utf8 = 0, text = 0, plain = 0, plainUtf8 = 0, incr = 0, transfer = 0,
       stamp = 0;
  std::optional<std::string> offer;  // what this process offers while it holds the selection

  ~Impl() {
    if (!display) return;
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
  }

  // Handles one event that no transfer waits for: requests for the selection and its loss.
  void Handle(XEvent& e) {
    if (e.type == SelectionClear && e.xselectionclear.selection == clipboard) {
      offer.reset();
    } else if (e.type == SelectionRequest) {
      Answer(e.xselectionrequest);
    }
  }

  void Answer(const XSelectionRequestEvent& r) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = display;
    reply.requestor = r.requestor;
    reply.selection = r.selection;
    reply.target = r.target;
    reply.time = r.time;
    reply.property = None;
    const Atom property = r.property == None ? r.target : r.property;  // as obsolete clients ask
    const XErrorHandler previous = XSetErrorHandler(IgnoreXError);
    // A property must fit one request; larger texts are refused rather than cut.
    long maxRequest = XExtendedMaxRequestSize(display);
    if (maxRequest == 0) maxRequest = XMaxRequestSize(display);
    const size_t limit = static_cast<size_t>(maxRequest) * 4 - 64;
    if (r.owner == window && r.selection == clipboard) {
      if (r.target == targets) {
        const Atom list[] = {targets, utf8, XA_STRING, text, plainUtf8};
        XChangeProperty(display, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(list), offer ? 5 : 1);
        reply.property = property;
      } else if (offer && (r.target == utf8 || r.target == text || r.target == plainUtf8 || r.target == XA_STRING)) {
        const bool latin1 = r.target == XA_STRING;
        const std::string bytes = latin1 ? Latin1FromUtf8(*offer) : *offer;
        if (bytes.size() <= limit) {
          XChangeProperty(display, r.requestor, property, latin1 ? XA_STRING : utf8, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
          reply.property = property;
        }
      }
    }
    XSendEvent(display, r.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XSync(display, False);  // any error of the requestor's window arrives while it is ignored
    XSetErrorHandler(previous);
  }

  // Serves events until one satisfies `wanted` (true, the event in `out`) or the time runs out.
  bool WaitFor(const std::function<bool(const XEvent&)>& wanted, XEvent& out) {
    XFlush(display);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStepTimeoutMs);
    for (;;) {
      while (XPending(display) > 0) {
        XNextEvent(display, &out);
        if (wanted(out)) return true;
        Handle(out);
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd fd{ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, static_cast<int>(left.count()));
    }
  }

  // Reads and deletes the transfer property of our window. False when there is none.
  bool TakeProperty(Atom& type, std::string& bytes) {
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, transfer, 0, LONG_MAX / 4, True, AnyPropertyType, &type, &format,
                           &items, &after, &data) != Success)
      return false;
    const size_t unit = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    bytes.assign(reinterpret_cast<const char*>(data), data ? items * unit : 0);
    if (data) XFree(data);
    return type != None;
  }

  // The selection converted to `target`: the property's type and bytes, or nothing.
  std::optional<std::pair<Atom, std::string>> Convert(Atom target) {
    XDeleteProperty(display, window, transfer);
    XConvertSelection(display, clipboard, target, transfer, window, CurrentTime);
    XEvent e;
    if (!WaitFor([&](const XEvent& x) { return x.type == SelectionNotify && x.xselection.requestor == window; }, e))
      return std::nullopt;
    if (e.xselection.property == None) return std::nullopt;
    Atom type = None;
    std::string bytes;
    if (!TakeProperty(type, bytes)) return std::nullopt;
    if (type != incr) return std::make_pair(type, std::move(bytes));
    // Incremental: the owner puts piece after piece into the property once we deleted it, and ends with an
    // empty piece.
    std::string whole;
    for (;;) {
      auto newPiece = [&](const XEvent& x) {
        return x.type == PropertyNotify && x.xproperty.window == window && x.xproperty.atom == transfer &&
               x.xproperty.state == PropertyNewValue;
      };
      if (!WaitFor(newPiece, e)) return std::nullopt;
      std::string piece;
      if (!TakeProperty(type, piece)) continue;  // a notice of a value already taken
      if (piece.empty()) return std::make_pair(type, std::move(whole));
      whole += piece;
    }
  }

  // A server time stamp, from a change of our own window's property.
  Time Now() {
    XChangeProperty(display, window, stamp, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
    XEvent e;
    auto changed = [&](const XEvent& x) {
      return x.type == PropertyNotify && x.xproperty.window == window && x.xproperty.atom == stamp;
    };
    return WaitFor(changed, e) ? e.xproperty.time : CurrentTime;
  }
};

X11Clipboard::X11Clipboard(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

X11Clipboard::~X11Clipboard() = default;

std::unique_ptr<X11Clipboard> X11Clipboard::Connect() {
  auto impl = std::make_unique<Impl>();
  impl->display = XOpenDisplay(nullptr);
  if (!impl->display) return nullptr;
  Display* d = impl->display;
  impl->window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
  XSelectInput(d, impl->window, PropertyChangeMask);
  impl->clipboard = XInternAtom(d, "CLIPBOARD", False);
  impl->targets = XInternAtom(d, "TARGETS", False);
  impl->utf8 = XInternAtom(d, "UTF8_STRING", False);
  impl->text = XInternAtom(d, "TEXT", False);
  impl->plain = XInternAtom(d, "text/plain", False);
  impl->plainUtf8 = XInternAtom(d, "text/plain;charset=utf-8", False);
  impl->incr = XInternAtom(d, "INCR", False);
  impl->transfer = XInternAtom(d, "BRIM_CLIPBOARD_TRANSFER", False);
  impl->stamp = XInternAtom(d, "BRIM_CLIPBOARD_STAMP", False);
  XFlush(d);
  return std::unique_ptr<X11Clipboard>(new X11Clipboard(std::move(impl)));
}

void X11Clipboard::Serve() {
  XEvent e;
  while (XPending(impl_->display) > 0) {
    XNextEvent(impl_->display, &e);
    impl_->Handle(e);
  }
}

bool X11Clipboard::HeldElsewhere() {
  Serve();
  return XGetSelectionOwner(impl_->display, impl_->clipboard) != impl_->window;
}

bool X11Clipboard::OffersText() {
  auto list = impl_->Convert(impl_->targets);
  if (!list || list->first != XA_ATOM) return Text().has_value();  // an owner that lists nothing: try
  std::vector<Atom> atoms(list->second.size() / sizeof(Atom));
  std::copy_n(list->second.data(), atoms.size() * sizeof(Atom), reinterpret_cast<char*>(atoms.data()));
  const Impl& x = *impl_;
  return std::any_of(atoms.begin(), atoms.end(), [&](Atom a) {
    return a == x.utf8 || a == XA_STRING || a == x.text || a == x.plain || a == x.plainUtf8;
  });
}

std::optional<std::string> X11Clipboard::Text() {
  if (auto utf8 = impl_->Convert(impl_->utf8); utf8 && utf8->first == impl_->utf8) return std::move(utf8->second);
  if (auto latin1 = impl_->Convert(XA_STRING); latin1 && latin1->first == XA_STRING)
    return Utf8FromLatin1(latin1->second);
  return std::nullopt;
}

void X11Clipboard::Take(const std::optional<std::string>& text) {
  impl_->offer = text;
  XSetSelectionOwner(impl_->display, impl_->clipboard, impl_->window, impl_->Now());
  XFlush(impl_->display);
}

}  // namespace plat
