#include "shell/ui/TypedInput.h"

#include "shell/ui/KalvorMessageBox.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

// One refusal is said once for one attempt: while the box of an input's
// refusal is up, and until the program is back in its event loop, the same
// refusal is not said again (a screen left with a refused input reads it at
// the focus change, at its save and at its leave).
struct SaidRefusal {
    QPointer<QObject> input;
    QString text;
};
SaidRefusal& LastSaid()
{
    static SaidRefusal said;
    return said;
}

bool AlreadySaid(const QObject* input, const QString& text)
{
    return LastSaid().input == input && LastSaid().text == text;
}

void SayRefusal(QLineEdit* input, const QString& message)
{
    LastSaid() = {input, input->text()};
    KalvorMessageBox(message, MB_OK | MB_ICONERROR, QString(), input->window());
    // The attempt ends when the program is back in its event loop.
    QTimer::singleShot(0, qApp, [] { LastSaid() = {}; });
}

// A line edit that is part of another control (a spin box, an editable combo
// box's list text) or of a file dialog of Qt's own is not one of the
// program's inputs.
bool IsPartOfAnotherControl(const QWidget* edit)
{
    for (const QWidget* w = edit->parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QComboBox*>(w) ||
            qobject_cast<const QFileDialog*>(w))
            return true;
    return false;
}

bool IsEditableLineEdit(const QLineEdit* edit)
{
    return !edit->isReadOnly() && edit->focusPolicy() != Qt::NoFocus && !IsPartOfAnotherControl(edit);
}

// The grid's in-place editor takes its kind from the grid's column (the grid
// checks it), so it is no input of its own here.
bool IsGridEditor(const QLineEdit* edit) { return edit->inherits("CInPlaceEdit"); }

class InputKindGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* edit = qobject_cast<QLineEdit*>(watched);
                edit && IsEditableLineEdit(edit) && !IsGridEditor(edit) && !HasInputKind(edit))
                qFatal("An input was made without a kind: %s of %s in %s", qPrintable(edit->objectName()),
                       edit->parentWidget() ? edit->parentWidget()->metaObject()->className() : "",
                       edit->window()->metaObject()->className());
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

InputKind InnInputKind(const QString& name, int length)
{
    return {
        name, kalvor::TextFigure(length), {}, [name](const QString& text) { return kalvor::InnRefusal(name, text); }};
}

CTypedEdit::CTypedEdit(InputKind kind, QWidget* parent) : QLineEdit(parent) { SetKind(std::move(kind)); }

void CTypedEdit::SetKind(InputKind kind)
{
    m_kind = std::move(kind);
    setProperty(kInputKindProperty, int(m_kind.rule.kind));
    if (m_kind.rule.kind == kalvor::FigureKind::Text && m_kind.rule.max > 0)
        setMaxLength(int(m_kind.rule.max));
}

kalvor::FigureReading ReadInput(const InputKind& kind, const QString& text)
{
    kalvor::FigureReading reading = kalvor::ReadFigure(kind.name, kind.rule, kind.book, text);
    if (reading.read && kind.also)
        if (QString refusal = kind.also(text); !refusal.isEmpty())
            return {false, 0, std::move(refusal)};
    return reading;
}

kalvor::FigureReading CTypedEdit::Reading() const { return ReadInput(m_kind, text()); }

long long CTypedEdit::UnitsOr(long long stored) const
{
    const kalvor::FigureReading reading = Reading();
    return reading.read ? (long long)reading.units : stored;
}

bool CTypedEdit::Read()
{
    const kalvor::FigureReading reading = Reading();
    if (reading.read)
        return true;
    if (!AlreadySaid(this, text()))
        SayRefusal(this, reading.refusal);
    if (m_beforeFocus)
        m_beforeFocus();
    setEnabled(true);
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}

void CTypedEdit::ReadWhenLeft()
{
    // Read once the focus has moved: a box shown inside the focus change
    // would have the change give the focus away again afterwards.
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && isModified() && Read())
            setModified(false);
    });
}

void CTypedEdit::focusOutEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        ReadWhenLeft();
    QLineEdit::focusOutEvent(event);
}

void CTypedEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !Read()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

CTypedEdit* ShownValueEdit(QWidget* parent)
{
    auto* field = new CTypedEdit({QString(), kalvor::TextFigure(0)}, parent);
    field->setReadOnly(true);
    return field;
}

QWidget* LabelledRow(CTypedEdit* input, int width)
{
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(input->Kind().name, row);
    label->setWordWrap(true);
    label->setFixedWidth(360);
    label->setBuddy(input);
    input->setParent(row);
    input->setFixedWidth(width);
    line->addWidget(label);
    line->addWidget(input);
    line->addStretch(1);
    return row;
}

void MarkDateInput(QLineEdit* edit) { edit->setProperty(kInputKindProperty, kDateInputKind); }

bool HasInputKind(const QWidget* widget) { return widget->property(kInputKindProperty).isValid(); }

bool ReadTypedInputs(QWidget* screen)
{
    for (CTypedEdit* edit : screen->findChildren<CTypedEdit*>())
        if (edit->isVisibleTo(screen) && !edit->Read())
            return false;
    return true;
}

void InstallInputKindGuard(QApplication& app)
{
#ifndef QT_NO_DEBUG
    app.installEventFilter(new InputKindGuard(&app));
#else
    Q_UNUSED(app);
#endif
}

QList<QLineEdit*> InputsWithoutKind(QWidget* root)
{
    QList<QLineEdit*> bare;
    for (QLineEdit* edit : root->findChildren<QLineEdit*>())
        if (IsEditableLineEdit(edit) && !IsGridEditor(edit) && !HasInputKind(edit))
            bare << edit;
    return bare;
}
