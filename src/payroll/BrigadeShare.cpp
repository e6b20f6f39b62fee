#include "payroll/BrigadeShare.h"

#include "payroll/Bases.h"
#include "payroll/CalcErrors.h"
#include "payroll/MonthRate.h"
#include "payroll/Rounding.h"
#include "payroll/ScheduleNorm.h"
#include "values/Values.h"

#include <array>
#include <map>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace kalvor {

using namespace infobase;

namespace {

// What one member brings to the sharing of the fund.
struct BrigadeMember {
    int slot = 0;
    double rate = 0; // R, kopecks per hour
    double minutes = 0; // T, the worked time
    double dayLength = 0; // minutes
    double number = 0; // the line's 12-digit number
    double count = 0; // the line's 7-bit number
};

bool SameBrigade(const BonusLine& a, const BonusLine& b)
{
    return a.procent == b.procent && a.kod == b.kod && a.sum == b.sum && a.mes == b.mes;
}

// Puts a member's record in the place of the information base's current
// record for as long as it lives (the bases read the current record), and
// gives the current record back.
class MemberAsCurrent {
public:
    MemberAsCurrent(CInfoBase& base, EmployeeRecord& member, bool active)
        : base_(base), member_(member), active_(active)
    {
        if (active_)
            std::swap(base_.current, member_);
    }
    ~MemberAsCurrent()
    {
        if (active_)
            std::swap(base_.current, member_);
    }
    MemberAsCurrent(const MemberAsCurrent&) = delete;
    MemberAsCurrent& operator=(const MemberAsCurrent&) = delete;

private:
    CInfoBase& base_;
    EmployeeRecord& member_;
    bool active_;
};

// The member's hourly rate by payment system: the month's rate (per planned
// minute for system 4), else the piece tariff (1), the time tariff (2-3) or
// the salary per planned minute.
double MemberRate(const EmployeeRecord& rec, int paymentSystem, int plannedMinutes)
{
    double rate = rec.rates[0].rate;
    if (rate != 0 && paymentSystem == 4)
        return rate / plannedMinutes * 60;
    if (rate != 0)
        return rate;
    if (paymentSystem == 1)
        return rec.head.tarifSdel.kopecks();
    if (paymentSystem <= 3)
        return rec.head.tarifVrem.kopecks();
    return rec.head.oklad / plannedMinutes * 60;
}

// The member's worked time: with a group key the time of the line's base
// over the four months before the reporting month, else the time sheet.
int MemberMinutes(PayrollDoc& doc, int slot, EmployeeRecord& rec, bool isCurrent, const BonusLine& line,
                  double dayLength, double& minutes)
{
    if (line.mes == 0) {
        const TabelRecord& t = doc.infoBase.tabelOf(slot);
        minutes = t.rabHr != 0 ? double(t.rabHr) : t.rabDn * dayLength;
        return 0;
    }
    MemberAsCurrent swap(doc.infoBase, rec, !isCurrent);
    int count = 0;
    double time = 0;
    CalcBaseBySelector(0, 4, 20 + line.mask, count, time, nullptr, 0, doc);
    if (count < 0)
        return count;
    minutes = time;
    return 0;
}

// One member's measures from his record and his own line of the brigade.
int MeasureMember(PayrollDoc& doc, int slot, const BonusLine& line, BrigadeMember& m)
{
    auto& base = doc.infoBase;
    const bool isCurrent = slot == base.currentSlot;
    EmployeeRecord other;
    if (!isCurrent && !base.swap.readSlot(slot, other))
        return kCalcRecordUnreadable;
    EmployeeRecord& rec = isCurrent ? base.current : other;
    const EmployeeAttributes& a = base.attributesOf(slot);
    if (a.sistOpl == 0)
        return kCalcNoPaymentSystem;
    WorkSchedule& s = base.scheduleAt(EmployeeScheduleNumber(doc, slot));
    const int dayLength = WorkingDayLength(s, doc);
    if (dayLength == 0)
        return kCalcNoDayLength;
    int plannedDays = 0, plannedMinutes = 0;
    if (CalcScheduleNorm(WorkSchedule::ReportingMonth, s, 1, 31, plannedDays, plannedMinutes, doc) < 0 ||
        plannedMinutes == 0)
        return kCalcNoWorkingTime;
    m.slot = slot;
    m.dayLength = dayLength;
    m.rate = MemberRate(rec, a.sistOpl, plannedMinutes);
    m.number = double(Packed12DigitsValue(line.spzCh, line.spzSc, line.spzAu));
    m.count = line.ceh;
    return MemberMinutes(doc, slot, rec, isCurrent, line, dayLength, m.minutes);
}

// A member of a brigade: his record slot and his own line of the brigade.
struct MemberLine {
    int slot = 0;
    BonusLine line;
};

// Each listed employee's first line of the line's brigade, in list order.
std::vector<MemberLine> BrigadeLines(const CInfoBase& base, const BonusLine& line)
{
    std::vector<MemberLine> lines;
    for (const EmployeeListEntry& e : base.list) {
        if (!base.holdsSlot(e.slot))
            continue;
        const int first = base.prem.first(e.slot);
        const int count = base.prem.count(e.slot);
        for (int i = 0; i < count; ++i) {
            const BonusLine& b = base.prem.lines[std::size_t(first + i)];
            if (SameBrigade(b, line)) {
                lines.push_back({e.slot, b});
                break;
            }
        }
    }
    return lines;
}

// The fields that make a brigade of a line: kind, code, amount, group key.
std::tuple<int, int, double, int> BrigadeKey(const BonusLine& line)
{
    return std::make_tuple(int(line.procent), int(line.kod), line.sum, int(line.mes));
}

bool SharesAFund(const BonusLine& line) { return line.procent >= 3 && line.procent <= 5; }

// A member's measures as one run keeps them; result is MeasureMember's.
struct KeptMeasure {
    bool taken = false;
    int result = 0;
    BrigadeMember member;
};

struct KeptBrigade {
    std::vector<MemberLine> lines;
    std::vector<KeptMeasure> measures; // beside lines
};

} // namespace

struct BrigadeMeasures::Brigades {
    // By the fields that make a brigade: kind, code, amount, group key.
    std::map<std::tuple<int, int, double, int>, KeptBrigade> byKey;

    KeptBrigade& of(const CInfoBase& base, const BonusLine& line)
    {
        const auto key = BrigadeKey(line);
        auto it = byKey.find(key);
        if (it == byKey.end()) {
            KeptBrigade brigade;
            brigade.lines = BrigadeLines(base, line);
            brigade.measures.resize(brigade.lines.size());
            it = byKey.emplace(key, std::move(brigade)).first;
        }
        return it->second;
    }
};

BrigadeMeasures::BrigadeMeasures() : brigades_(std::make_unique<Brigades>()) {}
BrigadeMeasures::~BrigadeMeasures() = default;

std::vector<int> BrigadeMemberSlots(const CInfoBase& base, const std::vector<int>& recordSlots)
{
    std::set<std::tuple<int, int, double, int>> brigades;
    std::set<int> members;
    for (const int slot : recordSlots) {
        if (slot < 1 || slot > base.prem.slotCount())
            continue;
        for (const BonusLine& line : base.prem.run(slot))
            if (SharesAFund(line) && brigades.insert(BrigadeKey(line)).second)
                for (const MemberLine& member : BrigadeLines(base, line)) members.insert(member.slot);
    }
    return {members.begin(), members.end()};
}

namespace {

// The brigade of the line, measured: from the kept measures when there are
// any (the member being computed, whose time sheet the calculation changes,
// always afresh). own is the index of `slot` among the members, or -1.
int GatherBrigade(PayrollDoc& doc, int slot, const BonusLine& line, BrigadeMeasures* measures,
                  std::vector<BrigadeMember>& members, int& own)
{
    auto& base = doc.infoBase;
    own = -1;
    KeptBrigade uncounted;
    KeptBrigade& brigade = measures ? measures->brigades().of(base, line) : uncounted;
    if (!measures)
        brigade.lines = BrigadeLines(base, line);
    members.reserve(brigade.lines.size());
    for (std::size_t i = 0; i < brigade.lines.size(); ++i) {
        const MemberLine& member = brigade.lines[i];
        BrigadeMember m;
        int result = 0;
        if (!measures || member.slot == base.currentSlot) {
            result = MeasureMember(doc, member.slot, member.line, m);
        } else {
            KeptMeasure& kept = brigade.measures[i];
            if (!kept.taken) {
                kept.result = MeasureMember(doc, member.slot, member.line, kept.member);
                kept.taken = true;
            }
            result = kept.result;
            m = kept.member;
        }
        if (result < 0)
            return result;
        if (member.slot == slot)
            own = int(members.size());
        members.push_back(m);
    }
    return 0;
}

// The weight of a member under one rule word. The rate switch takes the
// line's 12-digit number unless a rule of the variant weighs by the first
// coefficient (that number), then the member's own rate; the time switch
// takes the line's 7-bit number of days unless a rule weighs by the second
// coefficient (that number), then the worked time. A divisor of 0 gives 0.
double RuleWeight(unsigned word, const BrigadeMember& m, bool firstCoefficientUsed, bool secondCoefficientUsed)
{
    double v = 1;
    if (word & 0x80)
        v *= firstCoefficientUsed ? m.rate : m.number;
    if (word & 0x100)
        v *= (secondCoefficientUsed ? m.minutes : m.count * m.dayLength) / 60;
    const unsigned first = (word >> 9) & 3, second = (word >> 11) & 3;
    if (first == 1)
        v *= m.number;
    else if (first == 2)
        v = m.number != 0 ? v / m.number : 0;
    if (second == 1)
        v *= m.count;
    else if (second == 2)
        v = m.count != 0 ? v / m.count : 0;
    return v;
}

// The scale of the fund: kopecks, roubles, tens or hundreds of roubles.
double FundScale(unsigned scaleField)
{
    static constexpr std::array<double, 4> scales = {1, 100, 1000, 10000};
    return scaleField < scales.size() ? scales[scaleField] : 1;
}

} // namespace

int BrigadeBonusShare(PayrollDoc& doc, int slot, const BonusLine& line, double& share, BrigadeMeasures* measures)
{
    share = 0;
    if (!SharesAFund(line))
        return 0;
    std::vector<BrigadeMember> members;
    int own = -1;
    if (const int r = GatherBrigade(doc, slot, line, measures, members, own); r < 0)
        return r;
    if (own < 0)
        return 0;

    const auto& words = doc.infoBase.firm.ktu[std::size_t(line.procent - 3)];
    double fund = line.sum;
    if ((words[1] >> 13) != 0)
        for (const BrigadeMember& m : members) fund -= m.minutes * m.rate / 60;
    bool firstCoefficientUsed = false, secondCoefficientUsed = false;
    for (const u16 w : words) {
        firstCoefficientUsed = firstCoefficientUsed || ((w >> 9) & 3) != 0;
        secondCoefficientUsed = secondCoefficientUsed || ((w >> 11) & 3) != 0;
    }

    double sum = 0;
    for (const u16 w : words) {
        const int percent = w & 127;
        if (percent == 0)
            continue;
        double total = 0;
        for (const BrigadeMember& m : members) total += RuleWeight(w, m, firstCoefficientUsed, secondCoefficientUsed);
        if (total != 0)
            sum += percent / 100.0 * fund *
                   RuleWeight(w, members[std::size_t(own)], firstCoefficientUsed, secondCoefficientUsed) / total;
    }
    share = RoundWhole(FundScale(unsigned(words[0] >> 13)) * sum);
    return 0;
}

} // namespace kalvor
