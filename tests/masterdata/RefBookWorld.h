#pragma once
// The reference-book screens on the demo base: the demo base made in a folder
// of its own and opened in a document, a frame whose registry holds the two
// books on working panel 0, message boxes recorded, and a second look at what
// the base file holds.
#include "DemoFirm.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/ui/CRefOplUdView.h"
#include "masterdata/ui/CRefSchedView.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/BaseService.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "support/DemoDocument.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace masterdatatest {

// A base layer that reports the demo base as open.
class OpenBaseStub : public BaseService {
public:
    bool Exists(const QString&) override { return true; }
    BaseFailure Create(const QString&) override { return {}; }
    BaseFailure Open(const QString&) override { return {}; }
    QString StoredPassword() override { return {}; }
    bool IsOpen() const override { return true; }
    QString OpenName() const override { return kalvor::tools::DemoBaseName(); }
    void Close() override {}
};

class RefBookWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc.SetBase(&stub);
        ASSERT_NO_FATAL_FAILURE(
            kalvor::testsupport::OpenDemoDocument(doc, folder, kalvor::testsupport::DemoRefFiles::None));
        registry.AddPanel({0, QStringLiteral("Справочники"), MainPanelPayroll});
        AddBook(1028, [](CKalvorDoc* d) -> CCommonFormView* { return new CRefSchedView(d); });
        AddBook(1029, [](CKalvorDoc* d) -> CCommonFormView* { return new CRefOplUdView(d); });
        frame = std::make_unique<CMainFrame>(&doc, &registry);
        frame->resize(1280, 860);
        ASSERT_TRUE(ShowActive(frame.get()));
    }
    // A book's command on panel 0, as the program registers it.
    void AddBook(int id, ViewFactory makeView)
    {
        CommandInfo command;
        command.id = id;
        command.panel = 0;
        command.makeView = std::move(makeView);
        registry.AddCommand(command);
    }
    void TearDown() override
    {
        frame.reset();
        Settle();
        kalvor::infobase::CloseBase(base());
    }

    kalvor::infobase::CInfoBase& base() { return doc.infoBase; }

    // Opens a book through its command, as its panel button does.
    template <class View>
    View* Open(int command)
    {
        EXPECT_TRUE(frame->RunCommand(command));
        Settle();
        return qobject_cast<View*>(frame->CurrentView());
    }

    // Esc on a widget of the book; the book goes and saves.
    void Leave(QWidget* focused)
    {
        QTest::keyClick(focused, Qt::Key_Escape);
        Settle();
    }

    // What the base file holds now, read by a second information base.
    std::unique_ptr<kalvor::infobase::CInfoBase> Stored()
    {
        auto stored = std::make_unique<kalvor::infobase::CInfoBase>();
        stored->workFolder = folder;
        stored->baseName = base().baseName;
        kalvor::infobase::LoadConfig(*stored);
        kalvor::infobase::LoadEntree(*stored);
        kalvor::infobase::LoadGraph(*stored);
        return stored;
    }

    // The picture of a widget in the build folder, under that file name.
    static QString SaveShot(QWidget* widget, const QString& name)
    {
        const QString path = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
        QFile::remove(path);
        EXPECT_TRUE(widget->grab().save(path));
        return path;
    }

    QTemporaryDir dir;
    QString folder;
    OpenBaseStub stub;
    CKalvorDoc doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    MessageRecorder boxes;
};

} // namespace masterdatatest
