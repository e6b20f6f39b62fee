// The checks of the numbers that name a record of a book, over a pay-kind
// book of a few kinds: a transfer's code is a kind of the book that takes the
// money off the pay, a loan's a kind within the loans' codes; a number the
// book does not hold is refused naming the book, one of the book outside the
// input's class naming the class.
#include "infobase/InfoBase.h"
#include "shell/ui/BookChecks.h"

#include <gtest/gtest.h>

namespace ib = kalvor::infobase;

namespace {

// A base whose pay-kind book holds the codes.
void HoldKinds(ib::CInfoBase& base, std::initializer_list<int> codes)
{
    std::vector<ib::PayKind> kinds;
    for (const int code : codes) {
        ib::PayKind kind;
        kind.kod = ib::u16(code);
        kinds.push_back(kind);
    }
    base.setPayKinds(std::move(kinds));
}

// The refusal of the text in the field "Код"; empty when it reads.
QString Refusal(const kalvor::BookCheck& book, const char* text)
{
    return kalvor::ReadFigure(QStringLiteral("Код"), kalvor::WholeFigure(0, 995), book, QString::fromLatin1(text))
        .refusal;
}

} // namespace

// 903 and 760 take money off the pay; 4 is an accrual, 870 a deduction of
// information only (a loan's class, never a transfer's), 938 is counted in
// the month's totals but reduces no pay, 990 and 995 are the firm's
// contributions: none of them a transfer.
TEST(BookChecks, ATransferIsAKindThatTakesMoneyOffThePayAndALoanAKindOfTheLoans)
{
    ib::CInfoBase base;
    HoldKinds(base, {4, 760, 870, 903, 938, 990, 995});
    const kalvor::BookCheck transfer = TransferKindBook(base);
    for (const char* taken : {"903", "760", "0", ""})
        EXPECT_EQ(Refusal(transfer, taken), QString()) << taken;
    for (const char* refused : {"4", "870", "938", "990", "995"})
        EXPECT_EQ(Refusal(transfer, refused),
                  QStringLiteral("В поле \"Код\" указан код, который не является видом перечисления в банк: %1")
                      .arg(QLatin1String(refused)));
    EXPECT_EQ(Refusal(transfer, "500"),
              QStringLiteral("В поле \"Код\" указан номер, которого нет в справочнике \"Оплаты/Удержания\": 500"));
    EXPECT_EQ(Refusal(transfer, "939"),
              QStringLiteral("В поле \"Код\" указан номер, которого нет в справочнике \"Оплаты/Удержания\": 939"));

    const kalvor::BookCheck loan = LoanKindBook(base);
    for (const char* taken : {"760", "870", "903"})
        EXPECT_EQ(Refusal(loan, taken), QString()) << taken;
    EXPECT_EQ(Refusal(loan, "4"),
              QStringLiteral("В поле \"Код\" указан код, который не является видом удержания по ссуде: 4"));

    // Any pay kind of the book, and nothing else.
    const kalvor::BookCheck kinds = PayKindBook(base);
    for (const char* taken : {"4", "870", "995"})
        EXPECT_EQ(Refusal(kinds, taken), QString()) << taken;
    EXPECT_EQ(Refusal(kinds, "500"),
              QStringLiteral("В поле \"Код\" указан номер, которого нет в справочнике \"Оплаты/Удержания\": 500"));
}
