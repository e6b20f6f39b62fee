// The statement views of the month's entries on the demo base: the view
// shown over the demo document, its print command's dialog accepted as soon
// as it shows (the command itself does nothing), and Enter in the form to
// print and wait for the run's end.
#pragma once

#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CPrnEditDlg.h"
#include "shell/ui/TaskView.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace entrytest {

// Accepts the print command's dialog whenever it is the active modal one,
// counting the dialogs it accepted.
class PrintDialogAcceptor {
public:
    explicit PrintDialogAcceptor(int& accepted)
    {
        QObject::connect(&timer_, &QTimer::timeout, [&accepted] {
            if (auto* dialog = qobject_cast<CPrnEditDlg*>(QApplication::activeModalWidget())) {
                ++accepted;
                dialog->accept();
            }
        });
        timer_.start(20);
    }
    void stop() { timer_.stop(); }

private:
    QTimer timer_;
};

template <class View>
class StatementViewWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::OpenDemoDocument(*doc, folder));
        ASSERT_NO_FATAL_FAILURE(PrepareFolder());
        kalvor::platform::SetWorkingFolder(folder);
        kalvor::platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        doc->infoBase.config.dosStr = QStringLiteral("true");
        acceptor = std::make_unique<PrintDialogAcceptor>(dialogs);
        view = std::make_unique<View>(doc.get());
        view->resize(900, 620);
        view->OnInitialUpdate();
        ASSERT_TRUE(ShowActive(view.get()));
    }
    void TearDown() override
    {
        acceptor->stop();
        view.reset();
        kalvor::infobase::CloseBase(doc->infoBase);
        kalvor::platform::DocumentOpener::SetCommand(kalvor::platform::DocumentOpener::DefaultCommand());
        kalvor::platform::SetWorkingFolder(QString());
    }
    // Files the test needs in the working folder before the view opens.
    virtual void PrepareFolder() {}

    void SetField(int id, const QString& text) { view->template controlAs<QLineEdit>(id)->setText(text); }
    bool PrintWithEnter()
    {
        auto* field = view->template controlAs<QLineEdit>(IdShopField);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_FALSE(view->control(IdStartButton)->isEnabled());
        return WaitFor([&] { return !view->Running() && view->control(IdStartButton)->isEnabled(); }, 60'000);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    int dialogs = 0;
    std::unique_ptr<PrintDialogAcceptor> acceptor;
    std::unique_ptr<View> view;
    MessageRecorder recorder;
    kalvor::ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace entrytest

#endif
