// The output-file views driven by keys: Enter in the write view writes the
// file the dialog names, the read view reads it back and names the records it
// lacks, a cancelled dialog starts nothing; the viewer shows a record, steps
// to the next and previous ones and stays at both ends, refuses number 0 and
// an unknown number; a screenshot of the viewer with a record shown.
#include "shell/UiTestSupport.h"

#include "exchange/OutputFile.h"
#include "exchange/ui/CEFuncAmaPRSvodView.h"
#include "exchange/ui/CEFuncVirabViews.h"
#include "exchange/ui/ExchangeScreens.h"
#include "grid/GridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace ib = kalvor::infobase;
using namespace kalvor::exchange;

namespace {

template <class View>
class FileChosenBy : public View {
public:
    using View::View;
    QString chosen;
    int asked = 0;

protected:
    QString ChooseOutputFile() override
    {
        ++asked;
        return chosen;
    }
};

class UiVirabViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        doc->setWorkFolder(folder);
        ib::CInfoBase& base = doc->infoBase;
        base.baseName = QStringLiteral("virab");
        ib::CreateSchemaBase(folder, base.baseName);
        ib::OpenBase(base);
        ib::FixtureBase fx = ib::BuildFixtureBase(base, 4, 9);
        for (int number = 1; number <= int(base.payKinds().size()); ++number)
            if (auto& kind = base.payKindAt(number); kind.kod == 4)
                kind.flags = ib::u16(kind.flags | kPieceWorkPayKindFlag);
        for (int i = 0; i < 4; ++i) {
            ib::EmployeeListEntry& entry = base.list[std::size_t(i)];
            entry.setTabN(ib::u16(201 + i));
            ib::EmployeeRecord& rec = fx.records[std::size_t(entry.slot - 1)];
            rec.rows = {};
            rec.rows[0].kod = 4;
            rec.rows[0].sum = 100'000.0 * (i + 1);
            rec.rows[0].mes = 3;
            base.attributesOf(entry.slot).kvProizv = 0;
            base.attributesOf(entry.slot).kvSdel = 0;
        }
        ib::SaveAll(base, fx.records);
        ASSERT_TRUE(WriteOutputTemplate(folder));
    }
    void TearDown() override { ib::CloseBase(doc->infoBase); }

    template <class View>
    std::unique_ptr<FileChosenBy<View>> Open()
    {
        auto view = std::make_unique<FileChosenBy<View>>(doc.get());
        view->resize(700, 300);
        view->OnInitialUpdate();
        EXPECT_TRUE(ShowActive(view.get()));
        return view;
    }
    template <class View>
    bool Enter(View& view, int fieldId)
    {
        QWidget* field = view.control(fieldId);
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        return WaitFor([&] { return !view.Running() && view.control(IdStartButton)->isEnabled(); }, 30'000);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    MessageRecorder recorder;
};

TEST_F(UiVirabViews, WriteThenReadByKeys)
{
    const QString path = folder + QStringLiteral("vyrab.dbf");
    auto write = Open<CEFuncVirabWriteView>();
    ASSERT_TRUE(Enter(*write, IdShopField)); // the dialog was cancelled
    EXPECT_EQ(write->asked, 1);
    EXPECT_FALSE(QFile::exists(path));
    write->chosen = path;
    write->controlAs<QLineEdit>(IdPersonnelNumberField)->setText(QStringLiteral("202"));
    ASSERT_TRUE(Enter(*write, IdPersonnelNumberField));
    write->controlAs<QLineEdit>(IdPersonnelNumberField)->setText(QStringLiteral("204"));
    ASSERT_TRUE(Enter(*write, IdPersonnelNumberField));
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join('|').toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.at(4), 2);
    EXPECT_EQ(bytes.right(1), QByteArray("\x1A"));
    // The progress emptied the strip at the end.
    EXPECT_TRUE(write->controlAs<QLineEdit>(IdPersonnelNumberField)->text().isEmpty());
    write.reset();

    auto read = Open<CEFuncVirabReadView>();
    read->chosen = path;
    ASSERT_TRUE(Enter(*read, IdShopField));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("количество ненайденных записей = 2")});
}

TEST_F(UiVirabViews, ViewerStepsThroughTheRecords)
{
    const QString path = folder + QStringLiteral("view.dbf");
    OutputFileOutcome outcome;
    ASSERT_EQ(ExchangeOutputFile({}, {}, OutputFileWrite, path, 0, {}, *doc, outcome), 0);
    const QByteArray before = [&] {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();

    CEFuncVirabView view(doc.get());
    view.resize(900, 560);
    ASSERT_TRUE(ShowActive(&view));
    auto* number = view.controlAs<QLineEdit>(IdPersonnelNumberField);
    auto* name = view.controlAs<QLineEdit>(1077);
    view.controlAs<QLineEdit>(CEFuncVirabView::IdFileField)->setText(path);

    number->setText(QStringLiteral("0"));
    number->setFocus();
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Некорректный табельный номер")});
    EXPECT_EQ(number->selectedText(), QStringLiteral("0"));
    EXPECT_TRUE(number->hasFocus());

    number->setText(QStringLiteral("250"));
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(recorder.Texts().last(), QStringLiteral("не найден табельный номер"));

    number->setText(QStringLiteral("203"));
    QTest::keyClick(number, Qt::Key_Return);
    EXPECT_EQ(number->text(), QStringLiteral("203"));
    EXPECT_EQ(view.Grid()->GetRowCount(), 2);
    EXPECT_EQ(view.Grid()->GetItemText(1, 0), QStringLiteral("4"));
    EXPECT_EQ(view.Grid()->GetItemText(1, 1), QStringLiteral("3000.00"));
    EXPECT_EQ(view.Grid()->GetItemText(1, 2), QStringLiteral("0"));
    EXPECT_FALSE(name->text().isEmpty());
    EXPECT_EQ(view.controlAs<QLineEdit>(1108)->text(), QStringLiteral("21"));

    const auto click = [&](int id) { QTest::mouseClick(view.controlAs<QPushButton>(id), Qt::LeftButton); };
    click(CEFuncVirabView::IdNext);
    EXPECT_EQ(number->text(), QStringLiteral("204"));
    EXPECT_EQ(view.Grid()->GetItemText(1, 1), QStringLiteral("4000.00"));
    click(CEFuncVirabView::IdNext); // the last record: nothing changes
    EXPECT_EQ(number->text(), QStringLiteral("204"));
    for (int i = 0; i < 3; ++i) click(CEFuncVirabView::IdPrevious);
    EXPECT_EQ(number->text(), QStringLiteral("201"));
    click(CEFuncVirabView::IdPrevious); // the first record: nothing changes
    EXPECT_EQ(number->text(), QStringLiteral("201"));
    EXPECT_EQ(view.Grid()->GetItemText(1, 1), QStringLiteral("1000.00"));
    const int boxes = int(recorder.boxes.size());
    EXPECT_EQ(boxes, 2);
    // The viewer's grid speaks the screens' face, not the one fontconfig
    // picks for a face the machine lacks (DejaVu Sans).
    EXPECT_EQ(QFontInfo(view.Grid()->font()).family(), QStringLiteral("Liberation Sans"));

    Settle();
    const QString shot = QCoreApplication::applicationDirPath() + QStringLiteral("/kalvor-virab-viewer.png");
    QFile::remove(shot);
    EXPECT_TRUE(view.grab().save(shot));

    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before); // the viewer changes nothing on disk
}

TEST_F(UiVirabViews, ViewerFileMessages)
{
    CEFuncVirabView view(doc.get());
    ASSERT_TRUE(ShowActive(&view));
    auto* number = view.controlAs<QLineEdit>(IdPersonnelNumberField);
    number->setText(QStringLiteral("201"));
    view.controlAs<QLineEdit>(CEFuncVirabView::IdFileField)->setText(folder + QStringLiteral("none.dbf"));
    view.OnShow();
    QFile other(folder + QStringLiteral("other.dbf"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray(20, 'x'));
    other.close();
    view.controlAs<QLineEdit>(CEFuncVirabView::IdFileField)->setText(other.fileName());
    view.OnShow();
    EXPECT_EQ(recorder.Texts(), (QStringList{QStringLiteral("не найден файл сдельных сумм"),
                                             QStringLiteral("файл не является массивом сдельных сумм")}));
}

TEST_F(UiVirabViews, EscLeavesForThePanelOfTheFunction)
{
    CommandRegistry registry;
    RegisterExchangeScreens(registry);
    CMainFrame frame(doc.get(), &registry);
    ASSERT_TRUE(ShowActive(&frame));
    const struct {
        int command;
        int panel;
        int field;
    } functions[] = {{CEFuncVirabView::CommandId, CExchangeTaskView::PanelOutputFile, IdPersonnelNumberField},
                     {CEFuncVirabWriteView::CommandId, CExchangeTaskView::PanelOutputFile, IdShopField},
                     {CEFuncAmaPRSvodView::CommandId, CExchangeTaskView::PanelArbitrarySummaries, -1}};
    for (const auto& function : functions) {
        const CommandInfo* command = registry.Find(function.command);
        ASSERT_NE(command, nullptr);
        CCommonFormView* view = frame.SwitchView(command->makeView);
        ASSERT_NE(view, nullptr);
        QWidget* target = function.field > 0 ? view->control(function.field) : view;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr) << function.command;
        EXPECT_EQ(frame.CurrentWorkPanel(), function.panel) << function.command;
        Settle();
    }
}

} // namespace
