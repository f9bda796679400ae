#pragma once
// The two shape descriptors that CBoardMarks hands to the host's marker: a circle and a line segment. The host
// reads them through CBoardMarkShape's table during CHostMarkGroup::MakeGeometry; they live on the caller's stack.
// The answers of every position are what the host expects of each kind, whether or not it reads them.

#include "brimstead/HostInterfaces.h"

class CBoardMarkCircleShape final : public CBoardMarkShape {
public:
    CBoardMarkCircleShape(double size, double x, double y) : m_size(size), m_centre{x, y} {}

    void Reserved0() override {}
    int GetPointCount() override { return 0; }
    const double* GetPoint(int /*end*/) override { return nullptr; }
    CBoardMarkShape* GetShape(int /*argument*/) override { return this; }
    int GetShapeCode() override { return 0; }
    bool IsClosed() override { return true; }
    bool IsFilled() override { return false; }
    const double* GetCentre() override { return m_centre; }
    double GetSize() override { return m_size; }
    double GetReserved9() override { return 0.0; }
    double GetReserved10() override { return 0.0; }
    double GetReserved11() override { return 0.0; }
    double GetReserved12() override { return 0.0; }

private:
    double m_size;
    double m_centre[2];
};

class CBoardMarkSegmentShape final : public CBoardMarkShape {
public:
    CBoardMarkSegmentShape(double x1, double y1, double x2, double y2) : m_start{x1, y1}, m_end{x2, y2} {}

    void Reserved0() override {}
    int GetPointCount() override { return 2; }
    const double* GetPoint(int end) override { return end != 0 ? m_end : m_start; }
    CBoardMarkShape* GetShape(int /*argument*/) override { return this; }
    int GetShapeCode() override { return 5; }
    bool IsClosed() override { return false; }
    bool IsFilled() override { return false; }
    const double* GetCentre() override { return nullptr; }
    double GetSize() override { return 0.0; }
    double GetReserved9() override { return 0.0; }
    double GetReserved10() override { return 0.0; }
    double GetReserved11() override { return 0.0; }
    double GetReserved12() override { return 0.0; }

private:
    double m_start[2];
    double m_end[2];
};
