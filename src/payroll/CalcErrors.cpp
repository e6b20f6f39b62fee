#include "payroll/CalcErrors.h"

#include "values/Messages.h"

namespace kalvor {

namespace {

// The messages the engine says otherwise than the exchange table does under
// the same code.
struct OwnText {
    CalcError code;
    const char* text;
};
constexpr OwnText kOwnTexts[] = {
    {kCalcNoPaymentSystem, "Не указана система оплаты"},
    {kCalcNoSchedule, "Отсутствует график работ"},
    {kCalcArchiveDataMissing, "В архиве отсутствуют нужные данные"},
    {kCalcHireDateForRule, "Некорр.дата приема на работу для данного алгоритма."},
    {kCalcDayMaskMismatch, "Ошибка в табеле учета каждого рабочего дня"},
    {kCalcTooManyIncomeCodes, "Слишком много кодов дохода"},
    {kCalcNoContributionTable, "Не известна налоговая таблица для ЕСН"},
    {kCalcNoBirthDate, "Не указана дата рождения"},
    {kCalcPostalFee, "Ошибка расчета почтового сбора"},
    {kCalcSalaryNotPosition, "Оклад не соответствует окладу из справочн.должностей."},
    {kCalcNoSex, "Не указан пол"},
};

constexpr std::array<const char*, 43> engineTexts()
{
    std::array<const char*, 43> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = ExchangeErrorTexts[i];
    for (const OwnText& own : kOwnTexts) texts[std::size_t(-own.code - 1)] = own.text;
    return texts;
}

} // namespace

constexpr std::array<const char*, 43> CalcErrorTexts = engineTexts();

QString CalcErrorText(int code)
{
    const int k = code < 0 ? -code : code;
    if (k < 1 || k > int(CalcErrorTexts.size()))
        return QString();
    return QString::fromUtf8(CalcErrorTexts[std::size_t(k - 1)]);
}

} // namespace kalvor
