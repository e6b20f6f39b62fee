#include "shell/ui/TypedInput.h"

#include "grid/GridCtrl.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {

// One refusal is said once for one attempt: while the box of an input's
// refusal is up, and until the program is back in its event loop, the same
// refusal is not said again.
struct SaidRefusal {
    QPointer<QObject> input;
    QString text;
};
SaidRefusal& LastSaid()
{
    static SaidRefusal said;
    return said;
}

constexpr char kHoldName[] = "kalvorRefusalHold";

// What a person does to go to another widget: a click or a key.
bool IsAttemptToLeave(const QEvent& event)
{
    return event.type() == QEvent::MouseButtonPress || event.type() == QEvent::MouseButtonDblClick ||
           event.type() == QEvent::KeyPress;
}

// The hold of a refused input: a child of the input, watching the
// program's events from the refusal until the input no longer holds.
class RefusalHoldFilter : public QObject {
public:
    RefusalHoldFilter(QWidget* held, HeldRefusal refusal)
        : QObject(held), m_held(held), m_refusal(std::move(refusal))
    {
        setObjectName(QLatin1String(kHoldName));
    }
    bool Holds() const { return m_refusal.holds(); }
    void SayAgain() const { m_refusal.sayAgain(); }
    void GiveUp() const { m_refusal.giveUp(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto* target = static_cast<QWidget*>(watched);
        // The window's X (or any close of the held input's window) is one
        // more way out.
        const bool closing = event->type() == QEvent::Close && target == m_held->window();
        if (!closing && !IsAttemptToLeave(*event))
            return false;
        // A key or click the input (or a widget within it) leaves goes on to
        // its parents: that is no attempt to leave.
        if (!closing && (target->window() != m_held->window() || target == m_held || m_held->isAncestorOf(target) ||
                         target->isAncestorOf(m_held)))
            return false;
        if (!Holds()) {
            qApp->removeEventFilter(this);
            return false;
        }
        // Said now: a click has already moved the focus (and a refusal said
        // at that focus change is this attempt's too).
        SayAgain();
        event->ignore();
        return true;
    }

private:
    QWidget* m_held;
    HeldRefusal m_refusal;
};

const RefusalHoldFilter* HoldWithin(const QWidget* within)
{
    for (QObject* hold : within->findChildren<QObject*>(QLatin1String(kHoldName)))
        if (const auto* filter = dynamic_cast<const RefusalHoldFilter*>(hold); filter && filter->Holds())
            return filter;
    return nullptr;
}

// A screen that greyed the refused input's form while the focus was
// elsewhere (the selection strip) makes it editable again.
void EnableUpToWindow(QWidget* input)
{
    for (QWidget* w = input; w && !w->isWindow(); w = w->parentWidget())
        if (!w->isEnabled())
            w->setEnabled(true);
}

class InputKindGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && IsInputWithoutKind(edit))
                qFatal("An input was made without a kind: %s of %s in %s", qPrintable(edit->objectName()),
                       edit->parentWidget() ? edit->parentWidget()->metaObject()->className() : "",
                       edit->window()->metaObject()->className());
        return QObject::eventFilter(watched, event);
    }
};

// The grids say a refused cell in the program's box, as every other
// refusal, and the cell holds the focus as a refused field does.
[[maybe_unused]] const bool kGridRefusalsAsInputs = [] {
    CGridCtrl::SetRefusalSayer([](QWidget* owner, const QString& message) { SayRefusalOnce(owner, message, message); });
    CGridCtrl::SetRefusalHolder(
        [](QWidget* held, std::function<bool()> holds, std::function<void()> sayAgain, std::function<void()> giveUp) {
            HoldRefusal(held, {std::move(holds), std::move(sayAgain), std::move(giveUp)});
        });
    return true;
}();

} // namespace

InputKind InnInputKind(const QString& name, int length)
{
    return {
        name, kalvor::TextFigure(length), {}, [name](const QString& text) { return kalvor::InnRefusal(name, text); }};
}

CTypedEdit::CTypedEdit(InputKind kind, QWidget* parent) : QLineEdit(parent)
{
    SetKind(std::move(kind));
    // A text the screen puts in (setText leaves it unmodified) is one taken.
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!isModified())
            m_taken = text();
    });
}

void CTypedEdit::SetKind(InputKind kind)
{
    m_kind = std::move(kind);
    setProperty(kInputKindProperty, int(m_kind.rule.kind));
    if (m_kind.rule.kind == kalvor::FigureKind::Text && m_kind.rule.max > 0)
        setMaxLength(int(m_kind.rule.max));
}

void SayRefusalOnce(QWidget* input, const QString& text, const QString& message)
{
    if (LastSaid().input == input && LastSaid().text == text)
        return;
    LastSaid() = {input, text};
    KalvorMessageBox(message, MB_OK | MB_ICONERROR, QString(), input->window());
    // The attempt ends when the program is back in its event loop.
    QTimer::singleShot(0, qApp, [] { LastSaid() = {}; });
}

void HoldRefusal(QWidget* held, HeldRefusal refusal)
{
    QObject* hold = held->findChild<QObject*>(QLatin1String(kHoldName), Qt::FindDirectChildrenOnly);
    if (!hold)
        hold = new RefusalHoldFilter(held, std::move(refusal));
    qApp->installEventFilter(hold); // once: installed again, it is only moved first
}

bool RefusalHeldIn(const QWidget* within) { return HoldWithin(within) != nullptr; }

bool SayHeldRefusal(QWidget* within)
{
    const RefusalHoldFilter* held = HoldWithin(within);
    if (held)
        held->SayAgain();
    return held != nullptr;
}

void GiveUpHeldRefusal(QWidget* within)
{
    if (const RefusalHoldFilter* held = HoldWithin(within))
        held->GiveUp();
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
    if (reading.read) {
        m_taken = text();
        m_refused.reset();
        return true;
    }
    m_refused = text();
    // Held before the box is up: nothing greys the form meanwhile.
    if (m_holds)
        HoldRefusal(this, {[this] { return isVisible() && !Reading().read; }, [this] { Read(); },
                           [this] { GiveUpUnreadText(); }});
    SayRefusalOnce(this, text(), reading.refusal);
    if (m_beforeFocus)
        m_beforeFocus();
    EnableUpToWindow(this);
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}

bool CTypedEdit::HoldsUnreadText() const { return text() != m_taken && !Reading().read; }

bool CTypedEdit::ReadTyped() { return !isModified() || text().trimmed().isEmpty() || Read(); }

void CTypedEdit::GiveUpUnreadText()
{
    if (HoldsUnreadText())
        setText(m_taken);
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
    // Esc on the text refused puts the taken text back and ends there; on
    // any other text it goes on to the screen (QLineEdit leaves it), giving
    // up a typed text that does not read.
    const bool refused = m_refused == text() && HoldsUnreadText();
    if (event->key() == Qt::Key_Escape)
        GiveUpUnreadText();
    if (event->key() == Qt::Key_Escape && refused) {
        selectAll();
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
