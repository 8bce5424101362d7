#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace zel {

// How a cell looks: the sheet's own font unless a heading or the last steps
// of the export changed it.
struct CellStyle {
    QString fontName = QStringLiteral("Ms Sans Serif");
    bool bold = false;
    int fontSize = 0;      // 0: the workbook's standard size
    bool yellowFill = false;
    bool mediumBorder = false;  // a continuous medium line on all four sides
    bool operator==(const CellStyle&) const = default;
};

enum class CellKind { Empty, Text, Int32, UInt8 };

struct SheetCell {
    CellKind kind = CellKind::Empty;
    QString text;
    std::int64_t number = 0;
    int style = 0;  // index into SheetModel::styles(); 0 is the sheet's own style
};

struct CellAddress {
    int row = 1;     // from 1
    int column = 1;  // from 1, A = 1
    bool operator==(const CellAddress&) const = default;
};

// "A5", "M17".
QString addressText(CellAddress cell);

// The worksheet as the export leaves it: values with their types, one style
// per distinct look, the selection with its active cell, and the widths that
// fitting the columns to their content gives. Every cell is vertically centred.
class SheetModel {
public:
    static constexpr int kColumns = 16;  // A to P

    SheetModel();

    void setText(int row, int column, const QString& text);  // an empty text empties the cell
    void setInt32(int row, int column, std::int32_t value);
    void setUInt8(int row, int column, std::uint8_t value);
    // Yellow fill, bold "Arial Black" of size 10, medium border on all sides.
    void formatHeading(int row, int column);
    void setFontName(int row, int column, const QString& name);
    void select(CellAddress first, CellAddress last);

    const SheetCell& cell(int row, int column) const;
    int rowCount() const { return int(m_rows.size()); }
    const std::vector<CellStyle>& styles() const { return m_styles; }
    CellAddress selectionFirst() const { return m_selectionFirst; }
    CellAddress selectionLast() const { return m_selectionLast; }
    CellAddress activeCell() const { return m_selectionFirst; }

    // Column widths, in characters of the standard font, fitted to the widest
    // content of each column; 0 for a column without content.
    std::vector<double> fittedWidths() const;

private:
    SheetCell& at(int row, int column);
    int styleIndex(const CellStyle& style);

    std::vector<std::vector<SheetCell>> m_rows;
    std::vector<CellStyle> m_styles;
    CellAddress m_selectionFirst;
    CellAddress m_selectionLast;
};

// The width in pixels of a text in a style, as the spreadsheet measures it
// for fitting a column.
double textWidthPixels(const QString& text, const CellStyle& style);

} // namespace zel
