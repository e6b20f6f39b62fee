// The declarations of the configuration, the firm record, the reference
// tables, the per-slot tables, the line tables and the employee lists; then
// the employee's master row and detail tables.
#include "infobase/StoredTables.h"

#include "values/Values.h"

namespace kalvor::infobase {

using namespace sqltype;

const StoredTable<KeysOnly>& VersionTable()
{
    static const StoredTable<KeysOnly> t("version", {{"id"}, {"step"}}, {}, "PRIMARY KEY (id)");
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

} // namespace kalvor::infobase

// ---------------------------------------------------------------- employee tables

namespace kalvor::infobase {

namespace {

using Rec = EmployeeRecord;
using Head = EmployeeHead;

// The employee's detail tables reach the master row by id_konst.
const char* kDetailKey = "PRIMARY KEY (id_konst, num), FOREIGN KEY (id_konst) REFERENCES konst (id) ON DELETE CASCADE";
const std::vector<KeyColumn> kDetailKeys = {{"id_konst"}, {"num"}};

QString named(const char* stem, const char* tail) { return QString::fromLatin1(stem) + QString::fromLatin1(tail); }

// A tariff in three columns: its roubles / 512, its roubles % 512 (added to
// the first when read) and its thousandths.
template <auto tariff>
void tariffColumns(Columns<Rec>& c, const char* stem)
{
    c.add(
        named(stem, "Rub1"), Integer, [](Rec& e, detail::Reader& r, int) { (e.head.*tariff).rub = u16(r.n() * 512); },
        [](const Rec& e, detail::Binder& b, int) { b << int((e.head.*tariff).rub >> 9); });
    c.add(
        named(stem, "Rub2"), Integer,
        [](Rec& e, detail::Reader& r, int) {
            Tariff3& t = e.head.*tariff;
            t.rub = u16(t.rub + r.n());
        },
        [](const Rec& e, detail::Binder& b, int) { b << int((e.head.*tariff).rub & 511); });
    c.add(
        named(stem, "Kop"), Integer, [](Rec& e, detail::Reader& r, int) { (e.head.*tariff).thou = u16(r.n()); },
        [](const Rec& e, detail::Binder& b, int) { b << int((e.head.*tariff).thou); });
}

// The low 29 bits of an amount word, kept whole when read (the word's top
// bits have a column of their own, read after it).
template <auto word>
void amountColumn(Columns<Rec>& c, const char* name)
{
    c.add(
        QString::fromLatin1(name), Integer, [](Rec& e, detail::Reader& r, int) { e.head.*word = u32(r.l()); },
        [](const Rec& e, detail::Binder& b, int) { b << qint64(e.head.*word & 0x1FFFFFFF); });
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
    amountColumn<&H::imvichBeg>(c, "imvichBeg");
    amountColumn<&H::imvichNY>(c, "imvichNY");
    amountColumn<&H::imvichOst>(c, "imvichOst");
    // The three amount words' top three bits each, in one column.
    c.add(
        QStringLiteral("imvichRest"), Integer,
        [](R& e, detail::Reader& r, int) {
            const u32 hi = u32(r.n());
            e.head.imvichBeg |= (hi & 7) << 29;
            e.head.imvichNY |= ((hi >> 3) & 7) << 29;
            e.head.imvichOst |= ((hi >> 6) & 7) << 29;
        },
        [](const R& e, detail::Binder& b, int) {
            const H& h = e.head;
            b << int((h.imvichBeg >> 29) | ((h.imvichNY >> 29) << 3) | ((h.imvichOst >> 29) << 6));
        });
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
            c.add(
                QStringLiteral("pspNom"), Text, [](H& h, detail::Reader& r, int) { h.pspNom = r.s(); },
                [](const H& h, detail::Binder& b, int) { b << h.pspNom.left(6); });
            c.add(
                QStringLiteral("pspNom2"), Text, [](H& h, detail::Reader& r, int) { h.pspNom += r.s(); },
                [](const H& h, detail::Binder& b, int) { b << h.pspNom.mid(6); });
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
    static const StoredTable<R> t(
        "nalvich", kDetailKeys,
        [] {
            Columns<R> c;
            c.field<&R::kod>("kod").field<&R::start>("mBeg").field<&R::end>("mEnd").field<&R::sum>("sum");
            c.field<&R::krat>("krat");
            return c;
        }(),
        kDetailKey);
    return t;
}

const StoredTable<PostDoplEntry>& PostDoplTable()
{
    using R = PostDoplEntry;
    static const StoredTable<R> t(
        "postDopl", kDetailKeys,
        [] {
            Columns<R> c;
            c.field<&R::kod>("kod").KALVOR_BIT_FIELD(procent).field<&R::sum>("sum").KALVOR_BIT_FIELD(vid);
            c.KALVOR_BIT_FIELD(dBegin).KALVOR_BIT_FIELD(mBegin).field<&R::gBegin>("gBegin");
            c.KALVOR_BIT_FIELD(dEnd).KALVOR_BIT_FIELD(mEnd).field<&R::gEnd>("gEnd");
            c.KALVOR_BIT_FIELD(period).KALVOR_BIT_FIELD(zavisOt).KALVOR_BIT_FIELD(perer).KALVOR_BIT_FIELD(dnOtGraph);
            c.KALVOR_BIT_FIELD(mask).KALVOR_BIT_FIELD(mrp).field<&R::ceh>("ceh");
            return c;
        }(),
        kDetailKey);
    return t;
}

const StoredTable<SberRow>& SberTable()
{
    using R = SberRow;
    static const StoredTable<R> t(
        "sber", kDetailKeys,
        [] {
            Columns<R> c;
            c.field<&R::kod>("kod").field<&R::sum>("sum").field<&R::bank>("bank");
            c.field<&R::filial>("filial").field<&R::ls>("ls").field<&R::fio>("fio").field<&R::last>("last");
            return c;
        }(),
        kDetailKey);
    return t;
}

const StoredTable<IspolBlock::Writ>& IspolTable()
{
    using R = IspolBlock::Writ;
    static const StoredTable<R> t(
        "ispol", kDetailKeys,
        [] {
            Columns<R> c;
            c.KALVOR_BIT_FIELD(priznUd).KALVOR_BIT_FIELD(vid).KALVOR_BIT_FIELD(tabPsbor).KALVOR_BIT_FIELD(flagByte);
            c.packedDate<&R::dataEnd>("dataEnd").field<&R::sum>("sum").field<&R::fio>("fio").field<&R::adr>("adr");
            return c;
        }(),
        kDetailKey);
    return t;
}

const StoredTable<SsudBlock::Loan>& SsudTable()
{
    using R = SsudBlock::Loan;
    static const StoredTable<R> t(
        "ssud", kDetailKeys,
        [] {
            Columns<R> c;
            c.KALVOR_BIT_FIELD(kvMes).KALVOR_BIT_FIELD(nalog).field<&R::kod>("kod").field<&R::sumDolg>("sumDolg");
            c.array<&R::mes>("mes").array<&R::sum>("sum");
            return c;
        }(),
        kDetailKey);
    return t;
}

const StoredTable<WariaEntry>& WariaTable()
{
    using R = WariaEntry;
    static const StoredTable<R> t(
        "waria", kDetailKeys,
        [] {
            Columns<R> c;
            c.field<&R::kod>("kod").KALVOR_BIT_FIELD(mesVyd).field<&R::godVyd>("godVyd").field<&R::sum>("sum");
            c.KALVOR_BIT_FIELD(min).KALVOR_BIT_FIELD(dn).KALVOR_BIT_FIELD(mes).KALVOR_BIT_FIELD(hr);
            c.field<&R::god>("god");
            return c;
        }(),
        kDetailKey);
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
    static const StoredTable<R> t(
        "warDat", kDetailKeys,
        [] {
            Columns<R> c;
            // Each date as day, month and full year.
            c.bits<&R::start>("d1", 0, 5).bits<&R::start>("m1", 5, 4);
            fullYearColumn<&R::start>(c, "g1");
            c.bits<&R::end>("d2", 0, 5).bits<&R::end>("m2", 5, 4);
            fullYearColumn<&R::end>(c, "g2");
            c.KALVOR_BIT_FIELD(mes).KALVOR_BIT_FIELD(god).KALVOR_BIT_FIELD(kod).KALVOR_BIT_FIELD(contin);
            c.field<&R::sum>("sum");
            return c;
        }(),
        kDetailKey);
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

} // namespace kalvor::infobase
