#pragma once
// The result of one SPICE netlist scan: the subcircuits of the file, in file order, duplicates included, each
// with its name and its ports in header order. Names are copies, so the list stays valid after the scanned file
// has been closed.

#include <cstddef>
#include <string>
#include <vector>

class CSpiceSubcircuitList {
public:
    CSpiceSubcircuitList() { Clear(); }

    int GetCount() const { return static_cast<int>(m_names.size()); }
    const std::string& GetName(int k) const { return m_names[static_cast<std::size_t>(k)]; }
    int GetPortCount(int k) const { return m_portCounts[static_cast<std::size_t>(k)]; }
    // Port i (from 0) of subcircuit k; i < GetPortCount(k).
    const std::string& GetPort(int k, int i) const
    {
        return m_nodes[m_nodeStarts[static_cast<std::size_t>(k)] + static_cast<std::size_t>(i)];
    }

    void Clear()
    {
        m_names.clear();
        m_portCounts.clear();
        m_nodes.clear();
        m_nodeStarts.assign(1, 0);
    }

private:
    friend class CSpiceScanner;

    // Node names of all subcircuits one after another; those of subcircuit k run from m_nodeStarts[k] to
    // m_nodeStarts[k + 1], which has one entry more than there are subcircuits.
    std::vector<std::string> m_names;
    std::vector<int> m_portCounts;
    std::vector<std::string> m_nodes;
    std::vector<std::size_t> m_nodeStarts;
};
