// The two transfer-file views driven by keys on the demo base: one shop
// written by the upload and read by the download into a new base shows the
// same employees; a missing file and a personnel number that nobody has are
// reported; the commands open the views from working panel 14.
#include "DemoFirm.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "exchange/ui/CSymvFormatViews.h"
#include "exchange/ui/ExchangeScreens.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

class UiTransferViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(kalvor::testsupport::MakeDemoFolder(folder));
        doc = OpenDoc(kalvor::tools::DemoBaseName());
    }
    void TearDown() override
    {
        if (second)
            ib::CloseBase(second->infoBase);
        ib::CloseBase(doc->infoBase);
    }

    std::unique_ptr<CKalvorDoc> OpenDoc(const QString& name)
    {
        auto d = std::make_unique<CKalvorDoc>();
        d->setWorkFolder(folder);
        d->infoBase.baseName = name;
        ib::OpenBase(d->infoBase);
        ib::LoadAll(d->infoBase);
        return d;
    }

    template <class View>
    std::unique_ptr<View> Open(CKalvorDoc* d)
    {
        auto view = std::make_unique<View>(d);
        view->resize(900, 500);
        view->OnInitialUpdate();
        EXPECT_TRUE(ShowActive(view.get()));
        return view;
    }

    static void Type(CExchangeTaskView& view, int id, const QString& text)
    {
        auto* field = view.controlAs<QLineEdit>(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
    }

    // Enter in the file-name field, then the end of the run.
    static bool Run(CExchangeTaskView& view)
    {
        QWidget* focus = view.control(IdTransferFileField);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        return WaitFor([&] { return !view.Running() && view.control(IdStartButton)->isEnabled(); }, 60000);
    }

    // Personnel numbers and full names of a shop, in list order.
    static std::vector<std::pair<int, QString>> ShopEmployees(ib::CInfoBase& base, int shop)
    {
        std::vector<std::pair<int, QString>> out;
        std::vector<ib::EmployeeListEntry> sorted = base.list;
        base.SortList(sorted, false);
        for (const ib::EmployeeListEntry& e : sorted) {
            if (base.shopOf(e.slot) != shop)
                continue;
            ib::LoadEmployee(base, e.slot);
            out.emplace_back(e.tabN(), base.current.head.fio);
        }
        return out;
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc, second;
    MessageRecorder recorder;
};

} // namespace

TEST_F(UiTransferViews, OneShopCarriedIntoANewBase)
{
    const int shop = doc->infoBase.shopOf(doc->infoBase.list[0].slot);
    const auto expected = ShopEmployees(doc->infoBase, shop);
    ASSERT_FALSE(expected.empty());

    auto upload = Open<CSymvFormatUploadView>(doc.get());
    Type(*upload, IdShopField, QString::number(shop));
    Type(*upload, IdTransferFileField, QStringLiteral("shop.trf"));
    ASSERT_TRUE(Run(*upload));
    EXPECT_TRUE(recorder.boxes.empty());
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("shop.trf")));

    ib::CreateBase(folder, QStringLiteral("second"));
    second = OpenDoc(QStringLiteral("second"));
    ASSERT_GE(second->infoBase.capacity(), int(expected.size()));
    auto download = Open<CSymvFormatDownloadView>(second.get());
    Type(*download, IdTransferFileField, folder + QStringLiteral("shop.trf"));
    ASSERT_TRUE(Run(*download));
    EXPECT_TRUE(recorder.boxes.empty());

    // What the download saved loads back with the same employees.
    ib::CloseBase(second->infoBase);
    second = OpenDoc(QStringLiteral("second"));
    EXPECT_EQ(ShopEmployees(second->infoBase, shop), expected);
    EXPECT_EQ(second->infoBase.list.size(), expected.size());
}

TEST_F(UiTransferViews, FailuresAreReportedAndTheNumberIsRemembered)
{
    auto upload = Open<CSymvFormatUploadView>(doc.get());
    // A number not in the list is refused by the strip before the run.
    const quint32 last = doc->LastPersonnelNumber;
    Type(*upload, IdPersonnelNumberField, QStringLiteral("8000"));
    Type(*upload, IdTransferFileField, QStringLiteral("none.trf"));
    ASSERT_TRUE(Run(*upload));
    EXPECT_EQ(doc->LastPersonnelNumber, last);
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("В поле \"Табельный номер (по умолчанию все работники)\" указан номер, "
                                                     "которого нет в справочнике \"Список сотрудников\": 8000"));
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("none.trf")));

    const auto list = doc->infoBase.list;
    auto download = Open<CSymvFormatDownloadView>(doc.get());
    ASSERT_TRUE(Run(*download));
    ASSERT_EQ(recorder.boxes.size(), 2u);
    EXPECT_EQ(recorder.boxes[1].text, QStringLiteral("файл с нужной информацией не найден"));
    EXPECT_EQ(doc->infoBase.list, list);
}

TEST_F(UiTransferViews, TheCommandsOpenTheViewsFromThePanel)
{
    CommandRegistry registry;
    RegisterExchangeScreens(registry);
    CMainFrame frame(doc.get(), &registry);
    frame.resize(1100, 700);
    ASSERT_TRUE(ShowActive(&frame));
    const std::pair<int, QString> commands[] = {
        {1518, QStringLiteral("Выгрузка информации о сотрудниках")},
        {1519, QStringLiteral("Загрузка информации о сотрудниках")},
    };
    for (const auto& [id, title] : commands) {
        const CommandInfo* command = registry.Find(id);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->panel, int(CExchangeTaskView::PanelTransferFile));
        frame.SwitchView(command->makeView);
        auto* view = qobject_cast<CExchangeTaskView*>(frame.CurrentView());
        ASSERT_NE(view, nullptr) << id;
        EXPECT_EQ(view->findChildren<QGroupBox*>().front()->title(), title);
        QTest::keyClick(view->control(IdStartButton), Qt::Key_Escape);
        EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr);
        EXPECT_EQ(frame.CurrentWorkPanel(), int(CExchangeTaskView::PanelTransferFile));
    }
}

#endif
