// The pay and deduction kinds book on the demo base, driven by keys through
// the frame: wrong codes refused, a new kind created in code order and
// edited, stepping with F4/F3, the name of a built-in kind locked until
// Ctrl+F3, deleting with Alt+F10, a group copy into marked deductions, and
// what the base file holds after each visit, also when the base refuses the
// save.
#include "RefBookWorld.h"

#include "masterdata/PayKindBook.h"
#include "masterdata/ui/CRefOplUdDlg.h"
#include "masterdata/ui/CRefOplUdView.h"
#include "shell/ui/CGroupDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>

using namespace kalvor::infobase;
using namespace kalvor::masterdata;
using masterdatatest::RefBookWorld;

namespace {

class PayKindScreen : public RefBookWorld {
protected:
    CRefOplUdView* OpenBook()
    {
        auto* view = Open<CRefOplUdView>(1029);
        EXPECT_NE(view, nullptr);
        EXPECT_EQ(frame->CurrentWorkPanel(), 0);
        return view;
    }
    // Types a code into the code field and presses Enter.
    void Choose(CRefOplUdView* view, const char* code)
    {
        view->CodeField()->setFocus();
        view->CodeField()->selectAll();
        QTest::keyClicks(view->CodeField(), QString::fromLatin1(code));
        QTest::keyClick(view->CodeField(), Qt::Key_Return);
    }
    // Types over a field of the shown kind.
    void Type(CRefOplUdView* view, PayKindField field, const QString& text)
    {
        QLineEdit* edit = view->Dialog()->Field(field);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        TypeText(edit, text);
    }
    const PayKind* StoredKind(CInfoBase& stored, int code)
    {
        const int position = PayKindPosition(stored, code);
        return position >= 0 ? &stored.payKinds()[std::size_t(position)] : nullptr;
    }

    // The wrong codes at Enter (the first step of the visit).
    void ExpectWrongCodesRefused(CRefOplUdView* view, std::size_t demoKinds)
    {
        // Codes outside 1-999, and texts that are no whole number, are refused
        // at Enter naming the field and stay selected in it; none is offered for
        // creation ("12x" once offered kind 12).
        const struct {
            const char* typed;
            const char* said;
        } wrongs[] = {{"0", "Значение поля \"Код\" должно быть от 1 до 999: 0"},
                      {"1000", "Значение поля \"Код\" должно быть от 1 до 999: 1000"},
                      {"-5", "Значение поля \"Код\" должно быть от 1 до 999: -5"},
                      {"abc", "Некорректное число в поле \"Код\": abc"},
                      {"12x", "Некорректное число в поле \"Код\": 12x"},
                      {"12,75", "В поле \"Код\" вводится целое число: 12,75"}};
        for (const auto& wrong : wrongs) {
            boxes.boxes.clear();
            Choose(view, wrong.typed);
            EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(wrong.said)}) << wrong.typed;
            EXPECT_EQ(view->CodeField()->selectedText(), QString::fromLatin1(wrong.typed));
            EXPECT_TRUE(view->CodeField()->hasFocus());
            EXPECT_FALSE(view->Dialog()->isEnabled());
        }
        EXPECT_EQ(boxes.boxes.back().flags, MB_OK | MB_ICONERROR);
        EXPECT_EQ(base().payKinds().size(), demoKinds);
    }
    // A built-in kind chosen, its name unlocked, its deletion refused.
    void ExpectABuiltInKindLocked(CRefOplUdView* view, std::size_t demoKinds)
    {
        // A built-in kind: shown, its name locked until Ctrl+F3.
        Choose(view, "4");
        EXPECT_TRUE(view->SelectButton()->hasFocus());
        EXPECT_TRUE(view->Dialog()->isEnabled());
        EXPECT_EQ(view->Dialog()->Field(FieldKod)->text(), "4");
        EXPECT_EQ(view->Dialog()->Field(FieldName)->text(), QStringLiteral("Оплата по окладу"));
        EXPECT_TRUE(view->Dialog()->Field(FieldName)->isReadOnly());
        QTest::keyClick(view->Dialog()->Field(FieldName), Qt::Key_F3, Qt::ControlModifier);
        EXPECT_FALSE(view->Dialog()->Field(FieldName)->isReadOnly());
        // Deleting a built-in kind asks nothing and does nothing.
        const int boxesBefore = int(boxes.boxes.size());
        QTest::keyClick(view->Dialog()->Field(FieldName), Qt::Key_F10, Qt::AltModifier);
        EXPECT_EQ(int(boxes.boxes.size()), boxesBefore);
        EXPECT_EQ(base().payKinds().size(), demoKinds);
    }
    // Kind 130 refused once, then created and typed into.
    void CreateKind130(CRefOplUdView* view, std::size_t demoKinds)
    {
        // A new code: No shows an empty form; Yes creates it between 117 and 150.
        boxes.answer = IDNO;
        Choose(view, "130");
        EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Создать новый код ?"));
        EXPECT_EQ(view->Dialog()->RecordNumber(), 0u);
        EXPECT_EQ(view->Dialog()->Field(FieldKod)->text(), "");
        EXPECT_EQ(base().payKinds().size(), demoKinds);
        boxes.answer = IDYES;
        Choose(view, "130");
        ASSERT_EQ(base().payKinds().size(), demoKinds + 1);
        EXPECT_EQ(base().config.nEnt, demoKinds + 1);
        EXPECT_EQ(view->Dialog()->Field(FieldKod)->text(), "130");
        EXPECT_FALSE(view->Dialog()->Field(FieldName)->isReadOnly());
        Type(view, FieldName, QStringLiteral("Доплата за наставничество"));
        Type(view, FieldOblPodoh, QStringLiteral("1"));
        Type(view, FieldKodDoh, QStringLiteral("2000"));
        // 16 is no column: refused naming the field when it is left, and the
        // field takes 0 then (it once became 0 without a word).
        boxes.boxes.clear();
        Type(view, FieldVedStlb, QStringLiteral("16"));
        QTest::keyClick(view->Dialog()->Field(FieldVedStlb), Qt::Key_Tab);
        Settle();
        EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Значение поля \"Столбец\" должно быть от 0 до 14: 16")});
        EXPECT_TRUE(view->Dialog()->Field(FieldVedStlb)->hasFocus());
        Type(view, FieldVedStlb, QStringLiteral("0"));
        // A yes or no takes 0 or 1, a source of financing the budget (0) or
        // the 2nd to the 10th (1-9): each refused past that as it is left.
        const struct {
            PayKindField field;
            const char* typed;
            const char* said;
        } outOfKind[] = {
            {FieldKoefOtp, "150", "Значение поля \"Увелич.ли на коэф.при расчете отп.\" должно быть от 0 до 1: 150"},
            {FieldBudgOtp, "10", "Значение поля \"В бюджет/небюдж при расчете отп.\" должно быть от 0 до 9: 10"},
            {FieldBudgBln, "10", "Значение поля \"В бюджет/небюдж при расчете блн.\" должно быть от 0 до 9: 10"},
        };
        for (const auto& c : outOfKind) {
            boxes.boxes.clear();
            Type(view, c.field, QString::fromUtf8(c.typed));
            QTest::keyClick(view->Dialog()->Field(c.field), Qt::Key_Tab);
            Settle();
            EXPECT_EQ(boxes.Texts(), QStringList{QString::fromUtf8(c.said)});
            EXPECT_TRUE(view->Dialog()->Field(c.field)->hasFocus());
            Type(view, c.field, QStringLiteral("1"));
        }
        Type(view, FieldOkrug, QStringLiteral("4"));
    }
    // F4/F3 over the new kind, then Esc twice out of the book.
    void StepToTheNextKindAndBackThenLeave(CRefOplUdView* view)
    {
        // F4 saves the form and shows the next kind, F3 comes back to it.
        QTest::keyClick(view->Dialog()->Field(FieldOkrug), Qt::Key_F4);
        EXPECT_EQ(view->CodeField()->text(), "150");
        EXPECT_EQ(view->Dialog()->Field(FieldKod)->text(), "150");
        QTest::keyClick(view->Dialog()->Field(FieldOkrug), Qt::Key_F3);
        EXPECT_EQ(view->CurrentCode(), 130);
        EXPECT_EQ(view->Dialog()->Field(FieldName)->text(), QStringLiteral("Доплата за наставничество"));
        EXPECT_EQ(view->Dialog()->Field(FieldVedStlb)->text(), "");
        EXPECT_EQ(view->Dialog()->Field(FieldOkrug)->text(), "4");

        // Esc in the form goes back to the code field; Esc there leaves the book.
        QTest::keyClick(view->Dialog()->Field(FieldOkrug), Qt::Key_Escape);
        Settle(); // the form greys once the field left has been read
        EXPECT_TRUE(view->CodeField()->hasFocus());
        EXPECT_FALSE(view->Dialog()->isEnabled());
        Leave(view->CodeField());
        EXPECT_EQ(frame->CurrentView()->objectName(), "CEmptyView");
        EXPECT_EQ(frame->CurrentWorkPanel(), 0);
    }
    // What the base file holds after the first visit.
    void ExpectKind130Stored(std::size_t demoKinds)
    {
        const auto stored = Stored();
        EXPECT_EQ(stored->config.nEnt, demoKinds + 1);
        const PayKind* kind = StoredKind(*stored, 130);
        ASSERT_TRUE(kind);
        EXPECT_EQ(kind->name, QStringLiteral("Доплата за наставничество"));
        EXPECT_EQ(kind->oblPodoh, 1);
        EXPECT_EQ(kind->kodDoh, 2000);
        EXPECT_EQ(kind->okrug, 4);
        EXPECT_EQ(kind->koefOtp, 1);
        EXPECT_EQ(kind->budgOtp, 1);
        EXPECT_EQ(kind->budgBln, 1);
    }
    // The second visit deletes kind 130.
    void DeleteKind130OnTheNextVisit(std::size_t demoKinds)
    {
        // Next visit: the kind is there; Alt+F10 deletes it after the question.
        CRefOplUdView* view = OpenBook();
        Choose(view, "130");
        EXPECT_EQ(view->Dialog()->Field(FieldName)->text(), QStringLiteral("Доплата за наставничество"));
        QTest::keyClick(view->SelectButton(), Qt::Key_F10, Qt::AltModifier);
        EXPECT_EQ(boxes.Texts().last(), QStringLiteral("Удалить текущий код ?"));
        EXPECT_EQ(view->CodeField()->text(), "");
        EXPECT_TRUE(view->CodeField()->hasFocus());
        EXPECT_EQ(view->Dialog()->Field(FieldName)->text(), "");
        Leave(view->CodeField());
        const auto stored = Stored();
        EXPECT_EQ(StoredKind(*stored, 130), nullptr);
        EXPECT_EQ(stored->config.nEnt, demoKinds);
    }
};

TEST_F(PayKindScreen, CreatesEditsStepsAndDeletesAKindAcrossVisits)
{
    const std::size_t demoKinds = base().payKinds().size();
    CRefOplUdView* view = OpenBook();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->CodeField()->hasFocus());
    EXPECT_FALSE(view->Dialog()->isEnabled());

    ASSERT_NO_FATAL_FAILURE(ExpectWrongCodesRefused(view, demoKinds));
    ASSERT_NO_FATAL_FAILURE(ExpectABuiltInKindLocked(view, demoKinds));
    ASSERT_NO_FATAL_FAILURE(CreateKind130(view, demoKinds));
    ASSERT_NO_FATAL_FAILURE(StepToTheNextKindAndBackThenLeave(view));
    ASSERT_NO_FATAL_FAILURE(ExpectKind130Stored(demoKinds));
    ASSERT_NO_FATAL_FAILURE(DeleteKind130OnTheNextVisit(demoKinds));
}

TEST_F(PayKindScreen, GroupCopyFillsOnlyTheTypedFieldOfTheMarkedDeductions)
{
    CRefOplUdView* view = OpenBook();
    ASSERT_TRUE(view);
    const int oldIncomeCode = base().payKinds()[std::size_t(PayKindPosition(base(), 902))].kodDoh;
    const PayKind loanBefore = base().payKinds()[std::size_t(PayKindPosition(base(), 760))];

    // F1 on the code field lists every kind; Space marks deductions 760 and 922.
    QTest::keyClick(view->CodeField(), Qt::Key_F1);
    CFieldHelpList* list = view->HelpList();
    ASSERT_TRUE(list);
    QTableWidget* table = list->table();
    EXPECT_EQ(table->rowCount(), int(base().payKinds().size()));
    for (const char* code : {"760", "922"}) {
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 1)->text() == QLatin1String(code))
                table->setCurrentCell(row, 1);
        QTest::keyClick(table, Qt::Key_Space);
    }
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    ASSERT_TRUE(view->GroupPanel());
    EXPECT_FALSE(view->CodeField()->isEnabled());
    EXPECT_TRUE(view->Dialog()->m_groupMode);
    EXPECT_TRUE(base().payKinds()[std::size_t(PayKindPosition(base(), 760))].grp);

    // Only "Код дохода" typed, then Enter copies it into the group.
    Type(view, FieldKodDoh, QStringLiteral("4800"));
    QTest::keyClick(view->Dialog()->Field(FieldKodDoh), Qt::Key_Return);
    Settle();
    EXPECT_FALSE(view->GroupPanel());
    EXPECT_TRUE(view->CodeField()->isEnabled());
    EXPECT_TRUE(view->CodeField()->hasFocus());
    PayKind loan = base().payKinds()[std::size_t(PayKindPosition(base(), 760))];
    EXPECT_EQ(loan.kodDoh, 4800);
    EXPECT_EQ(base().payKinds()[std::size_t(PayKindPosition(base(), 922))].kodDoh, 4800);
    EXPECT_EQ(base().payKinds()[std::size_t(PayKindPosition(base(), 902))].kodDoh, oldIncomeCode);
    loan.kodDoh = loanBefore.kodDoh;
    EXPECT_EQ(loan, loanBefore); // nothing else changed, the mark is gone

    Leave(view->CodeField());
    auto stored = Stored();
    EXPECT_EQ(StoredKind(*stored, 922)->kodDoh, 4800);
    EXPECT_FALSE(StoredKind(*stored, 922)->grp);
}

TEST_F(PayKindScreen, ASaveTheBaseRefusesIsShownAndTheNextVisitSavesIt)
{
    // A visit that changes nothing writes nothing: the missing table is not noticed.
    QSqlQuery(Db(base())).exec(QStringLiteral("ALTER TABLE dbo.entree RENAME TO entree_away"));
    CRefOplUdView* view = OpenBook();
    Leave(view->CodeField());
    EXPECT_TRUE(boxes.boxes.empty());

    view = OpenBook();
    Choose(view, "700");
    Type(view, FieldName, QStringLiteral("Удержание за питание"));
    Leave(view->CodeField());
    ASSERT_EQ(boxes.boxes.size(), 2u); // the question, then the error
    EXPECT_TRUE(boxes.Texts().last().startsWith(QStringLiteral("ОБНАРУЖЕНА ОШИБКА:")))
        << boxes.Texts().last().toStdString();
    EXPECT_EQ(PayKindPosition(base(), 700) >= 0, true); // the table in memory keeps it

    // The table is back; leaving the book again, without a change, saves.
    QSqlQuery(Db(base())).exec(QStringLiteral("ALTER TABLE dbo.entree_away RENAME TO entree"));
    view = OpenBook();
    Leave(view->CodeField());
    auto stored = Stored();
    const PayKind* kind = StoredKind(*stored, 700);
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->name, QStringLiteral("Удержание за питание"));
    EXPECT_EQ(boxes.boxes.size(), 2u);
}

TEST_F(PayKindScreen, FieldHelpListsValuesOrGivesAHint)
{
    CRefOplUdView* view = OpenBook();
    Choose(view, "120");
    QLineEdit* fond = view->Dialog()->Field(FieldFond);
    fond->setFocus();
    QTest::keyClick(fond, Qt::Key_F1);
    ASSERT_TRUE(view->HelpList());
    QTableWidget* table = view->HelpList()->table();
    ASSERT_EQ(table->rowCount(), 7);
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("Прочие фонды"));
    EXPECT_EQ(table->item(6, 2)->text(), QStringLiteral("Бюджетный фонд"));
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    EXPECT_EQ(fond->text(), "1");

    QLineEdit* column = view->Dialog()->Field(FieldVedStlb);
    column->setFocus();
    QTest::keyClick(column, Qt::Key_F1);
    EXPECT_TRUE(view->HintShown());
    QTest::keyClick(column, Qt::Key_Escape); // closes the hint
    Leave(view->CodeField());
    auto stored = Stored();
    ASSERT_TRUE(StoredKind(*stored, 120));
    EXPECT_EQ(StoredKind(*stored, 120)->fond, 1);
}

TEST_F(PayKindScreen, FormPicture)
{
    CRefOplUdView* view = OpenBook();
    Choose(view, "4");
    QTest::keyClick(view->SelectButton(), Qt::Key_Tab);
    EXPECT_TRUE(view->Dialog()->Field(FieldKod)->hasFocus());
    const QString shot = SaveShot(frame.get(), QStringLiteral("refopl-pay-kind-form.png"));
    EXPECT_TRUE(QFile::exists(shot));
    Leave(view->CodeField());
}

} // namespace
