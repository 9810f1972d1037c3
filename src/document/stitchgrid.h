#pragma once

#include <cstdint>
#include <vector>

namespace trameda::document {

// The chart as data: for every cell, counted in columns and rows from the design's top left, the
// palette entry it was given (0 to 15), or -1 while it has none.
class StitchGrid {
public:
    StitchGrid() = default;
    StitchGrid(int columns, int rows);

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int at(int column, int row) const { return m_cells[index(column, row)]; }
    void set(int column, int row, int entry) { m_cells[index(column, row)] = std::int8_t(entry); }
    // The cells given `entry`.
    long long count(int entry) const;

private:
    std::size_t index(int column, int row) const {
        return std::size_t(row) * std::size_t(m_columns) + std::size_t(column);
    }

    int m_columns = 0;
    int m_rows = 0;
    std::vector<std::int8_t> m_cells;
};

} // namespace trameda::document
