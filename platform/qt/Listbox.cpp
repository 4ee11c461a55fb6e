#include "platform/Listbox.h"

#include <QHeaderView>
#include <QTableWidget>

#include "platform/Exceptions.h"
#include "platform/qt/RectControlImpl.h"

namespace fw {

namespace {

void ShowCell(QTableWidget* table, int row, int column, const std::string& text)
{
    if (QTableWidgetItem* item = table->item(row, column))
        item->setText(ToQString(text));
    else
        table->setItem(row, column, new QTableWidgetItem(ToQString(text)));
}

} // namespace

int32_t Listbox::ColumnCount() const
{
    return m_columnCount;
}

void Listbox::SetColumnCount(int32_t count)
{
    m_columnCount = count < 1 ? 1 : count;
    for (auto& row : m_rows)
        row.resize(size_t(m_columnCount));
    MirrorAll();
}

void Listbox::AddRow(const std::string& text)
{
    std::vector<std::string> row(static_cast<size_t>(m_columnCount));
    row[0] = text;
    m_rows.push_back(std::move(row));
    m_lastIndex = int32_t(m_rows.size()) - 1;
    if (QTableWidget* table = WidgetOf<QTableWidget>(*this)) {
        table->insertRow(m_lastIndex);
        ShowCell(table, m_lastIndex, 0, text);
    }
}

void Listbox::DeleteAllRows()
{
    m_rows.clear();
    m_lastIndex = -1;
    if (QTableWidget* table = WidgetOf<QTableWidget>(*this))
        table->setRowCount(0);
}

int32_t Listbox::ListCount() const
{
    return int32_t(m_rows.size());
}

int32_t Listbox::LastIndex() const
{
    return m_lastIndex;
}

void Listbox::CheckCell(int32_t row, int32_t column) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        throw OutOfBoundsException("Listbox row " + std::to_string(row) + " does not exist ("
            + std::to_string(m_rows.size()) + " rows)");
    if (column < 0 || column >= m_columnCount)
        throw OutOfBoundsException("Listbox column " + std::to_string(column) + " does not exist ("
            + std::to_string(m_columnCount) + " columns)");
}

const std::string& Listbox::Cell(int32_t row, int32_t column) const
{
    CheckCell(row, column);
    return m_rows[size_t(row)][size_t(column)];
}

void Listbox::SetCell(int32_t row, int32_t column, const std::string& text)
{
    CheckCell(row, column);
    std::string& cell = m_rows[size_t(row)][size_t(column)];
    if (cell == text)
        return;
    cell = text;
    if (QTableWidget* table = WidgetOf<QTableWidget>(*this))
        ShowCell(table, row, column, text);
}

void Listbox::SetTextUnit(int32_t unit)
{
    SetTextUnitValue(unit);
}

void Listbox::SetInitialValue(const std::string& text)
{
    DeleteAllRows();
    if (text.empty())
        return;
    // Rows end at CR, LF or CR LF; cells are separated by tabs.
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    for (const auto& row : lines) {
        std::vector<std::string> cells;
        size_t start = 0;
        while (true) {
            size_t tab = row.find('\t', start);
            cells.push_back(row.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
        AddRow(cells[0]);
        for (size_t c = 1; c < cells.size() && c < size_t(m_columnCount); ++c)
            SetCell(m_lastIndex, int32_t(c), cells[c]);
    }
}

void Listbox::MirrorAll()
{
    QTableWidget* table = WidgetOf<QTableWidget>(*this);
    if (!table)
        return;
    table->clearContents();
    table->setColumnCount(m_columnCount);
    table->setRowCount(int(m_rows.size()));
    for (size_t r = 0; r < m_rows.size(); ++r) {
        for (size_t c = 0; c < m_rows[r].size(); ++c) {
            if (!m_rows[r][c].empty())
                ShowCell(table, int(r), int(c), m_rows[r][c]);
        }
    }
}

std::unique_ptr<RectControlImpl> Listbox::CreateImpl()
{
    QWidget* content = ContentOf(*this);
    if (!content)
        return nullptr;
    auto* table = new QTableWidget(content);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setColumnCount(m_columnCount);
    table->setRowCount(int(m_rows.size()));
    for (size_t r = 0; r < m_rows.size(); ++r) {
        for (size_t c = 0; c < m_rows[r].size(); ++c)
            ShowCell(table, int(r), int(c), m_rows[r][c]);
    }
    auto impl = std::make_unique<RectControlImpl>(table);
    return impl;
}

} // namespace fw
