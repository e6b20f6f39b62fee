// One road for every message box of the program. Screens call KalvorMessageBox;
// tests replace the handler with a recorder, which answers the program's real
// boxes or stands in for them.
#pragma once

#include "platform/Db.h"
#include "values/Messages.h"

#include <QString>
#include <exception>
#include <functional>

class QWidget;

// Result and button codes kept as the program's screens compare them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

inline constexpr int MB_OK = 0x0;
inline constexpr int MB_OKCANCEL = 0x1;
inline constexpr int MB_YESNOCANCEL = 0x3;
inline constexpr int MB_YESNO = 0x4;

inline constexpr int MB_ICONNONE = 0x00;
inline constexpr int MB_ICONERROR = 0x10;
inline constexpr int MB_ICONQUESTION = 0x20;
inline constexpr int MB_ICONWARNING = 0x30;
inline constexpr int MB_ICONINFORMATION = 0x40;
// The second button (Нет of Да/Нет) is the default one; without it the first.
inline constexpr int MB_DEFBUTTON2 = 0x100;

// The caption used by every message box of the program.
inline const char* const kMessageCaption = "Kalvor";

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    int buttons = MB_OK;
    int icon = MB_ICONNONE;
    bool secondIsDefault = false; // MB_DEFBUTTON2
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a message box (text, caption, buttons | icon) owned by the main window
// when no owner is given; returns IDOK, IDCANCEL, IDYES or IDNO. Called on a
// worker thread, it has the user-interface thread show the box and waits for
// the answer (IDCANCEL once the worker is told to stop).
int KalvorMessageBox(const QString& text, int flags = MB_OK, const QString& caption = QString(),
                     QWidget* owner = nullptr);

// Asks before a file that a name typed by hand holds is replaced: "Файл ...
// существует. Заменить?", "Нет" the default; true when answered "Да".
bool ConfirmFileReplaced(const QString& path, QWidget* owner = nullptr);

// The program's own box for the request, shown modal with its own event loop
// (what KalvorMessageBox shows when no other handler is installed).
int ShowMessageBox(const MessageBoxRequest& request);

// Installs another handler (a test's recorder); returns the previous one.
// An empty handler restores the real message box.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows an exception caught where a command or the start-up ends: a database
// error as ShowComError does, any other its text with the error icon.
void ShowException(const std::exception& error, QWidget* owner = nullptr);

// Shows a database error caught by a screen ("ОБНАРУЖЕНА ОШИБКА: ...", a
// refusal in a few lines naming `what` was refused when given:
// kalvor::DbErrorText); the caller goes on.
void ShowComError(const kalvor::db::DbError& error, const QString& what = QString());
