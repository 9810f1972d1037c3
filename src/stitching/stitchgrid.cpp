#include "stitchgrid.h"

#include <algorithm>

namespace trameda::stitching {

StitchGrid::StitchGrid(int columns, int rows)
    : m_columns(columns), m_rows(rows), m_cells(std::size_t(columns) * std::size_t(rows), -1) {}

long long StitchGrid::count(int entry) const {
    return std::count(m_cells.begin(), m_cells.end(), std::int16_t(entry));
}

} // namespace trameda::stitching
