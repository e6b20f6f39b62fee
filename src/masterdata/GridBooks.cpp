#include "masterdata/GridBooks.h"

#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/PayKindCodes.h"
#include "platform/DbTransaction.h"
#include "values/Values.h"

#include <algorithm>

namespace kalvor::masterdata {

namespace ib = infobase;

namespace {

QString Cell(const QStringList& cells, int column) { return column < cells.size() ? cells[column] : QString(); }

// A name as the 8-bit field keeps it: cut to the width; the blanks that pad
// the field are not part of the name.
QString FieldName(const QString& text, int width)
{
    QString name = ib::fitText(text, width);
    while (name.endsWith(QLatin1Char(' '))) name.chop(1);
    return name;
}

// A cell read by its column's rule (GridBookRules, the rule the grid
// declares), in units of its last place (kopecks for an amount); a text the
// rule refuses reads 0, as a row read afresh has nothing stored.
double CellUnits(GridBook book, const QStringList& cells, int column)
{
    return FigureUnitsOr(GridBookRules(book)[std::size_t(column)], Cell(cells, column), 0);
}

// The code of a row when it reads as a non-zero number.
bool RowCode(GridBook book, const QStringList& cells, int& code)
{
    code = int(CellUnits(book, cells, 0));
    return code != 0;
}

std::vector<QStringList> ShopRows(const ib::CInfoBase& base)
{
    std::vector<QStringList> rows;
    for (int record = 1; record <= ib::CInfoBase::ShopCount; ++record) {
        const ib::ShopRecord& shop = base.shopAt(record);
        if (shop.number == 0 && shop.name.isEmpty())
            break;
        rows.push_back({QString::number(shop.number), shop.name});
    }
    return rows;
}

void StoreShops(const std::vector<QStringList>& rows, ib::CInfoBase& base)
{
    std::vector<ib::ShopRecord> records;
    for (const QStringList& cells : rows) {
        // A shop's number is kept even when 0; a row without one is dropped.
        const QString number = Cell(cells, 0);
        const FigureReading reading = ReadFigure(QString(), GridBookRules(GridBook::Shops)[0], number);
        if (int(records.size()) < ib::CInfoBase::ShopCount && reading.read && !number.trimmed().isEmpty())
            records.push_back({static_cast<ib::u8>(reading.units), ib::fitText(Cell(cells, 1), 120)});
    }
    std::stable_sort(records.begin(), records.end(),
                     [](const ib::ShopRecord& a, const ib::ShopRecord& b) { return a.number < b.number; });
    for (int number = 1; number <= ib::CInfoBase::ShopCount; ++number) base.shopAt(number) = ib::ShopRecord{};
    int record = 0;
    for (const ib::ShopRecord& shop : records) base.shopAt(++record) = shop;
}

// Positions, professions and ranks stop at the first record without a code
// and a name.
template <class Record, std::size_t N, class Texts>
std::vector<QStringList> CodeBookRows(const std::array<Record, N>& table, int count, Texts texts)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < count && i < int(N); ++i) {
        const Record& record = table[std::size_t(i)];
        if (record.code == 0 && record.name.trimmed().isEmpty())
            break;
        rows.push_back(texts(record));
    }
    return rows;
}

// Rows with a non-zero code become records one after another; the count is
// theirs; the table is sorted by its comparator.
template <class Record, std::size_t N, class Read, class Less>
void StoreCodeBook(GridBook book, const std::vector<QStringList>& rows, std::array<Record, N>& table, int& count,
                   Read read, Less less)
{
    table = {};
    std::size_t stored = 0;
    for (const QStringList& cells : rows) {
        int code = 0;
        if (stored >= N || !RowCode(book, cells, code))
            continue;
        table[stored++] = read(cells, code);
    }
    count = int(stored);
    std::stable_sort(table.begin(), table.end(), less);
}

std::vector<QStringList> DeductionRows(const ib::DeductionKindBook& book)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < book.count && i < ib::DeductionKindBook::Capacity; ++i) {
        const ib::DeductionKind& kind = book.records[std::size_t(i)];
        rows.push_back({FormatIntField(kind.code), kind.name, FormatMoney(kind.monthly), FormatMoney(kind.limit)});
    }
    return rows;
}

std::vector<QStringList> ContributionRows(const ib::CRefFiles& files)
{
    std::vector<QStringList> rows;
    for (int i = 0; i < files.sborCount && i < ib::CRefFiles::SborCapacity; ++i) {
        const ib::ContributionKind& kind = files.sbor[std::size_t(i)];
        rows.push_back(
            {FormatIntField(kind.code), FormatIntField(kind.table), kind.name, FormatIntField(kind.baseSelector)});
    }
    return rows;
}

// Every row is kept in its place, an empty code included.
void StoreContributions(const std::vector<QStringList>& rows, ib::CRefFiles& files)
{
    files.sbor = {};
    std::size_t stored = 0;
    for (const QStringList& cells : rows) {
        if (stored >= files.sbor.size())
            break;
        ib::ContributionKind& kind = files.sbor[stored++];
        kind.code = static_cast<ib::u16>(CellUnits(GridBook::Contributions, cells, 0));
        kind.table = static_cast<ib::i8>(CellUnits(GridBook::Contributions, cells, 1));
        kind.name = FieldName(Cell(cells, 2), 64);
        kind.baseSelector = static_cast<ib::i8>(CellUnits(GridBook::Contributions, cells, 3));
    }
    files.sborCount = ib::u16(stored);
}

} // namespace

const GridBookForm& GridBookFormOf(GridBook book)
{
    static const GridBookForm forms[] = {
        {325,
         1030,
         QStringLiteral("Цех/Отдел"),
         QStringLiteral("CRefOtdelView"),
         {QStringLiteral("Номер цеха"), QStringLiteral("Наименование цеха")},
         {0.2},
         ib::CInfoBase::ShopCount,
         QStringLiteral("Добавить цех/отдел"),
         QStringLiteral("Удалить цех/отдел")},
        {328,
         1032,
         QStringLiteral("Должности"),
         QStringLiteral("CRefPostView"),
         {QStringLiteral("Код должности"), QStringLiteral("Наименование должности"), QStringLiteral("Оклад")},
         {0.2, 0.55},
         ib::CRefFiles::BookCapacity,
         QStringLiteral("Добавить должность"),
         QStringLiteral("Удалить должность")},
        {327,
         1035,
         QStringLiteral("Профессии"),
         QStringLiteral("CRefProfesView"),
         {QStringLiteral("Код профессии"), QStringLiteral("Наименование профессии")},
         {0.2},
         ib::CRefFiles::BookCapacity,
         QStringLiteral("Добавить профессию"),
         QStringLiteral("Удалить профессию")},
        {329,
         1039,
         QStringLiteral("Звания"),
         QStringLiteral("CRefTitleView"),
         {QStringLiteral("Код звания"), QStringLiteral("Наименование звания"), QStringLiteral("Оклад")},
         {0.2, 0.55},
         ib::CRefFiles::BookCapacity,
         QStringLiteral("Добавить звание"),
         QStringLiteral("Удалить звание")},
        {341,
         1034,
         QStringLiteral("Налоговые вычеты"),
         QStringLiteral("CRefVichView"),
         {QStringLiteral("Код\nвычета"), QStringLiteral("Наименование вычета"),
          QStringLiteral("Сумма\nежемесячного вычета"), QStringLiteral("Вычет применяется,\nесли доход меньше:")},
         {0.12, 0.38, 0.22},
         ib::DeductionKindBook::Capacity,
         QStringLiteral("Добавить вычет"),
         QStringLiteral("Удалить вычет")},
        {357,
         1038,
         QStringLiteral("Соц. налог"),
         QStringLiteral("CRefSborView"),
         {QStringLiteral("Код"), QStringLiteral("Налоговая\nтаблица"), QStringLiteral("Наименование\nотчисления"),
          QStringLiteral("Выбор\nначислений")},
         {0.1, 0.14, 0.56},
         0,
         QString(),
         QString()},
    };
    return forms[int(book)];
}

std::vector<FigureRule> GridBookRules(GridBook book)
{
    const FigureRule code = WholeFigure(0, 32767);
    switch (book) {
    case GridBook::Shops: return {WholeFigure(0, 250), TextFigure(120)};
    case GridBook::Positions: return {code, TextFigure(26), AmountFigure()};
    case GridBook::Professions: return {code, TextFigure(26)};
    case GridBook::Ranks: return {code, TextFigure(17), AmountFigure()};
    case GridBook::Deductions: return {WholeFigure(0, 65535), TextFigure(20), AmountFigure(), AmountFigure()};
    case GridBook::Contributions: return {WholeFigure(0, 65535), WholeFigure(0, 127), TextFigure(64), WholeFigure(0, 127)};
    }
    return {};
}

std::vector<QStringList> GridBookRows(GridBook book, const ib::KalvorDocData& doc)
{
    const ib::CRefFiles& files = doc.refFiles;
    switch (book) {
    case GridBook::Shops: return ShopRows(doc.infoBase);
    case GridBook::Positions:
        return CodeBookRows(files.post, files.postCount, [](const ib::PositionRecord& r) {
            return QStringList{FormatIntField(r.code), r.name, FormatMoney(r.salary)};
        });
    case GridBook::Professions:
        return CodeBookRows(files.profi, files.profiCount, [](const ib::ProfessionRecord& r) {
            return QStringList{FormatIntField(r.code), r.name};
        });
    case GridBook::Ranks:
        return CodeBookRows(files.title, files.titleCount, [](const ib::RankRecord& r) {
            return QStringList{FormatIntField(r.code), r.name, FormatMoney(r.salary)};
        });
    case GridBook::Deductions: return DeductionRows(files.vichet);
    case GridBook::Contributions: return ContributionRows(files);
    }
    return {};
}

void StoreGridBookRows(GridBook book, const std::vector<QStringList>& rows, ib::KalvorDocData& doc)
{
    ib::CRefFiles& files = doc.refFiles;
    int count = 0;
    switch (book) {
    case GridBook::Shops: StoreShops(rows, doc.infoBase); return;
    case GridBook::Positions:
        StoreCodeBook(
            book, rows, files.post, count,
            [book](const QStringList& c, int code) {
                return ib::PositionRecord{ib::i16(code), FieldName(Cell(c, 1), 26), CellUnits(book, c, 2)};
            },
            ib::ComparePostRecords);
        files.postCount = ib::u16(count);
        return;
    case GridBook::Professions:
        StoreCodeBook(
            book, rows, files.profi, count,
            [](const QStringList& c, int code) {
                return ib::ProfessionRecord{ib::i16(code), FieldName(Cell(c, 1), 26)};
            },
            ib::CompareProfiRecords);
        files.profiCount = ib::u16(count);
        return;
    case GridBook::Ranks:
        StoreCodeBook(
            book, rows, files.title, count,
            [book](const QStringList& c, int code) {
                return ib::RankRecord{ib::i16(code), FieldName(Cell(c, 1), 17), CellUnits(book, c, 2)};
            },
            ib::CompareTitleRecords);
        files.titleCount = ib::u16(count);
        return;
    case GridBook::Deductions:
        StoreCodeBook(
            book, rows, files.vichet.records, count,
            [book](const QStringList& c, int code) {
                return ib::DeductionKind{ib::u16(code), FieldName(Cell(c, 1), 20), CellUnits(book, c, 2),
                                         CellUnits(book, c, 3)};
            },
            ib::CompareVichetRecords);
        files.vichet.count = ib::u8(count);
        return;
    case GridBook::Contributions: StoreContributions(rows, files); return;
    }
}

namespace {

// The shops written in one transaction whose COMMIT, cut in doubt, puts
// memory back to `before` and keeps the way to the rows written.
void writeShops(const std::vector<QStringList>& before, ib::KalvorDocData& doc)
{
    db::Transaction write(ib::Db(doc.infoBase));
    ib::SaveCeh(doc.infoBase);
    const std::vector<QStringList> written = GridBookRows(GridBook::Shops, doc);
    const ib::InDoubtPutBack inDoubt{[&] { StoreGridBookRows(GridBook::Shops, before, doc); },
                                     [&]() -> std::function<void()> {
                                         return [written, &doc] { StoreGridBookRows(GridBook::Shops, written, doc); };
                                     }};
    ib::CommitPuttingBackInDoubt(doc.infoBase, inDoubt, [&] { write.commit(); });
}

} // namespace

void WriteGridBook(GridBook book, const std::vector<QStringList>& before, ib::KalvorDocData& doc)
{
    switch (book) {
    case GridBook::Shops: writeShops(before, doc); return;
    case GridBook::Positions: doc.refFiles.WritePost(); return;
    case GridBook::Professions: doc.refFiles.WriteProfi(); return;
    case GridBook::Ranks: doc.refFiles.WriteTitle(); return;
    case GridBook::Deductions: doc.refFiles.WriteVichet(); return;
    case GridBook::Contributions: doc.refFiles.WriteSbor(); return;
    }
}

bool KindInMask(const ib::FirmInfo& firm, int mask, int code)
{
    if (mask < 0 || mask >= kMaskCount || !IsCodeInRange(code))
        return false;
    return firm.masks[std::size_t(mask)][std::size_t(code)] != 0;
}

void ToggleKindInMask(ib::FirmInfo& firm, int mask, int code)
{
    if (mask < 0 || mask >= kMaskCount || !IsCodeInRange(code))
        return;
    ib::u8& flag = firm.masks[std::size_t(mask)][std::size_t(code)];
    flag = flag != 0 ? 0 : 1;
}

} // namespace kalvor::masterdata
