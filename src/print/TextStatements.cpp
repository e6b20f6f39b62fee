#include "print/TextStatements.h"

#include "payroll/CalendarMath.h"
#include "payroll/PayKinds.h"
#include "platform/CodePage.h"
#include "print/BonusCalculation.h"
#include "print/FormTexts.h"
#include "print/PrintSelection.h"
#include "print/TextHelpers.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include "platform/SavedFile.h"

#include <algorithm>

namespace kalvor::print {

using infobase::CInfoBase;
using infobase::FirmInfo;

namespace {

constexpr int kRuleWidth = 72;
constexpr int kCutLineWidth = 81;
constexpr int kLineBytes = kRuleWidth + 2;

// ------------------------------------------------------------------ text pieces

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Repeat(char c, int count) { return QByteArray(count, c); }
// "%Ns": right-aligned in the width, never cut.
QByteArray Right(const QByteArray& text, int width) { return text.rightJustified(width, ' '); }
QByteArray RightUtf8(const char* utf8, int width) { return Right(Cp(utf8), width); }
// "%-N.Ns": left-aligned in the width and cut to it.
QByteArray LeftCut(const QByteArray& text, int width) { return text.left(width).leftJustified(width, ' '); }
// "%N.Ns": right-aligned in the width and cut to it.
QByteArray RightCut(const QByteArray& text, int width) { return text.left(width).rightJustified(width, ' '); }
QByteArray Number(long value, int width = 0) { return QByteArray::number(qlonglong(value)).rightJustified(width, ' '); }
QByteArray TwoDigits(int value) { return QByteArray::number(value).rightJustified(2, '0'); }

void Line(QByteArray& out, const QByteArray& text) { out += text + "\r\n"; }
void LineUtf8(QByteArray& out, const char* utf8) { Line(out, Cp(utf8)); }
void BlankLines(QByteArray& out, int count)
{
    for (int i = 0; i < count; ++i) out += "\r\n";
}
void Rule(QByteArray& out) { Line(out, Repeat('-', kRuleWidth)); }
void CutLine(QByteArray& out) { Line(out, Repeat('-', kCutLineWidth)); }

QByteArray FirmText(const PayrollDoc& doc, FirmInfo::Text text)
{
    return codepage::toCp1251(doc.infoBase.firm.texts[std::size_t(text)].trimmed());
}

// "Фамилия И.О." from "Фамилия Имя Отчество".
QByteArray SurnameWithInitials(const QByteArray& fullName)
{
    const QList<QByteArray> words = fullName.simplified().split(' ');
    if (words.isEmpty() || words.front().isEmpty())
        return QByteArray();
    QByteArray result = words[0];
    if (words.size() > 1)
        result += ' ';
    for (int i = 1; i < std::min<int>(int(words.size()), 3); ++i) result += words[i].left(1) + '.';
    return result;
}

// `"___" ____________ 20__ года`
QByteArray DateBlank() { return Cp("\"___\" ____________ 20__ года"); }

// ------------------------------------------------------------------ rows and totals

const char* const kColumnHeads[] = {
    "------------------------------------------------------------------------",
    "Номер|Табель-|      Фамилия,       |    Сумма,   | Подпись в |Примечание",
    "по по|ный но-|      инициалы       |     руб.    | получении |          ",
    "рядку|мер    |                     |             |           |          ",
    "-----|-------|---------------------|-------------|-----------|----------",
    "  1  |   2   |          3          |      4      |     5     |      6   ",
    "------------------------------------------------------------------------",
};
const char* const kRowSeparator = "-----|-------|---------------------|-------------|-----------|----------";

double RoundedAmount(double amount, const PayrollDoc& doc)
{
    return RoundPayout(RoundByPayKind(amount, kStatementRoundingKind, doc), doc);
}

// The next cursor of the kind and the unrounded amount of its row; the amount
// is 0 for an entry that is not to be paid with the statement.
int NextCursor(StatementKind kind, int cursor, const StatementPrintParams& params, const PayrollDoc& doc)
{
    switch (kind) {
    case StatementKind::Advance:
        return NextEmployeeInSelection(cursor, doc, params.shop, params.brigade, params.profession);
    case StatementKind::SickPay:
        return NextSickSheetInSelection(cursor, doc, params.shop, params.brigade, params.profession);
    case StatementKind::Vacation:
        return NextVacationEntryInSelection(cursor, doc, params.shop, params.brigade, params.profession);
    }
    return -1;
}

double AmountAt(StatementKind kind, int cursor, const PayrollDoc& doc)
{
    const CInfoBase& base = doc.infoBase;
    if (kind == StatementKind::Advance)
        return base.avOf(base.list[std::size_t(cursor)].slot);
    const int slot = base.list[std::size_t(CursorEmployee(cursor))].slot;
    const int entry = CursorEntry(cursor) - 1;
    if (kind == StatementKind::SickPay) {
        const infobase::SickLeaveSheet& sheet = base.bln.lines[std::size_t(base.bln.first(slot) + entry)];
        return sheet.mrp != 0 ? sheet.sum : 0;
    }
    const infobase::VacationNote& note = base.otp.lines[std::size_t(base.otp.first(slot) + entry)];
    return note.mrp != 0 ? note.sum : 0;
}

// The page range of the parameters: the first row to print, the row limit
// and the page counter before the first page of rows.
struct PageRange {
    int firstRow = 1;
    int rowLimit = 9999;
    int pageBefore = 1;
};

PageRange PageRangeOf(const StatementPrintParams& params)
{
    PageRange range;
    if (params.firstPage > 1) {
        range.firstRow = (params.firstPage - 2) * kStatementPageRows + 1;
        range.pageBefore = params.firstPage - 1;
    }
    if (params.lastPage != 0)
        range.rowLimit = (params.lastPage - 1) * kStatementPageRows + 1;
    return range;
}

// ------------------------------------------------------------------ title page

void WriteFormHead(QByteArray& out, const PayrollDoc& doc)
{
    Line(out, RightUtf8("Унифицированная форма N Т-53", 44));
    Line(out, RightUtf8("Утверждена Постановлением", 47));
    Line(out, RightUtf8("Госкомстата России", 54));
    Line(out, RightUtf8(" от 05.01.2004 N 1", 54));
    BlankLines(out, 1);
    Line(out, Right("|-------|", 63));
    Line(out, Cp("Организация") + RightUtf8("|  Код  |", 52));

    // The firm's name in a blank field of 60: as many whole words as fit 36.
    QByteArray field(60, ' ');
    QByteArray name;
    for (const QByteArray& word : FirmText(doc, FirmInfo::firmName).simplified().split(' ')) {
        const QByteArray longer = name.isEmpty() ? word : name + ' ' + word;
        if (longer.size() > 36) {
            if (name.isEmpty())
                name = word.left(36);
            break;
        }
        name = longer;
    }
    field.replace(0, name.size(), name);
    Line(out, field.left(54) + Right("|-------|", 20));
    Line(out, Repeat('-', 38) + Repeat(' ', 11) + Cp("Форма по ОКУД |0301011|"));
}

void WriteShopAndBrigade(QByteArray& out, const StatementPrintParams& params, const PayrollDoc& doc)
{
    if (const infobase::ShopRecord* shop = doc.infoBase.shopNumbered(params.shop))
        Line(out, Cp("Цех ") + LeftCut(codepage::toCp1251(shop->name.trimmed()), 29) + Right("|       |", 30));
    else
        Line(out, Cp("Цех") + Right("|       |", 60));
    Line(out, Repeat('-', 38) + RightUtf8("по ОКПО", 23) + "|       |");
    if (params.brigade != 0)
        Line(out, Cp("Бригада") + Number(params.brigade, 3));
    else
        Line(out, Cp("Бригада") + Repeat(' ', 56));
    Line(out, Repeat('-', 38) + Right("|       |", 25));
    Line(out, Right("|-------|", 74));
    Line(out, RightUtf8("Корреспондирующий счет", 62) + "|       |");
    Line(out, Right("|-------|", 74));
}

void WritePeriodAndSum(QByteArray& out, long roubles, int kopecks, const char* totalInWords)
{
    LineUtf8(out, "В кассу для оплаты в срок");
    BlankLines(out, 1);
    LineUtf8(out, "с \"___\" _________ 20__ года по \"___\" _________ 20__ года");
    BlankLines(out, 1);

    // The words broken at blanks into pieces of at most 32, 40 and 40 characters.
    QByteArray rest = QByteArray(totalInWords).trimmed();
    const int widths[] = {32, 40, 40};
    const char* const underlines[] = {"      ------------------------------", "------------------------------------",
                                      "------------------------------------"};
    for (int piece = 0; piece < 3; ++piece) {
        const int width = widths[piece];
        int cut = int(rest.size());
        if (cut > width) {
            cut = int(rest.lastIndexOf(' ', width));
            if (cut <= 0)
                cut = width;
        }
        const QByteArray text = rest.left(cut);
        rest = rest.mid(cut).trimmed();
        Line(out, (piece == 0 ? Cp("Сумма ") : QByteArray()) + text.leftJustified(width, ' '));
        Line(out, underlines[piece]);
    }
    Line(out, Cp("(") + Number(roubles, 9) + Cp(" рубл") + Cp(RoubleEnding(roubles)) + ' ' + TwoDigits(kopecks) + ' ' +
                  Cp(KopeckWord(kopecks)));
}

void WriteTitleSignatures(QByteArray& out, const PayrollDoc& doc)
{
    BlankLines(out, 1);
    LineUtf8(out, "Руководитель организации");
    Line(out, FirmText(doc, FirmInfo::statusShef) + Repeat(' ', 33) + "/ " +
                  SurnameWithInitials(FirmText(doc, FirmInfo::fioShef)) + " /");
    BlankLines(out, 1);
    Line(out, Cp("Главный бухгалтер ") + Repeat(' ', 23) + "/ " + SurnameWithInitials(FirmText(doc, FirmInfo::fioBuh)) +
                  " /");
    BlankLines(out, 1);
    Line(out, Repeat(' ', 24) + DateBlank());
    BlankLines(out, 1);
}

void WriteDocumentBox(QByteArray& out, const PayrollDoc& doc)
{
    Line(out, Right("|---------|-----------|  |---------------------|", 74));
    Line(out, Right(Cp("|  Номер  |   Дата    |  |  Расчетный период   |"), 74));
    Line(out, Right(Cp("|документа|составления|  |----------|----------|"), 74));
    Line(out, Right(Cp("|         |           |  |     с    |    по    |"), 74));
    Line(out, RightUtf8("ПЛАТЕЖНАЯ", 22) + "|---------|-----------|  |----------|----------|");

    const QDate today = Clock::today();
    const int year = doc.infoBase.config.reportingYear();
    const int month = doc.infoBase.config.reportingMonth();
    const int lastDay = MonthLengthsForYear(year)[std::size_t(std::clamp(month, 1, 12))];
    const QByteArray yy = TwoDigits(year % 100);
    Line(out, RightUtf8("ВЕДОМОСТЬ  |         |", 35) + ' ' + TwoDigits(today.day()) + '.' + TwoDigits(today.month()) +
                  '.' + TwoDigits(today.year() % 100) + "  |  | 01." + TwoDigits(month) + '.' + yy + " | " +
                  TwoDigits(lastDay) + '.' + TwoDigits(month) + '.' + yy + " |");
    Line(out, Right("|---------|-----------|  |----------|----------|", 74));
}

// From "По настоящей платежной ведомости выплачено" to the checking
// accountant's line: the closing block of mode 0 and the title of mode 3.
void WritePayoutBlock(QByteArray& out, const PayrollDoc& doc)
{
    const char* const sumLine = "__________________________________ руб.___ коп.(__________ руб.___ коп.)";
    LineUtf8(out, "По настоящей платежной ведомости выплачено _____________________________");
    BlankLines(out, 1);
    Line(out, Repeat('_', kRuleWidth));
    BlankLines(out, 1);
    LineUtf8(out, sumLine);
    BlankLines(out, 1);
    LineUtf8(out, "и депонировано _________________________________________________________");
    BlankLines(out, 1);
    Line(out, Repeat('_', kRuleWidth));
    BlankLines(out, 1);
    LineUtf8(out, sumLine);
    BlankLines(out, 1);
    Line(out, Cp("Выплату произвел ") + LeftCut(FirmText(doc, FirmInfo::kassirDolg), 30) + "/ " +
                  FirmText(doc, FirmInfo::kassirFio).left(30) + " /");
    BlankLines(out, 1);
    Line(out, Cp("Расходный кассовый ордер N _____ от ") + DateBlank());
    BlankLines(out, 1);
    Line(out, Cp("Проверил бухгалтер") + Repeat(' ', 29) + "/ " + FirmText(doc, FirmInfo::buhFio).left(30) + " /");
}

// ------------------------------------------------------------------ pages

void WritePageHeading(QByteArray& out, int page, const StatementPrintParams& params)
{
    QByteArray heading = "\t\t\t " + Number(page) + Cp("-я страница");
    if (params.shop != 0)
        heading += "\t " + Number(params.shop) + Cp("-й цех");
    if (params.brigade != 0)
        heading += "  " + Number(params.brigade) + Cp("-я бригада");
    Line(out, heading);
    for (const char* head : kColumnHeads) LineUtf8(out, head);
}

void WriteRow(QByteArray& out, int rowNumber, const StatementRow& row, const PayrollDoc& doc)
{
    const QString& shortName = doc.infoBase.shortNameOf(row.slot);
    Line(out, ' ' + Number(rowNumber, 4) + "|  " + Number(row.personnelNumber, 4) + " | " +
                  RightCut(codepage::toCp1251(shortName), 20) + '|' + FormatFixed8(row.amount / 100, 2, 13) +
                  "|           |          ");
}

// The pages of rows; returns the page of the last row, and the number of the
// last row printed and how many were printed through the out-parameters.
int WriteStatementPages(QByteArray& out, const std::vector<StatementRow>& rows, const StatementPrintParams& params,
                        const PageRange& range, int rowsInRange, const PayrollDoc& doc, int& lastRow, int& printed)
{
    int page = range.pageBefore;
    int remaining = rowsInRange;
    std::size_t next = std::size_t(std::max(range.firstRow - 1, 0));
    while (remaining > 0 && next < rows.size()) {
        WritePageHeading(out, ++page, params);
        bool pageEnded = false;
        while (!pageEnded && remaining > 0 && next < rows.size()) {
            const int rowNumber = int(next) + 1;
            WriteRow(out, rowNumber, rows[next++], doc);
            lastRow = rowNumber;
            ++printed;
            --remaining;
            pageEnded = rowNumber % kStatementPageRows == 0 || remaining == 0 || next == rows.size();
            if (pageEnded)
                Rule(out);
            else
                LineUtf8(out, kRowSeparator);
        }
        if (remaining > 0 && next < rows.size()) {
            BlankLines(out, 3);
            if (params.variant != 0)
                out += Repeat('-', kCutLineWidth);
            BlankLines(out, 3);
        }
    }
    return page;
}

// Moves the last row of out (after its separator, before the closing rule)
// onto a new page; returns the new page's number.
int MoveLastRowToNewPage(QByteArray& out, const StatementPrintParams& params, int page, int rowsOnPage)
{
    if (out.size() < 3 * kLineBytes)
        throw TextError(kMsgReadFailed);
    const qsizetype rowStart = out.size() - 2 * kLineBytes;
    const QByteArray lastRow = out.mid(rowStart, kLineBytes);
    out.truncate(rowStart - kLineBytes);
    Rule(out); // the separator before the moved row closes the page
    BlankLines(out, 2 * (kStatementPageRows + 1 - rowsOnPage));
    BlankLines(out, 7);
    WritePageHeading(out, page + 1, params);
    out += lastRow;
    Rule(out);
    return page + 1;
}

bool SaveStatement(const QString& path, const QByteArray& text)
{
    platform::SavedFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

int WriteStatementRows(const std::vector<StatementRow>& rows, const StatementPrintParams& params, const PayrollDoc& doc,
                       const QString& path, int rowsInRange)
{
    const StatementTotal total = SumStatementAmounts(rows);
    char words[kWordBufferSize];
    SumInWords(int(total.roubles), total.kopecks, words);

    QByteArray text;
    if (params.firstPage <= 1)
        WriteStatementTitle(params, doc, total.roubles, total.kopecks, words, int(rows.size()), text);
    if (params.lastPage != 1) {
        const PageRange range = PageRangeOf(params);
        int lastRow = 0, printed = 0;
        const int page = WriteStatementPages(text, rows, params, range, rowsInRange, doc, lastRow, printed);
        // The closing block follows the statement's last row, also when the
        // pages asked for end exactly with it.
        if (printed > 0 && lastRow == int(rows.size()))
            WriteStatementPageBreak(text, params, page, lastRow, total.roubles, total.kopecks, doc);
    }
    return SaveStatement(path, text) ? 0 : kPrintFileFault;
}

int WriteStatementText(StatementKind kind, const StatementPrintParams& params, const PayrollDoc& doc,
                       const QString& path, int markedOnly, int rowsInRange)
{
    return WriteStatementRows(SelectStatementRows(kind, params, doc, markedOnly), params, doc, path, rowsInRange);
}

} // namespace

// ------------------------------------------------------------------ public

std::vector<StatementRow> SelectEmployeeRows(const StatementPrintParams& params, const PayrollDoc& doc, int markedOnly,
                                             const AmountOfSlot& amountOf, bool rounded)
{
    const CInfoBase& base = doc.infoBase;
    std::vector<StatementRow> rows;
    for (int employee = NextEmployeeInSelection(-1, doc, params.shop, params.brigade, params.profession); employee >= 0;
         employee = NextEmployeeInSelection(employee, doc, params.shop, params.brigade, params.profession)) {
        if (!EmployeeInStatement(base, employee, params, markedOnly))
            continue;
        const infobase::EmployeeListEntry& entry = base.list[std::size_t(employee)];
        const double stored = amountOf(entry.slot);
        const double amount = rounded ? RoundedAmount(stored, doc) : stored;
        if (amount != 0)
            rows.push_back({employee, entry.slot, entry.tabN(), amount});
    }
    return rows;
}

std::vector<StatementRow> SelectStatementRows(StatementKind kind, const StatementPrintParams& params,
                                              const PayrollDoc& doc, int markedOnly)
{
    const CInfoBase& base = doc.infoBase;
    if (kind == StatementKind::Advance)
        return SelectEmployeeRows(params, doc, markedOnly, [&](int slot) { return base.avOf(slot); }, true);
    std::vector<StatementRow> rows;
    for (int cursor = NextCursor(kind, -1, params, doc); cursor >= 0; cursor = NextCursor(kind, cursor, params, doc)) {
        const int employee = kind == StatementKind::Advance ? cursor : CursorEmployee(cursor);
        if (!EmployeeInStatement(base, employee, params, markedOnly))
            continue;
        const double amount = RoundedAmount(AmountAt(kind, cursor, doc), doc);
        if (amount == 0)
            continue;
        const infobase::EmployeeListEntry& entry = base.list[std::size_t(employee)];
        rows.push_back({cursor, entry.slot, entry.tabN(), amount});
    }
    return rows;
}

int CountRowsInPageRange(int rowCount, const StatementPrintParams& params)
{
    const PageRange range = PageRangeOf(params);
    const int lastRow = params.lastPage > 0 ? (params.lastPage - 1) * kStatementPageRows : rowCount;
    return std::max(0, std::min(rowCount, lastRow) - range.firstRow + 1);
}

int CountStatementRowsInRange(StatementKind kind, const StatementPrintParams& params, const PayrollDoc& doc,
                              int markedOnly)
{
    return CountRowsInPageRange(int(SelectStatementRows(kind, params, doc, markedOnly).size()), params);
}

StatementTotal SumStatementAmounts(const std::vector<StatementRow>& rows)
{
    StatementTotal total;
    long kopecks = 0;
    for (const StatementRow& row : rows) {
        const QByteArray text = FormatFixed8(row.amount / 100, 2, 10).trimmed();
        const qsizetype point = text.indexOf('.');
        total.roubles += text.left(point).toLong();
        kopecks += text.mid(point + 1, 2).toLong();
    }
    total.roubles += kopecks / 100;
    total.kopecks = int(kopecks % 100);
    return total;
}

const char* RoubleEnding(long roubles)
{
    const long lastTwo = roubles % 100, last = roubles % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return "ей";
    if (last == 1)
        return "ь";
    if (last >= 2 && last <= 4)
        return "я";
    return "ей";
}

const char* KopeckWord(int kopecks)
{
    const int lastTwo = kopecks % 100, last = kopecks % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return "копеек)";
    if (last == 1)
        return "копейка)";
    if (last >= 2 && last <= 4)
        return "копейки)";
    return "копеек)";
}

int WriteAdvanceStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                              int markedOnly, int rowsInRange)
{
    return WriteStatementText(StatementKind::Advance, params, doc, path, markedOnly, rowsInRange);
}

int WriteSickPayStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                              int markedOnly, int rowsInRange)
{
    return WriteStatementText(StatementKind::SickPay, params, doc, path, markedOnly, rowsInRange);
}

int WriteVacationStatementText(const StatementPrintParams& params, const PayrollDoc& doc, const QString& path,
                               int markedOnly, int rowsInRange)
{
    return WriteStatementText(StatementKind::Vacation, params, doc, path, markedOnly, rowsInRange);
}

bool NothingOnSheets(int rowCount, const StatementPrintParams& params)
{
    const bool headSheetAlone = params.outputMode == PaymentStatement && params.lastPage == 1 && rowCount > 0;
    return CountOnSheets(rowCount, params.outputMode, params.firstPage, params.lastPage) == 0 && !headSheetAlone;
}

int SelectBonusRows(const StatementPrintParams& params, PayrollDoc& doc, int selector, std::vector<StatementRow>& rows)
{
    infobase::BySlot<double> amounts;
    rows.clear();
    if (const int r = CalcBonusAmounts(params, doc, selector, amounts); r < 0)
        return r;
    rows = SelectEmployeeRows(params, doc, selector < 0 ? 0 : selector, [&](int slot) { return amounts[slot]; }, true);
    return 0;
}

int WriteBonusStatementText(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int selector)
{
    std::vector<StatementRow> rows;
    if (const int r = SelectBonusRows(params, doc, selector, rows); r < 0)
        return r;
    if (NothingOnSheets(int(rows.size()), params))
        return kNothingToPrint;
    return WriteStatementRows(rows, params, doc, path, CountRowsInPageRange(int(rows.size()), params));
}

void WriteStatementTitle(const StatementPrintParams& params, const PayrollDoc& doc, long roubles, int kopecks,
                         const char* totalInWords, int rowCount, QByteArray& out)
{
    WriteFormHead(out, doc);
    WriteShopAndBrigade(out, params, doc);
    WritePeriodAndSum(out, roubles, kopecks, totalInWords);
    WriteTitleSignatures(out, doc);
    WriteDocumentBox(out, doc);
    const bool budget = params.outputMode == BudgetStatement;
    if (budget) {
        const int sheets = rowCount / kStatementPageRows + 2 + (rowCount % kStatementPageRows > 21 ? 1 : 0);
        Line(out, "    " + Cp("Количество листов ") + ' ' + Number(sheets) + ' ');
        WritePayoutBlock(out, doc);
    }
    BlankLines(out, budget ? 3 : 21);
    if (params.variant != 0)
        CutLine(out);
}

void WriteStatementPageBreak(QByteArray& out, const StatementPrintParams& params, int page, int lastRow, long roubles,
                             int kopecks, const PayrollDoc& doc)
{
    const bool full = params.outputMode == PaymentStatement;
    const int rowsOnPage = lastRow % kStatementPageRows == 0 ? kStatementPageRows : lastRow % kStatementPageRows;
    if (rowsOnPage > (full ? 16 : 21))
        page = MoveLastRowToNewPage(out, params, page, rowsOnPage);

    Line(out,
         Cp("Итого|       |                     |") + Number(roubles, 10) + '.' + TwoDigits(kopecks) + "|           |");
    Rule(out);
    if (!full) {
        Line(out, Repeat(' ', 12));
        BlankLines(out, 1);
        LineUtf8(out, "Ведомость составил");
        BlankLines(out, 2);
        LineUtf8(out, "Ведомость проверил");
        BlankLines(out, 5);
        return;
    }
    Line(out, RightUtf8("Количество листов ", 63) + Number(page));
    BlankLines(out, 1);
    WritePayoutBlock(out, doc);
    BlankLines(out, 1);
    Line(out, Right(DateBlank(), 48));
}

} // namespace kalvor::print
