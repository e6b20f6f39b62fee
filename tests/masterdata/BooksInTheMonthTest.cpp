// The books feed the month: on the demo base a new pay kind is added in the
// pay-kind book and a day of schedule 1 is made free in the schedule book;
// Тихонов (110, salary 21,000, schedule 1, worked his 168 hours) gets a
// current accrual of the new kind, and the month's calculation pays it, taxes
// it and measures his salary against the shorter norm.
#include "RefBookWorld.h"
#include "payroll/CalcOptions.h"
#include "support/StoredBase.h"

#include "masterdata/ui/CRefOplUdView.h"
#include "masterdata/ui/CRefSchedView.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/PayKinds.h"

#include <QLineEdit>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::masterdata;
using masterdatatest::RefBookWorld;

namespace {

class BooksInTheMonth : public RefBookWorld {
protected:
    void TypeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeText(field, text);
    }

    // The new kind 130, taxable, income code 2000, in column 2.
    void AddMentoringKind()
    {
        auto* view = Open<CRefOplUdView>(1029);
        ASSERT_TRUE(view);
        TypeInto(view->CodeField(), QStringLiteral("130"));
        QTest::keyClick(view->CodeField(), Qt::Key_Return); // "Создать новый код ?" Yes
        TypeInto(view->Dialog()->Field(FieldName), QStringLiteral("Доплата за наставничество"));
        TypeInto(view->Dialog()->Field(FieldFond), QStringLiteral("1"));
        TypeInto(view->Dialog()->Field(FieldOblPodoh), QStringLiteral("1"));
        TypeInto(view->Dialog()->Field(FieldKodDoh), QStringLiteral("2000"));
        TypeInto(view->Dialog()->Field(FieldVedStlb), QStringLiteral("2"));
        QTest::keyClick(view->Dialog()->Field(FieldVedStlb), Qt::Key_Escape);
        Leave(view->CodeField());
    }

    // Monday 4 April 2011 typed as a free day of schedule 1.
    void FreeTheFourthOfApril()
    {
        auto* view = Open<CRefSchedView>(1028);
        ASSERT_TRUE(view);
        TypeInto(view->NumberField(), QStringLiteral("1"));
        QTest::keyClick(view->NumberField(), Qt::Key_Return);
        QLineEdit* fourth = view->Dialog()->DayField(4);
        TypeInto(fourth, QStringLiteral("0"));
        QTest::keyClick(fourth, Qt::Key_Tab);
        EXPECT_EQ(view->Dialog()->WorkHours()->text(), "160,0");
        Leave(view->Dialog()->Evening());
    }

    // A current accrual of 1,500 roubles of kind 130 for the employee.
    void GiveCurrentAccrual(int tabN)
    {
        const int slot = base().list[std::size_t(base().FindEmployee(tabN))].slot;
        LoadEmployee(base(), slot);
        EmployeeAttributes& attributes = base().attributesOf(slot);
        AccrualRow& row = base().current.rows[attributes.kvProizv];
        row.kod = 130;
        row.sum = 150'000;
        row.mes = 4;
        attributes.kvProizv = std::uint16_t(attributes.kvProizv + 1);
        SaveEmployee(base(), slot);
        SaveComp(base());
    }
};

TEST_F(BooksInTheMonth, NewKindAndFreedDayAreUsedByTheCalculation)
{
    AddMentoringKind();
    FreeTheFourthOfApril();
    ASSERT_TRUE(boxes.Texts().contains(QStringLiteral("Создать новый код ?")));
    GiveCurrentAccrual(110);

    // The month computed from what the base file holds, as the calculation does it.
    PayrollDoc month;
    month.setWorkFolder(folder);
    month.refFiles.setFolder(QStringLiteral(KALVOR_DATA_DIR "/"));
    ASSERT_TRUE(month.refFiles.OpenAll());
    month.infoBase.baseName = base().baseName;
    OpenStoredBase(month.infoBase);
    LoadAll(month.infoBase);
    ASSERT_GE(FindPayKind(month, 130), 0);
    ASSERT_TRUE(SelectAllToSwap(month.infoBase, Selection{}));
    month.infoBase.OpenSwapFile();
    const int index = month.infoBase.FindEmployee(110);
    const int slot = month.infoBase.list[std::size_t(index)].slot;
    EXPECT_EQ(month.infoBase.attributesOf(slot).graph, 1);
    kalvor::CalcResultBuffer resultRows{};
    CalcWorkBuffer work;
    const int count = CalcEmployeeMonth(month, resultRows.data(), index, &work, CalcStore);
    month.infoBase.CloseSwapFile();
    ASSERT_GT(count, 0);

    double salary = -1, mentoring = -1, tax = -1;
    for (int k = 0; k < count; ++k) {
        const AccrualRow& r = resultRows[std::size_t(k)];
        if (r.kod == 4)
            salary = r.sum;
        if (r.kod == 130)
            mentoring = r.sum;
        if (r.kod == 902)
            tax = r.sum;
    }
    // 21,000 x 168 worked hours / 160 hours of the norm.
    EXPECT_DOUBLE_EQ(salary, 2'205'000);
    EXPECT_DOUBLE_EQ(mentoring, 150'000);
    // Without both his tax is 2,730 (payroll's demo month); now 13 % of the
    // extra 1,050 + 1,500 roubles more.
    EXPECT_NEAR(tax, (2'730 + 0.13 * (1'050 + 1'500)) * 100, 100);
    CloseBase(month.infoBase);
}

} // namespace
