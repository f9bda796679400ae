#include "platform/gdi/Surface.h"

#include "platform/base/AtomicFile.h"

#include <cairo.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstring>
#include <vector>

namespace plat {

namespace {

// Clips a copy of `src` (in a surface of srcW x srcH) to `to` (in a surface of dstW x dstH); false when empty.
bool clipCopy(RECT& src, POINT& to, int srcW, int srcH, int dstW, int dstH) {
  if (src.left < 0) { to.x -= src.left; src.left = 0; }
  if (src.top < 0) { to.y -= src.top; src.top = 0; }
  src.right = std::min<LONG>(src.right, srcW);
  src.bottom = std::min<LONG>(src.bottom, srcH);
  if (to.x < 0) { src.left -= to.x; to.x = 0; }
  if (to.y < 0) { src.top -= to.y; to.y = 0; }
  src.right = std::min<LONG>(src.right, src.left + (dstW - to.x));
  src.bottom = std::min<LONG>(src.bottom, src.top + (dstH - to.y));
  return src.right > src.left && src.bottom > src.top;
}

}  // namespace

Surface::Surface(cairo_surface_t* s)
    : surface_(s),
      data_(cairo_image_surface_get_data(s)),
      width_(cairo_image_surface_get_width(s)),
      height_(cairo_image_surface_get_height(s)),
      stride_(cairo_image_surface_get_stride(s)) {}

Surface::~Surface() { cairo_surface_destroy(surface_); }

std::shared_ptr<Surface> Surface::create(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return nullptr;
  }
  std::shared_ptr<Surface> out(new Surface(s));
  out->fillAll(kOpaque);
  return out;
}

std::shared_ptr<Surface> Surface::readPng(const std::string& path) {
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(png);
    return nullptr;
  }
  auto out = create(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
  if (out) {
    cairo_t* cr = out->beginCairo();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_paint(cr);
    out->endCairo(cr);
  }
  cairo_surface_destroy(png);
  return out;
}

Pixel Surface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return row(y)[x];
}

void Surface::setPixel(int x, int y, Pixel p) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  row(y)[x] = p;
}

void Surface::fill(const RECT& r, Pixel p) {
  const int l = std::max<int>(r.left, 0), t = std::max<int>(r.top, 0);
  const int rr = std::min<int>(r.right, width_), b = std::min<int>(r.bottom, height_);
  if (l >= rr || t >= b) return;
  for (int y = t; y < b; ++y) std::fill(row(y) + l, row(y) + rr, p);
}

void Surface::copyTo(const RECT& srcRect, Surface& dst, POINT to) const {
  if (&dst == this) {
    const_cast<Surface*>(this)->copyWithin(srcRect, to);
    return;
  }
  RECT src = srcRect;
  if (!clipCopy(src, to, width_, height_, dst.width_, dst.height_)) return;
  const size_t bytes = static_cast<size_t>(src.right - src.left) * sizeof(Pixel);
  for (int y = src.top; y < src.bottom; ++y)
    std::memcpy(dst.row(to.y + y - src.top) + to.x, row(y) + src.left, bytes);
}

void Surface::copyWithin(const RECT& srcRect, POINT to) {
  RECT src = srcRect;
  if (!clipCopy(src, to, width_, height_, width_, height_)) return;
  const size_t bytes = static_cast<size_t>(src.right - src.left) * sizeof(Pixel);
  const int h = src.bottom - src.top;
  // Rows are walked away from the overlap; memmove handles the overlap inside a row.
  if (to.y > src.top) {
    for (int i = h - 1; i >= 0; --i) std::memmove(row(to.y + i) + to.x, row(src.top + i) + src.left, bytes);
  } else {
    for (int i = 0; i < h; ++i) std::memmove(row(to.y + i) + to.x, row(src.top + i) + src.left, bytes);
  }
}

std::shared_ptr<Surface> Surface::clone() const {
  auto out = create(width_, height_);
  if (out) copyTo(bounds(), *out, POINT{0, 0});
  return out;
}

bool Surface::writePng(const std::string& path) const {
  // The image takes the file's place whole: a write that fails (a full disk) leaves the file as it was, never a part
  // of a picture.
  int error = 0;
  {
    AtomicFile file;
    if (file.open(path) && writePng(file) && file.commit()) return true;
    error = file.error();
  }
  errno = error ? error : EIO;  // the reason, for the caller's message
  return false;
}

bool Surface::writePng(AtomicFile& file) const {
  // Pixels are written directly; cairo must not take the surface for the blank it created.
  cairo_surface_mark_dirty(surface_);
  const cairo_write_func_t put = [](void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<AtomicFile*>(closure)->write(std::string_view(reinterpret_cast<const char*>(data), length))
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
  };
  return cairo_surface_write_to_png_stream(surface_, put, &file) == CAIRO_STATUS_SUCCESS;
}

cairo_surface_t* Surface::cairoSurface() const {
  cairo_surface_mark_dirty(surface_);
  return surface_;
}

cairo_t* Surface::beginCairo() {
  cairo_surface_mark_dirty(surface_);
  cairo_t* cr = cairo_create(surface_);
  assert(cairo_status(cr) == CAIRO_STATUS_SUCCESS && "cairo context creation failed");
  return cr;
}

void Surface::endCairo(cairo_t* cr) {
  assert(cairo_status(cr) == CAIRO_STATUS_SUCCESS && "cairo drawing failed");
  cairo_destroy(cr);
  cairo_surface_flush(surface_);
}

}  // namespace plat
