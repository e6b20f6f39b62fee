#include "payroll/CalcErrors.h"

#include "values/Messages.h"

namespace kalvor {

namespace {

constexpr std::array<const char*, 47> engineTexts()
{
    std::array<const char*, 47> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = ExchangeErrorTexts[i];
    for (const CalcOwnText& own : CalcOwnTexts) texts[std::size_t(-own.code - 1)] = own.text;
    return texts;
}

} // namespace

constexpr std::array<const char*, 47> CalcErrorTexts = engineTexts();

QString CalcErrorText(int code)
{
    const int k = code < 0 ? -code : code;
    if (k < 1 || k > int(CalcErrorTexts.size()))
        return QString();
    return QString::fromUtf8(CalcErrorTexts[std::size_t(k - 1)]);
}

} // namespace kalvor
