// The length-of-service book and the profession book feed the month: on the
// demo base a profession "Шлифовщик" (17) is added, Тихонов (110) is given it,
// and a rule pays 1,000 roubles a month of kind 25 to profession 17 only, the
// profession picked from the help list of the rule's "Профес." column. The
// month's calculation pays the allowance to him and to nobody else, and the
// profession's name is the new one.
#include "RefTablesWorld.h"
#include "payroll/CalcOptions.h"

#include "grid/FldHlpGridCtrl.h"
#include "masterdata/ui/CRefGridBookView.h"
#include "masterdata/ui/CRefStagView.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/Criteria.h"
#include "payroll/PayKinds.h"
#include "shell/ui/FieldHelp.h"
#include "support/StoredBase.h"
#include "values/Text8.h"

#include <QTableWidget>

using namespace kalvor;
using namespace kalvor::infobase;
using masterdatatest::RefTablesWorld;

namespace {

constexpr int kAllowanceKind = 25; // "Надбавка за разряд (классность)"
constexpr int kGrinder = 17;

class SeniorityInTheMonth : public RefTablesWorld {
protected:
    void AddGrinder()
    {
        auto* view = Open<CRefGridBookView>(1035);
        ASSERT_TRUE(view);
        const int row = view->Grid()->GetRowCount();
        QTest::mouseClick(view->control(CRefGridBookView::IdAdd), Qt::LeftButton);
        TypeCell(view->Grid(), row, 0, QString::number(kGrinder));
        TypeCell(view->Grid(), row, 1, QStringLiteral("Шлифовщик"));
        Leave(view->Grid());
    }

    // What his record card would do: the profession in his master row and
    // in the attributes the selection and the rules read.
    void MakeGrinder(int tabN)
    {
        const int slot = base().list[std::size_t(base().FindEmployee(tabN))].slot;
        LoadEmployee(base(), slot);
        base().current.head.profKod = kGrinder;
        base().attributesOf(slot).prof = kGrinder;
        SaveEmployee(base(), slot);
        SaveComp(base());
    }

    // A rule for profession 17 to 17, the first bound picked in the help list.
    void AddGrinderRule()
    {
        auto* view = Open<CRefStagView>(1037);
        ASSERT_TRUE(view);
        CFldHlpGridCtrl* grid = view->Grid();
        QTest::mouseClick(view->control(CRefStagView::IdAdd), Qt::LeftButton);
        const int row = grid->GetRowCount() - 1;
        TypeCell(grid, row, 0, QString::number(kAllowanceKind));
        grid->SetFocusCell(row, 11);
        grid->setFocus();
        view->ShowFormHelp();
        ASSERT_TRUE(view->HelpList());
        QTableWidget* list = view->HelpList()->table();
        const auto found = list->findItems(QStringLiteral("Шлифовщик"), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentCell(found[0]->row(), 0);
        QTest::keyClick(list, Qt::Key_Return);
        Settle();
        EXPECT_EQ(grid->GetItemText(row, 11), QString::number(kGrinder));
        TypeCell(grid, row, 12, QString::number(kGrinder));
        TypeCell(grid, row, 16, QStringLiteral("1000"));
        Leave(grid);
    }
};

TEST_F(SeniorityInTheMonth, TheAllowanceGoesToTheNewProfessionOnly)
{
    AddGrinder();
    MakeGrinder(110);
    AddGrinderRule();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join('\n').toStdString();

    // The month computed from what the base file and the reference files hold.
    PayrollDoc month;
    month.setWorkFolder(folder);
    ASSERT_TRUE(month.refFiles.OpenAll());
    month.infoBase.baseName = base().baseName;
    OpenStoredBase(month.infoBase);
    LoadAll(month.infoBase);
    ASSERT_EQ(month.infoBase.firm.stag[0].kod, kAllowanceKind);
    ASSERT_TRUE(SelectAllToSwap(month.infoBase, Selection{}));
    month.infoBase.OpenSwapFile();
    kalvor::CalcResultBuffer resultRows{};
    std::map<int, double> allowance; // by personnel number
    for (int index = 0; index < month.infoBase.employeeCount(); ++index) {
        CalcWorkBuffer work;
        const int count = CalcEmployeeMonth(month, resultRows.data(), index, &work, CalcStore);
        ASSERT_GE(count, 0) << index;
        for (int k = 0; k < count; ++k)
            if (resultRows[std::size_t(k)].kod == kAllowanceKind)
                allowance[month.infoBase.list[std::size_t(index)].tabN()] += resultRows[std::size_t(k)].sum;
    }
    month.infoBase.CloseSwapFile();
    // The whole of April for him: 1,000 roubles; nobody else has profession 17.
    ASSERT_EQ(allowance.size(), 1u);
    EXPECT_DOUBLE_EQ(allowance[110], 100'000);

    char name[26];
    FormatProfessionName(name, kGrinder, month);
    EXPECT_EQ(ByteBufferToString(name, 26).trimmed(), QStringLiteral("Шлифовщик"));
    CloseBase(month.infoBase);
}

} // namespace
