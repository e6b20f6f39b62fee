#include "exchange/MonthlyEarningsCertificate.h"

#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "print/CTree.h"
#include "print/TextHelpers.h"
#include "reports/social/EmployeeContributions.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Messages.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::exchange {

namespace {

// The month names of the table, eight characters each as the form prints them.
constexpr const char16_t* kPaddedMonthNames[12] = {
    u"Январь  ", u"Февраль ", u"Март    ", u"Апрель  ", u"Май     ", u"Июнь    ",
    u"Июль    ", u"Август  ", u"Сентябрь", u"Октябрь ", u"Ноябрь  ", u"Декабрь ",
};

// The switch of the firm's parameter word that counts an amount in its own
// (accrual) month rather than in the month it was paid.
constexpr int kByAccrualMonthBit = 1;

QByteArray Amount(double kopecks) { return FormatFixed8(kopecks / 100, 2, 10); }

// The name and amount of one month of the table, or two single blanks.
QList<QByteArray> MonthCells(const CertificateMonths& months, int month)
{
    const double amount = months[std::size_t(month)];
    if (amount == 0)
        return {" ", " "};
    return {codepage::toCp1251(QString::fromUtf16(kPaddedMonthNames[month - 1])), Amount(amount)};
}

struct CertificateRun {
    PayrollDoc& doc;
    print::CTree& tree;
    reports::ReportPeriod period;
    int monthRule = 0;
    int number = 0;
};

// The month's earnings of the current employee: the base of the first
// contribution kind for that month alone. Returns 0 or the arithmetic's code.
int MonthEarnings(const CertificateRun& run, int firstRow, int month, double& amount)
{
    amount = 0;
    const MonthKey key(run.period.year, month);
    reports::EmployeeContributions contributions;
    const int result = reports::ContributionsOfMonths(run.doc, key.value(), key.value(), firstRow, reports::kAllContributionKinds,
                                                      contributions, run.monthRule);
    if (result < 0)
        return result;
    if (contributions.kindCount > 0)
        amount = contributions.own(0).base;
    return 0;
}

// The first month of the employee's certificate: the period's first month,
// or the hiring month when the employee came within the period; 0 when hired
// after the period.
int FirstCertificateMonth(const infobase::EmployeeHead& head, const reports::ReportPeriod& period)
{
    const PackedDate hired(head.datPr1);
    if (hired.isNull())
        return period.firstMonth;
    const MonthKey hiring(hired.fullYear(), hired.month());
    if (hiring.value() > period.end())
        return 0;
    if (hiring >= MonthKey(period.year, period.firstMonth))
        return hiring.month();
    return period.firstMonth;
}

// One employee's certificate, or none for one hired after the period.
int PrintEmployeeCertificate(CertificateRun& run, const infobase::EmployeeListEntry& entry)
{
    infobase::CInfoBase& base = run.doc.infoBase;
    if (!base.swap.readSlot(entry.slot, base.current))
        throw TextError(kMsgReadFailed);
    const int firstMonth = FirstCertificateMonth(base.current.head, run.period);
    if (firstMonth == 0)
        return 0;
    ++run.number;
    const QDomElement page = run.tree.NewPage(nullptr, "page0");
    run.tree.AddValue(page, {QByteArray::number(run.number), reports::FixedText(base.current.head.fio, 56),
                             reports::PaddedFirmText(base.firm, infobase::FirmInfo::firmName).left(56)});

    const int firstRow = base.attributesOf(entry.slot).kvProizv;
    CertificateMonths months{};
    double total = 0;
    for (int month = firstMonth; month <= run.period.lastMonth; ++month) {
        if (const int result = MonthEarnings(run, firstRow, month, months[std::size_t(month)]); result < 0)
            return result;
        total += months[std::size_t(month)];
    }
    for (const QList<QByteArray>& values : CertificateMonthRows(months, run.period.lastMonth))
        run.tree.AddValue(run.tree.NewRow("row0", nullptr, page), values);

    const CertificateTotalTexts totalTexts = CertificateTotal(total);
    run.tree.AddValue(page, {totalTexts.figures, totalTexts.words,
                             reports::PaddedFirmText(base.firm, infobase::FirmInfo::statusShef).left(30),
                             reports::PaddedFirmText(base.firm, infobase::FirmInfo::fioShef).left(46),
                             reports::PaddedFirmText(base.firm, infobase::FirmInfo::fioBuh).left(46)});
    return 0;
}

} // namespace

QList<QList<QByteArray>> CertificateMonthRows(const CertificateMonths& months, int lastMonth)
{
    QList<QList<QByteArray>> rows;
    for (int month = 1; month <= std::min(6, lastMonth); ++month)
        rows << MonthCells(months, month) + MonthCells(months, month + 6);
    return rows;
}

CertificateTotalTexts CertificateTotal(double kopecks)
{
    const QByteArray figures = Amount(kopecks);
    // The words follow the figures as printed: roubles and kopecks of the
    // text. A negative total (reversals over the pay) is said as "Минус" and
    // the words of its size, as the figures show it.
    QByteArray roubleText = figures.left(figures.size() - 3).trimmed();
    const bool negative = roubleText.startsWith('-');
    if (negative)
        roubleText.remove(0, 1);
    const int cents = figures.right(2).toInt();
    char words[print::kWordBufferSize];
    const int length = print::SumInWords(roubleText.toInt(), cents, words);
    QByteArray text(words, length);
    if (negative) {
        text[0] = char(codepage::lower1251(static_cast<unsigned char>(text[0])));
        text = (codepage::toCp1251(QStringLiteral("Минус ")) + text).left(print::kWordBufferSize - 1);
    }
    return {figures, text};
}

int PrintEarningsCertificate(const T54Selection& selection, std::stop_token stop, const QString& outputPath,
                             int markedCount, PayrollDoc& doc, QDomDocument* data, QString* viewerText)
{
    infobase::CInfoBase& base = doc.infoBase;
    const reports::ReportPeriod period = reports::ResolveReportPeriod(base.config);
    if (period.firstMonth > period.lastMonth || reports::ReportYearAfterBase(period, base.config))
        return -2;
    doc.GenrValues.fill(0);
    print::CTree tree(kEarningsCertificateTemplate, outputPath);
    CertificateRun run{doc, tree, period, (base.firm.parWord & kByAccrualMonthBit) != 0 ? 1 : 0, 0};
    const int result = ForEachSelectedEmployee(doc, selection, markedCount, period, stop,
                                               [&](const auto& entry) { return PrintEmployeeCertificate(run, entry); });
    return result != 0 ? result : GenerateDocument(tree, data, viewerText);
}

platform::TaskOutcome SpravZarpMonthThreadProc(platform::TaskContext& context, const platform::TaskThreadParams& params,
                                               PayrollDoc& doc, const ExchangeMessenger& messenger)
{
    // Named after the period's last month, so that no print overwrites another.
    const FormWorkFileOf workFileOf = [&](int tabN) {
        return reports::ReportFormPath(doc, reports::kMonthlyCertificate, tabN);
    };
    return RunSelectionPrintThread(context, params, 0, workFileOf, doc, messenger,
                                   [&](const T54Selection& selection, std::stop_token stop, const QString& output,
                                       int marked, QString* viewerText) {
                                       return PrintEarningsCertificate(selection, stop, output, marked, doc, nullptr,
                                                                       viewerText);
                                   });
}

} // namespace kalvor::exchange
