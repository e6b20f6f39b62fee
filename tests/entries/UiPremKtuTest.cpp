// The labour-participation rules screen on the demo base, driven by keys:
// the demo firm's variant 1 shown, a rule's second coefficient and the
// variant's scale chosen from their help lists with F1, a percent of 150
// typed, Esc leaving the screen; the rules found in the base after
// reopening. Leaving without a change writes nothing; the percent fields
// give their hint; a screenshot of the form.
#include "DemoEntryWorld.h"
#include "entries/LabourParticipationRules.h"
#include "entries/ui/CPremKtuView.h"
#include "platform/Db.h"

#include <QPointer>
#include <QTableWidget>

#ifdef KALVOR_DATA_DIR

using namespace entrytest;

namespace {

class KtuScreen : public DemoEntryWorld {
protected:
    void OpenScreen()
    {
        view = Open<CPremKtuView>();
        ASSERT_NE(view, nullptr);
    }
    QString Text(int id) const { return view->Field(id)->text(); }
    void FocusField(int id)
    {
        view->Field(id)->setFocus();
        ASSERT_TRUE(WaitFor([&] { return view->m_focusedId == id; }));
    }
    // F1 on the field, then the list's line (from 0) chosen with Down and Enter.
    void ChooseFromHelp(int id, int line, int expectedLines)
    {
        FocusField(id);
        PressKey(Qt::Key_F1);
        ASSERT_TRUE(view->HelpList());
        QTableWidget* table = view->HelpList()->table();
        ASSERT_EQ(table->rowCount(), expectedLines);
        table->setCurrentCell(0, 1);
        for (int i = 0; i < line; ++i) QTest::keyClick(table, Qt::Key_Down);
        QTest::keyClick(table, Qt::Key_Return);
        Settle();
    }
    void LeaveWithEsc()
    {
        PressKey(Qt::Key_Escape);
        Settle();
        EXPECT_EQ(frame->findChild<CPremKtuView*>(), nullptr);
    }
    int StoredPercent(int num)
    {
        kalvor::db::Recordset q(ib::Db(doc->infoBase),
                                QStringLiteral("SELECT procent FROM dbo.ktu WHERE num = %1").arg(num));
        q.exec();
        return q.next() ? q.value(0).toInt() : -1;
    }

    CPremKtuView* view = nullptr;
    MessageRecorder boxes;
};

} // namespace

TEST_F(KtuScreen, RuleVariantChangedByKeysIsInTheBaseAfterReopening)
{
    OpenScreen();
    // Variant 1 of the demo firm: 70 % by rate and time, 30 % by the first coefficient.
    EXPECT_EQ(Text(1253), QStringLiteral("70"));
    EXPECT_EQ(Text(1254), QStringLiteral("1"));
    EXPECT_EQ(Text(1255), QStringLiteral("1"));
    EXPECT_EQ(Text(1256), QString());
    EXPECT_EQ(Text(1258), QStringLiteral("30"));
    EXPECT_EQ(Text(1267), QStringLiteral("1"));
    EXPECT_EQ(Text(1251), QString());
    EXPECT_EQ(Text(1273), QString());
    Screenshot(frame.get(), QStringLiteral("ktu-rules-370.png"));

    // The second coefficient of rule 1 inversely, the scale in roubles.
    ChooseFromHelp(1257, 2, 3);
    EXPECT_EQ(Text(1257), QStringLiteral("2"));
    ChooseFromHelp(1251, 1, 4);
    EXPECT_EQ(Text(1251), QStringLiteral("1"));
    // The formula field offers its two texts.
    FocusField(1252);
    PressKey(Qt::Key_F1);
    ASSERT_TRUE(view->HelpList());
    EXPECT_EQ(view->HelpList()->table()->rowCount(), 2);
    QTest::keyClick(view->HelpList()->table(), Qt::Key_Escape);
    Settle();
    // A percent of 150 is more than the sum: refused as the field is left,
    // never stored as 0; the field mended.
    FocusField(1259);
    QTest::keyClick(view->Field(1259), Qt::Key_A, Qt::ControlModifier);
    TypeKeys(QStringLiteral("150"));
    FocusField(1253);
    Settle();
    EXPECT_EQ(boxes.Texts(),
              QStringList(QStringLiteral(
                  "Значение поля \"Процент суммы, правило 3 (1-й вариант КТУ)\" должно быть от 0 до 100: 150")));
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1259));
    boxes.boxes.clear();
    QTest::keyClick(view->Field(1259), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view->Field(1259), Qt::Key_Delete);
    FocusField(1253);
    LeaveWithEsc();
    EXPECT_EQ(doc->infoBase.firm.ktu[0][0], 0x2000 | 0x1000 | 0x100 | 0x80 | 70);

    Restart();
    const kalvor::KtuVariants& rules = doc->infoBase.firm.ktu;
    EXPECT_EQ(rules[0][0], 0x2000 | 0x1000 | 0x100 | 0x80 | 70);
    EXPECT_EQ(rules[0][1], 0x200 | 30);
    EXPECT_EQ(rules[0][2], 0);
    EXPECT_EQ(rules[1], (std::array<ib::u16, 4>{}));
    OpenScreen();
    EXPECT_EQ(Text(1251), QStringLiteral("1"));
    EXPECT_EQ(Text(1257), QStringLiteral("2"));
    EXPECT_EQ(Text(1259), QString());
    EXPECT_TRUE(boxes.Texts().isEmpty());
}

// The percents of one variant's rules share out one sum: 90 % in rule 1
// beside rule 2's 30 % is refused as the field is left, naming both fields;
// the field keeps the text with the focus and takes 70 by the next keys.
// Rule 2 raised to 31 beside it is refused the same way; Esc gives it up.
TEST_F(KtuScreen, ThePercentsOfAVariantsRulesTogetherAreAtMostTheWholeSum)
{
    OpenScreen();
    const QString rule1 = QStringLiteral("\"Процент суммы, правило 1 (1-й вариант КТУ)\"");
    const QString rule2 = QStringLiteral("\"Процент суммы, правило 2 (1-й вариант КТУ)\"");
    const QString refusal =
        QStringLiteral("Проценты правил 1-го варианта КТУ делят одну сумму и вместе не больше 100: %1 — %2, %3 — %4 "
                       "(всего %5)");
    const auto typeAndLeave = [this](int id, const char* text, int next) {
        FocusField(id);
        QTest::keyClick(view->Field(id), Qt::Key_A, Qt::ControlModifier);
        TypeKeys(QString::fromUtf8(text));
        view->Field(next)->setFocus();
        Settle();
    };
    typeAndLeave(1253, "90", 1258);
    EXPECT_EQ(boxes.Texts(), QStringList{refusal.arg(rule1).arg(90).arg(rule2).arg(30).arg(120)});
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1253));
    EXPECT_EQ(Text(1253), QStringLiteral("90"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    TypeKeys(QStringLiteral("70"));
    view->Field(1258)->setFocus();
    Settle();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1258));

    typeAndLeave(1258, "31", 1259);
    EXPECT_EQ(boxes.Texts().value(1), refusal.arg(rule1).arg(70).arg(rule2).arg(31).arg(101));
    EXPECT_EQ(QApplication::focusWidget(), view->Field(1258));
    PressKey(Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Text(1258), QStringLiteral("30"));
    FocusField(1253);
    LeaveWithEsc();
    EXPECT_EQ(doc->infoBase.firm.ktu[0][0] & 127, 70);
    EXPECT_EQ(doc->infoBase.firm.ktu[0][1] & 127, 30);
}

// A refused text in a field of each of the three variants is held on every
// way out: Tab and a click on another variant's field each say one box
// naming the field itself (its line, rule and variant), and the field keeps
// the text with the focus; Esc gives the text up without a box. Nothing is
// stored.
TEST_F(KtuScreen, ARefusedFieldOfEveryVariantIsHeldAndNamedOnEveryWayOut)
{
    OpenScreen();
    const kalvor::KtuVariants stored = doc->infoBase.firm.ktu;
    struct Case {
        int field, other;
        const char* name;
    };
    const Case cases[] = {{1259, 1275, "Процент суммы, правило 3 (1-й вариант КТУ)"},
                          {1273, 1253, "Масштаб (2-й вариант КТУ)"},
                          {1297, 1300, "Процент суммы, правило 1 (3-й вариант КТУ)"},
                          {1316, 1259, "2-й КТУ, правило 4 (3-й вариант КТУ)"}};
    QStringList faults;
    for (const Case& c : cases) {
        QLineEdit* field = view->Field(c.field);
        const QString before = field->text();
        faults << HeldOnEveryWayOut(boxes, [field] { return field; }, QString::fromUtf8(c.name),
                                    QStringLiteral("12x"),
                                    {{QStringLiteral("a click on another field"), ClickOn(view->Field(c.other))}});
        const std::size_t said = boxes.boxes.size();
        QPointer<QLineEdit> kept = field;
        QTest::keyClick(field, Qt::Key_Escape);
        Settle();
        EXPECT_EQ(boxes.boxes.size(), said) << c.name;
        if (kept) { // the screen stays: the text it last took is back
            EXPECT_EQ(kept->text(), before) << c.name;
        }
        OpenScreen(); // each field walked on the screen opened afresh
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    EXPECT_EQ(doc->infoBase.firm.ktu, stored);
}

TEST_F(KtuScreen, LeavingWithoutAChangeWritesNothing)
{
    // The base is changed behind the program's back; a screen that saved on
    // leaving would write the 70 % of memory over it.
    kalvor::db::Execute(ib::Db(doc->infoBase), QStringLiteral("UPDATE dbo.ktu SET procent = 55 WHERE num = 1"));
    OpenScreen();
    FocusField(1253);
    QTest::keyClick(view->Field(1253), Qt::Key_A, Qt::ControlModifier);
    TypeKeys(QStringLiteral("70")); // typed again as it stands
    LeaveWithEsc();
    EXPECT_EQ(StoredPercent(1), 55);
}

TEST_F(KtuScreen, PercentFieldsGiveTheirHint)
{
    OpenScreen();
    FocusField(1304);
    PressKey(Qt::Key_F1);
    EXPECT_TRUE(view->HintShown());
    EXPECT_EQ(view->HelpList(), nullptr);
}

#endif
