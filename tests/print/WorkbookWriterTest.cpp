// Spreadsheet workbooks: text, numbers, a merged range and a column width
// saved and read back by openpyxl; refused names and cells, an unwritable
// folder and a name taken meanwhile give a message and leave no file; the
// writer after its save.
#include "print/WorkbookWriter.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace pr = kalvor::print;

namespace {

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The workbook as openpyxl reads it: the sheet's name, each cell that holds
// something ("A1 s|n bold|NUMBER-FORMAT value"), the merged ranges and the
// widths of the columns given one. "no openpyxl" when it is not installed.
QStringList ReadBack(const QString& path)
{
    static const char* const script = R"(
import sys
try:
    import openpyxl
except ImportError:
    print("no openpyxl"); sys.exit(0)
sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
print("sheet", sheet.title)
for row in sheet.iter_rows():
    for cell in row:
        if cell.value is not None:
            style = "bold" if cell.font.b else cell.number_format
            print(cell.coordinate, cell.data_type, style, cell.value)
for merged in sheet.merged_cells.ranges:
    print("merged", merged.coord)
for name, column in sorted(sheet.column_dimensions.items()):
    if column.customWidth:
        print("width", name, "%.2f" % column.width)
)";
    // Debian's python3, for which python3-openpyxl is installed (a python3
    // of the user's own, earlier on the path, may not have it).
    QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    if (python.isEmpty())
        python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {QStringLiteral("no openpyxl")};
    QProcess reader;
    reader.start(python, {QStringLiteral("-c"), QString::fromUtf8(script), path});
    reader.waitForFinished(60'000);
    const QString out = QString::fromUtf8(reader.readAllStandardOutput());
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts) +
           QString::fromUtf8(reader.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// A small register: a merged title, a header row, two rows of amounts.
void FillRegister(pr::WorkbookWriter& book)
{
    const int sheet = book.AddSheet(QStringLiteral("Реестр"));
    ASSERT_EQ(sheet, 0);
    book.MergeRange(sheet, 0, 0, 0, 2, QStringLiteral("Реестр перечислений"), pr::CellFormat::Bold);
    book.WriteText(sheet, 1, 0, QStringLiteral("Таб. N"), pr::CellFormat::Bold);
    book.WriteText(sheet, 1, 1, QStringLiteral("Фамилия И. О."), pr::CellFormat::Bold);
    book.WriteText(sheet, 1, 2, QStringLiteral("Сумма"), pr::CellFormat::Bold);
    book.WriteNumber(sheet, 2, 0, 12);
    book.WriteText(sheet, 2, 1, QStringLiteral("Иванов И. И."));
    book.WriteNumber(sheet, 2, 2, 12345.67, pr::CellFormat::Money);
    book.WriteNumber(sheet, 3, 0, 305);
    book.WriteText(sheet, 3, 1, QStringLiteral("Петрова А. С."));
    book.WriteNumber(sheet, 3, 2, 0.5, pr::CellFormat::Money);
    book.SetColumnWidth(sheet, 1, 1, 30);
}

} // namespace

TEST(WorkbookWriter, ASavedWorkbookIsOneFileWithItsCells)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("reestr.xlsx"));
    {
        pr::WorkbookWriter book(path);
        FillRegister(book);
        // Nothing is at the target before the save: the library writes at
        // the temporary name, renamed over the target when complete.
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(book.Save(), QString());
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("reestr.xlsx")});

    const QStringList lines = ReadBack(path);
    if (lines == QStringList{QStringLiteral("no openpyxl")})
        GTEST_SKIP() << "python3-openpyxl is not installed (tools/setup.sh --tests): the workbook is not read back";
    // Texts as texts (s), numbers as numbers (n) with the money format on
    // the amounts, the title merged over three columns, column B 30
    // characters wide: 30 * 7 + 5 = 215 pixels, stored as 215 / 7 = 30.71
    // characters with the cell's padding.
    EXPECT_EQ(lines, (QStringList{
                         QStringLiteral("sheet Реестр"),
                         QStringLiteral("A1 s bold Реестр перечислений"),
                         QStringLiteral("A2 s bold Таб. N"),
                         QStringLiteral("B2 s bold Фамилия И. О."),
                         QStringLiteral("C2 s bold Сумма"),
                         QStringLiteral("A3 n General 12"),
                         QStringLiteral("B3 s General Иванов И. И."),
                         QStringLiteral("C3 n #,##0.00 12345.67"),
                         QStringLiteral("A4 n General 305"),
                         QStringLiteral("B4 s General Петрова А. С."),
                         QStringLiteral("C4 n #,##0.00 0.5"),
                         QStringLiteral("merged A1:C1"),
                         QStringLiteral("width B 30.71"),
                     }));
}

TEST(WorkbookWriter, AFailureIsAMessageAndLeavesNoFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // A folder that does not exist, and one that is a regular file (which
    // no user, root neither, can write into), cannot take the file: the
    // save stops there with the whole message and writes nothing.
    {
        QFile plain(dir.filePath(QStringLiteral("plain")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    for (const QString& folder : {dir.filePath(QStringLiteral("нет")), dir.filePath(QStringLiteral("plain"))}) {
        const QString nowhere = folder + QStringLiteral("/reestr.xlsx");
        pr::WorkbookWriter unwritable(nowhere);
        FillRegister(unwritable);
        EXPECT_EQ(unwritable.Save(),
                  QStringLiteral("Ошибка записи в файл %1\nПапка %2 не найдена").arg(nowhere, folder));
        EXPECT_FALSE(QFileInfo::exists(nowhere));
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("plain")});
    QFile::remove(dir.filePath(QStringLiteral("plain")));

    // A refused sheet name is reported at the save, and nothing is written.
    const QString path = dir.filePath(QStringLiteral("bad.xlsx"));
    pr::WorkbookWriter bad(path);
    EXPECT_EQ(bad.AddSheet(QStringLiteral("Лист[1]")), -1);
    bad.WriteText(0, 0, 0, QStringLiteral("x"));
    EXPECT_EQ(bad.Save(), QStringLiteral("Недопустимое имя листа \"Лист[1]\""));
    EXPECT_TRUE(Entries(dir.path()).isEmpty());

    // A merged range past the sheet's edge.
    pr::WorkbookWriter outside(path);
    const int sheet = outside.AddSheet(QStringLiteral("Лист1"));
    outside.MergeRange(sheet, 0, 0, 2'000'000, 1, QStringLiteral("x"));
    EXPECT_FALSE(outside.Save().isEmpty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(WorkbookWriter, SavingOverAnOldFileReplacesIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("reestr.xlsx"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    pr::WorkbookWriter book(path);
    FillRegister(book);
    EXPECT_EQ(book.Save(), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("PK"));
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("reestr.xlsx")});
}

TEST(WorkbookWriter, AFileThatCannotTakeItsNameIsAFailedSave)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("reestr.xlsx"));
    pr::WorkbookWriter book(path);
    FillRegister(book);
    // A folder made at the name after the writer began: the workbook is
    // written whole at its temporary name, which then cannot take the name.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("reestr.xlsx")));
    EXPECT_EQ(book.Save(), QStringLiteral("Ошибка записи в файл %1\nНа месте файла находится папка").arg(path));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(WorkbookWriter, TheSaveSpendsTheWriter)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("reestr.xlsx"));
    pr::WorkbookWriter book(path);
    FillRegister(book);
    ASSERT_EQ(book.Save(), QString());
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();

    // The sheets went with the saved workbook: the calls after the save are
    // refused (no write into what was freed), the second save writes nothing
    // and says why, and the file stays as the first save wrote it.
    EXPECT_EQ(book.AddSheet(QStringLiteral("Ещё")), -1);
    book.WriteText(0, 5, 0, QStringLiteral("после записи"));
    book.WriteNumber(0, 5, 1, 1.5);
    book.SetColumnWidth(0, 0, 0, 10);
    book.MergeRange(0, 6, 0, 6, 2, QStringLiteral("после записи"));
    const QString already = QStringLiteral("Книга %1 уже записана").arg(path);
    EXPECT_EQ(book.Save(), already);
    EXPECT_EQ(book.Save(), already);
    QFile again(path);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), bytes);
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("reestr.xlsx")});

    // A writer whose save failed says that failure again.
    const QString nowhere = dir.filePath(QStringLiteral("нет/reestr.xlsx"));
    pr::WorkbookWriter unwritable(nowhere);
    FillRegister(unwritable);
    const QString failed = unwritable.Save();
    EXPECT_FALSE(failed.isEmpty());
    unwritable.WriteText(0, 5, 0, QStringLiteral("после записи"));
    EXPECT_EQ(unwritable.Save(), failed);
}
