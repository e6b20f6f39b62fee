// Forms keep their controls by the numbers the program's code uses
// (1103, 1252 ...): control(1103) where the code names a control.
#pragma once

#include <QHash>
#include <QWidget>

// The dynamic property that carries a control's number on its widget, so that
// focus tracking finds the number of whatever widget takes the focus.
inline const char* const kControlIdProperty = "kalvorControlId";

class ControlMap {
public:
    void SetControl(int id, QWidget* w)
    {
        m_controls.insert(id, w);
        if (w)
            w->setProperty(kControlIdProperty, id);
    }
    QWidget* control(int id) const { return m_controls.value(id, nullptr); }
    template <class T>
    T* controlAs(int id) const
    {
        return qobject_cast<T*>(control(id));
    }
    const QHash<int, QWidget*>& controls() const { return m_controls; }

    // The number of a control, -1 when the widget has none.
    static int ControlId(const QWidget* w)
    {
        if (!w)
            return -1;
        const QVariant v = w->property(kControlIdProperty);
        return v.isValid() ? v.toInt() : -1;
    }

private:
    QHash<int, QWidget*> m_controls;
};
