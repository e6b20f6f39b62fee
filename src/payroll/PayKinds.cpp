#include "payroll/PayKinds.h"
#include "infobase/PayKindCodes.h"

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
        if (base.holdsPayKind(place + 1) && base.payKindAt(place + 1).kod == code)
            return place;
    }
    return FindPayKindIn(base.payKinds.data(), int(base.payKinds.size()), code);
}

const PayKind* PayKindOf(const PayrollDoc& doc, int code)
{
    const int i = FindPayKind(doc, code);
    return i >= 0 ? &doc.infoBase.payKindAt(i + 1) : nullptr;
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

int GetBitField(unsigned char value, int first, int width)
{
    static const int masks[9] = {0, 1, 3, 7, 15, 31, 63, 127, 255};
    if (first == 0 || width == 0 || first > 8 || width > 9 - first || first < 0 || width < 0)
        return -1;
    return (value >> (first - 1)) & masks[width];
}

unsigned char PayKindFlagByte1(const PayKind& k)
{
    const int enBln = k.enBln();
    const bool sickBase = (enBln == 1 || enBln == 3 || enBln == 4) && !IsFixedSickLeaveCode(k.kod);
    return static_cast<unsigned char>((k.fond & 3) | (k.oblPodoh << 2) | (int(sickBase) << 3) | (k.vedShap << 4) |
                                      (k.oblProf << 5) | (k.enAlim << 6) | (k.enKoefRS << 7));
}

unsigned char PayKindFlagByte2(const PayKind& k)
{
    const int srPrem = k.enBln() != 0 ? 0 : k.enSrPremBln;
    return static_cast<unsigned char>(k.hr1 | (k.hr2 << 1) | (srPrem << 2) | (k.g11 << 3) | (k.enSrZar << 4) |
                                      (k.hr3 << 5) | (((k.fond >> 2) & 1) << 6) | (k.grp << 7));
}

} // namespace kalvor
