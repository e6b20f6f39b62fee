// The declarations of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists; then
// the employee's master row and detail tables.
#include "infobase/StoredTables.h"

#include "values/Values.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace kalvor::infobase {

using namespace sqltype;

namespace {

// Whole days and hundredths as one number of days (the hundredths may be
// any 7-bit value) and back.
double daysValue(int whole, int hundredths) { return whole + hundredths / 100.0; }
void splitDays(double v, int& whole, int& hundredths)
{
    const long long total = std::llround(v * 100);
    long long w = total / 100;
    if (total % 100 < 0)
        --w;
    whole = int(w);
    hundredths = int(total - w * 100);
}

// Sets the top bits 13-15 of a labour participation rule when the column is the one that keeps them.
void setKtuTop(KtuRow& k, int value, bool kept)
{
    if (kept)
        k.word = u16((k.word & 0x1FFFu) | (unsigned(value & 7) << 13));
}

} // namespace

const StoredTable<KeysOnly>& VersionTable()
{
    static const StoredTable<KeysOnly> t("version", {{"id"}, {"step"}}, {}, "PRIMARY KEY (id)");
    return t;
}

// ---------------------------------------------------------------- configuration and firm

const StoredTable<InfoBaseConfig>& ConfigTable()
{
    using R = InfoBaseConfig;
    static const StoredTable<R> t("config", {{"id"}}, [] {
        Columns<R> c;
        c.add(
            QStringLiteral("kolMax"), Integer,
            [](R& x, detail::Reader& r, int) { x.kolMax = u16(std::clamp(r.n(), 0, CInfoBase::MaxCapacity)); },
            [](const R& x, detail::Binder& b, int) { b << int(x.kolMax); });
        c.field<&R::kolRab>("kolRab").field<&R::parol>("parol").field<&R::tekMes>("tekMes").field<&R::nEnt>("nEnt");
        c.bits<&R::okrugWord>("okrugRas", 0, 3).bits<&R::okrugWord>("sort", 3).bitRun<&R::okrugWord>("korr", 12, 4);
        c.bits<&R::okrugVypWord>("okrugVyp", 0, 3).bitsAbove<&R::okrugVypWord>("okrugVypRest", 3);
        c.array<&R::mrot>("mrot").array<&R::mrotPrev>("mrotPrev");
        c.field<&R::dosStr>("dosStr").field<&R::r_g>("r_g").field<&R::r_m1>("r_m1").field<&R::r_m2>("r_m2");
        return c;
    }(), "PRIMARY KEY (id)");
    return t;
}

const TableDef& GenerationColumn()
{
    static const TableDef t{ConfigTable().def().name,
                            {QStringLiteral("id"), QStringLiteral("generation")},
                            {QString::fromLatin1(sqltype::Integer), QStringLiteral("INTEGER NOT NULL DEFAULT 0")},
                            QString()};
    return t;
}

const StoredTable<KeysOnly>& ColorTable()
{
    static const StoredTable<KeysOnly> t("color", {{"num"}, {"value", Blob}}, {}, "PRIMARY KEY (num)");
    return t;
}

const StoredTable<FirmInfo>& InfFirmTable()
{
    using R = FirmInfo;
    // In the order of FirmInfo::Text.
    static const char* const kTexts[R::TextCount] = {
        "firmName", "firmBank",     "firmRS",        "firmKS",     "firmBIK",        "firmOKATO", "adrInd",
        "adrObl",   "adrRaion",     "adrGorod",      "adrUlica",   "adrDom",         "adrKorp",   "adrKv",
        "adrPhone", "sbNomDog",     "fioShef",       "statusShef", "innShef",        "fioBuh",    "innBuh",
        "buhFio",   "kassirDolg",   "kassirFio",     "fioPredst",  "innPredst",      "firmPens",  "firmOMS",
        "firmFSS",  "firmPodchFSS", "firmKodObosob", "KodOtdFSS",  "territOrganFSS", "firmINN",   "firmKPP",
        "firmOGRN", "firmOKVED",    "firmOKPO",      "firmOKOPF",  "firmOKFS",       "firmGNI",   "firmNalogovaya",
        "file1C"};
    static const StoredTable<R> t("infFirm", {{"id"}}, [] {
        Columns<R> c;
        for (int i = 0; i < R::TextCount; ++i)
            c.add(
                QString::fromLatin1(kTexts[i]), Text,
                [](R& f, detail::Reader& r, int k) { f.texts[std::size_t(k)] = r.s(); },
                [](const R& f, detail::Binder& b, int k) { b << f.texts[std::size_t(k)]; }, i);
        c.field<&R::adrKodRG>("adrKodRG");
        return c;
    }(), "PRIMARY KEY (id)");
    return t;
}

const StoredTable<FirmInfo>& InfParTable()
{
    using R = FirmInfo;
    static const StoredTable<R> t("infPar", {{"id"}}, [] {
        Columns<R> c;
        c.bits<&R::parWord>("vklDoh", 0).bits<&R::parWord>("nalog", 3).bits<&R::parWord>("prof", 4);
        c.bits<&R::parWord>("sortName", 5).bits<&R::parWord>("dnHr", 6, 4).bits<&R::parWord>("dnMin", 10, 6);
        c.bitsMasked<&R::parWord>("parRest", 6u);
        c.field<&R::procRaj>("procRaj").KALVOR_BIT_FIELD(procSev).KALVOR_BIT_FIELD(maxKvSevNad);
        c.KALVOR_BIT_FIELD(periodSevNad).field<&R::procProst>("procProst").field<&R::procNgt>("procNgt");
        c.field<&R::procEvn>("procEvn").field<&R::tabDiv>("tabDiv");
        c.KALVOR_BIT_FIELD_AS("procSsud", procSsudWhole).field<&R::procSsudHundredths>("procSsudSot");
        c.field<&R::procPens>("procPens").field<&R::sbProcFirm>("sbProcFirm").field<&R::sbProcSotr>("sbProcSotr");
        c.field<&R::blnMaxOgr>("blnMaxOgr").field<&R::blnUprosh>("blnUprosh");
        c.field<&R::blnMaxOgrBegRab>("blnMaxOgrBegRab").field<&R::travmaMaxOgr>("travmaMaxOgr");
        c.field<&R::dekrMaxOgr>("dekrMaxOgr").field<&R::blnMaxOgrDet1>("blnMaxOgrDet1");
        c.field<&R::blnMinOgrDet1>("blnMinOgrDet1").field<&R::blnMaxOgrDet2>("blnMaxOgrDet2");
        c.field<&R::blnMinOgrDet2>("blnMinOgrDet2");
        c.field<&R::blnSrPremMes>("blnSrPremMes").field<&R::blnMinProc>("blnMinProc");
        c.array<&R::fete>("fete").field<&R::feteKv>("feteKv").array<&R::feteMes>("feteMes");
        c.field<&R::minOblStav>("minOblStav").field<&R::maxOblStav>("maxOblStav");
        // Any value but 0 sets the flag.
        c.add(
            QStringLiteral("firmUprosh"), Integer,
            [](R& f, detail::Reader& r, int) {
                f.uproshWord = u16((f.uproshWord & ~0x1000u) | (r.n() ? 0x1000u : 0u));
            },
            [](const R& f, detail::Binder& b, int) { b << int((f.uproshWord >> 12) & 1u); });
        c.bitsMasked<&R::uproshWord>("uproshRest", 0xEFFFu);
        c.bits<&R::obosobWord>("obosob", 0).bitsMasked<&R::obosobWord>("obosobRest", 0xFFFEu);
        c.field<&R::c1Ch70>("c1Ch70").bits<&R::c1Word>("c1TypProv", 7).bits<&R::c1Word>("c1Sub70", 8, 4);
        c.bitsMasked<&R::c1Word>("c1Rest", 0xF07Fu);
        c.bits<&R::turboWord>("versTurboBuh", 15).bitsMasked<&R::turboWord>("turboRest", 0x7FFFu);
        c.field<&R::tabGrp2>("tabGrp2").field<&R::procDop>("procDop");
        return c;
    }(), "PRIMARY KEY (id)");
    return t;
}

const StoredTable<MaskRow>& MaskTable()
{
    static const StoredTable<MaskRow> t("mask", {{"kod"}}, [] {
        Columns<MaskRow> c;
        c.array<&MaskRow::mas>("mas", 0);
        return c;
    }(), "PRIMARY KEY (kod)");
    return t;
}

const StoredTable<KtuRow>& KtuTable()
{
    using R = KtuRow;
    static const StoredTable<R> t("ktu", {{"num"}}, [] {
        Columns<R> c;
        c.bits<&R::word>("procent", 0, 7).bits<&R::word>("okladTarif", 7).bits<&R::word>("rabVr", 8);
        c.bits<&R::word>("koef1", 9, 2).bits<&R::word>("koef2", 11, 2);
        // Bits 13-15: the scale of a rule, the formula of a formula rule; the other column 0.
        c.add(
            QStringLiteral("mashtab"), Integer,
            [](R& k, detail::Reader& r, int) { setKtuTop(k, r.n(), !k.formulaRule); },
            [](const R& k, detail::Binder& b, int) { b << (k.formulaRule ? 0 : int((k.word >> 13) & 7u)); });
        c.add(
            QStringLiteral("formula"), Integer,
            [](R& k, detail::Reader& r, int) { setKtuTop(k, r.n(), k.formulaRule); },
            [](const R& k, detail::Binder& b, int) { b << (k.formulaRule ? int((k.word >> 13) & 7u) : 0); });
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<SeniorityRule>& StagTable()
{
    using R = SeniorityRule;
    static const StoredTable<R> t("stag", {{"num"}}, [] {
        Columns<R> c;
        c.field<&R::kod>("kod").field<&R::vozMin>("vozMin").field<&R::vozMax>("vozMax");
        c.field<&R::rabMin>("rabMin").field<&R::rabMax>("rabMax");
        c.field<&R::sevMin>("sevMin").field<&R::sevMax>("sevMax");
        c.field<&R::otdMin>("otdMin").field<&R::otdMax>("otdMax");
        c.field<&R::brigMin>("brigMin").field<&R::brigMax>("brigMax");
        c.KALVOR_BIT_FIELD(profMin).field<&R::profMax>("profMax");
        c.KALVOR_BIT_FIELD(kategMin).KALVOR_BIT_FIELD(kategMax).KALVOR_BIT_FIELD(kak).field<&R::sum>("sum");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

// ---------------------------------------------------------------- pay kinds, shops, schedules

const StoredTable<PayKind>& EntreeTable()
{
    using R = PayKind;
    static const StoredTable<R> t("entree", {}, [] {
        Columns<R> c;
        c.field<&R::kod>("kod").field<&R::name>("name").field<&R::flags>("flagsRest").array<&R::dates>("dat");
        c.KALVOR_BIT_FIELD(fond).KALVOR_BIT_FIELD(enOtp);
        c.field<&R::budgOtp>("budgOtp").field<&R::koefOtp>("koefOtp").field<&R::budgBln>("budgBln");
        c.KALVOR_BIT_FIELD(enBlnFull).KALVOR_BIT_FIELD(enBlnProp).KALVOR_BIT_FIELD(enBlnAlg);
        c.KALVOR_BIT_FIELD(enSrPremBln).KALVOR_BIT_FIELD(oblProf).KALVOR_BIT_FIELD(enAlim);
        c.KALVOR_BIT_FIELD(enKoefRS).KALVOR_BIT_FIELD(g11).KALVOR_BIT_FIELD(enSrZar);
        c.KALVOR_BIT_FIELD(hr1).KALVOR_BIT_FIELD(hr2).KALVOR_BIT_FIELD(hr3).KALVOR_BIT_FIELD(hr4);
        c.KALVOR_BIT_FIELD(oblPodoh).KALVOR_BIT_FIELD(vedShap).KALVOR_BIT_FIELD(grp).KALVOR_BIT_FIELD(okrug);
        c.field<&R::vedStlb>("vedStlb").field<&R::kodDoh>("kodDoh").field<&R::kodSkid>("kodSkid");
        c.field<&R::sumSkidPodoh>("sumSkidPodoh").field<&R::sumSkidSoc>("sumSkidSoc");
        c.KALVOR_BIT_FIELD(spzCh).KALVOR_BIT_FIELD(spzSc).KALVOR_BIT_FIELD(spzAu).KALVOR_BIT_FIELD(spzAuHi);
        return c;
    }(), "PRIMARY KEY (kod)");
    return t;
}

const StoredTable<ShopRecord>& CehTable()
{
    using R = ShopRecord;
    static const StoredTable<R> t("ceh", {{"num"}}, [] {
        Columns<R> c;
        c.field<&R::number>("otd").field<&R::name>("name");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<WorkSchedule>& GraphTable()
{
    using R = WorkSchedule;
    static const StoredTable<R> t("graph", {{"num"}}, [] {
        Columns<R> c;
        for (int d = 0; d < 7; ++d) // Monday..Sunday, one bit each
            c.add(
                QStringLiteral("rabDnNed%1").arg(d + 1), Integer,
                [](R& w, detail::Reader& r, int k) {
                    w.rabDnNed = u8((w.rabDnNed & ~(1u << k)) | (unsigned(r.n() & 1) << k));
                },
                [](const R& w, detail::Binder& b, int k) { b << int((w.rabDnNed >> k) & 1u); }, d);
        c.KALVOR_BIT_FIELD(ruchn).KALVOR_BIT_FIELD(rdHr).KALVOR_BIT_FIELD(rdMin).KALVOR_BIT_FIELD(pVyh);
        c.KALVOR_BIT_FIELD(pRab).KALVOR_BIT_FIELD(mesFond);
        c.field<&R::begD>("begD").field<&R::begM>("begM").field<&R::begG>("begG");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<ScheduleMonth>& GraMesTable()
{
    using R = ScheduleMonth;
    static const StoredTable<R> t("graMes", {{"graph"}, {"k"}}, [] {
        Columns<R> c;
        c.field<&R::rDn>("rDn").field<&R::rMin>("rMin").array<&R::d>("d");
        c.field<&R::vMin>("vMin").field<&R::nMin>("nMin");
        return c;
    }(), "PRIMARY KEY (graph, k)");
    return t;
}

// ---------------------------------------------------------------- employee lists and per-slot tables

const StoredTable<ListRow>& SimpTable()
{
    using R = ListRow;
    using E = EmployeeListEntry;
    static const StoredTable<R> t("simp", {{"mass"}, {"num"}}, [] {
        Columns<R> c;
        c.bits<&R::entry, &E::key>("tabN", 3, 13).bits<&R::entry, &E::key>("priz", 0, 3);
        c.add(
            QStringLiteral("rec"), Integer, [](R& l, detail::Reader& r, int) { l.rec = r.v(); },
            [](const R& l, detail::Binder& b, int) { b << int(l.entry.slot); });
        return c;
    }(), "PRIMARY KEY (mass, num)");
    return t;
}

const TableDef& ListNumberKey()
{
    static const TableDef t{SimpTable().def().name + QStringLiteral("_number"),
                            {QStringLiteral("mass"), QStringLiteral("tabN")},
                            {},
                            QString()};
    return t;
}

const StoredTable<QString>& FioTable()
{
    static const StoredTable<QString> t("fio", {{"num"}}, [] {
        Columns<QString> c;
        c.add(QStringLiteral("fio"), Text, [](QString& s, detail::Reader& r, int) { s = r.s(); },
              [](const QString& s, detail::Binder& b, int) { b << s; });
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<EmployeeAttributes>& CompTable()
{
    using R = EmployeeAttributes;
    static const StoredTable<R> t("comp", {{"num"}, {"otd"}}, [] {
        Columns<R> c;
        c.KALVOR_BIT_FIELD(prof).KALVOR_BIT_FIELD(razr).KALVOR_BIT_FIELD_AS("rest0", word0Rest);
        c.field<&R::brig>("brig").KALVOR_BIT_FIELD(sistOpl).KALVOR_BIT_FIELD(graph);
        c.KALVOR_BIT_FIELD(kateg).KALVOR_BIT_FIELD(err).KALVOR_BIT_FIELD(kvSdel);
        c.KALVOR_BIT_FIELD(tabProf).KALVOR_BIT_FIELD(priznUv).KALVOR_BIT_FIELD(kvProizv);
        c.KALVOR_BIT_FIELD_AS("rest3", word3Rest);
        c.KALVOR_BIT_FIELD(priznAlim).KALVOR_BIT_FIELD(priznIspl).KALVOR_BIT_FIELD(priznBank);
        c.KALVOR_BIT_FIELD(priznSsud).KALVOR_BIT_FIELD(kvDBF);
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<TabelRecord>& TabelTable()
{
    using R = TabelRecord;
    static const StoredTable<R> t("tabel", {{"num"}}, [] {
        Columns<R> c;
        c.field<&R::rabDn>("rabDn").field<&R::rabHr>("rabHr").field<&R::vHr>("vHr").field<&R::nHr>("nHr");
        c.field<&R::sverhHr>("sverhHr").field<&R::uchHr>("uchHr");
        c.KALVOR_BIT_FIELD(drRabDn).KALVOR_BIT_FIELD(kvalDn).KALVOR_BIT_FIELD(komDn).KALVOR_BIT_FIELD(dbf);
        c.KALVOR_BIT_FIELD(prostDn).KALVOR_BIT_FIELD(vyhPosobDn);
        c.add(QStringLiteral("koeff"), Integer, [](R& t, detail::Reader& r, int) { t.setKoeffHundredths(r.n()); },
              [](const R& t, detail::Binder& b, int) { b << t.koeffHundredths(); });
        c.KALVOR_BIT_FIELD(prDn).KALVOR_BIT_FIELD(prPlanDn).KALVOR_BIT_FIELD(vyhDn).KALVOR_BIT_FIELD(uchDn);
        c.field<&R::sverhDvaHr>("sverhDvaHr").field<&R::prHr>("prHr").field<&R::prPlanHr>("prPlanHr");
        c.field<&R::vyhHr>("vyhHr").field<&R::prostHr>("prostHr").field<&R::kvalHr>("kvalHr");
        c.field<&R::tabel12>("tabel12").field<&R::tabel22>("tabel22");
        c.field<&R::bezsodDn>("bezsodDn").field<&R::bezsodHr>("bezsodHr");
        c.field<&R::bezsodDnVyh>("bezsodDnVyh").field<&R::bezsodHrVyh>("bezsodHrVyh");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<AvZarRow>& AvZar1Table()
{
    static const StoredTable<AvZarRow> t("AvZar1", {{"num"}}, [] {
        Columns<AvZarRow> c;
        c.field<&AvZarRow::av>("av").field<&AvZarRow::zar1>("zar1");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<LineRun>& IndexesTable()
{
    static const StoredTable<LineRun> t("indexes", {{"vid", Text}, {"nom"}}, [] {
        Columns<LineRun> c;
        c.field<&LineRun::first>("first").field<&LineRun::count>("kol");
        return c;
    }(), "PRIMARY KEY (vid, nom)");
    return t;
}

// ---------------------------------------------------------------- month line tables

const StoredTable<AltTabelEntry>& AltTabelTable()
{
    using R = AltTabelEntry;
    static const StoredTable<R> t("altTabel", {{"mass"}, {"num"}}, [] {
        Columns<R> c;
        c.field<&R::kod>("kod").KALVOR_BIT_FIELD(dn).KALVOR_BIT_FIELD(min).KALVOR_BIT_FIELD(mes);
        c.field<&R::hr>("hr");
        c.roubles<&R::sumOklad>("sumOklad");
        c.KALVOR_BIT_FIELD_AS("sumTarifRub", tarif.rub).KALVOR_BIT_FIELD_AS("sumTarifKop", tarif.thou);
        c.field<&R::procOpl>("procOpl").field<&R::otd>("otd").field<&R::storno>("storno");
        c.field<&R::spzCh>("spzCh").field<&R::spzSc>("spzSc").field<&R::spzAu>("spzAu");
        return c;
    }(), "PRIMARY KEY (mass, num)");
    return t;
}

const StoredTable<BonusLine>& PremTable()
{
    using R = BonusLine;
    static const StoredTable<R> t("prem", {{"num"}}, [] {
        Columns<R> c;
        c.roubles<&R::sum>("sum").KALVOR_BIT_FIELD(mrp).KALVOR_BIT_FIELD(nalog).KALVOR_BIT_FIELD(procent);
        c.KALVOR_BIT_FIELD(ceh).KALVOR_BIT_FIELD(mask).field<&R::kod>("kod").KALVOR_BIT_FIELD(spzCh);
        c.KALVOR_BIT_FIELD(mes).field<&R::spzSc>("spzSc").field<&R::spzAu>("spzAu");
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<SickLeaveSheet>& BlnTable()
{
    using R = SickLeaveSheet;
    static const StoredTable<R> t("bln", {{"num"}}, [] {
        Columns<R> c;
        c.KALVOR_BIT_FIELD(dBegin).KALVOR_BIT_FIELD(mBegin).field<&R::gBegin>("gBegin");
        c.KALVOR_BIT_FIELD(dEnd).KALVOR_BIT_FIELD(mEnd).field<&R::gEnd>("gEnd");
        c.roubles<&R::sum>("sum").roubles<&R::oklad>("oklad");
        c.field<&R::vid>("vid").field<&R::alg>("alg").field<&R::firstMes>("firstMes").field<&R::procent>("procent");
        c.KALVOR_BIT_FIELD(dn).field<&R::mrp>("mrp").field<&R::contin>("contin");
        c.KALVOR_BIT_FIELD(k1).KALVOR_BIT_FIELD(k2).KALVOR_BIT_FIELD(vr).KALVOR_BIT_FIELD(infl);
        c.field<&R::budg>("budg");
        c.field<&R::fromMinimumMonthlyEarnings>("fromMinimumMonthlyEarnings");
        c.field<&R::firstYear>("firstYear").field<&R::secondYear>("secondYear");
        c.field<&R::from12Months>("from12Months").KALVOR_BIT_FIELD(timeRest);
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

const StoredTable<VacationNote>& OtpTable()
{
    using R = VacationNote;
    static const StoredTable<R> t("otp", {{"num"}}, [] {
        Columns<R> c;
        c.KALVOR_BIT_FIELD(dBegin).KALVOR_BIT_FIELD(mBegin).field<&R::gBegin>("gBegin");
        // Whole days and hundredths, one number of days.
        c.add(
            QStringLiteral("dlin"), Real,
            [](R& v, detail::Reader& r, int) {
                int whole = 0, hundredths = 0;
                splitDays(r.d(), whole, hundredths);
                v.dlin = u16(whole);
                v.dlinHundredths = u8(hundredths);
            },
            [](const R& v, detail::Binder& b, int) { b << daysValue(v.dlin, v.dlinHundredths); });
        c.roubles<&R::sum>("sum");
        c.KALVOR_BIT_FIELD(vid).KALVOR_BIT_FIELD(kalend).KALVOR_BIT_FIELD(alg).KALVOR_BIT_FIELD(mes);
        c.KALVOR_BIT_FIELD(tolkOtp);
        // Hundredths of a day in memory, days in the column.
        c.add(
            QStringLiteral("fond"), Real,
            [](R& v, detail::Reader& r, int) { v.fond = u16(std::llround(r.d() * 100)); },
            [](const R& v, detail::Binder& b, int) { b << v.fond / 100.0; });
        c.KALVOR_BIT_FIELD(mrp).KALVOR_BIT_FIELD(budg);
        c.add(
            QStringLiteral("dn"), Real,
            [](R& v, detail::Reader& r, int) {
                int whole = 0, hundredths = 0;
                splitDays(r.d(), whole, hundredths);
                v.dn = i8(whole);
                v.dnHundredths = u8(hundredths);
            },
            [](const R& v, detail::Binder& b, int) { b << daysValue(v.dn, v.dnHundredths); });
        return c;
    }(), "PRIMARY KEY (num)");
    return t;
}

// ---------------------------------------------------------------- employee tables

namespace {

using Rec = EmployeeRecord;
using Head = EmployeeHead;

// The employee's detail tables reach the master row by id_konst.
const char* kDetailKey = "PRIMARY KEY (id_konst, num), FOREIGN KEY (id_konst) REFERENCES konst (id) ON DELETE CASCADE";
const std::vector<KeyColumn> kDetailKeys = {{"id_konst"}, {"num"}};

// A detail table of the employee: keys id_konst and num, the columns that `build` declares.
template <class R, class Build>
StoredTable<R> detailTable(const char* name, Build build)
{
    Columns<R> c;
    build(c);
    return StoredTable<R>(name, kDetailKeys, c, kDetailKey);
}

QString named(const char* stem, const char* tail) { return QString::fromLatin1(stem) + QString::fromLatin1(tail); }

// A tariff in three columns: its roubles in two parts (roubles / 512, then
// roubles % 512) and its thousandths.
template <auto tariff>
void tariffColumns(Columns<Rec>& c, const char* stem)
{
    c.parts(
        {named(stem, "Rub1"), named(stem, "Rub2")}, Integer,
        [](Rec& e, detail::Reader& r, int) {
            const int high = r.n();
            const int low = r.n();
            (e.head.*tariff).rub = u16(high * 512 + low);
        },
        [](const Rec& e, detail::Binder& b, int) {
            const u16 rub = (e.head.*tariff).rub;
            b << int(rub >> 9) << int(rub & 511);
        });
    c.add(
        named(stem, "Kop"), Integer, [](Rec& e, detail::Reader& r, int) { (e.head.*tariff).thou = u16(r.n()); },
        [](const Rec& e, detail::Binder& b, int) { b << int((e.head.*tariff).thou); });
}

// The three amount words of the income deductions in four columns: the low
// 29 bits of each (a stored value is kept whole when read), then their top
// three bits each in one number (bits 0-2, 3-5, 6-8).
void amountWordColumns(Columns<Rec>& c)
{
    static constexpr u32 EmployeeHead::*kWords[] = {&Head::imvichBeg, &Head::imvichNY, &Head::imvichOst};
    c.parts(
        {QStringLiteral("imvichBeg"), QStringLiteral("imvichNY"), QStringLiteral("imvichOst"),
         QStringLiteral("imvichRest")},
        Integer,
        [](Rec& e, detail::Reader& r, int) {
            for (const auto word : kWords) e.head.*word = u32(r.l());
            const u32 top = u32(r.n());
            for (int i = 0; i < 3; ++i) e.head.*kWords[i] |= ((top >> (3 * i)) & 7) << 29;
        },
        [](const Rec& e, detail::Binder& b, int) {
            int top = 0;
            for (int i = 0; i < 3; ++i) {
                b << qint64(e.head.*kWords[i] & 0x1FFFFFFF);
                top |= int(e.head.*kWords[i] >> 29) << (3 * i);
            }
            b << top;
        });
}

// The head of dbo.konst: name, pay, tariffs, dates, codes and flag words.
Columns<Rec> konstHeadColumns()
{
    using R = Rec;
    using H = Head;
    Columns<R> c;
    c.field<&R::head, &H::fio>("fio").field<&R::head, &H::oklad>("oklad").field<&R::head, &H::nadbav>("nadbav");
    c.field<&R::head, &H::avans>("avans").field<&R::head, &H::stavka>("stavka");
    tariffColumns<&H::tarifSdel>(c, "tarifSdel");
    tariffColumns<&H::tarifVrem>(c, "tarifVrem");
    c.packedDate<&R::head, &H::datR>("datR").packedDate<&R::head, &H::datPr1>("datPr1");
    c.packedDate<&R::head, &H::datUv1>("datUv1").packedDate<&R::head, &H::datPr2>("datPr2");
    c.packedDate<&R::head, &H::datUv2>("datUv2").packedDate<&R::head, &H::datSevStag>("datSevStag");
    c.packedDate<&R::head, &H::officerDatStag>("officerDatStag").packedDate<&R::head, &H::inostrDatPr>("inostrDatPr");
    c.packedDate<&R::head, &H::inostrDatOt>("inostrDatOt");
    c.packedDate<&R::head, &H::inostrDatVidGit>("inostrDatVidGit").packedDate<&R::head, &H::imvichDat>("imvichDat");
    c.field<&R::head, &H::invDat1Begin>("invDat1Begin").field<&R::head, &H::invDat1End>("invDat1End");
    c.field<&R::head, &H::invDat2Begin>("invDat2Begin").field<&R::head, &H::invDat2End>("invDat2End");
    c.field<&R::head, &H::tabPodoh>("tabPodoh").field<&R::head, &H::procVech>("procVech");
    c.field<&R::head, &H::procNoch>("procNoch").field<&R::head, &H::dolgKod>("dolgKod");
    c.field<&R::head, &H::profKod>("profKod").field<&R::head, &H::profNadb>("profNadb");
    // The flags word: one column per flag, the bits above them in one.
    c.bits<&R::head, &H::flags>("officer", 0).bits<&R::head, &H::flags>("srZarabDnChas", 1);
    c.bits<&R::head, &H::flags>("inostrNrez", 2).bits<&R::head, &H::flags>("status", 3);
    c.bits<&R::head, &H::flags>("dogVid", 4, 2).bits<&R::head, &H::flags>("invGr", 6, 2);
    c.bits<&R::head, &H::flags>("altTab", 8).bits<&R::head, &H::flags>("inostr", 9);
    c.bits<&R::head, &H::flags>("inostrVidGit", 10).bits<&R::head, &H::flags>("obosob", 11);
    c.bits<&R::head, &H::flags>("inostrSV", 12).bitsAbove<&R::head, &H::flags>("flagsRest", 13);
    c.field<&R::head, &H::inostrDnPrRF>("inostrDnPrRF").field<&R::head, &H::officerTitle>("officerTitle");
    c.bits<&R::head, &H::vmenWord>("vmen", 0).bitRun<&R::head, &H::vmenWord>("vmenMes", 12, 1);
    c.bits<&R::head, &H::vmenWord>("vmenRest", 13, 3);
    c.field<&R::head, &H::vmenMarker>("vmenMarker").field<&R::head, &H::vmenAsk0>("vmenAsk0");
    amountWordColumns(c);
    c.field<&R::head, &H::dedMonths>("dedMonths");
    c.field<&R::head, &H::imvichSprNom>("imvichSprNom").field<&R::head, &H::imvichSprKodNO>("imvichSprKodNO");
    c.textDate<&R::head, &H::imvichSprDat>("imvichSprDat");
    return c;
}

// The cost codes 0..5 of each of the three parts, spz<code><part>.
void costCodeColumns(Columns<Rec>& c)
{
    static const char* const parts[] = {"ch", "sc", "au"};
    for (int part = 0; part < 3; ++part)
        for (int k = 0; k < 6; ++k)
            c.add(
                QStringLiteral("spz%1").arg(k) + QLatin1String(parts[part]), Integer,
                [](Rec& e, detail::Reader& r, int a) {
                    e.head.spz[std::size_t(a % 6)][std::size_t(a / 6)] = u16(r.n());
                },
                [](const Rec& e, detail::Binder& b, int a) {
                    b << int(e.head.spz[std::size_t(a % 6)][std::size_t(a / 6)]);
                },
                part * 6 + k);
}

// The twelve monthly rates: tr<month>_1 the rate, tr<month>_2 the second value.
void rateColumns(Columns<Rec>& c)
{
    for (int m = 0; m < 12; ++m) {
        c.add(
            QStringLiteral("tr%1_1").arg(m + 1), Real,
            [](Rec& e, detail::Reader& r, int a) { e.rates[std::size_t(a)].rate = r.d(); },
            [](const Rec& e, detail::Binder& b, int a) { b << e.rates[std::size_t(a)].rate; }, m);
        c.add(
            QStringLiteral("tr%1_2").arg(m + 1), Real,
            [](Rec& e, detail::Reader& r, int a) { e.rates[std::size_t(a)].second = r.d(); },
            [](const Rec& e, detail::Binder& b, int a) { b << e.rates[std::size_t(a)].second; }, m);
    }
}

} // namespace

const StoredTable<EmployeeRecord>& KonstTable()
{
    static const StoredTable<Rec> t("konst", {{"id", RowId}, {"rec", "INTEGER NOT NULL UNIQUE"}, {"tabN"}}, [] {
        Columns<Rec> c = konstHeadColumns();
        costCodeColumns(c);
        rateColumns(c);
        // The archive's count, kept within the archive.
        c.add(
            QStringLiteral("warKv"), Integer,
            [](Rec& e, detail::Reader& r, int) { e.warKv = detail::ArchiveCount(r.n()); },
            [](const Rec& e, detail::Binder& b, int) { b << int(e.warKv); });
        return c;
    }(), "");
    return t;
}

const QString& KonstIdOfSlotSql()
{
    static const QString sql = [] {
        const TableDef& t = KonstTable().def();
        return SelectColumnsSql(t, {t.columns[0]}, WhereColumnSql(t, 1));
    }();
    return sql;
}

QString RowsOfSlotSql(const TableDef& detail)
{
    return QStringLiteral("%1 = (%2)").arg(detail.columns.first(), KonstIdOfSlotSql());
}

QString SlotRowsSql(const TableDef& detail, const SlotRowsQuery& query)
{
    const TableDef& konst = KonstTable().def();
    const QString master = QStringLiteral("master."), rows = QStringLiteral("detail.");
    const QString slot = master + konst.columns[1];
    QStringList columns = {slot}, filters, order = {slot};
    for (qsizetype i = query.from; i < detail.columns.size(); ++i) columns << rows + detail.columns[i];
    if (query.slotRange)
        filters << master + ColumnBetweenSql(konst, 1);
    if (!query.equalColumn.isEmpty())
        filters << rows + DeclaredColumn(detail, query.equalColumn) + QStringLiteral(" = ?");
    if (query.numbered)
        order << rows + detail.columns[1];
    return QStringLiteral("SELECT %1 FROM %2 detail JOIN %3 master ON %4 = %5%6%7")
        .arg(columns.join(QStringLiteral(", ")), Qualified(detail.name), Qualified(konst.name),
             master + konst.columns[0], rows + detail.columns[0],
             filters.isEmpty() ? QString() : QStringLiteral(" WHERE ") + filters.join(QStringLiteral(" AND ")),
             query.ordered ? QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", ")) : QString());
}

const StoredTable<EmployeeHead>& PasportTable()
{
    using H = Head;
    static const StoredTable<H> t(
        "pasport", {{"id_konst"}},
        [] {
            Columns<H> c;
            c.field<&H::strahPolis>("strahPolis").field<&H::INN>("INN").field<&H::gitPhone>("gitPhone");
            c.field<&H::pol>("pol").field<&H::dolgName>("dolgName").textDate<&H::dolgDat>("dolgDat");
            c.field<&H::pspKod>("pspKod").field<&H::pspStr>("pspStr").field<&H::pspSer>("pspSer");
            // The number in two columns: its first six characters and the rest.
            c.parts(
                {QStringLiteral("pspNom"), QStringLiteral("pspNom2")}, Text,
                [](H& h, detail::Reader& r, int) {
                    const QString first = r.s();
                    h.pspNom = first + r.s();
                },
                [](const H& h, detail::Binder& b, int) { b << h.pspNom.left(6) << h.pspNom.mid(6); });
            c.textDate<&H::pspDat>("pspDat").field<&H::pspKem>("pspKem");
            c.field<&H::bdStr>("bdStr").field<&H::bdReg>("bdReg").field<&H::bdRaj>("bdRaj").field<&H::bdGorod>(
                "bdGorod");
            c.field<&H::propKodStr>("propKodStr").field<&H::propKodReg>("propKodReg").field<&H::propReg>("propReg");
            c.field<&H::propRaj>("propRaj").field<&H::propGorod>("propGorod").field<&H::propPunkt>("propPunkt");
            c.field<&H::propUl>("propUl").field<&H::propDom>("propDom").field<&H::propKorp>("propKorp");
            c.field<&H::propKv>("propKv").field<&H::propInd>("propInd").field<&H::GNI>("GNI");
            c.field<&H::gitKodStr>("gitKodStr").field<&H::gitInd>("gitInd").field<&H::gitAdr>("gitAdr");
            c.field<&H::kuplAdr>("kuplAdr").field<&H::dogNom>("dogNom").field<&H::invSprSer>("invSprSer");
            c.field<&H::invSprNom>("invSprNom").textDate<&H::invSprDat>("invSprDat");
            c.field<&H::married>("married").field<&H::children>("children");
            return c;
        }(),
        "PRIMARY KEY (id_konst), FOREIGN KEY (id_konst) REFERENCES konst (id) ON DELETE CASCADE");
    return t;
}

const StoredTable<NalvichEntry>& NalvichTable()
{
    using R = NalvichEntry;
    static const StoredTable<R> t = detailTable<R>("nalvich", [](Columns<R>& c) {
        c.field<&R::kod>("kod").field<&R::start>("mBeg").field<&R::end>("mEnd").field<&R::sum>("sum");
        c.field<&R::krat>("krat");
    });
    return t;
}

const StoredTable<PostDoplEntry>& PostDoplTable()
{
    using R = PostDoplEntry;
    static const StoredTable<R> t = detailTable<R>("postDopl", [](Columns<R>& c) {
        c.field<&R::kod>("kod").KALVOR_BIT_FIELD(procent).field<&R::sum>("sum").KALVOR_BIT_FIELD(vid);
        c.KALVOR_BIT_FIELD(dBegin).KALVOR_BIT_FIELD(mBegin).field<&R::gBegin>("gBegin");
        c.KALVOR_BIT_FIELD(dEnd).KALVOR_BIT_FIELD(mEnd).field<&R::gEnd>("gEnd");
        c.KALVOR_BIT_FIELD(period).KALVOR_BIT_FIELD(zavisOt).KALVOR_BIT_FIELD(perer).KALVOR_BIT_FIELD(dnOtGraph);
        c.KALVOR_BIT_FIELD(mask).KALVOR_BIT_FIELD(mrp).field<&R::ceh>("ceh");
    });
    return t;
}

const StoredTable<SberRow>& SberTable()
{
    using R = SberRow;
    static const StoredTable<R> t = detailTable<R>("sber", [](Columns<R>& c) {
        c.field<&R::kod>("kod").field<&R::sum>("sum").field<&R::bank>("bank");
        c.field<&R::filial>("filial").field<&R::ls>("ls").field<&R::fio>("fio").field<&R::last>("last");
    });
    return t;
}

const StoredTable<IspolBlock::Writ>& IspolTable()
{
    using R = IspolBlock::Writ;
    static const StoredTable<R> t = detailTable<R>("ispol", [](Columns<R>& c) {
        c.KALVOR_BIT_FIELD(priznUd).KALVOR_BIT_FIELD(vid).KALVOR_BIT_FIELD(tabPsbor).KALVOR_BIT_FIELD(flagByte);
        c.packedDate<&R::dataEnd>("dataEnd").field<&R::sum>("sum").field<&R::fio>("fio").field<&R::adr>("adr");
    });
    return t;
}

const StoredTable<SsudBlock::Loan>& SsudTable()
{
    using R = SsudBlock::Loan;
    static const StoredTable<R> t = detailTable<R>("ssud", [](Columns<R>& c) {
        c.KALVOR_BIT_FIELD(kvMes).KALVOR_BIT_FIELD(nalog).field<&R::kod>("kod").field<&R::sumDolg>("sumDolg");
        c.array<&R::mes>("mes").array<&R::sum>("sum");
    });
    return t;
}

const StoredTable<WariaEntry>& WariaTable()
{
    using R = WariaEntry;
    static const StoredTable<R> t = detailTable<R>("waria", [](Columns<R>& c) {
        c.field<&R::kod>("kod").KALVOR_BIT_FIELD(mesVyd).field<&R::godVyd>("godVyd").field<&R::sum>("sum");
        c.KALVOR_BIT_FIELD(min).KALVOR_BIT_FIELD(dn).KALVOR_BIT_FIELD(mes).KALVOR_BIT_FIELD(hr);
        c.field<&R::god>("god");
    });
    return t;
}

namespace {

// The year of a PackedDate in a column of its own: the full year (0 for no
// date); read, its last two digits.
template <auto date>
void fullYearColumn(Columns<WarDatEntry>& c, const char* name)
{
    c.add(
        QString::fromLatin1(name), Integer,
        [](WarDatEntry& e, detail::Reader& r, int) { e.*date = u16((e.*date & 0x1FF) | ((r.n() % 100) << 9)); },
        [](const WarDatEntry& e, detail::Binder& b, int) {
            const u16 d = e.*date;
            b << (d ? WidenTwoDigitYear(PackedDate(d).yearField()) : 0);
        });
}

} // namespace

const StoredTable<WarDatEntry>& WarDatTable()
{
    using R = WarDatEntry;
    static const StoredTable<R> t = detailTable<R>("warDat", [](Columns<R>& c) {
        // Each date as day, month and full year.
        c.bits<&R::start>("d1", 0, 5).bits<&R::start>("m1", 5, 4);
        fullYearColumn<&R::start>(c, "g1");
        c.bits<&R::end>("d2", 0, 5).bits<&R::end>("m2", 5, 4);
        fullYearColumn<&R::end>(c, "g2");
        c.KALVOR_BIT_FIELD(mes).KALVOR_BIT_FIELD(god).KALVOR_BIT_FIELD(kod).KALVOR_BIT_FIELD(contin);
        c.field<&R::sum>("sum");
    });
    return t;
}

namespace {

Columns<AccrualRow> accrualColumns()
{
    using R = AccrualRow;
    Columns<R> c;
    c.field<&R::kod>("kod").field<&R::sum>("sum").KALVOR_BIT_FIELD(min).KALVOR_BIT_FIELD(dn).KALVOR_BIT_FIELD(mes);
    c.KALVOR_BIT_FIELD(hr).KALVOR_BIT_FIELD(hrRest).field<&R::otd>("otd");
    c.KALVOR_BIT_FIELD(spzCh).KALVOR_BIT_FIELD(spzChHi).KALVOR_BIT_FIELD(spzSc).KALVOR_BIT_FIELD(spzScHi);
    c.KALVOR_BIT_FIELD(spzAu).KALVOR_BIT_FIELD(spzAuHi);
    return c;
}

} // namespace

const StoredTable<AccrualRow>& ProizvTable()
{
    static const StoredTable<AccrualRow> t("proizv", kDetailKeys, accrualColumns(), kDetailKey);
    return t;
}

const StoredTable<AccrualRow>& ZarpTable()
{
    static const StoredTable<AccrualRow> t("zarp", kDetailKeys, accrualColumns(), kDetailKey);
    return t;
}

const std::vector<const TableDef*>& EmployeeDetailTables()
{
    static const std::vector<const TableDef*> tables = {
        &PasportTable().def(), &NalvichTable().def(), &PostDoplTable().def(), &SberTable().def(),   &IspolTable().def(),
        &SsudTable().def(),    &WariaTable().def(),   &WarDatTable().def(),   &ProizvTable().def(), &ZarpTable().def()};
    return tables;
}

namespace {

std::vector<TableDef> MakeSchemaTables()
{
    std::vector<TableDef> v;
    v.push_back(VersionTable().def());

    // Configuration and firm, reference tables, employee lists and per-slot
    // tables, month line tables; then the employee's master row and its
    // detail tables (which refer to it).
    for (const TableDef& t :
         {ConfigTable().def(), ColorTable().def(),   InfFirmTable().def(),  InfParTable().def(),  MaskTable().def(),
          KtuTable().def(),    StagTable().def(),    EntreeTable().def(),   CehTable().def(),     GraphTable().def(),
          GraMesTable().def(), SimpTable().def(),    FioTable().def(),      CompTable().def(),    TabelTable().def(),
          AvZar1Table().def(), IndexesTable().def(), AltTabelTable().def(), PremTable().def(),    BlnTable().def(),
          OtpTable().def(),    KonstTable().def(),   PasportTable().def(),  NalvichTable().def(), PostDoplTable().def(),
          SberTable().def(),   IspolTable().def(),   SsudTable().def(),     WariaTable().def(),   WarDatTable().def(),
          ProizvTable().def(), ZarpTable().def()})
        v.push_back(t);
    return v;
}

} // namespace

const std::vector<TableDef>& SchemaTables()
{
    static const std::vector<TableDef> tables = MakeSchemaTables();
    return tables;
}

QString TableContentText(const QString& table)
{
    static const std::map<QString, const char*> texts = {
        {VersionTable().def().name, "номер версии базы данных"},
        {ConfigTable().def().name, "настройки базы данных"},
        {ColorTable().def().name, "цвета экранов"},
        {InfFirmTable().def().name, "общие сведения о предприятии"},
        {InfParTable().def().name, "параметры предприятия"},
        {MaskTable().def().name, "маски видов оплат"},
        {KtuTable().def().name, "правила коэффициентов трудового участия"},
        {StagTable().def().name, "справочник стажа"},
        {EntreeTable().def().name, "справочник видов оплат и удержаний"},
        {CehTable().def().name, "справочник цехов"},
        {GraphTable().def().name, "графики работы"},
        {GraMesTable().def().name, "графики работы по месяцам"},
        {SimpTable().def().name, "списки работников"},
        {FioTable().def().name, "фамилии работников"},
        {CompTable().def().name, "признаки работников"},
        {TabelTable().def().name, "табель"},
        {AvZar1Table().def().name, "авансы и суммы к выплате"},
        {IndexesTable().def().name, "указатели строк работников"},
        {AltTabelTable().def().name, "альтернативный табель"},
        {PremTable().def().name, "премии"},
        {BlnTable().def().name, "больничные листы"},
        {OtpTable().def().name, "отпуска"},
        {KonstTable().def().name, "учетные карточки работников"},
        {PasportTable().def().name, "паспортные данные работников"},
        {NalvichTable().def().name, "налоговые вычеты работников"},
        {PostDoplTable().def().name, "постоянные начисления и удержания"},
        {SberTable().def().name, "перечисления в банк"},
        {IspolTable().def().name, "исполнительные листы"},
        {SsudTable().def().name, "ссуды и кредиты"},
        {WariaTable().def().name, "архив работников по месяцам"},
        {WarDatTable().def().name, "датированный архив работников"},
        {ProizvTable().def().name, "введенные начисления и удержания месяца"},
        {ZarpTable().def().name, "рассчитанные начисления и удержания месяца"},
    };
    const auto it = texts.find(table);
    return it != texts.end() ? QString::fromUtf8(it->second) : table;
}

} // namespace kalvor::infobase
