// Field help: the floating hint window and the help list with marks that a
// task view shows beside the focused field or grid cell.
#pragma once

#include "values/Values.h"

#include <QLabel>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <utility>
#include <vector>

class QTableWidget;
class CCommonFormView;

// A grid that field help can place itself beside and type into. The entry
// grid implements it; a QAbstractItemView is handled without it.
class FieldHelpGrid {
public:
    virtual ~FieldHelpGrid() = default;
    // The current cell; false when there is none.
    virtual bool FieldHelpCurrentCell(int* row, int* col) const = 0;
    // The cell's rectangle in the grid widget's coordinates.
    virtual QRect FieldHelpCellRect(int row, int col) const = 0;
    virtual void FieldHelpSetCellText(int row, int col, const QString& text) = 0;
};

// Where the hint or list goes beside the field: the corner code names the
// corner of the window that touches the field.
//   0 below the field, left edges aligned;
//   1 left of the field, top edges aligned (fields of a right-hand column);
//   2 above the field, left edges aligned;
//   3 right of the field, top edges aligned (fields of a left-hand column).
QPoint PlaceBeside(const QRect& fieldGlobal, int corner, const QSize& size);
// The position moved so that a window of that size lies inside the area (as
// far as it fits; its top-left corner stays inside).
QPoint KeepInside(const QPoint& position, const QSize& size, const QRect& area);

// One help line: "code|name", with "|Mark" at the end when it can be marked.
struct HelpLine {
    QString code;
    QString name;
    bool markable = false;
};
HelpLine SplitHelpLine(const QString& line);

// Pick lists from tables of {text, code} pairs (the value layer's one builder).
using kalvor::BuildPickListFromPairs;
using kalvor::PickPair;

// Floating hint: one text, 20 pixels high per line, closed by the next key,
// click or change of focus. The Esc that closes it does nothing else.
class CHintWnd : public QLabel {
    Q_OBJECT
public:
    CHintWnd(const QString& text, int width, QWidget* owner);
    ~CHintWnd() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Options of ShowHelpList.
struct HelpListStyle {
    int corner = 3;
    bool multipleChoice = false; // lines ending "|Mark" can be marked
    int width = 300;
    int height = 200;
};

// The field-help list: a popup table of code and name. Enter or a double
// click types the current line's code into the field; with multiple choice,
// Space or Insert marks a markable line and Enter hands the marked codes to
// the view.
class CFieldHelpList : public QWidget {
    Q_OBJECT
public:
    CFieldHelpList(QWidget* owner, const QStringList& lines, const HelpListStyle& style);

    QTableWidget* table() const { return m_table; }
    // The codes of the marked lines, in list order.
    QStringList MarkedCodes() const;
    void ToggleMark(int row);
    void Choose();

signals:
    void chosen(const QString& code);
    void chosenMarked(const QStringList& codes);
    void cancelled();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableWidget* m_table;
    std::vector<HelpLine> m_lines;
    std::vector<bool> m_marks;
    bool m_multiple;
};
