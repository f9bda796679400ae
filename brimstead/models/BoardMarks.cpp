#include "brimstead/models/BoardMarks.h"

#include "brimstead/HostObjectRefs.h"
#include "brimstead/models/BoardMarkShapes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr COLORREF kMarkColour = 0xFFFFFF; // white
constexpr double kHalfPi = 1.5707963267948966;

// Makes a mark of the shape in the group and gives it the marks' look.
void AddMark(CHostMarkGroup* group, CBoardMarkShape& shape, double lineWidth)
{
    CHostMarkGeometry* geometry = group->MakeGeometry(&shape);
    if (!geometry)
        return;
    CHostMark* mark = group->AddMark(geometry);
    if (!mark)
        return;
    mark->SetStyle(0);
    mark->SetLineWidth(lineWidth);
    mark->SetColour(kMarkColour, 0);
}

// The largest pad dimension of the item on the board's metal layers, or `size` when none is larger.
double LargestPadDimension(CHostProbedItem* item, double size)
{
    double d = size;
    CHostBoard* board = item->GetBoard();
    if (!board)
        return d;
    const CHostCollectionRef layers(board->GetLayers());
    for (int i = 0; i < layers.Count(); ++i) {
        CHostLayer* layer = layers.Item<CHostLayer>(i);
        if (!layer || layer->GetKind() == HostLayerKindSkipped)
            continue;
        CHostPadShape* pad = item->GetPad(layer);
        if (!pad)
            continue;
        switch (pad->GetKind()) {
        case HostPadRound:
            d = std::max(d, pad->GetDiameter());
            break;
        case HostPadSquare:
            d = std::max(d, pad->GetSide());
            break;
        case HostPadRectangle:
        case HostPadOblong:
        case HostPadOctagon:
            d = std::max({d, pad->GetWidth(), pad->GetHeight()});
            break;
        default:
            break;
        }
    }
    return d;
}

} // namespace

void CBoardMarks::Clear()
{
    if (!m_marker)
        return;
    for (int count = m_marker->GetMarkCount(); count != 0;) {
        m_marker->RemoveMark(0);
        const int after = m_marker->GetMarkCount();
        if (after >= count)
            break;
        count = after;
    }
    m_items.clear();
}

bool CBoardMarks::KnowsAllMarks() const
{
    return m_marker && m_marker->GetMarkCount() == static_cast<int>(m_items.size());
}

int CBoardMarks::CountProbeMarks(const CHostProbedItem* item) const
{
    return static_cast<int>(std::count(m_items.begin(), m_items.end(), item));
}

void CBoardMarks::RemoveProbeMark(const CHostProbedItem* item)
{
    if (!KnowsAllMarks())
        return;
    const auto last = std::find(m_items.rbegin(), m_items.rend(), item);
    if (last == m_items.rend())
        return;
    const auto index = static_cast<int>(std::distance(m_items.begin(), last.base()) - 1);
    m_marker->RemoveMark(index);
    m_items.erase(m_items.begin() + index);
}

void CBoardMarks::AddProbeMark(CHostProbedItem* item)
{
    if (!m_marker || !item)
        return;
    const CHostPosition* position = item->GetPositionPtr();
    if (!position)
        return;
    CHostMarkGroup* group = m_marker->CreateMarkGroup(1);
    if (!group)
        return;
    m_items.push_back(item);

    const double size = item->GetSize();
    const double d = LargestPadDimension(item, size);
    const double x = position->x, y = position->y;
    const double lineWidth = size * 0.1;

    CBoardMarkCircleShape circle(d, x, y);
    AddMark(group, circle, lineWidth);

    // The ticks point away from the circle, as long as the item is: from the circle's radius outwards.
    const double inner = d / 2, outer = d / 2 + size / 2;
    for (int k = 0; k < 4; ++k) {
        const double angle = k * kHalfPi;
        const double c = std::cos(angle), s = std::sin(angle);
        CBoardMarkSegmentShape tick(x + inner * c, y + inner * s, x + outer * c, y + outer * s);
        AddMark(group, tick, lineWidth);
    }
}
