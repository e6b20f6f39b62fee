#include "reports/social/EarningsCertificate.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "print/TextHelpers.h"
#include "reports/social/CountryList.h"
#include "reports/social/EmployeeContributions.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QStringList>

#include <cmath>
#include <vector>

namespace kalvor::reports {

using infobase::EmployeeHead;
using infobase::FirmInfo;

namespace {

// The yearly amounts use the first seven "sbor" records, of which record 1
// (the social insurance) gives the earnings.
constexpr int kCertificateKinds = 7;
constexpr int kSocialInsuranceKind = 1;
constexpr int kYears = 3;

// Bits of the employee's flag word: a foreign citizen staying temporarily
// (without a residence permit or the status of a settler) bears no
// contributions.
constexpr int kInostr = 9, kInostrVidGit = 10, kInostrSV = 12;

bool TemporaryForeigner(const EmployeeHead& head)
{
    return head.flag(kInostr) && !head.flag(kInostrVidGit) && !head.flag(kInostrSV);
}

// A date of the period of work; empty when not set.
QByteArray WorkDate(std::uint16_t packed)
{
    const PackedDate date(packed);
    return date.isNull() ? QByteArray() : DateWithPoints(date.day(), date.month(), date.fullYear());
}

// The period of work: the second employment when both its dates are set.
std::pair<QByteArray, QByteArray> WorkPeriod(const EmployeeHead& head)
{
    if (head.datPr2 != 0 && head.datUv2 != 0)
        return {WorkDate(head.datPr2), WorkDate(head.datUv2)};
    return {WorkDate(head.datPr1), WorkDate(head.datUv1)};
}

QList<QByteArray> FirmValues(const FirmInfo& firm)
{
    return {
        PaddedFirmText(firm, FirmInfo::firmName).left(56),    PaddedFirmText(firm, FirmInfo::territOrganFSS).left(56),
        PaddedFirmText(firm, FirmInfo::firmFSS).left(10),     QByteArray(),
        PaddedFirmText(firm, FirmInfo::firmPodchFSS).left(5), PaddedFirmText(firm, FirmInfo::firmINN).left(10),
        PaddedFirmText(firm, FirmInfo::firmKPP).left(9),      PaddedFirmText(firm, FirmInfo::firmOGRN).left(20)};
}

QList<QByteArray> EmployeeValues(const EmployeeHead& head)
{
    QList<QByteArray> values{FixedText(head.fio, 50),
                             FixedText(head.pspSer, 10),
                             FixedText(head.pspNom, 6),
                             SqueezedText(head.pspKem, 69) + ' ' + SqueezedText(ShortDateText(head.pspDat), 8),
                             FixedText(head.propInd, 6),
                             CitizenshipText(head.propKodStr),
                             FixedText(head.propReg, 28),
                             FixedText(head.propGorod, 30),
                             FixedText(head.propUl, 50),
                             FixedText(head.propDom, 10),
                             FixedText(head.propKorp, 9),
                             FixedText(head.propKv, 4),
                             FixedText(head.strahPolis, 20)};
    const auto [from, to] = WorkPeriod(head);
    values << from << to;
    return values;
}

// "2013 год", "2012 и 2013 годы".
QString YearsWords(const std::vector<int>& years)
{
    if (years.size() == 1)
        return QStringLiteral("%1 год").arg(years.front());
    QStringList numbers;
    for (std::size_t i = 0; i + 1 < years.size(); ++i) numbers << QString::number(years[i]);
    return QStringLiteral("%1 и %2 годы").arg(numbers.join(QStringLiteral(", "))).arg(years.back());
}

// The certificate's years after the year of the base's reporting month.
std::vector<int> YearsAfterBase(const infobase::InfoBaseConfig& config)
{
    std::vector<int> after;
    for (int year : CertificateYears(config))
        if (year > config.reportingYear())
            after.push_back(year);
    return after;
}

// "2013 год позже отчетного месяца базы (январь 2012 года)".
QString AfterBaseWords(const infobase::InfoBaseConfig& config, const std::vector<int>& after)
{
    const MonthKey month = config.reportingKey();
    return QStringLiteral("%1 позже отчетного месяца базы (%2 %3 года)")
        .arg(YearsWords(after), MonthName(month.month()).toLower())
        .arg(month.year());
}

// "Укажите отчетным годом в параметрах генератора 2011 год или более ранний."
QString ReportYearAdvice(const infobase::InfoBaseConfig& config)
{
    return QStringLiteral("Укажите отчетным годом в параметрах генератора %1 год или более ранний.")
        .arg(config.reportingYear());
}

// One employee's page, or none. Returns 0 or a negative code.
int PrintEmployeeCertificate(print::CTree& tree, const infobase::EmployeeListEntry& entry, const ReportPeriod& period,
                             int& number, PayrollDoc& doc)
{
    infobase::CInfoBase& base = doc.infoBase;
    if (!base.swap.readSlot(entry.slot, base.current))
        throw TextError(kMsgReadFailed);
    const PackedDate hired(base.current.head.datPr1);
    if (!hired.isNull() && MonthKey(hired.fullYear(), hired.month()).value() > period.end())
        return 0;
    const int firstRow = base.attributesOf(entry.slot).kvProizv;
    const std::array<int, kYears> years = CertificateYears(base.config);
    std::array<double, kYears> amounts{};
    for (std::size_t year = 0; year < std::size_t(kYears); ++year)
        if (const int result = CertificateYearAmount(doc, years[year], firstRow, amounts[year]); result < 0)
            return result;
    ++number;
    const QDomElement page = tree.NewPage(nullptr, "page0");
    tree.AddValue(page, CertificatePageValues(doc, number, Clock::today(), amounts, years.front()));
    return 0;
}

} // namespace

std::array<int, 3> CertificateYears(const infobase::InfoBaseConfig& config)
{
    const int year = ResolveReportPeriod(config).year;
    return {year - 2, year - 1, year};
}

QString CertificateYearsText(const infobase::InfoBaseConfig& config)
{
    const std::array<int, 3> years = CertificateYears(config);
    QString text = QStringLiteral("Справка за %1 и %2 годы и текущий %3 год (год справки - отчетный год в "
                                  "параметрах генератора)")
                       .arg(years[0])
                       .arg(years[1])
                       .arg(years[2]);
    if (const std::vector<int> after = YearsAfterBase(config); !after.empty())
        text += QStringLiteral(".\n%1: справка не будет напечатана. %2")
                    .arg(AfterBaseWords(config, after), ReportYearAdvice(config));
    return text;
}

QString CertificateYearsRefusal(const infobase::InfoBaseConfig& config)
{
    const std::vector<int> after = YearsAfterBase(config);
    if (after.empty())
        return QString();
    const std::array<int, 3> years = CertificateYears(config);
    return QStringLiteral("Справка за %1 и %2 годы и текущий %3 год не напечатана: %4. %5")
        .arg(years[0])
        .arg(years[1])
        .arg(years[2])
        .arg(AfterBaseWords(config, after), ReportYearAdvice(config));
}

double CertificateYear::addMonth(const CertificateMonth& m)
{
    const double priorTaxable = m.priorDisabled + m.priorTaxable < 0 ? 0 : m.priorTaxable;
    const double sum = m.priorTaxable + m.monthTaxable;
    double month = 0;
    if (m.priorTaxable >= 0 && sum >= 0)
        month = m.monthTaxable;
    else if (m.priorTaxable < 0 && sum >= 0)
        month = sum;
    else if (sum < 0 && m.priorTaxable > 0)
        month = -m.priorTaxable;
    const double total = priorTaxable + month + m.monthDisabled + m.priorDisabled;
    if (total > kCertificateCap && (month > 0 || m.monthDisabled > 0))
        excess_ = total - kCertificateCap;
    // The excess is taken off once, however the month's pay is made up, and
    // also in a month without pay once the cap has been passed.
    return total - excess_;
}

int CertificateYearAmount(const PayrollDoc& doc, int year, int firstRow, double& amount)
{
    amount = 0;
    if (TemporaryForeigner(doc.infoBase.current.head))
        return 0;
    CertificateYear arithmetic;
    for (int month = 1; month <= 12; ++month) {
        EmployeeContributions c;
        const int result =
            ContributionsOfMonths(doc, MonthKey(year, 1).value(), MonthKey(year, month).value(), firstRow, kCertificateKinds, c);
        if (result < 0)
            return result;
        if (c.kindCount <= kSocialInsuranceKind)
            return 0;
        const infobase::ContributionRow& prior = c.prior(kSocialInsuranceKind);
        const infobase::ContributionRow& own = c.own(kSocialInsuranceKind);
        amount = arithmetic.addMonth(
            {prior.baseLessAllowance, prior.disabilityIncome, own.baseLessAllowance, own.disabilityIncome});
    }
    return 0;
}

AmountTexts CertificateAmountTexts(double kopecks)
{
    const double amount = kopecks < 0 ? 0 : kopecks;
    QByteArray whole = FormatFixed8(amount / 100, 2, 10);
    whole.chop(3);
    const double roubles = whole.trimmed().toDouble();
    const int cents = int(std::fmod(amount, 100));
    char words[print::kWordBufferSize];
    const int length = print::SumInWords(int(roubles), cents, words);
    return {FormatFixed8(roubles, 0), QByteArray::number(cents), QByteArray(words, length)};
}

QByteArray CertificateDate(const QDate& date)
{
    return QByteArray::number(date.day()).rightJustified(2, ' ') + '.' + TwoDigitNumber(date.month()) + '.' +
           QByteArray::number(date.year()).rightJustified(4, ' ');
}

QList<QByteArray> CertificatePageValues(const PayrollDoc& doc, int number, const QDate& today,
                                        const std::array<double, 3>& amounts, int firstYear)
{
    const FirmInfo& firm = doc.infoBase.firm;
    QList<QByteArray> page{CertificateDate(today), QByteArray::number(number)};
    page += FirmValues(firm);
    page += EmployeeValues(doc.infoBase.current.head);
    for (int year = 0; year < kYears; ++year) {
        const AmountTexts texts = CertificateAmountTexts(amounts[std::size_t(year)]);
        page << QByteArray::number(firstYear + year) << texts.roubles << texts.kopecks << texts.words;
    }
    page << PaddedFirmText(firm, FirmInfo::statusShef).left(30) << PaddedFirmText(firm, FirmInfo::fioShef).left(46)
         << PaddedFirmText(firm, FirmInfo::fioBuh).left(46);
    return page;
}

int PrintSpravZarp2Goda(std::stop_token stop, const ReportSelection& selection, const QString& workFilePath,
                        int markedCount, PayrollDoc& doc, GenrRunDetail* detail)
{
    infobase::CInfoBase& base = doc.infoBase;
    const ReportPeriod period = ResolveReportPeriod(base.config);
    if (const QString refusal = CertificateYearsRefusal(base.config); !refusal.isEmpty()) {
        if (detail != nullptr)
            detail->text = refusal;
        return GenrRefused;
    }
    if (period.firstMonth > period.lastMonth || ReportYearAfterBase(period, base.config))
        return -2;
    doc.GenrValues.fill(0);
    // The archive of the three years of the certificate.
    const std::array<int, kYears> years = CertificateYears(base.config);
    if (!SelectPeriodToSwap(base, MonthIndex(years.front(), 1), MonthIndex(years.back(), 12),
                            selection.toInfoBaseSelection(markedCount), stop))
        return GenrStopped;
    struct SwapCloser {
        infobase::CInfoBase& base;
        ~SwapCloser() { base.CloseSwapFile(); }
    } closer{base};

    print::CTree tree(kEarningsCertificateTemplate, workFilePath);
    int number = 0;
    for (const infobase::EmployeeListEntry& entry : base.list) {
        if (stop.stop_requested())
            return GenrStopped;
        if (!SelectsReportEmployee(base, entry, selection, markedCount))
            continue;
        if (const int result = PrintEmployeeCertificate(tree, entry, period, number, doc); result < 0)
            return result;
    }
    const int generated = tree.Generate();
    if (detail != nullptr)
        detail->text = tree.ErrorText();
    return generated < 0 ? GenrPrintFailed : GenrDone;
}

} // namespace kalvor::reports
