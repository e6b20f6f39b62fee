// The frame over the demo base in a temporary folder, with the screens a test
// registers, the templates of the data folder, a print command that opens
// nothing and message boxes recorded; `answer` is the test's own timer for the
// dialogs its runs open.
#pragma once

#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

class DemoScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        using namespace kalvor;
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + u'/';
        ASSERT_NO_FATAL_FAILURE(OpenDemo());
        platform::SetWorkingFolder(QStringLiteral(KALVOR_DATA_DIR));
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        Register(registry);
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    void TearDown() override
    {
        using namespace kalvor;
        answer.stop();
        frame.reset();
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
        platform::SetWorkingFolder(QString());
        infobase::CloseBase(doc.infoBase);
    }
    // The screens the test opens.
    virtual void Register(CommandRegistry& screens) = 0;
    // The demo as it is made, in April 2011.
    virtual void OpenDemo() { kalvor::testsupport::OpenDemoDocument(doc, folder); }

    QTemporaryDir dir;
    QString folder;
    MessageRecorder recorder;
    CKalvorDoc doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    QTimer answer;
};

#endif
