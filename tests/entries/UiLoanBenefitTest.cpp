// The tax on a loan's benefit on the demo base, driven by the screens: the
// loan's "Налог с процентов" ticked on "Ссуды и кредиты", the firm's loan
// rate set, and the month recomputed by the quick command that opens the
// personal account ("Расчет и лицевой счет"), as an accountant does it, and
// once more from the personal account it opened, which holds the
// employee's computed rows alone: the recompute reads him from the base.
#include "DemoEntryWorld.h"
#include "entries/ui/CCurnuSsudKredDlg.h"
#include "entries/ui/CCurnuSsudKredView.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "support/ScreenText.h"

#include <QCheckBox>

#ifdef KALVOR_DATA_DIR

using namespace entrytest;

namespace {

// A loan of 27,000.00 at 3,000.00 a month; his month's pay is one entered
// row of piece work, 19,971.17.
constexpr int kLoanDebtor = 117;

class LoanBenefit : public DemoEntryWorld {
protected:
    // The quick command "Расчет и лицевой счет": the personal account opened
    // on the last employee, computed first.
    void RecomputeByQuickCommand(int tabN)
    {
        doc->LastPersonnelNumber = unsigned(tabN);
        doc->OpenWithLastEmployee = 2;
        Open<CCalcLicSchetView>();
        Close();
    }
    // Kopecks of the employee's stored rows of a code, the entered and the
    // computed ones apart.
    double Rows(int tabN, int code, bool entered)
    {
        const ib::EmployeeRecord& rec = Stored(tabN);
        const int inputs = Attr(tabN).kvProizv;
        double sum = 0;
        for (int i = entered ? 0 : inputs; i < (entered ? inputs : 60); ++i)
            if (rec.rows[std::size_t(i)].kod == code)
                sum += rec.rows[std::size_t(i)].sum;
        return sum;
    }
};

// Before, as the demo's month stands: his piece work of 19,971.17 (code 1,
// entered) is paid. The tax on
// the loan's benefit ticked and the loan rate at 8.25 %, the month adds the
// benefit of April's 30 days: 27,000.00 x 8.25 % x 30 / 365 = 183.082... =
// 183.08 (79), paid as it is accrued (904, 183.08); the entered row and its
// pay stay.
TEST_F(LoanBenefit, TickingTheTaxOnALoansBenefitKeepsTheEnteredPayAndAddsTheBenefit)
{
    ASSERT_EQ(Attr(kLoanDebtor).kvProizv, 1);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 1, true), 1'997'117);

    {
        auto* view = Open<CCurnuSsudKredView>();
        Apply(view->Strip(), kLoanDebtor);
        QCheckBox* tax = ScreenPart<CCurnuSsudKredDlg>(view)->TaxBox(0);
        tax->setFocus();
        QTest::keyClick(tax, Qt::Key_Space);
        Settle();
        ASSERT_TRUE(tax->isChecked());
        Close();
    }
    ASSERT_EQ(Stored(kLoanDebtor).ssud.loans[0].nalog, 1);
    doc->infoBase.firm.procSsudWhole = 8;
    doc->infoBase.firm.procSsudHundredths = 25;
    ib::SaveFirm(doc->infoBase);

    RecomputeByQuickCommand(kLoanDebtor);
    EXPECT_EQ(Attr(kLoanDebtor).err, 0);
    ASSERT_EQ(Attr(kLoanDebtor).kvProizv, 1);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 1, true), 1'997'117);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 1, false), 1'997'117);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 79, false), 18'308);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 904, false), 18'308);
    // The instalment is still taken.
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 760, false), 300'000);

    // The quick command once more, from the personal account it opened
    // (which holds his computed rows alone): the month is computed from his
    // stored record, the entered pay with it.
    RecomputeByQuickCommand(kLoanDebtor);
    RecomputeByQuickCommand(kLoanDebtor);
    EXPECT_EQ(Attr(kLoanDebtor).err, 0);
    ASSERT_EQ(Attr(kLoanDebtor).kvProizv, 1);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 1, true), 1'997'117);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 1, false), 1'997'117);
    EXPECT_DOUBLE_EQ(Rows(kLoanDebtor, 79, false), 18'308);
}

} // namespace

#endif
