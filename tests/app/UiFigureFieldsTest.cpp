// The same bad texts typed into every input of every screen the frame opens
// (the inputs found by walking each screen's widgets) and of the report
// editors, each left by Tab and, where it is refused, by Enter too: each is
// refused naming the input, the text kept on screen, the input enabled with
// the focus back in it, one box for one attempt, and the input then takes a
// valid value; or it is kept as typed (the screen left and opened again
// shows it, or the number it reads as). A field that keeps a part of the
// text ("12,75" stored as 12) fails, and so does an editable input made
// without a kind.
#include "DemoFrameTest.h"

#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "reports/social/ui/CGenrOVPFEditDlg.h"
#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTaskFormView.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "support/InputKinds.h"
#include "values/Values.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

#include <cmath>

#ifdef KALVOR_DATA_DIR

using namespace kalvor;

namespace {

// Three texts made from the input's own kind: a number just past its range,
// a number its book does not hold, and "-3" where its least is 1 or more.
const QString kPastRange = QStringLiteral("<past range>");
const QString kNotInBook = QStringLiteral("<not in book>");
const QString kBelowLeast = QStringLiteral("<below least>");

// Whole where the field is whole, letters after digits, a sign with
// letters, letters alone, an exponent, digit groups, a letter O for a zero,
// a third decimal, 16 digits, no number, and the two of the input's kind.
const QStringList kBadTexts{QStringLiteral("12,75"),
                            QStringLiteral("12x"),
                            QStringLiteral("40x"),
                            QStringLiteral("-40x"),
                            QStringLiteral("abc"),
                            QStringLiteral("1e3"),
                            QStringLiteral("1 500"),
                            QStringLiteral("2O"),
                            QStringLiteral("12,755"),
                            QStringLiteral("1234567890123456"),
                            QStringLiteral("nan"),
                            kPastRange,
                            kNotInBook,
                            kBelowLeast};

// The text typed into the input for one of kBadTexts; empty when the input's
// kind has no such text (no range, no book).
QString TextFor(const QLineEdit* edit, const QString& text)
{
    if (text != kPastRange && text != kNotInBook && text != kBelowLeast)
        return text;
    const auto* typed = qobject_cast<const CTypedEdit*>(edit);
    if (!typed)
        return QString();
    const InputKind& kind = typed->Kind();
    if (text == kBelowLeast)
        return kind.rule.kind == FigureKind::Whole && kind.rule.min >= 1 ? QStringLiteral("-3") : QString();
    if (text == kNotInBook) {
        for (long long number = 1; kind.book.Checks() && number <= 100000; ++number)
            if (!kind.book.holds(number))
                return QString::number(number);
        return QString();
    }
    const FigureRule& rule = kind.rule;
    switch (rule.kind) {
    case FigureKind::Text: return QString();
    case FigureKind::HoursMinutes: return rule.max >= 0 ? QString::number(int(rule.max) + 1) : QString();
    case FigureKind::Money:
        if (rule.min == rule.max)
            return QStringLiteral("1000000000000"); // past the most a money place keeps
        [[fallthrough]];
    default:
        if (rule.min == rule.max)
            return QString();
        return QString::number(rule.max + std::pow(10.0, -rule.decimals), 'f', rule.decimals);
    }
}

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

bool KeepsNothingTyped(const QWidget& screen)
{
    if (qobject_cast<const CTaskFormView*>(&screen))
        return true;
    for (const char* name : {"CEFuncVirabView", "CRefOplUdView", "CRefSchedView", "CRefNalogView", "CRefUrlicView"})
        if (screen.inherits(name))
            return true;
    return false;
}

// What the input takes for certain: the text it showed when that reads by its
// kind, else the least number its rule takes.
QString ValidValue(const QLineEdit* edit, const QString& shown)
{
    const auto* typed = qobject_cast<const CTypedEdit*>(edit);
    if (!typed)
        return shown;
    const InputKind& kind = typed->Kind();
    if (ReadInput(kind, shown).read || kind.rule.kind == FigureKind::Text)
        return shown;
    return QString::number(kind.rule.min, 'f', 0);
}

// The text of the label that names the field; empty when none does.
QString LabelOf(const QLineEdit* edit)
{
    for (const QLabel* label : edit->window()->findChildren<QLabel*>())
        if (label->buddy() == edit)
            return label->text().remove(QLatin1Char('&')).remove(QLatin1Char('*')).remove(QLatin1Char(':')).trimmed();
    return QString();
}

// Whether a field shows what was typed: the same text, the number the text
// reads as (a money field shows "1500.00" for "1 500"), or the date it reads
// as (a month field shows "12.1975" for "1275").
bool KeptAsTyped(const QLineEdit* edit, const QString& typed, const QString& shown)
{
    if (shown == typed)
        return true;
    if (const auto* date = qobject_cast<const NullableDateEdit*>(edit)) {
        const bool month = date->DefaultFormat().size() < 10;
        const TypedDate a = ReadFieldText(typed, month, date->Years()), b = ReadFieldText(shown, month, date->Years());
        return a.read == TypedDateRead::Date && b.read == TypedDateRead::Date && a.day == b.day && a.month == b.month &&
               a.year == b.year;
    }
    double a = 0, b = 0;
    return ReadTypedDecimal(typed, a) == TypedDecimal::Number && ReadTypedDecimal(shown, b) == TypedDecimal::Number &&
           a == b;
}

// Whether the input refuses its text at Enter (so that Enter goes to no
// screen's action): a typed input whose text does not read, a date field
// whose text is no date.
bool RefusesAtEnter(const QLineEdit* edit)
{
    if (const auto* typed = qobject_cast<const CTypedEdit*>(edit))
        return !typed->Reading().read;
    if (const auto* date = qobject_cast<const NullableDateEdit*>(edit))
        return !FieldTextRefusal(date->text(), date->DefaultFormat().size() < 10, date->Years()).isEmpty();
    return false;
}

// A field typed into and not refused: what it showed before and after typing.
struct KeptField {
    int index;
    QString before;
    QString typed;
};

class FieldWalk {
public:
    // The walk of the screen of the caption (and of the command, when not 0).
    FieldWalk(MessageRecorder& boxes, QString caption, int command = 0)
        : m_boxes(boxes)
        , m_caption(std::move(caption))
        , m_where(command ? QStringLiteral("%1 (%2)").arg(m_caption).arg(command) : m_caption)
    {}

    // Types the text into the field as a user does and leaves it by Tab: a
    // refusal is checked, then the same text is left by Enter and refused
    // again, and the field takes its own text back without a word; else the
    // field is kept to be compared once the screen is opened again.
    void Type(QLineEdit* edit, int index, const QString& badText)
    {
        const QString text = TextFor(edit, badText);
        if (text.isEmpty())
            return;
        const QString before = edit->text();
        const QString typed = TypeInto(edit, text);
        const std::size_t said = m_boxes.boxes.size();
        QTest::keyClick(edit, Qt::Key_Tab);
        Settle();
        if (m_boxes.boxes.size() == said) {
            // A number below the field's least is never kept: the field
            // refuses it and keeps what it stored.
            if (badText == kBelowLeast)
                Fault(QStringLiteral("\"%1\" takes \"%2\" below its least").arg(LabelOf(edit), typed));
            m_kept.push_back({index, before, typed});
            return;
        }
        CheckRefusal(edit, typed, said);
        if (RefusesAtEnter(edit)) {
            const std::size_t atEnter = m_boxes.boxes.size();
            QTest::keyClick(edit, Qt::Key_Return);
            Settle();
            if (m_boxes.boxes.size() == atEnter)
                Fault(QStringLiteral("\"%1\" takes \"%2\" at Enter").arg(LabelOf(edit), typed));
            else
                CheckRefusal(edit, typed, atEnter);
            if (!CheckEsc(edit, before))
                return;
        }
        // The refused input takes a valid value: what it showed before, or the
        // least its kind takes where it showed nothing that reads (a book's
        // number field shown empty).
        const QString valid = ValidValue(edit, before);
        const std::size_t mended = m_boxes.boxes.size();
        TypeInto(edit, valid);
        QTest::keyClick(edit, Qt::Key_Tab);
        Settle();
        if (m_boxes.boxes.size() != mended)
            Fault(QStringLiteral("\"%1\" refused does not take \"%2\" back: %3")
                      .arg(LabelOf(edit), valid, m_boxes.boxes.back().text));
        edit->setText(before);
    }
    // Compares the kept fields with the same fields of the screen opened again.
    void Compare(const QWidget& screen, const QList<QLineEdit*>& again)
    {
        for (const KeptField& kept : m_kept) {
            if (kept.index >= again.size())
                continue;
            const QString shown = again[kept.index]->text();
            // A screen that only shows a record keeps nothing typed; a task
            // form's fields are its run's parameters, read when the run
            // starts; a book opened with no record chosen has nothing to keep
            // them in (the books' own tests store their records): none keeps
            // what was typed once it is left.
            if (KeptAsTyped(again[kept.index], kept.typed, shown) ||
                (shown == kept.before && KeepsNothingTyped(screen)))
                continue;
            // Neither refused nor kept: what was typed is lost without a word.
            if (shown == kept.before)
                m_faults << QStringLiteral("%1: field %2 \"%3\" takes \"%4\" without a word and keeps \"%5\"")
                                .arg(m_where)
                                .arg(kept.index)
                                .arg(LabelOf(again[kept.index]), kept.typed, shown);
            else
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
    // Every editable input of the screen has a kind, and a money, percent or
    // count input its rule by its meaning.
    void CheckKinds(QWidget& screen)
    {
        for (const QLineEdit* edit : InputsWithoutKind(&screen))
            Fault(QStringLiteral("\"%1\" (%2) is made without a kind").arg(LabelOf(edit), edit->objectName()));
        for (const QString& fault : InputsNotByMeaning(&screen, m_caption)) Fault(fault);
    }
    void Fault(const QString& fault) { m_faults << QStringLiteral("%1: %2").arg(m_where, fault); }
    const QStringList& Faults() const { return m_faults; }

private:
    static QString TypeInto(QLineEdit* edit, const QString& text)
    {
        edit->setFocus(Qt::TabFocusReason);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        return edit->text();
    }
    // Esc on the refused field, on every screen: the text the field showed
    // before is back, without a word, and the focus stays in the field (the
    // screen's own Esc is not run). False when the field went with its screen.
    bool CheckEsc(QLineEdit* edit, const QString& before)
    {
        const QString label = LabelOf(edit);
        const std::size_t said = m_boxes.boxes.size();
        QPointer<QLineEdit> field = edit;
        QTest::keyClick(edit, Qt::Key_Escape);
        Settle();
        if (m_boxes.boxes.size() != said)
            Fault(QStringLiteral("Esc on \"%1\" refused says %2").arg(label, m_boxes.boxes.back().text));
        if (!field || !field->isVisible() || QApplication::focusWidget() != field) {
            Fault(QStringLiteral("Esc on \"%1\" refused goes on to the screen").arg(label));
            return field && field->isVisible();
        }
        if (field->text() != before)
            Fault(QStringLiteral("Esc on \"%1\" refused shows \"%2\", not \"%3\"").arg(label, field->text(), before));
        return true;
    }
    // One box for the attempt, naming the field; the text kept, the field
    // enabled with the focus back in it.
    void CheckRefusal(QLineEdit* edit, const QString& typed, std::size_t said)
    {
        const QString label = LabelOf(edit);
        const QString text = m_boxes.boxes.back().text;
        if (m_boxes.boxes.size() > said + 1)
            Fault(QStringLiteral("\"%1\" refused says %2 boxes for one attempt: %3")
                      .arg(label)
                      .arg(m_boxes.boxes.size() - said)
                      .arg(text));
        if (!label.isEmpty() && !text.contains(label))
            Fault(QStringLiteral("the refusal of \"%1\" does not name it: %2").arg(label, text));
        if (edit->text() != typed)
            Fault(QStringLiteral("\"%1\" refused shows \"%2\" of \"%3\"").arg(label, edit->text(), typed));
        if (!edit->isEnabled())
            Fault(QStringLiteral("\"%1\" refused is greyed").arg(label));
        if (QApplication::focusWidget() != edit)
            Fault(QStringLiteral("\"%1\" refused does not have the focus back").arg(label));
    }

    MessageRecorder& m_boxes;
    QString m_caption;
    QString m_where;
    std::vector<KeptField> m_kept;
    QStringList m_faults;
};

class UiFigureFields : public DemoFrameTest {
protected:
    // Opens the screen of the command with the employee of the demo firm's
    // quick buttons, its entry enabled; null for a blank screen.
    CCommonFormView* Open(CMainFrame& frame, int command) { return OpenForEntry(frame, command, 109); }
    QList<QLineEdit*> Fields(CCommonFormView& view) { return TypedFields(view, view.m_strip); }

    // Every bad text into every field of the screen, each time the screen
    // left and opened again.
    QStringList WalkScreen(CMainFrame& frame, const CommandInfo& command)
    {
        FieldWalk walk(boxes, command.caption, command.id);
        QPointer<CCommonFormView> view = Open(frame, command.id);
        if (view)
            walk.CheckKinds(*view);
        for (const QString& text : kBadTexts) {
            if (!view)
                break;
            const QList<QLineEdit*> fields = Fields(*view);
            for (int i = 0; i < fields.size() && view; ++i)
                if (fields[i]->isEnabled())
                    walk.Type(fields[i], i, text);
            if (!view)
                break; // Esc left the screen (said by the walk)
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
                walk.Compare(*again, Fields(*again));
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
        walk.CheckKinds(dialog);
        const QList<QLineEdit*> fields = TypedFields(dialog, nullptr);
        ASSERT_GE(fields.size(), 27);
        for (int i = 0; i < fields.size(); ++i) walk.Type(fields[i], i, text);
        ASSERT_TRUE(dialog.StoreValues()) << text.toStdString();
        reports::CGenrNalRegEditDlg again(reports::ReportSelection{}, 0, doc.TypWorkFile(), doc);
        walk.Compare(again, TypedFields(again, nullptr));
    }
    EXPECT_TRUE(walk.Faults().isEmpty()) << walk.Faults().join(QLatin1Char('\n')).toStdString();
}

// The pension and social-insurance editors: every input has its kind and a
// money or count input its rule by its meaning (an amount of a form's line
// from 0; of either sign only the balance of line 100).
TEST_F(UiFigureFields, TheSocialReportEditorsChooseEveryRuleByItsMeaning)
{
    const QString folder = QFileInfo(doc.TypWorkFile()).absolutePath();
    reports::CGenrRVedFSSEditDlg fss(doc.TypWorkFile(), folder, doc);
    reports::CGenrRVedFSSEditDlg2 fss2(doc.TypWorkFile(), folder, doc);
    reports::CGenrOVPFEditDlg pension(reports::ReportSelection{}, doc.TypWorkFile(), folder, doc);
    reports::CGenrOVPFEditDlg2 pension2(reports::ReportSelection{}, doc.TypWorkFile(), folder, doc);
    FieldWalk walk(boxes, QStringLiteral("Редактирование отчета"));
    int inputs = 0;
    for (QDialog* editor : std::initializer_list<QDialog*>{&fss, &fss2, &pension, &pension2}) {
        walk.CheckKinds(*editor);
        inputs += int(editor->findChildren<CTypedEdit*>().size());
    }
    EXPECT_GE(inputs, 60);
    EXPECT_TRUE(walk.Faults().isEmpty()) << walk.Faults().join(QLatin1Char('\n')).toStdString();
}

// ------------------------------------------------------------------ grid cells

#include "grid/GridCtrl.h"
#include "grid/InPlaceEdit.h"

#include <QPushButton>

#include <cmath>
#include <functional>

namespace {

// The texts of the fields' walk, then one just past the column's range,
// "-3" where its least is 1 or more, and a number its book does not hold.
QStringList CellTexts(const GridColumn& column)
{
    QStringList texts{QStringLiteral("12,75"), QStringLiteral("12x"),    QStringLiteral("40x"),
                      QStringLiteral("-40x"),  QStringLiteral("abc"),    QStringLiteral("1e3"),
                      QStringLiteral("1 500"), QStringLiteral("2O"),     QStringLiteral("12,755"),
                      QStringLiteral("1234567890123456"), QStringLiteral("nan")};
    const FigureRule& rule = column.rule;
    if (!column.reads && rule.max > 0) {
        switch (rule.kind) {
        case FigureKind::Text: texts << QString(int(rule.max) + 1, QLatin1Char('x')); break;
        case FigureKind::Percent:
        case FigureKind::Decimal:
            texts << QString::number(rule.max + std::pow(10.0, -rule.decimals), 'f', rule.decimals);
            break;
        default: texts << QString::number((long long)rule.max + 1); break;
        }
    } else if (rule.kind == FigureKind::Money && !column.reads) {
        texts << QStringLiteral("1000000000000");
    }
    if (rule.kind == FigureKind::Whole && rule.min >= 1)
        texts << QStringLiteral("-3");
    if (column.book.Checks())
        for (long long number = (long long)std::min(rule.max, 999.0); number >= 1; --number)
            if (!column.book.holds(number)) {
                texts << QString::number(number);
                break;
            }
    return texts;
}

// A grid without data rows gets one from its screen's add button.
void GiveRows(CCommonFormView& view, CGridCtrl& grid)
{
    if (grid.GetRowCount() > grid.GetFixedRowCount())
        return;
    for (QPushButton* button : view.findChildren<QPushButton*>())
        if (button->isVisibleTo(&view) && button->isEnabled() &&
            (button->text().startsWith(QStringLiteral("Добавить")) ||
             button->text().startsWith(QStringLiteral("Вставить")))) {
            button->click();
            Settle();
            return;
        }
}

// The grids of the screen a user can type into, each with a data row.
QList<CGridCtrl*> EditableGrids(CCommonFormView* view)
{
    QList<CGridCtrl*> grids;
    if (!view)
        return grids;
    for (CGridCtrl* grid : view->findChildren<CGridCtrl*>())
        if (grid->isVisibleTo(view) && grid->isEnabled() && grid->GetEditable()) {
            GiveRows(*view, *grid);
            grids << grid;
        }
    return grids;
}

// A data row whose cell of the column can be edited; -1 when none.
int EditableRow(const CGridCtrl& grid, int col)
{
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        if (grid.IsCellEditable(row, col))
            return row;
    return -1;
}

// Opens the cell's editor as a click does (the text selected), types and
// leaves by the key; false when no editor opens.
bool TypeAndLeave(CGridCtrl& grid, int row, int col, const QString& text, Qt::Key leave)
{
    grid.setFocus();
    grid.SetFocusCell(row, col);
    grid.OnEditCell(row, col, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
    CInPlaceEdit* editor = grid.GetEditor();
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, leave);
    Settle();
    return true;
}

// The walk of one screen's grids. `reopen` leaves the screen and opens it
// again (null when it is not left), to see what a kept text was stored as.
class CellWalk {
public:
    CellWalk(MessageRecorder& boxes, QString caption, int command, std::function<CCommonFormView*()> reopen)
        : m_boxes(boxes)
        , m_caption(std::move(caption))
        , m_where(QStringLiteral("%1 (%2)").arg(m_caption).arg(command))
        , m_reopen(std::move(reopen))
    {}

    // Every text into every editable column of the screen's grids, left by
    // Tab and by Enter.
    void Walk(CCommonFormView* view)
    {
        m_view = view;
        for (int index = 0; m_view && index < EditableGrids(m_view).size(); ++index) {
            const CGridCtrl* grid = EditableGrids(m_view).value(index);
            for (int col : ColumnsWithoutKind(*grid))
                Fault(QStringLiteral("column %1 \"%2\" is edited without a kind").arg(col).arg(grid->GetItemText(0, col)));
            for (const QString& fault : ColumnsNotByMeaning(*grid, m_caption)) Fault(fault);
            const int columns = grid->GetColumnCount();
            for (int col = grid->GetFixedColumnCount(); m_view && col < columns; ++col) {
                const CGridCtrl* shown = EditableGrids(m_view).value(index);
                const GridColumn* declared = shown ? shown->DeclaredColumn(col) : nullptr;
                if (!declared || !declared->edited || EditableRow(*shown, col) < 0)
                    continue;
                const GridColumn column = *declared;
                ++m_cells;
                for (const QString& text : CellTexts(column))
                    for (const Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return})
                        if (m_view)
                            Type(index, col, column, text, leave);
            }
        }
    }
    CCommonFormView* View() const { return m_view; }
    // Leaves the screen and opens it again. A row the screen refuses as a
    // whole (said in a box) is abandoned by Esc in its grid first. False
    // when the screen cannot be left.
    bool Reopen(int index)
    {
        const std::size_t said = m_boxes.boxes.size();
        CCommonFormView* shown = m_view;
        m_view = m_reopen();
        if (!m_view && shown && m_boxes.boxes.size() > said) {
            if (CGridCtrl* refused = EditableGrids(shown).value(index)) {
                refused->setFocus();
                QTest::keyClick(refused, Qt::Key_Escape);
                Settle();
            }
            m_view = m_reopen();
        }
        return m_view;
    }
    void Fault(const QString& fault) { m_faults << QStringLiteral("%1: %2").arg(m_where, fault); }
    const QStringList& Faults() const { return m_faults; }
    int Cells() const { return m_cells; }

private:
    void Type(int index, int col, const GridColumn& column, const QString& text, Qt::Key leave)
    {
        CGridCtrl* grid = EditableGrids(m_view).value(index);
        const int row = grid ? EditableRow(*grid, col) : -1;
        if (row < 0)
            return;
        const QString before = grid->GetItemText(row, col);
        const std::size_t said = m_boxes.boxes.size();
        const QString name = column.Name();
        const QString key = leave == Qt::Key_Tab ? QStringLiteral("Tab") : QStringLiteral("Enter");
        if (!TypeAndLeave(*grid, row, col, text, leave)) {
            Fault(QStringLiteral("\"%1\" opens no editor").arg(name));
            return;
        }
        if (m_boxes.boxes.size() == said) {
            Kept(*grid, index, row, col, column, text, leave);
            return;
        }
        const QString refusal = m_boxes.boxes.back().text;
        if (m_boxes.boxes.size() > said + 1)
            Fault(QStringLiteral("\"%1\" refuses \"%2\" in %3 boxes (%4)")
                      .arg(name, text)
                      .arg(m_boxes.boxes.size() - said)
                      .arg(key));
        if (!refusal.contains(name))
            Fault(QStringLiteral("the refusal of \"%1\" in \"%2\" does not name it: %3").arg(text, name, refusal));
        if (grid->GetItemText(row, col) != before)
            Fault(QStringLiteral("\"%1\" refused \"%2\" and shows \"%3\" for \"%4\" (%5)")
                      .arg(name, text, grid->GetItemText(row, col), before, key));
        CInPlaceEdit* editor = grid->GetEditor();
        if (!editor || editor->text() != text || QApplication::focusWidget() != editor ||
            !editor->isEnabledTo(grid->window()) || grid->GetFocusCell() != CCellID(row, col)) {
            Fault(QStringLiteral("\"%1\" refused \"%2\" and is not open on it with the focus (%3)").arg(name, text, key));
            if (editor)
                QTest::keyClick(editor, Qt::Key_Escape);
            return;
        }
        // The stored text is taken again (put whole: it may hold letters no key types).
        editor->setText(before);
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        if (m_boxes.boxes.size() != said + 1 || grid->GetItemText(row, col) != before || grid->GetEditor())
            Fault(QStringLiteral("\"%1\" after a refusal does not take \"%2\"").arg(name, before));
    }
    // A text the cell kept: it shows what the column reads it as, and once
    // the screen is left and opened again the column shows it stored so. A
    // row the screen refuses as a whole when left is abandoned by Esc, after
    // which the screen is left.
    void Kept(const CGridCtrl& grid, int index, int row, int col, const GridColumn& column, const QString& text,
              Qt::Key leave)
    {
        const GridCellReading reading = ReadGridCell(column, text);
        if (!reading.read || grid.GetItemText(row, col) != reading.text) {
            Fault(QStringLiteral("\"%1\" keeps \"%2\" of \"%3\"").arg(column.Name(), grid.GetItemText(row, col), text));
            return;
        }
        if (leave != Qt::Key_Tab)
            return;
        const std::size_t said = m_boxes.boxes.size();
        if (!Reopen(index)) {
            Fault(QStringLiteral("the screen is not left after \"%1\" in \"%2\" and Esc").arg(text, column.Name()));
            return;
        }
        if (m_boxes.boxes.size() > said)
            return; // the row was abandoned
        // The column shows the value somewhere (a book sorts its rows), in its own form.
        const CGridCtrl* again = EditableGrids(m_view).value(index);
        bool stored = false;
        for (int r = again ? again->GetFixedRowCount() : 0; again && r < again->GetRowCount() && !stored; ++r)
            stored = ReadGridCell(column, again->GetItemText(r, col)).text == reading.text;
        if (!stored)
            Fault(QStringLiteral("\"%1\" kept \"%2\" and does not show it stored").arg(column.Name(), text));
    }

    MessageRecorder& m_boxes;
    QString m_caption;
    QString m_where;
    std::function<CCommonFormView*()> m_reopen;
    QPointer<CCommonFormView> m_view;
    QStringList m_faults;
    int m_cells = 0;
};

class UiGridCells : public DemoFrameTest {
protected:
    // Each screen opens on employee 115, the alternative time sheet's.
    CCommonFormView* Open(CMainFrame& frame, int command) { return OpenForEntry(frame, command, 115); }
    // Leaves the screen and opens it again; null when it was not left.
    CCommonFormView* Reopen(CMainFrame& frame, int command)
    {
        if (!frame.SwitchView<CEmptyView>())
            return nullptr;
        Settle();
        return Open(frame, command);
    }
};

} // namespace

// Every editable grid of every screen the frame opens, found by walking the
// screen's widgets, on employee 115: the bad texts typed into each editable
// column through the in-place editor and left by Tab and by Enter are
// refused at once naming the column, the cell keeping what it stored and the
// editor open on it, or kept as the column reads them and stored so (seen
// once the screen is left and opened again); after a refusal the cell takes
// the stored text again, and the screen is left. A column edited without a
// kind fails.
TEST_F(UiGridCells, EveryEditableGridCellReadsTheWholeTextOrRefusesItWhenLeft)
{
    // The seniority book holds a rule of a pay kind (the demo firm keeps
    // none), so that what its row's cells keep is stored with it: a row
    // without a code of the book is no rule.
    doc.infoBase.firm.stag[0].kod = 4;
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));

    QStringList faults;
    int cells = 0;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        CCommonFormView* view = Open(frame, command.id);
        if (!view)
            continue;
        CellWalk walk(boxes, command.caption, command.id, [&] { return Reopen(frame, command.id); });
        walk.Walk(view);
        cells += walk.Cells();
        if (walk.View() && !walk.Reopen(0))
            walk.Fault(QStringLiteral("the screen is not left"));
        frame.SwitchView<CEmptyView>();
        Settle();
        faults << walk.Faults();
    }
    EXPECT_GT(cells, 100);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// ------------------------------------------------- the ways out of a refusal

#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

namespace {

// A text the input refuses: the first of these its kind does not read; empty
// for an input that takes them all (a text).
QString RefusedText(const CTypedEdit& field)
{
    for (const QString& text : {QStringLiteral("12x"), QStringLiteral("-40x"), QStringLiteral("abc")})
        if (!ReadInput(field.Kind(), text).read)
            return text;
    return QString();
}

// How a person tries to leave a refused input: a key in it, a click on the
// selection strip, Enter in the strip, F4, a menu command opening another
// screen.
enum class Way { Tab, Enter, ClickOnStrip, EnterInStrip, F4, MenuCommand };
const std::pair<Way, const char*> kWaysOut[] = {{Way::Tab, "Tab"},
                                                {Way::Enter, "Enter"},
                                                {Way::ClickOnStrip, "a click on the strip"},
                                                {Way::EnterInStrip, "Enter in the strip"},
                                                {Way::F4, "F4"},
                                                {Way::MenuCommand, "a menu command"}};

// The walk of the refused inputs of one screen with a selection strip.
class RefusalWayWalk {
public:
    RefusalWayWalk(CMainFrame& frame, MessageRecorder& boxes, CCommonFormView& view, int otherCommand, QString where)
        : m_frame(frame), m_boxes(boxes), m_view(&view), m_other(otherCommand), m_where(std::move(where))
    {}

    // Each typed field of the entry, given a text it refuses and left by Tab,
    // then by every other way: one box each, and the field keeps the focus.
    // Esc then puts the stored text back and does what it does on the field
    // untouched.
    void WalkFields()
    {
        auto* entry = m_view ? m_view->m_entryDlg.data() : nullptr;
        for (CTypedEdit* field : entry ? entry->findChildren<CTypedEdit*>() : QList<CTypedEdit*>()) {
            if (!m_view || !field->isVisibleTo(entry) || field->isReadOnly() || RefusedText(*field).isEmpty())
                continue;
            m_view->EnableEntry(true);
            Settle();
            if (!field->isEnabled())
                continue;
            WalkField(*field, RefusedText(*field));
            ++m_inputs;
        }
    }
    // The first refusing column of each editable grid of the entry, given
    // "12x": held on every way out but Tab and Enter (which move within the
    // grid); Esc puts the stored text back; then, refused again, the grid is
    // filled with another employee's rows: no editor is left over them.
    void WalkGrids(int otherEmployee)
    {
        auto* entry = m_view ? m_view->m_entryDlg.data() : nullptr;
        const int count = entry ? int(EditableGrids(m_view).size()) : 0;
        for (int index = 0; m_view && index < count; ++index)
            if (CGridCtrl* grid = EditableGrids(m_view).value(index); grid && entry->isAncestorOf(grid))
                WalkGrid(*grid, otherEmployee);
    }
    const QStringList& Faults() const { return m_faults; }
    int Inputs() const { return m_inputs; }

private:
    void Fault(const QString& what, const QString& fault)
    {
        m_faults << QStringLiteral("%1, %2: %3").arg(m_where, what, fault);
    }
    QWidget* StripField() const
    {
        auto* strip = qobject_cast<CWorkersFilterDlg*>(m_view->m_strip.data());
        if (!strip)
            return nullptr;
        CTypedEdit* number = strip->Field(CTabelFilterDlg::IdTabN);
        return number ? number : strip->Field(CWorkersFilterDlg::IdShop);
    }
    void Leave(QWidget* input, Way way)
    {
        switch (way) {
        case Way::Tab: QTest::keyClick(input, Qt::Key_Tab); break;
        case Way::Enter: QTest::keyClick(input, Qt::Key_Return); break;
        case Way::ClickOnStrip: QTest::mouseClick(StripField(), Qt::LeftButton); break;
        case Way::EnterInStrip: QTest::keyClick(StripField(), Qt::Key_Return); break;
        case Way::F4: QTest::keyClick(input, Qt::Key_F4); break;
        case Way::MenuCommand: m_frame.CommandAction(m_other)->trigger(); break;
        }
        Settle();
    }
    // After a way out: one box, the screen and its employee kept.
    bool Held(const QString& what, const char* way, std::size_t said, unsigned shown)
    {
        if (m_boxes.boxes.size() != said + 1)
            Fault(what, QStringLiteral("%1 says %2 boxes (%3)")
                            .arg(QLatin1String(way))
                            .arg(m_boxes.boxes.size() - said)
                            .arg(QStringList(m_boxes.Texts().mid(int(said))).join(QLatin1Char('|'))));
        if (m_frame.CurrentView() != m_view || m_view->m_tabN != shown) {
            Fault(what, QStringLiteral("%1 left the screen or its employee").arg(QLatin1String(way)));
            return false;
        }
        return true;
    }
    // Where Esc takes the focus from the untouched field, and whether the
    // screen stays.
    std::pair<QPointer<QWidget>, bool> EscFrom(CTypedEdit& field)
    {
        field.setFocus(Qt::TabFocusReason);
        QTest::keyClick(&field, Qt::Key_Escape);
        Settle();
        return {QApplication::focusWidget(), m_frame.CurrentView() == m_view};
    }
    void WalkField(CTypedEdit& field, const QString& text)
    {
        const QString what = QStringLiteral("\"%1\" \"%2\"").arg(field.Kind().name, text);
        const QString stored = field.text();
        const unsigned shown = m_view->m_tabN;
        const auto [escFocus, escStays] = EscFrom(field);
        if (!escStays) {
            Fault(what, QStringLiteral("Esc leaves the screen")); // the walk needs it to stay
            m_view = nullptr;
            return;
        }
        m_view->EnableEntry(true);
        Settle();
        field.setFocus(Qt::TabFocusReason);
        field.selectAll();
        QTest::keyClicks(&field, text);
        for (const auto& [way, name] : kWaysOut) {
            const std::size_t said = m_boxes.boxes.size();
            Leave(&field, way);
            if (!Held(what, name, said, shown))
                return;
            if (!field.isEnabled() || QApplication::focusWidget() != &field || field.selectedText() != text) {
                Fault(what, QStringLiteral("after %1 the field is not enabled with the focus and its text selected")
                                .arg(QLatin1String(name)));
                return;
            }
            // A key typed next reaches the field; the refused text is typed back.
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
            if (field.text() != QStringLiteral("7"))
                Fault(what, QStringLiteral("a key after %1 went elsewhere").arg(QLatin1String(name)));
            field.selectAll();
            QTest::keyClicks(&field, text);
        }
        // Esc on the held field is the field's: the stored text back, the
        // focus kept; the next Esc does what it does on the untouched field.
        const std::size_t said = m_boxes.boxes.size();
        QTest::keyClick(&field, Qt::Key_Escape);
        Settle();
        if (m_boxes.boxes.size() != said)
            Fault(what, QStringLiteral("Esc says %1").arg(m_boxes.Texts().mid(int(said)).join(QLatin1Char('|'))));
        if (field.text() != stored)
            Fault(what, QStringLiteral("Esc leaves \"%1\", not the stored \"%2\"").arg(field.text(), stored));
        if (QApplication::focusWidget() != &field || m_frame.CurrentView() != m_view) {
            Fault(what, QStringLiteral("Esc on the held field goes on to the screen"));
            return;
        }
        QTest::keyClick(&field, Qt::Key_Escape);
        Settle();
        if (QApplication::focusWidget() != escFocus || m_frame.CurrentView() != m_view)
            Fault(what, QStringLiteral("the second Esc does not do what Esc does on the untouched field"));
    }
    static QStringList GridTexts(const CGridCtrl& grid)
    {
        QStringList texts;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 0; c < grid.GetColumnCount(); ++c) texts << grid.GetItemText(r, c);
        return texts;
    }
    // The cell's editor holds the refused text with the focus.
    bool EditorHolds(CGridCtrl& grid, int row, int col, const QString& text)
    {
        const CInPlaceEdit* editor = grid.GetEditor();
        return editor && editor->text() == text && QApplication::focusWidget() == editor &&
               editor->isEnabledTo(grid.window()) && grid.GetFocusCell() == CCellID(row, col);
    }
    void WalkGrid(CGridCtrl& grid, int otherEmployee)
    {
        const QString text = QStringLiteral("12x");
        int row = -1, col = grid.GetFixedColumnCount();
        for (; col < grid.GetColumnCount() && row < 0; ++col) {
            const GridColumn* column = grid.DeclaredColumn(col);
            if (column && column->edited && !ReadGridCell(*column, text).read)
                row = EditableRow(grid, col);
        }
        if (row < 0)
            return;
        --col;
        const QString what =
            QStringLiteral("grid %1 \"%2\" \"%3\"").arg(grid.GetDlgCtrlID()).arg(grid.GetItemText(0, col), text);
        const QString stored = grid.GetItemText(row, col);
        const unsigned shown = m_view->m_tabN;
        std::size_t said = m_boxes.boxes.size();
        TypeAndLeave(grid, row, col, text, Qt::Key_Tab);
        if (!Held(what, "Tab", said, shown) || !EditorHolds(grid, row, col, text))
            return Fault(what, QStringLiteral("the refused cell is not held"));
        ++m_inputs;
        for (const auto& [way, name] : kWaysOut) {
            if (way == Way::Tab || way == Way::Enter)
                continue;
            said = m_boxes.boxes.size();
            Leave(grid.GetEditor(), way);
            if (way == Way::F4) { // a key of the editor's: nothing is left
                if (m_boxes.boxes.size() > said + 1 || m_view->m_tabN != shown)
                    Fault(what, QStringLiteral("F4 in the editor goes on"));
            } else if (!Held(what, name, said, shown)) {
                return;
            }
            if (!EditorHolds(grid, row, col, text))
                return Fault(what, QStringLiteral("after %1 the editor is not open on the refused text with the focus")
                                       .arg(QLatin1String(name)));
        }
        said = m_boxes.boxes.size();
        QTest::keyClick(grid.GetEditor(), Qt::Key_Escape);
        Settle();
        if (m_boxes.boxes.size() != said || grid.GetEditor() || grid.GetItemText(row, col) != stored)
            Fault(what, QStringLiteral("Esc does not put the stored \"%1\" back silently").arg(stored));
        // Refused again, then another employee's rows fill the grid (a grid
        // of the whole list stays as it is, and so may its editor). A screen
        // that shows no one employee has nobody else to take.
        const int otherIndex = m_view->Document()->infoBase.FindEmployee(otherEmployee);
        const int shownIndex = m_view->Document()->infoBase.FindEmployee(int(shown));
        if (otherIndex < 0 || shownIndex < 0)
            return;
        TypeAndLeave(grid, row, col, text, Qt::Key_Tab);
        said = m_boxes.boxes.size();
        const QStringList rows = GridTexts(grid);
        LoadEmployeeForView(*m_view, otherIndex);
        Settle();
        if (m_boxes.boxes.size() != said)
            Fault(what, QStringLiteral("another employee's rows say %1")
                            .arg(m_boxes.Texts().mid(int(said)).join(QLatin1Char('|'))));
        if (grid.GetEditor() && GridTexts(grid) != rows)
            Fault(what, QStringLiteral("an editor is open over employee %1's rows with \"%2\"")
                            .arg(otherEmployee)
                            .arg(grid.GetEditor()->text()));
        if (CInPlaceEdit* editor = grid.GetEditor())
            QTest::keyClick(editor, Qt::Key_Escape);
        LoadEmployeeForView(*m_view, shownIndex);
        Settle();
    }

    CMainFrame& m_frame;
    MessageRecorder& m_boxes;
    QPointer<CCommonFormView> m_view;
    int m_other;
    QString m_where;
    QStringList m_faults;
    int m_inputs = 0;
};

} // namespace

// Every screen with a selection strip, on employee 110: each typed field of
// its entry and each editable grid, given a text it refuses, is left by every
// way a person has (Tab, Enter, a click on the strip, Enter in the strip, F4,
// a menu command opening another screen): each attempt says one box, the
// input keeps the focus, enabled, its text selected, and the next key
// reaches it; Esc puts the stored text back. A grid filled with another
// employee's rows after a refused cell shows no editor over them.
TEST_F(UiGridCells, EveryRefusedInputHoldsItsFocusOnEveryWayOut)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    QStringList faults;
    int screens = 0, inputs = 0;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        // The menu command: the first other screen.
        int other = 0;
        for (const CommandInfo& c : registry.Commands())
            if (c.makeView && c.id != command.id && other == 0)
                other = c.id;
        CCommonFormView* view = OpenForEntry(frame, command.id, 110);
        if (!view || !qobject_cast<CWorkersFilterDlg*>(view->m_strip.data()) || !view->m_entryDlg)
            continue;
        ++screens;
        const QString where = QStringLiteral("%1 (%2)").arg(command.caption).arg(command.id);
        RefusalWayWalk walk(frame, boxes, *view, other, where);
        walk.WalkFields();
        walk.WalkGrids(111);
        faults << walk.Faults();
        inputs += walk.Inputs();
        // The next screen starts on a screen left (a refused text left over is emptied).
        if (!frame.SwitchView<CEmptyView>()) {
            faults << QStringLiteral("%1: the screen is not left after the walk").arg(where);
            for (CTypedEdit* field : view->findChildren<CTypedEdit*>())
                if (!field->Reading().read)
                    field->clear();
            for (CInPlaceEdit* editor : view->findChildren<CInPlaceEdit*>()) QTest::keyClick(editor, Qt::Key_Escape);
            Settle();
            if (!frame.SwitchView<CEmptyView>())
                break;
        }
        Settle();
    }
    EXPECT_GE(screens, 30);
    EXPECT_GE(inputs, 150);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// --------------------------------------- a press ended by a refused cell's box

#include <QAbstractEventDispatcher>
#include <QCursor>

namespace {

// A grid of a screen with a refused text typed into a cell of the employee's
// row, left by Tab, then by a press on another row, the pointer then
// resting below the grid.
struct HeldCellCase {
    int command;
    int employee;
    const char* column;
    const char* refused;
    const char* valid;
};
const HeldCellCase kHeldCells[] = {
    {32818, 101, "Цех КТУ2", "99", "2"}, // "Корректировка премий"
    {1044, 110, "Сумма", "12,755", "12,75"}, // "Архив"
};

// The screen's editable grid with the named column; its number in `col`.
CGridCtrl* GridWithColumn(CCommonFormView* view, const QString& name, int& col)
{
    for (CGridCtrl* grid : EditableGrids(view))
        for (col = grid->GetFixedColumnCount(); col < grid->GetColumnCount(); ++col)
            if (const GridColumn* column = grid->DeclaredColumn(col); column && column->edited && column->Name() == name)
                return grid;
    return nullptr;
}

// The first row of the employee whose cell of the column can be edited (a
// row showing his personnel number), else the first editable row.
int EmployeeRow(const CGridCtrl& grid, int col, int employee)
{
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        for (int c = 0; c < grid.GetColumnCount(); ++c)
            if (grid.GetItemText(row, c) == QString::number(employee) && grid.IsCellEditable(row, col))
                return row;
    return EditableRow(grid, col);
}

// A press of the left button on the cell that no release follows: the
// release went to the box the press brought up.
void PressWithoutRelease(CGridCtrl& grid, int row, int col)
{
    QRect cell;
    ASSERT_TRUE(grid.GetCellRect(row, col, cell));
    const QPoint at = cell.center();
    QMouseEvent press(QEvent::MouseButtonPress, at, grid.viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &press);
}

// The pointer comes to rest below the grid, no button held: its move is
// delivered and what it brings about is done.
void RestBelow(CGridCtrl& grid)
{
    const QPoint below = grid.mapToGlobal(QPoint(grid.width() / 2, grid.height() + 30));
    QCursor::setPos(below);
    QWidget* window = grid.window();
    QWidget* under = window->childAt(window->mapFromGlobal(below));
    QWidget* target = under ? under : window;
    const QPoint local = target->mapFromGlobal(below);
    QMouseEvent move(QEvent::MouseMove, local, below, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    Settle();
}

// Whether a timer of the grid's own runs: a press that goes on scrolls by
// its ticks, moving the current cell down while the pointer is below.
bool GridTimerRuns(CGridCtrl& grid) { return !QAbstractEventDispatcher::instance()->registeredTimers(&grid).isEmpty(); }

} // namespace

// The bonus grid (99 in 101's "Цех КТУ2") and the archive grid (12,755 in
// 110's "Сумма"), with real boxes: Tab says one box and holds the cell; a
// press on another row says one box and ends there (nothing selected, no
// timer started by it); the pointer at rest below the grid says
// nothing and moves nothing. Then the program takes keys: a valid value
// typed into the held cell is taken and found stored once the screen is
// opened again.
TEST_F(UiGridCells, ARefusedCellSaysOneBoxPerAttemptWhenThePressThatLeftItIsNeverReleased)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    for (const HeldCellCase& c : kHeldCells) {
        SCOPED_TRACE(c.column);
        CCommonFormView* view = OpenForEntry(frame, c.command, c.employee);
        ASSERT_NE(view, nullptr);
        int col = -1;
        CGridCtrl* grid = GridWithColumn(view, QString::fromUtf8(c.column), col);
        ASSERT_NE(grid, nullptr);
        const int row = EmployeeRow(*grid, col, c.employee);
        ASSERT_GE(row, grid->GetFixedRowCount());
        const int other = row + 1 < grid->GetRowCount() ? row + 1 : row - 1;
        ASSERT_GE(other, grid->GetFixedRowCount());
        const QString stored = grid->GetItemText(row, col);
        const QString refused = QString::fromUtf8(c.refused);
        boxes.boxes.clear();

        ASSERT_TRUE(TypeAndLeave(*grid, row, col, refused, Qt::Key_Tab));
        ASSERT_EQ(boxes.boxes.size(), 1u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(boxes.boxes[0].text.contains(QString::fromUtf8(c.column))) << boxes.boxes[0].text.toStdString();
        ASSERT_TRUE(grid->GetEditor());

        PressWithoutRelease(*grid, other, col);
        Settle();
        EXPECT_EQ(boxes.boxes.size(), 2u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        RestBelow(*grid);
        EXPECT_FALSE(GridTimerRuns(*grid));
        EXPECT_EQ(boxes.boxes.size(), 2u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(grid->GetFocusCell(), CCellID(row, col));
        EXPECT_EQ(grid->GetItemText(row, col), stored);

        // The held cell takes a valid value by keys.
        CInPlaceEdit* editor = grid->GetEditor();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), refused);
        EXPECT_EQ(QApplication::focusWidget(), editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QString::fromUtf8(c.valid));
        QTest::keyClick(editor, Qt::Key_Return);
        Settle();
        EXPECT_EQ(boxes.boxes.size(), 2u) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        const QString taken = ReadGridCell(*grid->DeclaredColumn(col), QString::fromUtf8(c.valid)).text;
        EXPECT_EQ(grid->GetItemText(row, col), taken);

        ASSERT_NE(frame.SwitchView<CEmptyView>(), nullptr) << boxes.Texts().join(QLatin1Char('|')).toStdString();
        Settle();
        view = OpenForEntry(frame, c.command, c.employee);
        ASSERT_NE(view, nullptr);
        grid = GridWithColumn(view, QString::fromUtf8(c.column), col);
        ASSERT_NE(grid, nullptr);
        EXPECT_EQ(grid->GetItemText(EmployeeRow(*grid, col, c.employee), col), taken);
        frame.SwitchView<CEmptyView>();
        Settle();
    }
}

// ------------------------------------------------- fields that read by another

namespace {

// Where a field of a pair is typed: an input of the screen, or a cell of a
// grid's column in the first row that can be edited.
struct PairInput {
    CTypedEdit* edit = nullptr;
    CGridCtrl* grid = nullptr;
    int row = -1;
    int col = -1;
    bool Found() const { return edit || (grid && row >= 0); }
    // The input that holds the focus while a typed text is refused.
    QWidget* Holder() const { return edit ? static_cast<QWidget*>(edit) : grid ? grid->GetEditor() : nullptr; }
    // What the input shows as typed or held.
    QString Shown() const
    {
        if (edit)
            return edit->text();
        if (grid && grid->GetEditor())
            return grid->GetEditor()->text();
        return grid ? grid->GetItemText(row, col) : QString();
    }
};

PairInput FindPairInput(CCommonFormView& view, const QString& name)
{
    PairInput input;
    for (CTypedEdit* edit : view.findChildren<CTypedEdit*>())
        if (edit->isVisibleTo(&view) && !edit->isReadOnly() && edit->Kind().name == name)
            input.edit = edit;
    if (input.edit)
        return input;
    for (CGridCtrl* grid : EditableGrids(&view))
        for (int col = grid->GetFixedColumnCount(); col < grid->GetColumnCount(); ++col)
            if (const GridColumn* column = grid->DeclaredColumn(col);
                column && column->edited && column->Name() == name)
                return {nullptr, grid, EditableRow(*grid, col), col};
    return input;
}

// Types the text over what the input shows (an empty text empties it) and
// leaves it by Tab.
void TypePairInput(const PairInput& input, const QString& text)
{
    QLineEdit* field = input.edit;
    if (input.grid) {
        input.grid->setFocus();
        input.grid->SetFocusCell(input.row, input.col);
        input.grid->OnEditCell(input.row, input.col, QPoint(-1, -1), GridCtrl::VK_LBUTTON | CInPlaceEdit::ClickedChar);
        field = input.grid->GetEditor();
    } else {
        field->setFocus(Qt::TabFocusReason);
    }
    if (!field)
        return;
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
    Settle();
}

// Esc in the held input gives its text up.
void GiveUp(const PairInput& input)
{
    if (QWidget* holder = input.Holder(); holder && QApplication::focusWidget() == holder)
        QTest::keyClick(holder, Qt::Key_Escape);
    Settle();
}

class UiFieldPairs : public DemoFrameTest {
protected:
    // The pair typed through its screen: the field emptied and the other's
    // text taken without a word, then the field's text refused in one box
    // naming both, the field holding the text with the focus.
    // Every screen of the pair's caption (two screens may share one) walks it.
    QStringList WalkPair(CMainFrame& frame, const FieldPair& pair)
    {
        QStringList faults;
        int screens = 0;
        for (const CommandInfo& info : registry.Commands())
            if (info.makeView && info.caption == QString::fromUtf8(pair.where)) {
                ++screens;
                faults << WalkPairOn(frame, pair, info.id);
            }
        if (screens == 0)
            faults << QStringLiteral("%1: no screen").arg(QString::fromUtf8(pair.where));
        return faults;
    }
    QStringList WalkPairOn(CMainFrame& frame, const FieldPair& pair, int command)
    {
        const QString where = QString::fromUtf8(pair.where), name = QString::fromUtf8(pair.field),
                      otherName = QString::fromUtf8(pair.other);
        const QString what = QStringLiteral("%1 (%4): \"%2\" by \"%3\"").arg(where, name, otherName).arg(command);
        CCommonFormView* view = OpenForEntry(frame, command, 101);
        if (!view)
            return {QStringLiteral("%1: no screen").arg(what)};
        const PairInput field = FindPairInput(*view, name), other = FindPairInput(*view, otherName);
        if (!field.Found() || !other.Found())
            return {QStringLiteral("%1: the screen has no such fields").arg(what)};
        QStringList faults;
        std::size_t said = boxes.boxes.size();
        TypePairInput(field, QString());
        TypePairInput(other, QString::fromUtf8(pair.otherText));
        if (boxes.boxes.size() != said)
            faults << QStringLiteral("%1: the other's \"%2\" refused: %3")
                          .arg(what, QString::fromUtf8(pair.otherText), boxes.boxes.back().text);
        said = boxes.boxes.size();
        const QString text = QString::fromUtf8(pair.fieldText);
        TypePairInput(field, text);
        if (boxes.boxes.size() == said) {
            faults << QStringLiteral("%1: \"%2\" beside \"%3\" taken without a word (%4): no rule reads the field "
                                     "by the other")
                          .arg(what, text, QString::fromUtf8(pair.otherText), QString::fromUtf8(pair.why));
        } else {
            const QString refusal = boxes.boxes.back().text;
            if (boxes.boxes.size() != said + 1)
                faults << QStringLiteral("%1: %2 boxes").arg(what).arg(boxes.boxes.size() - said);
            if (!refusal.contains(name) || !refusal.contains(otherName))
                faults << QStringLiteral("%1: the refusal does not name both: %2").arg(what, refusal);
            if (field.Shown() != text || QApplication::focusWidget() != field.Holder())
                faults << QStringLiteral("%1: the refused field does not hold \"%2\" with the focus").arg(what, text);
        }
        GiveUp(field);
        if (!frame.SwitchView<CEmptyView>())
            faults << QStringLiteral("%1: the screen is not left").arg(what);
        Settle();
        return faults;
    }
};

} // namespace

// Every pair of fields whose meaning the other sets (support/InputKinds.h),
// on employee 101 at 1024x768: typed through the real screen, the field's
// text that cannot be beside the other's is refused in one box naming both
// fields, and held with the focus; a pair whose field no rule reads by the
// other fails.
TEST_F(UiFieldPairs, EveryFieldReadByAnotherIsRefusedNamingBothWhenTheyCannotBeTogether)
{
    // The seniority book holds a rule (the demo firm keeps none), so that
    // its grid has a row to type into.
    doc.infoBase.firm.stag[0].kod = 4;
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    QStringList faults;
    for (const FieldPair& pair : kFieldPairs) faults << WalkPair(frame, pair);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

#endif
