#include "reports/social/PensionForm.h"

#include "reports/social/PensionContributions.h"
#include "reports/social/PensionXml.h"
#include "reports/social/ReportRun.h"
#include "values/Clock.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <array>

namespace kalvor::reports {

using infobase::FirmInfo;
using namespace ovpf;

namespace {

constexpr int kListRowsPerPage = 32;
constexpr int kSection1Values = 56;
constexpr int kReducedTariffValues = 64;
constexpr int kDebtValues = 6;

QByteArray Field(const FirmInfo& firm, FirmInfo::Text which, int width)
{
    return PaddedFirmText(firm, which).left(width);
}

QByteArray Whole(double value) { return FormatFixed8(value + 0.0, 0); }
// An amount that the form shows as "---" when it is 0.
QByteArray AmountOrDashes(double value) { return value == 0 ? QByteArray("---") : Whole(value); }

QByteArray DottedDate(const QDate& date) { return DateWithPoints(date.day(), date.month(), date.year()); }

// What the pages are built from; the page number counts the pages printed.
struct FormInput {
    const FirmInfo& firm;
    const GenrValueArray& v;
    const ReportPeriod& period;
    QDate today;
    int pageNumber = 0;

    double at(int index) const { return v[std::size_t(index)]; }
    // The head of the next page: the registration number without its dashes
    // in 12 boxes and the page number in three.
    QList<QByteArray> nextPageHead()
    {
        QByteArray number = Field(firm, FirmInfo::firmPens, 14);
        number.remove(7, 1).remove(3, 1);
        QList<QByteArray> values = OneCharCells(number);
        values += OneCharCells(QByteArray::number(++pageNumber).rightJustified(3, '0'));
        return values;
    }
    void addAmounts(QList<QByteArray>& values, int first, int count) const
    {
        for (int index = first; index < first + count; ++index) values.append(Whole(at(index)));
    }
};

// A headcount in six boxes, zeros on the left.
QList<QByteArray> HeadcountCells(double value) { return OneCharCells(Whole(value).rightJustified(6, '0')); }

QList<QByteArray> AddressValues(const FirmInfo& firm)
{
    return {SqueezedFirmText(firm, FirmInfo::adrInd, 6),
            SqueezedFirmText(firm, FirmInfo::adrObl, 44),
            SqueezedFirmText(firm, FirmInfo::adrRaion, 25),
            SqueezedFirmText(firm, FirmInfo::adrGorod, 25),
            QByteArray(),
            SqueezedFirmText(firm, FirmInfo::adrUlica, 40),
            SqueezedFirmText(firm, FirmInfo::adrDom, 3),
            SqueezedFirmText(firm, FirmInfo::adrKorp, 3),
            SqueezedFirmText(firm, FirmInfo::adrKv, 4)};
}

QList<QByteArray> TitlePage(FormInput& in, std::size_t invalCount)
{
    const FirmInfo& firm = in.firm;
    QList<QByteArray> values = in.nextPageHead();
    values += OneCharCells(QByteArray::number(qint64(in.at(kCorrectionNumber))).rightJustified(3, '0'));
    values += OneCharCells(ReportingPeriodCode(in.period.lastMonth));
    values += OneCharCells(QByteArray::number(in.period.year));
    values.append(Field(firm, FirmInfo::firmName, 56));
    values += OneCharCells(Field(firm, FirmInfo::firmOMS, 15));
    values += OneCharCells(Field(firm, FirmInfo::firmOKATO, 11));
    values += OneCharCells("00" + Field(firm, FirmInfo::firmINN, 10));
    QByteArray okved = Field(firm, FirmInfo::firmOKVED, 8);
    okved.remove(5, 1).remove(2, 1); // the dots of "dd.dd.dd"
    values += OneCharCells(okved);
    values += OneCharCells(Field(firm, FirmInfo::firmKPP, 9));
    values += OneCharCells(Field(firm, FirmInfo::firmOKPO, 10));
    values += OneCharCells("00" + Field(firm, FirmInfo::firmOGRN, 13));
    values += OneCharCells(Field(firm, FirmInfo::firmOKOPF, 2));
    values += PhoneCells(firm);
    values += OneCharCells(Field(firm, FirmInfo::firmOKFS, 2));
    values += AddressValues(firm);
    values += HeadcountCells(in.at(kInsuredPersons));
    values += HeadcountCells(in.at(kAverageHeadcount));
    // The title keeps the tariff code of the paper form's first page.
    values += OneCharCells(firm.firmUprosh() ? "51" : "01");
    values += OneCharCells(QByteArray::number(OVPFPageCount(in.v, invalCount)).rightJustified(3, '0') + "000");
    const bool representative = !Field(firm, FirmInfo::fioPredst, 46).trimmed().isEmpty();
    values += {representative ? "2" : "1", Field(firm, representative ? FirmInfo::fioPredst : FirmInfo::fioShef, 46)};
    values += OneCharCells(TwoDigitNumber(in.today.day()) + TwoDigitNumber(in.today.month()) +
                           QByteArray::number(in.today.year()));
    return values;
}

QList<QByteArray> Section1Page(FormInput& in)
{
    QList<QByteArray> values = in.nextPageHead();
    in.addAmounts(values, 0, kSection1Values);
    values += OneCharCells(in.firm.firmUprosh() ? "05" : "01");
    in.addAmounts(values, kTariffFirst, kTariffBlockSize);
    values.append(DottedDate(in.today));
    return values;
}

// Section 2 of the reduced tariff for disabled employees; the block of the
// second reduced tariff is always dashes.
QList<QByteArray> ReducedTariffPage(FormInput& in)
{
    const int first = TariffIndex(kDisabledTariff, RowPayments);
    QList<QByteArray> values = in.nextPageHead();
    if (in.at(first) == 0)
        values += QList<QByteArray>(kTariffBlockSize, "---");
    else
        in.addAmounts(values, first, kTariffBlockSize);
    values += QList<QByteArray>(kReducedTariffValues, "---");
    values.append(DottedDate(in.today));
    return values;
}

QList<QByteArray> InvalRow(const InvalRecord& record, int number, std::array<double, 4>& totals)
{
    QList<QByteArray> values = {QByteArray::number(number), SqueezedField(record.fio.data(), 50),
                                SqueezedField(record.invSprDat.data(), 8), SqueezedField(record.invEnd.data(), 10)};
    const std::array<double, 4> amounts = {record.sinceYearStart, record.months[0], record.months[1], record.months[2]};
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        values.append(AmountOrDashes(RoundThroughText(amounts[i] / 100, 0)));
        totals[i] += amounts[i];
    }
    return values;
}

// The list of disabled employees: a new page before every 32 records; after
// the last, the totals, blank rows to the page's 33rd and the signature rows.
QList<FormRegion> DisabledListPages(FormInput& in, const std::vector<InvalRecord>& inval)
{
    QList<FormRegion> regions;
    std::array<double, 4> totals{};
    int rowsOnPage = 0;
    for (std::size_t k = 0; k < inval.size(); ++k) {
        if (k % kListRowsPerPage == 0) {
            regions.append({"page3", false, in.nextPageHead()});
            rowsOnPage = 0;
        }
        regions.append({"row0", true, InvalRow(inval[k], int(k) + 1, totals)});
        ++rowsOnPage;
    }
    QList<QByteArray> sums;
    for (double total : totals) sums.append(AmountOrDashes(RoundThroughText(total / 100, 0)));
    regions.append({"row1", true, sums});
    for (int blank = rowsOnPage + 1; blank < kListRowsPerPage + 1; ++blank) regions.append({"row3", true, {}});
    regions.append({"row4", true, {}});
    regions.append({"row5", true, {DottedDate(in.today)}});
    for (const char* name : {"row6", "row7", "row8"}) regions.append({name, true, {}});
    return regions;
}

// The share of one income in another, percent with five decimals.
QByteArray Share(double part, double whole) { return FormatFixed8(part * 100 / whole, 5); }

// The conformity check of Article 57 (2011).
QList<QByteArray> Article57Page(FormInput& in)
{
    QList<QByteArray> values = in.nextPageHead();
    values += {Whole(in.at(kIncome248)), Whole(in.at(kIncome57)), Share(in.at(kIncome57), in.at(kIncome248)),
               Whole(in.at(kHeadcount433))};
    const PackedDate entered(static_cast<std::uint16_t>(static_cast<std::int64_t>(in.at(kRegisterDate))));
    values.append(DateWithPoints(entered.day(), entered.month(), 2000 + entered.yearField()));
    values.append(Whole(in.at(kRegisterNumber)));
    values.append(DottedDate(in.today));
    return values;
}

// The conformity check of simplified-system payers under Article 58 (2011).
QList<QByteArray> Article58Page(FormInput& in)
{
    QList<QByteArray> values = in.nextPageHead();
    values += {Whole(in.at(kIncome34615)), Whole(in.at(kIncome58)), Share(in.at(kIncome58), in.at(kIncome34615))};
    values.append(DottedDate(in.today));
    return values;
}

// Lines 510, 520 and 530, each as the insurance and the funded part.
QList<QByteArray> DebtPage(FormInput& in)
{
    QList<QByteArray> values = in.nextPageHead();
    for (int index = kSection5; index < kSection5 + kDebtValues; ++index) values.append(AmountOrDashes(in.at(index)));
    values.append(DottedDate(in.today));
    return values;
}

} // namespace

QByteArray OVPFTemplateName(int year) { return year > 2010 ? kOVPFTemplate2011 : kOVPFTemplate2010; }

QList<FormRegion> OVPFFormRegions(PayrollDoc& doc, const std::vector<InvalRecord>& inval, const QDate& today)
{
    GenrValueArray& v = doc.GenrValues;
    if (v[kAverageHeadcount] < 1)
        v[kAverageHeadcount] = 1;
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    FormInput in{doc.infoBase.firm, v, period, today};
    const bool reducedTariff = in.at(TariffIndex(kDisabledTariff, RowPayments)) != 0;
    const bool after2010 = period.year > 2010;

    QList<FormRegion> regions = {{"page0", false, TitlePage(in, inval.size())}, {"page1", false, Section1Page(in)}};
    if (reducedTariff || in.at(TariffIndex(kImputedTariff, RowPayments)) != 0)
        regions.append({"page2", false, ReducedTariffPage(in)});
    if (reducedTariff && !inval.empty())
        regions += DisabledListPages(in, inval);
    if (after2010 && in.at(kIncome248) != 0)
        regions.append({"page4", false, Article57Page(in)});
    if (after2010 && in.at(kIncome34615) != 0)
        regions.append({"page5", false, Article58Page(in)});
    regions.append({after2010 ? "page6" : "page5", false, DebtPage(in)});
    return regions;
}

int PrintOVPF(const QString& workFilePath, PayrollDoc& doc, QString* errorText)
{
    std::vector<InvalRecord> inval;
    ReadInvalFile(InvalFilePath(), inval); // a missing file lists nobody
    const ReportPeriod period = ResolveReportPeriod(doc.infoBase.config, kPensionReport.period);
    return GenerateFormRegions(OVPFTemplateName(period.year), workFilePath, OVPFFormRegions(doc, inval, Clock::today()),
                               errorText);
}

} // namespace kalvor::reports
