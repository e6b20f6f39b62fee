#include "print/CashOrders.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "print/FormTexts.h"
#include "print/TextHelpers.h"
#include "print/TextStatements.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Text8.h"

#include "platform/SavedFile.h"

#include <vector>

namespace kalvor::print {

using infobase::EmployeeRecord;
using infobase::FirmInfo;

namespace {

constexpr int kCutLineWidth = 100;
constexpr int kBoxWidth = 98;
constexpr int kNoOrderLimit = 9999;

// ------------------------------------------------------------------ text pieces

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Cp(const QString& text) { return codepage::toCp1251(text); }
QByteArray Dots(int count) { return QByteArray(count, '.'); }
QByteArray Right(const QByteArray& text, int width) { return text.rightJustified(width, ' '); }
QByteArray TwoDigits(int value) { return QByteArray::number(value).rightJustified(2, '0'); }
QByteArray Squeezed(const QString& text) { return SqueezeBlanks(Cp(text)); }

// Each item of the text form begins a new line.
void Item(QByteArray& out, const QByteArray& text) { out += "\r\n" + text; }

QByteArray FirmText(const PayrollDoc& doc, FirmInfo::Text text) { return Squeezed(doc.infoBase.firm.texts[text]); }

// "%.2f" of the amount in roubles, and its roubles and kopecks as "%10.2f" gives them.
QByteArray RoublesText(double amount) { return FormatFixed8(amount / 100, 2); }
void SplitAmount(double amount, long& roubles, int& kopecks)
{
    const QByteArray text = FormatFixed8(amount / 100, 2, 10).trimmed();
    const qsizetype point = text.indexOf('.');
    roubles = text.left(point).toLong();
    kopecks = text.mid(point + 1, 2).toInt();
}

QByteArray AmountInWords(double amount)
{
    long roubles = 0;
    int kopecks = 0;
    SplitAmount(amount, roubles, kopecks);
    char words[kWordBufferSize];
    const int length = SumInWords(int(roubles), kopecks, words);
    return QByteArray(words, length).trimmed();
}

// A signature place: the position (when given), a dotted line for the
// signature and the name as surname and initials.
QByteArray Signature(const QByteArray& position, const QByteArray& fullName)
{
    QByteArray text = position.isEmpty() ? QByteArray() : position + ' ';
    return text + Dots(20) + ' ' + FioInitials(fullName);
}

// The identity document as the order names it: "паспорт РФ" with the
// passport's series, number, date of issue and issuer.
QByteArray PassportData(const EmployeeRecord& employee)
{
    const auto& head = employee.head;
    return SqueezeBlanks(Cp(head.pspSer) + ' ' + Cp(head.pspNom) + ' ' + Cp(head.pspDat) + ' ' + Cp(head.pspKem));
}

QByteArray UpperCase(QByteArray text)
{
    StrUpperN(text.data(), int(text.size()));
    return text;
}

// ------------------------------------------------------------------ the text form

void WriteOrderHead(QByteArray& out, int number, int mode, const PayrollDoc& doc)
{
    Item(out, QByteArray(kCutLineWidth, '-'));
    Item(out, ' ' + FirmText(doc, FirmInfo::firmName).left(56).leftJustified(85, ' ') + ' ' + Cp("Форма N КО-2"));
    Item(out, ' ' + Right(Cp("Форма по ОКУД    0310002"), 96));
    Item(out, ' ' + Right(Cp("по ОКПО  ..........."), kBoxWidth));
    Item(out, ' ' + Right(Dots(11), kBoxWidth));
    Item(out, ' ' + Right(Cp("Номер документа   Дата составления"), kBoxWidth));
    const QByteArray title = Right(Cp("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР"), 52);
    if (mode == CashOrders)
        Item(out, ' ' + title + Right(Dots(15), 27) + Right(Dots(16), 19));
    else
        Item(out, ' ' + title + Right(QByteArray::number(number), 21) + Right(Dots(16), 25));
    out += "\r\n";
}

void WriteAccountBox(QByteArray& out, double amount)
{
    const char* const heads[] = {
        "|                      Дебет                       |            |             |   Код    |       |",
        "|--------------------------------------------------|   Кредит   |    Сумма    | целевого |       |",
        "|   |Подразделение|Счет, субсчет|Аналитический учет|            |             |назначения|       |",
        "|---|-------------|-------------|------------------|------------|-------------|----------|-------|",
    };
    Item(out, ' ' + QByteArray(kBoxWidth, '-'));
    for (const char* head : heads) Item(out, ' ' + Right(Cp(head), kBoxWidth));
    Item(out, " |   |             |             |                  |            |" + FormatFixed8(amount / 100, 2, 13) +
                  "|          |       |");
    Item(out, ' ' + QByteArray(kBoxWidth, '-'));
    out += "\r\n";
}

void WriteRecipient(QByteArray& out, double amount, const EmployeeRecord& employee, int personnelNumber)
{
    QByteArray recipient = UpperCase(Squeezed(employee.head.fio)) + ' ' + Cp("(Табельный номер ") +
                           QByteArray::number(personnelNumber).rightJustified(4, ' ') + ')';
    Item(out, Cp(" Выдать  ") + recipient.left(90).leftJustified(90, ' '));
    Item(out, Cp(" Основание: ") + Dots(87));
    Item(out, Cp(" Сумма ") + AmountInWords(amount).left(92));
    out += "\r\n";
    Item(out, Cp(" Приложение ") + Dots(87));
    Item(out, ' ' + Dots(98));
}

void WriteSignatures(QByteArray& out, const EmployeeRecord& employee, const PayrollDoc& doc)
{
    Item(out, Cp(" Руководитель организации ") +
                  Signature(FirmText(doc, FirmInfo::statusShef), FirmText(doc, FirmInfo::fioShef)).left(73));
    Item(out, Cp(" Главный бухгалтер ") + Signature(QByteArray(), FirmText(doc, FirmInfo::fioBuh)).left(80));
    Item(out, Cp(" Получил ") + Dots(75) + Cp("руб........коп."));
    Item(out,
         " <<    >> " + Dots(20) + QByteArray(8, ' ') + Cp("г.") + QByteArray(20, ' ') + Cp("Подпись ") + Dots(31));
    const QByteArray document = Cp("паспорт РФ ") + PassportData(employee);
    Item(out, Cp(" По: ") + document.left(94));
    Item(out, ' ' + document.mid(94).left(98));
    Item(out, Cp(" Выдал кассир ") + Signature(QByteArray(), FirmText(doc, FirmInfo::kassirFio)).left(85));
    Item(out, QByteArray(kCutLineWidth, '-'));
    out += "\r\n\r\n";
}

// ------------------------------------------------------------------ the run

// The orders of the page range: from 2 × first page - 1 to 2 × last page.
struct OrderRange {
    int first = 1;
    int limit = kNoOrderLimit; // the first order not printed
};

OrderRange OrderRangeOf(const StatementPrintParams& params)
{
    OrderRange range;
    range.first = 2 * params.firstPage - 1;
    if (params.lastPage != 0)
        range.limit = 2 * params.lastPage + 1;
    return range;
}

// "%d-я страница", with the shop and brigade of the selection after a field
// of 60 blanks, above each odd order of the text form.
void WritePageHeading(QByteArray& out, int number, const StatementPrintParams& params)
{
    out += QByteArray::number((number + 1) / 2) + Cp("-я страница");
    if (params.shop != 0 || params.brigade != 0) {
        out += QByteArray(60, ' ');
        if (params.shop != 0)
            out += QByteArray::number(params.shop) + Cp("-й цех   ");
        if (params.brigade != 0)
            out += QByteArray::number(params.brigade) + Cp("-я бригада");
    }
    out += "\r\n";
}

void SaveOrders(const QString& path, const QByteArray& text, bool& opened)
{
    platform::SavedFile file(path);
    opened = file.open(QIODevice::WriteOnly);
    if (!opened)
        return;
    if (file.write(text) != text.size() || !file.commit())
        throw TextError(file.failureText());
}

int WriteRtfOrders(const std::vector<StatementRow>& rows, const OrderRange& range, PayrollDoc& doc, const QString& path,
                   QString* errorText)
{
    CTree tree(kBankCashOrderTemplate, path);
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const int number = int(index) + 1;
        if (number < range.first)
            continue;
        if (number >= range.limit)
            break;
        infobase::LoadEmployee(doc.infoBase, rows[index].slot);
        WriteCashOrderText(tree, number, rows[index].amount, doc.infoBase.current, doc);
    }
    const int generated = tree.Generate();
    if (errorText != nullptr)
        *errorText = tree.ErrorText();
    return generated < 0 ? kPrintFileFault : 0;
}

int WriteTextOrders(const std::vector<StatementRow>& rows, const OrderRange& range, const StatementPrintParams& params,
                    PayrollDoc& doc, const QString& path)
{
    const int mode = params.outputMode;
    QByteArray text;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const int number = int(index) + 1;
        if (number < range.first)
            continue;
        if (number >= range.limit)
            break;
        if (mode != TransferOrders1C && params.variant == 0 && number % 2 == 1)
            WritePageHeading(text, number, params);
        infobase::LoadEmployee(doc.infoBase, rows[index].slot);
        if (mode == TransferOrders1C)
            WriteCashOrderRecord(doc.infoBase.current, doc, rows[index].amount, text, rows[index].personnelNumber);
        else
            WriteCashOrderText(text, number, rows[index].amount, doc.infoBase.current, rows[index].personnelNumber,
                               mode, doc);
    }
    bool opened = false;
    SaveOrders(path, text, opened);
    return opened ? 0 : kPrintFileFault;
}

int WriteCashOrders(const std::vector<StatementRow>& rows, const StatementPrintParams& params, PayrollDoc& doc,
                    const QString& path, QString* errorText = nullptr)
{
    const OrderRange range = OrderRangeOf(params);
    if (params.outputMode == BankCashOrder)
        return WriteRtfOrders(rows, range, doc, path, errorText);
    return WriteTextOrders(rows, range, params, doc, path);
}

} // namespace

// ------------------------------------------------------------------ public

void WriteCashOrderText(QByteArray& out, int number, double amount, const EmployeeRecord& employee, int personnelNumber,
                        int mode, const PayrollDoc& doc)
{
    WriteOrderHead(out, number, mode, doc);
    WriteAccountBox(out, amount);
    WriteRecipient(out, amount, employee, personnelNumber);
    WriteSignatures(out, employee, doc);
}

void WriteCashOrderText(CTree& tree, int number, double amount, const EmployeeRecord& employee, const PayrollDoc& doc)
{
    QDomElement page;
    tree.NewPage(&page, "page0");
    const QDate today = Clock::today();
    const QByteArray orderNumber = QByteArray::number(number);
    tree.AddValue(page, {orderNumber, TwoDigits(today.day()), GenitiveMonth(today.month()),
                         TwoDigits(today.year() % 100), orderNumber});
    tree.AddValue(page, {FirmText(doc, FirmInfo::firmName)});
    tree.AddValue(page, {"40", "20", RoublesText(amount)});
    tree.AddValue(page, {Squeezed(employee.head.fio)});
    long roubles = 0;
    int kopecks = 0;
    SplitAmount(amount, roubles, kopecks);
    tree.AddValue(page, {AmountInWords(amount), QByteArray::number(qlonglong(roubles)), TwoDigits(kopecks)});
    tree.AddValue(page, {FirmText(doc, FirmInfo::statusShef), FioInitials(FirmText(doc, FirmInfo::fioShef)),
                         FioInitials(FirmText(doc, FirmInfo::fioBuh))});
    tree.AddValue(page, {Cp("паспорт РФ"), PassportData(employee)});
    tree.AddValue(page, {FioInitials(FirmText(doc, FirmInfo::kassirFio))});
}

void WriteCashOrderRecord(const EmployeeRecord& employee, const PayrollDoc& doc, double amount, QByteArray& out,
                          int personnelNumber)
{
    auto quoted = [](const QByteArray& text) { return '"' + QByteArray(text).replace("\"", "\"\"") + '"'; };
    const auto& head = employee.head;
    const QDate today = Clock::today();
    const QByteArray subAccount = (QByteArray::number(doc.infoBase.firm.c1Sub70()) + "  ").left(3);
    const QByteArray date =
        TwoDigits(today.day()) + '.' + TwoDigits(today.month()) + '.' + TwoDigits(today.year() % 100);
    const QByteArray document = Squeezed(head.pspKod) + ',' + Squeezed(head.pspSer) + ',' + Squeezed(head.pspNom) +
                                ',' + Squeezed(head.pspDat) + ',' + Squeezed(head.pspKem).left(69);
    out += "0," + quoted("70 ") + ',' + quoted(subAccount) + ',' + quoted(date) + ',' +
           QByteArray::number(personnelNumber) + ',' + quoted(Squeezed(head.fio)) + ',' +
           quoted(Cp("Межрасчетные выплаты")) + ',' + quoted(document) + ',' + RoublesText(amount) + "\r\n";
}

int PrintAdvanceCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                           QString* errorText)
{
    return WriteCashOrders(SelectStatementRows(StatementKind::Advance, params, doc, markedOnly), params, doc, path,
                           errorText);
}

int PrintBonusCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int selector,
                         QString* errorText)
{
    std::vector<StatementRow> rows;
    if (const int r = SelectBonusRows(params, doc, selector, rows); r < 0)
        return r;
    if (NothingOnSheets(int(rows.size()), params))
        return kNothingToPrint;
    return WriteCashOrders(rows, params, doc, path, errorText);
}

int PrintPayCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                       QString* errorText, const AmountOfSlot& payOf)
{
    return WriteCashOrders(SelectEmployeeRows(params, doc, markedOnly, payOf ? payOf : DocumentPayAmounts(doc), false),
                           params, doc, path, errorText);
}

int PrintSickPayCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                           QString* errorText)
{
    return WriteCashOrders(SelectStatementRows(StatementKind::SickPay, params, doc, markedOnly), params, doc, path,
                           errorText);
}

int PrintVacationCashOrders(const StatementPrintParams& params, PayrollDoc& doc, const QString& path, int markedOnly,
                            QString* errorText)
{
    return WriteCashOrders(SelectStatementRows(StatementKind::Vacation, params, doc, markedOnly), params, doc, path,
                           errorText);
}

} // namespace kalvor::print
