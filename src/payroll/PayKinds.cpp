#include "payroll/PayKinds.h"

namespace kalvor {

using infobase::PayKind;

int FindPayKindIn(const PayKind* kinds, int count, int code)
{
    if (count <= 0)
        return kPayKindTableEmpty;
    if (code < 1 || code > 0xFFFF)
        return -1;
    // Search by halving over the codes (unique, ascending, compared unsigned).
    int low = 0, high = count - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const unsigned k = kinds[middle].kod;
        if (k == unsigned(code))
            return middle;
        if (k < unsigned(code))
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

int FindPayKind(const PayrollDoc& doc, int code)
{
    // The table's index by code first; the search by halving when it has no
    // place for the code, or the kind at its place has another code now.
    const infobase::CInfoBase& base = doc.infoBase;
    if (code >= 1 && std::size_t(code) < base.payKindPlaces.size()) {
        const int place = base.payKindPlaces[std::size_t(code)];
        if (place >= 0 && std::size_t(place) < base.payKinds.size() && base.payKinds[std::size_t(place)].kod == code)
            return place;
    }
    return FindPayKindIn(base.payKinds.data(), int(base.payKinds.size()), code);
}

const PayKind* PayKindOf(const PayrollDoc& doc, int code)
{
    const int i = FindPayKind(doc, code);
    return i >= 0 ? &doc.infoBase.payKinds[std::size_t(i)] : nullptr;
}

double RoundByPayKind(double amount, int kindCode, const PayrollDoc& doc)
{
    const PayKind* kind = PayKindOf(doc, kindCode);
    return RoundByKindField(amount, kind ? kind->okrug : 0, doc.infoBase.config.okrugRas());
}

double RoundPayout(double amount, const PayrollDoc& doc)
{
    return RoundPayoutStep(amount, doc.infoBase.config.okrugVyp());
}

} // namespace kalvor
