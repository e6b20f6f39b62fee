// The base of the merge views: the list of result files edited with the
// keys and buttons of form 410, the print button that starts a merge worker,
// the end of the view while a merge runs; and the shop and profession lists.
#include "shell/UiTestSupport.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/TypedInput.h"
#include "summaries/ui/CAmaSvodView.h"
#include "support/FileList.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <atomic>
#include <chrono>
#include <thread>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskOutcome;

namespace {

// A merge view whose worker adds up the sizes of the listed files.
class DummyMergeView : public CAmaSvodView {
public:
    using CAmaSvodView::CAmaSvodView;
    ~DummyMergeView() override { StopMergeWorker(); }

    void StartMerge() override
    {
        CAmaSvodView::StartMerge();
        const std::vector<QString> files = FileNames();
        started = StartMergeWorker([this, files](TaskContext& context) -> TaskOutcome {
            // Held until let go or asked to stop (the view's end asks).
            while (hold && !context.stopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (fail)
                throw kalvor::TextError(QStringLiteral("Ошибка чтения файла"));
            qint64 total = 0;
            for (const QString& f : files) {
                QFile in(f);
                if (!in.open(QIODevice::ReadOnly))
                    return TaskOutcome(kalvor::platform::TASK_FILE_ERROR, kalvor::platform::FILE_ERROR_OPEN);
                total += in.size();
            }
            merged = total;
            ended = true;
            if (endedOut)
                *endedOut = true;
            return TaskOutcome(kalvor::platform::TASK_DONE);
        });
    }
    void OnMergeDone(int result, int detail, const QString& failure) override
    {
        results.push_back(result);
        lastDetail = detail;
        CAmaSvodView::OnMergeDone(result, detail, failure);
    }
    QString ChooseFile() override { return chosen; }

    bool started = false;
    std::atomic<bool> hold{false};
    std::atomic<bool> fail{false};
    std::atomic<bool> ended{false};
    std::atomic<bool>* endedOut = nullptr;
    std::atomic<qint64> merged{-1};
    std::vector<int> results;
    int lastDetail = -1;
    QString chosen;
};

QString writeFile(const QTemporaryDir& dir, const QString& name, int size)
{
    const QString path = dir.path() + QLatin1Char('/') + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(size, 'x'));
    return path;
}

} // namespace

TEST(UiAmaSvodView, TheFileListIsEditedInPlaceAndTheMergeTakesItsNonEmptyLines)
{
    MessageRecorder rec;
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.fin"), 10);
    const QString b = writeFile(dir, QStringLiteral("b.fin"), 200);
    const QString c = writeFile(dir, QStringLiteral("c.fin"), 3000);
    const QString d = writeFile(dir, QStringLiteral("d.fin"), 40);
    CKalvorDoc doc;
    DummyMergeView view(&doc);
    ASSERT_TRUE(ShowActive(&view));
    view.OnInitialUpdate();
    EXPECT_EQ(view.ProgressRect(), view.control(CAmaSvodView::IdProgress)->geometry());

    auto* list = view.controlAs<QListWidget>(CAmaSvodView::IdFileList);
    auto* edit = view.controlAs<QLineEdit>(CAmaSvodView::IdEdit);
    auto* start = view.controlAs<QPushButton>(CAmaSvodView::IdStart);
    auto* progress = view.controlAs<QProgressBar>(CAmaSvodView::IdProgress);
    ASSERT_TRUE(list && edit && start && progress);

    SetFileList(view, {a, QString(), b});
    // Add: a new line after the current one, edited in place; Enter keeps it.
    QTest::mouseClick(view.controlAs<QPushButton>(CAmaSvodView::IdAdd), Qt::LeftButton);
    ASSERT_TRUE(view.Editing());
    EXPECT_TRUE(edit->isVisible());
    TypeText(edit, c);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(view.Editing());
    EXPECT_EQ(view.ListLines(), (QStringList{a, c, QString(), b}));

    // Esc leaves a line as it was.
    list->setCurrentRow(0);
    view.EditCurrentLine();
    TypeText(edit, QStringLiteral("zzz"));
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(view.ListLines().first(), a);

    // Remove takes the current line away.
    list->setCurrentRow(2);
    QTest::mouseClick(view.controlAs<QPushButton>(CAmaSvodView::IdRemove), Qt::LeftButton);
    EXPECT_EQ(view.ListLines(), (QStringList{a, c, b}));

    // Browse puts the chosen file into a new line; an added line left empty stays.
    view.chosen = d;
    QTest::mouseClick(view.controlAs<QPushButton>(CAmaSvodView::IdBrowse), Qt::LeftButton);
    EXPECT_EQ(view.ListLines(), (QStringList{a, c, b, d}));
    QTest::mouseClick(view.controlAs<QPushButton>(CAmaSvodView::IdAdd), Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(view.ListLines(), (QStringList{a, c, b, d, QString()}));

    // Print: the non-empty lines in order; the button waits for the worker,
    // the progress bar runs meanwhile.
    view.hold = true;
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(view.started);
    EXPECT_EQ(view.FileNames(), (std::vector<QString>{a, c, b, d}));
    EXPECT_TRUE(view.MergeRunning());
    EXPECT_FALSE(start->isEnabled());
    EXPECT_EQ(progress->maximum(), 0);
    QTest::mouseClick(start, Qt::LeftButton); // disabled: nothing
    view.hold = false;
    ASSERT_TRUE(WaitFor([&] { return !view.results.empty(); }));
    EXPECT_EQ(view.results, std::vector<int>{0});
    EXPECT_EQ(view.merged.load(), 3250);
    EXPECT_TRUE(start->isEnabled());
    EXPECT_EQ(progress->maximum(), 1);
    EXPECT_TRUE(rec.boxes.empty());

    // A missing file ends the merge with a file error.
    SetFileList(view, {a, dir.path() + QStringLiteral("/missing.fin")});
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return view.results.size() == 2; }));
    EXPECT_EQ(view.results.back(), kalvor::platform::TASK_FILE_ERROR);
    EXPECT_EQ(view.lastDetail, kalvor::platform::FILE_ERROR_OPEN);
}

TEST(UiAmaSvodView, AMergeThatThrowsIsReportedAndTheButtonComesBack)
{
    MessageRecorder rec;
    CKalvorDoc doc;
    DummyMergeView view(&doc);
    SetFileList(view, {QStringLiteral("/nowhere/a.fin")});
    view.fail = true;
    view.StartMerge();
    ASSERT_TRUE(WaitFor([&] { return !view.results.empty(); }));
    EXPECT_EQ(view.results, std::vector<int>{kalvor::platform::TASK_FAILED});
    ASSERT_EQ(rec.boxes.size(), 1u);
    EXPECT_EQ(rec.boxes[0].text, QStringLiteral("Ошибка чтения файла"));
    EXPECT_TRUE(view.control(CAmaSvodView::IdStart)->isEnabled());
}

// The merge is held until the view's end asks it to stop: it can end only
// once the deletion has begun, and the deletion returns after it.
TEST(UiAmaSvodView, ClosingTheViewWaitsForTheRunningMerge)
{
    QTemporaryDir dir;
    const QString a = writeFile(dir, QStringLiteral("a.fin"), 5);
    CKalvorDoc doc;
    auto* view = new DummyMergeView(&doc);
    SetFileList(*view, {a});
    view->hold = true;
    std::atomic<bool> ended{false};
    view->endedOut = &ended;
    view->StartMerge();
    ASSERT_TRUE(view->MergeRunning());
    EXPECT_FALSE(ended);
    delete view; // the merge runs to its end first
    EXPECT_TRUE(ended);
    Settle();
}

namespace {

class StripView : public CCommonFormView {
public:
    explicit StripView(CKalvorDoc* doc) : CCommonFormView(999, doc)
    {
        auto* layout = new QVBoxLayout(this);
        shop = new CTypedEdit({QString(), kalvor::TextFigure(0)}, this);
        profession = new CTypedEdit({QString(), kalvor::TextFigure(0)}, this);
        SetControl(1252, shop);
        SetControl(1254, profession);
        layout->addWidget(shop);
        layout->addWidget(profession);
    }
    QLineEdit* shop;
    QLineEdit* profession;
};

} // namespace

TEST(UiAmaSvodView, ShopAndProfessionListsGoUnderTheirFields)
{
    CKalvorDoc doc;
    auto shops = [&doc](int record) -> kalvor::infobase::ShopRecord& { return doc.infoBase.shopAt(record); };
    shops(1) = {1, QStringLiteral("Механический цех")};
    shops(2) = {2, QStringLiteral("Литейный цех")};
    shops(3) = {0, QStringLiteral("Склад")}; // number 0 with a name: still listed
    shops(4) = {7, QStringLiteral("Гараж")};
    // Record 5 is number 0 without a name: the list ends there.
    shops(6) = {9, QStringLiteral("Не показывается")};
    EXPECT_EQ(CCommonFormView::ShopLines(doc),
              (QStringList{QStringLiteral("1|Механический цех"), QStringLiteral("2|Литейный цех"),
                           QStringLiteral("0|Склад"), QStringLiteral("7|Гараж")}));
    auto& ref = doc.refFiles;
    ref.profi[0].code = 12;
    ref.profi[0].name = QStringLiteral("Слесарь-ремонтник механосборочных работ");
    ref.profi[1].code = 301;
    ref.profi[1].name = QStringLiteral("Токарь");
    ref.profiCount = 2;
    EXPECT_EQ(CCommonFormView::ProfessionLines(doc),
              (QStringList{QStringLiteral("12|Слесарь-ремонтник механосб"), QStringLiteral("301|Токарь")}));

    StripView view(&doc);
    ASSERT_TRUE(ShowActive(&view));
    view.shop->setFocus();
    view.PickShop();
    CFieldHelpList* list = view.HelpList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->table()->rowCount(), 4);
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(view.shop->text(), QStringLiteral("2"));
    EXPECT_TRUE(view.profession->text().isEmpty());

    view.profession->setFocus();
    view.PickProfession();
    list = view.HelpList();
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list->table(), Qt::Key_Down);
    QTest::keyClick(list->table(), Qt::Key_Return);
    Settle();
    EXPECT_EQ(view.profession->text(), QStringLiteral("301"));
}
