// The inputs a person types into are made with their kind: a line edit is a
// CTypedEdit, given its name as the messages say it and its rule
// (values/TypedFigure.h: text of a length, a whole number or count in a range,
// a percent, money, hours:minutes, a number of a book) when it is created;
// a date field is a NullableDateEdit. There is no other way to make one:
// tools/check_sources.sh refuses a plain QLineEdit in src/, and a debug build
// stops on an editable line edit shown without a kind (InstallInputKindGuard).
//
// A typed edit reads its text through ReadFigure when it is left and at
// Enter. A text that does not read is said once, naming the field; the field
// keeps the text selected, stays enabled and gets the focus back, and what is
// stored stays as it was until a text that reads is taken. Until then the
// field holds the focus (HoldRefusal): a click or a key meant for another
// widget of its window says the refusal again and gives the focus back, and
// so does a close of its window. Esc gives a typed text that does not read
// up: the field shows again the text it last took. Esc on the text refused
// is the field's, on every screen: the focus stays; Esc on any other text
// goes on to the screen. A screen's save reads all its inputs first
// (ReadTypedInputs).
#pragma once

#include "values/TypedFigure.h"

#include <QLineEdit>
#include <QString>

#include <functional>
#include <optional>

class QApplication;

// The property that marks an input with its kind (the FigureKind's number; a
// date field's is kDateInputKind).
inline const char* const kInputKindProperty = "kalvorInputKind";
inline constexpr int kDateInputKind = 100;

// What an input takes: its name as messages say it, its rule and, for a
// number that must name a record, its book; `also`, where the store keeps a
// form the rule does not say (a holiday's "Д.М"), the refusal of a text the
// rule reads (empty when it is taken).
struct InputKind {
    QString name;
    kalvor::FigureRule rule;
    kalvor::BookCheck book = {};
    std::function<QString(const QString& text)> also = {};
};

// The kind of a taxpayer's number (ИНН): a text of the place's length that
// holds 10 digits (a firm's) or 12 (a person's), or nothing.
InputKind InnInputKind(const QString& name, int length);

// What a text gives an input of the kind: ReadFigure by its rule and book,
// then its own check.
kalvor::FigureReading ReadInput(const InputKind& kind, const QString& text);

class CTypedEdit : public QLineEdit {
    Q_OBJECT
public:
    CTypedEdit(InputKind kind, QWidget* parent);

    const InputKind& Kind() const { return m_kind; }
    // The kind settled once the form's values are laid out (a report
    // editor's whole field that holds a computed amount reads to the kopeck).
    void SetKind(InputKind kind);
    // What the text gives by the input's kind.
    kalvor::FigureReading Reading() const;
    // The text's units (of the rule's last place; minutes for hours); `stored`
    // when the text does not read.
    long long UnitsOr(long long stored) const;
    // Reads the text; a refusal is said (once for one attempt), the text
    // selected and the focus given back. False when refused.
    bool Read();
    // Reads a text typed into the input (Read); true when nothing was typed
    // or the input was emptied (a book screen's emptied number chooses nothing).
    bool ReadTyped();
    // Called before the focus goes back to the refused input (a screen that
    // greys its fields while the focus is elsewhere makes them editable).
    void OnRefusal(std::function<void()> beforeFocus) { m_beforeFocus = std::move(beforeFocus); }
    // A selection field chooses and stores nothing: refused, it keeps the
    // focus at that attempt but does not hold it (the focus goes to the
    // entry freely, and the field is read again when the strip is applied).
    void LeaveFreelyWhenRefused() { m_holds = false; }

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ReadWhenLeft();
    // Whether the field shows a typed text that does not read.
    bool HoldsUnreadText() const;
    // Esc: a typed text that does not read goes, the field shows the text it
    // last took (put there by the screen, or read).
    void GiveUpUnreadText();

    InputKind m_kind;
    std::function<void()> m_beforeFocus;
    QString m_taken;
    std::optional<QString> m_refused; // the text last refused, until a text is taken
    bool m_holds = true;
};

// The most characters of a file's path a field takes.
inline constexpr int kPathLength = 259;

// A line edit that only shows a value (a total, a file's path): read only,
// of the text kind, never typed into.
CTypedEdit* ShownValueEdit(QWidget* parent);

// A row of a form laid one row under the other: the input's label (its
// kind's name, wrapped, the input its buddy), then the input of the given
// width.
QWidget* LabelledRow(CTypedEdit* input, int width);

// Marks a date field as an input of its kind (NullableDateEdit does it itself).
void MarkDateInput(QLineEdit* edit);
// Whether the line edit is an input a person types into that was made
// without a kind: editable, not part of another control (a spin box, an
// editable combo box's text, a file dialog of Qt's own), not the grid's
// in-place editor (that takes its kind from the grid's column), and not
// marked with a kind.
inline bool IsInputWithoutKind(const QLineEdit* edit)
{
    if (edit->isReadOnly() || edit->focusPolicy() == Qt::NoFocus || edit->inherits("CInPlaceEdit") ||
        edit->property(kInputKindProperty).isValid())
        return false;
    for (const QWidget* w = edit->parentWidget(); w; w = w->parentWidget())
        if (w->inherits("QAbstractSpinBox") || w->inherits("QComboBox") || w->inherits("QFileDialog"))
            return false;
    return true;
}

// Reads every typed input within the widget, in the order they were made; the first that
// does not read is said and focused, and false returned.
bool ReadTypedInputs(QWidget* screen);

// A refusal an input holds: `holds` tells whether it is still open,
// `sayAgain` says it and gives the focus back, `giveUp` gives the refused
// text up (the input shows what it stored).
struct HeldRefusal {
    std::function<bool()> holds;
    std::function<void()> sayAgain;
    std::function<void()> giveUp;
};
// A refused input (`held`: a typed edit, or a grid with a refused cell) holds
// the focus while the refusal holds: a press of a mouse button or a key
// meant for another widget of its window, or a close of the window, is an
// attempt to leave it, which goes nowhere and has the refusal said again.
// The hold ends once the refusal no longer holds, or with the held widget.
void HoldRefusal(QWidget* held, HeldRefusal refusal);
// Whether a refused input within the widget holds the focus.
bool RefusalHeldIn(const QWidget* within);
// A command that gives the screen up on purpose (deleting what it shows)
// gives a refused text held within the widget up first, without a word.
void GiveUpHeldRefusal(QWidget* within);
// An attempt to leave the widget while a refused input within it holds the
// focus: the refusal is said again (once for the attempt), the focus goes
// back to it and the answer is true; false when nothing is held.
bool SayHeldRefusal(QWidget* within);
// Says a refusal of the input's text in the program's box, once for one
// attempt: the same refusal of the same text is not said again until the
// program is back in its event loop (a screen left with a refused input
// reads it at the focus change, at its save and at its leave).
void SayRefusalOnce(QWidget* input, const QString& text, const QString& message);

// A debug build stops when an editable line edit of the program's screens is
// shown without a kind (IsInputWithoutKind); a release build lets it pass.
void InstallInputKindGuard(QApplication& app);
