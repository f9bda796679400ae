#pragma once
// Markers in the host's board view around the items that a wizard page's probes stand on: a white circle around
// the item's pads and four short white ticks pointing outwards at 0, 90, 180 and 270 degrees. The marks belong to
// the host's board view; this object only asks the host's marker to make and remove them.

#include "brimstead/HostInterfaces.h"

#include <vector>

class CBoardMarks {
public:
    CBoardMarks() = default;
    explicit CBoardMarks(CHostBoardMarker* marker) : m_marker(marker) {}
    CBoardMarks(const CBoardMarks&) = delete;
    CBoardMarks& operator=(const CBoardMarks&) = delete;
    // Leaves the board view without marks, also when the owner's destruction is cut short by an exception.
    ~CBoardMarks() { Clear(); }

    void SetMarker(CHostBoardMarker* marker) { m_marker = marker; }
    // Whether the host handed in its board view's marker, and the marker (null without one).
    bool HasMarker() const { return m_marker != nullptr; }
    CHostBoardMarker* GetMarker() const { return m_marker; }

    // Removes every mark group (entry 0 while any remain). Stops as soon as a removal does not lower the
    // marker's count, so a marker that refuses cannot hold the caller in an endless loop.
    void Clear();

    // Adds one marker for a probed item (the pin or via under a probe): a circle whose diameter d is the largest
    // pad dimension on any metal layer, or the item's size when that is larger, and four ticks running outwards
    // from the circle (radius d/2) to d/2 + size/2. Line width is a tenth of the item's size, colour white.
    void AddProbeMark(CHostProbedItem* item);

    // Whether every mark the marker holds is one this object added (and it knows them all): only then can single
    // marks be counted and removed; otherwise the caller clears and adds them all again.
    bool KnowsAllMarks() const;
    // The marks this object holds for the item.
    int CountProbeMarks(const CHostProbedItem* item) const;
    // Removes the item's last added mark, leaving the others where they are; nothing without one.
    void RemoveProbeMark(const CHostProbedItem* item);

private:
    CHostBoardMarker* m_marker = nullptr;
    std::vector<const CHostProbedItem*> m_items; // the item of each mark group added, in the marker's order
};
