// The same bad texts typed into every field of every screen the frame opens
// (the fields found by walking each screen's widgets) and of the report
// editors: each is refused when the field is left, naming the field, the
// text kept on screen and the focus back in the field, or it is kept as
// typed (the screen left and opened again shows it, or the number it reads
// as). A field that keeps a part of the text ("12,75" stored as 12) fails.
#include "DemoFrameTest.h"

#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "shell/ui/CMainFrame.h"
#include "values/Values.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#ifdef KALVOR_DATA_DIR

using namespace kalvor;

namespace {

// Whole where the field is whole, letters after digits, a sign with
// letters, letters alone, an exponent, digit groups, 16 digits, no number.
const QStringList kBadTexts{
    QStringLiteral("12,75"), QStringLiteral("12x"), QStringLiteral("40x"),   QStringLiteral("-40x"),
    QStringLiteral("abc"),   QStringLiteral("1e3"), QStringLiteral("1 500"), QStringLiteral("1234567890123456"),
    QStringLiteral("nan")};

// The fields a user types into: shown, editable line edits of the window
// outside the selection strip (which chooses an employee and stores nothing).
QList<QLineEdit*> TypedFields(QWidget& window, const QWidget* strip)
{
    QList<QLineEdit*> fields;
    for (QLineEdit* edit : window.findChildren<QLineEdit*>())
        if (edit->isVisibleTo(&window) && !edit->isReadOnly() && edit->focusPolicy() != Qt::NoFocus &&
            !(strip && strip->isAncestorOf(edit)))
            fields << edit;
    return fields;
}

// The text of the label that names the field; empty when none does.
QString LabelOf(const QLineEdit* edit)
{
    for (const QLabel* label : edit->window()->findChildren<QLabel*>())
        if (label->buddy() == edit)
            return label->text().remove(QLatin1Char('&')).remove(QLatin1Char('*')).remove(QLatin1Char(':')).trimmed();
    return QString();
}

// Whether a field shows what was typed: the same text, or the number the text
// reads as (a money field shows "1500.00" for "1 500").
bool KeptAsTyped(const QString& typed, const QString& shown)
{
    if (shown == typed)
        return true;
    double a = 0, b = 0;
    return ReadTypedDecimal(typed, a) == TypedDecimal::Number && ReadTypedDecimal(shown, b) == TypedDecimal::Number &&
           a == b;
}

// A field typed into and not refused: what it showed before and after typing.
struct KeptField {
    int index;
    QString before;
    QString typed;
};

class FieldWalk {
public:
    FieldWalk(MessageRecorder& boxes, QString where) : m_boxes(boxes), m_where(std::move(where)) {}

    // Types the text into the field as a user does and leaves it by Tab: a
    // refusal is checked and the field given back its text; else the field
    // is kept to be compared once the screen is opened again.
    void Type(QLineEdit* edit, int index, const QString& text)
    {
        const QString before = edit->text();
        const std::size_t said = m_boxes.boxes.size();
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
        const QString typed = edit->text();
        QTest::keyClick(edit, Qt::Key_Tab);
        Settle();
        if (m_boxes.boxes.size() == said) {
            m_kept.push_back({index, before, typed});
            return;
        }
        CheckRefusal(edit, typed, m_boxes.boxes.back().text);
        edit->setText(before);
    }
    // Compares the kept fields with the same fields of the screen opened again.
    void Compare(const QList<QLineEdit*>& again)
    {
        for (const KeptField& kept : m_kept) {
            if (kept.index >= again.size())
                continue;
            const QString shown = again[kept.index]->text();
            if (!KeptAsTyped(kept.typed, shown) && shown != kept.before)
                m_faults << QStringLiteral("%1: field %2 \"%3\" keeps \"%4\" of \"%5\"")
                                .arg(m_where)
                                .arg(kept.index)
                                .arg(LabelOf(again[kept.index]), shown, kept.typed);
        }
        m_kept.clear();
    }
    // The fields typed into and not refused are given back their texts.
    void Restore(const QList<QLineEdit*>& fields)
    {
        for (const KeptField& kept : m_kept)
            if (kept.index < fields.size())
                fields[kept.index]->setText(kept.before);
        m_kept.clear();
    }
    void Fault(const QString& fault) { m_faults << QStringLiteral("%1: %2").arg(m_where, fault); }
    const QStringList& Faults() const { return m_faults; }

private:
    void CheckRefusal(QLineEdit* edit, const QString& typed, const QString& said)
    {
        const QString label = LabelOf(edit);
        if (!label.isEmpty() && !said.contains(label))
            Fault(QStringLiteral("the refusal of \"%1\" does not name it: %2").arg(label, said));
        if (edit->text() != typed)
            Fault(QStringLiteral("\"%1\" refused shows \"%2\" of \"%3\"").arg(label, edit->text(), typed));
        if (QApplication::focusWidget() != edit)
            Fault(QStringLiteral("\"%1\" refused does not have the focus back").arg(label));
    }

    MessageRecorder& m_boxes;
    QString m_where;
    std::vector<KeptField> m_kept;
    QStringList m_faults;
};

// Closes a modal dialog that a screen may show (a question the test does not
// answer).
void CloseModalDialogs()
{
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        dialog->reject();
}

class UiFigureFields : public DemoFrameTest {
protected:
    // Opens the screen of the command with the employee of the demo firm's
    // quick buttons, its entry enabled; null for a blank screen.
    CCommonFormView* Open(CMainFrame& frame, int command)
    {
        doc.LastPersonnelNumber = 109;
        frame.RunCommand(command);
        Settle();
        CCommonFormView* view = frame.CurrentView();
        if (!view || view->metaObject() == &CEmptyView::staticMetaObject)
            return nullptr;
        view->EnableEntry(true);
        Settle();
        return view;
    }
    QList<QLineEdit*> Fields(CCommonFormView& view) { return TypedFields(view, view.m_strip); }

    // Every bad text into every field of the screen, each time the screen
    // left and opened again.
    QStringList WalkScreen(CMainFrame& frame, const CommandInfo& command)
    {
        FieldWalk walk(boxes, QStringLiteral("%1 (%2)").arg(command.caption).arg(command.id));
        QPointer<CCommonFormView> view = Open(frame, command.id);
        for (const QString& text : kBadTexts) {
            if (!view)
                break;
            const QList<QLineEdit*> fields = Fields(*view);
            for (int i = 0; i < fields.size(); ++i)
                if (fields[i]->isEnabled())
                    walk.Type(fields[i], i, text);
            const std::size_t said = boxes.boxes.size();
            CCommonFormView* again = Open(frame, command.id);
            if (view) { // the screen was not left
                walk.Fault(QStringLiteral("\"%1\" refused only when the screen is left: %2")
                               .arg(text, boxes.boxes.size() > said ? boxes.boxes.back().text : QString()));
                walk.Restore(fields);
                again = Open(frame, command.id);
                if (view)
                    break;
            } else if (again) {
                walk.Compare(Fields(*again));
            }
            view = again;
        }
        return walk.Faults();
    }
};

} // namespace

TEST_F(UiFigureFields, EveryFieldOfEveryScreenReadsTheWholeTextOrRefusesItWhenLeft)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));

    QStringList faults;
    for (const CommandInfo& command : registry.Commands())
        if (command.makeView)
            faults << WalkScreen(frame, command);
    frame.SwitchView<CEmptyView>();
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// The income-tax register's editor, opened from the register's run: its
// amounts and payment orders' numbers, stored and opened again.
TEST_F(UiFigureFields, TheTaxRegisterEditorReadsTheWholeTextOrRefusesItWhenLeft)
{
    FieldWalk walk(boxes, QStringLiteral("Редактирование данных"));
    for (const QString& text : kBadTexts) {
        reports::CGenrNalRegEditDlg dialog(reports::ReportSelection{}, 0, doc.TypWorkFile(), doc);
        ASSERT_TRUE(ShowActive(&dialog));
        const QList<QLineEdit*> fields = TypedFields(dialog, nullptr);
        ASSERT_GE(fields.size(), 27);
        for (int i = 0; i < fields.size(); ++i) walk.Type(fields[i], i, text);
        ASSERT_TRUE(dialog.StoreValues()) << text.toStdString();
        reports::CGenrNalRegEditDlg again(reports::ReportSelection{}, 0, doc.TypWorkFile(), doc);
        walk.Compare(TypedFields(again, nullptr));
    }
    EXPECT_TRUE(walk.Faults().isEmpty()) << walk.Faults().join(QLatin1Char('\n')).toStdString();
}

#endif
