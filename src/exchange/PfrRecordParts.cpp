#include "exchange/PfrRecordParts.h"

#include "infobase/EmployeeRecord.h"
#include "infobase/PayKindCodes.h"
#include "payroll/EntryMonths.h"
#include "platform/CodePage.h"
#include "print/TextHelpers.h"
#include "values/InsuranceNumber.h"
#include "values/Text8.h"

#include <algorithm>
#include <vector>

namespace kalvor::exchange {

namespace {
// The month rows that the contribution arithmetic reads end before index 60.
constexpr int kLastPayRow = ::kalvor::infobase::EmployeeRecord::MonthRowCount;
constexpr int kInsuranceLength = 11;
} // namespace

bool PfrByAccrualMonth(const PayrollDoc& doc) { return (doc.infoBase.firm.parWord & 1) != 0; }

int PfrFirstPayRow(const PayrollDoc& doc, int slot)
{
    const infobase::CInfoBase& base = doc.infoBase;
    if (!base.holdsSlot(slot))
        return 0;
    return std::min<int>(base.attributesOf(slot).kvProizv, kLastPayRow);
}

int PfrEmployeeStatus(const PayrollDoc& doc, int slot)
{
    const infobase::CInfoBase& base = doc.infoBase;
    return base.holdsSlot(slot) ? base.attributesOf(slot).priznUv : 0;
}

int PfrAllKindCount(const PayrollDoc& doc)
{
    const int available = std::clamp<int>(doc.refFiles.sborCount, 0, int(doc.refFiles.sbor.size()));
    return std::max(available, kPfrFundedKind + 1);
}

infobase::ContributionKind PfrContributionKind(const PayrollDoc& doc, int index)
{
    const int available = std::clamp<int>(doc.refFiles.sborCount, 0, int(doc.refFiles.sbor.size()));
    return index >= 0 && index < available ? doc.refFiles.sbor[std::size_t(index)] : infobase::ContributionKind{};
}

int PfrContributions(const PayrollDoc& doc, int kindCount, int firstMonth, int lastMonth, int firstRow, int monthRule,
                     reports::EmployeeContributions& out)
{
    std::vector<infobase::ContributionKind> kinds;
    for (int index = 0; index < kindCount; ++index) kinds.push_back(PfrContributionKind(doc, index));
    out.kindCount = kindCount;
    out.rows.assign(std::size_t(2 * kindCount), infobase::ContributionRow{});
    out.totals.fill(0);
    const int start = std::clamp(firstRow, 0, kLastPayRow);
    const infobase::AccrualRow* rows = doc.infoBase.current.rows.data() + start;
    return ContributionsByMonths(firstMonth, lastMonth, kinds.data(), kindCount, out.rows.data(), rows,
                                 kLastPayRow - start, monthRule, 0, out.totals.data(), doc);
}

int PfrRowMonth(int rowMonth, int reportingKey)
{
    const int year = MonthKey::of(reportingKey).year();
    const int reportingMonth = MonthKey::of(reportingKey).month();
    if (reportingMonth > 5 && rowMonth < reportingMonth - 6)
        return MonthKey(year + 1, rowMonth).value();
    if (reportingMonth <= 5 && rowMonth > reportingMonth + 5)
        return MonthKey(year - 1, rowMonth).value();
    return MonthKey(year, rowMonth).value();
}

void PfrForEachDatedAmount(const PayrollDoc& doc, int firstRow, const std::function<void(const PfrDatedAmount&)>& visit)
{
    const bool byAccrualMonth = PfrByAccrualMonth(doc);
    const infobase::EmployeeRecord& record = doc.infoBase.current;
    const int archiveCount = std::min<int>(record.warKv, int(record.waria.size()));
    for (int i = 0; i < archiveCount; ++i) {
        const infobase::WariaEntry& entry = record.waria[std::size_t(i)];
        visit({ArchiveEntryMonth(entry, !byAccrualMonth), entry.kod, entry.sum, entry.dn, entry.hr, entry.min, true});
    }
    const int reportingKey = doc.infoBase.config.tekMes;
    for (int i = std::clamp(firstRow, 0, kLastPayRow); i < kLastPayRow; ++i) {
        const infobase::AccrualRow& row = record.rows[std::size_t(i)];
        const int month = byAccrualMonth ? PfrRowMonth(row.mes, reportingKey) : reportingKey;
        visit({month, row.kod, row.sum, row.dn, row.hr, row.min, false});
    }
}

int PfrBenefitCategory(int kod)
{
    if (IsBenefitSupplementCode(kod) || IsEmployerSickDaysCode(kod) || IsSickBenefitCode(kod))
        return 0;
    if (IsMaternityCode(kod))
        return 1;
    if (IsInjuryBenefitCode(kod))
        return 2;
    return -1;
}

std::array<double, 3> PfrBenefitSums(const PayrollDoc& doc, int firstRow, int firstMonth, int lastMonth)
{
    std::array<double, 3> sums{};
    PfrForEachDatedAmount(doc, firstRow, [&](const PfrDatedAmount& amount) {
        const int category = PfrBenefitCategory(amount.kod);
        if (category >= 0 && amount.month >= firstMonth && amount.month <= lastMonth)
            sums[std::size_t(category)] += amount.sum;
    });
    return sums;
}

PfrInsuranceNumber PfrInsuranceNumberOf(const QString& strahPolis)
{
    PfrInsuranceNumber number;
    QByteArray compact = codepage::toCp1251(strahPolis.left(kInsuranceLength));
    compact.replace(" ", "");
    number.blank = compact.isEmpty();
    number.field = compact.leftJustified(kInsuranceLength, ' ', true);
    const QString digits = QString::fromLatin1(compact);
    bool digitsZero = true;
    for (const QChar c : digits) digitsZero = digitsZero && !(c >= QLatin1Char('1') && c <= QLatin1Char('9'));
    number.check = InsuranceCheckNumber(digits);
    number.allZero = !number.blank && digitsZero && number.check == 0;
    // The card's own check number where it holds one: the file writes the
    // number the card holds.
    const InsuranceNumberCheck card = CheckInsuranceNumber(strahPolis);
    if (card.typed && card.typedDigits.size() == 2)
        number.check = card.typedDigits.toInt();
    return number;
}

QByteArray PfrInsuranceNumber::withCheck() const
{
    return field + ' ' + QByteArray::number(check).rightJustified(2, '0');
}

QByteArray PfrUpper(QByteArray text)
{
    if (!text.isEmpty())
        print::StrUpperN(text.data(), int(text.size()));
    return text;
}

QByteArray PfrSqueezed(const QString& text, int width) { return SqueezeBlanks(codepage::toCp1251(text.left(width))); }

QByteArray PfrSqueezedUpper(const QString& text, int width) { return PfrUpper(PfrSqueezed(text, width)); }

QByteArray PfrNameWord(const QString& fio, int index)
{
    int found = 0;
    for (const QByteArray& word : codepage::toCp1251(fio.left(50)).split(' ')) {
        if (word.isEmpty())
            continue;
        if (found++ == index)
            return PfrUpper(word);
    }
    return QByteArray();
}

QByteArray PfrNoPensionLine(int personnelNumber, const QString& fio)
{
    return QByteArray::number(personnelNumber) + " - " + PfrSqueezed(fio, 50) + "\r\n";
}

QByteArray PfrFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width)
{
    return codepage::toCp1251(firm.texts[std::size_t(which)].left(width));
}

int PfrRegionCode(const infobase::EmployeeHead& head) { return head.propKodReg.left(2).trimmed().toInt(); }

int PfrMonthLength(int month)
{
    static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? lengths[month - 1] : 30;
}

} // namespace kalvor::exchange
