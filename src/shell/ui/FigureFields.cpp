#include "shell/ui/FigureFields.h"

#include "shell/ui/KalvorMessageBox.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>

FigureFields::FigureFields(QWidget* owner, const ControlMap& controls, const std::vector<FigureField>& fields)
    : QObject(owner), m_owner(owner)
{
    for (const FigureField& field : fields) {
        auto* edit = qobject_cast<QLineEdit*>(controls.control(field.controlId));
        if (!edit)
            continue;
        edit->setProperty(kFigureKindProperty, int(field.rule.kind));
        edit->installEventFilter(this);
        m_fields.push_back({edit, field});
    }
}

const FigureFields::Guarded* FigureFields::Find(const QObject* edit) const
{
    for (const Guarded& guarded : m_fields)
        if (guarded.edit == edit)
            return &guarded;
    return nullptr;
}

kalvor::FigureReading FigureFields::Reading(int controlId) const
{
    for (const Guarded& guarded : m_fields)
        if (guarded.field.controlId == controlId && guarded.edit)
            return kalvor::ReadFigure(guarded.field.name, guarded.field.rule, guarded.edit->text());
    return {};
}

long long FigureFields::UnitsOr(int controlId, long long stored) const
{
    const kalvor::FigureReading reading = Reading(controlId);
    return reading.read ? (long long)reading.units : stored;
}

bool FigureFields::Read(const Guarded& guarded)
{
    QLineEdit* edit = guarded.edit;
    if (!edit)
        return true;
    const kalvor::FigureReading reading = kalvor::ReadFigure(guarded.field.name, guarded.field.rule, edit->text());
    if (reading.read)
        return true;
    {
        const QScopedValueRollback<bool> saying(m_saying, true);
        KalvorMessageBox(reading.refusal, MB_OK | MB_ICONERROR, QString(), m_owner);
    }
    if (m_beforeFocus)
        m_beforeFocus();
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
    return false;
}

bool FigureFields::ReadAll()
{
    for (const Guarded& guarded : m_fields)
        if (!Read(guarded))
            return false;
    return true;
}

void FigureFields::ReadWhenLeft(QLineEdit* edit)
{
    // Read once the focus has moved: a box shown inside the focus change
    // would have the change give the focus away again afterwards.
    QTimer::singleShot(0, this, [this, field = QPointer<QLineEdit>(edit)] {
        const Guarded* guarded = field ? Find(field) : nullptr;
        if (guarded && !m_saying && field->isVisible() && field->isModified() && Read(*guarded))
            field->setModified(false);
    });
}

bool FigureFields::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    const Guarded* guarded = edit ? Find(edit) : nullptr;
    if (!guarded || m_saying)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            ReadWhenLeft(edit);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Read(*guarded))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
