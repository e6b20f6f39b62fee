// The advance entry screen on the demo base: Enter in the strip fills the
// grid with the shop's advances and their total, a corrected advance is
// written to the base when the screen is left, with the amounts to pay
// untouched; an empty selection is refused with its message.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "entries/ui/CAvanceVvodDlg.h"
#include "entries/ui/CAvanceVvodView.h"
#include "grid/FldHlpGridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "infobase/InfoBaseDb.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "support/SlotArrays.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiAvanceVvod : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(testsupport::OpenDemoDocument(*doc, folder, testsupport::DemoRefFiles::None));
        platform::SetWorkingFolder(folder);
        view = std::make_unique<CAvanceVvodView>(doc.get());
        view->resize(900, 700);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        view.reset();
        ib::CloseBase(doc->infoBase);
        platform::SetWorkingFolder(QString());
    }
    void ApplyShop(const QString& shop)
    {
        QLineEdit* field = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        field->setFocus();
        field->setText(shop);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // The advance of the slot and the amounts to pay as the base holds them.
    struct Amounts {
        double advance;
        std::vector<double> zar1;
    };
    Amounts Stored(int slot)
    {
        ib::CInfoBase stored;
        stored.workFolder = doc->infoBase.workFolder;
        stored.baseName = doc->infoBase.baseName;
        stored.config = doc->infoBase.config;
        stored.AllocateTables(doc->infoBase.capacity());
        ib::LoadAvZar1(stored);
        return {stored.avOf(slot), EveryPayout(stored)};
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    std::unique_ptr<CAvanceVvodView> view;
    MessageRecorder recorder;
};

// The row's advance typed over its cell's editor, opened as a click opens it
// (its text selected), and left by `leave` (Enter or Tab).
void TypeAdvance(CFldHlpGridCtrl* grid, int row, const QString& text, Qt::Key leave)
{
    grid->setFocus();
    grid->SetFocusCell(row, 2);
    grid->OnEditCell(row, 2, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Delete);
    QTest::keyClicks(grid->GetEditor(), text);
    QTest::keyClick(grid->GetEditor(), leave);
    Settle();
}

// The first row's advance typed so.
void TypeFirstAdvance(CFldHlpGridCtrl* grid, const QString& text, Qt::Key leave) { TypeAdvance(grid, 1, text, leave); }

// The grid row of the personnel number; -1 when it is not shown.
int RowOfNumber(const CFldHlpGridCtrl* grid, int tabN)
{
    for (int row = 1; row < grid->GetRowCount(); ++row)
        if (grid->GetItemText(row, 1) == QString::number(tabN))
            return row;
    return -1;
}

} // namespace

TEST_F(UiAvanceVvod, CorrectedAdvanceIsStoredWhenTheScreenIsLeft)
{
    ApplyShop(QStringLiteral("1"));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 2);
    EXPECT_FALSE(ScreenText(view->Dlg(), QStringLiteral("К выдаче")).isEmpty());
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/advance-entry-374.png");
    EXPECT_TRUE(view->grab().save(path));
    EXPECT_FALSE(grid->IsCellEditable(1, 0));
    EXPECT_FALSE(grid->IsCellEditable(1, 1));
    EXPECT_TRUE(grid->IsCellEditable(1, 2));

    const int number = grid->GetItemText(1, 1).toInt();
    const std::size_t slot = doc->infoBase.list[std::size_t(doc->infoBase.FindEmployee(number))].slot;
    const std::vector<double> payouts = Stored(int(slot)).zar1;
    grid->SetItemText(1, 2, QStringLiteral("1234.56"));
    view.reset();
    EXPECT_DOUBLE_EQ(doc->infoBase.avOf(slot), 123'456.0);
    const Amounts stored = Stored(int(slot));
    EXPECT_DOUBLE_EQ(stored.advance, 123'456.0);
    EXPECT_EQ(stored.zar1, payouts);
    EXPECT_TRUE(recorder.Texts().isEmpty());
}

// "К выдаче" follows the advances as they are typed: the first row's
// advance raised by 1,000.00 raises it by as much, and emptied takes the
// row's whole advance off it; nothing is stored until the screen is left.
TEST_F(UiAvanceVvod, TheTotalFollowsTheCellsAsTheyAreTyped)
{
    ApplyShop(QStringLiteral("1"));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 2);
    const auto money = [](const QString& text) { return qRound64(text.toDouble() * 100); };
    const qint64 total = money(ScreenText(view->Dlg(), QStringLiteral("К выдаче")));
    const qint64 advance = money(grid->GetItemText(1, 2));
    ASSERT_GT(advance, 0);
    ASSERT_EQ(advance % 100, 0);
    // The cell's editor opened as a click opens it (its text selected), the
    // text typed over it and Enter.
    const auto type = [grid](const QString& text) { TypeFirstAdvance(grid, text, Qt::Key_Return); };
    const std::size_t slot =
        doc->infoBase.list[std::size_t(doc->infoBase.FindEmployee(grid->GetItemText(1, 1).toInt()))].slot;
    const double stored = doc->infoBase.avOf(slot);
    type(QString::number((advance + 100'000) / 100));
    EXPECT_EQ(money(ScreenText(view->Dlg(), QStringLiteral("К выдаче"))), total + 100'000);
    type(QString());
    EXPECT_EQ(grid->GetItemText(1, 2), QString());
    EXPECT_EQ(money(ScreenText(view->Dlg(), QStringLiteral("К выдаче"))), total - advance);
    EXPECT_DOUBLE_EQ(doc->infoBase.avOf(slot), stored);
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(u'|').toStdString();
}

// An advance larger than the employee's month's pay (salary and personal
// allowance of his card) is asked about as its cell is left: "Нет" puts the
// stored advance back, "Да" takes it, and it is stored when the screen is
// left (what the pay does not cover stays a debt). An advance within the pay
// is taken without a word.
TEST_F(UiAvanceVvod, AnAdvanceLargerThanTheMonthsPayIsAskedAbout)
{
    ApplyShop(QStringLiteral("1"));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    ASSERT_GT(grid->GetRowCount(), 1);
    const std::size_t slot =
        doc->infoBase.list[std::size_t(doc->infoBase.FindEmployee(grid->GetItemText(1, 1).toInt()))].slot;
    auto record = std::make_unique<ib::EmployeeRecord>();
    ib::LoadKonstInto(doc->infoBase, int(slot), *record);
    const double pay = record->head.oklad + record->head.nadbav;
    ASSERT_GT(pay, 0);
    const QString shown = grid->GetItemText(1, 2);
    const auto type = [grid](const QString& text) { TypeFirstAdvance(grid, text, Qt::Key_Tab); };
    const QString question =
        QStringLiteral("Величина аванса 99999999.00 больше оклада с надбавкой по карточке работника (%1).\n"
                       "Непокрытая часть аванса останется долгом работника. Принять аванс?")
            .arg(QString::number(pay / 100, 'f', 2));
    recorder.answer = IDNO;
    type(QStringLiteral("99999999"));
    EXPECT_EQ(recorder.Texts(), QStringList{question});
    EXPECT_EQ(grid->GetItemText(1, 2), shown);

    recorder.boxes.clear();
    type(QString::number(pay / 100, 'f', 2)); // the whole pay: no question
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(u'|').toStdString();

    recorder.answer = IDYES;
    type(QStringLiteral("99999999"));
    EXPECT_EQ(recorder.Texts(), QStringList{question});
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("99999999.00"));
    view.reset();
    EXPECT_DOUBLE_EQ(Stored(int(slot)).advance, 9'999'999'900.0);
}

// Whatever the payment system, an advance larger than what the card can pay
// for the month is asked about: a piece-rate worker's and an hourly
// worker's (no salary) is measured against the planned time of April 2011
// (21 working days of 8 hours, 168 hours, by the production calendar) at
// the tariff of his system. "Нет" puts the stored advance back; the whole
// of what the month pays is taken without a word.
TEST_F(UiAvanceVvod, AnAdvanceAboveWhatThePlannedTimePaysAtTheTariffIsAskedAbout)
{
    ApplyShop(QStringLiteral("2"));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    const struct {
        int tabN;
        const char* reckoned;
        const char* earned; // the tariff x 168 hours
    } cases[] = {
        {113, "заработка за плановое время месяца по тарифу сдельщика", "16044.00"}, // 95.50 an hour
        {119, "заработка за плановое время месяца по тарифу повременщика", "18900.00"}, // 112.50 an hour
    };
    recorder.answer = IDNO;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tabN);
        const int row = RowOfNumber(grid, c.tabN);
        ASSERT_GT(row, 0);
        const QString shown = grid->GetItemText(row, 2);
        recorder.boxes.clear();
        TypeAdvance(grid, row, QStringLiteral("99999999"), Qt::Key_Tab);
        EXPECT_EQ(recorder.Texts(),
                  QStringList{QStringLiteral("Величина аванса 99999999.00 больше %1 по карточке работника (%2).\n"
                                             "Непокрытая часть аванса останется долгом работника. Принять аванс?")
                                  .arg(QString::fromUtf8(c.reckoned), QString::fromUtf8(c.earned))});
        EXPECT_EQ(grid->GetItemText(row, 2), shown);
        recorder.boxes.clear();
        TypeAdvance(grid, row, QString::fromUtf8(c.earned), Qt::Key_Tab);
        EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(u'|').toStdString();
        EXPECT_EQ(grid->GetItemText(row, 2), QString::fromUtf8(c.earned));
    }
}

TEST_F(UiAvanceVvod, DismissedEmployeeShowsOnlyWithAnAdvance)
{
    ApplyShop(QStringLiteral("4"));
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    QStringList numbers;
    double total = 0;
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        numbers << grid->GetItemText(row, 1);
        total += grid->GetItemText(row, 2).toDouble();
    }
    // Both left on 31 March (state 4): 151 without an advance is not shown,
    // 152 with her April advance of 3,000 is.
    EXPECT_FALSE(numbers.contains(QStringLiteral("151")));
    ASSERT_TRUE(numbers.contains(QStringLiteral("152")));
    const int row = int(numbers.indexOf(QStringLiteral("152"))) + 1;
    EXPECT_EQ(grid->GetItemText(row, 0), QStringLiteral("Федотова М. С."));
    EXPECT_EQ(grid->GetItemText(row, 2), QStringLiteral("3000.00"));
    // Pay kind 901 rounds to whole kopecks here: the total is the rows' sum.
    EXPECT_EQ(ScreenText(view->Dlg(), QStringLiteral("К выдаче")), QString::number(total, 'f', 2));
    // An advance entered for 151 shows him at the next selection.
    doc->infoBase.avOf(doc->infoBase.list[std::size_t(doc->infoBase.FindEmployee(151))].slot) = 150'000;
    ApplyShop(QStringLiteral("4"));
    EXPECT_EQ(grid->GetRowCount(), int(numbers.size()) + 2);
}

TEST_F(UiAvanceVvod, OnlyChangedRowsAreReadBackUpToANumberNotInTheList)
{
    ApplyShop(QStringLiteral("1"));
    CAvanceVvodDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    ASSERT_GE(grid->GetRowCount(), 5);
    const auto advanceOf = [this, grid](int row) {
        const int index = doc->infoBase.FindEmployee(grid->GetItemText(row, 1).toInt());
        return doc->infoBase.avOf(doc->infoBase.list[std::size_t(index)].slot);
    };
    // Read back as shown: nothing changed.
    dlg->m_modified = false;
    EXPECT_EQ(dlg->SaveRecord(), 1);
    EXPECT_FALSE(dlg->m_modified);

    const double fourth = advanceOf(4);
    grid->SetItemText(2, 2, QStringLiteral("777.70"));
    grid->SetItemText(3, 1, QStringLiteral("9999")); // no such personnel number
    grid->SetItemText(4, 2, QStringLiteral("1.00"));
    EXPECT_EQ(dlg->SaveRecord(), 1);
    EXPECT_TRUE(dlg->m_modified);
    EXPECT_DOUBLE_EQ(advanceOf(2), 77'770.0);
    EXPECT_DOUBLE_EQ(advanceOf(4), fourth);
}

TEST_F(UiAvanceVvod, ShopWithoutEmployeesIsRefused)
{
    // Shop 77 is not in the shop book: refused naming the book, the grid kept.
    ApplyShop(QStringLiteral("77"));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("В поле \"Цех\" указан номер, которого нет в справочнике "
                                                           "\"Цех/Отдел\": 77")});
    EXPECT_EQ(view->Dlg()->Grid()->GetRowCount(), 1);
}

#endif
