// The month's money of the demo firm in every document and screen. April 2011
// is computed, the month changed, May computed; for every employee the
// amount to pay, worked out here from his stored rows (accrued: codes below
// 700 but 600; deducted: 700-939 but 865-890; the employer's contributions
// neither), is the one of the pay statement in both forms, the cash orders,
// the settlement statement T-51 and the printed personal accounts as
// LibreOffice renders them, and of the personal-account screen and the
// on-screen statement driven by keys; the totals agree too. Three employees
// of April worked out by hand.
#include "DemoFirm.h"
#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "payroll/MonthChange.h"
#include "payroll/ui/CCalcLicSchetDlg.h"
#include "payroll/ui/CCalcLicSchetView.h"
#include "payroll/ui/CCalcPlatVedDlg.h"
#include "payroll/ui/CCalcPlatVedView.h"
#include "platform/DocumentOpener.h"
#include "platform/TaskThread.h"
#include "platform/WorkingFolder.h"
#include "print/PayrollPrintRuns.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/CommandRegistry.h"
#include "support/DemoDocument.h"
#include "support/MonthRun.h"
#include "support/OfficeConvert.h"
#include "support/ScreenText.h"
#include "values/Clock.h"
#include "values/Messages.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cmath>
#include <map>
#include <numeric>

using namespace kalvor;
using namespace kalvor::infobase;
using namespace kalvor::print;

#ifdef KALVOR_DATA_DIR

using namespace kalvor::testsupport;

namespace {

constexpr int kMay2011 = 2011 * 16 + 5;

// Kopecks as the documents write them.
QString Money(double kopecks) { return QString::number(kopecks / 100, 'f', 2); }

// An employee's month from his stored computed rows.
struct StoredMonth {
    QString name; // the short name, "Фамилия И. О."
    QString fullName;
    double accrued = 0;
    double deducted = 0;
    // The demo firm pays to the kopeck (no payout rounding): what is left,
    // nothing when the deductions reach the accruals.
    double toPay() const { return std::max(0.0, std::round(accrued - deducted)); }
};

// Amounts read from a rendered form, kopecks by personnel number.
using Amounts = std::map<int, double>;

double Kopecks(const QString& text) { return std::round(text.toDouble() * 100); }

const QRegularExpression& AmountPattern()
{
    static const QRegularExpression pattern(QStringLiteral("(?:^|\\s)(\\d+\\.\\d\\d)(?=\\s|$)"));
    return pattern;
}

// The amounts of a line, in order.
QStringList AmountsOf(const QString& line)
{
    QStringList out;
    for (auto it = AmountPattern().globalMatch(line); it.hasNext();) out << it.next().captured(1);
    return out;
}

// A statement's rows: a line with an employee's short name and personnel
// number gives him the line's last amount.
Amounts StatementRows(const QString& text, const std::map<int, StoredMonth>& stored)
{
    Amounts out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList amounts = AmountsOf(line);
        if (amounts.isEmpty())
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const auto& [tabN, month] : stored)
            if (line.contains(month.name) && words.contains(QString::number(tabN)))
                out[tabN] = Kopecks(amounts.last());
    }
    return out;
}

// The printed personal accounts: "Табель № N" opens an account, its
// "К ВЫДАЧЕ" line gives the amount (twice, account and pay slip side by
// side), a debt line gives nothing to pay.
Amounts AccountRows(const QString& text)
{
    static const QRegularExpression head(QStringLiteral("Табель № (\\d+)"));
    Amounts out;
    int tabN = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (const auto m = head.match(line); m.hasMatch())
            tabN = m.captured(1).toInt();
        QString letters = line;
        letters.remove(QLatin1Char(' '));
        if (tabN != 0 && letters.startsWith(QStringLiteral("КВЫДАЧЕ"))) {
            const QStringList amounts = AmountsOf(line);
            EXPECT_EQ(amounts.size(), 2) << line.toStdString();
            out[tabN] = amounts.isEmpty() ? -1 : Kopecks(amounts.first());
        } else if (tabN != 0 && letters.startsWith(QStringLiteral("ЗАДОЛЖЕННОСТЬ"))) {
            out[tabN] = 0;
        }
    }
    return out;
}

// The bank cash orders, one a page: the amount in the account box
// ("40 ... 20 ... amount"), then "Выдать" with the full name.
Amounts OrderRows(const QString& text, const std::map<QString, int>& byFullName)
{
    static const QRegularExpression box(QStringLiteral("^\\s*40\\s+20\\s+(\\d+\\.\\d\\d)\\s*$"));
    static const QRegularExpression payee(QStringLiteral("^\\s*Выдать\\s+(.+?)\\s*$"));
    Amounts out;
    double amount = -1;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (const auto m = box.match(line); m.hasMatch())
            amount = Kopecks(m.captured(1));
        if (const auto m = payee.match(line); m.hasMatch()) {
            const auto found = byFullName.find(m.captured(1));
            EXPECT_NE(found, byFullName.end()) << line.toStdString();
            if (found != byFullName.end())
                out[found->second] = amount;
            amount = -1;
        }
    }
    return out;
}

// The first capture of the pattern in the text, as kopecks; -1 when missing.
double TotalIn(const QString& text, const QRegularExpression& pattern)
{
    const auto m = pattern.match(text);
    if (!m.hasMatch())
        return -1;
    return m.lastCapturedIndex() == 2 ? Kopecks(m.captured(1)) + m.captured(2).toInt() : Kopecks(m.captured(1));
}

template <class Params, class Proc>
int RunWorker(const Params& params, Proc proc)
{
    platform::TaskThread thread;
    int result = -1;
    QString message;
    QEventLoop loop;
    QObject::connect(&thread, &platform::TaskThread::done, &loop, [&](int r, int, const QString& text) {
        result = r;
        message = text;
        loop.quit();
    });
    EXPECT_TRUE(thread.start(params, proc));
    loop.exec();
    EXPECT_EQ(result, platform::TASK_DONE) << message.toStdString();
    return result;
}

class DemoMonthMoney : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QLatin1Char('/');
        ASSERT_NO_FATAL_FAILURE(MakeDemoFolder(folder));
        const QDir templates(QStringLiteral(KALVOR_DATA_DIR "/Shablon"));
        ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("Shablon")));
        for (const QString& name : templates.entryList({QStringLiteral("*.rtf")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(templates.filePath(name), folder + QStringLiteral("Shablon/") + name));
        platform::SetWorkingFolder(folder);
        platform::DocumentOpener::SetCommand(QStringLiteral("true"));
        Open();
    }
    void TearDown() override
    {
        frame.reset();
        if (doc)
            CloseBase(doc->infoBase);
        platform::SetWorkingFolder(QString());
        platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
    }
    void Open()
    {
        doc = std::make_unique<CKalvorDoc>();
        OpenDemoBase(*doc, folder);
    }
    CInfoBase& base() { return doc->infoBase; }
    int Slot(int tabN) { return base().list[std::size_t(base().FindEmployee(tabN))].slot; }

    // The computed rows of every employee as the base holds them, by
    // personnel number.
    std::map<int, StoredMonth> Stored()
    {
        std::map<int, StoredMonth> out;
        for (const EmployeeListEntry& e : base().list) {
            StoredMonth& m = out[e.tabN()];
            m.name = base().shortNameOf(e.slot);
            QSqlQuery name(Db(base()));
            name.prepare(QStringLiteral("SELECT fio FROM dbo.konst WHERE rec = ?"));
            name.addBindValue(e.slot);
            EXPECT_TRUE(name.exec() && name.next());
            m.fullName = name.value(0).toString();
            QSqlQuery q(Db(base()));
            q.prepare(QStringLiteral("SELECT z.kod, z.sum FROM dbo.zarp z JOIN dbo.konst k ON k.id = z.id_konst "
                                     "WHERE k.rec = ?"));
            q.addBindValue(e.slot);
            EXPECT_TRUE(q.exec());
            while (q.next()) {
                const int code = q.value(0).toInt();
                const double sum = q.value(1).toDouble();
                if (code > 0 && code < 700 && code != 600)
                    m.accrued += sum;
                else if (code >= 700 && code <= 939 && !(code >= 865 && code <= 890))
                    m.deducted += sum;
            }
        }
        return out;
    }

    // Runs a print view's worker and renders what it wrote with LibreOffice
    // (the form's document of the month);
    // the text of the PDF, a row of a table on a line.
    template <class Params, class Proc>
    QString Printed(Params params, Proc proc, const QString& name, const char* form)
    {
        params.document = doc.get();
        if (RunWorker(params, proc) != platform::TASK_DONE)
            return QString();
        const QFileInfo work(doc->FormWorkFile(QString::fromLatin1(form), base().config.reportingKey()));
        const QString rtf = work.path() + QLatin1Char('/') + work.completeBaseName() + QStringLiteral(".rtf");
        const QString out = folder + name + QLatin1Char('/');
        EXPECT_TRUE(QDir().mkpath(out));
        const QString pdf = ConvertWithOffice(rtf, QStringLiteral("pdf"), out);
        EXPECT_FALSE(pdf.isEmpty()) << name.toStdString();
        KeepCopy(pdf, QStringLiteral(KALVOR_DATA_DIR "/../money-") + name + QStringLiteral(".pdf"));
        return PdfText(pdf, 0, true);
    }

    // The personal-account screen: each employee's number typed into the
    // strip, the three totals read, by personnel number.
    std::map<int, QStringList> AccountScreen()
    {
        std::map<int, QStringList> out;
        auto* view = SwitchTo<CCalcLicSchetView>();
        if (view == nullptr)
            return out;
        QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);
        for (const EmployeeListEntry& e : base().list) {
            number->setFocus();
            number->selectAll();
            TypeText(number, QString::number(e.tabN()));
            QTest::keyClick(number, Qt::Key_Return);
            Settle();
            CCalcLicSchetDlg* dlg = view->Dlg();
            out[e.tabN()] = {ScreenText(dlg, QStringLiteral("Начислено")), ScreenText(dlg, QStringLiteral("Удержано")),
                             ScreenText(dlg, QStringLiteral("К выдаче"))};
        }
        return out;
    }

    // The on-screen statement of the whole firm: Enter in the empty strip.
    std::map<int, QString> StatementScreen(QString& total)
    {
        std::map<int, QString> out;
        auto* view = SwitchTo<CCalcPlatVedView>();
        if (view == nullptr)
            return out;
        QWidget* shop = view->Strip()->Field(CWorkersFilterDlg::IdShop);
        shop->setFocus();
        QTest::keyClick(shop, Qt::Key_Return);
        Settle();
        CFldHlpGridCtrl* grid = view->Dlg()->Grid();
        for (int row = 1; row < grid->GetRowCount(); ++row)
            out[grid->GetItemText(row, 1).toInt()] = grid->GetItemText(row, 2);
        total = ScreenText(view->Dlg(), QStringLiteral("К выдаче"));
        return out;
    }

    template <class View>
    View* SwitchTo()
    {
        if (!frame) {
            frame = std::make_unique<CMainFrame>(doc.get(), &registry);
            frame->resize(1240, 900);
            EXPECT_TRUE(ShowActive(frame.get()));
        }
        View* view = frame->SwitchView<View>();
        Settle();
        EXPECT_NE(view, nullptr);
        return view;
    }
    void CloseScreens() { frame.reset(); }
    void ExpectMonthAgrees(const QString& month);

    // A document's amounts against the stored months: each amount to pay
    // above 0 shown as it is; nothing to pay shown as 0 or not listed (only
    // not listed when the document lists payees alone), unless the document
    // is checked on its amounts above 0 only.
    static void ExpectAmounts(const QString& what, const Amounts& shown, const std::map<int, StoredMonth>& stored,
                              bool listsPayeesOnly, bool positivesOnly = false)
    {
        SCOPED_TRACE(what.toStdString());
        for (const auto& [tabN, m] : stored) {
            SCOPED_TRACE(tabN);
            const auto found = shown.find(tabN);
            if (m.toPay() > 0) {
                ASSERT_NE(found, shown.end());
                EXPECT_EQ(Money(found->second), Money(m.toPay()));
            } else if (!positivesOnly && listsPayeesOnly) {
                EXPECT_EQ(found, shown.end());
            } else if (!positivesOnly && found != shown.end()) {
                EXPECT_EQ(found->second, 0);
            }
        }
        for (const auto& [tabN, amount] : shown) EXPECT_EQ(stored.count(tabN), 1u) << tabN;
    }
    static Amounts TextAmounts(const std::map<int, QString>& texts)
    {
        Amounts out;
        for (const auto& [tabN, text] : texts) out[tabN] = text.isEmpty() ? 0 : Kopecks(text);
        return out;
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<CKalvorDoc> doc;
    CommandRegistry registry;
    std::unique_ptr<CMainFrame> frame;
    ScopedToday today{QDate(2011, 4, 29)};
};

} // namespace

// Every document and screen of one computed month against the stored rows.
void DemoMonthMoney::ExpectMonthAgrees(const QString& month)
{
    SCOPED_TRACE(month.toStdString());
    ASSERT_EQ(base().config.okrugVyp(), 0) << "the demo firm pays to the kopeck";
    const std::map<int, StoredMonth> stored = Stored();
    double total = 0;
    std::map<QString, int> byFullName;
    for (const auto& [tabN, m] : stored) {
        total += m.toPay();
        byFullName[m.fullName] = tabN;
    }

    // The screens, driven by keys: the amounts the calculation stored.
    QString screenTotal;
    ExpectAmounts(QStringLiteral("on-screen statement"), TextAmounts(StatementScreen(screenTotal)), stored, false);
    EXPECT_EQ(screenTotal, Money(total));
    const std::map<int, QStringList> accounts = AccountScreen();
    for (const auto& [tabN, m] : stored) {
        SCOPED_TRACE(tabN);
        ASSERT_EQ(accounts.count(tabN), 1u);
        EXPECT_EQ(accounts.at(tabN), (QStringList{Money(m.accrued), Money(m.deducted), Money(m.accrued - m.deducted)}));
    }
    CloseScreens();

    // The pay statement in both forms, the cash orders, T-51, the personal accounts.
    PrintPlatVedParams t53;
    t53.outputMode = PaymentStatement;
    const QString t53Text = Printed(t53, PrintPlatVedThreadProc, month + QStringLiteral("-t53"), "T53");
    ExpectAmounts(QStringLiteral("T-53"), StatementRows(t53Text, stored), stored, true);
    EXPECT_EQ(TotalIn(t53Text, QRegularExpression(QStringLiteral("\\(\\s*(\\d+)\\s+руб\\.\\s+(\\d+)\\s+коп\\.\\)"))),
              total);
    PrintPlatVedParams budget;
    budget.outputMode = BudgetStatement;
    const QString budgetText = Printed(budget, PrintPlatVedThreadProc, month + QStringLiteral("-0504403"), "0504403");
    ExpectAmounts(QStringLiteral("0504403"), StatementRows(budgetText, stored), stored, true);
    EXPECT_EQ(TotalIn(budgetText, QRegularExpression(QStringLiteral("Итого по ведомости\\s+(\\d+\\.\\d\\d)"))), total);
    PrintPlatVedParams orders;
    orders.outputMode = BankCashOrder;
    const Amounts ordered =
        OrderRows(Printed(orders, PrintPlatVedThreadProc, month + QStringLiteral("-orders"), "Zarp-Bank"), byFullName);
    ExpectAmounts(QStringLiteral("cash orders"), ordered, stored, true);
    EXPECT_EQ(
        std::accumulate(ordered.begin(), ordered.end(), 0.0, [](double s, const auto& o) { return s + o.second; }),
        total);
    // T-51 leaves the cell of nothing to pay empty: its rows are checked
    // where there is something to pay, and its total holds the rest to 0.
    PrintRaschVedParams t51;
    const QString t51Text = Printed(t51, PrintRaschVedThreadProc, month + QStringLiteral("-t51"), "T51");
    ExpectAmounts(QStringLiteral("T-51"), StatementRows(t51Text, stored), stored, false, true);
    EXPECT_EQ(TotalIn(t51Text, QRegularExpression(QStringLiteral("Итого\\s.*\\s(\\d+\\.\\d\\d)\\s*\\n"))), total);
    PrintLicschetParams printedAccounts;
    ExpectAmounts(
        QStringLiteral("personal accounts"),
        AccountRows(Printed(printedAccounts, PrintLicschetThreadProc, month + QStringLiteral("-accounts"), "LS")),
        stored, false);

    // The pay-statement runs stored their amounts: the on-screen statement
    // still shows the same.
    ExpectAmounts(QStringLiteral("on-screen statement after printing"), TextAmounts(StatementScreen(screenTotal)),
                  stored, false);
    EXPECT_EQ(screenTotal, Money(total));
    CloseScreens();
}

TEST_F(DemoMonthMoney, AprilAndMayAgreeInEveryDocumentAndScreen)
{
    if (OfficeProgram().isEmpty() || !PdfToTextAvailable())
        GTEST_SKIP() << "LibreOffice or poppler-utils are not installed: the printed forms are not read";
    ComputeAndStoreMonth(*doc);
    ASSERT_NO_FATAL_FAILURE(ExpectMonthAgrees(QStringLiteral("april")));
    // 331,354.61 to pay in April: the stored rows' figure, in every document
    // (128's child-care allowance is free of income tax: 1,993 withheld, not
    // 2,283, so 290.00 more than when it was taxed as sick pay; 107, hired on
    // 11 April, has her own 400 of April alone deducted, not four months'
    // 1,600: 13 % of 10,000.00 - 400.00 is 1,248 withheld, not 1,092, so
    // 156.00 less than 331,510.61).
    double april = 0;
    for (const auto& [tabN, m] : Stored()) april += m.toPay();
    EXPECT_EQ(Money(april), QStringLiteral("331354.61"));

    ASSERT_EQ(MoveEmployeesToNextMonth(kMay2011, {}, *doc), 1); // no error situation
    CloseBase(base());
    Open();
    ASSERT_EQ(base().config.tekMes, kMay2011);
    ComputeAndStoreMonth(*doc);
    ASSERT_NO_FATAL_FAILURE(ExpectMonthAgrees(QStringLiteral("may")));
}

// April of three employees worked out by hand from the demo data.
TEST_F(DemoMonthMoney, AprilOfThreeEmployeesWorkedByHand)
{
    // 110 Тихонов (salary 21,000.00, five-day week, 21 working days in April)
    // goes on vacation from 18 April for 14 calendar days, paid with the month.
    const int slot110 = Slot(110);
    VacationNote note;
    note.dBegin = 18;
    note.mBegin = 4;
    note.gBegin = 2011;
    note.dlin = 14;
    note.kalend = 1;
    note.alg = 1; // average per calendar day, 29.4 days a month
    ASSERT_TRUE(base().otp.replaceRun(slot110, std::vector<VacationNote>{note}));
    SaveIndexes(base(), LineKind::Otp);
    SaveOtp(base());
    ComputeAndStoreMonth(*doc);
    PrintPlatVedParams t53;
    t53.outputMode = PaymentStatement;
    t53.document = doc.get();
    ASSERT_EQ(RunWorker(t53, PrintPlatVedThreadProc), platform::TASK_DONE);

    // 110: 11 days at work (21,000.00 x 11 / 21 = 11,000.00) and 14 days of
    // vacation at the average of April 2010 - March 2011, 12 x 21,000.00 /
    // (12 x 29.4) = 714.29 a day: 10,000.06. Accrued 21,000.06. Tax: 13 % of
    // (84,000.06 - 400.00, the deduction on himself in January only) =
    // 10,868, less 2,678 + 2,730 + 2,730 withheld: 2,730. Advance 8,400.00.
    // To pay: 21,000.06 - 2,730.00 - 8,400.00 = 9,870.06; his contributions
    // (26 % of it, 5,460.02, and the rest) are the firm's and stay out.
    EXPECT_DOUBLE_EQ(base().zar1Of(slot110), 987'006);
    const std::map<int, QStringList> accounts = AccountScreen();
    EXPECT_EQ(accounts.at(110), (QStringList{"21000.06", "11130.00", "9870.06"}));

    // 130 Чернов, piece worker: 17,480.74 of piece work and a damage of
    // 1,250.00 made good (code 907), both entered for the month. Tax: 2011's
    // income 12,486.24 + 15,406.87 + 21,604.77 + 17,480.74 = 66,978.62, less
    // 400 in January and February (income within 40,000) and 1,000 a month
    // for his child: 62,178.62 x 13 % = 8,083, less 1,441 + 1,821 + 2,679
    // withheld: 2,142. Deducted: advance 6,000.00 + 2,142.00 + 1,250.00 =
    // 9,392.00; to pay 17,480.74 - 9,392.00 = 8,088.74. The piece work and
    // the damage are listed once.
    EXPECT_EQ(accounts.at(130), (QStringList{"17480.74", "9392.00", "8088.74"}));
    EXPECT_DOUBLE_EQ(base().zar1Of(Slot(130)), 808'874);
    auto* view = SwitchTo<CCalcLicSchetView>();
    ASSERT_NE(view, nullptr);
    QLineEdit* number = view->Strip()->Field(CTabelFilterDlg::IdTabN);
    number->setFocus();
    number->selectAll();
    TypeText(number, QStringLiteral("130"));
    QTest::keyClick(number, Qt::Key_Return);
    Settle();
    QStringList listed;
    CFldHlpGridCtrl* grid = view->Dlg()->Grid();
    for (int row = 1; row < grid->GetRowCount(); ++row)
        listed << grid->GetItemText(row, 1) + QLatin1Char(' ') + grid->GetItemText(row, 3);
    EXPECT_EQ(listed.filter(QStringLiteral("1 17480.74")).size(), 1) << listed.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(listed.filter(QStringLiteral("907 1250.00")).size(), 1) << listed.join(QLatin1Char(',')).toStdString();

    // 105 Широков: salary 24,000.00, advance 9,600.00, tax 13 % of (96,000 -
    // 400 - 4 x 1,000) = 11,908 less 2,938 + 2,990 + 2,990: 2,990. The rest,
    // 24,000.00 - 9,600.00 - 2,990.00 = 11,410.00, goes to his bank account:
    // nothing to pay in cash, and no line on the pay statement.
    EXPECT_EQ(accounts.at(105), (QStringList{"24000.00", "24000.00", "0.00"}));
    EXPECT_DOUBLE_EQ(base().zar1Of(Slot(105)), 0);
}
// A failed calculation mended and computed again: the month change waits for
// it, then archives the month and carries nothing of it as May's inputs, so
// May pays May alone.
TEST_F(DemoMonthMoney, AMendedFailureIsPaidOnceAfterTheMonthChange)
{
    // 110 Тихонов without a birth date: his contributions cannot be worked out.
    const int slot110 = Slot(110);
    LoadEmployee(base(), slot110);
    const u16 born = base().current.head.datR;
    base().current.head.datR = 0;
    SaveEmployee(base(), slot110);
    const CalcInPlaceRun failedRun = CalcWholeMonthInPlace(*doc);
    ASSERT_EQ(failedRun.outcome.detail, 1);
    const RunOutcome failed = FailedCalculations(*doc);
    ASSERT_EQ(failed.notes.size(), 1u);
    EXPECT_EQ(failed.notes[0].tabN, 110);
    EXPECT_EQ(failed.notes[0].text, QStringLiteral("Не указана дата рождения"));
    // The change refuses, naming him, and April stays.
    try {
        MoveEmployeesToNextMonth(kMay2011, {}, *doc);
        ADD_FAILURE() << "the month changed over a failed calculation";
    } catch (const TextError& e) {
        EXPECT_TRUE(e.message().endsWith(QStringLiteral("Таб.N 110 %1 - ошибка: Не указана дата рождения")
                                             .arg(base().shortNameOf(slot110).trimmed())))
            << e.message().toStdString();
    }
    EXPECT_EQ(base().config.tekMes, 2011 * 16 + 4);

    // The date typed, the month computed again: nothing stands in the way.
    LoadEmployee(base(), slot110);
    base().current.head.datR = born;
    SaveEmployee(base(), slot110);
    ComputeAndStoreMonth(*doc);
    EXPECT_TRUE(FailedCalculations(*doc).notes.empty());
    ASSERT_EQ(MoveEmployeesToNextMonth(kMay2011, {}, *doc), 1);
    CloseBase(base());
    Open();
    ASSERT_EQ(base().config.tekMes, kMay2011);
    // April is in his archive (his salary, 21,000.00, accrued once); May
    // starts without inputs.
    EXPECT_EQ(base().attributesOf(slot110).kvProizv, 0);
    LoadEmployee(base(), slot110);
    const EmployeeRecord& april = base().current;
    double aprilAccrued = 0;
    for (int i = 0; i < april.warKv; ++i) {
        const WariaEntry& e = april.waria[std::size_t(i)];
        if (e.mes == 4 && e.god == 2011 && e.kod < 700 && e.kod != 600)
            aprilAccrued += e.sum;
    }
    EXPECT_DOUBLE_EQ(aprilAccrued, 2'100'000);

    // May: salary 21,000.00, advance 8,400.00; tax 13 % of (105,000 - 400,
    // the deduction on himself in January only) = 13,598, less the 10,868
    // withheld January to April (2,678 + 2,730 + 2,730 + 2,730): 2,730. To
    // pay 21,000.00 - 2,730.00 - 8,400.00 = 9,870.00, and not April's pay
    // again on top of it.
    ComputeAndStoreMonth(*doc);
    PrintPlatVedParams t53;
    t53.outputMode = PaymentStatement;
    t53.document = doc.get();
    ASSERT_EQ(RunWorker(t53, PrintPlatVedThreadProc), platform::TASK_DONE);
    EXPECT_DOUBLE_EQ(base().zar1Of(slot110), 987'000);
    EXPECT_EQ(AccountScreen().at(110), (QStringList{"21000.00", "11130.00", "9870.00"}));
}
#endif
