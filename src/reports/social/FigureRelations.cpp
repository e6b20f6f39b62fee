#include "reports/social/FigureRelations.h"

#include "reports/social/Fss4Common.h"
#include "reports/social/Fss4Values.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::reports {

namespace {

QString Figure(double value, int decimals) { return QString::fromLatin1(FormatFixed8(value + 0.0, decimals)); }

double At(const GenrValueArray& v, int index) { return v[std::size_t(index)]; }

// A relation of whole numbers (incomes in roubles, counts), shown as their
// fields take them.
FigureRelation InWholeNumbers(FigureRelation relation)
{
    relation.decimals = 0;
    return relation;
}

// The four columns of RSV-1's Section 1.
const char* const kPensionColumns[] = {"страховая часть", "накопительная часть", "ФФОМС", "ТФОМС"};
// The two parts of its Section 5.
const char* const kSection5Parts[] = {"страховая часть", "накопительная часть"};

// Each payment order of a table with a sum has its date and number; the
// date's field (the number's, where the date is given) has the focus.
void AddPaymentOrderRelations(const GenrValueArray& v, const char* table, int first, int orders,
                              std::vector<FigureRelation>& relations)
{
    for (int order = 0; order < orders; ++order) {
        const fss4::PaymentOrderValues paid = fss4::PaymentOrderAt(v, first, order);
        const QString name =
            QStringLiteral("платежного поручения %1 (%2)").arg(order + 1).arg(QString::fromUtf8(table));
        const int at = first + 3 * order;
        relations.push_back(GivenWithRelation(
            QStringLiteral("сумма %1").arg(name), paid.sum, QStringLiteral("дата и номер %1").arg(name),
            !paid.date.isNull() && paid.number != 0, paid.date.isNull() ? at : at + 1));
    }
}

void AddSection1Relations(const GenrValueArray& v, const ReportPeriod& period, std::vector<FigureRelation>& relations)
{
    using namespace ovpf;
    // Within the first quarter the period is the quarter: line 140 is the
    // sum of its three months; a longer period has paid in earlier months too.
    const bool quarterIsThePeriod = period.lastMonth <= 3;
    for (int c = 0; c < 4; ++c) {
        const QString column = QString::fromUtf8(kPensionColumns[c]);
        const QString months = QStringLiteral("строки 141-143 (%1)").arg(column);
        const QString paid = QStringLiteral("строка 140 «Уплачено с начала периода» (%1)").arg(column);
        const double sum = At(v, kLine140 + 4 + c) + At(v, kLine140 + 8 + c) + At(v, kLine140 + 12 + c);
        const int focus = kLine140 + 4 + c;
        const double whole = At(v, kLine140 + c);
        relations.push_back(quarterIsThePeriod ? TotalOfLinesRelation(months, sum, paid, whole, focus)
                                               : PartOfWholeRelation(months, sum, paid, whole, focus));
    }
}

void AddSection5Relations(const GenrValueArray& v, std::vector<FigureRelation>& relations)
{
    using ovpf::kSection5;
    for (int p = 0; p < 2; ++p) {
        const QString part = QString::fromUtf8(kSection5Parts[p]);
        // What was paid of a debt is part of it: 520 larger than 510 is the
        // fault, named before the rest it would leave below 0.
        FigureRelation paid = PartOfWholeRelation(
            QStringLiteral("строка 520 «Уплачено в отчетном периоде» (%1)").arg(part), At(v, kSection5 + 2 + p),
            QStringLiteral("строка 510 «Остаток задолженности на начало периода» (%1)").arg(part), At(v, kSection5 + p),
            kSection5 + 2 + p);
        paid.heading = QStringLiteral("Уплачено больше задолженности на начало периода");
        relations.push_back(paid);
        FigureRelation rest =
            TotalOfLinesRelation(QStringLiteral("строка 510 за вычетом строки 520 (%1)").arg(part),
                                 At(v, kSection5 + p) - At(v, kSection5 + 2 + p),
                                 QStringLiteral("строка 530 «Остаток задолженности на конец периода» (%1)").arg(part),
                                 At(v, kSection5 + 4 + p), kSection5 + 4 + p);
        rest.heading = QStringLiteral("Остаток на конец периода не равен остатку на начало за вычетом уплаченного");
        relations.push_back(rest);
    }
}

} // namespace

bool FigureRelation::holds() const
{
    const double part = KopecksFromRoubles(partValue);
    const double whole = KopecksFromRoubles(wholeValue);
    switch (kind) {
    case PartOfWhole: return part <= whole;
    case TotalOfLines: return part == whole;
    case GivenWith: return part == 0 || whole != 0;
    }
    return false;
}

QString FigureRelation::refusal() const
{
    if (kind == GivenWith)
        return QStringLiteral("%1: %2 — %3, %4 — нет.").arg(heading, part, Figure(partValue, decimals), whole);
    return QStringLiteral("%1: %2 — %3, %4 — %5.")
        .arg(heading, part, Figure(partValue, decimals), whole, Figure(wholeValue, decimals));
}

FigureRelation PartOfWholeRelation(const QString& part, double partValue, const QString& whole, double wholeValue,
                                   int focus)
{
    const QString heading = QStringLiteral("Часть больше целого");
    return {FigureRelation::PartOfWhole, heading, part, partValue, whole, wholeValue, focus};
}

FigureRelation TotalOfLinesRelation(const QString& lines, double linesValue, const QString& total, double totalValue,
                                    int focus)
{
    const QString heading = QStringLiteral("Итог не равен сумме своих строк");
    return {FigureRelation::TotalOfLines, heading, lines, linesValue, total, totalValue, focus};
}

FigureRelation GivenWithRelation(const QString& sum, double sumValue, const QString& given, bool isGiven, int focus)
{
    const QString heading = QStringLiteral("Сумма платежного поручения без его даты и номера");
    return {FigureRelation::GivenWith, heading, sum, sumValue, given, isGiven ? 1.0 : 0.0, focus};
}

std::optional<FigureRelation> BrokenRelation(const std::vector<FigureRelation>& relations)
{
    const auto broken =
        std::find_if(relations.begin(), relations.end(), [](const FigureRelation& r) { return !r.holds(); });
    return broken == relations.end() ? std::nullopt : std::optional<FigureRelation>(*broken);
}

std::vector<FigureRelation> PensionFigureRelations(const GenrValueArray& v, const ReportPeriod& period)
{
    using namespace ovpf;
    std::vector<FigureRelation> relations;
    AddSection1Relations(v, period, relations);
    AddSection5Relations(v, relations);
    relations.push_back(InWholeNumbers(
        PartOfWholeRelation(QStringLiteral("строка 431 «Из них по статье 57»"), At(v, kIncome57),
                            QStringLiteral("строка 430 «Сумма дохода по статье 248»"), At(v, kIncome248), kIncome57)));
    relations.push_back(InWholeNumbers(PartOfWholeRelation(
        QStringLiteral("строка 436 «Из них по статье 58»"), At(v, kIncome58),
        QStringLiteral("строка 435 «Сумма доходов по статье 346.15»"), At(v, kIncome34615), kIncome58)));
    return relations;
}

std::vector<FigureRelation> Fss4FigureRelations(const GenrValueArray& v, int year)
{
    using namespace fss4;
    constexpr int kForm2011Year = 2011;
    std::vector<FigureRelation> relations;
    relations.push_back(PartOfWholeRelation(
        QStringLiteral("таблица 1, строки 13 и 14 вместе"), At(v, kDebtsStart + 3) + At(v, kDebtsStart + 4),
        QStringLiteral("строка 12 «Задолженность за территориальным органом Фонда на начало расчетного периода»"),
        At(v, kDebtsStart + 2), kDebtsStart + 3));
    if (year >= kForm2011Year)
        relations.push_back(PartOfWholeRelation(
            QStringLiteral("таблица 1, строки 10 и 11 вместе"), At(v, kDebtsStart) + At(v, kDebtsStart + 1),
            QStringLiteral("строка 9 «Задолженность за территориальным органом Фонда на конец отчетного периода»"),
            std::max(0.0, -SettlementBalance2011(v)), kDebtsStart));
    FigureRelation cases = InWholeNumbers(
        PartOfWholeRelation(QStringLiteral("число случаев (таблица 2, строка 1)"), At(v, kSickLeave),
                            QStringLiteral("число дней (таблица 2, строка 1)"), At(v, kSickLeave + 1), kSickLeave));
    cases.heading = QStringLiteral("Случаев больше, чем дней нетрудоспособности");
    relations.push_back(cases);
    relations.push_back(InWholeNumbers(PartOfWholeRelation(
        QStringLiteral("таблица 4.1, строка 3 «Из них по статье 58»"), At(v, kTable41 + 2),
        QStringLiteral("строка 2 «Сумма дохода по статье 248 НК»"), At(v, kTable41 + 1), kTable41 + 2)));
    AddPaymentOrderRelations(v, "таблица 1", kPaymentOrders, kPaymentOrderCount, relations);
    AddPaymentOrderRelations(v, "таблица 7", kInjuryOrders, kInjuryOrderCount, relations);
    return relations;
}

} // namespace kalvor::reports
