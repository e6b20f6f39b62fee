#include "reports/social/InjuryReport.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/Rounding.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/PeriodTotals.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

namespace kalvor::reports {

using infobase::FirmInfo;

namespace {

// The period word of the form, by the last month only.
QByteArray PeriodWord(int lastMonth)
{
    if (lastMonth <= 3)
        return codepage::toCp1251(QStringLiteral("1 квартал"));
    if (lastMonth <= 6)
        return codepage::toCp1251(QStringLiteral("1 полугодие"));
    if (lastMonth <= 9)
        return codepage::toCp1251(QStringLiteral("9 месяцев"));
    return codepage::toCp1251(QStringLiteral("год"));
}

// A headcount "%.0f", or an empty text for 0.
QByteArray CountText(double value) { return value == 0 ? QByteArray() : FormatFixed8(value, 0); }

QByteArray InsurerAddress(const FirmInfo& firm)
{
    QByteArray address = SqueezedFirmText(firm, FirmInfo::adrInd, 6);
    const struct {
        FirmInfo::Text text;
        int width;
        const char16_t* separator;
    } parts[] = {{FirmInfo::adrObl, 44, u", "},
                 {FirmInfo::adrRaion, 25, u", "},
                 {FirmInfo::adrGorod, 25, u", "},
                 {FirmInfo::adrUlica, 40, u", "},
                 {FirmInfo::adrDom, 3, u", д. "}};
    for (const auto& part : parts) {
        const QByteArray text = SqueezedFirmText(firm, part.text, part.width);
        if (!text.isEmpty())
            address += codepage::toCp1251(QString::fromUtf16(part.separator)) + text;
    }
    return address;
}

// The executor: the squeezed name, ", " and the telephone; the telephone
// alone without a name.
QByteArray ExecutorLine(const FirmInfo& firm)
{
    const QByteArray name = SqueezedFirmText(firm, FirmInfo::fioPredst, 46);
    const QByteArray phone = PaddedFirmText(firm, FirmInfo::adrPhone).left(20);
    return name.isEmpty() ? phone : name + ", " + phone;
}

// Adds the shares of the selected employees to the three headcounts
// (hundredths of a person). False when stopped.
bool SumInjuryShares(const ReportSelection& selection, int markedCount, const ReportPeriod& period,
                     std::stop_token stop, PayrollDoc& doc)
{
    infobase::CInfoBase& base = doc.infoBase;
    const MonthCounted monthCounted{};
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (stop.stop_requested())
            return false;
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        if (!base.swap.readSlot(entry.slot, base.current))
            throw TextError(kMsgReadFailed);
        const double share = CalcPeriodTotals(doc, period.begin(), period.end(), entry.slot, monthCounted);
        if (share == 0)
            continue;
        doc.GenrValues[injury::kAll] += share;
        const bool category1 = base.attributesOf(entry.slot).kateg == 1;
        doc.GenrValues[category1 ? injury::kCategory1 : injury::kOthers] += share;
    }
    return true;
}

} // namespace

bool InjuryPeriod(const infobase::InfoBaseConfig& config, ReportPeriod& period)
{
    period = ResolveReportPeriod(config);
    return period.firstMonth <= period.lastMonth;
}

QByteArray InjuryInsurerLine(const FirmInfo& firm)
{
    return SqueezedFirmText(firm, FirmInfo::firmName, 56) + ", " + InsurerAddress(firm) + ", " +
           PaddedFirmText(firm, FirmInfo::firmPens).left(14) + ", " + PaddedFirmText(firm, FirmInfo::firmOKVED).left(8);
}

int GenrProfTravmOtchFSS(const QString& dataFilePath, std::stop_token stop, const QString& workFilePath,
                         const ReportSelection& selection, int markedCount, PayrollDoc& doc, GenrRunDetail* detail)
{
    GenrRunDetail ignored;
    GenrRunDetail& out = detail != nullptr ? *detail : ignored;
    infobase::CInfoBase& base = doc.infoBase;
    if (!SelectPeriodToSwap(base, 0, 0, selection.toInfoBaseSelection(markedCount), stop))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};
    ReportPeriod period;
    if (!InjuryPeriod(base.config, period))
        return -2;

    doc.GenrValues.fill(0);
    if (!SumInjuryShares(selection, markedCount, period, stop, doc))
        return GenrStopped;
    for (double& value : doc.GenrValues) value /= 100.0;
    doc.GenrValues[injury::kAll] = RoundWhole(doc.GenrValues[injury::kAll]);
    doc.GenrValues[injury::kCategory1] = RoundWhole(doc.GenrValues[injury::kCategory1]);

    if (dataFilePath.isEmpty()) {
        const int printed = PrintProfTravmOtchFSS(workFilePath, doc, &out.text);
        return printed < 0 ? GenrPrintFailed : GenrDone;
    }
    GenrDataFile file;
    file.header = {GENR_TAG_INJURY, std::uint8_t(period.firstMonth), std::uint8_t(period.lastMonth),
                   std::uint8_t(period.yearByte())};
    file.values.assign(doc.GenrValues.begin(), doc.GenrValues.end());
    out.fileError = WriteGenrDataFile(dataFilePath, file);
    return out.fileError != 0 ? GenrFileFailed : GenrDone;
}

QList<QByteArray> InjuryFormValues(const PayrollDoc& doc, const ReportPeriod& period, const QDate& today)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const auto& values = doc.GenrValues;
    QList<QByteArray> page;
    page << PeriodWord(period.lastMonth) << TwoDigitNumber(period.yearByte() - 100) << InjuryInsurerLine(firm);
    page << CountText(values[injury::kAll]) << CountText(values[injury::kCategory1])
         << CountText(values[injury::kAll] - values[injury::kCategory1]);
    page += QList<QByteArray>(6);
    page += QList<QByteArray>(16);
    page << PaddedFirmText(firm, FirmInfo::fioShef).left(46) << PaddedFirmText(firm, FirmInfo::fioBuh).left(46);
    page << TwoDigitNumber(today.day()) + ';' << GenitiveMonthName(today.month()) + ';'
         << TwoDigitNumber(today.year() % 100) + ';' << ExecutorLine(firm);
    return page;
}

int PrintProfTravmOtchFSS(const QString& workFilePath, const PayrollDoc& doc, QString* errorText)
{
    ReportPeriod period;
    if (!InjuryPeriod(doc.infoBase.config, period))
        return -2;
    print::CTree tree(kInjuryTemplate, workFilePath);
    const QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, InjuryFormValues(doc, period, Clock::today()));
    const int result = tree.Generate();
    if (errorText != nullptr)
        *errorText = tree.ErrorText();
    return result;
}

} // namespace kalvor::reports
