// The declarations of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists.
#include "infobase/StoredTables.h"

#include <algorithm>
#include <cmath>

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

} // namespace kalvor::infobase
