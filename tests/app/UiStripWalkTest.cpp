// The bad texts typed into every field of every selection strip the frame
// opens (an entry screen's strip or a task form's shop, brigade, profession
// and personnel number), each ended with Enter: each is refused naming the
// field (or its book) in one box, nothing runs and no employee is switched
// to, the field stays enabled with the focus, then takes a valid value and
// the strip works. A strip once read such a text, or a number its book lacks,
// as 0: the whole firm.
#include "DemoFrameTest.h"
#include "support/ScreenText.h"

#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CTaskFormView.h"
#include "shell/ui/TypedInput.h"

#include <QTimer>

#ifdef KALVOR_DATA_DIR

namespace {

constexpr int kStripFields[] = {1252, 1253, 1254, 1103};

// Whole where the field is whole, letters after digits, a sign with letters,
// letters alone, an exponent, digit groups, the letter O for a zero, 16
// digits, no number.
const QStringList kBadTexts{QStringLiteral("12,75"), QStringLiteral("12x"),  QStringLiteral("40x"),
                            QStringLiteral("-40x"),  QStringLiteral("abc"),  QStringLiteral("1e3"),
                            QStringLiteral("1 500"), QStringLiteral("2O"),   QStringLiteral("1234567890123456"),
                            QStringLiteral("nan")};

// The strip fields of a view: its entry strip's, or its task form's.
QList<CTypedEdit*> StripFields(CCommonFormView& view)
{
    QList<CTypedEdit*> fields;
    const ControlMap* controls = &view;
    if (auto* strip = qobject_cast<CWorkersFilterDlg*>(view.m_strip.data()))
        controls = strip;
    else if (!qobject_cast<CTaskFormView*>(&view))
        return fields;
    // The summary generator's rows take conditions of their own ("*" puts a
    // level into the head), read when it starts.
    for (int id : kStripFields)
        if (auto* field = controls->controlAs<CTypedEdit>(id);
            field && field->isVisibleTo(&view) && field->Kind().rule.kind != kalvor::FigureKind::Text)
            fields << field;
    return fields;
}

// The texts of a field: the bad ones, the number just past its range, "-3"
// where its least is 1 or more and, for a field of a book, the first number
// of its range the book lacks.
QStringList TextsOf(const CTypedEdit& field)
{
    QStringList texts = kBadTexts;
    const kalvor::FigureRule& rule = field.Kind().rule;
    texts << QString::number(qint64(rule.max) + 1);
    if (rule.min >= 1)
        texts << QStringLiteral("-3");
    if (field.Kind().book.Checks())
        for (qint64 n = 1; n <= qint64(rule.max); ++n)
            if (!field.Kind().book.holds(n)) {
                texts << QString::number(n);
                break;
            }
    return texts;
}

class UiStripWalk : public DemoFrameTest {
protected:
    // Every text into the field with Enter; the faults found.
    QStringList WalkField(CCommonFormView& view, CTypedEdit& field, const QString& where)
    {
        QStringList faults;
        auto* task = qobject_cast<CTaskFormView*>(&view);
        for (const QString& text : TextsOf(field)) {
            // A text the field reads whole ("1 500" as 1500, a number the
            // screen may create) is kept exactly: no refusal is due.
            const InputKind& kind = field.Kind();
            if (kalvor::ReadFigure(kind.name, kind.rule, kind.book, text).read)
                continue;
            const QString at = QStringLiteral("%1, \"%2\": %3").arg(where, field.Kind().name, text);
            const unsigned shown = view.m_tabN;
            const QString outcome = task ? ScreenText(task, QStringLiteral("outcome")) : QString();
            boxes.boxes.clear();
            field.setFocus(Qt::TabFocusReason);
            field.selectAll();
            QTest::keyClicks(&field, text);
            QTest::keyClick(&field, Qt::Key_Return);
            Settle();
            if (boxes.boxes.size() != 1)
                faults << QStringLiteral("%1: %2 boxes (%3)").arg(at).arg(boxes.boxes.size()).arg(boxes.Texts().join(
                              QLatin1Char('|')));
            else if (!boxes.boxes[0].text.contains(QStringLiteral("\"%1\"").arg(field.Kind().name)))
                faults << QStringLiteral("%1: the refusal does not name the field: %2").arg(at, boxes.boxes[0].text);
            if (task && (task->Running() || ScreenText(task, QStringLiteral("outcome")) != outcome))
                faults << QStringLiteral("%1: ran").arg(at);
            if (view.m_tabN != shown)
                faults << QStringLiteral("%1: switched to %2").arg(at).arg(view.m_tabN);
            if (!field.isEnabled() || QApplication::focusWidget() != &field)
                faults << QStringLiteral("%1: the field is not enabled with the focus").arg(at);
            if (field.text() != text)
                faults << QStringLiteral("%1: shows \"%2\"").arg(at, field.text());
            field.clear();
        }
        return faults;
    }

    // After the refusals the strip works: a task form reads its strip, an
    // entry screen takes employee 109 or the whole list.
    QStringList CheckStripWorks(CCommonFormView& view, const QString& where)
    {
        boxes.boxes.clear();
        if (auto* task = qobject_cast<CTaskFormView*>(&view)) {
            if (!ReadTypedInputs(task) || !boxes.boxes.empty())
                return {QStringLiteral("%1: the emptied strip does not read").arg(where)};
            return {};
        }
        auto* strip = qobject_cast<CWorkersFilterDlg*>(view.m_strip.data());
        CTypedEdit* number = strip->Field(CTabelFilterDlg::IdTabN);
        CTypedEdit* entered = number ? number : strip->Field(CWorkersFilterDlg::IdShop);
        entered->setFocus(Qt::TabFocusReason);
        if (number) {
            number->selectAll();
            QTest::keyClicks(number, QStringLiteral("109"));
        }
        QTest::keyClick(entered, Qt::Key_Return);
        Settle();
        if (number && view.m_tabN != 109)
            return {QStringLiteral("%1: 109 was not taken (%2)").arg(where, boxes.Texts().join(QLatin1Char('|')))};
        if (!number && view.m_entryDlg && !view.m_entryDlg->isEnabled())
            return {QStringLiteral("%1: the whole list was not taken (%2)").arg(where, boxes.Texts().join(QLatin1Char('|')))};
        return {};
    }
};

} // namespace

TEST_F(UiStripWalk, EveryStripFieldRefusesWhatDoesNotReadOrNamesNothingAndThenWorks)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));

    QStringList faults;
    int strips = 0;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        CCommonFormView* view = OpenOnQuickEmployee(frame, command.id);
        const QList<CTypedEdit*> fields = view ? StripFields(*view) : QList<CTypedEdit*>();
        if (fields.isEmpty())
            continue;
        ++strips;
        const QString where = QStringLiteral("%1 (%2)").arg(command.caption).arg(command.id);
        for (CTypedEdit* field : fields) faults << WalkField(*view, *field, where);
        faults << CheckStripWorks(*view, where);
    }
    frame.SwitchView<CEmptyView>();
    EXPECT_GE(strips, 30);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

#endif
