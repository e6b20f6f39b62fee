// The two 1C dialogs of the postings export driven by keys: the chart of
// accounts filled, saved to its bytes and shown again, its row limit and a
// failed write; the transition tables in their two steps with a new number,
// a changed one, a brigade-only number, a deleted row, "Отмена" after the
// first "ОК" and a full file; the chart's two-row heading as a picture.
#include "shell/UiTestSupport.h"

#include "exchange/ui/CEFuncPrExpPerehDlg.h"
#include "exchange/ui/CEFuncPrExpPlanDlg.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Types the text into the cell and ends the edit with Enter.
void TypeCell(CGridCtrl* grid, int row, int column, const QString& text)
{
    grid->setFocus();
    grid->SetFocusCell(row, column);
    QApplication::processEvents();
    for (QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
        QTest::keyClick(target, char(c.unicode()));
        QApplication::processEvents();
    }
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : grid;
    QTest::keyClick(target, Qt::Key_Return);
    QApplication::processEvents();
}

void Click(ControlMap& dialog, int id) { QTest::mouseClick(dialog.control(id), Qt::LeftButton); }

QByteArray PerehLine(const char* text) { return QByteArray(text).leftJustified(50, ' ') + "\r\n"; }

class UiOneCDialogs : public ::testing::Test {
protected:
    QString File(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }

    QTemporaryDir dir;
    MessageRecorder messages;
};

} // namespace

TEST_F(UiOneCDialogs, ChartFilledByKeysIsSavedToItsBytesAndShownAgain)
{
    {
        CEFuncPrExpPlanDlg dialog(nullptr, dir.path());
        ASSERT_TRUE(ShowActive(&dialog));
        CGridCtrl* grid = dialog.Grid();
        EXPECT_EQ(grid->GetRowCount(), 2); // a missing file: headings only
        EXPECT_TRUE(QFileInfo::exists(File("plan_1c.txt")));

        Click(dialog, COneCGridDlg::IdAdd);
        ASSERT_EQ(grid->GetRowCount(), 3);
        EXPECT_EQ(grid->GetFocusCell().row, 2);
        TypeCell(grid, 2, 0, QStringLiteral("70"));
        TypeCell(grid, 2, 1, QStringLiteral("1"));
        TypeCell(grid, 2, 2, QStringLiteral("1"));
        TypeCell(grid, 2, 4, QStringLiteral("12"));
        Click(dialog, COneCGridDlg::IdAdd);
        TypeCell(grid, 3, 0, QStringLiteral("20"));
        // Out of range, and not a number: refused as typed, the cells stay empty.
        TypeCell(grid, 3, 1, QStringLiteral("1000"));
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        TypeCell(grid, 3, 5, QStringLiteral("2"));
        TypeCell(grid, 3, 6, QStringLiteral("x"));
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        EXPECT_EQ(messages.Texts(), (QStringList{QStringLiteral("Значение поля \"Субсчет\" должно быть от 0 до 999: 1000"),
                                                 QStringLiteral("Некорректное число в поле \"Субконто 1, уровень 2, вариант\": x")}))
            << messages.Texts().join(QLatin1Char('\n')).toStdString();
        messages.boxes.clear();
        TypeCell(grid, 3, 7, QStringLiteral("9999"));
        Click(dialog, COneCGridDlg::IdAdd);
        TypeCell(grid, 4, 1, QStringLiteral("5")); // no account: dropped
        EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral("70"));
        Click(dialog, 1);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(messages.boxes.empty());
    }
    QByteArray rest;
    for (int slot = 2; slot < 8; ++slot) rest += "00   0 ";
    EXPECT_EQ(ReadAll(File("plan_1c.txt")),
              " 70   1 10  12 00   0 " + rest + "\r\n" + " 20   0 00   0 209999 " + rest + "\r\n");

    CEFuncPrExpPlanDlg again(nullptr, dir.path());
    CGridCtrl* grid = again.Grid();
    ASSERT_EQ(grid->GetRowCount(), 4);
    EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral(" 70"));
    EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("  1"));
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("1"));
    EXPECT_EQ(grid->GetItemText(2, 3), QString());
    EXPECT_EQ(grid->GetItemText(2, 4), QStringLiteral("  12"));
    EXPECT_EQ(grid->GetItemText(3, 1), QStringLiteral("  0"));
    EXPECT_EQ(grid->GetItemText(3, 5), QStringLiteral("2"));
    EXPECT_EQ(grid->GetItemText(3, 6), QString());
    EXPECT_EQ(grid->GetItemText(3, 7), QStringLiteral("9999"));
    EXPECT_EQ(grid->GetItemText(3, 25), QString());
}

TEST_F(UiOneCDialogs, ChartKeepsAHundredRowsAndStaysOpenWhenTheFileCannotBeWritten)
{
    QByteArray many;
    for (int k = 1; k <= 150; ++k) many += QByteArray::number(k).rightJustified(3, ' ').leftJustified(64, ' ') + "\r\n";
    WriteAll(File("plan_1c.txt"), many + "tail");
    CEFuncPrExpPlanDlg dialog(nullptr, dir.path());
    ASSERT_TRUE(ShowActive(&dialog));
    CGridCtrl* grid = dialog.Grid();
    ASSERT_EQ(grid->GetRowCount(), 102);
    EXPECT_EQ(grid->GetItemText(101, 0), QStringLiteral("100"));
    Click(dialog, COneCGridDlg::IdAdd); // no 101st row
    EXPECT_EQ(grid->GetRowCount(), 102);

    // Deleting the selected row makes room again.
    grid->SetSelectedRange(5, 0, 5, 25);
    Click(dialog, COneCGridDlg::IdDelete);
    EXPECT_EQ(grid->GetRowCount(), 101);
    EXPECT_EQ(grid->GetItemText(5, 0), QStringLiteral("  5"));

    ASSERT_TRUE(QFile::remove(File("plan_1c.txt")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("plan_1c.txt")));
    Click(dialog, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.Texts(),
              QStringList{QStringLiteral("Ошибка записи в файл %1\nНа месте файла находится папка").arg(File("plan_1c.txt"))});
}

TEST_F(UiOneCDialogs, TransitionStepsMergeShopsThenBrigadesAndWriteAtTheSecondOk)
{
    WriteAll(File("pereh_1c.txt"), PerehLine("   1   10    0  101    0") + PerehLine("   2    0    0  201    0") +
                                       PerehLine("   3   30    1") + PerehLine("   7   70    0  701    0"));
    CEFuncPrExpPerehDlg dialog(nullptr, dir.path());
    ASSERT_TRUE(ShowActive(&dialog));
    CGridCtrl* grid = dialog.Grid();
    EXPECT_EQ(grid->GetItemText(0, 0), QStringLiteral("Номер цеха"));
    ASSERT_EQ(grid->GetRowCount(), 4); // shops 1, 3, 7: number 2 has brigade fields only
    EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral(" 1"));
    EXPECT_EQ(grid->GetItemText(1, 1), QStringLiteral("  10 "));
    EXPECT_EQ(grid->GetItemText(1, 2), QString());

    TypeCell(grid, 2, 1, QStringLiteral("33")); // shop 3 changed
    grid->SetSelectedRange(3, 0, 3, 2); // shop 7 deleted
    Click(dialog, COneCGridDlg::IdDelete);
    Click(dialog, COneCGridDlg::IdAdd); // a new shop 5
    TypeCell(grid, 3, 0, QStringLiteral("5"));
    TypeCell(grid, 3, 1, QStringLiteral("12"));
    Click(dialog, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.ShopStep());
    EXPECT_EQ(ReadAll(File("pereh_1c.txt")).size(), 4 * 52); // nothing written yet

    EXPECT_EQ(grid->GetItemText(0, 0), QStringLiteral("Номер бриг."));
    ASSERT_EQ(grid->GetRowCount(), 4); // brigades 1, 2, 7
    EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral(" 2"));
    TypeCell(grid, 2, 2, QStringLiteral("9"));
    Click(dialog, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.boxes.empty());
    EXPECT_EQ(ReadAll(File("pereh_1c.txt")), PerehLine("   1   10    0  101    0") +
                                                 PerehLine("   2    0    0  201    9") + PerehLine("   3   33    1") +
                                                 PerehLine("   5   12    0") + PerehLine("   7    0    0  701    0"));
}

TEST_F(UiOneCDialogs, TransitionCancelAfterTheFirstOkAndAFullFileWriteNothing)
{
    const QByteArray original = PerehLine("   1   10    0");
    WriteAll(File("pereh_1c.txt"), original);
    {
        CEFuncPrExpPerehDlg dialog(nullptr, dir.path());
        ASSERT_TRUE(ShowActive(&dialog));
        TypeCell(dialog.Grid(), 1, 1, QStringLiteral("44"));
        Click(dialog, 1);
        EXPECT_FALSE(dialog.ShopStep());
        Click(dialog, 2);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(ReadAll(File("pereh_1c.txt")), original);

    QByteArray full;
    for (int number = 1; number <= 100; ++number)
        full += PerehLine(QByteArray::number(number < 60 ? number : number + 1).rightJustified(4, ' ') + "    1    0");
    WriteAll(File("pereh_1c.txt"), full);
    CEFuncPrExpPerehDlg dialog(nullptr, dir.path());
    ASSERT_TRUE(ShowActive(&dialog));
    CGridCtrl* grid = dialog.Grid();
    Click(dialog, COneCGridDlg::IdAdd);
    EXPECT_EQ(grid->GetRowCount(), 100); // 98 shops below 100 and the new row
    TypeCell(grid, 99, 0, QStringLiteral("60"));
    TypeCell(grid, 99, 1, QStringLiteral("6"));
    Click(dialog, 1);
    EXPECT_EQ(messages.Texts(), QStringList{QStringLiteral("Таблицы перехода переполнены")});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.ShopStep()); // still editing the shops: the row can be mended
    grid->SetSelectedRange(99, 0, 99, 2);
    Click(dialog, COneCGridDlg::IdDelete);
    Click(dialog, 1);
    Click(dialog, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(ReadAll(File("pereh_1c.txt")), full);
}

TEST_F(UiOneCDialogs, DemoFilesAndTheChartHeadingPicture)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/plan_1c.txt"), File("plan_1c.txt")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/pereh_1c.txt"), File("pereh_1c.txt")));
    CEFuncPrExpPerehDlg tables(nullptr, dir.path());
    EXPECT_EQ(tables.Grid()->GetRowCount(), 5); // the four shops

    CEFuncPrExpPlanDlg dialog(nullptr, dir.path());
    ASSERT_TRUE(ShowActive(&dialog));
    CGridCtrl* grid = dialog.Grid();
    ASSERT_EQ(grid->GetRowCount(), 2 + 11);
    EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral(" 20"));
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Суб-\nсчет"));
    EXPECT_EQ(grid->GetItemText(0, 14), QStringLiteral("Субконто 3"));
    EXPECT_EQ(grid->GetItemText(1, 23), QStringLiteral("Уровень 2"));
    EXPECT_EQ(grid->GetCell(0, 0)->GetMergeDown(), 1);
    EXPECT_EQ(grid->GetCell(1, 1)->GetMergeDown(), 2);
    EXPECT_EQ(grid->GetCell(0, 8)->GetMergeAcross(), 1);
    EXPECT_EQ(grid->GetCell(0, 13)->GetMergeAcross(), 2);
    EXPECT_EQ(grid->GetCell(1, 5)->GetMergeAcross(), 1);
    EXPECT_EQ(grid->GetRowHeight(0), grid->GetRowHeight(1));
    EXPECT_EQ(grid->GetColumnWidth(0), int(std::ceil(grid->viewport()->width() * 0.06 - 0.5)));

    const QString shots = QStringLiteral(KALVOR_DATA_DIR "/../screenshots");
    QDir().mkpath(shots);
    EXPECT_TRUE(dialog.grab().save(shots + QStringLiteral("/plan_1c_dialog.png")));
}
