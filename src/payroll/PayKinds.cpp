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

namespace {

// The number of the pay kind of code `code` in the table, 0 when it has
// none: the table's index by code first; the search by halving when it has
// no number for the code, or the kind of that number has another code now.
int PayKindNumber(const infobase::CInfoBase& base, int code)
{
    if (const int number = base.indexedPayKind(code); base.holdsPayKind(number) && base.payKindAt(number).kod == code)
        return number;
    const int place = FindPayKindIn(base.payKinds().data(), int(base.payKinds().size()), code);
    return place >= 0 ? infobase::NumberOfPlace(place) : 0;
}

} // namespace

int FindPayKind(const PayrollDoc& doc, int code)
{
    if (doc.infoBase.payKinds().empty())
        return kPayKindTableEmpty;
    const int number = PayKindNumber(doc.infoBase, code);
    return number != 0 ? infobase::PlaceOfNumber(number) : -1;
}

const PayKind* PayKindOf(const PayrollDoc& doc, int code)
{
    const int number = PayKindNumber(doc.infoBase, code);
    return number != 0 ? &doc.infoBase.payKindAt(number) : nullptr;
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
