// Reads a screen as the person at it reads it: by the words on it (the label
// beside a field, the title of a box, the name of a line) or by the one part
// of its kind it shows (its dialog, its grid), rather than by the screen's
// own members.
#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

// The text a widget shows: a field's or a label's text, a text box's lines, a
// button's caption, a group box's title.
inline QString ShownText(const QWidget* w)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(w))
        return text->toPlainText();
    if (auto* button = qobject_cast<const QAbstractButton*>(w))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(w))
        return box->title();
    return QString();
}

// The one widget of type T within `screen` (the dialog of a view). Null, and
// the test failed, when there is none or more than one.
template <class T>
T* ScreenPart(const QWidget* screen)
{
    const QList<T*> found = screen->findChildren<T*>();
    if (found.size() != 1)
        ADD_FAILURE() << "the screen shows " << found.size() << " parts of type " << T::staticMetaObject.className();
    return found.size() == 1 ? found.front() : nullptr;
}

// The widget within `screen` that `name` names, looked for in this order: the
// field that a label reading `name` stands for (its buddy: "К выдаче" names
// the sum beside it); the one widget in a group box titled `name` ("Ошибок"
// names the count in it); the widget whose object name is `name` ("outcome").
// Null, and the test failed, when there is none.
inline QWidget* ScreenPart(const QWidget* screen, const QString& name)
{
    for (const QLabel* label : screen->findChildren<QLabel*>())
        if (label->text() == name && label->buddy())
            return label->buddy();
    for (const QGroupBox* box : screen->findChildren<QGroupBox*>())
        if (box->title() == name) {
            const QList<QWidget*> inside = box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            if (inside.size() == 1)
                return inside.front();
        }
    if (auto* named = screen->findChild<QWidget*>(name))
        return named;
    ADD_FAILURE() << "nothing on the screen is named \"" << name.toStdString() << '"';
    return nullptr;
}

// The text of the part of `screen` that `name` names (ScreenPart).
inline QString ScreenText(const QWidget* screen, const QString& name)
{
    const QWidget* part = ScreenPart(screen, name);
    return part ? ShownText(part) : QString();
}

// The title on a screen's frame: the title of the group box that frames it
// (the first one laid directly on it).
inline QString ScreenTitle(const QWidget* screen)
{
    const QGroupBox* frame = screen->findChild<QGroupBox*>(QString(), Qt::FindDirectChildrenOnly);
    if (!frame)
        ADD_FAILURE() << "the screen has no frame with a title";
    return frame ? frame->title() : QString();
}
