#include "shell/ui/KalvorMessageBox.h"

#include "platform/Db.h"
#include "platform/GuiBridge.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

namespace {

MessageBoxHandler& handlerSlot()
{
    static MessageBoxHandler handler;
    return handler;
}

QWidget* defaultOwner()
{
    QWidget* w = QApplication::activeWindow();
    if (!w) {
        const auto tops = QApplication::topLevelWidgets();
        for (QWidget* t : tops)
            if (t->isVisible() && t->inherits("QMainWindow"))
                return t;
    }
    return w;
}

} // namespace

int ShowMessageBox(const MessageBoxRequest& r)
{
    QMessageBox box(r.owner);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    // Russian button texts, whatever the Qt translation installed.
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    switch (r.buttons) {
    case MB_OKCANCEL:
        ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    case MB_YESNO:
        yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        break;
    case MB_YESNOCANCEL:
        yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
        no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
        cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
        break;
    default: ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole); break;
    }
    box.setEscapeButton(cancel ? cancel : (no ? no : ok));
    QPushButton* first = ok ? ok : yes;
    QPushButton* second = ok ? cancel : no;
    box.setDefaultButton(r.secondIsDefault && second ? second : first);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked && clicked == yes)
        return IDYES;
    if (clicked && clicked == no)
        return IDNO;
    if (clicked && clicked == ok)
        return IDOK;
    if (cancel)
        return IDCANCEL;
    return no ? IDNO : IDOK;
}

int KalvorMessageBox(const QString& text, int flags, const QString& caption, QWidget* owner)
{
    if (QThread::currentThread() != qApp->thread())
        return kalvor::platform::GuiBridge::runBlocking(
            [&] { return KalvorMessageBox(text, flags, caption, nullptr); });
    MessageBoxRequest r;
    r.owner = owner ? owner : defaultOwner();
    r.text = text;
    r.caption = caption.isEmpty() ? QString::fromUtf8(kMessageCaption) : caption;
    r.buttons = flags & 0x0F;
    r.icon = flags & 0xF0;
    r.secondIsDefault = (flags & MB_DEFBUTTON2) != 0;
    if (handlerSlot())
        return handlerSlot()(r);
    return ShowMessageBox(r);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler old = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return old;
}

void ShowComError(const kalvor::db::DbError& error, const QString& what)
{
    KalvorMessageBox(kalvor::DbErrorText(error, what), MB_OK | MB_ICONERROR);
}

void ShowException(const std::exception& error, QWidget* owner)
{
    if (const auto* dbError = dynamic_cast<const kalvor::db::DbError*>(&error)) {
        ShowComError(*dbError);
        return;
    }
    if (const auto* textError = dynamic_cast<const kalvor::TextError*>(&error)) {
        KalvorMessageBox(textError->message(), MB_OK | MB_ICONERROR, QString(), owner);
        return;
    }
    if (dynamic_cast<const std::bad_alloc*>(&error)) {
        KalvorMessageBox(QString::fromUtf8(kalvor::kMsgAllocFailed), MB_OK | MB_ICONERROR, QString(), owner);
        return;
    }
    KalvorMessageBox(QString::fromUtf8(error.what()), MB_OK | MB_ICONERROR, QString(), owner);
}

bool ConfirmFileReplaced(const QString& path, QWidget* owner)
{
    return KalvorMessageBox(QStringLiteral("Файл %1 существует. Заменить?").arg(QDir::toNativeSeparators(path)),
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), owner) == IDYES;
}
