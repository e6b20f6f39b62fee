// Spreadsheet workbooks: text, numbers and a merged range saved and read back
// by a spreadsheet program; refused names and cells and an unwritable folder
// give a message and leave no file.
#include "print/WorkbookWriter.h"
#include "support/OfficeConvert.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace pr = kalvor::print;

using namespace kalvor::testsupport;

namespace {

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
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
        EXPECT_EQ(book.Save(), QString());
    }
    EXPECT_EQ(Entries(dir.path()), QStringList{QStringLiteral("reestr.xlsx")});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("PK")); // a zip package

    // The tests install Writer alone; Calc reads the workbook when it is there.
    const QString office = QFileInfo(OfficeProgram()).canonicalFilePath();
    if (office.isEmpty() || !QFileInfo(office).dir().exists(QStringLiteral("libsclo.so")))
        GTEST_SKIP() << "LibreOffice Calc is not installed: the workbook is not read back";
    QFile csv(ConvertWithOffice(path, QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76"),
                                dir.filePath(QStringLiteral("csv"))));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].trimmed(), QStringLiteral("Реестр перечислений,,"));
    EXPECT_EQ(lines[1].trimmed(), QStringLiteral("Таб. N,Фамилия И. О.,Сумма"));
    EXPECT_EQ(lines[2].trimmed(), QStringLiteral("12,Иванов И. И.,\"12,345.67\""));
    EXPECT_EQ(lines[3].trimmed(), QStringLiteral("305,Петрова А. С.,0.50"));
}

TEST(WorkbookWriter, AFailureIsAMessageAndLeavesNoFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // A folder that does not exist cannot take the file.
    const QString nowhere = dir.filePath(QStringLiteral("нет/reestr.xlsx"));
    pr::WorkbookWriter unwritable(nowhere);
    FillRegister(unwritable);
    const QString message = unwritable.Save();
    EXPECT_TRUE(message.startsWith(QStringLiteral("Ошибка записи в файл"))) << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(nowhere));

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
