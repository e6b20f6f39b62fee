#include "reports/incometax/IncomeRegisterText.h"

#include "platform/CodePage.h"
#include "reports/social/SocialFormTexts.h"
#include "values/Clock.h"
#include "values/Messages.h"
#include "values/RoundText.h"

#include "platform/SavedFile.h"

namespace kalvor::reports {

namespace {

constexpr int kWidth = 94;
constexpr int kOldLayoutBefore = 2005;
constexpr int kHeadLines = 18;
constexpr int kPageHeadLines = 6;
constexpr int kClosingLimit = 52;
constexpr int kResidentDays = 183;
// Bits of the employee's flag word.
constexpr int kInostrNrez = 2, kInostr = 9;

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray Blanks(int count) { return QByteArray(count, ' '); }

// An amount column: roubles with the given decimals right-aligned in `width`,
// blanks for an amount of 0 or less.
QByteArray AmountColumn(double kopecks, int width, int decimals)
{
    if (kopecks <= 0)
        return Blanks(width);
    return FormatFixed8(kopecks / 100, decimals, width).right(width);
}

QByteArray IncomeColumn(double kopecks) { return AmountColumn(kopecks, 13, 2); }
QByteArray TaxColumn(double kopecks) { return AmountColumn(kopecks, 12, 0); }
QByteArray WithheldColumn(double kopecks) { return AmountColumn(kopecks, 11, 0); }

QByteArray DashRun(int count) { return QByteArray(count, '-'); }

// The text of one register: its layout, counters and running totals.
class RegisterText {
public:
    RegisterText(const infobase::FirmInfo& firm, int year, const QDate& date)
        : m_firm(firm), m_year(year), m_date(date), m_oldLayout(year < kOldLayoutBefore)
    {}

    void writeHead();
    void writePerson(const RegisterPerson& person);
    void writeEnd();
    int certificates() const { return m_number; }
    QByteArray text() const { return m_text; }

private:
    void line(const QByteArray& text = {})
    {
        m_text += text;
        m_text += "\r\n";
    }
    QByteArray firmText(infobase::FirmInfo::Text which, int width) const
    {
        return PaddedFirmText(m_firm, which).left(width);
    }
    QByteArray registerNumberLine() const;
    void columnHeads();
    int pageLimit() const { return m_oldLayout ? 62 : (m_page == 1 ? 65 : 64); }
    int pageFill() const { return m_oldLayout ? 64 : 65; }
    void fillPage()
    {
        while (m_lines < pageFill()) {
            line();
            ++m_lines;
        }
    }
    void breakPage();
    // The rule above a row, crossing the columns at their bars.
    QByteArray separator() const;
    void row(const QByteArray& rateColumns, const QString& name, double income, double tax, double withheld);

    const infobase::FirmInfo& m_firm;
    int m_year;
    QDate m_date;
    bool m_oldLayout;
    int m_number = 0;
    int m_lines = 0;
    int m_page = 1;
    qsizetype m_countAt = 0;
    double m_income = 0, m_tax = 0, m_withheld = 0;
    QByteArray m_text;
};

QByteArray RegisterText::registerNumberLine() const
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%d", m_date.day(), m_date.month(), m_date.year());
    return Cp("Реестр N ____ от ") + buffer + Cp(" в ") + firmText(infobase::FirmInfo::firmGNI, 4);
}

void RegisterText::columnHeads()
{
    line(DashRun(kWidth));
    if (m_oldLayout) {
        line(Cp(" N  |                      Ф И О                       | Общая сумма | Общ. сумма |Общ. сумма "));
        line(Cp("спр.|                                                  |   дохода    | нал.исчисл |нал.удерж. "));
    } else {
        line(Cp(" N  |                     Ф И О                 |Ставка| Общая сумма | Общ. сумма |Общ. сумма "));
        line(Cp("спр.|                                           |налога|   дохода    | нал.исчисл |нал.удерж. "));
    }
}

void RegisterText::writeHead()
{
    using infobase::FirmInfo;
    line();
    line(Blanks(42) + Cp("РЕЕСТР "));
    line(Blanks(21) + Cp(" СВЕДЕНИЙ О ДОХОДАХ ФИЗИЧЕСКИХ ЛИЦ ЗА ") + QByteArray::number(m_year) + Cp(" ГОД"));
    if (m_oldLayout) {
        line();
        line();
        line(Blanks(27) + registerNumberLine());
    } else {
        line();
        line(Blanks(39) + Cp("в ИФНС ") + firmText(FirmInfo::firmGNI, 4));
    }
    line();
    line(Cp("Налоговый агент: ") + SqueezedFirmText(m_firm, FirmInfo::firmName, 56));
    if (m_oldLayout)
        line();
    line(Cp("ИНН налогового агента: ") + firmText(FirmInfo::firmINN, 10) + " / " + firmText(FirmInfo::firmKPP, 9));
    const QByteArray chief = firmText(FirmInfo::fioBuh, 46);
    if (m_oldLayout)
        line(Cp("ФИО ответственного лица: ") + chief);
    else
        line(Cp("Отправитель: Должность главный бухгалтер  ФИО ") + chief);
    if (!m_oldLayout)
        line();
    const QByteArray count = Cp("Количество представленных документов:");
    m_countAt = m_text.size() + count.size() + 1;
    line(count + Blanks(6));
    if (m_oldLayout) {
        line();
        line(Cp("ПРЕДСТАВЛЕННЫЕ ДОКУМЕНТЫ:") + Blanks(61) + Cp("стр. 1"));
    }
    columnHeads();
    m_lines = kHeadLines;
}

void RegisterText::breakPage()
{
    line(DashRun(kWidth));
    ++m_lines;
    ++m_page;
    fillPage();
    if (m_oldLayout) {
        if (m_page > 2)
            line();
        line(registerNumberLine() + Blanks(52) + Cp("стр. ") + QByteArray::number(m_page));
    } else {
        line(Blanks(34 + 52) + Cp("стр. ") + QByteArray::number(m_page));
    }
    columnHeads();
    m_lines = kPageHeadLines;
}

QByteArray RegisterText::separator() const
{
    // The name column of the new layout is 43 wide and the rate column's
    // 6 follow it, so the rule crosses each at its own bar.
    const QByteArray name = m_oldLayout ? DashRun(50) : DashRun(43) + '+' + DashRun(6);
    return DashRun(4) + '+' + name + '+' + DashRun(13) + '+' + DashRun(12) + '+' + DashRun(11);
}

void RegisterText::row(const QByteArray& rateColumns, const QString& name, double income, double tax, double withheld)
{
    line(separator());
    ++m_number;
    const QByteArray number = QByteArray::number(m_number).leftJustified(4, ' ');
    const int nameWidth = m_oldLayout ? 50 : 43;
    line(number + '|' + FixedText(name, nameWidth) + rateColumns + IncomeColumn(income) + '|' + TaxColumn(tax) + '|' +
         WithheldColumn(withheld));
    m_lines += 2;
    m_income += income;
    m_tax += tax;
    m_withheld += withheld;
}

void RegisterText::writePerson(const RegisterPerson& person)
{
    const CertificateTotals& t = person.totals;
    if (t.income() <= 0 && t.tax() <= 0)
        return;
    if (m_lines >= pageLimit())
        breakPage();
    if (m_oldLayout) {
        row("|", person.name, t.income(), t.tax(), t.tax());
        return;
    }
    if (t.mainIncome != 0)
        row(Cp("|  ") + (t.nonResident ? "30" : "13") + "  |", person.name, t.mainIncome, t.mainTax, t.mainWithheld);
    if (t.income9 != 0)
        row("|   9  |", person.name, t.income9, t.tax9, t.tax9);
    if (t.income35 != 0)
        row("|  35  |", person.name, t.income35, t.tax35, t.tax35);
}

void RegisterText::writeEnd()
{
    using infobase::FirmInfo;
    line(DashRun(kWidth));
    line(Cp("     Итого") + Blanks(46) + IncomeColumn(m_income) + ' ' + TaxColumn(m_tax) + ' ' +
         WithheldColumn(m_withheld));
    line(DashRun(kWidth));
    m_lines += 2;
    if (m_lines >= kClosingLimit) {
        fillPage();
        line();
        const QByteArray page = Cp("стр. ") + QByteArray::number(m_page + 1);
        if (m_oldLayout)
            line(registerNumberLine() + Blanks(52) + page);
        else
            line(Blanks(86) + page);
    }
    if (m_oldLayout) {
        line();
        line(Cp("Руководитель      ________________ /") + firmText(FirmInfo::fioShef, 46) + '/');
        line();
        line(Cp("Главный бухгалтер ________________ /") + firmText(FirmInfo::fioBuh, 46) + '/');
    } else {
        line();
        line(Cp("Подпись налогового агента      ________________"));
    }
    for (const char* closing : {"         МП", "Дата представления в налоговый орган  ________________",
                                "Дата принятия в налоговый орган       ________________",
                                "Подпись работника налогового органа   ________________"}) {
        line();
        line(Cp(closing));
    }
    const QByteArray count = QByteArray::number(m_number);
    m_text.replace(m_countAt, count.size(), count);
}

} // namespace

bool RegisterNonResident(const infobase::EmployeeHead& head)
{
    return head.flag(kInostr) && head.flag(kInostrNrez) && head.inostrDnPrRF < kResidentDays;
}

CertificateTotals CertificateTotalsOf(const infobase::EmployeeHead& head, const RegisterMonths& months,
                                      double propertyDeduction)
{
    const infobase::IncomeMonthRow& total = months.total();
    CertificateTotals t;
    t.nonResident = RegisterNonResident(head);
    const double rate = t.nonResident ? 0.30 : 0.13;
    t.income9 = total.secondGroup;
    t.income35 = total.thirdGroup;
    t.tax9 = RoundRoubles(t.income9 * 0.09);
    t.tax35 = RoundRoubles(t.income35 * 0.35);
    t.mainIncome = total.taxable;
    t.mainTax = RoundRoubles(std::max(0.0, total.base - propertyDeduction) * rate);
    t.mainWithheld = RoundRoubles(total.taxWithheld) - t.tax9 - t.tax35;
    return t;
}

IncomeRegisterText BuildIncomeRegisterText(const infobase::FirmInfo& firm, int year, const QDate& date,
                                           const QList<RegisterPerson>& persons)
{
    RegisterText text(firm, year, date);
    text.writeHead();
    for (const RegisterPerson& person : persons) text.writePerson(person);
    text.writeEnd();
    return {text.text(), text.certificates()};
}

int PrintRegisterText(std::stop_token stop, const ReportSelection& selection, const QString& outputPath,
                      int markedCount, PayrollDoc& doc)
{
    ReportPeriod period;
    if (RegisterPeriod(doc.infoBase.config, period) < 0)
        return -2;
    platform::SavedFile file(outputPath);
    if (!file.open(QIODevice::WriteOnly))
        throw TextError(file.failureText());
    const int baseYear = doc.infoBase.config.reportingYear();
    QList<RegisterPerson> persons;
    const int walked = WalkRegisterEmployees(stop, selection, markedCount, doc, [&](const RegisterEmployee& employee) {
        if (employee.months == nullptr)
            return 0;
        const infobase::EmployeeHead& head = doc.infoBase.current.head;
        const double deduction = PropertyDeductionAmount(head, period.year, baseYear);
        persons.append({head.fio, CertificateTotalsOf(head, *employee.months, deduction)});
        return 0;
    });
    if (walked != GenrDone)
        return walked;
    const IncomeRegisterText text = BuildIncomeRegisterText(doc.infoBase.firm, period.year, Clock::today(), persons);
    if (file.write(text.text) != text.text.size() || !file.commit())
        throw TextError(file.failureText());
    return text.certificates == 0 ? -1 : 0;
}

} // namespace kalvor::reports
