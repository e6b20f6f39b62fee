// The vacation notes on the demo base, driven by keys: the vacation employee
// opened from the strip, "Расчет отпуска" against the calculation in display
// mode, Alt+F4 to an empty note, a change saved and read back, F4/F3 skipping
// employees without notes, a new vacation computed on the spot and found in
// the month's calculation; a screenshot of the dialog with its grids.
#include "DemoEntryWorld.h"
#include "DemoFirm.h"
#include "entries/ui/COtpuskVvodDlg.h"
#include "entries/ui/COtpuskVvodView.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/CalcEmployeeMonth.h"
#include "payroll/CalcErrors.h"
#include "payroll/MonthChange.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldHelp.h"
#include "shell/ui/NullableDateEdit.h"
#include "support/MonthRun.h"
#include "values/RoundText.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <map>

#ifdef KALVOR_DATA_DIR

namespace {

using namespace entrytest;

namespace ib = kalvor::infobase;

QString Money(double kopecks) { return kalvor::FormatFixed(kopecks / 100.0, 2); }

class VacationScreen : public entrytest::DemoEntryWorld {
protected:
    COtpuskVvodView* Open()
    {
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 860);
        EXPECT_TRUE(ShowActive(frame.get()));
        auto* view = static_cast<COtpuskVvodView*>(frame->SwitchView(
            [](CKalvorDoc* d) -> CCommonFormView* { return new COtpuskVvodView(d, RateCorrectionRunner()); }));
        Settle();
        return view;
    }
    void Apply(COtpuskVvodView* view, int tabN) { DemoEntryWorld::Apply(view->Strip(), tabN); }
    static void Type(COtpuskVvodView* view, int id, const QString& text)
    {
        QLineEdit* field = view->Dlg()->Field(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeKeys(text);
    }
    // "Расчет отпуска" from the keyboard: Enter in the length field.
    static void Compute(COtpuskVvodView* view)
    {
        view->Dlg()->Field(COtpuskVvodDlg::IdLength)->setFocus();
        PressKey(Qt::Key_Return);
    }
    // Тихонов's new vacation of `days` from 18 April 2011, typed and computed
    // on the spot without a message.
    void ComputeAprilVacationOf110(COtpuskVvodView* view, const MessageRecorder& boxes, const QString& days)
    {
        Apply(view, 110);
        view->Dlg()->StartPicker()->SetDate(QDate(2011, 4, 18));
        Type(view, COtpuskVvodDlg::IdLength, days);
        Compute(view);
        ASSERT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
        ASSERT_GT(view->Dlg()->LastResult(), 0);
    }
    const ib::LineArray<ib::VacationNote>& Notes() const { return doc->infoBase.otp; }
    QString Cell(COtpuskVvodView* view, int grid, int row, int col) const
    {
        return view->Dlg()->controlAs<CFldHlpGridCtrl>(grid)->GetItemText(row, col);
    }
    // The grid row of a pay kind in the accruals grid, -1 when none.
    int AccrualRow(COtpuskVvodView* view, const QString& name) const
    {
        auto* grid = view->Dlg()->controlAs<CFldHlpGridCtrl>(COtpuskVvodDlg::IdAccrualGrid);
        for (int row = 1; row < grid->GetRowCount(); ++row)
            if (grid->GetItemText(row, 0) == name)
                return row;
        return -1;
    }
    // The month computed for display with this note alone, on a swap file
    // made by the full selection run.
    int DisplayRun(int tabN, std::array<ib::VacationNote, 5>& notes, int current, kalvor::CalcResultBuffer& rows)
    {
        ib::CInfoBase& base = doc->infoBase;
        ib::Selection selection;
        selection.tabN = tabN;
        EXPECT_TRUE(ib::SelectAllToSwap(base, selection));
        base.OpenSwapFile();
        kalvor::CalcOptions options;
        options.vacationNotes = notes;
        options.currentNote = current;
        options.vacationNoteOnly = notes[std::size_t(current)].tolkOtp ? 0 : 1;
        options.vacationCalcKind = notes[std::size_t(current)].mrp ? 1 : 2;
        kalvor::CalcWorkBuffer work;
        const int result =
            kalvor::CalcEmployeeMonth(*doc, rows.data(), base.FindEmployee(tabN), &work, kalvor::CalcDisplay, options);
        base.CloseSwapFile();
        return result;
    }
};

} // namespace

TEST_F(VacationScreen, TheVacationEmployeeComputedSteppedAndSaved)
{
    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->LastEntryScreen, 5u);
    EXPECT_FALSE(view->Dlg()->isEnabled());

    Apply(view, 112);
    COtpuskVvodDlg* dlg = view->Dlg();
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 1 из 2  [Сазонов М. А.]"));
    EXPECT_EQ(dlg->StartPicker()->Date(), QDate(2011, 4, 11));
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdLength)->text(), QStringLiteral("14,00"));
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdDayBasis)->text(), QStringLiteral("1"));
    EXPECT_TRUE(dlg->controlAs<QCheckBox>(COtpuskVvodDlg::IdPayEarly)->isChecked());
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAmountGrid, 0, 1), QStringLiteral("11038.72"));

    // Without "Выплатить в м/р" the note takes the amount to pay that the
    // calculation in display mode gives.
    QCheckBox* payEarly = dlg->controlAs<QCheckBox>(COtpuskVvodDlg::IdPayEarly);
    payEarly->setFocus();
    QTest::keyClick(payEarly, Qt::Key_Space);
    Compute(view);
    ASSERT_GE(dlg->LastResult(), 0);
    std::array<ib::VacationNote, 5> notes{};
    const auto stored = Notes().run(Slot(112));
    std::copy(stored.begin(), stored.end(), notes.begin());
    notes[0].mrp = 0;
    notes[0].sum = 0;
    kalvor::CalcResultBuffer rows{};
    const int count = DisplayRun(112, notes, 0, rows);
    ASSERT_EQ(count, dlg->LastResult());
    EXPECT_GT(notes[0].sum, 0);
    EXPECT_DOUBLE_EQ(dlg->Notes()[0].sum, notes[0].sum);
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAmountGrid, 0, 1), Money(notes[0].sum));
    const int vacationRow = AccrualRow(view, QStringLiteral("Оплата ежегодного отпуска"));
    ASSERT_GT(vacationRow, 0);
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAccrualGrid, vacationRow, 2), QStringLiteral("14"));
    for (int i = 0; i < count; ++i)
        if (rows[std::size_t(i)].kod == 85) {
            EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAccrualGrid, vacationRow, 3), Money(rows[std::size_t(i)].sum));
        }
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAverageGrid, 0, 3), QStringLiteral("Дневной"));
    EXPECT_FALSE(Cell(view, COtpuskVvodDlg::IdAverageGrid, 1, 3).isEmpty());
    EXPECT_FALSE(Cell(view, COtpuskVvodDlg::IdPeriodGrid, 1, 1).isEmpty());
    const QString shots = QCoreApplication::applicationDirPath();
    EXPECT_TRUE(dlg->grab().save(shots + QStringLiteral("/kalvor-vacation-note.png")));

    // Alt+F4: the additional vacation, then an empty third note; Alt+F3 back.
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 2 из 2  [Сазонов М. А.]"));
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdKind)->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg->StartPicker()->Date(), QDate(2011, 4, 25));
    Type(view, COtpuskVvodDlg::IdLength, QStringLiteral("4"));
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 3 из 3  [Сазонов М. А.]"));
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdLength)->text(), QString());
    EXPECT_TRUE(dlg->StartPicker()->IsNull());
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdDayBasis)->text(), QStringLiteral("1"));
    EXPECT_EQ(dlg->Field(COtpuskVvodDlg::IdAlgorithm)->text(), QStringLiteral("1"));
    PressKey(Qt::Key_F4, Qt::AltModifier);
    PressKey(Qt::Key_F4, Qt::AltModifier);
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 5 из 5  [Сазонов М. А.]"));
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(dlg->CurrentNote(), 4) << "Alt+F4 stops at the fifth note";
    PressKey(Qt::Key_F3, Qt::AltModifier);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 4 из 5  [Сазонов М. А.]"));

    // F4 saves and skips to the next employee with notes: the one who
    // leaves on 15 April and has his compensation note; none after him.
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 126u);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 1 из 1  [Уваров Б. Н.]"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, 126u);
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, 112u);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 1 из 2  [Сазонов М. А.]"))
        << "the empty notes were not saved";
    // A change typed just before the screen closes is saved with it.
    Type(view, COtpuskVvodDlg::IdMonth, QStringLiteral("3"));
    // The note keeps the amount of its last computation (with the longer additional vacation).
    const double lastSum = dlg->Notes()[0].sum;
    EXPECT_GT(lastSum, 0);
    Close();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Restart();
    const auto reread = Notes().run(Slot(112));
    ASSERT_EQ(reread.size(), 2u);
    EXPECT_EQ(reread[0].mrp, 0);
    EXPECT_EQ(reread[0].mes, 3);
    EXPECT_DOUBLE_EQ(reread[0].sum, lastSum);
    EXPECT_EQ(reread[1].dlin, 4);
    EXPECT_EQ(reread[1].vid, 1);
    EXPECT_EQ(Notes().count(Slot(126)), 1);
}

// The note's start typed as digits and dots (the demo's reporting month is
// April 2011).
TEST_F(VacationScreen, TheStartIsTypedAsDigitsAndDots)
{
    COtpuskVvodView* view = Open();
    Apply(view, 109);
    CheckTypedDates(view->Dlg()->StartPicker(), view->Dlg()->Field(COtpuskVvodDlg::IdLength), QDate(2011, 4, 1));
}

TEST_F(VacationScreen, ViewingEmployeesWithoutNotesWritesNothing)
{
    MessageRecorder boxes;
    const ib::LineArray<ib::VacationNote> before = Notes();
    COtpuskVvodView* view = Open();
    Apply(view, 110);
    EXPECT_EQ(view->Frame()->title(), QStringLiteral("Отпускная записка 1 из 1  [Тихонов В. А.]"));
    EXPECT_EQ(view->Dlg()->Field(COtpuskVvodDlg::IdDayBasis)->text(), QStringLiteral("1"));
    // "Расчет отпуска" on a note without length says why it cannot be computed.
    Compute(view);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, kalvor::CalcErrorText(view->Dlg()->LastResult()));
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAverageGrid, 1, 0), QString());
    // F1 on "Вид отпуска": its pick list; Enter types the code. A kind alone
    // makes no note.
    view->Dlg()->Field(COtpuskVvodDlg::IdKind)->setFocus();
    QApplication::processEvents();
    PressKey(Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->table()->rowCount(), 4);
    list->table()->setCurrentCell(2, 0);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_EQ(view->Dlg()->Field(COtpuskVvodDlg::IdKind)->text(), QStringLiteral("2"));
    Apply(view, 111);
    // Alt+F4 from the date picker, where the entry puts the focus.
    EXPECT_EQ(QApplication::focusWidget(), view->Dlg()->StartPicker());
    PressKey(Qt::Key_F4, Qt::AltModifier);
    EXPECT_EQ(view->Dlg()->CurrentNote(), 1);
    Close();
    EXPECT_EQ(Notes().lines, before.lines);
    EXPECT_EQ(Notes().index, before.index);
    Restart();
    EXPECT_EQ(Notes().lines, before.lines);
    EXPECT_EQ(Notes().index, before.index);
}

TEST_F(VacationScreen, AMarkedGroupGetsTheFilledFieldsInTheFirstNote)
{
    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    Apply(view, 110);
    view->TakeHelpValues({QStringLiteral("110"), QStringLiteral("112")});
    Settle();
    COtpuskVvodDlg* dlg = view->Dlg();
    ASSERT_TRUE(dlg->m_groupMode);
    EXPECT_EQ(QApplication::focusWidget(), dlg->Field(COtpuskVvodDlg::IdLength));
    TypeKeys(QStringLiteral("7"));
    Type(view, COtpuskVvodDlg::IdMonth, QStringLiteral("2"));
    PressKey(Qt::Key_Return);
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    Close();

    Restart();
    // The new note of 110 has a length, so it stays; 112's first note takes
    // the fields and his second note is left as it was.
    ASSERT_EQ(Notes().count(Slot(110)), 1);
    EXPECT_EQ(Notes().run(Slot(110))[0].dlin, 7);
    EXPECT_EQ(Notes().run(Slot(110))[0].mes, 2);
    ASSERT_EQ(Notes().count(Slot(112)), 2);
    EXPECT_EQ(Notes().run(Slot(112))[0].dlin, 7);
    EXPECT_EQ(Notes().run(Slot(112))[0].dBegin, 11);
    EXPECT_EQ(Notes().run(Slot(112))[1].dlin, 3);
}

TEST_F(VacationScreen, ANoteThatNoLongerFitsIsRefusedAndTheEmployeeKept)
{
    // Every free row of the vacation array taken, in memory only.
    ib::LineArray<ib::VacationNote>& notes = doc->infoBase.otp;
    ib::VacationNote filler;
    filler.dlin = 1;
    for (int slot = notes.slotCount(); slot >= 1 && notes.usedLines() < notes.lineCapacity(); --slot) {
        const int free = notes.lineCapacity() - notes.usedLines();
        if (slot != Slot(110) && notes.count(slot) == 0)
            notes.replaceRun(slot, std::vector<ib::VacationNote>(std::size_t(std::min(free, 15)), filler));
    }
    ASSERT_EQ(notes.usedLines(), notes.lineCapacity());
    const ib::LineArray<ib::VacationNote> full = notes;

    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    Apply(view, 110);
    Type(view, COtpuskVvodDlg::IdLength, QStringLiteral("5"));
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."));
    EXPECT_EQ(view->m_tabN, 110u);
    EXPECT_EQ(notes.lines, full.lines);
    EXPECT_EQ(notes.index, full.index);
}

TEST_F(VacationScreen, ANewVacationIsComputedOnTheSpotAndPaidInTheMonth)
{
    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    ASSERT_NO_FATAL_FAILURE(ComputeAprilVacationOf110(view, boxes, QStringLiteral("5")));
    const int vacationRow = AccrualRow(view, QStringLiteral("Оплата ежегодного отпуска"));
    ASSERT_GT(vacationRow, 0);
    const QString shownPay = Cell(view, COtpuskVvodDlg::IdAccrualGrid, vacationRow, 3);
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAccrualGrid, vacationRow, 2), QStringLiteral("5"));
    EXPECT_FALSE(Cell(view, COtpuskVvodDlg::IdAmountGrid, 0, 1).isEmpty());
    Close();

    // The month's calculation of the employee pays the same vacation.
    Restart();
    ASSERT_EQ(Notes().count(Slot(110)), 1);
    kalvor::CalcResultBuffer rows{};
    const int count = StoreMonthOf(*doc, 110, rows);
    ASSERT_GT(count, 0);
    int found = 0;
    for (int i = 0; i < count; ++i)
        if (rows[std::size_t(i)].kod == 85) {
            ++found;
            EXPECT_EQ(rows[std::size_t(i)].dn, 5);
            EXPECT_EQ(Money(rows[std::size_t(i)].sum), shownPay);
        }
    EXPECT_EQ(found, 1);
}

// Fourteen days from 18 April 2011 for Тихонов (salary 21,000, no children,
// the year's income past the standard deduction's limit): April has 21
// working days, of which the vacation takes the ten from 18 to 29 April, so
// the salary pays 11 days, 21,000 x 11 / 21 = 11,000.00. The vacation runs
// to 2 May (1 May is a holiday) at the daily average of the twelve months
// of 21,000, 21,000 / 29.4 = 714.29, 14 days 10,000.06. Accrued 21,000.06;
// income tax 13 % in whole roubles 2,730; the advance 40 % of the salary
// 8,400; to pay 21,000.06 - 2,730 - 8,400 = 9,870.06, on the note as in the
// month's calculation.
TEST_F(VacationScreen, TheNotesAmountToPayIsTheMonthsNet)
{
    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    ASSERT_NO_FATAL_FAILURE(ComputeAprilVacationOf110(view, boxes, QStringLiteral("14")));
    const int salaryRow = AccrualRow(view, QStringLiteral("Оплата по окладу"));
    ASSERT_GT(salaryRow, 0);
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAccrualGrid, salaryRow, 2), QStringLiteral("11"));
    EXPECT_EQ(Cell(view, COtpuskVvodDlg::IdAccrualGrid, salaryRow, 3), QStringLiteral("11000.00"));
    const QString shown = Cell(view, COtpuskVvodDlg::IdAmountGrid, 0, 1);
    EXPECT_EQ(shown, QStringLiteral("9870.06"));
    Close();

    // The month's calculation of the same inputs pays that amount.
    Restart();
    ASSERT_EQ(Notes().count(Slot(110)), 1);
    kalvor::CalcResultBuffer rows{};
    const int count = StoreMonthOf(*doc, 110, rows);
    ASSERT_GT(count, 0);
    EXPECT_EQ(Money(doc->infoBase.zar1Of(Slot(110))), shown);
    for (int i = 0; i < count; ++i)
        if (rows[std::size_t(i)].kod == 4) {
            EXPECT_EQ(rows[std::size_t(i)].dn, 11);
            EXPECT_EQ(Money(rows[std::size_t(i)].sum), QStringLiteral("11000.00"));
        }
}

// A vacation that runs into the next month is paid once. 106 Мельникова
// (salary 20,000, five-day week; 5,000 a month of children's deductions, 400
// on herself in January and February) goes on vacation from 23 May 2011 for
// 28 calendar days, entered on the screen in May: 23-31 May (9 days) and 1-20
// June (19 days; 12 June is a holiday and lengthens it). The average of May
// 2010 - April 2011, 12 x 20,000 / (12 x 29.4) = 680.27 a day: May 9 days
// 6,122.43, June 19 days 12,925.13, both paid in May. May's salary pays the
// 13 of its 20 working days before the vacation: 13,000.00. Tax January to
// May: 13 % of (4 x 20,000 + 13,000 + 6,122.43 + 12,925.13 = 112,047.56,
// less 25,800 of deductions) = 11,212, of which 7,696 withheld by April:
// 3,516.
// June has 21 working days (13 June is the day off for the 12th); the
// vacation takes the 13 of them up to the 20th, the month change leaves 8 on
// June's time sheet, and the salary pays 20,000 x 8 / 21 = 7,619.05. Tax
// January to June: 13 % of (112,047.56 + 7,619.05 - 30,800) = 11,553, less
// 11,212: 341; but the advance of 8,000 paid already passes the pay, nothing
// is left to withhold it from, so June has no tax row (July's tax, counted
// since January, takes the 341).
TEST_F(VacationScreen, AVacationIntoTheNextMonthComesOffItsTimeSheet)
{
    constexpr int kMay = 2011 * 16 + 5, kJune = 2011 * 16 + 6;
    auto monthRows = [this](int tabN) {
        std::map<int, std::pair<double, int>> byCode; // code: amount, days
        const ib::EmployeeRecord& rec = Stored(tabN);
        for (int i = Attr(tabN).kvProizv; i < 60; ++i) {
            const ib::AccrualRow& r = rec.rows[std::size_t(i)];
            if (r.kod != 0) {
                byCode[r.kod].first += r.sum;
                byCode[r.kod].second += r.dn;
            }
        }
        return byCode;
    };
    using Paid = std::pair<double, int>;
    ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::ComputeAndStoreMonth(*doc));
    ASSERT_EQ(kalvor::MoveEmployeesToNextMonth(kMay, {}, *doc), 1);
    Restart();
    ASSERT_EQ(doc->infoBase.config.tekMes, kMay);

    MessageRecorder boxes;
    COtpuskVvodView* view = Open();
    Apply(view, 106);
    view->Dlg()->StartPicker()->SetDate(QDate(2011, 5, 23));
    Type(view, COtpuskVvodDlg::IdLength, QStringLiteral("28"));
    Compute(view);
    ASSERT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_GT(view->Dlg()->LastResult(), 0);
    Close();
    Restart();
    ASSERT_EQ(Notes().count(Slot(106)), 1);
    ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::ComputeAndStoreMonth(*doc));
    auto may = monthRows(106);
    EXPECT_EQ(may[4], Paid(1'300'000, 13));
    EXPECT_EQ(may[85], Paid(612'243, 9));
    EXPECT_EQ(may[87], Paid(1'292'513, 19));
    EXPECT_EQ(may[902].first, 351'600);

    ASSERT_EQ(kalvor::MoveEmployeesToNextMonth(kJune, {}, *doc), 1);
    Restart();
    ASSERT_EQ(doc->infoBase.config.tekMes, kJune);
    EXPECT_EQ(doc->infoBase.tabelOf(Slot(106)).rabDn, 8);
    ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::ComputeAndStoreMonth(*doc));
    auto june = monthRows(106);
    EXPECT_EQ(june[4], Paid(761'905, 8));
    EXPECT_EQ(june[901].first, 800'000);
    EXPECT_EQ(june.count(902), 0u);
    EXPECT_EQ(june.count(85) + june.count(87), 0u);
}

#endif
