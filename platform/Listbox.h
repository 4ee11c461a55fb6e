#pragma once

#include <string>
#include <vector>

#include "platform/RectControl.h"

namespace fw {

// A list of rows of text cells. The rows live in the control, whether or
// not it is visible; a Qt view mirrors them for showing.
class Listbox : public RectControl {
public:
    std::string ClassName() const override { return "Listbox"; }

    int32_t ColumnCount() const;
    // At least 1; existing rows gain empty cells or lose their last ones.
    void SetColumnCount(int32_t count);
    // Appends a row whose column 0 holds `text`, the other cells empty.
    void AddRow(const std::string& text);
    void DeleteAllRows();
    int32_t ListCount() const;
    // Index of the row added last; -1 when none.
    int32_t LastIndex() const;
    // Raises OutOfBoundsException for a row or column that does not exist.
    const std::string& Cell(int32_t row, int32_t column) const;
    void SetCell(int32_t row, int32_t column, const std::string& text);
    void SetTextUnit(int32_t unit);
    // The rows of the property list's InitialValue: one row per line, cells
    // separated by tabs.
    void SetInitialValue(const std::string& text);

protected:
    std::unique_ptr<RectControlImpl> CreateImpl() override;

private:
    void CheckCell(int32_t row, int32_t column) const;
    void MirrorAll();

    std::vector<std::vector<std::string>> m_rows;
    int32_t m_columnCount = 1;
    int32_t m_lastIndex = -1;
};

} // namespace fw
