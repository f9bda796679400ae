// Two-dimensional vector arithmetic of the solver (single-precision storage, double arithmetic).
#pragma once

#include <cmath>

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

inline Vec2 MakeVec(double x, double y) { return Vec2{float(x), float(y)}; }
inline Vec2 operator+(Vec2 a, Vec2 b) { return MakeVec(double(a.x) + b.x, double(a.y) + b.y); }
inline Vec2 operator-(Vec2 a, Vec2 b) { return MakeVec(double(a.x) - b.x, double(a.y) - b.y); }
inline Vec2 operator*(Vec2 a, double s) { return MakeVec(a.x * s, a.y * s); }
inline Vec2 operator/(Vec2 a, double s) { const double r = 1.0 / s; return MakeVec(a.x * r, a.y * r); }
inline double Dot(Vec2 a, Vec2 b) { return double(a.x) * b.x + double(a.y) * b.y; }
// The solver's cross product: a.y b.x - a.x b.y (the local y of a relative to direction b).
inline double Cross(Vec2 a, Vec2 b) { return double(a.y) * b.x - double(a.x) * b.y; }
inline double SquaredLength(Vec2 a) { return Dot(a, a); }
// Exact when one coordinate difference is 0 (no rounding through the square root).
inline double Distance(Vec2 a, Vec2 b)
{
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    if (dx == 0.0) return std::fabs(dy);
    if (dy == 0.0) return std::fabs(dx);
    return std::sqrt(dx * dx + dy * dy);
}
inline double Length(Vec2 a) { return Distance(a, Vec2{}); }
inline double NormaliseInPlace(Vec2& v)
{
    const double len = Length(v);
    if (len != 0.0)
        v = MakeVec(v.x / len, v.y / len);
    return len;
}
inline Vec2 TurnCcw(Vec2 d) { return Vec2{-d.y, d.x}; }
inline Vec2 TurnCw(Vec2 d) { return Vec2{d.y, -d.x}; }
inline Vec2 Negated(Vec2 d) { return Vec2{-d.x, -d.y}; }
inline Vec2 Midpoint(Vec2 a, Vec2 b) { return MakeVec((double(a.x) + b.x) / 2, (double(a.y) + b.y) / 2); }
inline Vec2 ClosestPointOnSegment(Vec2 p0, Vec2 p1, Vec2 q)
{
    Vec2 u = p1 - p0;
    const double len = NormaliseInPlace(u);
    const double t = Dot(q - p0, u);
    if (t <= 0.0) return p0;
    if (t >= len) return p1;
    return p0 + u * t;
}
inline bool PointInBox(Vec2 p, float x0, float y0, float x1, float y1)
{
    return x0 <= p.x && p.x <= x1 && y0 <= p.y && p.y <= y1;
}
