// In-place editing driven by keys and the mouse, its vetoes, and the title
// tip of cut-off texts.
#include "GridTestUtil.h"
#include "grid/InPlaceEdit.h"
#include "support/InputKinds.h"

using namespace GridCtrl;

namespace {

struct EditFixture : ::testing::Test {
    GridWindow<> w{400, 300};
    CGridCtrl* grid = w.grid;
    std::unique_ptr<OwnerRecorder> owner;
    void SetUp() override
    {
        FillGrid(grid, 8, 4, 1, 1);
        owner = std::make_unique<OwnerRecorder>(grid);
        grid->SetFocusCell(2, 2);
        grid->setFocus();
        QApplication::processEvents();
    }
    CInPlaceEdit* editor() { return grid->GetEditor(); }
};

// A cell that accepts digits only.
class DigitsCell : public CGridCell {
public:
    bool ValidateEdit(const QString& text) override
    {
        for (QChar c : text)
            if (!c.isDigit())
                return false;
        return true;
    }
};

} // namespace

TEST_F(EditFixture, TypingReplacesTheTextAndAnArrowMovesOnEditing)
{
    Type(QStringLiteral("a"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("a"));
    EXPECT_TRUE(grid->GetCell(2, 2)->IsEditing());
    EXPECT_EQ(grid->GetCell(2, 2)->GetEditWnd(), editor());
    EXPECT_EQ(grid->GetCell(1, 2)->GetEditWnd(), nullptr);
    EXPECT_EQ(owner->count(NotifyBeginLabelEdit), 1);
    Type(QStringLiteral("bc"));
    EXPECT_EQ(editor()->text(), QStringLiteral("abc"));

    Key(Qt::Key_Down);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("abc"));
    EXPECT_FALSE(grid->GetCell(2, 2)->IsEditing());
    EXPECT_EQ(grid->GetCell(2, 2)->GetEditWnd(), nullptr);
    EXPECT_TRUE(grid->GetCell(2, 2)->IsModified());
    ASSERT_NE(owner->last(NotifyEndLabelEdit), nullptr);
    EXPECT_EQ(owner->last(NotifyEndLabelEdit)->row, 2);
    EXPECT_EQ(owner->last(NotifyEndLabelEdit)->col, 2);
    // The key that ended the edit moved the focus, and editing goes on there
    // with the whole old text selected.
    EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
    EXPECT_EQ(owner->count(NotifySelChanged), 1);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->GetRow(), 3);
    EXPECT_EQ(editor()->text(), QStringLiteral("r3c2"));
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("r3c2"));
    EXPECT_TRUE(editor()->GetExitOnArrows());

    Key(Qt::Key_Escape);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("r3c2"));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
}

TEST_F(EditFixture, EnterStartsWithTheCaretAtTheEndAndEnterEnds)
{
    Key(Qt::Key_Return);
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(editor()->hasSelectedText());
    EXPECT_EQ(editor()->cursorPosition(), 4);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2x"));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    EXPECT_TRUE(grid->hasFocus());

    // F2 edits the text in place: the caret after it, the arrows inside.
    Key(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(editor()->GetExitOnArrows());
    Key(Qt::Key_Escape);
}

TEST_F(EditFixture, AClickIntoTheFocusCellEditsAndArrowsStayInside)
{
    // A click on another cell only moves the focus there.
    Click(grid, CellCentre(grid, 4, 1));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1));

    // A click into the focus cell opens it with the whole text selected: what
    // is typed replaces it, as after a typed character.
    Click(grid, CellCentre(grid, 4, 1));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("r4c1"));
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("r4c1"));
    Type(QStringLiteral("26"));
    EXPECT_EQ(editor()->text(), QStringLiteral("26"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(4, 1), QStringLiteral("r4c1"));

    Click(grid, CellCentre(grid, 4, 1));
    ASSERT_NE(editor(), nullptr);
    Key(Qt::Key_End);
    EXPECT_EQ(editor()->cursorPosition(), 4);
    EXPECT_FALSE(editor()->hasSelectedText());
    Key(Qt::Key_Left);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->cursorPosition(), 3);
    Type(QStringLiteral("-"));
    EXPECT_EQ(editor()->text(), QStringLiteral("r4c-1"));
    // Ctrl with an arrow leaves the editor and moves on.
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(grid->GetItemText(4, 1), QStringLiteral("r4c-1"));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 2));
    ASSERT_NE(editor(), nullptr);
    Key(Qt::Key_Escape);
}

TEST_F(EditFixture, EscapeGivesTheOwnerTheUnchangedText)
{
    QString seen;
    owner->onNote = [&](GridNotifyInfo* info) {
        if (info->hdr.code == NotifyEndLabelEdit)
            seen = grid->GetItemText(info->iRow, info->iColumn);
    };
    Type(QStringLiteral("z"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("z"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(seen, QStringLiteral("r2c2"));
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));
}

TEST_F(EditFixture, LosingTheFocusEndsEditingAndKeepsTheText)
{
    Type(QStringLiteral("q7"));
    ASSERT_NE(editor(), nullptr);
    w.other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("q7"));
    EXPECT_EQ(owner->count(NotifyEndLabelEdit), 1);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
}

TEST_F(EditFixture, TabEndsAndMovesRight)
{
    Type(QStringLiteral("t"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("t"));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 3));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("r2c3"));
    Key(Qt::Key_Escape);
}

TEST_F(EditFixture, BeginEditVetoStartsNothing)
{
    owner->results[NotifyBeginLabelEdit] = -1;
    Type(QStringLiteral("a"));
    EXPECT_EQ(editor(), nullptr);
    Key(Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(owner->count(NotifyBeginLabelEdit), 2);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));
}

TEST_F(EditFixture, EndEditVetoPutsTheOldTextBack)
{
    owner->results[NotifyEndLabelEdit] = -1;
    Type(QStringLiteral("bad"));
    Key(Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));
}

TEST_F(EditFixture, ACellThatRefusesTheTextKeepsItsOwn)
{
    grid->SetCellFactory([]() -> CGridCellBase* { return new DigitsCell; });
    grid->InsertRow(QStringLiteral("n"), 3);
    grid->SetItemText(3, 2, QStringLiteral("10"));
    grid->SetFocusCell(3, 2);
    Type(QStringLiteral("1x"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("10"));
    EXPECT_EQ(owner->count(NotifyEndLabelEdit), 0);
    Type(QStringLiteral("25"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(3, 2), QStringLiteral("25"));
    EXPECT_EQ(owner->count(NotifyEndLabelEdit), 1);
}

// A column of days (0-31, or "**" for the main sheet's days): what does not
// read whole is refused naming the column, the cell keeps what it stored and
// the editor opens on it again with the text selected; a text that reads is
// stored in its plain form. Tab and Enter leave the same way.
TEST_F(EditFixture, AColumnReadsTheTypedTextByItsKindAndARefusedCellKeepsWhatItStored)
{
    static QStringList said;
    said.clear();
    CGridCtrl::SetRefusalSayer([](QWidget*, const QString& message) { said << message; });
    GridColumn days = FigureColumn(QStringLiteral("Дни"), kalvor::WholeFigure(0, 31));
    days.alsoTakes = {QStringLiteral("**")};
    grid->DeclareColumn(2, days);
    grid->SetItemText(2, 2, QStringLiteral("**"));
    for (const QString& bad : {QStringLiteral("2O"), QStringLiteral("12,5"), QStringLiteral("40"),
                               QStringLiteral("1e3"), QStringLiteral("-40x")})
        for (const Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return}) {
            said.clear();
            grid->SetFocusCell(2, 2);
            grid->setFocus();
            Type(bad);
            Key(leave);
            QApplication::processEvents();
            ASSERT_EQ(said.size(), 1) << bad.toStdString();
            EXPECT_TRUE(said[0].contains(QStringLiteral("\"Дни\""))) << said[0].toStdString();
            EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("**"));
            ASSERT_NE(editor(), nullptr) << bad.toStdString();
            EXPECT_EQ(editor()->text(), bad);
            EXPECT_EQ(editor()->selectedText(), bad);
            EXPECT_EQ(QApplication::focusWidget(), editor());
            EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
            Key(Qt::Key_Escape);
            EXPECT_EQ(editor(), nullptr);
            EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("**"));
        }
    said.clear();
    Type(QStringLiteral(" 20 "));
    Key(Qt::Key_Return);
    EXPECT_TRUE(said.isEmpty());
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("20"));
    // Emptied, the cell holds no figure: empty, not "0".
    Key(Qt::Key_Return);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Backspace);
    Key(Qt::Key_Return);
    EXPECT_TRUE(said.isEmpty());
    EXPECT_EQ(grid->GetItemText(2, 2), QString());
}

// A press on another cell while the editor holds a text its column refuses:
// the box is said and answered within the press, and the press ends there.
// Its release, or a double click it begins, notifies no click, sends no
// command, moves no current cell and opens no other editor: the refused cell
// keeps its editor with the text and the focus, and no second box is said.
TEST_F(EditFixture, APressEndedByARefusalClicksNothingOnItsReleaseOrDoubleClick)
{
    static QStringList said;
    CGridCtrl::SetRefusalSayer([](QWidget*, const QString& message) { said << message; });
    grid->DeclareColumn(2, FigureColumn(QStringLiteral("Дни"), kalvor::WholeFigure(0, 31)));
    int commands = 0;
    QObject::connect(grid, &CGridCtrl::gridCommand, grid, [&](int) { ++commands; });
    for (const bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick ? "a double click" : "a release");
        Click(grid, CellCentre(grid, 2, 1));
        Key(Qt::Key_Right);
        ASSERT_EQ(grid->GetFocusCell(), CCellID(2, 2));
        Type(QStringLiteral("40"));
        ASSERT_NE(editor(), nullptr);
        said.clear();
        owner->notes.clear();
        commands = 0;

        const QPoint other = CellCentre(grid, 5, 2);
        SendMouse(grid, QEvent::MouseButtonPress, other, Qt::LeftButton);
        ASSERT_EQ(said.size(), 1);
        QApplication::processEvents(); // the box's own loop ran meanwhile
        SendMouse(grid, QEvent::MouseButtonRelease, other, Qt::LeftButton);
        if (doubleClick) {
            SendMouse(grid, QEvent::MouseButtonDblClick, other, Qt::LeftButton);
            SendMouse(grid, QEvent::MouseButtonRelease, other, Qt::LeftButton);
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();

        EXPECT_EQ(said.size(), 1) << said.join(u'|').toStdString();
        EXPECT_EQ(owner->count(NotifyClick), 0);
        EXPECT_EQ(owner->count(NotifyDblClick), 0);
        EXPECT_EQ(commands, 0);
        EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
        EXPECT_EQ(grid->viewport()->findChildren<CInPlaceEdit*>().size(), 1);
        ASSERT_NE(editor(), nullptr);
        EXPECT_EQ(editor()->GetRow(), 2);
        EXPECT_EQ(editor()->text(), QStringLiteral("40"));
        EXPECT_EQ(QApplication::focusWidget(), editor());
        Key(Qt::Key_Escape);
        EXPECT_EQ(editor(), nullptr);
        EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));
    }
}

// A column that nobody gave a kind is listed and opens no editor; one that
// only shows is not listed and opens none either.
TEST_F(EditFixture, AColumnWithoutAKindIsListedAndCannotBeEdited)
{
    CGridCtrl bare;
    bare.SetRowCount(3);
    bare.SetColumnCount(4);
    bare.SetFixedRowCount(1);
    bare.SetFixedColumnCount(1);
    bare.DeclareColumn(1, FigureColumn(QStringLiteral("Код"), kalvor::WholeFigure(0, 995)));
    bare.DeclareColumn(2, ShownColumn(QStringLiteral("Имя")));
    EXPECT_EQ(ColumnsWithoutKind(bare), std::vector<int>({3}));
    EXPECT_FALSE(bare.IsCellEditable(1, 2));
    bare.SetEditable(false);
    EXPECT_TRUE(ColumnsWithoutKind(bare).empty());
}

TEST_F(EditFixture, ReadOnlyCellsAndGridsStartNoEdit)
{
    grid->SetItemState(2, 2, grid->GetItemState(2, 2) | CellReadOnly);
    Type(QStringLiteral("a"));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(owner->count(NotifyBeginLabelEdit), 0);
    grid->SetFocusCell(3, 3);
    grid->SetEditable(false);
    Type(QStringLiteral("a"));
    Key(Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(EditFixture, BackspaceAndPunctuationStartEditing)
{
    Key(Qt::Key_Backspace);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("r2c"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("r2c2"));

    // "(" shares its number with the Down key; typed, it is still typed.
    Type(QStringLiteral("("));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("("));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetItemText(2, 2), QStringLiteral("("));
}

TEST_F(EditFixture, TitleTipShowsOnlyCutOffTextsExactlyOverTheCell)
{
    grid->SetItemText(3, 2, QStringLiteral("Очень длинный текст ячейки"));
    CTitleTip& tip = grid->GetTitleTip();
    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 4, 2), Qt::NoButton);
    EXPECT_FALSE(tip.isVisible());

    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 3, 2), Qt::NoButton);
    ASSERT_TRUE(tip.isVisible());
    QRect cell;
    grid->GetCellRect(3, 2, cell);
    QRect text = cell;
    grid->GetCell(3, 2)->GetTipTextRect(text);
    EXPECT_EQ(tip.geometry().topLeft(), grid->viewport()->mapToGlobal(text.topLeft()));
    EXPECT_EQ(tip.height(), text.height());
    EXPECT_EQ(tip.GetShownText(), QStringLiteral(" Очень длинный текст ячейки "));
    EXPECT_GT(tip.width(), cell.width());

    // Leaving the cell hides it; so does a key.
    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 5, 1), Qt::NoButton);
    EXPECT_FALSE(tip.isVisible());
    SendMouse(grid, QEvent::MouseMove, CellCentre(grid, 3, 2), Qt::NoButton);
    EXPECT_TRUE(tip.isVisible());
    Key(Qt::Key_Down);
    EXPECT_FALSE(tip.isVisible());
}

TEST_F(EditFixture, TheEditorWidensForLongTextButStaysInsideTheGrid)
{
    Type(QStringLiteral("w"));
    ASSERT_NE(editor(), nullptr);
    const int start = editor()->width();
    QRect cell;
    grid->GetCellRect(2, 2, cell);
    EXPECT_EQ(editor()->geometry(), cell);
    Type(QStringLiteral("wwwwwwwwwwwwww"));
    EXPECT_GT(editor()->width(), start);
    EXPECT_EQ(editor()->x(), cell.left());
    Type(QStringLiteral("wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"));
    EXPECT_EQ(editor()->geometry().right(), grid->viewport()->rect().right());
    Key(Qt::Key_Escape);
}
