// Writs of execution, loans and bank transfers on the demo base, driven by
// keys: a number typed, a block edited and saved by F4, F3 back, a number not
// in the list refused, a group append to three marked employees, the view
// closed with an unsaved change and the change found after reopening; the
// month computed with a new writ, loan and transfer; screenshots of the forms.
#include "DemoEntryWorld.h"
#include "entries/MonthlyDeductions.h"
#include "entries/ui/CCurnuIspListDlg.h"
#include "entries/ui/CCurnuIspListView.h"
#include "entries/ui/CCurnuPerSBDlg.h"
#include "entries/ui/CCurnuPerSBView.h"
#include "entries/ui/CCurnuSsudKredDlg.h"
#include "entries/ui/CCurnuSsudKredView.h"
#include "grid/InPlaceEdit.h"
#include "payroll/CalcThread.h"
#include "payroll/MonthMoney.h"
#include "platform/TaskThread.h"
#include "shell/ui/NullableDateEdit.h"
#include "support/ScreenText.h"

#include <QCheckBox>

#include <algorithm>

#ifdef KALVOR_DATA_DIR

using namespace entrytest;
namespace en = kalvor::entries;

namespace {

// The demo firm's employees of these screens.
constexpr int kAlimonyPayer = 142; // alimony 25 %, postal table 17
constexpr int kCreditorDebtor = 131; // a writ of 2,000 roubles in favour of a creditor
constexpr int kLoanDebtor = 117; // a loan of 27,000 at 3,000 a month
constexpr int kStagedLoanDebtor = 134; // 10,000: two months at 2,000, six at 1,000
constexpr int kTwoBanks = 137; // the rest to one bank, 5,000 to another

class MonthDeductions : public DemoEntryWorld {
protected:
    double Sum(int tabN, int kod)
    {
        const auto& rows = Stored(tabN).rows;
        double sum = 0;
        for (std::size_t i = 0; i < 60; ++i)
            if (rows[i].kod == kod)
                sum += rows[i].sum;
        return sum;
    }
    void Calculate()
    {
        kalvor::platform::TaskThread thread;
        kalvor::CalcThreadParams params;
        params.document = doc.get();
        ASSERT_TRUE(thread.start(params, &kalvor::CalculationThreadProc));
        ASSERT_TRUE(WaitFor([&] { return !thread.isRunning(); }, 60'000));
        Settle();
    }
    // The rest of a transfer goes only by 903 and 906.
    static QString RestByText()
    {
        return QStringLiteral("\nОстаток (перечисление без суммы) перечисляется только по кодам 903 и 906");
    }
    static QString NoAmountText()
    {
        return QStringLiteral("В поле \"Сумма\" не указана сумма перечисления по коду 907") + RestByText();
    }
    // Employee kTwoBanks's transfers, rows 1 and 2 stored as 903 and 906:
    // each code is taken only by the class its row needs.
    void TransferCodesByClass(CCurnuPerSBView* view, MessageRecorder& boxes)
    {
        CCurnuPerSBDlg* dlg = view->Dlg();
        CFldHlpGridCtrl* grid = dlg->Grid();
        const QString restBy = RestByText();
        const QString noAmount = NoAmountText();
        // An accrual is no transfer (its rest would be paid in cash), nor is
        // 938 (counted in the month's totals, taken off no pay), a
        // contribution of the firm (990, 995) or a deduction of information
        // only (870, a loan's class): each, held by the book, is refused
        // naming the column and the kind, and Esc puts the stored code back.
        for (const int code : {938, 990, 995, 870})
            if (std::none_of(doc->infoBase.payKinds().begin(), doc->infoBase.payKinds().end(),
                             [code](const ib::PayKind& kind) { return kind.kod == code; })) {
                ib::PayKind kind;
                kind.kod = ib::u16(code);
                doc->infoBase.addPayKind(kind);
            }
        for (const QString& code : {QStringLiteral("4"), QStringLiteral("938"), QStringLiteral("990"),
                                    QStringLiteral("995"), QStringLiteral("870")}) {
            TypeCell(grid, 1, 0, code);
            EXPECT_EQ(boxes.Texts(),
                      QStringList(QStringLiteral(
                                      "В поле \"Код\" указан код, который не является видом перечисления в банк: ") +
                                  code));
            boxes.boxes.clear();
            ASSERT_TRUE(grid->GetEditor());
            QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
            EXPECT_EQ(grid->GetItemText(1, 0), QStringLiteral("903"));
        }
        EXPECT_EQ(en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks))[0].kod, 903);
        // A row without an amount sends the rest, only by 903 and 906: the 903
        // row made the rest takes those two codes and not 907; a 907 row takes no
        // amount of 0; a new 907 row left without an amount is refused at the
        // save, which keeps the employee and puts the focus on that amount.
        TypeCell(grid, 1, 1, QStringLiteral("0"));
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
        TypeCell(grid, 1, 0, QStringLiteral("907"));
        EXPECT_EQ(boxes.Texts(),
                  QStringList(
                      QStringLiteral("В поле \"Код\" указан код, который не является видом перечисления остатка: 907") +
                      restBy));
        boxes.boxes.clear();
        ASSERT_TRUE(grid->GetEditor());
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        for (const QString& code : {QStringLiteral("906"), QStringLiteral("903")}) {
            TypeCell(grid, 1, 0, code);
            EXPECT_EQ(grid->GetItemText(1, 0), code);
        }
        TypeCell(grid, 2, 0, QStringLiteral("907"));
        EXPECT_EQ(grid->GetItemText(2, 0), QStringLiteral("907"));
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
        TypeCell(grid, 2, 1, QStringLiteral("0"));
        EXPECT_EQ(boxes.Texts(), QStringList(noAmount));
        boxes.boxes.clear();
        ASSERT_TRUE(grid->GetEditor());
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        EXPECT_EQ(grid->GetItemText(2, 1), QStringLiteral("700.00"));
        TypeCell(grid, 2, 0, QStringLiteral("906"));
        QTest::mouseClick(dlg->controlAs<QPushButton>(CCurnuPerSBDlg::IdAdd), Qt::LeftButton);
        TypeCell(grid, 3, 0, QStringLiteral("907"));
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
        PressKey(Qt::Key_F4);
        EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
        EXPECT_EQ(boxes.Texts(), QStringList(noAmount));
        EXPECT_EQ(grid->GetFocusCell().row, 3);
        EXPECT_EQ(grid->GetFocusCell().col, 1);
        EXPECT_EQ(Attr(kTwoBanks).priznBank, 2);
        boxes.boxes.clear();
        QTest::mouseClick(dlg->controlAs<QPushButton>(CCurnuPerSBDlg::IdDelete), Qt::LeftButton);
        ASSERT_EQ(grid->GetRowCount(), 3);
    }
    // The largest amount these screens' fields hold, in roubles.
    static inline const QString kHugeAmount = QStringLiteral("99999999");
    // The refusal of a size or an amount typed past its range.
    static QStringList SizeRefusal(const char* field, const char* most, const char* text)
    {
        return QStringList{QStringLiteral("Значение поля \"%1\" должно быть от 0.00 до %2: %3")
                               .arg(QString::fromUtf8(field), QString::fromUtf8(most), QString::fromUtf8(text))};
    }
    // Types the text, leaves the field by Tab, expects the refusal said and
    // the focus kept, and puts the stored text back by Esc.
    void RefuseThenEsc(MessageRecorder& boxes, QLineEdit* field, const char* text, const QStringList& said)
    {
        TypeInto(field, QString::fromUtf8(text));
        PressKey(Qt::Key_Tab);
        Settle();
        EXPECT_EQ(boxes.Texts(), said) << text;
        boxes.boxes.clear();
        EXPECT_EQ(QApplication::focusWidget(), field);
        QTest::keyClick(field, Qt::Key_Escape);
        Settle();
    }
    // Employee kCreditorDebtor's writs: a size of -1, and of 150 in percent,
    // refused; the largest size typed into the first.
    void HugeWritAfterRefusals(MessageRecorder& boxes)
    {
        auto* view = Open<CCurnuIspListView>();
        Apply(view->Strip(), kCreditorDebtor);
        auto* dlg = ScreenPart<CCurnuIspListDlg>(view);
        QLineEdit* size = dlg->Field(CCurnuIspListDlg::IdSize[0]);
        const QString stored = size->text();
        RefuseThenEsc(boxes, size, "-1", SizeRefusal("Первый лист, Величина удержания", "999999999999.99", "-1"));
        EXPECT_EQ(size->text(), stored);
        QLineEdit* percentSize = dlg->Field(CCurnuIspListDlg::IdSize[1]);
        dlg->PercentBox(1)->setChecked(true);
        RefuseThenEsc(boxes, percentSize, "150", SizeRefusal("Второй лист, Величина удержания", "100.00", "150"));
        EXPECT_EQ(percentSize->text(), QString());
        dlg->PercentBox(1)->setChecked(false);
        TypeInto(size, kHugeAmount);
        Close();
    }
    // Employee kLoanDebtor's loans: a stage's -1 refused on Tab and on F4;
    // the largest sum typed into the first stage.
    void HugeLoanAfterRefusals(MessageRecorder& boxes)
    {
        auto* view = Open<CCurnuSsudKredView>();
        Apply(view->Strip(), kLoanDebtor);
        QLineEdit* stage = view->FormDlg()->Field(CCurnuSsudKredDlg::IdStageSums[0]);
        const QString stored = stage->text();
        RefuseThenEsc(boxes, stage, "-1", SizeRefusal("Первая ссуда, первый этап, Сумма", "999999999999.99", "-1"));
        EXPECT_EQ(stage->text(), stored);
        // Of the twelve "Сумма" the refusal names the one typed into, by its
        // loan and its stage, on F4 too: the employee stays, nothing stored.
        QLineEdit* lastOfSecond = view->FormDlg()->Field(CCurnuSsudKredDlg::IdStageSums[1] + 2);
        TypeInto(lastOfSecond, QStringLiteral("-1"));
        PressKey(Qt::Key_F4);
        EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));
        EXPECT_EQ(boxes.Texts(), SizeRefusal("Вторая ссуда, третий этап, Сумма", "999999999999.99", "-1"));
        boxes.boxes.clear();
        EXPECT_EQ(QApplication::focusWidget(), lastOfSecond);
        EXPECT_TRUE(en::LoanIsEmpty(Stored(kLoanDebtor).ssud.loans[1]));
        QTest::keyClick(lastOfSecond, Qt::Key_Escape);
        Settle();
        EXPECT_EQ(lastOfSecond->text(), QString());
        TypeInto(stage, kHugeAmount);
        Close();
    }
    // Employee kTwoBanks's transfers: -1 refused, the largest sum typed, a
    // row without its code refused at F4 and its code typed again.
    void HugeTransferAfterRefusals(MessageRecorder& boxes)
    {
        auto* view = Open<CCurnuPerSBView>();
        Apply(view->Strip(), kTwoBanks);
        CFldHlpGridCtrl* grid = view->Dlg()->Grid();
        const QString stored = grid->GetItemText(2, 1);
        TypeCell(grid, 2, 1, QStringLiteral("-1"));
        EXPECT_EQ(boxes.Texts(), SizeRefusal("Сумма", "999999999999.99", "-1"));
        boxes.boxes.clear();
        ASSERT_NE(grid->GetEditor(), nullptr);
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        Settle();
        EXPECT_EQ(grid->GetItemText(2, 1), stored);
        TypeCell(grid, 2, 1, kHugeAmount);
        // A row whose code is deleted would send nothing and the pay would go
        // out in cash: F4 refuses it naming "Код", the employee kept with the
        // focus on that code; the code typed again, the row is stored.
        const QString code = grid->GetItemText(2, 0);
        grid->setFocus();
        grid->SetFocusCell(2, 0);
        PressKey(Qt::Key_Delete);
        EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
        PressKey(Qt::Key_F4);
        EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("В поле \"Код\" не указан вид перечисления в банк")});
        EXPECT_EQ(grid->GetFocusCell().row, 2);
        EXPECT_EQ(grid->GetFocusCell().col, 0);
        boxes.boxes.clear();
        if (CInPlaceEdit* editor = grid->GetEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
        // Another employee chosen in the strip is refused the same way; the
        // strip shows again the employee whose rows the grid shows.
        Apply(view->Strip(), kLoanDebtor);
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("В поле \"Код\" не указан вид перечисления в банк")});
        EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
        EXPECT_EQ(view->Strip()->Field(CTabelFilterDlg::IdTabN)->text(), QString::number(kTwoBanks));
        boxes.boxes.clear();
        if (CInPlaceEdit* editor = grid->GetEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
        TypeCell(grid, 2, 0, code);
        EXPECT_EQ(grid->GetItemText(2, 0), code);
        Close();
    }
};

} // namespace

TEST_F(MonthDeductions, WritsAreEditedSavedByF4AndAppendedToAGroup)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuIspListView>();
    ASSERT_NE(view, nullptr);
    auto* dlg = ScreenPart<CCurnuIspListDlg>(view);
    EXPECT_EQ(doc->LastEntryScreen, 2u);
    Apply(view->Strip(), kCreditorDebtor);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Исполнительные листы [%1]").arg(ShortName(kCreditorDebtor)));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdKind[0])->text(), QStringLiteral("3"));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdSize[0])->text(), QStringLiteral("2000.00"));
    EXPECT_TRUE(dlg->DatePicker(0)->IsNull());
    EXPECT_EQ(doc->infoBase.warDat.warDatKv, 0); // no dated archive is read

    // The second writ: alimony of 20 % until 31 May 2031; kind 4 of the third
    // is no kind: refused by name, never stored as 0, and the field mended.
    TypeInto(dlg->Field(CCurnuIspListDlg::IdKind[1]), QStringLiteral("1"));
    TypeInto(dlg->Field(CCurnuIspListDlg::IdSize[1]), QStringLiteral("20"));
    QTest::mouseClick(dlg->PercentBox(1), Qt::LeftButton);
    dlg->DatePicker(1)->SetDate(QDate(2031, 5, 31));
    TypeInto(dlg->Field(CCurnuIspListDlg::IdFio[1]), QStringLiteral("Белова Анна Ивановна"));
    TypeInto(dlg->Field(CCurnuIspListDlg::IdKind[2]), QStringLiteral("4"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kCreditorDebtor));
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral("Значение поля \"Третий лист, Вид листа\" должно быть от 0 до 3: 4")));
    EXPECT_EQ(QApplication::focusWidget(), dlg->Field(CCurnuIspListDlg::IdKind[2]));
    boxes.boxes.clear();
    TypeInto(dlg->Field(CCurnuIspListDlg::IdKind[2]), QString());
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kAlimonyPayer)); // the next one with writs
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdTable[0])->text(), QStringLiteral("17"));
    EXPECT_TRUE(dlg->PercentBox(0)->isChecked());
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(kCreditorDebtor));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdSize[1])->text(), QStringLiteral("20.00"));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdKind[2])->text(), QString());
    EXPECT_EQ(Attr(kCreditorDebtor).priznAlim, 1);
    EXPECT_EQ(Attr(kCreditorDebtor).priznIspl, 1);

    // A number that is not in the list keeps the employee.
    Apply(view->Strip(), 999);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(999)));
    EXPECT_EQ(view->m_tabN, unsigned(kCreditorDebtor));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdSize[0])->text(), QStringLiteral("2000.00"));

    // The group: the third writ's kind and size go to every member; Enter asks nothing.
    boxes.boxes.clear();
    MarkGroup(view, view->Strip(), {"101", "102", QString::number(kAlimonyPayer)});
    ASSERT_TRUE(dlg->m_groupMode);
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdKind[0])->text(), QString());
    TypeInto(dlg->Field(CCurnuIspListDlg::IdKind[2]), QStringLiteral("3"));
    TypeInto(dlg->Field(CCurnuIspListDlg::IdSize[2]), QStringLiteral("150"));
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    // An edit left unsaved when the view closes is kept.
    Apply(view->Strip(), kAlimonyPayer);
    TypeInto(dlg->Field(CCurnuIspListDlg::IdSize[0]), QStringLiteral("33"));
    Close();
    Restart();
    const ib::IspolBlock& payer = Stored(kAlimonyPayer).ispol;
    EXPECT_EQ(payer.writs[0].sum, 3300);
    EXPECT_EQ(payer.writs[0].vid, 1);
    EXPECT_EQ(payer.writs[2].vid, 3);
    EXPECT_EQ(payer.writs[2].sum, 15000);
    EXPECT_EQ(Attr(kAlimonyPayer).priznAlim, 1);
    EXPECT_EQ(Attr(kAlimonyPayer).priznIspl, 1);
    for (int tabN : {101, 102}) {
        EXPECT_EQ(Stored(tabN).ispol.writs[2].sum, 15000) << tabN;
        EXPECT_EQ(Attr(tabN).priznIspl, 1) << tabN;
    }
    const ib::IspolBlock& debtor = Stored(kCreditorDebtor).ispol;
    EXPECT_EQ(debtor.writs[1].vid, 1);
    EXPECT_EQ(debtor.writs[1].priznUd, 1);
    EXPECT_EQ(debtor.writs[1].sum, 2000);
    EXPECT_EQ(kalvor::PackedDate(debtor.writs[1].dataEnd).toQDate(), QDate(2031, 5, 31));
    EXPECT_EQ(debtor.writs[1].fio, QStringLiteral("Белова Анна Ивановна"));
    EXPECT_EQ(debtor.writs[2].vid, 0);
}

TEST_F(MonthDeductions, AGroupAmountThatDoesNotReadKeepsTheGroupAndWhatWasTyped)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuIspListView>();
    ASSERT_NE(view, nullptr);
    auto* dlg = ScreenPart<CCurnuIspListDlg>(view);
    MarkGroup(view, view->Strip(), {"101", "102"});
    ASSERT_TRUE(dlg->m_groupMode);
    TypeInto(dlg->Field(CCurnuIspListDlg::IdKind[2]), QStringLiteral("3"));
    TypeInto(dlg->Field(CCurnuIspListDlg::IdSize[2]), QStringLiteral("1x50"));
    PressKey(Qt::Key_Return);
    Settle();
    // Refused with a message: the group stays open with the typed texts.
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(dlg->m_groupMode);
    EXPECT_NE(view->GroupPanel(), nullptr);
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdKind[2])->text(), QStringLiteral("3"));
    EXPECT_EQ(dlg->Field(CCurnuIspListDlg::IdSize[2])->text(), QStringLiteral("1x50"));
    for (int tabN : {101, 102}) EXPECT_EQ(Stored(tabN).ispol.writs[2].vid, 0) << tabN;

    // Corrected, Enter appends to both and ends the group.
    TypeInto(dlg->Field(CCurnuIspListDlg::IdSize[2]), QStringLiteral("150"));
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_EQ(view->GroupPanel(), nullptr);
    for (int tabN : {101, 102}) EXPECT_EQ(Stored(tabN).ispol.writs[2].sum, 15000) << tabN;
}

TEST_F(MonthDeductions, NothingIsWrittenBeforeTheFirstChangeOfAWrit)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuIspListView>();
    Apply(view->Strip(), kAlimonyPayer);
    // The base refuses every write: paging without a change asks nothing of it.
    QSqlQuery q(ib::Db(doc->infoBase));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.comp RENAME TO compAway")));
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(kCreditorDebtor));
    EXPECT_TRUE(boxes.boxes.empty());
    // A change that the base refuses is shown, and the employee stays.
    TypeInto(view->FormDlg()->Field(CCurnuIspListDlg::IdSize[0]), QStringLiteral("2100"));
    PressKey(Qt::Key_F4);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(boxes.boxes[0].text.isEmpty());
    EXPECT_EQ(view->m_tabN, unsigned(kCreditorDebtor));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.compAway RENAME TO comp")));
    PressKey(Qt::Key_F4); // tried again
    EXPECT_EQ(view->m_tabN, unsigned(kAlimonyPayer));
    Close();
    EXPECT_EQ(Stored(kCreditorDebtor).ispol.writs[0].sum, 210000);
}

TEST_F(MonthDeductions, NothingIsWrittenBeforeTheFirstChangeOfALoan)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuSsudKredView>();
    Apply(view->Strip(), kLoanDebtor);
    // The base refuses every write: paging without a change asks nothing of it.
    QSqlQuery q(ib::Db(doc->infoBase));
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.comp RENAME TO compAway")));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kStagedLoanDebtor));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(q.exec(QStringLiteral("ALTER TABLE dbo.compAway RENAME TO comp")));
    Close();
}

TEST_F(MonthDeductions, LoansAreEditedSavedByF4AndAppendedToAGroup)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuSsudKredView>();
    ASSERT_NE(view, nullptr);
    auto* dlg = ScreenPart<CCurnuSsudKredDlg>(view);
    using D = CCurnuSsudKredDlg;
    Apply(view->Strip(), kLoanDebtor);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Ссуды / Кредиты [%1]").arg(ShortName(kLoanDebtor)));
    EXPECT_EQ(dlg->Field(D::IdCode[0])->text(), QStringLiteral("760"));
    EXPECT_EQ(dlg->Field(D::IdDebt[0])->text(), QStringLiteral("27000.00"));
    EXPECT_EQ(dlg->Field(D::IdStageMonths[0])->text(), QStringLiteral("9"));
    EXPECT_EQ(dlg->Field(D::IdStageSums[0])->text(), QStringLiteral("3000.00"));

    // A third loan after an empty second; 200 months at once is more than a
    // loan keeps: refused by name, never stored as 0, and the field mended.
    TypeInto(dlg->Field(D::IdCode[2]), QStringLiteral("760"));
    TypeInto(dlg->Field(D::IdDebt[2]), QStringLiteral("4000"));
    QTest::mouseClick(dlg->TaxBox(2), Qt::LeftButton);
    TypeInto(dlg->Field(D::IdStageSums[2] + 1), QStringLiteral("500"));
    TypeInto(dlg->Field(D::IdMonths[2]), QStringLiteral("200"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral(
                  "Значение поля \"Третья ссуда, Количество месяцев\" должно быть от 0 до 127: 200")));
    boxes.boxes.clear();
    TypeInto(dlg->Field(D::IdMonths[2]), QString());
    // A debt below 0 is refused the same way.
    TypeInto(dlg->Field(D::IdDebt[2]), QStringLiteral("-4000"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral(
                  "Значение поля \"Третья ссуда, Долг\" должно быть от 0.00 до 999999999999.99: -4000")));
    boxes.boxes.clear();
    TypeInto(dlg->Field(D::IdDebt[2]), QStringLiteral("4000"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kStagedLoanDebtor));
    EXPECT_EQ(dlg->Field(D::IdStageMonths[0] + 1)->text(), QStringLiteral("6"));
    PressKey(Qt::Key_F3);
    EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));
    EXPECT_EQ(dlg->Field(D::IdMonths[2])->text(), QString());
    EXPECT_TRUE(dlg->TaxBox(2)->isChecked());
    EXPECT_EQ(dlg->Field(D::IdStageMonths[2] + 1)->text(), QString());
    EXPECT_EQ(Attr(kLoanDebtor).priznSsud, 2);
    // An accrual in the book is no loan's deduction: refused naming the
    // field and the kind, and the empty second loan stays empty.
    TypeInto(dlg->Field(D::IdCode[1]), QStringLiteral("4"));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Вторая ссуда, Код удержания\" указан код, который "
                                                        "не является видом удержания по ссуде: 4")));
    boxes.boxes.clear();
    TypeInto(dlg->Field(D::IdCode[1]), QString());

    Apply(view->Strip(), 999);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(999)));
    EXPECT_EQ(view->m_tabN, unsigned(kLoanDebtor));

    // The group: the fourth loan's code and debt.
    boxes.boxes.clear();
    MarkGroup(view, view->Strip(), {"103", "104", QString::number(kStagedLoanDebtor)});
    ASSERT_TRUE(dlg->m_groupMode);
    TypeInto(dlg->Field(D::IdCode[3]), QStringLiteral("760"));
    TypeInto(dlg->Field(D::IdDebt[3]), QStringLiteral("1000"));
    PressKey(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(dlg->m_groupMode);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();

    Apply(view->Strip(), kStagedLoanDebtor);
    TypeInto(dlg->Field(D::IdStageSums[0]), QStringLiteral("2500"));
    Close();
    Restart();
    const ib::SsudBlock& staged = Stored(kStagedLoanDebtor).ssud;
    EXPECT_EQ(staged.loans[0].sum[0], 250000);
    EXPECT_EQ(staged.loans[0].mes, (std::array<ib::u8, 3>{2, 6, 0}));
    EXPECT_EQ(staged.loans[3].kod, 760);
    EXPECT_EQ(staged.loans[3].sumDolg, 100000);
    EXPECT_EQ(Attr(kStagedLoanDebtor).priznSsud, 2);
    for (int tabN : {103, 104}) EXPECT_EQ(Attr(tabN).priznSsud, 1) << tabN;
    const ib::SsudBlock& loans = Stored(kLoanDebtor).ssud;
    EXPECT_TRUE(en::LoanIsEmpty(loans.loans[1]));
    EXPECT_EQ(loans.loans[2].kod, 760);
    EXPECT_EQ(loans.loans[2].kvMes, 0);
    EXPECT_EQ(loans.loans[2].nalog, 1);
    EXPECT_EQ(loans.loans[2].mes[1], 0);
    EXPECT_EQ(loans.loans[2].sum[1], 50000);
}

// A transfer's "Сумма" of three decimals in the monthly deductions' grid is
// held on every way out: Tab, a click on the other row's amount, on
// "Добавить" and on the strip each say one box naming the column, the editor
// keeping the text with the focus and no row added; Esc puts the stored
// amount back without a box, and nothing is stored.
TEST_F(MonthDeductions, ARefusedTransferAmountIsHeldOnEveryWayOut)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuPerSBView>();
    ASSERT_NE(view, nullptr);
    CCurnuPerSBDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    Apply(view->Strip(), kTwoBanks);
    ASSERT_EQ(grid->GetRowCount(), 3);
    const QString stored = grid->GetItemText(2, 1);
    QRect otherCell;
    ASSERT_TRUE(grid->GetCellRect(1, 1, otherCell));
    grid->setFocus();
    grid->SetFocusCell(2, 1);
    grid->OnEditCell(2, 1, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
    Settle();
    ASSERT_NE(grid->GetEditor(), nullptr);
    const QStringList faults = HeldOnEveryWayOut(
        boxes, [grid]() -> QLineEdit* { return grid->GetEditor(); }, QStringLiteral("Сумма"),
        QStringLiteral("12,755"),
        {{QStringLiteral("a click on the other row's amount"), ClickOn(grid->viewport(), otherCell.center())},
         {QStringLiteral("a click on Добавить"), ClickOn(dlg->control(CCurnuPerSBDlg::IdAdd))},
         {QStringLiteral("a click on the strip"), ClickOn(view->Strip()->Field(CTabelFilterDlg::IdTabN))}});
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_EQ(grid->GetRowCount(), 3);
    const std::size_t said = boxes.boxes.size();
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), said);
    EXPECT_EQ(grid->GetItemText(2, 1), stored);
    PressKey(Qt::Key_F4);
    EXPECT_EQ(boxes.boxes.size(), said);
    EXPECT_EQ(en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks))[1].sum, 500'000);
}

// Delete in a transfer's row empties the cell it stands on, not the row.
// A row emptied cell by cell is not dropped by Esc without a question:
// "Нет" keeps it on the screen, "Да" shows the stored transfer again; the
// base keeps both transfers throughout.
TEST_F(MonthDeductions, DeleteEmptiesACellAndEscAsksBeforeAnEmptiedRowGoes)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuPerSBView>();
    ASSERT_NE(view, nullptr);
    CCurnuPerSBDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    Apply(view->Strip(), kTwoBanks);
    ASSERT_EQ(grid->GetRowCount(), 3);
    const QStringList first = dlg->RowCells(1);
    const QStringList second = dlg->RowCells(2);
    ASSERT_FALSE(first[3].isEmpty());
    grid->setFocus();
    grid->SetFocusCell(1, 3);
    PressKey(Qt::Key_Delete);
    QStringList expected = first;
    expected[3].clear();
    EXPECT_EQ(dlg->RowCells(1), expected);
    EXPECT_EQ(dlg->RowCells(2), second);
    for (int col = 0; col < 6; ++col) {
        grid->SetFocusCell(1, col);
        PressKey(Qt::Key_Delete);
    }
    EXPECT_EQ(dlg->RowCells(1), QStringList(6, QString()));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(u'|').toStdString();
    const QString question = QStringLiteral("Отменить изменения, внесенные в данные работника?");
    boxes.answer = IDNO;
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(boxes.Texts(), QStringList(question));
    EXPECT_EQ(dlg->RowCells(1), QStringList(6, QString()));
    EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
    EXPECT_EQ(en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks)).size(), 2u);
    boxes.answer = IDYES;
    grid->setFocus();
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(boxes.Texts(), QStringList({question, question}));
    EXPECT_EQ(dlg->RowCells(1), first);
    EXPECT_EQ(dlg->RowCells(2), second);
    EXPECT_EQ(en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks)).size(), 2u);
}

TEST_F(MonthDeductions, TransfersAreEditedAndGroupedAndAFullMemberIsNamed)
{
    MessageRecorder boxes;
    // 105 has twenty transfers already.
    ib::CInfoBase& base = doc->infoBase;
    ib::LoadEmployee(base, Slot(105));
    en::PlaceTransfers(base.current, base.attributesOf(Slot(105)), en::SberRows(20, en::ReadSberRow({"903", "10"})));
    en::StoreEmployeeDetail(base, Slot(105), &ib::SaveSber);

    auto* view = Open<CCurnuPerSBView>();
    ASSERT_NE(view, nullptr);
    CCurnuPerSBDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    Apply(view->Strip(), kTwoBanks);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Перечисления в банки [%1]").arg(ShortName(kTwoBanks)));
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(dlg->RowCells(2),
              QStringList({"903", "5000.00", "2", "", "40817810400001234567", doc->infoBase.current.head.fio}));
    EXPECT_EQ(view->RecipientLines().size(), 148);
    EXPECT_EQ(view->RecipientLines()[1], QStringLiteral("2|ЗАО \"ВТБ 24\""));

    // The first row emptied, a new one added: the rows close up on saving.
    for (int col = 0; col < 6; ++col) grid->SetItemText(1, col, QString());
    QTest::mouseClick(dlg->controlAs<QPushButton>(CCurnuPerSBDlg::IdAdd), Qt::LeftButton);
    TypeCell(grid, 3, 0, QStringLiteral("906"));
    TypeCell(grid, 3, 1, QStringLiteral("700"));
    TypeCell(grid, 3, 2, QStringLiteral("1"));
    PressKey(Qt::Key_F3);
    EXPECT_NE(view->m_tabN, unsigned(kTwoBanks));
    PressKey(Qt::Key_F4);
    EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));
    ASSERT_EQ(grid->GetRowCount(), 3);
    EXPECT_EQ(dlg->RowCells(1)[0], QStringLiteral("903"));
    EXPECT_EQ(dlg->RowCells(2), QStringList({"906", "700.00", "1", "", "", ""}));
    EXPECT_EQ(Attr(kTwoBanks).priznBank, 2);
    TransferCodesByClass(view, boxes);
    const QString noAmount = NoAmountText();

    Apply(view->Strip(), 999);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral("В поле \"Табельный номер\" указан номер, которого нет в справочнике \"Список сотрудников\": %1").arg(999)));
    EXPECT_EQ(view->m_tabN, unsigned(kTwoBanks));

    // The group append: 105 is full and named; the others get the row last.
    boxes.boxes.clear();
    MarkGroup(view, view->Strip(), {"104", "105", QString::number(kTwoBanks)});
    ASSERT_TRUE(dlg->m_groupMode);
    TypeCell(grid, 1, 0, QStringLiteral("907"));
    // Without its amount the group's row is refused, and the group stays.
    grid->setFocus();
    AnswerGroupDialog(1571);
    PressKey(Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_EQ(boxes.Texts(), QStringList(noAmount));
    boxes.boxes.clear();
    ASSERT_TRUE(dlg->m_groupMode);
    TypeCell(grid, 1, 1, QStringLiteral("250"));
    grid->setFocus();
    AnswerGroupDialog(1571);
    PressKey(Qt::Key_Return);
    Settle();
    ASSERT_TRUE(ShowActive(frame.get()));
    EXPECT_FALSE(dlg->m_groupMode);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text,
              QStringLiteral("Количество перечислений больше 20.\nЗапись не добавлена:\n") + ShortName(105));

    // An edit left unsaved when the view closes is kept.
    Apply(view->Strip(), kTwoBanks);
    TypeCell(grid, 2, 4, QStringLiteral("42307810"));
    Close();
    Restart();
    const en::SberRows rows = en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], en::ReadSberRow({"906", "700", "1", "", "42307810"}));
    EXPECT_EQ(rows[2], en::ReadSberRow({"907", "250"}));
    EXPECT_EQ(en::TransferRows(Stored(104), Attr(104)), en::SberRows({en::ReadSberRow({"907", "250"})}));
    EXPECT_EQ(Attr(105).priznBank, 20);
    EXPECT_EQ(Stored(105).sber[19], en::ReadSberRow({"903", "10"}));
}

TEST_F(MonthDeductions, TransferGroupCorrectionAndDeletionTouchOnlyTheMatches)
{
    MessageRecorder boxes;
    auto* view = Open<CCurnuPerSBView>();
    CCurnuPerSBDlg* dlg = view->Dlg();
    CFldHlpGridCtrl* grid = dlg->Grid();
    Apply(view->Strip(), 101);
    auto group = [&](const QStringList& tabNs, const QStringList& cells, int button) {
        MarkGroup(view, view->Strip(), tabNs);
        ASSERT_TRUE(dlg->m_groupMode);
        for (int col = 0; col < cells.size(); ++col)
            if (!cells[col].isEmpty())
                TypeCell(grid, 1, col, cells[col]);
        grid->setFocus();
        if (button != 0)
            AnswerGroupDialog(button);
        PressKey(Qt::Key_Return);
        Settle();
        ASSERT_TRUE(ShowActive(frame.get()));
    };
    group({"104", "106", "107"}, {"907", "300"}, 1571);
    // Mark the 300 of 104 and 106 (107 is not in the group), correct it to 350.
    group({"104", "106"}, {"907", "300"}, 1383);
    EXPECT_EQ(dlg->PendingOperation(), 503);
    TypeCell(grid, 1, 0, QStringLiteral("907"));
    TypeCell(grid, 1, 1, QStringLiteral("350"));
    grid->setFocus();
    PressKey(Qt::Key_Return);
    Settle();
    // Delete the 350 where it is: 106 and 108 (who has none).
    group({"106", "108"}, {"907", "350"}, 1061);
    Close();
    Restart();
    EXPECT_EQ(en::TransferRows(Stored(104), Attr(104)), en::SberRows({en::ReadSberRow({"907", "350"})}));
    EXPECT_TRUE(en::TransferRows(Stored(106), Attr(106)).empty());
    EXPECT_EQ(en::TransferRows(Stored(107), Attr(107)), en::SberRows({en::ReadSberRow({"907", "300"})}));
    EXPECT_TRUE(en::TransferRows(Stored(108), Attr(108)).empty());
    ASSERT_EQ(boxes.boxes.size(), 1u); // the correction's notice
}

TEST_F(MonthDeductions, AWritALoanAndATransferEnteredAreDeductedInTheMonth)
{
    MessageRecorder boxes;
    constexpr int tabN = 104;
    {
        auto* view = Open<CCurnuIspListView>();
        Apply(view->Strip(), tabN);
        TypeInto(view->FormDlg()->Field(CCurnuIspListDlg::IdKind[0]), QStringLiteral("3"));
        TypeInto(view->FormDlg()->Field(CCurnuIspListDlg::IdSize[0]), QStringLiteral("1200"));
        Close();
    }
    {
        auto* view = Open<CCurnuSsudKredView>();
        Apply(view->Strip(), tabN);
        using D = CCurnuSsudKredDlg;
        TypeInto(view->FormDlg()->Field(D::IdCode[0]), QStringLiteral("760"));
        TypeInto(view->FormDlg()->Field(D::IdDebt[0]), QStringLiteral("6000"));
        TypeInto(view->FormDlg()->Field(D::IdMonths[0]), QStringLiteral("1"));
        TypeInto(view->FormDlg()->Field(D::IdStageMonths[0]), QStringLiteral("6"));
        TypeInto(view->FormDlg()->Field(D::IdStageSums[0]), QStringLiteral("1000"));
        Close();
    }
    {
        auto* view = Open<CCurnuPerSBView>();
        Apply(view->Strip(), tabN);
        QTest::mouseClick(view->Dlg()->controlAs<QPushButton>(CCurnuPerSBDlg::IdAdd), Qt::LeftButton);
        TypeCell(view->Dlg()->Grid(), 1, 0, QStringLiteral("903"));
        TypeCell(view->Dlg()->Grid(), 1, 1, QStringLiteral("1500"));
        TypeCell(view->Dlg()->Grid(), 1, 2, QStringLiteral("2"));
        Close();
    }
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    // His pay less the tax holds all three once his advance is left out (with
    // it the writ would come first and the loan and the transfer share the
    // rest: no deduction takes more than is left to pay).
    doc->infoBase.avOf(Slot(tabN)) = 0;
    Calculate();
    Restart();
    EXPECT_DOUBLE_EQ(Sum(tabN, 912), 120000);
    EXPECT_DOUBLE_EQ(Sum(tabN, 760), 100000);
    EXPECT_DOUBLE_EQ(Sum(tabN, 903), 150000);
    // The demo's second writ, staged loan and fixed transfer are deducted too.
    EXPECT_DOUBLE_EQ(Sum(kCreditorDebtor, 912), 200000);
    EXPECT_DOUBLE_EQ(Sum(kStagedLoanDebtor, 760), 200000);
    EXPECT_GE(Sum(kTwoBanks, 903), 500000);
}

// What cannot be is refused naming the field, and Esc puts back what was
// stored: a writ's size of -1, or of 150 in percent, named with its writ as
// its heading shows it ("Второй лист"); a loan stage's "Сумма"
// of -1, named with its loan and its stage; a transfer's "Сумма" of -1. A writ, a loan's instalment and a
// transfer of 99,999,999.00, each of an employee without an advance, are
// stored, the stage shown with its kopecks, and leave the amount to pay at 0
// or more once the month is computed: the loan and the transfer, larger
// than the pay, take all of it and no more.
TEST_F(MonthDeductions, WhatCannotBeIsRefusedAndNoDeductionTakesMoreThanThePay)
{
    MessageRecorder boxes;
    HugeWritAfterRefusals(boxes);
    HugeLoanAfterRefusals(boxes);
    HugeTransferAfterRefusals(boxes);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Stored(kCreditorDebtor).ispol.writs[0].sum, 9'999'999'900);
    EXPECT_EQ(Stored(kLoanDebtor).ssud.loans[0].sum[0], 9'999'999'900);
    EXPECT_TRUE(en::LoanIsEmpty(Stored(kLoanDebtor).ssud.loans[1]));
    EXPECT_EQ(en::TransferRows(Stored(kTwoBanks), Attr(kTwoBanks))[1].sum, 9'999'999'900);
    {
        auto* view = Open<CCurnuSsudKredView>();
        Apply(view->Strip(), kLoanDebtor);
        EXPECT_EQ(view->FormDlg()->Field(CCurnuSsudKredDlg::IdStageSums[0])->text(), QStringLiteral("99999999.00"));
        Close();
    }

    for (const int tabN : {kCreditorDebtor, kLoanDebtor, kTwoBanks}) doc->infoBase.avOf(Slot(tabN)) = 0;
    Calculate();
    Restart();
    for (const int tabN : {kCreditorDebtor, kLoanDebtor, kTwoBanks})
        EXPECT_GE(kalvor::MonthMoneyOfRecord(Stored(tabN), Attr(tabN).kvProizv).net(), 0) << tabN;
    EXPECT_GT(Sum(kCreditorDebtor, 912), 0);
    EXPECT_EQ(kalvor::MonthMoneyOfRecord(Stored(kLoanDebtor), Attr(kLoanDebtor).kvProizv).net(), 0);
    EXPECT_EQ(kalvor::MonthMoneyOfRecord(Stored(kTwoBanks), Attr(kTwoBanks).kvProizv).net(), 0);
}

TEST_F(MonthDeductions, FieldHelpAndScreenshotsOfTheThreeForms)
{
    MessageRecorder boxes;
    {
        auto* view = Open<CCurnuIspListView>();
        Apply(view->Strip(), kAlimonyPayer);
        view->FormDlg()->Field(CCurnuIspListDlg::IdTable[1])->setFocus();
        QApplication::processEvents();
        view->ShowFormHelp();
        auto* hint = view->findChild<CHintWnd*>();
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->text().startsWith(QStringLiteral("Укажите номер (от 1 до 20) налоговой таблицы.")));
        QTest::keyClick(view->FormDlg()->Field(CCurnuIspListDlg::IdTable[1]), Qt::Key_Shift);
        Settle();
        EXPECT_EQ(CCurnuIspListView::KindLines().size(), 3);
        Screenshot(frame.get(), QStringLiteral("writs-of-execution.png"));
        Close();
    }
    {
        auto* view = Open<CCurnuSsudKredView>();
        Apply(view->Strip(), kStagedLoanDebtor);
        view->FormDlg()->Field(CCurnuSsudKredDlg::IdStageMonths[0] + 2)->setFocus();
        QApplication::processEvents();
        view->ShowFormHelp();
        auto* hint = view->findChild<CHintWnd*>();
        ASSERT_NE(hint, nullptr);
        EXPECT_TRUE(hint->text().startsWith(QStringLiteral("Число месяцев и нижележащая сумма")));
        QTest::keyClick(view->FormDlg()->Field(CCurnuSsudKredDlg::IdStageMonths[0] + 2), Qt::Key_Shift);
        Settle();
        Screenshot(frame.get(), QStringLiteral("loans-and-credits.png"));
        Close();
    }
    {
        auto* view = Open<CCurnuPerSBView>();
        Apply(view->Strip(), kTwoBanks);
        Screenshot(frame.get(), QStringLiteral("bank-transfers.png"));
        Close();
    }
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
}

#endif
