// The frame's screens over a copy of the demo base in a temporary working
// folder, registered as the program registers them, with today fixed at the
// end of April 2011 and the program's real message boxes shown, answered
// and recorded.
#pragma once

#include "DemoFirm.h"
#include "app/RegisterScreens.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/InfoBaseService.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

class DemoFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace kalvor;
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(testsupport::MakeDemoFolder(folder));
        // The reference files are the folder's own: a book left saves its file.
        for (const char* name :
             {"nalog", "profi", "post", "title", "sbor", "lazer", "vichet", "bank", "palitra", "country"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/%1").arg(QLatin1String(name)),
                                    folder + QLatin1String(name)));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc.setWorkFolder(folder);
        doc.refFiles.setFolder(folder);
        ASSERT_TRUE(doc.refFiles.OpenAll());
        service = std::make_unique<InfoBaseService>(doc.infoBase, folder);
        doc.SetBase(service.get());
        ASSERT_FALSE(service->Open(tools::DemoBaseName()).failed);
        RegisterScreens(registry);
    }
    // Shows the frame active at 1024x768, then has `answer` call
    // `answerDialogs` every `everyMs` for the dialogs a screen opens.
    static bool ShowAt1024x768(CMainFrame& frame, QTimer& answer, void (*answerDialogs)(), int everyMs)
    {
        frame.resize(1024, 768);
        if (!ShowActive(&frame))
            return false;
        QObject::connect(&answer, &QTimer::timeout, answerDialogs);
        answer.start(everyMs);
        return true;
    }
    // Closes a modal dialog that a screen may show (a question the test does
    // not answer; its message boxes are the recorder's); for ShowAt1024x768.
    static void CloseModalDialogs()
    {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            dialog && !qobject_cast<QMessageBox*>(dialog))
            dialog->reject();
    }
    // The screen of the command as the quick buttons open it: on employee
    // 109 of the demo firm. Null for a blank screen.
    CCommonFormView* OpenOnQuickEmployee(CMainFrame& frame, int command)
    {
        doc.LastPersonnelNumber = 109;
        frame.RunCommand(command);
        Settle();
        CCommonFormView* view = frame.CurrentView();
        return view && view->metaObject() != &CEmptyView::staticMetaObject ? view : nullptr;
    }
    // The screen of the command opened on the employee, as his quick button
    // opens it, with its entry enabled for typing. Null for a blank screen.
    CCommonFormView* OpenForEntry(CMainFrame& frame, int command, int personnelNumber)
    {
        doc.LastPersonnelNumber = personnelNumber;
        doc.OpenWithLastEmployee = 1;
        frame.RunCommand(command);
        doc.OpenWithLastEmployee = 0;
        Settle();
        CCommonFormView* view = frame.CurrentView();
        if (!view || view->metaObject() == &CEmptyView::staticMetaObject)
            return nullptr;
        view->EnableEntry(true);
        Settle();
        return view;
    }
    void TearDown() override
    {
        using namespace kalvor;
        // A view the test switched away from goes while the document it
        // saves into still lives.
        Settle();
        doc.SetBase(nullptr);
        if (service)
            service->Close();
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
    }

    QTemporaryDir dir;
    QString folder;
    CKalvorDoc doc;
    std::unique_ptr<InfoBaseService> service;
    CommandRegistry registry;
    MessageRecorder boxes{MessageRecorder::RealBoxes};
    kalvor::ScopedToday today{QDate(2011, 4, 29)};
};

#endif
