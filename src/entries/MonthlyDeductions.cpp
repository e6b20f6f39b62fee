#include "entries/MonthlyDeductions.h"

#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "platform/DbTransaction.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::entries {

using infobase::EmployeeAttributes;
using infobase::EmployeeRecord;
using infobase::IspolBlock;
using infobase::SberRow;
using infobase::SsudBlock;
using infobase::u16;
using infobase::u8;

namespace {

// A field's text read by its input's rule into the field (assign), when the
// rule reads it and `takes` the value; true when the stored value changed. A
// text the rule refuses keeps the stored value. An empty text leaves the
// value when filledOnly.
template <typename Field>
bool ReadIntInto(const QString& text, const FigureRule& rule, bool filledOnly, Field&& assign, int stored,
                 bool (*takes)(int) = nullptr)
{
    if (filledOnly && text.isEmpty())
        return false;
    const int value = int(FigureUnitsOr(rule, text, stored));
    if (value == stored || (takes && !takes(value)))
        return false;
    assign(value);
    return true;
}

bool ReadMoneyInto(const QString& text, bool filledOnly, double& field, const FigureRule& rule = kDeductionAmountRule)
{
    if (filledOnly && text.isEmpty())
        return false;
    const double read = FigureUnitsOr(rule, text, field);
    if (read == field)
        return false;
    field = read;
    return true;
}

// A loan's code: none (0) or one of the loans' codes.
bool TakesLoanCode(int code) { return code == 0 || IsLoanCode(code); }

bool ReadTextInto(const QString& text, bool filledOnly, QString& field)
{
    if (filledOnly && text.isEmpty())
        return false;
    return StoreTextIfChanged(text, field, kEntryTextCapacity) != 0;
}

// ------------------------------------------------------------------ writs

WritFields ShowWrit(const IspolBlock::Writ& writ)
{
    WritFields fields;
    fields.kind = FormatIntField(writ.vid);
    fields.dataEnd = writ.dataEnd;
    fields.table = FormatIntField(writ.tabPsbor);
    fields.size = FormatMoney(writ.sum);
    fields.percent = writ.priznUd != 0;
    fields.fio = writ.fio;
    fields.adr = writ.adr;
    return fields;
}

bool ReadWrit(const WritFields& fields, IspolBlock::Writ& writ, bool filledOnly)
{
    bool changed = false;
    changed |= ReadIntInto(
        fields.kind, kWritKindRule, filledOnly, [&](int v) { writ.vid = u16(v); }, writ.vid);
    if (!(filledOnly && fields.dataEnd == 0) && writ.dataEnd != fields.dataEnd) {
        writ.dataEnd = fields.dataEnd;
        changed = true;
    }
    // The byte beside the table number belongs to the old table.
    changed |= ReadIntInto(
        fields.table, kPostalTableRule, filledOnly,
        [&](int v) {
            writ.tabPsbor = u16(v);
            writ.flagByte = 0;
        },
        writ.tabPsbor);
    // A size its rule refuses keeps the stored size and whether it is a
    // percent: a fixed sum never becomes a percent of more than the pay.
    const bool percent = filledOnly && !fields.percent ? writ.priznUd != 0 : fields.percent;
    const FigureRule sizeRule = WritSizeRule(percent);
    if (ReadFigure(QString(), sizeRule, fields.size).read && writ.priznUd != u16(percent)) {
        writ.priznUd = u16(percent);
        changed = true;
    }
    changed |= ReadMoneyInto(fields.size, filledOnly, writ.sum, sizeRule);
    changed |= ReadTextInto(fields.fio, filledOnly, writ.fio);
    changed |= ReadTextInto(fields.adr, filledOnly, writ.adr);
    return changed;
}

// ------------------------------------------------------------------ loans

LoanFields ShowLoan(const SsudBlock::Loan& loan)
{
    LoanFields fields;
    fields.code = FormatIntField(loan.kod);
    fields.debt = FormatMoney(loan.sumDolg);
    fields.months = FormatIntField(loan.kvMes);
    fields.tax = loan.nalog != 0;
    for (int stage = 0; stage < kLoanStages; ++stage) {
        fields.stageMonths[std::size_t(stage)] = FormatIntField(loan.mes[std::size_t(stage)]);
        fields.stageSums[std::size_t(stage)] = FormatMoney(loan.sum[std::size_t(stage)]);
    }
    return fields;
}

bool ReadLoan(const LoanFields& fields, SsudBlock::Loan& loan, bool filledOnly)
{
    bool changed = false;
    changed |= ReadIntInto(
        fields.code, kLoanCodeRule, filledOnly, [&](int v) { loan.kod = u16(v); }, loan.kod, TakesLoanCode);
    changed |= ReadMoneyInto(fields.debt, filledOnly, loan.sumDolg);
    // Seven bits: a larger number keeps the stored one rather than reaching the tax bit.
    changed |= ReadIntInto(
        fields.months, kInstalmentMonthsRule, filledOnly, [&](int v) { loan.kvMes = u8(v); }, loan.kvMes);
    if (!(filledOnly && !fields.tax) && loan.nalog != u8(fields.tax)) {
        loan.nalog = u8(fields.tax);
        changed = true;
    }
    for (std::size_t stage = 0; stage < std::size_t(kLoanStages); ++stage) {
        u8& months = loan.mes[stage];
        changed |= ReadIntInto(
            fields.stageMonths[stage], kStageMonthsRule, filledOnly, [&](int v) { months = u8(v); }, months);
        changed |= ReadMoneyInto(fields.stageSums[stage], filledOnly, loan.sum[stage]);
    }
    return changed;
}

} // namespace

WritForm ShowWrits(const IspolBlock& block)
{
    WritForm form;
    for (std::size_t i = 0; i < form.size(); ++i) form[i] = ShowWrit(block.writs[i]);
    return form;
}

bool ReadWrits(const WritForm& form, IspolBlock& block, bool filledOnly)
{
    bool changed = false;
    for (std::size_t i = 0; i < form.size(); ++i) changed |= ReadWrit(form[i], block.writs[i], filledOnly);
    return changed;
}

void CountWrits(const IspolBlock& block, EmployeeAttributes& attr)
{
    int alimony = 0;
    int others = 0;
    for (const IspolBlock::Writ& writ : block.writs) {
        if (writ.vid == 0 && writ.sum == 0)
            continue;
        if (writ.vid == 1)
            ++alimony;
        else
            ++others;
    }
    attr.priznAlim = u16(alimony);
    attr.priznIspl = u16(others);
}

LoanForm ShowLoans(const SsudBlock& block)
{
    LoanForm form;
    for (std::size_t i = 0; i < form.size(); ++i) form[i] = ShowLoan(block.loans[i]);
    return form;
}

bool ReadLoans(const LoanForm& form, SsudBlock& block, bool filledOnly)
{
    bool changed = false;
    for (std::size_t i = 0; i < form.size(); ++i) changed |= ReadLoan(form[i], block.loans[i], filledOnly);
    return changed;
}

bool LoanIsEmpty(const SsudBlock::Loan& loan)
{
    const auto zero = [](auto value) { return value == 0; };
    return loan.kvMes == 0 && loan.nalog == 0 && loan.kod == 0 && loan.sumDolg == 0 &&
           std::all_of(loan.mes.begin(), loan.mes.end(), zero) && std::all_of(loan.sum.begin(), loan.sum.end(), zero);
}

void CountLoans(const SsudBlock& block, EmployeeAttributes& attr)
{
    attr.priznSsud = u16(std::count_if(block.loans.begin(), block.loans.end(),
                                       [](const SsudBlock::Loan& loan) { return !LoanIsEmpty(loan); }));
}

// ------------------------------------------------------------------ transfers

QStringList ShowSberRow(const SberRow& row)
{
    return {FormatIntField(row.kod), FormatMoney(row.sum), FormatIntField(row.bank), row.filial, row.ls, row.fio};
}

FigureRule SberColumnRule(int column)
{
    switch (column) {
    case kTransferCodeColumn: return WholeFigure(0, kMaxTransferCode);
    case kTransferAmountColumn: return kDeductionAmountRule;
    case 2: return WholeFigure(0, kMaxRecipient);
    default: return TextFigure(kEntryTextCapacity);
    }
}

SberRow ReadSberRow(const QStringList& cells)
{
    auto cell = [&](int col) { return col < cells.size() ? cells[col] : QString(); };
    auto units = [&](int col) { return FigureUnitsOr(SberColumnRule(col), cell(col), 0); };
    SberRow row;
    row.kod = u16(units(kTransferCodeColumn));
    row.sum = units(kTransferAmountColumn);
    row.bank = u8(units(2));
    StoreTextIfChanged(cell(3), row.filial, kEntryTextCapacity);
    StoreTextIfChanged(cell(4), row.ls, kEntryTextCapacity);
    StoreTextIfChanged(cell(5), row.fio, kEntryTextCapacity);
    return row;
}

SberRows TransferRows(const EmployeeRecord& rec, const EmployeeAttributes& attr)
{
    const int count = std::min<int>(attr.priznBank, kMaxTransfers);
    return SberRows(rec.sber.begin(), rec.sber.begin() + count);
}

void PlaceTransfers(EmployeeRecord& rec, EmployeeAttributes& attr, const SberRows& rows)
{
    rec.sber.fill(SberRow{});
    int count = 0;
    for (const SberRow& row : rows) {
        if (row.isEmpty())
            continue;
        if (count == kMaxTransfers)
            break;
        rec.sber[std::size_t(count++)] = row;
    }
    attr.priznBank = u16(count);
}

namespace {

QString RestGoesBy()
{
    return QStringLiteral("Остаток (перечисление без суммы) перечисляется только по кодам %1 и %2")
        .arg(kCodeBankTransfer)
        .arg(kCodeCardTransfer);
}

} // namespace

QString UnsentRestRefusal(const SberRow& row)
{
    if (!IsUnsentRest(row.kod, row.sum))
        return QString();
    return QStringLiteral("В поле \"Сумма\" не указана сумма перечисления по коду %1\n").arg(row.kod) + RestGoesBy();
}

QString RestCodeRefusal(int code)
{
    if (!IsUnsentRest(code, 0))
        return QString();
    return QStringLiteral("В поле \"Код\" указан код, который не является видом перечисления остатка: %1\n").arg(code) +
           RestGoesBy();
}

QString CodelessTransferRefusal(const SberRow& row)
{
    if (row.kod != 0 || row.isEmpty())
        return QString();
    return QStringLiteral("В поле \"Код\" не указан вид перечисления в банк");
}

bool TransfersMatch(const SberRow& a, const SberRow& b)
{
    return a.kod == b.kod && a.sum == b.sum && a.bank == b.bank && a.filial == b.filial && a.ls == b.ls &&
           a.fio == b.fio;
}

int FirstMatchingTransfer(const SberRows& rows, const SberRow& model)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (TransfersMatch(rows[i], model))
            return int(i);
    return -1;
}

// ------------------------------------------------------------------ saving

void StoreEmployeeDetail(infobase::CInfoBase& base, int slot, DetailSaver saveDetail)
{
    db::WriteTogether(infobase::Db(base), [&] {
        const qint64 id = infobase::SaveKonst(base, slot);
        saveDetail(base, id);
        infobase::SaveComp(base);
    });
}

} // namespace kalvor::entries
