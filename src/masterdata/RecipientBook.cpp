#include "masterdata/RecipientBook.h"

namespace kalvor::masterdata {

namespace ib = infobase;

namespace {

// The field's text in a recipient (const or not); null for a wrong number.
template <class Recipient>
auto* FieldOf(Recipient& r, int field)
{
    const std::array<decltype(&r.filial), kRecipientFieldCount> fields = {
        &r.filial, &r.recipient, &r.account, &r.bank, &r.corrAccount, &r.bik, &r.inn, &r.kpp};
    return field >= 0 && field < kRecipientFieldCount ? fields[std::size_t(field)] : nullptr;
}

} // namespace

QString RecipientField(const ib::TransferRecipient& recipient, int field)
{
    const QString* stored = FieldOf(recipient, field);
    return stored ? *stored : QString();
}

int RecipientFieldWidth(int field)
{
    return field >= 0 && field < kRecipientFieldCount ? ib::TransferRecipient::Widths[field] : 0;
}

int StoreRecipientField(ib::TransferRecipient& recipient, int field, const QString& text)
{
    QString* stored = FieldOf(recipient, field);
    if (!stored)
        return 0;
    QString value = ib::fitText(text, RecipientFieldWidth(field));
    while (value.endsWith(QLatin1Char(' '))) value.chop(1);
    if (value == *stored)
        return 0;
    *stored = value;
    return 1;
}

QStringList RecipientHelpLines(const Recipients& recipients)
{
    QStringList lines;
    int number = 0;
    for (const infobase::TransferRecipient& r : recipients)
        lines << QStringLiteral("%1|%2").arg(++number).arg(r.recipient, -45);
    return lines;
}

} // namespace kalvor::masterdata
