#include "shell/ui/BookChecks.h"

#include "infobase/InfoBase.h"
#include "infobase/PayKindCodes.h"
#include "infobase/RefFiles.h"

#include <algorithm>

namespace ib = kalvor::infobase;

kalvor::BookCheck PayKindBook(const ib::CInfoBase& base)
{
    return {QStringLiteral("Оплаты/Удержания"), [&base](long long code) {
                return std::any_of(base.payKinds().begin(), base.payKinds().end(),
                                   [code](const ib::PayKind& kind) { return kind.kod == code; });
            }};
}

kalvor::BookCheck TransferKindBook(const ib::CInfoBase& base)
{
    kalvor::BookCheck check = PayKindBook(base);
    check.kind = QStringLiteral("видом перечисления в банк");
    check.isOfKind = [](long long code) { return kalvor::IsPayReducingCode(int(code)); };
    return check;
}

kalvor::BookCheck LoanKindBook(const ib::CInfoBase& base)
{
    kalvor::BookCheck check = PayKindBook(base);
    check.kind = QStringLiteral("видом удержания по ссуде");
    check.isOfKind = [](long long code) { return kalvor::IsLoanCode(int(code)); };
    return check;
}

kalvor::BookCheck ShopBook(const ib::CInfoBase& base)
{
    return {QStringLiteral("Цех/Отдел"),
            [&base](long long number) { return number > 0 && number <= 255 && base.shopNumbered(int(number)); }};
}

kalvor::BookCheck ProfessionBook(const ib::CRefFiles& files)
{
    return {QStringLiteral("Профессии"), [&files](long long code) {
                for (int i = 0; i < int(files.profiCount) && i < int(files.profi.size()); ++i)
                    if (files.profi[std::size_t(i)].code == code)
                        return true;
                return false;
            }};
}

kalvor::BookCheck EmployeeList(const ib::CInfoBase& base)
{
    return {QStringLiteral("Список сотрудников"),
            [&base](long long number) { return base.FindEmployee(int(number)) >= 0; }};
}

kalvor::BookCheck RecipientBook(const ib::CRefFiles& files)
{
    return {QStringLiteral("Юридические лица"), [&files](long long number) {
                if (!ib::CRefFiles::holdsRecipient(int(number)))
                    return false;
                const ib::TransferRecipient& recipient = files.recipientAt(int(number));
                return !recipient.recipient.trimmed().isEmpty() || !recipient.filial.trimmed().isEmpty();
            }};
}
