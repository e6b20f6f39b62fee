// Helpers of the shell's screen tests: a recorder in place of the message
// box, bases in a temporary working folder, and key helpers for the real
// widgets.
#pragma once

#include "infobase/InfoBaseDb.h"
#include "shell/ui/KalvorMessageBox.h"
#include "support/TestFixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

struct MessageRecorder {
    struct Entry {
        QString text;
        int flags;
        bool secondIsDefault = false; // "Нет" (or "Отмена") is the default button
    };
    std::vector<Entry> boxes;
    int answer = IDYES;
    MessageBoxHandler previous;

    MessageRecorder()
    {
        previous = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
            boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
            if (r.buttons == MB_OK)
                return IDOK;
            return answer;
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler(previous); }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto& b : boxes) t << b.text;
        return t;
    }
};

// Shows a top-level widget and makes it the active window, so that its
// window shortcuts act on key presses.
inline bool ShowActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w, 2000);
}

// Types a text key by key; characters outside ASCII (Cyrillic) go as key
// events that carry their text.
inline void TypeText(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Turns the event loop until the condition holds; false after ms milliseconds
// without it.
inline bool WaitFor(const std::function<bool()>& cond, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!cond()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Lets queued deletions and calls run.
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

// Puts beside the bases what the program finds in its working folder: the
// reference files (those of the test fixture) and the template of new bases.
inline void MakeWorkingFolderData(const QString& folder)
{
    namespace ib = kalvor::infobase;
    ib::CRefFiles ref(folder);
    ib::BuildFixtureRefFiles(ref);
    ref.WriteNalog();
    ref.WriteProfi();
    ref.WritePost();
    ref.WriteTitle();
    ref.WriteVichet();
    ref.WriteSbor();
    ref.WriteBank();
    ref.WriteOpaque();
    const QString templateName = QStringLiteral("empty-template");
    ib::CreateSchemaBase(folder, templateName);
    QFile::rename(ib::BaseFilePath(folder, templateName), ib::TemplateFilePath(folder));
}

// Makes the information base "<name>.sqlite" in the folder and stores that
// password in it, as the program's own loaders and savers do.
inline void MakeTestBase(const QString& folder, const QString& name, const QString& password = QString())
{
    namespace ib = kalvor::infobase;
    ib::CreateSchemaBase(folder, name);
    if (password.isEmpty())
        return;
    ib::CInfoBase base;
    base.workFolder = folder;
    base.baseName = name;
    ib::OpenBase(base);
    base.config.parol = password;
    ib::SaveConfig(base);
    ib::CloseBase(base);
}

// Runs work on a worker thread while each modal dialog that comes up is
// handed to the next step of the script; returns the number of steps that
// were not used.
inline std::size_t RunWithDialogScript(const std::function<void()>& work,
                                       std::deque<std::function<void(QWidget*)>> script)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    QPointer<QWidget> handled; // a dialog made later may take the address of a closed one
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == handled || script.empty())
            return;
        handled = modal;
        auto step = std::move(script.front());
        script.pop_front();
        step(modal);
    });
    answer.start(5);
    while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
    return script.size();
}
