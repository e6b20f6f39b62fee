#include "exchange/PfAnketa.h"

#include "exchange/PfrRecordParts.h"

#include "platform/CodePage.h"
#include "platform/FileCopy.h"
#include "values/InsuranceNumber.h"
#include "values/Messages.h"
#include "values/Text8.h"
#include "values/Values.h"

namespace kalvor::exchange {

namespace {

QByteArray Cp(const char* utf8) { return codepage::toCp1251(QString::fromUtf8(utf8)); }

// The first `width` characters with every blank dropped.
QByteArray Compacted(const QString& text, int width)
{
    QByteArray bytes = codepage::toCp1251(text.left(width));
    bytes.replace(" ", "");
    return bytes;
}

QByteArray SlashedDate(int day, int month, int year)
{
    return QString::asprintf("%02d/%02d/%04d", day, month, year).toLatin1();
}

QByteArray SexLetter(const QString& pol)
{
    const QChar c = pol.isEmpty() ? QChar() : pol.front();
    if (c == u'm' || c == u'M' || c == u'м' || c == u'М')
        return Cp("М");
    if (c == u'ж' || c == u'Ж')
        return Cp("Ж");
    return QByteArray();
}

QByteArray BirthDate(std::uint16_t datR)
{
    const PackedDate date(datR);
    if (date.day() == 0 || date.month() < 1 || date.month() > 12)
        return QByteArray();
    return SlashedDate(date.day(), date.month(), date.fullYear());
}

// The issue date kept as text ("d.m.yy" or "dd.mm.yyyy") as "dd/mm/yyyy".
QByteArray IssueDate(const QString& pspDat)
{
    const QDate date = ReadDateText(pspDat);
    if (!date.isValid())
        return QByteArray();
    return SlashedDate(date.day(), date.month(), date.year());
}

// The identity document: its word, the two series fields and the number.
struct IdentityDocument {
    QByteArray word;
    QByteArray seriesFirst;
    QByteArray seriesSecond;
    QByteArray number;
};

IdentityDocument IdentityDocumentOf(const infobase::EmployeeHead& head)
{
    IdentityDocument out;
    const PfrDocumentSeries series = PfrSplitSeries(head.pspSer);
    out.number = Compacted(head.pspNom.left(6), 6) + Compacted(head.pspNom.mid(6), 4);
    out.seriesFirst = series.first;
    const int kind = head.pspKod.left(2).trimmed().toInt();
    switch (kind) {
    case 1:
    case 10:
        out.word = Cp(kind == 1 ? "ПАСПОРТ" : "ИНПАСПОРТ");
        out.seriesSecond = PfrUpper(series.second.left(2));
        break;
    case 4:
    case 7:
        out.word = Cp(kind == 4 ? "УДОСТ ОФИЦЕРА" : "ВОЕННЫЙ БИЛЕТ");
        out.seriesFirst = PfrUpper(series.first.left(2)) + series.first.mid(2);
        break;
    case 21:
        out.word = Cp("ПАСПОРТ РОССИИ");
        out.seriesSecond = series.second;
        break;
    default: out.word = Cp("ПРОЧЕЕ"); out.number = out.number.left(10);
    }
    if (out.number.size() == 1)
        out.seriesSecond.clear();
    if (out.number.isEmpty())
        out.number = "0";
    return out;
}

// The registration address: country (foreign passports only), index,
// region, district, city (none for Moscow and St Petersburg), locality,
// street, house, building and flat, each squeezed and upper-cased.
QByteArray RegistrationAddress(const infobase::EmployeeHead& head, bool foreignPassport)
{
    const int region = head.propKodReg.left(2).trimmed().toInt();
    const QString regionName = PfrRegionName(region);
    const bool federalCity = region == 77 || region == 78;
    const QByteArray parts[] = {
        PfrSqueezed(head.propInd, 6),
        regionName.isEmpty() ? PfrSqueezed(head.propReg, 28) : codepage::toCp1251(regionName),
        PfrSqueezed(head.propRaj, 25),
        federalCity ? QByteArray() : PfrSqueezed(head.propGorod, 30),
        PfrSqueezed(head.propPunkt, 30),
        PfrSqueezed(head.propUl, 50),
        PfrSqueezed(head.propDom, 10),
        PfrSqueezed(head.propKorp, 9),
        PfrSqueezed(head.propKv, 4),
    };
    QByteArray address = foreignPassport ? Compacted(head.propKodStr, 3) : QByteArray();
    for (const QByteArray& part : parts) address += ',' + part;
    return PfrUpper(address);
}

QByteArray LivingAddress(const infobase::EmployeeHead& head)
{
    const QByteArray street = PfrSqueezed(head.gitAdr, 143);
    if (street.isEmpty())
        return QByteArray();
    return PfrUpper(Compacted(head.gitInd, 6) + ',' + street);
}

} // namespace

int PfrInsuranceCheckNumber(const QByteArray& number) { return InsuranceCheckNumber(QString::fromLatin1(number)); }

QByteArray PfrInsuranceNumberWithCheck(const QString& strahPolis)
{
    const QByteArray number = Compacted(strahPolis.trimmed(), 11);
    if (number.isEmpty())
        return QByteArray();
    int check = PfrInsuranceCheckNumber(number);
    bool allZero = check == 0;
    for (char c : number)
        if (c >= '1' && c <= '9')
            allZero = false;
    if (allZero)
        return QByteArray();
    // The card's own check number where it holds one.
    const InsuranceNumberCheck card = CheckInsuranceNumber(strahPolis);
    if (card.typed && card.typedDigits.size() == 2)
        check = card.typedDigits.toInt();
    return number + ' ' + QString::asprintf("%02d", check).toLatin1();
}

PfrDocumentSeries PfrSplitSeries(const QString& series)
{
    const QByteArray text = SqueezeBlanksAfterDigits(codepage::toCp1251(series.left(10)));
    qsizetype cut = -1;
    for (qsizetype i = 0; i < text.size() && cut < 0; ++i)
        if (text[i] == '-' || text[i] == ' ')
            cut = i;
    if (cut < 0)
        return {text, QByteArray()};
    return {text.left(cut), text.mid(cut + 1)};
}

QByteArray PfAnketaLine(int recordNumber, int personnelNumber, PfrPackWriter& noPension, int format,
                        const PayrollDoc& doc, const QDate& today)
{
    const infobase::EmployeeHead& head = doc.infoBase.current.head;
    const QByteArray insurance = format == PfrOazis4 ? PfrInsuranceNumberWithCheck(head.strahPolis) : QByteArray();
    if (insurance.isEmpty())
        noPension.write(PfrNoPensionLine(personnelNumber, head.fio));

    const IdentityDocument document = IdentityDocumentOf(head);
    PfrTextLine line;
    line.text(QByteArray("___'")).number(recordNumber).text(SlashedDate(today.day(), today.month(), today.year()));
    if (format == PfrOazis4)
        line.text(insurance).text(QByteArray::number(personnelNumber));
    line.text(PfrNameWord(head.fio, 0)).text(PfrNameWord(head.fio, 1)).text(PfrNameWord(head.fio, 2));
    line.text(SexLetter(head.pol)).text(Cp("СТАНДАРТ")).text(BirthDate(head.datR));
    line.number(0).number(0).number(0).text(Cp("СТАНДАРТ"));
    line.text(PfrUpper(PfrSqueezed(head.bdGorod, 28))).text(PfrSqueezed(head.bdRaj, 24));
    line.text(PfrSqueezed(head.bdReg, 24)).text(PfrSqueezed(head.bdStr, 24));
    if (format == PfrSzv42 || format == PfrSzv41 || format == PfrOazis3)
        line.text(QByteArray());
    line.text(document.word).text(QByteArray()).text(document.seriesFirst).text(document.seriesSecond);
    line.number(document.number).text(IssueDate(head.pspDat)).text(PfrUpper(PfrSqueezed(head.pspKem, 69)));
    const bool foreignPassport = head.pspKod.left(2).trimmed().toInt() == 10;
    line.text(RegistrationAddress(head, foreignPassport)).text(LivingAddress(head));
    line.text(Compacted(head.gitPhone, 20));
    if (format == PfrOazis4)
        line.text(QByteArray());
    return line.bytes();
}

int WritePfAnketa(int recordNumber, int personnelNumber, PfrPackWriter& pack, PfrPackWriter& noPension, int format,
                  const PayrollDoc& doc, const QDate& today)
{
    pack.write(PfAnketaLine(recordNumber, personnelNumber, noPension, format, doc, today));
    return 0;
}

QString PfrQuestionnaireFileName(const PfrExportOptions& options, const PayrollDoc& doc)
{
    if (options.kind == PfrQuestionnaires)
        return QStringLiteral("ANKETA.TXT");
    return QString::asprintf("Z%04u_0.TXT", unsigned(PfrReportYear(doc.infoBase.config)));
}

QString CopyQuestionnaireFile(const PfrExportOptions& options, const QString& workFile, const QString& folder,
                              const PayrollDoc& doc)
{
    const QString target = folder + PfrQuestionnaireFileName(options, doc);
    if (!platform::CopyFileReplacing(workFile, target))
        throw TextError("Попытка копирования файлов не удалась");
    return target;
}

} // namespace kalvor::exchange
