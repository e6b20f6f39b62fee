// The figure fields of a screen or an editor, declared in one place with
// their kind (values/TypedFigure.h) and read through ReadFigure: a field is
// read when it is left and at Enter; a text that does not read is said, naming
// the field, stays on screen selected, and the focus goes back to the field,
// which stays editable. The screen's save reads them all (ReadAll) before it
// stores anything. Date fields are NullableDateEdit, which reads its own text
// by ReadTypedDate.
#pragma once

#include "shell/ui/ControlMap.h"
#include "values/TypedFigure.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QLineEdit;

using kalvor::FigureField;

// The property that marks a declared figure field with its kind.
inline const char* const kFigureKindProperty = "kalvorFigureKind";

class FigureFields : public QObject {
    Q_OBJECT
public:
    // Guards the declared fields found in `controls` (fields it does not
    // hold are skipped); `owner` owns the guard and the message boxes.
    FigureFields(QWidget* owner, const ControlMap& controls, const std::vector<FigureField>& fields);

    // Reads every field; the first that does not read is said and focused.
    bool ReadAll();
    // What a declared field's text gives (units of its last place); refused or
    // undeclared: not read.
    kalvor::FigureReading Reading(int controlId) const;
    // A field's units; `stored` when its text does not read (the field keeps
    // its value).
    long long UnitsOr(int controlId, long long stored) const;
    // Called before the focus goes back to a refused field (a screen that
    // greys its fields while the focus is elsewhere makes them editable).
    void OnRefusal(std::function<void()> beforeFocus) { m_beforeFocus = std::move(beforeFocus); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Guarded {
        QPointer<QLineEdit> edit;
        FigureField field;
    };
    const Guarded* Find(const QObject* edit) const;
    // Says a refused text and gives the field the focus back; false when refused.
    bool Read(const Guarded& guarded);
    void ReadWhenLeft(QLineEdit* edit);

    QWidget* m_owner;
    std::vector<Guarded> m_fields;
    std::function<void()> m_beforeFocus;
    bool m_saying = false;
};
