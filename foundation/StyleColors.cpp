#include "foundation/StyleColors.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/SysColors.h"

namespace {

SECButtonColors g_button;
SECWellColors g_well;
std::array<COLORREF, kStyleColorCount> g_style{};

// The weighted space: 195/255, 390/255 and 65/255, rounded to six figures as the table was always built.
constexpr double kRedWeight = 0.764706;
constexpr double kGreenWeight = 1.52941;
constexpr double kBlueWeight = 0.254902;
constexpr double kMaxDistance = 442.0;  // a little above white's distance from black
constexpr double kDarkThreshold = 220.0;

struct Point3 {
  double r, g, b;
  Point3 operator-(const Point3& o) const { return {r - o.r, g - o.g, b - o.b}; }
  Point3 operator*(double k) const { return {r * k, g * k, b * k}; }
  double Dot(const Point3& o) const { return r * o.r + g * o.g + b * o.b; }
  double Length() const { return std::sqrt(Dot(*this)); }
};

Point3 ToSpace(COLORREF c) {
  return {GetRValue(c) * kRedWeight, GetGValue(c) * kGreenWeight, GetBValue(c) * kBlueWeight};
}

// White becomes the origin and black the far corner.
Point3 Mirror(const Point3& p) { return {195.0 - p.r, 390.0 - p.g, 65.0 - p.b}; }

BYTE FromSpace(double value, double limit, double weight) {
  value = std::clamp(value, 0.0, limit);
  double channel = std::floor(value / weight + 0.5);
  return static_cast<BYTE>(std::clamp(channel, 0.0, 255.0));
}

// Darker references need more distance: (2 − l/220)·d below the dark threshold.
double NeededDistance(double referenceLightness, double distance) {
  return referenceLightness < kDarkThreshold ? (2.0 - referenceLightness / kDarkThreshold) * distance : distance;
}

}  // namespace

const SECButtonColors& GetButtonColors() { return g_button; }
const SECWellColors& GetWellColors() { return g_well; }

void UpdateButtonColors() {
  g_button.frame = GetSysColor(COLOR_WINDOWFRAME);
  g_button.shadow = GetSysColor(COLOR_BTNSHADOW);
  g_button.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  g_button.face = GetSysColor(COLOR_BTNFACE);
  g_button.shadow2 = GetSysColor(COLOR_BTNSHADOW);
}

void UpdateWellColors() {
  g_well.highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  g_well.shadow = GetSysColor(COLOR_BTNSHADOW);
  g_well.face = GetSysColor(COLOR_BTNFACE);
  g_well.darkShadow = GetSysColor(COLOR_3DDKSHADOW);
  g_well.light = GetSysColor(COLOR_3DLIGHT);
  g_well.background = GetSysColor(COLOR_BTNFACE);
  g_well.frame = GetSysColor(COLOR_WINDOWFRAME);
}

COLORREF BlendColors(COLORREF a, COLORREF b, BYTE weight) {
  const unsigned d = weight < 100 ? 100u : 1000u;
  const unsigned w = weight;
  auto mix = [&](unsigned x, unsigned y) { return static_cast<BYTE>((x * w + y * (d - w) + d / 2) / d); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

COLORREF LightenColor(COLORREF c, BYTE amount) {
  auto up = [&](unsigned x) { return static_cast<BYTE>(std::min(255u, x + amount)); };
  return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

double ColorDistance(COLORREF a, COLORREF b) { return (ToSpace(a) - ToSpace(b)).Length(); }

COLORREF EnsureColorContrast(COLORREF c, COLORREF reference, BYTE distance) {
  const double needed = NeededDistance(ColorDistance(reference, RGB(0, 0, 0)), distance);
  if (ColorDistance(reference, c) > needed) return c & 0x00FFFFFF;
  return MoveColorAway(c, reference, distance);
}

COLORREF MoveColorAway(COLORREF c, COLORREF reference, double distance) {
  // 1. Both colours in the weighted space; lightness is the distance from black.
  Point3 pc = ToSpace(c);
  Point3 pr = ToSpace(reference);
  const double lc = pc.Length();
  const double lr = pr.Length();
  const double d = NeededDistance(lr, distance);

  // 2. Work from black unless there is no room on that side of the reference: then from white.
  const bool mirror = lc <= lr ? lr < d : lr < kMaxDistance - d;
  if (mirror) {
    pc = Mirror(pc);
    pr = Mirror(pr);
  }

  // 3. The ray from the origin through c. A colour at the origin has no ray of its own: it moves along the
  //    reference's direction, or along the grey axis when the reference is at the origin as well.
  Point3 u;
  double n = pc.Length();
  if (n >= 0.01) {
    u = pc * (1.0 / n);
  } else {
    const double nr = pr.Length();
    u = nr >= 0.01 ? pr * (1.0 / nr) : Point3{195.0, 390.0, 65.0} * (1.0 / Point3{195.0, 390.0, 65.0}.Length());
  }
  const double p = u.Dot(pr);           // projection of the reference on the ray
  const Point3 q = u * p - pr;          // perpendicular from the reference to the ray
  // A reference farther from the ray than d has no point at distance d on it; the foot of the perpendicular
  // is then the nearest point, already more than d away.
  const double h = std::sqrt(std::max(0.0, d * d - q.Dot(q)));

  // 4. The point at distance d from the reference, on the origin's side; when that would lie behind the
  //    origin, the one beyond the reference.
  double t = p - h;
  if (t < 0.0) t = p + h;
  Point3 moved = u * t;

  // 5. Back to colours.
  if (mirror) moved = Mirror(moved);
  return RGB(FromSpace(moved.r, 195.0, kRedWeight), FromSpace(moved.g, 390.0, kGreenWeight),
             FromSpace(moved.b, 65.0, kBlueWeight));
}

void UpdateStyleColors() {
  const COLORREF W = GetSysColor(COLOR_WINDOW);
  const COLORREF WT = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF F = GetSysColor(COLOR_BTNFACE);
  const COLORREF S = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF T = GetSysColor(COLOR_BTNTEXT);
  const COLORREF H = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF G = GetSysColor(COLOR_GRAYTEXT);
  const COLORREF WF = GetSysColor(COLOR_WINDOWFRAME);  // the table's old "7" means the window frame, 6

  const COLORREF A = BlendColors(W, F, 165);
  const COLORREF B = BlendColors(F, W, 143);
  const COLORREF K = BlendColors(S, W, 70);
  const COLORREF L = BlendColors(H, W, 30);
  const COLORREF M = BlendColors(H, W, 50);
  const COLORREF N = BlendColors(G, W, 70);

  auto& e = g_style;
  e[0] = A;
  e[1] = EnsureColorContrast(K, A, 50);
  e[2] = EnsureColorContrast(T, A, 180);
  e[3] = A;
  e[4] = A;
  e[5] = EnsureColorContrast(L, A, 50);
  e[6] = EnsureColorContrast(H, A, 100);
  e[7] = M;
  e[8] = H;
  e[9] = A;
  e[10] = A;
  e[11] = EnsureColorContrast(BlendColors(H, BlendColors(F, W, 48), 7), A, 5);
  e[12] = H;
  e[13] = EnsureColorContrast(M, A, 30);
  e[14] = EnsureColorContrast(H, e[13], 100);
  e[15] = B;
  e[16] = EnsureColorContrast(WT, B, 180);
  e[17] = B;
  e[18] = EnsureColorContrast(N, B, 80);
  e[19] = EnsureColorContrast(L, A, 50);
  e[20] = EnsureColorContrast(H, A, 100);
  e[21] = EnsureColorContrast(WF, e[19], 180);
  e[22] = B;
  e[23] = N;
  e[24] = EnsureColorContrast(H, A, 100);
  e[25] = A;
  e[26] = EnsureColorContrast(BlendColors(T, S, 20), A, 100);
  e[27] = EnsureColorContrast(K, A, 50);
  e[28] = F;
  e[29] = EnsureColorContrast(T, A, 180);
  e[30] = BlendColors(RGB(0, 0, 0), e[5], 25);
  e[31] = BlendColors(S, W, 90);
  e[32] = EnsureColorContrast(BlendColors(S, W, 75), A, 85);
}

COLORREF GetStyleColor(UINT index) { return index < kStyleColorCount ? g_style[index] : RGB(255, 255, 255); }

const std::array<SECBitmapColorMap, 4>& GetBitmapColorMap() {
  static const std::array<SECBitmapColorMap, 4> map = {{{RGB(0, 0, 0), COLOR_BTNTEXT},
                                                        {RGB(128, 128, 128), COLOR_BTNSHADOW},
                                                        {RGB(192, 192, 192), COLOR_BTNFACE},
                                                        {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}}};
  return map;
}
