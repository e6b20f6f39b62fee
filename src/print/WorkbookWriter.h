#pragma once
// Spreadsheet workbooks (.xlsx) for the reports that are delivered as
// spreadsheets: sheets with text and numbers, column widths, a bold and a
// money format, merged ranges. Written with libxlsxwriter; nothing drives a
// spreadsheet program.
//
// Calls only collect the workbook; Save writes it under a temporary name
// beside the target and renames it over the target when complete, so that a
// failed save never leaves half a file. A failure is a message for the user,
// returned by Save: the first failure of any call, or of the writing.
#include <QString>

#include <memory>

namespace kalvor::print {

enum class CellFormat {
    Plain,
    Bold, // bold text
    Money, // "# ##0.00", two decimals
};

class WorkbookWriter {
public:
    // A new empty workbook that Save writes to path.
    explicit WorkbookWriter(const QString& path);
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    // Adds a sheet (names as spreadsheet programs allow them: at most 31
    // characters, none of []:*?/\); returns its number from 0, or -1 when
    // refused.
    int AddSheet(const QString& name);
    // Cells by row and column from 0.
    void WriteText(int sheet, int row, int col, const QString& text, CellFormat format = CellFormat::Plain);
    void WriteNumber(int sheet, int row, int col, double value, CellFormat format = CellFormat::Plain);
    // Width of columns first..last in characters.
    void SetColumnWidth(int sheet, int firstCol, int lastCol, double width);
    // One cell over the range, holding the text.
    void MergeRange(int sheet, int firstRow, int firstCol, int lastRow, int lastCol, const QString& text,
                    CellFormat format = CellFormat::Plain);

    // Writes the workbook; an empty text when it was written, else the
    // message. The first Save spends the writer: the calls after it are
    // refused, and a second Save writes nothing and returns the first one's
    // failure, or "Книга <path> уже записана" when it was written.
    QString Save();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace kalvor::print
