#include "SheetModel.h"

#include <algorithm>
#include <cmath>

namespace zel {

namespace {

const SheetCell kEmpty;

// Pixel widths of the standard sheet font at its standard size; wider fonts
// scale them.
double charWidth(QChar c)
{
    const char16_t u = c.unicode();
    if (u == u' ' || u == u'.' || u == u',' || u == u':' || u == u';' || u == u'\'' || u == u'|' || u == u'!'
        || u == u'i' || u == u'l' || u == u'j' || u == u'I')
        return 3.5;
    if (u == u'm' || u == u'w' || u == u'M' || u == u'W')
        return 10.5;
    if (u == u'[' || u == u']' || u == u'(' || u == u')' || u == u'-' || u == u'f' || u == u't' || u == u'r')
        return 4.5;
    if (c.isUpper())
        return 8.0;
    return 7.0;
}

double fontScale(const CellStyle& style)
{
    double scale = style.fontName.compare(QLatin1String("Arial Black"), Qt::CaseInsensitive) == 0 ? 1.3 : 1.0;
    if (style.bold)
        scale *= 1.08;
    if (style.fontSize > 0)
        scale *= double(style.fontSize) / 11.0;
    return scale;
}

} // namespace

QString addressText(CellAddress cell)
{
    QString letters;
    for (int c = cell.column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(cell.row);
}

SheetModel::SheetModel()
{
    m_styles.push_back(CellStyle{});
}

SheetCell& SheetModel::at(int row, int column)
{
    if (row > int(m_rows.size()))
        m_rows.resize(std::size_t(row));
    auto& cells = m_rows[std::size_t(row - 1)];
    if (cells.empty())
        cells.resize(kColumns);
    return cells[std::size_t(column - 1)];
}

const SheetCell& SheetModel::cell(int row, int column) const
{
    if (row < 1 || row > int(m_rows.size()) || column < 1 || column > kColumns)
        return kEmpty;
    const auto& cells = m_rows[std::size_t(row - 1)];
    return cells.empty() ? kEmpty : cells[std::size_t(column - 1)];
}

int SheetModel::styleIndex(const CellStyle& style)
{
    const auto it = std::find(m_styles.begin(), m_styles.end(), style);
    if (it != m_styles.end())
        return int(it - m_styles.begin());
    m_styles.push_back(style);
    return int(m_styles.size() - 1);
}

void SheetModel::setText(int row, int column, const QString& text)
{
    SheetCell& c = at(row, column);
    c.kind = text.isEmpty() ? CellKind::Empty : CellKind::Text;
    c.text = text;
    c.number = 0;
}

void SheetModel::setInt32(int row, int column, std::int32_t value)
{
    SheetCell& c = at(row, column);
    c.kind = CellKind::Int32;
    c.text.clear();
    c.number = value;
}

void SheetModel::setUInt8(int row, int column, std::uint8_t value)
{
    SheetCell& c = at(row, column);
    c.kind = CellKind::UInt8;
    c.text.clear();
    c.number = value;
}

void SheetModel::formatHeading(int row, int column)
{
    SheetCell& c = at(row, column);
    CellStyle style = m_styles[std::size_t(c.style)];
    style.yellowFill = true;
    style.bold = true;
    style.fontName = QStringLiteral("Arial Black");
    style.fontSize = 10;
    style.mediumBorder = true;
    c.style = styleIndex(style);
}

void SheetModel::setFontName(int row, int column, const QString& name)
{
    SheetCell& c = at(row, column);
    CellStyle style = m_styles[std::size_t(c.style)];
    style.fontName = name;
    c.style = styleIndex(style);
}

void SheetModel::select(CellAddress first, CellAddress last)
{
    m_selectionFirst = first;
    m_selectionLast = last;
}

double textWidthPixels(const QString& text, const CellStyle& style)
{
    double px = 0;
    for (const QChar c : text)
        px += charWidth(c);
    return px * fontScale(style);
}

std::vector<double> SheetModel::fittedWidths() const
{
    std::vector<double> widestPx(kColumns, -1.0);
    for (const auto& cells : m_rows) {
        for (std::size_t col = 0; col < cells.size(); ++col) {
            const SheetCell& c = cells[col];
            if (c.kind == CellKind::Empty)
                continue;
            const QString shown = c.kind == CellKind::Text ? c.text : QString::number(c.number);
            widestPx[col] = std::max(widestPx[col], textWidthPixels(shown, m_styles[std::size_t(c.style)]));
        }
    }
    std::vector<double> widths(kColumns, 0.0);
    for (int col = 0; col < kColumns; ++col) {
        if (widestPx[std::size_t(col)] >= 0)  // 7 pixels a character, 5 pixels of margin
            widths[std::size_t(col)] = std::ceil((widestPx[std::size_t(col)] + 5.0) / 7.0 * 100.0) / 100.0;
    }
    return widths;
}

} // namespace zel
