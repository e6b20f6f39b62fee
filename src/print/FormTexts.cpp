#include "print/FormTexts.h"

#include "platform/CodePage.h"
#include "print/TextHelpers.h"

namespace kalvor::print {

using infobase::FirmInfo;

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }
QByteArray TwoDigits(int value) { return QByteArray::number(value).rightJustified(2, '0'); }

} // namespace

QByteArray FirmText8(const PayrollDoc& doc, FirmInfo::Text text)
{
    return codepage::toCp1251(doc.infoBase.firm.texts[std::size_t(text)]).left(FirmInfo::TextWidth);
}

QByteArray CollapseBlanks(const QByteArray& text, int limit)
{
    QByteArray out;
    const qsizetype end = std::min<qsizetype>(text.size(), std::max(limit, 0));
    for (qsizetype i = 0; i < end && text[i] != '\0'; ++i) {
        if (text[i] == ' ' && out.endsWith(' '))
            continue;
        out += text[i];
    }
    if (out.endsWith(' '))
        out.chop(1);
    return out;
}

QByteArray UnitText(const PayrollDoc& doc, int shop, int brigade)
{
    QByteArray unit;
    if (const infobase::ShopRecord* record = doc.infoBase.shopNumbered(shop))
        unit = Cp("Цех - ") + codepage::toCp1251(record->name).left(29) + ' ';
    if (brigade != 0)
        unit += (unit.isEmpty() ? QByteArray() : QByteArray(", ")) + Cp("Бригада -") +
                QByteArray::number(brigade).rightJustified(3, ' ') + ' ';
    return unit;
}

QByteArray FormDate(int day, int month, int year)
{
    return TwoDigits(day) + '.' + TwoDigits(month) + ".20" + TwoDigits(year % 100);
}

QByteArray MonthName(int month)
{
    static const char* const names[] = {"январь", "февраль", "март",     "апрель",  "май",    "июнь",
                                        "июль",   "август",  "сентябрь", "октябрь", "ноябрь", "декабрь"};
    return month >= 1 && month <= 12 ? Cp(names[month - 1]) : QByteArray();
}

QByteArray GenitiveMonth(int month)
{
    static const char* const names[] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                        "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
    return month >= 1 && month <= 12 ? Cp(names[month - 1]) : QByteArray();
}

QByteArray FioInitials(const QByteArray& fullName)
{
    char initials[kWordBufferSize];
    const int length = FormatFioInitials(fullName.constData(), initials, kWordBufferSize);
    return QByteArray(initials, length);
}

} // namespace kalvor::print
