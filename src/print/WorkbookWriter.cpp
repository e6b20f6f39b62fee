#include "print/WorkbookWriter.h"

#include "platform/SavedFile.h"
#include "platform/TaskThread.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <memory>
#include <utility>
#include <vector>

namespace kalvor::print {

struct WorkbookWriter::Impl {
    explicit Impl(const QString& target) : path(target), file(std::make_unique<platform::SavedFile>(target)) {}
    QString path;
    // The workbook is written at its temporary name; dropped (and the
    // temporary file with it) by a save that fails.
    std::unique_ptr<platform::SavedFile> file;
    lxw_workbook* workbook = nullptr;
    std::vector<lxw_worksheet*> sheets;
    lxw_format* bold = nullptr;
    lxw_format* money = nullptr;
    QString error;

    // Keeps the first failure only: it is the one that explains the rest.
    void Fail(const QString& what)
    {
        if (error.isEmpty())
            error = what;
    }
    void Check(lxw_error result, const QString& what)
    {
        if (result != LXW_NO_ERROR)
            Fail(QStringLiteral("%1: %2").arg(what, QString::fromUtf8(lxw_strerror(result))));
    }
    lxw_worksheet* Sheet(int sheet)
    {
        if (sheet >= 0 && sheet < int(sheets.size()))
            return sheets[std::size_t(sheet)];
        Fail(QStringLiteral("Нет листа %1 в книге").arg(sheet));
        return nullptr;
    }
    lxw_format* Format(CellFormat format) const
    {
        switch (format) {
        case CellFormat::Bold: return bold;
        case CellFormat::Money: return money;
        case CellFormat::Plain: break;
        }
        return nullptr;
    }
    // Writes the workbook into the open temporary file and puts the file at
    // its name; nothing is written after a failure of the calls or when the
    // file could not be made. The workbook is freed in every case.
    QString Write(lxw_workbook* workbook, platform::SavedFile& file)
    {
        if (!error.isEmpty() || !file.isOpen()) {
            lxw_workbook_free(workbook);
            return error.isEmpty() ? file.failureText() : error;
        }
        if (const lxw_error closed = workbook_close(workbook); closed != LXW_NO_ERROR)
            return QStringLiteral("%1 %2: %3")
                .arg(platform::FileErrorKindText(platform::FILE_ERROR_WRITE), QDir::toNativeSeparators(path),
                     QString::fromUtf8(lxw_strerror(closed)));
        return file.commit() ? QString() : file.failureText();
    }
    static bool InRange(int row, int col) { return row >= 0 && col >= 0 && row < LXW_ROW_MAX && col < LXW_COL_MAX; }
};

WorkbookWriter::WorkbookWriter(const QString& path) : m_impl(std::make_unique<Impl>(path))
{
    // The library writes only at the save, at the temporary file's name. A
    // folder that cannot take the file (no temporary name) is said at the
    // save as a failed write, and the workbook is then dropped unwritten.
    m_impl->file->open(QIODevice::WriteOnly);
    m_impl->workbook = workbook_new(QFile::encodeName(m_impl->file->temporaryName()).constData());
    if (!m_impl->workbook) {
        m_impl->Fail(QStringLiteral("Ошибка при создании книги %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    m_impl->bold = workbook_add_format(m_impl->workbook);
    format_set_bold(m_impl->bold);
    m_impl->money = workbook_add_format(m_impl->workbook);
    format_set_num_format(m_impl->money, "#,##0.00");
}

WorkbookWriter::~WorkbookWriter()
{
    // A workbook never saved is dropped without writing anything.
    if (m_impl->workbook)
        lxw_workbook_free(m_impl->workbook);
}

int WorkbookWriter::AddSheet(const QString& name)
{
    if (!m_impl->workbook)
        return -1;
    const QByteArray utf8 = name.toUtf8();
    if (workbook_validate_sheet_name(m_impl->workbook, utf8.constData()) != LXW_NO_ERROR) {
        m_impl->Fail(QStringLiteral("Недопустимое имя листа \"%1\"").arg(name));
        return -1;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(m_impl->workbook, utf8.constData());
    if (!sheet) {
        m_impl->Fail(QStringLiteral("Недопустимое имя листа \"%1\"").arg(name));
        return -1;
    }
    m_impl->sheets.push_back(sheet);
    return int(m_impl->sheets.size()) - 1;
}

void WorkbookWriter::WriteText(int sheet, int row, int col, const QString& text, CellFormat format)
{
    if (lxw_worksheet* target = m_impl->Sheet(sheet))
        m_impl->Check(worksheet_write_string(target, lxw_row_t(row), lxw_col_t(col), text.toUtf8().constData(),
                                             m_impl->Format(format)),
                      QStringLiteral("Ячейка %1:%2").arg(row).arg(col));
}

void WorkbookWriter::WriteNumber(int sheet, int row, int col, double value, CellFormat format)
{
    if (lxw_worksheet* target = m_impl->Sheet(sheet))
        m_impl->Check(worksheet_write_number(target, lxw_row_t(row), lxw_col_t(col), value, m_impl->Format(format)),
                      QStringLiteral("Ячейка %1:%2").arg(row).arg(col));
}

void WorkbookWriter::SetColumnWidth(int sheet, int firstCol, int lastCol, double width)
{
    if (lxw_worksheet* target = m_impl->Sheet(sheet))
        m_impl->Check(worksheet_set_column(target, lxw_col_t(firstCol), lxw_col_t(lastCol), width, nullptr),
                      QStringLiteral("Столбцы %1-%2").arg(firstCol).arg(lastCol));
}

void WorkbookWriter::MergeRange(int sheet, int firstRow, int firstCol, int lastRow, int lastCol, const QString& text,
                                CellFormat format)
{
    lxw_worksheet* target = m_impl->Sheet(sheet);
    if (!target)
        return;
    if (!Impl::InRange(firstRow, firstCol) || !Impl::InRange(lastRow, lastCol)) {
        m_impl->Fail(
            QStringLiteral("Диапазон %1:%2-%3:%4 вне листа").arg(firstRow).arg(firstCol).arg(lastRow).arg(lastCol));
        return;
    }
    m_impl->Check(worksheet_merge_range(target, lxw_row_t(firstRow), lxw_col_t(firstCol), lxw_row_t(lastRow),
                                        lxw_col_t(lastCol), text.toUtf8().constData(), m_impl->Format(format)),
                  QStringLiteral("Диапазон %1:%2-%3:%4").arg(firstRow).arg(firstCol).arg(lastRow).arg(lastCol));
}

QString WorkbookWriter::Save()
{
    std::unique_ptr<platform::SavedFile> file = std::move(m_impl->file);
    lxw_workbook* workbook = std::exchange(m_impl->workbook, nullptr);
    // The sheets go with the workbook: a call after the save finds none and
    // is refused, and a second save says so instead of an empty success.
    m_impl->sheets.clear();
    const QString outcome = workbook ? m_impl->Write(workbook, *file) : m_impl->error;
    m_impl->Fail(outcome.isEmpty() ? QStringLiteral("Книга %1 уже записана").arg(QDir::toNativeSeparators(m_impl->path))
                                   : outcome);
    return outcome;
}

} // namespace kalvor::print
