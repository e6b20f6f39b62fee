// The demo firm's base in a temporary working folder, a document and a main
// frame over it, for the employee and entry screens driven by keys: the view
// switched in and closed, the base reopened, a number typed into the strip,
// a group marked as from the strip's help list, screenshots into the build
// folder.
#pragma once

#include "EmployeeScreensWorld.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "support/DemoDocument.h"

#include <QDir>

#ifdef KALVOR_DATA_DIR

namespace employeetest {

class DemoScreenWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::MakeDemoFolder(folder));
        Start();
    }
    void TearDown() override
    {
        frame.reset();
        ib::CloseBase(doc->infoBase);
    }
    void Start()
    {
        doc = std::make_unique<CKalvorDoc>();
        kalvor::testsupport::OpenDemoBase(*doc, folder);
    }
    void Restart()
    {
        frame.reset();
        ib::CloseBase(doc->infoBase);
        doc.reset();
        Start();
    }
    template <typename View>
    View* Open()
    {
        frame = std::make_unique<CMainFrame>(doc.get(), &registry);
        frame->resize(1240, 900);
        EXPECT_TRUE(ShowActive(frame.get()));
        View* view = frame->SwitchView<View>();
        Settle();
        return view;
    }
    void Close()
    {
        frame->SwitchView([](CKalvorDoc* d) -> CCommonFormView* { return new CEmptyView(d); });
        Settle();
    }
    void Apply(CTabelFilterDlg* strip, int tabN)
    {
        QLineEdit* field = strip->Field(CTabelFilterDlg::IdTabN);
        field->setFocus();
        field->selectAll();
        TypeKeys(QString::number(tabN));
        PressKey(Qt::Key_Return);
        Settle();
    }
    // The employees become the group, as when marked in the help list of the
    // strip's number field.
    void MarkGroup(CCommonFormView* view, CTabelFilterDlg* strip, const QStringList& tabNs)
    {
        strip->Field(CTabelFilterDlg::IdTabN)->setFocus();
        QApplication::processEvents();
        view->TakeHelpValues(tabNs);
        Settle();
    }
    // Replaces the text of a form field by typing.
    static void TypeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QApplication::processEvents();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            TypeText(field, text);
    }
    int Slot(int tabN) const { return doc->infoBase.list[std::size_t(doc->infoBase.FindEmployee(tabN))].slot; }
    // Loads the employee from the base and gives his record.
    const ib::EmployeeRecord& Stored(int tabN)
    {
        ib::LoadEmployee(doc->infoBase, Slot(tabN));
        return doc->infoBase.current;
    }
    const ib::EmployeeAttributes& Attr(int tabN) const { return doc->infoBase.attributesOf(Slot(tabN)); }
    QString ShortName(int tabN) const { return doc->infoBase.shortNameOf(Slot(tabN)); }
    static void Screenshot(QWidget* w, const QString& name)
    {
        const QString shots = QStringLiteral(KALVOR_DATA_DIR "/../screenshots");
        QDir().mkpath(shots);
        EXPECT_TRUE(w->grab().save(shots + QLatin1Char('/') + name));
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace employeetest

#endif
