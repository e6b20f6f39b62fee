// The sick-leave sheets on the demo base, driven by keys: the sick employee
// opened from the strip, "Расчет больничного" against the benefit function,
// Alt+F4 up to the tenth sheet, a sheet without an end date dropped on
// saving, F4/F3 skipping employees without sheets, the child-care allowance
// kept as a permanent payment, and a sheet across two months entered,
// computed and found in the month's calculation; a screenshot of the dialog.
#include "DemoEntryWorld.h"
#include "DemoFirm.h"
#include "entries/ui/CBulletVvodDlg.h"
#include "entries/ui/CBulletVvodView.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/FieldHelp.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/NullableDateEdit.h"
#include "values/RoundText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#ifdef KALVOR_DATA_DIR

namespace {

using namespace entrytest;

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

QString Money(double kopecks) { return kalvor::FormatFixed(kopecks / 100.0, 2); }

// The demo's archive starts in 2010: every sheet of 2011 averaged over 2009
// and 2010 gets a hint, no box, when it is computed.
const QString kNo2009 =
    QStringLiteral("В архиве нет заработка за 2009 год.\nВведите его по справке с прежнего места работы.");

class SickLeaveScreen : public entrytest::DemoEntryWorld {
protected:
    CBulletVvodView* Open()
    {
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 860);
        EXPECT_TRUE(ShowActive(frame.get()));
        auto* view = static_cast<CBulletVvodView*>(frame->SwitchView(
            [](CKalvorDoc* d) -> CCommonFormView* { return new CBulletVvodView(d, RateCorrectionRunner()); }));
        Settle();
        return view;
    }
    void Apply(CBulletVvodView* view, int tabN) { DemoEntryWorld::Apply(view->Strip(), tabN); }
    // "Расчет больничного" from the keyboard: Enter in the kind field.
    static void Compute(CBulletVvodView* view)
    {
        view->Dlg()->Field(CBulletVvodDlg::IdKind)->setFocus();
        PressKey(Qt::Key_Return);
    }
    const ib::LineArray<ib::SickLeaveSheet>& Sheets() const { return doc->infoBase.bln; }
    // The hint shown beside the focused field; empty when none is.
    static QString Hint(CBulletVvodView* view)
    {
        for (CHintWnd* hint : view->findChildren<CHintWnd*>())
            if (hint->isVisible())
                return hint->text();
        return QString();
    }
    QString Cell(CBulletVvodView* view, int grid, int row, int col) const
    {
        return view->Dlg()->controlAs<CFldHlpGridCtrl>(grid)->GetItemText(row, col);
    }
    int Rows(CBulletVvodView* view, int grid) const
    {
        return view->Dlg()->controlAs<CFldHlpGridCtrl>(grid)->GetRowCount();
    }
    // The benefit rows of the employee's month computed and stored.
    double MonthBenefit(int tabN)
    {
        kalvor::CalcResultBuffer rows{};
        const int count = StoreMonthOf(*doc, tabN, rows);
        EXPECT_GT(count, 0);
        double benefit = 0;
        for (int i = 0; i < count; ++i) {
            const int code = rows[std::size_t(i)].kod;
            if ((code >= 110 && code <= 112) || (code >= 155 && code <= 157))
                benefit += rows[std::size_t(i)].sum;
        }
        return benefit;
    }
};

} // namespace

TEST_F(SickLeaveScreen, TheSickEmployeeComputedSteppedAndSaved)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->LastEntryScreen, 4u);

    Apply(view, 122);
    CBulletVvodDlg* dlg = view->Dlg();
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 1 из 1  [Пахомов В. Ю.]"));
    EXPECT_EQ(dlg->Picker(CBulletVvodDlg::IdStart)->Date(), QDate(2011, 3, 28));
    EXPECT_EQ(dlg->Picker(CBulletVvodDlg::IdEnd)->Date(), QDate(2011, 4, 8));

    // "Расчет больничного" shows the benefit that the benefit function gives
    // for the employee's computed rows.
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 1);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Hint(view), kNo2009);
    ib::SickLeaveSheet sheet = Sheets().run(Slot(122))[0];
    kalvor::SickLeaveTables tables;
    const ib::EmployeeRecord& rec = doc->infoBase.current;
    const int entered = doc->infoBase.attributesOf(Slot(122)).kvProizv;
    int computed = 0;
    while (entered + computed < 60 && rec.rows[std::size_t(entered + computed)].kod != 0) ++computed;
    ASSERT_EQ(kalvor::CalcSickLeaveBenefit(*doc, sheet, tables, rec.rows.data() + entered, computed),
              dlg->LastResult());
    EXPECT_GT(sheet.sum, 0);
    EXPECT_DOUBLE_EQ(dlg->Sheet(0).sum, sheet.sum);
    // Two calendar years before 2011: 24 months and the three "==" rows.
    EXPECT_EQ(Rows(view, CBulletVvodDlg::IdEarningsGrid), 1 + 24 + 3);
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdEarningsGrid, 25, 0), QStringLiteral("==2009"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdEarningsGrid, 0, 3), QStringLiteral("К расчету"));
    const int total = Rows(view, CBulletVvodDlg::IdPeriodGrid) - 1;
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, total, 0), QStringLiteral("Итого"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, 1, 0), QStringLiteral("28.03.11"));
    EXPECT_TRUE(dlg->grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/kalvor-sick-leave.png")));

    // Alt+F4 opens empty sheets up to the tenth and no further.
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 2 из 2  [Пахомов В. Ю.]"));
    EXPECT_TRUE(dlg->Picker(CBulletVvodDlg::IdEnd)->IsNull());
    dlg->Picker(CBulletVvodDlg::IdStart)->SetDate(QDate(2011, 4, 20)); // no end date
    for (int i = 0; i < 9; ++i) PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 10 из 10  [Пахомов В. Ю.]"));
    EXPECT_EQ(dlg->CurrentSheet(), 9);

    // F4 saves (the sheet without an end is dropped) and skips to the
    // child-care sheet of Хохлова; nobody after her has sheets.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 128u);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 1 из 1  [Хохлова М. В.]"));
    EXPECT_EQ(Sheets().count(Slot(122)), 1);
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 128u);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, 122u);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 1 из 1  [Пахомов В. Ю.]"));
    Close();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Restart();
    ASSERT_EQ(Sheets().count(Slot(122)), 1);
    EXPECT_EQ(Sheets().run(Slot(122))[0].dEnd, 8);
    // The month pays the benefit that the screen showed, March's days too.
    EXPECT_NEAR(MonthBenefit(122), sheet.sum, 0.5);
}

// A sheet whose end comes before its start is one the month's calculation
// refuses: saving says so and keeps nothing, the screen staying on the
// employee; mended, the sheet is saved.
TEST_F(SickLeaveScreen, ASheetEndingBeforeItStartsIsNotKept)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    Apply(view, 122);
    CBulletVvodDlg* dlg = view->Dlg();
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 3, 20));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 122u);
    EXPECT_EQ(boxes.Texts(),
              QStringList{QStringLiteral("Ошибка в датах болезни.\nБольничный лист не сохранен: исправьте даты.")});
    EXPECT_EQ(Sheets().run(Slot(122))[0].dEnd, 8);
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 4, 5));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 128u);
    EXPECT_EQ(Sheets().run(Slot(122))[0].dEnd, 5);
    EXPECT_EQ(boxes.boxes.size(), 1u);
    Close();
}

// Both dates of the sheet typed as digits and dots (the demo's reporting
// month is April 2011).
TEST_F(SickLeaveScreen, DatesAreTypedAsDigitsAndDots)
{
    CBulletVvodView* view = Open();
    Apply(view, 122);
    CBulletVvodDlg* dlg = view->Dlg();
    EXPECT_EQ(dlg->Picker(CBulletVvodDlg::IdStart)->Date(), QDate(2011, 3, 28));
    CheckTypedDates(dlg->Picker(CBulletVvodDlg::IdStart), dlg->Picker(CBulletVvodDlg::IdEnd), QDate(2011, 4, 1));
    CheckTypedDates(dlg->Picker(CBulletVvodDlg::IdEnd), dlg->Field(CBulletVvodDlg::IdKind), QDate(2011, 4, 1));
}

TEST_F(SickLeaveScreen, TheChildCareAllowanceIsKeptAsAPermanentPayment)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    Apply(view, 128);
    CBulletVvodDlg* dlg = view->Dlg();
    EXPECT_EQ(dlg->Field(CBulletVvodDlg::IdKind)->text(), QStringLiteral("5"));
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 1) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Hint(view), kNo2009);
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdAverageGrid, 0, 0), QStringLiteral("Max"));
    const double kept = dlg->KeptAmount();
    EXPECT_GT(kept, 0);
    auto* keep = dlg->controlAs<QPushButton>(CBulletVvodDlg::IdKeepChildCare);
    keep->setFocus();
    QTest::keyClick(keep, Qt::Key_Space);
    Close();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Restart();
    ib::LoadEmployee(doc->infoBase, Slot(128));
    int found = 0;
    for (const ib::PostDoplEntry& entry : doc->infoBase.current.postDopl)
        if (entry.kod == kalvor::kCodeChildCareFirst) {
            ++found;
            EXPECT_DOUBLE_EQ(entry.sum, kept);
        }
    EXPECT_EQ(found, 1);
}

TEST_F(SickLeaveScreen, AMarkedGroupGetsTheFilledFieldsInTheFirstSheet)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    Apply(view, 110);
    view->TakeHelpValues({QStringLiteral("110"), QStringLiteral("122")});
    Settle();
    CBulletVvodDlg* dlg = view->Dlg();
    ASSERT_TRUE(dlg->m_groupMode);
    EXPECT_TRUE(dlg->Picker(CBulletVvodDlg::IdStart)->IsNull());
    EXPECT_EQ(dlg->Field(CBulletVvodDlg::IdKind)->text(), QString());
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 4, 15));
    QLineEdit* percent = dlg->Field(CBulletVvodDlg::IdPercent);
    percent->setFocus();
    TypeKeys(QStringLiteral("60"));
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    Close();

    Restart();
    // 110's new sheet has no start day, so it is not kept; 122's sheet takes
    // the end date and the percentage and keeps its start.
    EXPECT_EQ(Sheets().count(Slot(110)), 0);
    ASSERT_EQ(Sheets().count(Slot(122)), 1);
    const ib::SickLeaveSheet sheet = Sheets().run(Slot(122))[0];
    EXPECT_EQ(sheet.dBegin, 28);
    EXPECT_EQ(sheet.dEnd, 15);
    EXPECT_EQ(sheet.procent, 60);
}

TEST_F(SickLeaveScreen, ASheetAcrossTwoMonthsIsComputedAndPaidInTheMonth)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    Apply(view, 110);
    CBulletVvodDlg* dlg = view->Dlg();
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Больничный лист 1 из 1  [Тихонов В. А.]"));
    dlg->Picker(CBulletVvodDlg::IdStart)->SetDate(QDate(2011, 4, 25));
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 5, 6));
    Compute(view);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Hint(view), kNo2009);
    ASSERT_GE(dlg->LastResult(), 1);
    const double benefit = dlg->Sheet(0).sum;
    EXPECT_GT(benefit, 0);
    // The earnings of the period and the benefit of April and May.
    EXPECT_EQ(Rows(view, CBulletVvodDlg::IdEarningsGrid), 1 + 24 + 3);
    EXPECT_FALSE(Cell(view, CBulletVvodDlg::IdEarningsGrid, 1, 2).isEmpty());
    EXPECT_EQ(Rows(view, CBulletVvodDlg::IdPeriodGrid), 1 + 2 + 1);
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, 2, 1), QStringLiteral("06.05.11"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, 3, 5), Money(benefit));
    Close();

    Restart();
    ASSERT_EQ(Sheets().count(Slot(110)), 1);
    EXPECT_NEAR(MonthBenefit(110), benefit, 0.5);
}

// 108's sheet from 10 May 2011 is averaged over 2009 and 2010; the base has
// no earnings of 2009: "Расчет больничного" says in a hint which year the
// archive lacks; a sheet averaged over twelve months gets no hint. 107,
// hired on 11 April 2011, has no earnings of either year: her sheet of 18-22
// April, with no tick "Из МРОТ", is averaged at April's minimum wage, 4,330
// x 24 / 730 = 142.36 a day, 711.80 for the five days, and the sheet and
// the hint say so.
TEST_F(SickLeaveScreen, AYearWithoutEarningsIsNamed)
{
    MessageRecorder boxes;
    CBulletVvodView* view = Open();
    Apply(view, 108);
    CBulletVvodDlg* dlg = view->Dlg();
    dlg->Picker(CBulletVvodDlg::IdStart)->SetDate(QDate(2011, 5, 10));
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 5, 14));
    EXPECT_EQ(Hint(view), QString());
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 1);
    EXPECT_EQ(Hint(view), kNo2009);
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdEarningsGrid, 25, 0), QStringLiteral("==2009"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdAverageGrid, 0, 0), QStringLiteral("Дн.пос"));
    // Under the twelve-month rule there is no year to name.
    PressKey(Qt::Key_Escape); // the hint goes
    ASSERT_EQ(Hint(view), QString());
    dlg->controlAs<QCheckBox>(CBulletVvodDlg::IdFrom12Months)->setChecked(true);
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 1);
    EXPECT_EQ(Hint(view), QString());
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    Close();

    view = Open();
    Apply(view, 107);
    dlg = view->Dlg();
    dlg->Picker(CBulletVvodDlg::IdStart)->SetDate(QDate(2011, 4, 18));
    dlg->Picker(CBulletVvodDlg::IdEnd)->SetDate(QDate(2011, 4, 22));
    ASSERT_FALSE(dlg->controlAs<QCheckBox>(CBulletVvodDlg::IdFromMinimum)->isChecked());
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 1);
    EXPECT_EQ(Hint(view), QStringLiteral("В архиве нет заработка за 2009 и 2010 годы.\nВведите его по справке с "
                                         "прежнего места работы.\nБез нее средний заработок взят из МРОТ."));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdAverageGrid, 0, 0), QStringLiteral("Дн.пос из МРОТ"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdAverageGrid, 1, 0), QStringLiteral("142.36"));
    const int total = Rows(view, CBulletVvodDlg::IdPeriodGrid) - 1;
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, total, 2), QStringLiteral("5"));
    EXPECT_EQ(Cell(view, CBulletVvodDlg::IdPeriodGrid, total, 5), QStringLiteral("711.80"));
    EXPECT_DOUBLE_EQ(dlg->Sheet(0).sum, 71'180);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
