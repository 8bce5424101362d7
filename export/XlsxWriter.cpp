#include "XlsxWriter.h"

#include "data/DataFile.h"
#include "data/ZelError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <vector>

namespace zel {

namespace {

lxw_format* makeFormat(lxw_workbook* book, const CellStyle& style)
{
    lxw_format* f = workbook_add_format(book);
    format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    const QByteArray font = style.fontName.toUtf8();
    format_set_font_name(f, font.constData());
    if (style.fontSize > 0)
        format_set_font_size(f, style.fontSize);
    if (style.bold)
        format_set_bold(f);
    if (style.yellowFill) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, 0xFFFF00);  // the automation colour 65535, red and green full
    }
    if (style.mediumBorder)
        format_set_border(f, LXW_BORDER_MEDIUM);
    return f;
}

void check(lxw_error error, const QString& path)
{
    if (error != LXW_NO_ERROR)
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString::fromUtf8(lxw_strerror(error))});
}

} // namespace

void writeXlsx(const SheetModel& sheet, const QString& path)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), scratch.errorString()});
    const QByteArray scratchFile = QFile::encodeName(scratch.filePath(QStringLiteral("workbook.xlsx")));
    const QByteArray scratchDir = QFile::encodeName(scratch.path());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;  // rows go out in order; the sheet is not held twice
    options.tmpdir = const_cast<char*>(scratchDir.constData());
    lxw_workbook* book = workbook_new_opt(scratchFile.constData(), &options);
    if (!book)
        throw ZelError(ErrorId::CannotCreateFile, {QDir::toNativeSeparators(path), QString()});
    lxw_worksheet* ws = workbook_add_worksheet(book, nullptr);

    std::vector<lxw_format*> formats;
    for (const CellStyle& style : sheet.styles())
        formats.push_back(makeFormat(book, style));

    // Every cell of the sheet has the sheet's font and is vertically centred.
    const std::vector<double> widths = sheet.fittedWidths();
    for (int col = 0; col < SheetModel::kColumns; ++col) {
        const double width = widths[std::size_t(col)] > 0 ? widths[std::size_t(col)] : LXW_DEF_COL_WIDTH;
        worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), width, formats[0]);
    }
    // The columns after the last written one too, so that no cell shows another font.
    worksheet_set_column(ws, lxw_col_t(SheetModel::kColumns), LXW_COL_MAX - 1, LXW_DEF_COL_WIDTH, formats[0]);

    for (int row = 1; row <= sheet.rowCount(); ++row) {
        for (int col = 1; col <= SheetModel::kColumns; ++col) {
            const SheetCell& c = sheet.cell(row, col);
            lxw_format* f = formats[std::size_t(c.style)];
            const auto r = lxw_row_t(row - 1);
            const auto k = lxw_col_t(col - 1);
            switch (c.kind) {
            case CellKind::Text:
                worksheet_write_string(ws, r, k, c.text.toUtf8().constData(), f);
                break;
            case CellKind::Int32:
            case CellKind::UInt8:
                worksheet_write_number(ws, r, k, double(c.number), f);
                break;
            case CellKind::Empty:
                if (c.style != 0)
                    worksheet_write_blank(ws, r, k, f);
                break;
            }
        }
    }
    const CellAddress first = sheet.selectionFirst();
    const CellAddress last = sheet.selectionLast();
    worksheet_set_selection(ws, lxw_row_t(first.row - 1), lxw_col_t(first.column - 1), lxw_row_t(last.row - 1),
                            lxw_col_t(last.column - 1));
    check(workbook_close(book), path);

    // Into place through a file that replaces the target only when complete.
    writeWholeFile(path, readWholeFile(QString::fromLocal8Bit(scratchFile), qint64(1) << 31));
}

} // namespace zel
