#include "masterdata/ui/CRefStagView.h"

#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "infobase/InfoBase.h"
#include "masterdata/SeniorityBook.h"
#include "masterdata/ui/BookGrid.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/FieldPairs.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace kalvor::masterdata;

namespace {

constexpr int kHeadingRows = 2;

enum Column {
    ColKod = 0,
    ColVozMin = 1,
    ColRabMin = 3,
    ColSevMin = 5,
    ColOtdMin = 7,
    ColBrigMin = 9,
    ColProfMin = 11,
    ColKategMin = 13,
    ColKak = 15,
    ColSum = 16
};

// The ranges' headings, each over its "Мин." and "Мах." columns.
const char* const kRangeTitles[] = {"Возраст", "Раб.стаж", "Сев.стаж", "Отдел", "Бригада", "Профес.", "Категор."};

// The columns as the messages name them, with what a typed cell takes: the
// code a pay kind of the book.
std::vector<GridColumn> SeniorityColumns(const kalvor::infobase::CInfoBase& base)
{
    const std::vector<kalvor::FigureRule> rules = kalvor::masterdata::SeniorityColumnRules();
    std::vector<GridColumn> columns{FigureColumn(QStringLiteral("Код"), rules[0], PayKindBook(base))};
    for (int range = 0; range < 7; ++range)
        for (const char* end : {"мин.", "макс."})
            columns.push_back(FigureColumn(QStringLiteral("%1 %2").arg(QString::fromUtf8(kRangeTitles[range]),
                                                                        QString::fromUtf8(end)),
                                           rules[columns.size()]));
    columns.push_back(FigureColumn(QStringLiteral("Что"), rules[columns.size()]));
    columns.push_back(FigureColumn(QStringLiteral("Величина"), rules[columns.size()]));
    return columns;
}

QStringList CategoryLines()
{
    static const char* const names[] = {"Руководство", "Специалисты", "Служащие", "Рабочие",     "М О П",
                                        "П С О",       "Несп. сост.", "Учащиеся", "Совместители"};
    QStringList lines;
    for (int category = 1; category <= 15; ++category) {
        const QString name =
            category <= 9 ? QString::fromUtf8(names[category - 1]) : QStringLiteral("%1-я категория").arg(category);
        lines << QStringLiteral("%1|%2").arg(category).arg(name);
    }
    return lines;
}

QStringList KakLines()
{
    return {QStringLiteral("0|Это доплата, выраженная в рублях"),
            QStringLiteral("1|Это процент, корректирующий начисленные в других режимах суммы")};
}

} // namespace

CRefStagView::CRefStagView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefStagView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    auto* buttons = new QHBoxLayout;
    m_add = new QPushButton(QStringLiteral("Добавить запись"), this);
    m_delete = new QPushButton(QStringLiteral("Удалить запись"), this);
    for (QPushButton* button : {m_add, m_delete}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(180);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    SetControl(IdAdd, m_add);
    SetControl(IdDelete, m_delete);
    layout->addLayout(buttons);

    m_grid = CreateBookGrid(this, IdGrid, kHeadingRows);
    layout->addWidget(m_grid, 1);
    SetupHeadings();
    FillGrid();
    ConnectBookGridFocus(this, m_grid);
    connect(m_add, &QPushButton::clicked, this, &CRefStagView::AddRow);
    connect(m_delete, &QPushButton::clicked, this, &CRefStagView::DeleteRow);
}

CRefStagView::~CRefStagView() { SaveRules(); }

void CRefStagView::SetupHeadings()
{
    std::vector<GridColumn> columns = SeniorityColumns(Document()->infoBase);
    for (int range = 0; range < 7; ++range) OrderRange(columns, ColVozMin + 2 * range);
    m_grid->DeclareColumns(columns);
    const int headingHeight = m_grid->GetRowHeight(0);
    m_grid->SetRowHeight(0, headingHeight + 4);
    m_grid->SetRowHeight(1, headingHeight + 4);
    auto heading = [this](int row, int col, const QString& text) { m_grid->SetItemText(row, col, text); };
    auto spanDown = [this](int col) {
        m_grid->GetCell(0, col)->SetVertSpan(SpanStart);
        m_grid->GetCell(1, col)->SetVertSpan(SpanCovered);
    };
    heading(0, ColKod, QStringLiteral("Код"));
    spanDown(ColKod);
    for (int range = 0; range < 7; ++range) {
        const int col = ColVozMin + 2 * range;
        heading(0, col, QString::fromUtf8(kRangeTitles[range]));
        m_grid->GetCell(0, col)->SetHorzSpan(SpanStart);
        m_grid->GetCell(0, col + 1)->SetHorzSpan(SpanCovered);
        heading(1, col, QStringLiteral("Мин."));
        heading(1, col + 1, QStringLiteral("Мах."));
    }
    heading(0, ColKak, QStringLiteral("Что"));
    spanDown(ColKak);
    heading(0, ColSum, QStringLiteral("Величина"));
    spanDown(ColSum);
}

// A range's least (column `least`) and most (the next one) are typed in
// order: a least above a most that is not 0 (no bound) is refused, whichever
// of the two is typed, naming both.
void CRefStagView::OrderRange(std::vector<GridColumn>& columns, int least) const
{
    const GridColumn leastColumn = columns[std::size_t(least)], mostColumn = columns[std::size_t(least + 1)];
    const auto valueAt = [this](const GridColumn& column, int row, int col) {
        return GridCellUnits(column, m_grid->GetItemText(row, col)).value_or(0);
    };
    columns[std::size_t(least)].rowRefusal = [=](int row, const QString& read) {
        return kalvor::RangeOrderRefusal(leastColumn.Name(), read.toDouble(), mostColumn.Name(),
                                         valueAt(mostColumn, row, least + 1));
    };
    columns[std::size_t(least + 1)].rowRefusal = [=](int row, const QString& read) {
        return kalvor::RangeOrderRefusal(leastColumn.Name(), valueAt(leastColumn, row, least), mostColumn.Name(),
                                         read.toDouble());
    };
}

void CRefStagView::FillGrid()
{
    std::vector<QStringList> rows;
    for (const auto& rule : Document()->infoBase.firm.stag)
        if (rule.kod != 0)
            rows.push_back(SeniorityRuleTexts(rule));
    FillBookGrid(m_grid, rows);
}

void CRefStagView::OnInitialUpdate()
{
    resizeEvent(nullptr);
    m_grid->setFocus();
}

void CRefStagView::resizeEvent(QResizeEvent* event)
{
    if (event)
        CCommonFormView::resizeEvent(event);
    // "Код" and "Величина" a little wider than the fourteen range columns.
    const int width = std::max(m_grid->viewport()->width(), 400);
    const int narrow = width / 19;
    for (int col = 0; col < kSeniorityColumnCount; ++col)
        m_grid->SetColumnWidth(col, col == ColKod || col == ColKak ? narrow * 3 / 2 : narrow);
    FitBookGridColumns(m_grid);
}

void CRefStagView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

void CRefStagView::AddRow() { AddBookRow(this, m_grid, kSeniorityRuleCount); }

void CRefStagView::DeleteRow() { DeleteSelectedBookRow(m_grid); }

bool CRefStagView::CanLeave()
{
    return !m_grid->RefusalPending();
}

bool CRefStagView::SaveRules()
{
    auto& base = Document()->infoBase;
    base.firm.stag = BuildSeniorityRules(BookGridRows(m_grid));
    return SaveFirmRecord(base);
}

void CRefStagView::ShowFormHelp()
{
    if (m_focusedWnd != m_grid || !m_grid->GetFocusCell().IsValid())
        return;
    const int col = m_grid->GetFocusCell().col;
    switch (col) {
    case ColKod: PickPayKind(); return;
    case ColOtdMin:
    case ColOtdMin + 1: PickShop(); return;
    case ColProfMin:
    case ColProfMin + 1: PickProfession(); return;
    case ColKategMin:
    case ColKategMin + 1: ShowHelpList(CategoryLines(), {3, false, 300, 300}); return;
    case ColKak: ShowHelpList(KakLines(), {3, false, 600, 120}); return;
    case ColVozMin:
    case ColVozMin + 1:
        ShowFieldHint(QStringLiteral("Введите крайнее значение возрастного интервала.\n(Это должен быть возраст, "
                                     "выраженный в месяцах)"),
                      3, 300);
        return;
    case ColRabMin:
    case ColRabMin + 1:
        ShowFieldHint(QStringLiteral("Определите границу интервала для рабочего стажа.\n(Эта величина должна быть "
                                     "выражена в месяцах)"),
                      3, 300);
        return;
    case ColSevMin:
    case ColSevMin + 1:
        ShowFieldHint(QStringLiteral("Определите диапазон для северного стажа.\n(Это д.б.величина, выраженная в "
                                     "месяцах)"),
                      3, 300);
        return;
    case ColBrigMin:
    case ColBrigMin + 1:
        ShowFieldHint(QStringLiteral("Укажите номер бригады.\nЭто должно быть число в пределах от 1 до 99."), 3, 300);
        return;
    case ColSum:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК Незначащие нули можно опустить."), 3, 300);
        return;
    default: return;
    }
}
