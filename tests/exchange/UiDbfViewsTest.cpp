// The four dBASE views on the demo base, driven by keys with the file dialog
// replaced: archive data and accrued pay written and read back, constant
// information written and read, the kinds file written and read, the progress
// texts of the strip and the message of each result.
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"
#include "support/ScreenText.h"

#include "exchange/ExchangeWorker.h"
#include "exchange/KodDbf.h"
#include "exchange/ui/CEFuncDbfNUView.h"
#include "exchange/ui/CEFuncDbfView.h"
#include "exchange/ui/ExchangeScreens.h"
#include "infobase/InfoBaseDb.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <tuple>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;

namespace {

// A view whose file dialog answers with a path given by the test.
template <class View>
class WithFile : public View {
public:
    WithFile(CKalvorDoc* doc, QString path) : View(doc), m_path(std::move(path)) {}
    std::vector<bool> asked; // forRead of each dialog

protected:
    QString ChooseDbfFile(bool forRead) override
    {
        asked.push_back(forRead);
        return m_path;
    }

private:
    QString m_path;
};

// Amounts of an employee's archive by year, month and kind.
std::map<std::tuple<int, int, int>, double> ArchiveSums(const ib::EmployeeRecord& record)
{
    std::map<std::tuple<int, int, int>, double> sums;
    for (int i = 0; i < record.warKv; ++i) {
        const ib::WariaEntry& entry = record.waria[std::size_t(i)];
        sums[{entry.god, entry.mes, entry.kod}] += entry.sum;
    }
    return sums;
}

class UiDbfViews : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        doc = std::make_unique<CKalvorDoc>();
        ASSERT_NO_FATAL_FAILURE(
            kalvor::testsupport::OpenDemoDocument(*doc, folder, kalvor::testsupport::DemoRefFiles::None));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/kod.dbf"), folder + QStringLiteral("kod.dbf")));
    }
    void TearDown() override { ib::CloseBase(doc->infoBase); }

    ib::CInfoBase& base() { return doc->infoBase; }

    template <class View>
    std::unique_ptr<WithFile<View>> Open(const QString& file)
    {
        auto view = std::make_unique<WithFile<View>>(doc.get(), folder + file);
        view->resize(900, 500);
        view->OnInitialUpdate();
        EXPECT_TRUE(ShowActive(view.get()));
        return view;
    }

    std::unique_ptr<CEFuncDbfNUView> OpenKinds()
    {
        auto view = std::make_unique<CEFuncDbfNUView>(doc.get());
        view->resize(900, 500);
        view->OnInitialUpdate();
        EXPECT_TRUE(ShowActive(view.get()));
        return view;
    }

    static QLineEdit* Field(CExchangeTaskView& view, int id) { return view.controlAs<QLineEdit>(id); }

    // Enter in the personnel-number field, then the end of the run.
    static bool Run(CExchangeTaskView& view, int field = IdPersonnelNumberField)
    {
        QWidget* focus = view.control(field);
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        return WaitFor([&] { return !view.Running() && view.control(IdStartButton)->isEnabled(); }, 30000);
    }

    // The read operation by the arrow key from the write radio.
    static void ChooseRead(CExchangeTaskView& view)
    {
        auto* write = view.controlAs<QRadioButton>(IdDbfWrite);
        write->setFocus();
        QTest::keyClick(write, Qt::Key_Down);
        ASSERT_TRUE(view.controlAs<QRadioButton>(IdDbfRead)->isChecked());
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    MessageRecorder recorder;
};

} // namespace

TEST_F(UiDbfViews, ArchiveDataWrittenAndReadBackForOneEmployee)
{
    const ib::EmployeeListEntry entry = base().list[3];
    ib::LoadEmployee(base(), entry.slot);
    const auto sums = ArchiveSums(base().current);
    ASSERT_FALSE(sums.empty());

    auto view = Open<CEFuncDbfArchView>(QStringLiteral("arch"));
    QStringList shops; // what the shop field showed
    QObject::connect(Field(*view, IdShopField), &QLineEdit::textChanged, [&](const QString& text) { shops << text; });
    TypeText(Field(*view, IdPersonnelNumberField), QString::number(entry.tabN()));
    ASSERT_TRUE(Run(*view));
    EXPECT_EQ(view->asked, std::vector<bool>{false});
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("arch.dbf")));
    // The run showed the employee's shop and emptied the strip at its end.
    const int shop = base().shopOf(entry.slot);
    ASSERT_NE(shop, 0);
    EXPECT_EQ(shops, (QStringList{QString::number(shop), QString()}));
    EXPECT_TRUE(Field(*view, IdPersonnelNumberField)->text().isEmpty());

    // The archive is lost in the base, and read back from the table.
    base().current.warKv = 0;
    base().current.waria.assign(ib::EmployeeRecord::ArchiveCapacity, ib::WariaEntry{});
    ib::SaveEmployee(base(), entry.slot);
    ChooseRead(*view);
    TypeText(Field(*view, IdPersonnelNumberField), QString::number(entry.tabN()));
    ASSERT_TRUE(Run(*view));
    EXPECT_EQ(view->asked, (std::vector<bool>{false, true}));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("Прочитано 1 записей"));
    EXPECT_EQ(recorder.boxes[0].flags, MB_OK | MB_ICONINFORMATION);
    ib::LoadEmployee(base(), entry.slot);
    EXPECT_EQ(ArchiveSums(base().current), sums);

    // A number that is not in the list is refused by the strip: no file is
    // asked for and nothing is read.
    recorder.boxes.clear();
    Field(*view, IdPersonnelNumberField)->clear();
    TypeText(Field(*view, IdPersonnelNumberField), QStringLiteral("8000"));
    ASSERT_TRUE(Run(*view));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("В поле \"Табельный номер  (по умолчанию  все работники)\" указан "
                                                           "номер, которого нет в справочнике \"Список сотрудников\": 8000")});
    EXPECT_EQ(recorder.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(view->asked.size(), 2u);
}

// A read into the base started with a shop that does not read ("12x"), that
// is past the shop's range ("300") or that the shop book lacks is refused
// naming the field or the book, before the file is asked for: nothing is
// read, and the field keeps the focus. Such a shop once read as 0, the whole
// firm, on a screen that warns that data may be overwritten.
TEST_F(UiDbfViews, AReadStartedWithAShopThatDoesNotReadOrIsNotInTheBookIsRefusedAndReadsNothing)
{
    auto view = Open<CEFuncDbfCInfView>(QStringLiteral("konst.dbf"));
    ASSERT_TRUE(Run(*view, IdShopField)); // a file of everyone to read
    ASSERT_EQ(view->asked.size(), 1u);
    ChooseRead(*view);
    const std::vector<ib::EmployeeListEntry> list = base().list;
    int unknown = 1;
    while (base().shopNumbered(unknown)) ++unknown;
    const QString name = QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)");
    const struct {
        QString typed;
        QString said;
    } cases[] = {
        {QStringLiteral("12x"), QStringLiteral("Некорректное число в поле \"%1\": 12x").arg(name)},
        {QStringLiteral("300"), QStringLiteral("Значение поля \"%1\" должно быть от 0 до 255: 300").arg(name)},
        {QString::number(unknown),
         QStringLiteral("В поле \"%1\" указан номер, которого нет в справочнике \"Цех/Отдел\": %2").arg(name).arg(unknown)},
    };
    QLineEdit* shop = Field(*view, IdShopField);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        recorder.boxes.clear();
        shop->setText(c.typed);
        ASSERT_TRUE(Run(*view, IdShopField));
        ASSERT_EQ(recorder.boxes.size(), 1u);
        EXPECT_TRUE(recorder.boxes[0].text.contains(c.said)) << recorder.boxes[0].text.toStdString();
        EXPECT_EQ(view->asked.size(), 1u); // no file asked for: no read
        EXPECT_TRUE(shop->hasFocus());
        EXPECT_TRUE(shop->isEnabled());
    }
    EXPECT_EQ(base().list.size(), list.size());
    // The field then takes a shop of the book, and the read goes.
    recorder.boxes.clear();
    shop->setText(QString::number(base().shopAt(1).number));
    ASSERT_TRUE(Run(*view, IdShopField));
    EXPECT_EQ(view->asked.size(), 2u);
}

TEST_F(UiDbfViews, AccruedPayWrittenAndReadBackIntoTheEntryBlock)
{
    // Three calculated rows of an employee, after his input rows.
    const ib::EmployeeListEntry entry = base().list[2];
    const int slot = entry.slot, tabN = entry.tabN();
    ib::LoadEmployee(base(), slot);
    const int start = base().attributesOf(slot).kvProizv;
    const int codes[] = {1, 902, 750};
    for (int i = 0; i < 3; ++i) {
        ib::AccrualRow& row = base().current.rows[std::size_t(start + i)];
        row = ib::AccrualRow{};
        row.kod = ib::u16(codes[i]);
        row.sum = 1'000'000 + i;
        row.mes = 4;
    }
    base().current.rows[std::size_t(start + 3)] = ib::AccrualRow{};
    ib::SaveEmployee(base(), slot);
    const int written = 3;

    auto view = Open<CEFuncDbfZarpView>(QStringLiteral("zarp.dbf"));
    TypeText(Field(*view, IdPersonnelNumberField), QString::number(tabN));
    ASSERT_TRUE(Run(*view));
    EXPECT_TRUE(recorder.boxes.empty());
    // The view names the records written and the file.
    EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")),
              QStringLiteral("Записано записей: %1 в файл %2")
                  .arg(written)
                  .arg(QDir::toNativeSeparators(folder + QStringLiteral("zarp.dbf"))));

    ChooseRead(*view);
    TypeText(Field(*view, IdPersonnelNumberField), QString::number(tabN));
    ASSERT_TRUE(Run(*view));
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Прочитано 1 записей")});
    ib::LoadComp(base());
    EXPECT_EQ(int(base().attributesOf(slot).kvDBF), written);
}

TEST_F(UiDbfViews, ConstantInformationOfEveryoneWrittenAndReadBack)
{
    auto view = Open<CEFuncDbfCInfView>(QStringLiteral("konst.dbf"));
    // A five-digit personnel number is past the list's numbers: refused, and
    // nothing is written (it once counted as none: every employee).
    TypeText(Field(*view, IdPersonnelNumberField), QStringLiteral("12345"));
    ASSERT_TRUE(Run(*view, IdShopField));
    EXPECT_EQ(recorder.Texts(),
              QStringList{QStringLiteral("Значение поля \"Табельный номер  (по умолчанию  все работники)\" должно быть от 0 до "
                                                 "8191: 12345")});
    EXPECT_TRUE(view->asked.empty());
    recorder.boxes.clear();
    // Empty: every employee.
    Field(*view, IdPersonnelNumberField)->clear();
    ASSERT_TRUE(Run(*view, IdShopField));
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_TRUE(Field(*view, IdPersonnelNumberField)->text().isEmpty()); // emptied at the end
    const int employees = base().employeeCount();
    EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")),
              QStringLiteral("Записано записей: %1 в файл %2")
                  .arg(employees)
                  .arg(QDir::toNativeSeparators(folder + QStringLiteral("konst.dbf"))));

    ChooseRead(*view);
    ASSERT_TRUE(Run(*view, IdShopField));
    EXPECT_TRUE(ScreenText(view.get(), QStringLiteral("outcome")).isEmpty()); // a read names no file written
    EXPECT_EQ(recorder.Texts(), (QStringList{QStringLiteral("Прочитано %1 записей").arg(employees),
                                             QStringLiteral("Новых сотрудников в базе: 0 ")}));
    EXPECT_EQ(base().employeeCount(), employees);

    // A brigade without employees.
    recorder.boxes.clear();
    auto writer = Open<CEFuncDbfCInfView>(QStringLiteral("none.dbf"));
    TypeText(Field(*writer, IdBrigadeField), QStringLiteral("99"));
    ASSERT_TRUE(Run(*writer, IdShopField));
    EXPECT_EQ(recorder.Texts(),
              QStringList{kalvor::exchange::ExchangeCodeText(-6, kalvor::exchange::ExchangeCodeFamily::FilePart)});
}

TEST_F(UiDbfViews, TheKindsFileWrittenAndReadAndABadFileRefused)
{
    const std::vector<ib::PayKind> kinds = base().payKinds();
    auto view = OpenKinds();
    ASSERT_TRUE(Run(*view, IdStartButton));
    EXPECT_TRUE(recorder.boxes.empty());
    const QString path = kalvor::exchange::KodDbfPath(folder);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const int headerLength = uchar(bytes[8]) | uchar(bytes[9]) << 8;
    EXPECT_EQ(bytes.size(), headerLength + int(kinds.size()) * 83 + 1);

    ChooseRead(*view);
    ASSERT_TRUE(Run(*view, IdStartButton));
    EXPECT_TRUE(recorder.boxes.empty());
    EXPECT_EQ(base().payKinds(), kinds);

    QByteArray broken = bytes;
    broken[0] = '\x30';
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(broken);
    file.close();
    ASSERT_TRUE(Run(*view, IdStartButton));
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("база данных KOD.DBF не найдена"));
    EXPECT_EQ(recorder.boxes[0].flags, MB_OK | MB_ICONERROR);
    EXPECT_EQ(base().payKinds(), kinds);
}

TEST_F(UiDbfViews, TheCommandsOpenTheViewsFromThePanel)
{
    CommandRegistry registry;
    RegisterExchangeScreens(registry);
    CMainFrame frame(doc.get(), &registry);
    frame.resize(1100, 700);
    ASSERT_TRUE(ShowActive(&frame));
    const std::pair<int, QString> commands[] = {
        {1441, QStringLiteral("Постоянная информация")},
        {1442, QStringLiteral("Начисленная зарплата")},
        {1443, QStringLiteral("Постоянная информация")},
        {1444, QStringLiteral("Начисления и удержания")},
    };
    for (const auto& [id, title] : commands) {
        const CommandInfo* command = registry.Find(id);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->panel, int(CExchangeTaskView::PanelDbf));
        EXPECT_EQ(command->menuPath, (QStringList{QStringLiteral("Дополнительные функции"),
                                                  QStringLiteral("Экспорт/импорт информации в формат DBF")}));
        frame.SwitchView(command->makeView);
        auto* view = qobject_cast<CExchangeTaskView*>(frame.CurrentView());
        ASSERT_NE(view, nullptr) << id;
        const auto boxes = view->findChildren<QGroupBox*>();
        ASSERT_FALSE(boxes.isEmpty());
        EXPECT_EQ(boxes.front()->title(), title);
        // Esc goes back to the dBASE panel.
        QTest::keyClick(view->control(IdStartButton), Qt::Key_Escape);
        EXPECT_NE(qobject_cast<CEmptyView*>(frame.CurrentView()), nullptr);
        EXPECT_EQ(frame.CurrentWorkPanel(), int(CExchangeTaskView::PanelDbf));
    }
}

#endif
