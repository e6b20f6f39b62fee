// Numbers that must name a record of a book, and amounts that cannot be
// negative, typed into the demo firm's screens at 1024x768 with the
// program's real boxes: the card's shop and profession, the dated archive's
// and the seniority book's code, the seniority value and the advance. Each
// refused text is said in one box naming the column or field, and nothing
// of it is stored; a number the book holds is stored.
#include "DemoFrameTest.h"

#include "entries/ui/CAvanceVvodDlg.h"
#include "entries/ui/CAvanceVvodView.h"
#include "grid/FldHlpGridCtrl.h"
#include "grid/InPlaceEdit.h"
#include "masterdata/ui/CRefStagView.h"
#include "masterdata/ui/CWorkerDatArchiveView.h"
#include "masterdata/ui/CWorkerDatarchiveDlg.h"
#include "masterdata/ui/CWorkerUchKartView.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "support/StoredBase.h"

#include <QLineEdit>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

class UiBookNumbers : public DemoFrameTest {
protected:
    void SetUp() override
    {
        DemoFrameTest::SetUp();
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        ASSERT_TRUE(ShowAt1024x768(*frame, closer, &CloseModalDialogs, 50));
    }
    void TearDown() override
    {
        frame.reset();
        DemoFrameTest::TearDown();
    }
    int Slot(int tabN) const { return doc.infoBase.list[std::size_t(doc.infoBase.FindEmployee(tabN))].slot; }
    // The text typed into the field, which is left by Tab: the boxes said.
    QStringList TypeAndTab(QLineEdit* field, const QString& text)
    {
        const std::size_t said = boxes.boxes.size();
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
        Settle();
        return boxes.Texts().mid(int(said));
    }
    // The text typed into the cell, its editor opened as a click opens it,
    // left by Tab: the boxes said.
    QStringList TypeIntoCell(CFldHlpGridCtrl* grid, int row, int col, const QString& text)
    {
        grid->setFocus();
        grid->SetFocusCell(row, col);
        grid->OnEditCell(row, col, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
        Settle();
        if (!grid->GetEditor())
            return {QStringLiteral("no editor on %1, %2").arg(row).arg(col)};
        return TypeAndTab(grid->GetEditor(), text);
    }
    // Esc in the refused cell's editor: its stored text back, no box.
    void GiveUpCell(CFldHlpGridCtrl* grid)
    {
        const std::size_t said = boxes.boxes.size();
        ASSERT_NE(grid->GetEditor(), nullptr);
        QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
        Settle();
        EXPECT_EQ(boxes.boxes.size(), said);
        EXPECT_EQ(grid->GetEditor(), nullptr);
    }
    static QString NotInBook(const QString& field, const QString& book, int number)
    {
        return QStringLiteral("В поле \"%1\" указан номер, которого нет в справочнике \"%2\": %3")
            .arg(field, book)
            .arg(number);
    }
    static QString Negative(const QString& field)
    {
        return QStringLiteral("Значение поля \"%1\" должно быть от 0.00 до 999999999999.99: -1").arg(field);
    }

    QTimer closer;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace

// The card of 110: shop 9 (the book holds 1-4) and profession 99 (it holds
// 1-16) are refused as the field is left and at the save (F4), naming the
// field and the book, the card staying on 110 and nothing stored; shop 2 and
// profession 3 are stored.
TEST_F(UiBookNumbers, TheCardTakesAShopAndAProfessionOfTheirBooksOnly)
{
    auto* card = qobject_cast<CWorkerUchKartView*>(OpenForEntry(*frame, 1042, 110));
    ASSERT_NE(card, nullptr);
    const int slot = Slot(110);
    const ib::u8 shop = doc.infoBase.shopOf(slot);
    const ib::u16 profession = doc.infoBase.attributesOf(slot).prof;
    ASSERT_NE(shop, 2);
    ASSERT_NE(profession, 3);
    QLineEdit* shopField = card->Page()->controlAs<QLineEdit>(1001);
    QLineEdit* professionField = card->Page()->controlAs<QLineEdit>(1018);
    ASSERT_TRUE(shopField && professionField);

    const QString shopRefused = NotInBook(QStringLiteral("Цех / отдел"), QStringLiteral("Цех/Отдел"), 9);
    EXPECT_EQ(TypeAndTab(shopField, QStringLiteral("9")), QStringList(shopRefused));
    EXPECT_EQ(QApplication::focusWidget(), shopField);
    std::size_t said = boxes.boxes.size();
    QTest::keyClick(shopField, Qt::Key_F4);
    Settle();
    EXPECT_EQ(boxes.Texts().mid(int(said)), QStringList(shopRefused));
    EXPECT_EQ(card->m_tabN, 110u);
    EXPECT_EQ(doc.infoBase.shopOf(slot), shop);
    EXPECT_TRUE(TypeAndTab(shopField, QStringLiteral("2")).isEmpty());

    EXPECT_EQ(TypeAndTab(professionField, QStringLiteral("99")),
              QStringList(NotInBook(QStringLiteral("Профессия"), QStringLiteral("Профессии"), 99)));
    EXPECT_EQ(QApplication::focusWidget(), professionField);
    EXPECT_EQ(doc.infoBase.attributesOf(slot).prof, profession);
    EXPECT_TRUE(TypeAndTab(professionField, QStringLiteral("3")).isEmpty());
    said = boxes.boxes.size();
    QTest::keyClick(professionField, Qt::Key_F4);
    Settle();
    EXPECT_EQ(boxes.boxes.size(), said) << boxes.Texts().join(u'\n').toStdString();
    EXPECT_NE(card->m_tabN, 110u);
    EXPECT_EQ(doc.infoBase.shopOf(slot), 2);
    EXPECT_EQ(doc.infoBase.attributesOf(slot).prof, 3);
    // Read back from the base.
    ASSERT_TRUE(frame->SwitchView<CEmptyView>());
    ib::CInfoBase stored;
    stored.workFolder = doc.infoBase.workFolder;
    stored.baseName = doc.infoBase.baseName;
    ib::OpenStoredBase(stored);
    ib::LoadAll(stored);
    EXPECT_EQ(stored.shopOf(slot), 2);
    EXPECT_EQ(stored.attributesOf(slot).prof, 3);
    ib::CloseBase(stored);
}

// The dated archive of 110: "Код" 500, a code no pay kind has, is refused
// naming the column and the book, 999 naming the column and its range; Esc
// puts the stored code back and the screen left stores no row of either.
TEST_F(UiBookNumbers, TheDatedArchiveTakesACodeOfThePayKindsOnly)
{
    auto* view = qobject_cast<CWorkerDatArchiveView*>(OpenForEntry(*frame, 1045, 110));
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    if (grid->GetRowCount() == grid->GetFixedRowCount()) {
        QTest::mouseClick(view->Dlg()->control(CWorkerDatarchiveDlg::IdInsertAfter), Qt::LeftButton);
        Settle();
    }
    ASSERT_GT(grid->GetRowCount(), grid->GetFixedRowCount());
    const int row = grid->GetFixedRowCount();
    const QString stored = grid->GetItemText(row, 3);
    // No pay kind's code goes past 995.
    const QStringList refusals{NotInBook(QStringLiteral("Код"), QStringLiteral("Оплаты/Удержания"), 500),
                               QStringLiteral("Значение поля \"Код\" должно быть от 0 до 995: 999")};
    for (const QString& refusal : refusals) {
        EXPECT_EQ(TypeIntoCell(grid, row, 3, refusal.section(QLatin1Char(' '), -1)), QStringList(refusal));
        GiveUpCell(grid);
        EXPECT_EQ(grid->GetItemText(row, 3), stored);
    }
    ASSERT_TRUE(frame->SwitchView<CEmptyView>());
    for (const auto& entry : doc.infoBase.warDat.entries) {
        EXPECT_NE(entry.kod, 500);
        EXPECT_NE(entry.kod, 999);
    }
}

// The seniority book: "Код" 500 and 999 are no pay kinds of the book,
// "Величина" -1 is below nothing: each refused naming the column; the book
// left keeps its rules.
TEST_F(UiBookNumbers, TheSeniorityBookTakesACodeOfThePayKindsAndNoNegativeValue)
{
    const auto rules = doc.infoBase.firm.stag;
    frame->RunCommand(1037);
    Settle();
    auto* view = qobject_cast<CRefStagView*>(frame->CurrentView());
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->Grid();
    if (grid->GetRowCount() == grid->GetFixedRowCount()) {
        QTest::mouseClick(view->control(CRefStagView::IdAdd), Qt::LeftButton);
        Settle();
    }
    const int row = grid->GetFixedRowCount();
    ASSERT_GT(grid->GetRowCount(), row);
    for (const int code : {500, 999}) {
        EXPECT_EQ(TypeIntoCell(grid, row, 0, QString::number(code)),
                  QStringList(NotInBook(QStringLiteral("Код"), QStringLiteral("Оплаты/Удержания"), code)));
        GiveUpCell(grid);
    }
    EXPECT_EQ(TypeIntoCell(grid, row, 16, QStringLiteral("-1")), QStringList(Negative(QStringLiteral("Величина"))));
    GiveUpCell(grid);
    ASSERT_TRUE(frame->SwitchView<CEmptyView>());
    EXPECT_EQ(doc.infoBase.firm.stag, rules);
}

// The advance of 102 corrected to -1 is refused naming the column; Esc puts
// the stored advance back and the screen left keeps it.
TEST_F(UiBookNumbers, AnAdvanceIsNeverNegative)
{
    auto* view = qobject_cast<CAvanceVvodView*>(OpenForEntry(*frame, 1257, 102));
    ASSERT_NE(view, nullptr);
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    int row = -1;
    for (int r = 1; r < grid->GetRowCount() && row < 0; ++r)
        if (grid->GetItemText(r, 1) == QStringLiteral("102"))
            row = r;
    ASSERT_GT(row, 0);
    const double advance = doc.infoBase.avOf(Slot(102));
    EXPECT_EQ(TypeIntoCell(grid, row, 2, QStringLiteral("-1")),
              QStringList(Negative(QStringLiteral("Величина аванса"))));
    GiveUpCell(grid);
    ASSERT_TRUE(frame->SwitchView<CEmptyView>());
    EXPECT_EQ(doc.infoBase.avOf(Slot(102)), advance);
}

#endif
