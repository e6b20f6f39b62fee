#include "entries/PaymentCorrection.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/PayKinds.h"
#include "values/CScan.h"
#include "values/Values.h"

namespace kalvor::entries {

using infobase::CInfoBase;
using infobase::LineArray;
using infobase::SickLeaveSheet;
using infobase::VacationNote;

namespace {

// "dd.mm.yy" with the last two digits of the full year; empty without a day.
QString ShortDate(int day, int month, int year)
{
    if (day == 0)
        return QString();
    return QStringLiteral("%1.%2.%3")
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(year % 100, 2, 10, QLatin1Char('0'));
}

QString KindText(int kind) { return kind == 0 ? QString() : QString::number(kind); }

// What the rows show of a sheet and of a note beyond the shared columns.
void FillLineColumns(const SickLeaveSheet& sheet, PaymentRowTexts& row)
{
    row[PaymentStart] = ShortDate(sheet.dBegin, sheet.mBegin, sheet.gBegin);
    row[PaymentFourth] = ShortDate(sheet.dEnd, sheet.mEnd, sheet.gEnd);
    row[PaymentKind] = KindText(sheet.vid);
}

void FillLineColumns(const VacationNote& note, PaymentRowTexts& row)
{
    row[PaymentStart] = ShortDate(note.dBegin, note.mBegin, note.gBegin);
    // Hundredths always with two digits, as the note's entry form reads them:
    // 10 days and 5 hundredths is "10,05", never "10,5" (ten and a half).
    row[PaymentFourth] =
        QStringLiteral("%1,%2").arg(int(note.dlin)).arg(int(note.dlinHundredths), 2, 10, QLatin1Char('0'));
    row[PaymentKind] = KindText(note.vid);
}

bool PaidInInterim(const SickLeaveSheet& sheet) { return sheet.mrp != 0; }
bool PaidInInterim(const VacationNote& note) { return note.mrp != 0; }

template <class Line>
void AppendEmployeeRows(const PayrollDoc& doc, const LineArray<Line>& lines, int listIndex, PaymentListing& listing)
{
    const CInfoBase& base = doc.infoBase;
    const infobase::EmployeeListEntry& entry = base.list[std::size_t(listIndex)];
    const int slot = entry.slot;
    if (slot < 1 || slot > lines.slotCount())
        return;
    const QString name = base.holdsSlot(slot) ? base.shortNameOf(slot) : QString();
    for (const Line& line : lines.run(slot)) {
        PaymentRowTexts row;
        row[PaymentName] = name;
        row[PaymentTabN] = QString::number(entry.tabN());
        FillLineColumns(line, row);
        row[PaymentInterim] = PaidInInterim(line) ? QStringLiteral("1") : QString();
        row[PaymentAmount] = FormatMoney(line.sum);
        listing.rows.push_back(row);
        if (PaidInInterim(line))
            listing.total += RoundPayout(RoundByPayKind(line.sum, kPaymentRoundingKind, doc), doc);
    }
}

template <class Line>
PaymentListing ListLines(const PayrollDoc& doc, const LineArray<Line>& lines, const std::vector<int>& listIndexes)
{
    PaymentListing listing;
    for (const int index : listIndexes)
        if (index >= 0 && index < doc.infoBase.employeeCount())
            AppendEmployeeRows(doc, lines, index, listing);
    return listing;
}

template <class Line>
std::vector<int> LinesOfRows(const CInfoBase& base, const LineArray<Line>& lines, const QStringList& tabNTexts)
{
    std::vector<int> found;
    found.reserve(std::size_t(tabNTexts.size()));
    int rowsAbove = 0; // rows directly above that belong to the same employee
    for (qsizetype row = 0; row < tabNTexts.size(); ++row) {
        rowsAbove = row > 0 && tabNTexts[row] == tabNTexts[row - 1] ? rowsAbove + 1 : 0;
        int tabN = 0;
        const int index = ScanInt(tabNTexts[row], tabN) ? base.FindEmployee(tabN) : -1;
        const int slot = index >= 0 ? base.list[std::size_t(index)].slot : 0;
        if (slot < 1 || slot > lines.slotCount() || rowsAbove >= lines.count(slot)) {
            found.push_back(-1);
            continue;
        }
        found.push_back(lines.first(slot) + rowsAbove);
    }
    return found;
}

template <class Line>
PaymentReadBack ReadAmounts(const CInfoBase& base, LineArray<Line>& lines, const QStringList& tabNTexts,
                            const QStringList& amountTexts)
{
    PaymentReadBack result;
    const std::vector<int> rowLines = LinesOfRows(base, lines, tabNTexts);
    for (const int line : rowLines)
        if (line < 0)
            result.allFound = false;
    if (!result.allFound)
        return result;
    for (std::size_t row = 0; row < rowLines.size(); ++row) {
        double& sum = lines.lines[std::size_t(rowLines[row])].sum;
        const QString& text = amountTexts.value(qsizetype(row));
        if (text == FormatMoney(sum))
            continue;
        const double read = FigureUnitsOr(kPaymentAmountRule, text, sum);
        if (read != sum) {
            sum = read;
            result.changed = true;
        }
    }
    return result;
}

} // namespace

PaymentRowTexts PaymentHeadings(PaymentLines which)
{
    return {QStringLiteral("Фамилия И.О."),
            QStringLiteral("Табельный\nномер"),
            QStringLiteral("Начало"),
            which == PaymentLines::SickLeave ? QStringLiteral("Конец") : QStringLiteral("Длина"),
            QStringLiteral("Вид"),
            QStringLiteral("м/р?"),
            QStringLiteral("Сумма")};
}

PaymentListing ListPaymentLines(const PayrollDoc& doc, PaymentLines which, const std::vector<int>& listIndexes)
{
    if (which == PaymentLines::SickLeave)
        return ListLines(doc, doc.infoBase.bln, listIndexes);
    return ListLines(doc, doc.infoBase.otp, listIndexes);
}

PaymentReadBack ReadPaymentAmounts(CInfoBase& base, PaymentLines which, const QStringList& tabNTexts,
                                   const QStringList& amountTexts)
{
    if (which == PaymentLines::SickLeave)
        return ReadAmounts(base, base.bln, tabNTexts, amountTexts);
    return ReadAmounts(base, base.otp, tabNTexts, amountTexts);
}

void SavePaymentLines(CInfoBase& base, PaymentLines which)
{
    if (which == PaymentLines::SickLeave)
        infobase::SaveBln(base);
    else
        infobase::SaveOtp(base);
}

} // namespace kalvor::entries
