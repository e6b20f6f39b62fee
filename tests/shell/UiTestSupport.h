// Helpers of the shell's screen tests: a recorder in place of the message
// box, bases in a temporary working folder, and key helpers for the real
// widgets.
#pragma once

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorApp.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "support/TestFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstring>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <thread>
#include <vector>

// Records the program's message boxes. By default it stands in for them and
// answers at once (OK, or `answer` to a question). With RealBoxes the
// program's own box is shown, modal with its own event loop, a timer answers
// it, and once it is gone the window it stood over is made active again, as
// a window manager does: what a screen does meanwhile (queued reads, focus
// changes, the window's activation) runs as it runs for a person.
struct MessageRecorder {
    struct Entry {
        QString text;
        int flags;
        bool secondIsDefault = false; // "Нет" (or "Отмена") is the default button
    };
    enum Boxes { StandIn, RealBoxes };
    std::vector<Entry> boxes;
    int answer = IDYES;
    MessageBoxHandler previous;

    explicit MessageRecorder(Boxes shown = StandIn)
    {
        previous = SetMessageBoxHandler([this, shown](const MessageBoxRequest& r) {
            boxes.push_back({r.text, r.buttons | r.icon, r.secondIsDefault});
            const int wanted = r.buttons == MB_OK ? IDOK : answer;
            return shown == RealBoxes ? AnswerRealBox(r, wanted) : wanted;
        });
    }
    ~MessageRecorder() { SetMessageBoxHandler(previous); }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto& b : boxes) t << b.text;
        return t;
    }

    static int AnswerRealBox(const MessageBoxRequest& r, int wanted)
    {
        static const std::map<int, QString> kButtons{{IDOK, QStringLiteral("OK")},
                                                     {IDYES, QStringLiteral("Да")},
                                                     {IDNO, QStringLiteral("Нет")},
                                                     {IDCANCEL, QStringLiteral("Отмена")}};
        // Its own box: one with its text that was not up before; a box said
        // while it is up is answered first (by its own timer or this one),
        // then this one.
        QList<QWidget*> before;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(w) && w->isVisible())
                before << w;
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || before.contains(box) || box->text() != r.text)
                return;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == kButtons.at(wanted)) {
                    button->click();
                    return;
                }
            box->reject();
        });
        answerer.start(1);
        QPointer<QWidget> under = r.owner ? r.owner->window() : nullptr;
        const int result = ShowMessageBox(r);
        QTimer::singleShot(0, qApp, [under] {
            if (under && under->isVisible())
                under->activateWindow();
        });
        return result;
    }
};

// The places of two arrays of doubles whose bytes differ (a sign of zero
// counts), each as "index: before -> after": empty when the arrays are equal
// byte for byte.
template <std::size_t N>
std::string DoublesChanged(const std::array<double, N>& before, const std::array<double, N>& after)
{
    QStringList changed;
    for (std::size_t i = 0; i < N; ++i)
        if (std::memcmp(&before[i], &after[i], sizeof(double)) != 0)
            changed << QStringLiteral("%1: %2 -> %3").arg(i).arg(before[i], 0, 'g', 17).arg(after[i], 0, 'g', 17);
    return changed.join(QStringLiteral("; ")).toStdString();
}

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
    // A server keeps the bases of earlier tests.
    if (kalvor::db::ServerInUse())
        ib::DeleteBase(folder, templateName);
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

// A date field driven as an accountant types: a click, digits and dots, Tab.
// The three typed forms replace the field's date and Tab goes on to next;
// 31.02.2011 is refused with a message and the field keeps its date and the
// focus; an emptied field holds no date; Up in an empty field, and the
// calendar (Alt+Down), start from the reporting month, with Russian names.
inline void CheckTypedDates(NullableDateEdit* field, QWidget* next, const QDate& reportingMonth)
{
    CKalvorApp::SetProgramLocale();
    MessageRecorder boxes;
    auto typeAndTab = [&](const QString& text) {
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, QPoint(10, field->height() / 2));
        ASSERT_EQ(QApplication::focusWidget(), field);
        TypeText(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    };
    const struct {
        const char* typed;
        QDate date;
        const char* shown;
    } forms[] = {{"11.05.2011", QDate(2011, 5, 11), "11.05.2011"},
                 {"12.05.11", QDate(2011, 5, 12), "12.05.2011"},
                 {"1.5.2011", QDate(2011, 5, 1), "01.05.2011"}};
    for (const auto& form : forms) {
        typeAndTab(QString::fromUtf8(form.typed));
        EXPECT_EQ(field->Date(), form.date) << form.typed;
        EXPECT_EQ(field->text(), QString::fromUtf8(form.shown));
        EXPECT_EQ(QApplication::focusWidget(), next) << form.typed;
    }
    EXPECT_TRUE(boxes.boxes.empty());

    typeAndTab(QStringLiteral("31.02.2011"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    // The field is named by its label when it has one.
    const QString where =
        field->FieldName().isEmpty() ? QString() : QStringLiteral("в поле \"%1\": ").arg(field->FieldName());
    EXPECT_EQ(boxes.boxes[0].text, QStringLiteral("Некорректная дата ") + where +
                                       QStringLiteral("31.02.2011.\nДата вводится как ДД.ММ.ГГГГ или ДД.ММ.ГГ"));
    // The field keeps the typed text, selected, and its date behind it.
    EXPECT_EQ(field->Date(), QDate(2011, 5, 1));
    EXPECT_EQ(field->text(), QStringLiteral("31.02.2011"));
    EXPECT_EQ(field->selectedText(), QStringLiteral("31.02.2011"));
    EXPECT_EQ(QApplication::focusWidget(), field);

    // The whole text is selected: Delete empties the field, and no date is behind it.
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClick(field, Qt::Key_Tab);
    EXPECT_TRUE(field->IsNull());
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(QApplication::focusWidget(), next);
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->Date(), reportingMonth);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(field->Date(), reportingMonth.addDays(1));

    // The calendar of an empty field opens on the reporting month, in Russian;
    // Right and Enter choose its second day.
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClick(field, Qt::Key_Down, Qt::AltModifier);
    QCalendarWidget* calendar = field->Calendar();
    ASSERT_NE(calendar, nullptr);
    ASSERT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->yearShown(), reportingMonth.year());
    EXPECT_EQ(calendar->monthShown(), reportingMonth.month());
    EXPECT_EQ(calendar->selectedDate(), reportingMonth);
    const auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->text().toLower(), QLocale(QLocale::Russian).standaloneMonthName(reportingMonth.month()).toLower());
    EXPECT_EQ(calendar->locale().dayName(1, QLocale::LongFormat), QStringLiteral("понедельник"));
    QWidget* days = calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_calendarview"));
    ASSERT_NE(days, nullptr);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Return);
    Settle();
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(field->Date(), reportingMonth.addDays(1));
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

// A way a person tries to leave a refused input within its window (a click
// on another field, on another cell, on a button that saves or closes): its
// name as the faults say it, and the act.
struct WayOut {
    QString name;
    std::function<void()> act;
};

// A refused text typed into an input is held on every way out of it: Tab,
// then each of `ways`. Each attempt says one box, the first naming `name`,
// and the input (`input` finds it: a field, or a grid's editor) keeps the
// text with the focus, so that the next key reaches it. The faults found,
// each beginning with `name`; empty when every way holds.
inline QStringList HeldOnEveryWayOut(MessageRecorder& boxes, const std::function<QLineEdit*()>& input,
                                     const QString& name, const QString& text, const std::vector<WayOut>& ways)
{
    QStringList faults;
    const auto attempt = [&](const QString& way, const std::function<void()>& act) {
        const std::size_t said = boxes.boxes.size();
        act();
        Settle();
        if (boxes.boxes.size() != said + 1)
            faults << QStringLiteral("%1: %2 says %3 boxes").arg(name, way).arg(boxes.boxes.size() - said);
        else if (!boxes.boxes.back().text.contains(name))
            faults << QStringLiteral("%1: %2 says \"%3\"").arg(name, way, boxes.boxes.back().text);
        QLineEdit* held = input();
        if (!held || held->text() != text || QApplication::focusWidget() != held || !held->isEnabled())
            faults << QStringLiteral("%1: after %2 the input does not hold \"%3\" with the focus").arg(name, way, text);
    };
    QLineEdit* field = input();
    if (!field)
        return {QStringLiteral("%1: no input").arg(name)};
    // The window active with the focus in the input first, as a person
    // types into a window that has come up.
    field->window()->activateWindow();
    field->setFocus(Qt::TabFocusReason);
    if (!WaitFor([field] { return QApplication::focusWidget() == field; }, 2000))
        return {QStringLiteral("%1: the input does not take the focus").arg(name)};
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    attempt(QStringLiteral("Tab"), [&] { QTest::keyClick(input(), Qt::Key_Tab); });
    for (const WayOut& way : ways) attempt(way.name, way.act);
    return faults;
}

// A click on the widget's middle, or on a point of it.
inline std::function<void()> ClickOn(QWidget* widget, QPoint at = QPoint())
{
    return [widget = QPointer<QWidget>(widget), at] {
        if (widget)
            QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    };
}
