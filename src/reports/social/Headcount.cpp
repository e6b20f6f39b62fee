#include "reports/social/Headcount.h"

#include "infobase/InfoBaseDb.h"
#include "payroll/Rounding.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "reports/social/GenrDataFile.h"
#include "reports/social/PeriodTotals.h"
#include "values/Clock.h"

namespace kalvor::reports {

using infobase::FirmInfo;

namespace {

// Every character of the text as a value of its own (one box each).
QList<QByteArray> Boxes(const QByteArray& text)
{
    QList<QByteArray> boxes;
    for (char c : text) boxes.append(QByteArray(1, c));
    return boxes;
}

// A number with a leading "0" below 10, as "%s%d" writes it.
QByteArray TwoDigits(int number) { return (number < 10 ? "0" : "") + QByteArray::number(number); }

// The number right-aligned in `count` boxes, the boxes to its left empty; a
// longer number keeps its last digits.
QList<QByteArray> RightAlignedBoxes(int number, int count)
{
    const QByteArray digits = QByteArray::number(number).right(count);
    QList<QByteArray> boxes(count - digits.size());
    boxes.append(Boxes(digits));
    return boxes;
}

// DDMMYYYY, one box each.
QList<QByteArray> DateBoxes(const QDate& date)
{
    return Boxes(TwoDigits(date.day()) + TwoDigits(date.month()) + QByteArray::number(date.year()));
}

// Sums the shares of the selected employees. False when stopped.
bool SumShares(const ReportSelection& selection, int markedCount, const ReportPeriod& period, std::stop_token stop,
               PayrollDoc& doc, double& sum)
{
    infobase::CInfoBase& base = doc.infoBase;
    const infobase::Selection loaderSelection = selection.toInfoBaseSelection(markedCount);
    const bool reportingMonthInYear = base.config.reportingYear() == period.year;
    infobase::WariaListHolder archive;
    int runningIndex = 0;
    sum = 0;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (stop.stop_requested()) {
            archive.release();
            return false;
        }
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        infobase::LoadKonstAttributesWithSex(base, entry.slot);
        infobase::LoadWariaList(base, loaderSelection, entry.slot, period.year, runningIndex, archive, markedCount);
        if (reportingMonthInYear)
            infobase::LoadProizvZarp(base, entry.slot);
        ++runningIndex;
        sum += CalcPeriodTotals(doc, period.begin(), period.end(), entry.slot, MonthCounted{});
    }
    archive.release();
    return true;
}

} // namespace

double HeadcountValue(double sumOfShares) { return RoundWhole(sumOfShares / 100) * 100; }

int GenrSSChislRabs(const QString& dataFilePath, const ReportSelection& selection, const QString& workFilePath,
                    int markedCount, std::stop_token stop, PayrollDoc& doc, GenrRunDetail* detail)
{
    GenrRunDetail ignored;
    GenrRunDetail& out = detail != nullptr ? *detail : ignored;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config);
    double sum = 0;
    if (!SumShares(selection, markedCount, period, stop, doc, sum))
        return GenrStopped;
    const double value = HeadcountValue(sum);

    if (dataFilePath.isEmpty()) {
        const int printed = PrintSSChislRabs(workFilePath, doc, value, &out.text);
        return printed < 0 ? GenrPrintFailed : GenrDone;
    }
    GenrDataFile file;
    file.header = {GENR_TAG_HEADCOUNT, std::uint8_t(period.firstMonth), std::uint8_t(period.lastMonth),
                   std::uint8_t(period.yearByte())};
    file.values = {value};
    out.fileError = WriteGenrDataFile(dataFilePath, file);
    return out.fileError != 0 ? GenrFileFailed : GenrDone;
}

QList<QByteArray> HeadcountFormValues(const PayrollDoc& doc, double value, const QDate& today)
{
    const FirmInfo& firm = doc.infoBase.firm;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config);
    // The number is given as of the first day of the month after the period.
    const bool wraps = period.lastMonth == 12;
    const int dateMonth = wraps ? 1 : period.lastMonth + 1;
    const int dateYear = wraps ? period.year + 1 : period.year;

    QList<QByteArray> values{"0", "0"};
    values += Boxes(PaddedFirmText(firm, FirmInfo::firmINN).left(10));
    values += Boxes(PaddedFirmText(firm, FirmInfo::firmKPP).left(9));
    values += {"0", "0", "1"};
    values.append(PaddedFirmText(firm, FirmInfo::firmNalogovaya).left(56));
    values += Boxes(PaddedFirmText(firm, FirmInfo::firmGNI).left(4));
    values.append(PaddedFirmText(firm, FirmInfo::firmName).left(56));
    values.append(QByteArray());
    values += {"0", "1"};
    values += Boxes(TwoDigits(dateMonth));
    values += Boxes(QByteArray::number(dateYear));
    values += RightAlignedBoxes(int(value / 100), 6);
    values.append(PaddedFirmText(firm, FirmInfo::fioShef).left(46));
    values += DateBoxes(today);
    values += QList<QByteArray>(8);
    values.append(PaddedFirmText(firm, FirmInfo::fioPredst).left(46));
    values += DateBoxes(today);
    return values;
}

int PrintSSChislRabs(const QString& workFilePath, const PayrollDoc& doc, double value, QString* errorText)
{
    print::CTree tree(kHeadcountTemplate, workFilePath);
    const QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, HeadcountFormValues(doc, value, Clock::today()));
    const int result = tree.Generate();
    if (errorText != nullptr)
        *errorText = tree.ErrorText();
    return result;
}

} // namespace kalvor::reports
