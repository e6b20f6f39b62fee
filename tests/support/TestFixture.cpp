#include "support/TestFixture.h"

#include "infobase/BaseBuilding.h"

#include "values/InsuranceNumber.h"
#include "values/Values.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace kalvor::infobase {

namespace {

struct Surname {
    const char16_t* male;
    const char16_t* female;
};
const Surname surnames[] = {
    {u"Иванов", u"Иванова"},     {u"Смирнов", u"Смирнова"},   {u"Кузнецов", u"Кузнецова"},
    {u"Попов", u"Попова"},       {u"Васильев", u"Васильева"}, {u"Петров", u"Петрова"},
    {u"Соколов", u"Соколова"},   {u"Михайлов", u"Михайлова"}, {u"Новиков", u"Новикова"},
    {u"Фёдоров", u"Фёдорова"},   {u"Морозов", u"Морозова"},   {u"Волков", u"Волкова"},
    {u"Алексеев", u"Алексеева"}, {u"Лебедев", u"Лебедева"},   {u"Семёнов", u"Семёнова"},
    {u"Егоров", u"Егорова"},     {u"Павлов", u"Павлова"},     {u"Козлов", u"Козлова"},
    {u"Степанов", u"Степанова"}, {u"Николаев", u"Николаева"}, {u"Орлов", u"Орлова"},
    {u"Андреев", u"Андреева"},   {u"Макаров", u"Макарова"},   {u"Никитин", u"Никитина"},
    {u"Захаров", u"Захарова"},   {u"Зайцев", u"Зайцева"},     {u"Соловьёв", u"Соловьёва"},
    {u"Борисов", u"Борисова"},   {u"Яковлев", u"Яковлева"},   {u"Григорьев", u"Григорьева"},
    {u"Романов", u"Романова"},   {u"Воробьёв", u"Воробьёва"}, {u"Сергеев", u"Сергеева"},
    {u"Кузьмин", u"Кузьмина"},   {u"Фролов", u"Фролова"},     {u"Александров", u"Александрова"},
};
const char16_t* const maleNames[] = {u"Александр", u"Сергей", u"Дмитрий", u"Андрей",  u"Алексей",  u"Максим",
                                     u"Евгений",   u"Иван",   u"Михаил",  u"Николай", u"Владимир", u"Павел",
                                     u"Олег",      u"Юрий",   u"Виктор",  u"Игорь"};
const char16_t* const femaleNames[] = {u"Елена",  u"Ольга",   u"Наталья",   u"Татьяна", u"Ирина",  u"Светлана",
                                       u"Анна",   u"Мария",   u"Екатерина", u"Юлия",    u"Галина", u"Людмила",
                                       u"Марина", u"Надежда", u"Валентина", u"Оксана"};
struct Patronymic {
    const char16_t* male;
    const char16_t* female;
};
const Patronymic patronymics[] = {
    {u"Александрович", u"Александровна"}, {u"Сергеевич", u"Сергеевна"},   {u"Дмитриевич", u"Дмитриевна"},
    {u"Андреевич", u"Андреевна"},         {u"Алексеевич", u"Алексеевна"}, {u"Иванович", u"Ивановна"},
    {u"Михайлович", u"Михайловна"},       {u"Николаевич", u"Николаевна"}, {u"Владимирович", u"Владимировна"},
    {u"Петрович", u"Петровна"},           {u"Викторович", u"Викторовна"}, {u"Юрьевич", u"Юрьевна"},
};
const char16_t* const shopNames[] = {
    u"Администрация",        u"Бухгалтерия", u"Механический цех",           u"Сборочный цех", u"Инструментальный цех",
    u"Транспортный участок", u"Склад",       u"Отдел технического контроля"};
const char16_t* const positions[] = {u"Слесарь-ремонтник", u"Токарь",       u"Фрезеровщик", u"Инженер-технолог",
                                     u"Бухгалтер",         u"Кладовщик",    u"Водитель",    u"Контролёр ОТК",
                                     u"Мастер участка",    u"Электромонтёр"};
const char16_t* const streets[] = {u"ул. Ленина",   u"ул. Советская", u"ул. Мира",    u"пр. Строителей",
                                   u"ул. Гагарина", u"ул. Заводская", u"ул. Садовая", u"ул. Лесная"};

struct KindDef {
    u16 kod;
    const char16_t* name;
    u8 fond;
    bool tax;
};
// The fixture's own kinds, and the kinds with a fixed meaning to the monthly
// calculation, so that the engine finds every code it appends.
const KindDef kinds[] = {
    {1, u"Оклад по дням", 1, true},
    {2, u"Оклад по часам", 1, true},
    {3, u"Повременная оплата по тарифу", 1, true},
    {4, u"Сдельная оплата", 1, true},
    {16, u"Доплата за вечерние часы", 1, true},
    {17, u"Доплата за ночные часы", 1, true},
    {18, u"Оплата работы в выходные дни", 1, true},
    {19, u"Доплата за работу в выходные дни", 1, true},
    {21, u"Доплата за работу в вечернее время", 1, true},
    {22, u"Доплата за работу в ночное время", 1, true},
    {25, u"Оплата по профессии", 1, true},
    {35, u"Премия", 1, true},
    {40, u"Оплата сверхурочных часов", 1, true},
    {41, u"Доплата за сверхурочные часы", 1, true},
    {53, u"Надбавка к окладу", 1, true},
    {61, u"Оплата часов учебы", 1, true},
    {64, u"Оплата дней учебы", 1, true},
    {71, u"Доход по ставке 30 %", 0, false},
    {85, u"Оплата отпуска", 1, true},
    {86, u"Оплата дополнительного отпуска", 1, true},
    {87, u"Оплата отпуска в счет следующего месяца", 1, true},
    {101, u"Отпускные", 1, true},
    {110, u"Пособие по временной нетрудоспособности", 4, true},
    {111, u"Оплата первых дней нетрудоспособности за счет работодателя", 1, true},
    {112, u"Оплата первых дней нетрудоспособности (следующий месяц)", 1, true},
    {116, u"Оплата первых дней нетрудоспособности (прочие листки)", 1, true},
    {150, u"Долг за работником на начало месяца", 0, false},
    {151, u"Долг за предприятием на начало месяца", 0, false},
    {153, u"Доплата пособия до заработка", 1, true},
    {155, u"Пособие по временной нетрудоспособности (прошлый месяц)", 4, true},
    {156, u"Пособие по временной нетрудоспособности (текущий месяц)", 4, true},
    {157, u"Пособие по временной нетрудоспособности (следующий месяц)", 4, true},
    {158, u"Пособие по беременности и родам", 4, false},
    {600, u"Отпуск без сохранения заработной платы", 0, false},
    {701, u"Аванс", 0, false},
    {720, u"Алименты", 0, false},
    {750, u"Перечисление в банк", 0, false},
    {901, u"Аванс за месяц", 0, false},
    {902, u"Налог на доходы физических лиц", 0, false},
    {903, u"Перечисление остатка в банк", 0, false},
    {904, u"Выплата в межрасчетный период", 0, false},
    {911, u"Алименты по исполнительному листу", 0, false},
    {912, u"Удержание по исполнительному листу", 0, false},
    {913, u"Удержание по исполнительному листу (без пособий)", 0, false},
    {914, u"Почтовый сбор по исполнительному листу", 0, false},
    {919, u"Профсоюзные взносы", 0, false},
    {920, u"К выплате", 0, false},
    {921, u"Остаток к выплате", 0, false},
    {922, u"Взносы работника в пенсионный фонд (облагаемые)", 0, false},
    {923, u"Взносы работника в пенсионный фонд (прочие)", 0, false},
    {990, u"Страховые взносы на обязательное пенсионное страхование", 0, false},
    {991, u"Взносы на обязательное медицинское страхование", 0, false},
    {992, u"Взносы на социальное страхование", 0, false},
    {995, u"Взносы на страхование от несчастных случаев", 0, false},
};

u16 packedDate(int day, int month, int year) { return PackedDate::make(day, month, year).value; }
u16 monthKey(int year, int month) { return u16(MonthKey(year, month).value()); }

class Rng {
public:
    explicit Rng(unsigned seed) : g_(seed) {}
    int between(int lo, int hi) { return lo + int(g_() % unsigned(hi - lo + 1)); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class T, std::size_t N>
    const T& pick(const T (&a)[N])
    {
        return a[std::size_t(between(0, int(N) - 1))];
    }

private:
    std::mt19937 g_;
};

QString s(const char16_t* t) { return QString::fromUtf16(t); }

QString digits(Rng& r, int n)
{
    QString d;
    for (int i = 0; i < n; ++i) d += QChar(u'0' + r.between(i == 0 ? 1 : 0, 9));
    return d;
}

AccrualRow row(u16 kod, double sum, int month, int days = 0, int minutes = 0)
{
    AccrualRow a;
    a.kod = kod;
    a.sum = sum;
    a.mes = u16(month);
    a.dn = u16(days);
    a.hr = u16(minutes / 60);
    a.min = u16(minutes % 60);
    return a;
}

void buildFirm(CInfoBase& base)
{
    FirmInfo& f = base.firm;
    f.texts[FirmInfo::firmName] = s(u"ООО «Северный машиностроительный завод»");
    f.texts[FirmInfo::firmBank] = s(u"ПАО Сбербанк, Северо-Западный банк");
    f.texts[FirmInfo::firmRS] = QStringLiteral("40702810955000012345");
    f.texts[FirmInfo::firmKS] = QStringLiteral("30101810500000000653");
    f.texts[FirmInfo::firmBIK] = QStringLiteral("044030653");
    f.texts[FirmInfo::adrInd] = QStringLiteral("162600");
    f.texts[FirmInfo::adrObl] = s(u"Вологодская обл.");
    f.texts[FirmInfo::adrGorod] = s(u"Череповец");
    f.texts[FirmInfo::adrUlica] = s(u"ул. Металлургов");
    f.texts[FirmInfo::adrDom] = QStringLiteral("21");
    f.texts[FirmInfo::adrPhone] = QStringLiteral("(8202) 55-12-34");
    f.texts[FirmInfo::fioShef] = s(u"Громов Виктор Павлович");
    f.texts[FirmInfo::statusShef] = s(u"Генеральный директор");
    f.texts[FirmInfo::fioBuh] = s(u"Белова Нина Сергеевна");
    f.texts[FirmInfo::buhFio] = s(u"Котова Е. А.");
    f.texts[FirmInfo::kassirDolg] = s(u"Кассир");
    f.texts[FirmInfo::kassirFio] = s(u"Рыбакова Л. И.");
    f.texts[FirmInfo::firmPens] = QStringLiteral("058-012-003456");
    f.texts[FirmInfo::firmINN] = QStringLiteral("3528012345");
    f.texts[FirmInfo::firmKPP] = QStringLiteral("352801001");
    f.texts[FirmInfo::firmOGRN] = QStringLiteral("1023501234567");
    f.texts[FirmInfo::firmOKPO] = QStringLiteral("01234567");
    f.texts[FirmInfo::firmOKVED] = QStringLiteral("28.41");
    f.texts[FirmInfo::firmGNI] = QStringLiteral("3528");
    f.adrKodRG = 35;
    f.parWord = u16((8 << 6) | (0 << 10) | 0x08); // 8-hour day, income tax by accrual month
    f.procRaj = 15;
    f.procSev = 50;
    f.procNgt = 40;
    f.procEvn = 20;
    f.blnMaxOgr = 2'759'000.0 * 100 / 365;
    f.blnSrPremMes = 12;
    f.blnMinProc = 60;
    const int holidays[][2] = {{1, 1}, {2, 1}, {3, 1},  {4, 1}, {5, 1}, {6, 1},
                               {7, 1}, {8, 1}, {23, 2}, {8, 3}, {1, 5}, {9, 5}};
    for (int i = 0; i < 12; ++i) f.fete[std::size_t(i)] = u16(holidays[i][0] * 256 + holidays[i][1]);
    f.feteKv = 12;
    for (const KindDef& k : kinds)
        if (k.tax)
            f.masks[0][k.kod] = 1;
    f.stag[0].kod = 25;
    f.stag[0].rabMin = 36;
    f.stag[0].kak = 1;
    f.stag[0].sum = 1000; // 10.00 %
}

void buildTables(CInfoBase& base)
{
    NameShops(base, shopNames);
    std::vector<PayKind> book;
    for (const KindDef& k : kinds) {
        PayKind p;
        p.kod = k.kod;
        p.name = s(k.name);
        p.fond = k.fond;
        p.oblPodoh = k.tax ? 1 : 0;
        p.enOtp = k.fond == 1 ? 1 : 0;
        p.setEnBln(k.fond == 1 ? 1 : 0);
        p.enSrZar = k.fond == 1 ? 1 : 0;
        p.kodDoh = k.tax ? 2000 : 0;
        book.push_back(p);
    }
    base.setPayKinds(std::move(book));
    // Schedule 1: five-day week of 8 hours; schedule 2: 40-hour week with a shortened Friday.
    for (int n = 0; n < 2; ++n) {
        WorkSchedule& w = base.scheduleAt(NumberOfPlace(int(n)));
        w.rabDnNed = 0x1F;
        w.rdHr = 8;
        w.mesFond = 1680;
        ScheduleMonth& m = w.months[WorkSchedule::ReportingMonth];
        int days = 0, minutes = 0;
        for (int d = 1; d <= 31; ++d) {
            const int weekday = (d + 6) % 7; // 1 March 2026 is a Sunday: 0 = Monday
            const bool holiday = d == 9; // 8 March moved to Monday
            if (weekday < 5 && !holiday) {
                const int mins = (n == 1 && weekday == 4) ? 7 * 60 : 8 * 60;
                m.d[std::size_t(d - 1)] = u16(mins);
                ++days;
                minutes += mins;
            }
        }
        m.rDn = i8(days);
        m.rMin = u16(minutes);
    }
}

// One employee's name, sex, pay, dates, passport and addresses.
void buildHead(Rng& r, EmployeeRecord& rec, QString& shortName)
{
    const bool male = r.chance(55);
    const Surname& sn = r.pick(surnames);
    const Patronymic& pt = r.pick(patronymics);
    const QString surname = s(male ? sn.male : sn.female);
    const QString name = s(male ? r.pick(maleNames) : r.pick(femaleNames));
    const QString patr = s(male ? pt.male : pt.female);

    EmployeeHead& h = rec.head;
    h.fio = surname + QLatin1Char(' ') + name + QLatin1Char(' ') + patr;
    h.pol = male ? s(u"М") : s(u"Ж");
    h.oklad = r.between(160, 1200) * 100.0 * 100; // whole hundreds of roubles
    h.stavka = r.chance(90) ? 100 : 50;
    h.avans = std::round(h.oklad * 0.4 / 100) * 100;
    h.tarifVrem.rub = u16(r.between(120, 650));
    h.tarifVrem.thou = u16(r.between(0, 999));
    if (r.chance(30)) {
        h.tarifSdel.rub = u16(r.between(90, 400));
        h.tarifSdel.thou = u16(r.between(0, 999));
    }
    h.datR = packedDate(r.between(1, 28), r.between(1, 12), r.between(1962, 2004));
    const int hired = r.between(1998, 2025);
    h.datPr1 = packedDate(r.between(1, 28), r.between(1, 12), hired);
    h.tabPodoh = 1;
    h.flags = r.chance(10) ? 0x08u : 0u;
    h.dolgKod = u16(r.between(1, 10));
    h.profKod = u16(r.between(1, 40));
    h.dolgName = s(r.pick(positions));
    h.strahPolis = QStringLiteral("%1-%2-%3 %4").arg(digits(r, 3), digits(r, 3), digits(r, 3), digits(r, 2));
    // The two drawn check digits give way to the number's own check number.
    h.strahPolis = h.strahPolis.left(11) + QStringLiteral(" %1").arg(InsuranceCheckNumber(h.strahPolis.left(11)), 2,
                                                                      10, QLatin1Char('0'));
    h.INN = QStringLiteral("35") + digits(r, 10);
    h.gitPhone = QStringLiteral("+7 911 %1-%2-%3").arg(digits(r, 3), digits(r, 2), digits(r, 2));
    h.pspKod = QStringLiteral("21");
    h.pspStr = QStringLiteral("643");
    h.pspSer = QStringLiteral("19 %1").arg(digits(r, 2));
    h.pspNom = digits(r, 6);
    h.pspDat = QStringLiteral("%1.%2.%3").arg(r.between(1, 28)).arg(r.between(1, 12)).arg(r.between(2005, 2024));
    h.pspKem = s(u"Отделом УФМС России по Вологодской обл. в г. Череповце");
    h.bdGorod = s(u"Череповец");
    h.bdReg = s(u"Вологодская обл.");
    h.propKodStr = QStringLiteral("643");
    h.propInd = QStringLiteral("1626%1").arg(digits(r, 2));
    h.propKodReg = QStringLiteral("35");
    h.propReg = s(u"Вологодская обл.");
    h.propGorod = s(u"Череповец");
    h.propUl = s(r.pick(streets));
    h.propDom = QString::number(r.between(1, 120));
    h.propKv = QString::number(r.between(1, 200));
    h.gitInd = h.propInd;
    h.gitAdr = h.propReg + QStringLiteral(", г. ") + h.propGorod + QStringLiteral(", ") + h.propUl +
               QStringLiteral(", д. ") + h.propDom + QStringLiteral(", кв. ") + h.propKv;
    h.married = r.chance(60) ? 1 : 0;
    h.children = u16(r.chance(40) ? r.between(1, 3) : 0);
    h.spz[0] = {20, 1, u16(r.between(1, 8))};

    shortName = surname + QLatin1Char(' ') + name.left(1) + QStringLiteral(". ") + patr.left(1) + QLatin1Char('.');
}

// Deductions for children, a permanent surcharge and a bank account for some.
void buildPermanentEntries(Rng& r, EmployeeRecord& rec, int year)
{
    const EmployeeHead& h = rec.head;
    if (h.children > 0) {
        rec.nalvich[0].kod = 126;
        rec.nalvich[0].start = monthKey(year, 1);
        rec.nalvich[0].end = monthKey(year, 12);
        rec.nalvich[0].sum = 140'000;
        rec.nalvich[0].krat = i8(h.children);
    }
    if (r.chance(25)) {
        PostDoplEntry& p = rec.postDopl[0];
        p.kod = 16;
        p.procent = 200; // 20.0 %
        p.dBegin = 1;
        p.mBegin = 1;
        p.gBegin = u16(year);
        p.dEnd = 31;
        p.mEnd = 12;
        p.gEnd = u16(year);
        p.ceh = 0;
    }
    if (r.chance(20)) {
        SberRow& b = rec.sber[0];
        b.kod = 750;
        b.bank = 1;
        b.filial = s(u"Вологодское отделение № 8638");
        b.ls = QStringLiteral("40817810") + digits(r, 12);
        b.fio = h.fio;
    }
}

// The archive: salary and income tax of the twelve months before the
// reporting month, and the year's rates.
void buildArchive(Rng& r, EmployeeRecord& rec, int year, int month)
{
    const EmployeeHead& h = rec.head;
    int wk = 0;
    for (int m = 1; m <= 12; ++m) {
        int y = year, mm = month - m;
        while (mm <= 0) {
            mm += 12;
            --y;
        }
        WariaEntry& e = rec.waria[std::size_t(wk++)];
        e.kod = 1;
        e.sum = h.oklad;
        e.mes = u16(mm);
        e.god = u16(y);
        e.dn = u16(r.between(18, 23));
        e.hr = u16(e.dn * 8);
        e.mesVyd = u16(mm == 12 ? 1 : mm + 1);
        e.godVyd = u16(mm == 12 ? y + 1 : y);
        WariaEntry& t = rec.waria[std::size_t(wk++)];
        t.kod = 902;
        t.sum = std::round(h.oklad * 0.13 / 100) * 100;
        t.mes = u16(mm);
        t.god = u16(y);
    }
    rec.warKv = u16(wk);
    for (int k = 0; k < 12; ++k) rec.rates[std::size_t(k)].rate = h.oklad;
}

// The month's rows: salary as input, tax and amount to pay computed.
void buildMonthRows(EmployeeRecord& rec, int month)
{
    const double salary = rec.head.oklad;
    rec.rows[0] = row(1, salary, month, 21, 168 * 60);
    const double tax = std::round(salary * 0.13 / 100) * 100;
    rec.rows[1] = row(902, tax, month);
    rec.rows[2] = row(920, salary - tax, month);
}

// The employee's slot in the base's per-slot arrays.
void buildSlotArrays(Rng& r, CInfoBase& base, const EmployeeRecord& rec, int slot, const QString& shortName)
{
    const EmployeeHead& h = rec.head;
    base.shortNameOf(slot) = shortName;
    EmployeeAttributes& a = base.attributesOf(slot);
    a.prof = u16(h.profKod);
    a.razr = u16(r.between(1, 6));
    a.brig = i8(r.between(0, 5));
    a.sistOpl = u8(r.between(1, 3));
    a.graph = u8(r.between(1, 2));
    a.kateg = u16(r.between(1, 4));
    a.kvProizv = 1; // the month rows start at the first
    a.priznBank = rec.sber[0].kod ? 1 : 0;
    base.shopOf(slot) = u8(r.between(1, int(std::size(shopNames))));
    TabelRecord& t = base.tabelOf(slot);
    t.rabDn = 21;
    t.rabHr = u16(168 * 60);
    t.setKoeffHundredths(100);
    t.tabel12 = 0x7FFE;
    t.tabel22 = 0xFFFF;
    base.avOf(slot) = h.avans;
}

// The month's entries: a percent bonus line, and for some an alternative
// time sheet line, a sick-leave sheet or a vacation note.
void buildMonthEntries(Rng& r, CInfoBase& base, const EmployeeHead& h, int slot, int year, int month)
{
    BonusLine bonus;
    bonus.kod = 35;
    bonus.procent = 1;
    bonus.sum = r.between(10, 30) * 100.0; // percent in hundredths
    base.prem.replaceRun(slot, std::vector<BonusLine>{bonus});
    if (r.chance(15)) {
        AltTabelEntry e;
        e.kod = 3;
        e.dn = u16(r.between(1, 5));
        e.hr = u8(e.dn * 8);
        e.mes = u16(month);
        e.tarif = h.tarifVrem;
        base.altTabel.replaceRun(slot, std::vector<AltTabelEntry>{e});
    }
    if (r.chance(10)) {
        SickLeaveSheet sl;
        sl.dBegin = u8(r.between(1, 10));
        sl.mBegin = u8(month);
        sl.gBegin = u16(year);
        sl.dEnd = u8(sl.dBegin + r.between(3, 10));
        sl.mEnd = u8(month);
        sl.gEnd = u16(year);
        sl.procent = 80;
        sl.dn = u16((sl.dEnd - sl.dBegin + 1) * 60);
        base.bln.replaceRun(slot, std::vector<SickLeaveSheet>{sl});
    }
    if (r.chance(10)) {
        VacationNote v;
        v.dBegin = u16(r.between(1, 15));
        v.mBegin = u16(month);
        v.gBegin = u16(year);
        v.dlin = 14;
        v.kalend = 1;
        base.otp.replaceRun(slot, std::vector<VacationNote>{v});
    }
}

} // namespace

FixtureBase BuildFixtureBase(CInfoBase& base, int employees, unsigned seed)
{
    Rng r(seed);
    employees = std::clamp(employees, 0, CInfoBase::MaxCapacity);
    const int cap = std::min(CInfoBase::MaxCapacity, employees + std::max(10, employees / 10));
    base.list.clear();
    base.AllocateTables(cap);
    base.config.tekMes = monthKey(FixtureBase::Year, FixtureBase::Month);
    base.config.okrugWord = 0;
    base.config.dosStr = QStringLiteral("kalvor-print %s");
    for (double& m : base.config.mrot) m = 27'093;
    for (double& m : base.config.mrotPrev) m = 22'440;
    buildFirm(base);
    buildTables(base);

    FixtureBase fx;
    fx.records.resize(std::size_t(cap));
    int tabN = 1000;
    const int year = FixtureBase::Year, month = FixtureBase::Month;
    for (int i = 0; i < employees; ++i) {
        const int slot = i + 1;
        tabN += r.between(1, 3);
        EmployeeRecord& rec = fx.records[std::size_t(slot - 1)];
        QString shortName;
        buildHead(r, rec, shortName);
        buildPermanentEntries(r, rec, year);
        buildArchive(r, rec, year, month);
        buildMonthRows(rec, month);
        buildSlotArrays(r, base, rec, slot, shortName);
        buildMonthEntries(r, base, rec.head, slot, year, month);
        AddToList(base, tabN, slot);
    }
    base.config.kolRab = i16(base.list.size());
    base.currentSlot = 0;
    base.ClearCurrentRecord();
    return fx;
}

void BuildFixtureRefFiles(CRefFiles& ref)
{
    // Table 1: income tax 13 % flat (the whole year), table 2: 30 %.
    TaxTable& t1 = ref.nalog[0];
    t1.taxRowCode = 902;
    t1.scaleNumber = 1;
    t1.name = s(u"Налог на доходы физических лиц (0068 0070 0001)");
    t1.variants[0].first = u16((FixtureBase::Year - 1900) * 12 + 1);
    t1.variants[0].last = u16((FixtureBase::Year - 1900) * 12 + 12);
    t1.variants[0].cumulative = 1;
    t1.variants[0].ratePercent = 13;
    t1.variants[0].scale[0] = {0, 0, 13, 0, 0};
    t1.variants[0].scale[1] = {5'000'000, 650'000, 15, 0, 0};
    TaxTable& t2 = ref.nalog[1];
    t2.taxRowCode = 902;
    t2.name = s(u"Налог с нерезидентов");
    t2.variants[0].first = t1.variants[0].first;
    t2.variants[0].last = t1.variants[0].last;
    t2.variants[0].ratePercent = 30;
    t2.variants[0].scale[0] = {0, 0, 30, 0, 0};

    ref.profiCount = 0;
    for (const char16_t* p : positions) {
        ProfessionRecord& rec = ref.profi[ref.profiCount];
        rec.code = i16(ref.profiCount + 1);
        rec.name = s(p);
        PositionRecord& pos = ref.post[ref.profiCount];
        pos.code = rec.code;
        pos.name = s(p);
        pos.salary = 3'500'000 + 250'000.0 * ref.profiCount;
        ++ref.profiCount;
    }
    ref.postCount = ref.profiCount;
    ref.title[0] = {1, s(u"Рядовой"), 1'200'000};
    ref.title[1] = {2, s(u"Сержант"), 1'500'000};
    ref.title[2] = {3, s(u"Лейтенант"), 2'100'000};
    ref.titleCount = 3;
    ref.vichet.records[0] = {126, s(u"На первого ребёнка"), 140'000, 35'000'000};
    ref.vichet.records[1] = {127, s(u"На второго ребёнка"), 140'000, 35'000'000};
    ref.vichet.records[2] = {128, s(u"На третьего ребёнка"), 300'000, 35'000'000};
    ref.vichet.count = 3;
    ref.sbor[0] = {s(u"Пенсионный фонд"), 990, 3, 0};
    ref.sbor[1] = {s(u"Фонд социального страхования"), 992, 4, 0};
    ref.sbor[2] = {s(u"Федеральный фонд ОМС"), 991, 5, 0};
    ref.sbor[3] = {s(u"Территориальный фонд ОМС"), 991, 6, 0};
    ref.sbor[4] = {s(u"Страховая часть пенсии"), 990, 7, 0};
    ref.sbor[5] = {s(u"Накопительная часть пенсии"), 990, 8, 0};
    ref.sbor[6] = {s(u"Взносы на страхование от несчастных случаев"), 995, 9, 0};
    ref.sborCount = 7;
    ref.recipientAt(1) = {s(u"Отделение № 8638"),
                          s(u"ПАО Сбербанк"),
                          QStringLiteral("30232810612000000001"),
                          s(u"Северо-Западный банк ПАО Сбербанк"),
                          QStringLiteral("30101810500000000653"),
                          QStringLiteral("044030653"),
                          QStringLiteral("7707083893"),
                          QStringLiteral("352502001")};
    ref.recipientAt(2) = {QString(),
                          s(u"ИФНС России по г. Череповцу"),
                          QStringLiteral("40101810700000010002"),
                          s(u"Отделение Вологда"),
                          QString(),
                          QStringLiteral("041909001"),
                          QStringLiteral("3528000597"),
                          QStringLiteral("352801001")};
}

void WriteFixtureToSwap(CInfoBase& base, const FixtureBase& fixture)
{
    base.CreateSwapFile();
    for (const EmployeeListEntry& e : base.list) base.swap.writeSlot(e.slot, fixture.records[e.slot - 1]);
}

} // namespace kalvor::infobase
