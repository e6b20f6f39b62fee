#include "reports/social/SocialFormTexts.h"

#include "platform/CodePage.h"
#include "print/CTree.h"
#include "reports/social/ReportRun.h"
#include "values/Text8.h"

namespace kalvor::reports {

QByteArray TwoDigitNumber(int number) { return (number < 10 ? "0" : "") + QByteArray::number(number); }

QByteArray DateWithPoints(int day, int month, int year)
{
    return TwoDigitNumber(day) + '.' + TwoDigitNumber(month) + '.' + QByteArray::number(year);
}

QByteArray GenitiveMonthName(int month)
{
    static const char16_t* const names[] = {u"января", u"февраля", u"марта",    u"апреля",  u"мая",    u"июня",
                                            u"июля",   u"августа", u"сентября", u"октября", u"ноября", u"декабря"};
    if (month < 1 || month > 12)
        return {};
    return codepage::toCp1251(QString::fromUtf16(names[month - 1]));
}

QByteArray SqueezedFirmText(const infobase::FirmInfo& firm, infobase::FirmInfo::Text which, int width)
{
    return SqueezeBlanks(PaddedFirmText(firm, which).left(width).replace('\0', ' '));
}

QByteArray SqueezedText(const QString& text, int width)
{
    return SqueezeBlanks(codepage::toCp1251(text).left(width).replace('\0', ' '));
}

QByteArray FixedText(const QString& text, int width)
{
    return codepage::toCp1251(text).leftJustified(width, ' ', true);
}

NameParts SplitFullName(const QString& fio)
{
    const QByteArray field = codepage::toCp1251(fio).left(50);
    NameParts parts;
    QByteArray* targets[] = {&parts.surname, &parts.name, &parts.patronymic};
    qsizetype start = 0;
    for (QByteArray* target : targets) {
        if (start > field.size())
            break;
        qsizetype blank = field.indexOf(' ', start);
        if (blank < 0)
            blank = field.size();
        *target = field.mid(start, blank - start);
        start = blank + 1;
    }
    return parts;
}

int GenerateFormRegions(const QByteArray& templateName, const QString& workFilePath, const QList<FormRegion>& regions,
                        QString* errorText)
{
    print::CTree tree(templateName, workFilePath);
    QDomElement page;
    for (const FormRegion& region : regions) {
        if (region.row) {
            QDomElement row;
            tree.NewRow(region.name, &row, page);
            tree.AddValue(row, region.values);
        } else {
            page = tree.NewPage(nullptr, region.name);
            tree.AddValue(page, region.values);
        }
    }
    const int result = tree.Generate();
    if (errorText != nullptr)
        *errorText = tree.ErrorText();
    return result;
}

QList<QByteArray> OneCharCells(const QByteArray& text)
{
    QList<QByteArray> cells;
    for (char c : text) cells.append(QByteArray(1, c));
    return cells;
}

QList<QByteArray> PhoneCells(const infobase::FirmInfo& firm)
{
    QByteArray phone = SqueezedFirmText(firm, infobase::FirmInfo::adrPhone, 20);
    while (phone.size() > 15) {
        const qsizetype dash = phone.lastIndexOf('-');
        if (dash < 0)
            break;
        phone.remove(dash, 1);
    }
    return OneCharCells(phone.left(15).rightJustified(15, ' '));
}

QByteArray SqueezedField(const char* field, int width)
{
    QByteArray out(width, ' ');
    out.resize(SqueezeBlanksNul(field, width, out.data()));
    return out;
}

} // namespace kalvor::reports
