#pragma once

#include <cstdint>
#include <vector>

namespace trameda::stitching {

// A pattern's stitches as data: for every cell, counted in columns and rows from the design's top
// left, the entry it was given (0 to 32767: a palette entry or a thread), or -1 where it is left
// unstitched.
class StitchGrid {
public:
    StitchGrid() = default;
    StitchGrid(int columns, int rows);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int at(int column, int row) const { return m_cells[index(column, row)]; }
    void set(int column, int row, int entry) { m_cells[index(column, row)] = std::int16_t(entry); }
    // The cells given `entry`.
    long long count(int entry) const;

private:
    std::size_t index(int column, int row) const {
        return std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    }

    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::int16_t> m_cells;
};

} // namespace trameda::stitching
