// The reference books kept as tables and the legal entities on the demo base,
// driven by keys in the frame: a shop, a profession and a length-of-service
// rule added, a mask toggled, a tax band and a recipient changed; each book
// left with Esc and the change found after reopening, in the base or in the
// reference file; files of books left unchanged compared byte by byte.
// Screenshots of the seniority grid, the tax book and the legal-entity form go
// to the build folder.
#include "RefTablesWorld.h"
#include "support/ScreenText.h"

#include "grid/FldHlpGridCtrl.h"
#include "masterdata/ui/CRefGridBookView.h"
#include "masterdata/ui/CRefMasksView.h"
#include "masterdata/ui/CRefNalogView.h"
#include "masterdata/ui/CRefStagView.h"
#include "masterdata/ui/CRefUrlicView.h"
#include "shell/ui/FieldHelp.h"
#include "support/RefusingTrigger.h"
#include "support/SlotArrays.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <optional>

using namespace kalvor;
using namespace kalvor::infobase;

using masterdatatest::RefTablesWorld;

namespace {

class UiRefTables : public RefTablesWorld {};

} // namespace

TEST_F(UiRefTables, EveryBookIsOnTheReferencePanelAndEscLeavesIt)
{
    for (int command : {1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038, 1039})
        EXPECT_NE(frame->PanelButton(command), nullptr) << command;
    auto* view = Open<CRefStagView>(1037);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->CCommonFormView::FormId(), 358);
    Leave(view->Grid());
    EXPECT_TRUE(qobject_cast<CEmptyView*>(frame->CurrentView()));
    EXPECT_EQ(frame->CurrentWorkPanel(), 0);
}

TEST_F(UiRefTables, ARuleAddedInTheSeniorityBookIsSavedSortedAndCut)
{
    base().firm.stag = {};
    base().firm.stag[0].kod = 300;
    auto* view = Open<CRefStagView>(1037);
    ASSERT_TRUE(view);
    CFldHlpGridCtrl* grid = view->Grid();
    ASSERT_EQ(grid->GetFixedRowCount(), 2);
    EXPECT_EQ(grid->GetItemText(0, 1), QStringLiteral("Возраст"));
    EXPECT_EQ(grid->GetItemText(1, 2), QStringLiteral("Мах."));
    ASSERT_EQ(DataRows(grid), 1);

    auto* add = view->control(CRefStagView::IdAdd);
    QTest::mouseClick(add, Qt::LeftButton);
    ASSERT_EQ(DataRows(grid), 2);
    TypeCell(grid, 3, 0, QStringLiteral("53"));
    TypeCell(grid, 3, 3, QStringLiteral("120"));
    // A range's ends in order, whichever is typed: an age from 60 to 20 is
    // refused naming both ends, the editor keeping the text with the focus,
    // and takes 65 by the next keys; a least of 70 over it is refused too.
    const QString reversed =
        QStringLiteral("Значение поля \"Возраст мин.\" (60) больше значения поля \"Возраст макс.\" (20)");
    TypeCell(grid, 3, 1, QStringLiteral("60"));
    TypeCell(grid, 3, 2, QStringLiteral("20"));
    Settle();
    ASSERT_EQ(boxes.Texts(), QStringList{reversed});
    ASSERT_NE(grid->GetEditor(), nullptr);
    EXPECT_EQ(grid->GetEditor()->text(), QStringLiteral("20"));
    EXPECT_EQ(QApplication::focusWidget(), grid->GetEditor());
    QTest::keyClick(grid->GetEditor(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(grid->GetEditor(), QStringLiteral("65"));
    QTest::keyClick(grid->GetEditor(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("65"));
    TypeCell(grid, 3, 1, QStringLiteral("70"));
    Settle();
    EXPECT_EQ(boxes.Texts().value(1),
              QStringLiteral("Значение поля \"Возраст мин.\" (70) больше значения поля \"Возраст макс.\" (65)"));
    ASSERT_NE(grid->GetEditor(), nullptr);
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(3, 1), QStringLiteral("60"));
    boxes.boxes.clear();
    // A category beyond its four bits is refused as it is typed, never cut.
    TypeCell(grid, 3, 13, QStringLiteral("16"));
    Settle();
    ASSERT_EQ(boxes.Texts(), QStringList(QStringLiteral("Значение поля \"Категор. мин.\" должно быть от 0 до 15: 16")));
    EXPECT_EQ(grid->GetItemText(3, 13), QString());
    QTest::keyClick(grid->GetEditor(), Qt::Key_Escape);
    boxes.boxes.clear();
    TypeCell(grid, 3, 16, QStringLiteral("1000"));
    // An empty row is dropped; fifteen rows at most.
    for (int i = 0; i < 20; ++i) QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(DataRows(grid), 15);
    Leave(grid);

    auto stored = Stored();
    LoadFirm(*stored);
    EXPECT_EQ(stored->firm.stag[0].kod, 53);
    EXPECT_EQ(stored->firm.stag[0].rabMin, 120);
    EXPECT_EQ(stored->firm.stag[0].vozMin, 60);
    EXPECT_EQ(stored->firm.stag[0].vozMax, 65);
    EXPECT_EQ(stored->firm.stag[0].kategMin, 0);
    EXPECT_EQ(stored->firm.stag[0].sum, 100'000);
    EXPECT_EQ(stored->firm.stag[1].kod, 300);
    EXPECT_EQ(stored->firm.stag[2].kod, 0);

    view = Open<CRefStagView>(1037);
    ASSERT_EQ(DataRows(view->Grid()), 2);
    EXPECT_EQ(view->Grid()->GetItemText(2, 16), QStringLiteral("1000.00"));
    SaveShot(view, QStringLiteral("ref-stag.png"));
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join('\n').toStdString();
}

TEST_F(UiRefTables, AShopAndAProfessionAddedAreThereAfterReopening)
{
    const QByteArray positions = FileBytes(QStringLiteral("post"));
    auto* shops = Open<CRefGridBookView>(1030);
    ASSERT_TRUE(shops);
    EXPECT_EQ(shops->objectName(), QStringLiteral("CRefOtdelView"));
    const int before = DataRows(shops->Grid());
    ASSERT_GT(before, 1);
    // The second shop renumbered to the first one's number: refused naming
    // the number in use, and Esc puts its own number back.
    const QString first = shops->Grid()->GetItemText(1, 0);
    const QString second = shops->Grid()->GetItemText(2, 0);
    TypeCell(shops->Grid(), 2, 0, first);
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral("В поле \"Номер цеха\" указан номер, который уже есть в справочнике "
                                         "\"Цех/Отдел\": %1")
                              .arg(first)));
    boxes.boxes.clear();
    ASSERT_TRUE(shops->Grid()->GetEditor());
    QTest::keyClick(shops->Grid()->GetEditor(), Qt::Key_Escape);
    EXPECT_EQ(shops->Grid()->GetItemText(2, 0), second);
    QTest::mouseClick(shops->control(CRefGridBookView::IdAdd), Qt::LeftButton);
    TypeCell(shops->Grid(), before + 1, 0, QStringLiteral("9"));
    TypeCell(shops->Grid(), before + 1, 1, QStringLiteral("Склад"));
    Leave(shops->Grid());
    auto stored = Stored();
    LoadCeh(*stored);
    EXPECT_EQ(stored->shopAt(NumberOfPlace(int(before))), (ShopRecord{9, QStringLiteral("Склад")}));
    EXPECT_EQ(QString::number(stored->shopAt(2).number), second);

    auto* professions = Open<CRefGridBookView>(1035);
    ASSERT_TRUE(professions);
    const int count = DataRows(professions->Grid());
    QTest::mouseClick(professions->control(CRefGridBookView::IdAdd), Qt::LeftButton);
    TypeCell(professions->Grid(), count + 1, 0, QStringLiteral("17"));
    TypeCell(professions->Grid(), count + 1, 1, QStringLiteral("Шлифовщик"));
    Leave(professions->Grid());
    CRefFiles files(folder);
    ASSERT_TRUE(files.ReadProfi());
    EXPECT_EQ(files.profiCount, count + 1);
    EXPECT_EQ(files.profi[std::size_t(count)], (ProfessionRecord{17, QStringLiteral("Шлифовщик")}));

    // Positions opened and left as they were: the file is the same, byte by byte.
    auto* post = Open<CRefGridBookView>(1032);
    ASSERT_TRUE(post);
    EXPECT_EQ(DataRows(post->Grid()), doc.refFiles.postCount);
    Leave(post->Grid());
    EXPECT_EQ(FileBytes(QStringLiteral("post")), positions);
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.Texts().join('\n').toStdString();
}

TEST_F(UiRefTables, CapacitiesOfTheAddButtons)
{
    auto* deductions = Open<CRefGridBookView>(1034);
    ASSERT_TRUE(deductions);
    for (int i = 0; i < 30; ++i) QTest::mouseClick(deductions->control(CRefGridBookView::IdAdd), Qt::LeftButton);
    EXPECT_EQ(DataRows(deductions->Grid()), 25);
    // Deleting the selected row.
    deductions->Grid()->SetSelectedRange(1, 0, 1, 3);
    QTest::mouseClick(deductions->control(CRefGridBookView::IdDelete), Qt::LeftButton);
    EXPECT_EQ(DataRows(deductions->Grid()), 24);
    // The contributions book has neither button.
    auto* sbor = Open<CRefGridBookView>(1038);
    ASSERT_TRUE(sbor);
    EXPECT_EQ(sbor->control(CRefGridBookView::IdAdd), nullptr);
    EXPECT_EQ(DataRows(sbor->Grid()), doc.refFiles.sborCount);
}

TEST_F(UiRefTables, AToggledMaskIsSavedAndAVisitWithoutAToggleIsNot)
{
    auto* view = Open<CRefMasksView>(1036);
    ASSERT_TRUE(view);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Маска 0"));
    QTest::keyClick(view->Grid(), Qt::Key_F4);
    QTest::keyClick(view->Grid(), Qt::Key_F4);
    EXPECT_EQ(ScreenTitle(view), QStringLiteral("Маска 2"));
    const int code = base().payKinds()[0].kod;
    const bool was = base().firm.masks[2][std::size_t(code)] != 0;
    view->Grid()->SetFocusCell(1, 0);
    QTest::keyClick(view->Grid(), Qt::Key_F2);
    EXPECT_EQ(view->Grid()->GetFocusCell().row, 2);
    EXPECT_TRUE(view->Changed());
    // Kinds of the mask in orange on light yellow, the others black on white.
    const auto colours = [&](int row) {
        const CGridCellBase* cell = view->Grid()->GetCell(row, 1);
        return std::pair{cell->GetTextColour(), cell->GetBackColour()};
    };
    const auto inMask = std::pair{GridCtrl::MakeColour(240, 100, 0), GridCtrl::MakeColour(255, 255, 180)};
    const auto outside = std::pair{GridCtrl::MakeColour(0, 0, 0), GridCtrl::MakeColour(255, 255, 255)};
    EXPECT_EQ(colours(1), was ? outside : inMask);
    Leave(view->Grid());
    auto stored = Stored();
    LoadFirm(*stored);
    EXPECT_EQ(stored->firm.masks[2][std::size_t(code)] != 0, !was);

    // The base's masks changed behind the book: a visit without a toggle
    // writes nothing, so the base keeps them.
    base().firm.masks[5][1] = 1;
    view = Open<CRefMasksView>(1036);
    Leave(view->Grid());
    stored = Stored();
    LoadFirm(*stored);
    EXPECT_EQ(stored->firm.masks[5][1], 0);
}

TEST_F(UiRefTables, ABandChangedInTheTaxBookAndPeriodsThatStay)
{
    const QByteArray shipped = FileBytes(QStringLiteral("nalog"));
    auto* view = Open<CRefNalogView>(1033);
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->BandGrid(0)->isEnabled());
    // A wrong number, or a text that is no whole number, is refused at Enter
    // naming the field ("12x" was once table 12).
    TypeInto(view->NumberField(), QStringLiteral("21"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    TypeInto(view->NumberField(), QStringLiteral("12x"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    EXPECT_EQ(boxes.Texts(),
              (QStringList{QStringLiteral("Значение поля \"Номер таблицы налогообложения\" должно быть от 1 до 20: 21"),
                           QStringLiteral("Некорректное число в поле \"Номер таблицы налогообложения\": 12x")}));
    EXPECT_EQ(view->CurrentTable(), 0);
    EXPECT_FALSE(view->BandGrid(0)->isEnabled());
    boxes.boxes.clear();
    // Table 20 and F4: nothing; F3 goes to 19 and back with F4; all visited
    // without a change, the file stays as it was.
    TypeInto(view->NumberField(), QStringLiteral("20"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    EXPECT_EQ(view->CurrentTable(), 20);
    QTest::keyClick(view->SelectButton(), Qt::Key_F4);
    EXPECT_EQ(view->CurrentTable(), 20);
    QTest::keyClick(view->SelectButton(), Qt::Key_F3);
    EXPECT_EQ(view->CurrentTable(), 19);
    TypeInto(view->NumberField(), QStringLiteral("1"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    EXPECT_TRUE(view->BandGrid(0)->isEnabled());
    EXPECT_EQ(view->Field(1, CRefNalogView::FirstMonth)->text(), QStringLiteral("1"));
    EXPECT_EQ(view->Field(1, CRefNalogView::FirstYear)->text(), QStringLiteral("11"));
    EXPECT_EQ(view->BandGrid(0)->GetItemText(1, 2), QStringLiteral("13.00"));
    TypeInto(view->NumberField(), QStringLiteral("17"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    SaveShot(view, QStringLiteral("ref-nalog.png"));
    Leave(view->BandGrid(0));
    EXPECT_EQ(FileBytes(QStringLiteral("nalog")), shipped);

    // The second variant's first band becomes 13.5 %, its period ends in
    // December 2012; both are in the file after leaving.
    view = Open<CRefNalogView>(1033);
    TypeInto(view->NumberField(), QStringLiteral("1"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    // A percent of the rest is a share of it, 0 to 100; the recalculation
    // flag is 0 or 1. Each refused names its field; Esc puts back the stored.
    TypeCell(view->BandGrid(1), 1, 2, QStringLiteral("150"));
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral("Значение поля \"Процент от остатка\" должно быть от 0.00 до 100.00: 150")));
    boxes.boxes.clear();
    ASSERT_NE(view->BandGrid(1)->GetEditor(), nullptr);
    QTest::keyClick(view->BandGrid(1)->GetEditor(), Qt::Key_Escape);
    EXPECT_EQ(view->BandGrid(1)->GetItemText(1, 2), QStringLiteral("13.00"));
    QLineEdit* flag = view->Field(1, CRefNalogView::RecalcFlag);
    const QString storedFlag = flag->text();
    TypeInto(flag, QStringLiteral("5"));
    QTest::keyClick(flag, Qt::Key_Return);
    EXPECT_EQ(boxes.Texts(), QStringList(QStringLiteral(
                                 "Значение поля \"Вариант 2, Признак перерасчета\" должно быть от 0 до 1: 5")));
    boxes.boxes.clear();
    QTest::keyClick(flag, Qt::Key_Escape);
    EXPECT_EQ(flag->text(), storedFlag);
    TypeCell(view->BandGrid(1), 1, 2, QStringLiteral("13.5"));
    TypeInto(view->Field(1, CRefNalogView::LastMonth), QStringLiteral("12"));
    TypeInto(view->Field(1, CRefNalogView::LastYear), QStringLiteral("12"));
    Leave(view->Field(1, CRefNalogView::LastYear));
    CRefFiles files(folder);
    ASSERT_TRUE(files.ReadNalog());
    EXPECT_EQ(files.nalog[0].variants[1].scale[0].percent, 13);
    EXPECT_EQ(files.nalog[0].variants[1].scale[0].hundredths, 50);
    EXPECT_EQ(files.nalog[0].variants[1].last, MonthIndex(2012, 12));
    EXPECT_EQ(files.nalog[0].variants[1].first, MonthIndex(2011, 1));
    EXPECT_EQ(files.nalog[0].variants[0], doc.refFiles.nalog[0].variants[0]);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UiRefTables, ARecipientChangedIsWrittenOnceAndAVisitWritesNothing)
{
    const QByteArray shipped = FileBytes(QStringLiteral("bank"));
    auto* view = Open<CRefUrlicView>(1031);
    ASSERT_TRUE(view);
    EXPECT_FALSE(view->Dialog()->isEnabled());
    // Refused at Enter naming the field; "12x" was once recipient 12.
    for (const char* wrong : {"0", "149", "-1", "12x"}) {
        TypeInto(view->NumberField(), QString::fromLatin1(wrong));
        QTest::keyClick(view->NumberField(), Qt::Key_Return);
        EXPECT_FALSE(view->Dialog()->isEnabled()) << wrong;
    }
    const QString field = QStringLiteral("\"Код  получателя  перечислений\"");
    EXPECT_EQ(boxes.Texts(), (QStringList{QStringLiteral("Значение поля %1 должно быть от 1 до 148: 0").arg(field),
                                          QStringLiteral("Значение поля %1 должно быть от 1 до 148: 149").arg(field),
                                          QStringLiteral("Значение поля %1 должно быть от 1 до 148: -1").arg(field),
                                          QStringLiteral("Некорректное число в поле %1: 12x").arg(field)}));
    boxes.boxes.clear();
    TypeInto(view->NumberField(), QStringLiteral("2"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    EXPECT_TRUE(view->Dialog()->isEnabled());
    EXPECT_EQ(view->Dialog()->Field(1)->text(), QStringLiteral("ЗАО \"ВТБ 24\""));
    // F3 and F4 step; F3 on recipient 1 stays.
    QTest::keyClick(view->Dialog()->Field(0), Qt::Key_F3);
    QTest::keyClick(view->Dialog()->Field(0), Qt::Key_F3);
    EXPECT_EQ(view->CurrentNumber(), 1);
    QTest::keyClick(view->Dialog()->Field(0), Qt::Key_F4);
    EXPECT_EQ(view->CurrentNumber(), 2);
    SaveShot(view, QStringLiteral("ref-urlic.png"));
    Leave(view->SelectButton());
    Leave(view->NumberField());
    EXPECT_TRUE(qobject_cast<CEmptyView*>(frame->CurrentView()));
    EXPECT_EQ(FileBytes(QStringLiteral("bank")), shipped);

    view = Open<CRefUrlicView>(1031);
    TypeInto(view->NumberField(), QStringLiteral("2"));
    QTest::keyClick(view->NumberField(), Qt::Key_Return);
    TypeInto(view->Dialog()->Field(7), QStringLiteral("352501999"));
    QTest::keyClick(view->Dialog()->Field(7), Qt::Key_Escape); // back to the number
    EXPECT_EQ(QApplication::focusWidget(), view->NumberField());
    Leave(view->NumberField());
    CRefFiles files(folder);
    ASSERT_TRUE(files.ReadBank());
    EXPECT_EQ(files.recipientAt(2).kpp, QStringLiteral("352501999"));
    EXPECT_EQ(files.recipientAt(1), doc.refFiles.recipientAt(1));
}

TEST_F(UiRefTables, RefusedSavesAreShownAndTheBooksStayInMemory)
{
    // The base refuses the rules: the error is shown, the rules stay in memory.
    std::optional<testsupport::RefusingTrigger> noRules, noMasks;
    noRules.emplace(Db(base()), QStringLiteral("stag"), QStringLiteral("rules refused"));
    auto* stag = Open<CRefStagView>(1037);
    ASSERT_TRUE(stag);
    QTest::mouseClick(stag->control(CRefStagView::IdAdd), Qt::LeftButton);
    TypeCell(stag->Grid(), stag->Grid()->GetRowCount() - 1, 0, QStringLiteral("71"));
    Leave(stag->Grid());
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nИзменения не сохранены.\nБаза данных отказала в "
                                                  "записи: rules refused"));
    EXPECT_EQ(base().firm.stag[0].kod, 71);
    auto stored = Stored();
    LoadFirm(*stored);
    EXPECT_EQ(stored->firm.stag[0].kod, 0);

    // A toggled mask refused: the next visit owes the save and makes it.
    noMasks.emplace(Db(base()), QStringLiteral("mask"), QStringLiteral("masks refused"));
    auto* masks = Open<CRefMasksView>(1036);
    masks->Grid()->SetFocusCell(1, 0);
    masks->ToggleFocusedKind();
    const int code = base().payKinds()[0].kod;
    const u8 toggled = base().firm.masks[0][std::size_t(code)];
    Leave(masks->Grid());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    EXPECT_EQ(boxes.boxes[1].text, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nИзменения не сохранены.\nБаза данных отказала в "
                                                  "записи: masks refused"));
    noMasks.reset();
    noRules.reset();
    masks = Open<CRefMasksView>(1036);
    EXPECT_TRUE(masks->Changed());
    Leave(masks->Grid());
    stored = Stored();
    LoadFirm(*stored);
    EXPECT_EQ(stored->firm.masks[0][std::size_t(code)], toggled);
    EXPECT_EQ(stored->firm.stag[0].kod, 71);

    // Shop 9 "Склад" added in the shops book, which is then left.
    const auto addShopNine = [&] {
        auto* shops = Open<CRefGridBookView>(1030);
        const int row = shops->Grid()->GetRowCount();
        QTest::mouseClick(shops->control(CRefGridBookView::IdAdd), Qt::LeftButton);
        TypeCell(shops->Grid(), row, 0, QStringLiteral("9"));
        TypeCell(shops->Grid(), row, 1, QStringLiteral("Склад"));
        Leave(shops->Grid());
    };
    // A shop the base refuses (a trigger on the shops' table): the box names
    // the book and gives the trigger's words in a few lines, without the
    // statement; the base keeps the shops it had and memory takes them back.
    // Once the base takes it, the shop typed again is stored.
    {
        const QString words = QStringLiteral("Цех 9 закрыт приказом директора");
        const testsupport::RefusingTrigger refusal(Db(base()), QStringLiteral("ceh"), words,
                                                   QStringLiteral("NEW.otd = 9"));
        addShopNine();
        ASSERT_EQ(boxes.boxes.size(), 3u);
        EXPECT_EQ(boxes.boxes[2].text, QStringLiteral("ОБНАРУЖЕНА ОШИБКА:\nСправочник \"Цех/Отдел\" не сохранен.\nБаза "
                                                      "данных отказала в записи: %1")
                                           .arg(words));
        EXPECT_TRUE(testsupport::SaysNoStatement(boxes.boxes[2].text));
        stored = Stored();
        LoadCeh(*stored);
        for (const ShopRecord& shop : EveryShop(*stored)) EXPECT_NE(shop.number, 9);
        EXPECT_EQ(EveryShop(base()), EveryShop(*stored));
    }
    {
        addShopNine();
        ASSERT_EQ(boxes.boxes.size(), 3u);
        stored = Stored();
        LoadCeh(*stored);
        const auto shops = EveryShop(*stored);
        EXPECT_NE(std::find(shops.begin(), shops.end(), ShopRecord{9, QStringLiteral("Склад")}), shops.end());
        EXPECT_EQ(EveryShop(base()), EveryShop(*stored));
    }
    boxes.boxes.resize(2);

    // The profession file cannot be written: its message, the old file stays,
    // the new profession stays in memory.
    const QByteArray shipped = FileBytes(QStringLiteral("profi"));
    const int count = doc.refFiles.profiCount;
    doc.refFiles.setFolder(folder + QStringLiteral("gone/"));
    // Left as it was shown, the book is not written: nothing is said.
    Leave(Open<CRefGridBookView>(1035)->Grid());
    ASSERT_EQ(boxes.boxes.size(), 2u);
    auto* professions = Open<CRefGridBookView>(1035);
    const int row = professions->Grid()->GetRowCount();
    QTest::mouseClick(professions->control(CRefGridBookView::IdAdd), Qt::LeftButton);
    TypeCell(professions->Grid(), row, 0, QStringLiteral("18"));
    Leave(professions->Grid());
    ASSERT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(boxes.boxes[2].text,
              QStringLiteral("Ошибка записи в файл %1gone/profi\nПапка %1gone не найдена").arg(folder));
    EXPECT_EQ(doc.refFiles.profiCount, count + 1);
    EXPECT_EQ(FileBytes(QStringLiteral("profi")), shipped);
    doc.refFiles.setFolder(folder);
}

TEST_F(UiRefTables, HelpListsOfTheContributionsAndTheRecipients)
{
    auto* sbor = Open<CRefGridBookView>(1038);
    ASSERT_TRUE(sbor);
    sbor->Grid()->setFocus();
    sbor->Grid()->SetFocusCell(1, 3);
    Settle();
    QTest::keyClick(sbor->Grid(), Qt::Key_F1);
    ASSERT_TRUE(sbor->HelpList());
    EXPECT_EQ(sbor->HelpList()->table()->rowCount(), 17);
    sbor->HelpList()->close();
    ASSERT_TRUE(ShowActive(frame.get())); // the closed list gives the activation back

    auto* urlic = Open<CRefUrlicView>(1031);
    ASSERT_TRUE(urlic);
    urlic->NumberField()->setFocus();
    Settle();
    QTest::keyClick(urlic->NumberField(), Qt::Key_F1);
    ASSERT_TRUE(urlic->HelpList());
    EXPECT_EQ(urlic->HelpList()->table()->rowCount(), 148);
}
