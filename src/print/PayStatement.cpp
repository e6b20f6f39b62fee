#include "print/PayStatement.h"

#include "payroll/CalendarMath.h"
#include "platform/CodePage.h"
#include "print/FormTexts.h"
#include "print/PrintSelection.h"
#include "print/TextHelpers.h"
#include "print/TextStatements.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include <algorithm>

namespace kalvor::print {

using infobase::CInfoBase;
using infobase::FirmInfo;

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Number(long value) { return QByteArray::number(qlonglong(value)); }
// Kopecks always in two digits: five kopecks written "5" would read as fifty.
QByteArray Kopecks(long value) { return Number(value).rightJustified(2, '0'); }

// The total of the statement and its words.
struct PayStatementTotal {
    StatementTotal sum;
    QByteArray words;
};

// One statement: the totals over the selection, then the title part, the
// list with its page headers and the closing part, each as the rows of the
// form's template in their order.
class PayStatementWriter {
public:
    PayStatementWriter(CTree& tree, const StatementPrintParams& params, const PayrollDoc& doc, int markedOnly,
                       int lineCount, PayStatementOptions options, const AmountOfSlot& payOf)
        : m_tree(tree)
        , m_params(params)
        , m_doc(doc)
        , m_base(doc.infoBase)
        , m_payOf(payOf ? payOf : DocumentPayAmounts(doc))
        , m_markedOnly(markedOnly)
        , m_lineCount(lineCount)
        , m_options(options)
        , m_budget(IsBudgetPayStatement(params))
    {}

    void Write()
    {
        PrepareCounters();
        const PayStatementTotal total = SumSelection();
        m_page = m_tree.NewPage(nullptr, "page0");
        if (m_params.firstPage <= 1) {
            if (m_budget)
                WriteBudgetTitle(total);
            else
                WriteT53Title(total);
        }
        if (m_params.lastPage == 1)
            return;
        WriteList();
        if (m_budget)
            WriteBudgetClosing(total.sum);
        else
            WriteT53Closing();
    }

private:
    void PrepareCounters();
    int NextPassingEmployee(int cursor) const;
    double AmountOf(int employee) const;
    PayStatementTotal SumSelection() const;

    void Row(int number, const QList<QByteArray>& values = {});
    void EmptyRows(int first, int last);
    QByteArray Firm(FirmInfo::Text text) const { return FirmText8(m_doc, text); }

    void WriteT53Title(const PayStatementTotal& total);
    void WriteBudgetTitle(const PayStatementTotal& total);
    void WriteList();
    void WritePageHeader();
    void WriteLine(int serial, int employee, double amount);
    void WriteT53Closing();
    void WriteBudgetClosing(const StatementTotal& total);

    CTree& m_tree;
    const StatementPrintParams& m_params;
    const PayrollDoc& m_doc;
    const CInfoBase& m_base;
    AmountOfSlot m_payOf;
    const int m_markedOnly;
    const int m_lineCount;
    const PayStatementOptions m_options;
    const bool m_budget;

    QDomElement m_page;
    int m_pageCounter = 1;
    int m_firstSerial = 1;
    int m_pageSize = kT53PageLines;
};

// ------------------------------------------------------------------ selection and totals

void PayStatementWriter::PrepareCounters()
{
    if (m_params.firstPage > 1) {
        m_pageCounter = m_params.firstPage - 1;
        m_firstSerial = (m_params.firstPage - 2) * kSelectionPageLines + 1;
    }
    m_pageSize = m_budget ? kBudgetFirstPageLines : kT53PageLines;
}

// The next employee of the shop, brigade and profession who is the one of the
// personnel number, or (without one) marked when only the marked are asked.
int PayStatementWriter::NextPassingEmployee(int cursor) const
{
    const StatementPrintParams& p = m_params;
    for (cursor = NextEmployeeInSelection(cursor, m_doc, p.shop, p.brigade, p.profession); cursor >= 0;
         cursor = NextEmployeeInSelection(cursor, m_doc, p.shop, p.brigade, p.profession)) {
        const infobase::EmployeeListEntry& entry = m_base.list[std::size_t(cursor)];
        if (p.personnelNumber != 0) {
            if (entry.tabN() == p.personnelNumber)
                return cursor;
        } else if (!m_markedOnly || entry.marked()) {
            return cursor;
        }
    }
    return -1;
}

double PayStatementWriter::AmountOf(int employee) const
{
    return m_payOf(m_base.list[std::size_t(employee)].slot);
}

// Whole roubles and kopecks of every passing employee, from the "%10.2f" text
// of each amount; T-53 writes the roubles alone in words (the form prints the
// currency), 0504403 the amount with its currency words.
PayStatementTotal PayStatementWriter::SumSelection() const
{
    std::vector<StatementRow> rows;
    for (int cursor = NextPassingEmployee(-1); cursor >= 0; cursor = NextPassingEmployee(cursor))
        rows.push_back(
            {cursor, m_base.list[std::size_t(cursor)].slot, m_base.list[std::size_t(cursor)].tabN(), AmountOf(cursor)});
    PayStatementTotal total{SumStatementAmounts(rows), {}};

    char words[kWordBufferSize];
    if (m_budget) {
        total.words = QByteArray(words, SumInWords(int(total.sum.roubles), total.sum.kopecks, words));
    } else {
        total.words = QByteArray(words, NumberInWords(int(total.sum.roubles), words));
        if (total.words.endsWith(' '))
            total.words.chop(1);
    }
    return total;
}

// ------------------------------------------------------------------ rows

void PayStatementWriter::Row(int number, const QList<QByteArray>& values)
{
    const QDomElement row = m_tree.NewRow("row" + QByteArray::number(number), nullptr, m_page);
    if (!values.isEmpty())
        m_tree.AddValue(row, values);
}

void PayStatementWriter::EmptyRows(int first, int last)
{
    for (int number = first; number <= last; ++number) Row(number);
}

void PayStatementWriter::WriteT53Title(const PayStatementTotal& total)
{
    const QDate today = Clock::today();
    const int year = m_base.config.reportingYear();
    const int month = std::clamp(m_base.config.reportingMonth(), 1, 12);
    // The period ends on the month's last day, 29 February in a leap year.
    const int lastDay = MonthLengthsForYear(year)[std::size_t(month)];

    EmptyRows(0, 5);
    Row(6, {CollapseBlanks(Firm(FirmInfo::firmName), 56), ""});
    Row(7);
    Row(8, {UnitText(m_doc, m_params.shop, m_params.brigade)});
    Row(9, {""});
    EmptyRows(10, 11);
    Row(12, QList<QByteArray>(6));
    Row(13, {total.words});
    Row(14);
    Row(15, {"", Kopecks(total.sum.kopecks), Number(total.sum.roubles), Kopecks(total.sum.kopecks)});
    Row(16);
    Row(17, {CollapseBlanks(Firm(FirmInfo::statusShef), 30), CollapseBlanks(Firm(FirmInfo::fioShef), 46)});
    Row(18);
    Row(19, {CollapseBlanks(Firm(FirmInfo::fioBuh), 46)});
    Row(20);
    Row(21, QList<QByteArray>(3));
    EmptyRows(22, 24);
    Row(25, {"", FormDate(today.day(), today.month(), today.year()), FormDate(1, month, year),
             FormDate(lastDay, month, year)});
    for (int blank = 0; blank < 26; ++blank) Row(26);
}

void PayStatementWriter::WriteBudgetTitle(const PayStatementTotal& total)
{
    const QDate today = Clock::today();
    const int year = m_base.config.reportingYear();

    Row(0);
    Row(1, QList<QByteArray>(6));
    Row(2, {total.words});
    Row(3, {FioInitials(Firm(FirmInfo::fioShef))});
    Row(4);
    Row(5, {FioInitials(Firm(FirmInfo::fioBuh))});
    EmptyRows(6, 7);
    Row(8, {""});
    Row(9, {""});
    Row(10, {MonthName(m_base.config.reportingMonth()), QByteArray::number(year % 100).rightJustified(2, '0'), ""});
    Row(11, {CollapseBlanks(Firm(FirmInfo::firmName), 56), ""});
    Row(12, {UnitText(m_doc, m_params.shop, m_params.brigade)});
    EmptyRows(13, 14);
    Row(15, {"", "", "", FormDate(today.day(), today.month(), today.year())});
}

// ------------------------------------------------------------------ list

// The lines of the employees with something to pay, in list order, with the
// page-header rows before each sheet. Lines before the first serial number
// (a first page above 1) are counted but not written. The list ends when the
// counted lines are used up, or earlier when the employees run out (the count
// is then larger than what there is to print); the closing part follows.
void PayStatementWriter::WriteList()
{
    const bool zeroUsesLine = m_options.withoutPause != 0 && m_options.newEmployeesOnly != 0;
    int serial = 0;
    int linesOnPage = 0;
    int remaining = m_lineCount;
    WritePageHeader();
    for (int cursor = NextPassingEmployee(-1); cursor >= 0 && remaining > 0; cursor = NextPassingEmployee(cursor)) {
        const double amount = AmountOf(cursor);
        if (amount == 0) {
            if (zeroUsesLine)
                --remaining;
            continue;
        }
        ++serial;
        ++linesOnPage;
        if (serial < m_firstSerial)
            continue;
        WriteLine(serial, cursor, amount);
        --remaining;
        if (linesOnPage % m_pageSize == 0 && remaining > 0) {
            WritePageHeader();
            linesOnPage = 0;
        }
    }
}

void PayStatementWriter::WritePageHeader()
{
    if (m_budget) {
        const bool later = m_pageCounter > 1;
        Row(16,
            {"", later ? Cp("Форма 0504403") : QByteArray(), later ? Cp("с.") + Number(m_pageCounter) : QByteArray()});
        EmptyRows(17, 18);
        if (m_pageCounter == 2)
            m_pageSize = kBudgetPageLines;
        ++m_pageCounter;
    } else {
        ++m_pageCounter;
        Row(27, {"", Number(m_pageCounter) + Cp("-я страница"), Cp("формы N Т-53")});
        EmptyRows(28, 29);
    }
}

void PayStatementWriter::WriteLine(int serial, int employee, double amount)
{
    const infobase::EmployeeListEntry& entry = m_base.list[std::size_t(employee)];
    const QByteArray name = codepage::toCp1251(m_base.shortNameOf(entry.slot)).left(20);
    const QByteArray money = FormatFixed8(amount / 100, 2);
    if (m_budget)
        Row(19, {Number(serial), name, Number(entry.tabN()), money, ""});
    else
        Row(30, {Number(serial), Number(entry.tabN()), name, money, "", ""});
}

// ------------------------------------------------------------------ closing part

void PayStatementWriter::WriteT53Closing()
{
    Row(31);
    Row(32, {Number(m_pageCounter)});
    EmptyRows(33, 41);
    Row(42, {Firm(FirmInfo::kassirDolg).left(30), Firm(FirmInfo::kassirFio).left(30)});
    EmptyRows(43, 44);
    Row(45, {Firm(FirmInfo::buhFio).left(30)});
    Row(46);
    Row(47, QList<QByteArray>(3));
}

void PayStatementWriter::WriteBudgetClosing(const StatementTotal& total)
{
    Row(20, {Number(total.roubles) + '.' + Kopecks(total.kopecks)});
    EmptyRows(21, 25);
    Row(26, {Firm(FirmInfo::kassirFio).left(30)});
    EmptyRows(27, 28);
    Row(29, {Firm(FirmInfo::kassirDolg).left(30), Firm(FirmInfo::kassirFio).left(30)});
    EmptyRows(30, 31);
    Row(32, {Cp("бухгалтер"), Firm(FirmInfo::buhFio).left(30)});
    Row(33);
    Row(34, QList<QByteArray>(2));
}

} // namespace

bool IsBudgetPayStatement(const StatementPrintParams& params) { return params.outputMode != 0; }

QByteArray PayStatementTemplate(const StatementPrintParams& params)
{
    return IsBudgetPayStatement(params) ? kPayStatementBudgetTemplate : kPayStatementT53Template;
}

void FillPayStatement(CTree& tree, const StatementPrintParams& params, const PayrollDoc& doc, int markedOnly,
                      int lineCount, PayStatementOptions options, const AmountOfSlot& payOf)
{
    PayStatementWriter(tree, params, doc, markedOnly, lineCount, options, payOf).Write();
}

int PrintPayStatement(const StatementPrintParams& params, const PayrollDoc& doc, const QString& outputPath,
                      int markedOnly, int lineCount, PayStatementOptions options, QString* errorText,
                      const AmountOfSlot& payOf)
{
    try {
        CTree tree(PayStatementTemplate(params), outputPath);
        FillPayStatement(tree, params, doc, markedOnly, lineCount, options, payOf);
        const int generated = tree.Generate();
        if (errorText != nullptr)
            *errorText = tree.ErrorText();
        return generated < 0 ? kPrintFileFault : 0;
    } catch (const TextError& error) {
        // The template cannot be opened or read.
        if (errorText != nullptr)
            *errorText = error.message();
        return kPrintFileFault;
    }
}

} // namespace kalvor::print
