#include "entries/ui/CPremVvodDlg.h"

#include "entries/BonusEntry.h"
#include "grid/FldHlpGridCtrl.h"
#include "grid/GridCell.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/CScan.h"
#include "values/FieldPairs.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

constexpr int kDialogWidth = kEntryDialogRoom;
constexpr int kButtonHeight = 40;
constexpr int kButtonWidth = 194;
constexpr int kGridTop = 46;
constexpr int kGridHeight = 380;

// The shares of the grid's width of the columns before the last.
constexpr double kColumnShares[] = {0.23, 0.06, 0.06, 0.03, 0.11, 0.06, 0.06, 0.05, 0.09, 0.12};

const QString kBaseFull = QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.");

// The columns: the employee's name and number shown, the line's fields with
// what a typed cell of each takes.
std::vector<GridColumn> BonusColumns(const ib::CInfoBase& base)
{
    const QStringList titles{QStringLiteral("Код"),         QStringLiteral("%"),         QStringLiteral("Велич.\nнач-ия"),
                             QStringLiteral("Ме-\nсяц"),    QStringLiteral("Мас-\nка"),  QStringLiteral("м/р"),
                             QStringLiteral("Без\nналога"), QStringLiteral("ШПЗ\nКТУ1"), QStringLiteral("Цех\nКТУ2")};
    std::vector<GridColumn> columns{ShownColumn(QStringLiteral("Фамилия И.О.")), ShownColumn(QStringLiteral("Т.н."))};
    for (int column = BonusCodeColumn; column < kBonusColumnCount; ++column)
        columns.push_back(FigureColumn(titles[column - BonusCodeColumn], BonusColumnRule(column)));
    columns[BonusCodeColumn].book = PayKindBook(base);
    return columns;
}

QString TooManyLinesText()
{
    return QStringLiteral("Невозможно создать новую запись.\nУ работника может быть не более %1 премий.")
        .arg(kMaxBonusLines);
}

} // namespace

CPremVvodDlg::CPremVvodDlg(CCommonFormView* view) : CFormChildDlg(372, view)
{
    setObjectName(QStringLiteral("CPremVvodDlg"));
    setFixedSize(kDialogWidth, kGridTop + kGridHeight + 40);
    AddButtons();
    m_grid = SetupEntryGrid(this, IdGrid, QRect(0, kGridTop, kDialogWidth, kGridHeight));
    connect(m_grid, &CGridCtrl::gridNotify, this, &CPremVvodDlg::OnGridNotify);
    auto* label = new QLabel(QStringLiteral("Сумма премий, выраженных в рублях"), this);
    label->setGeometry(kDialogWidth - 480, kGridTop + kGridHeight + 10, 290, 24);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_total = ShownValueEdit(this);
    m_total->setGeometry(kDialogWidth - 180, kGridTop + kGridHeight + 8, 180, 26);
    m_total->setAlignment(Qt::AlignRight);
    label->setBuddy(m_total);
    SetControl(IdTotal, m_total);
    SetupGrid();
}

void CPremVvodDlg::AddButtons()
{
    const struct {
        int id;
        const char* caption;
        void (CPremVvodDlg::*handler)();
    } buttons[] = {
        {IdInsertBefore, "Вставить дополнительную\nпремию перед текущей (F7)", &CPremVvodDlg::InsertLineBefore},
        {IdInsertAfter, "Вставить дополнительную\nпремию после текущей (F8)", &CPremVvodDlg::InsertLineAfter},
        {IdDelete, "Удалить дополнительную\nпремию (Alt + F10)", &CPremVvodDlg::DeleteLine}};
    // The three buttons stand within the view's room at 1024x768.
    int left = 0;
    for (const auto& button : buttons) {
        auto* push = new QPushButton(QString::fromUtf8(button.caption), this);
        push->setGeometry(left, 0, kButtonWidth, kButtonHeight);
        push->setAutoDefault(false);
        push->setFocusPolicy(Qt::NoFocus);
        SetControl(button.id, push);
        connect(push, &QPushButton::clicked, this, button.handler);
        left += kButtonWidth + 4;
    }
}

void CPremVvodDlg::SetupGrid()
{
    m_grid->SetEditable(true);
    m_grid->SetListMode(false);
    // Two-line titles, centred.
    for (const bool fixedColumn : {false, true})
        m_grid->GetDefaultCell(true, fixedColumn)->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER);
    m_grid->SetFixedRowCount(1);
    m_grid->SetFixedColumnCount(0);
    std::vector<GridColumn> columns = BonusColumns(View()->Document()->infoBase);
    columns[BonusShopColumn].rowRefusal = ShopOfRowRefusal(columns[BonusShopColumn]);
    columns[BonusValueColumn].rowRefusal = [this](int row, const QString& read) {
        return BonusValueRefusal(m_grid->GetItemText(row, BonusKindColumn), read);
    };
    columns[BonusKindColumn].rowRefusal = KindOfRowRefusal(columns[BonusShopColumn]);
    m_grid->DeclareColumns(columns);
    m_grid->SetRowCount(1);
    const QFontMetrics metrics(m_grid->GetNormalFont());
    m_grid->SetRowHeight(0, 2 * (metrics.height() + 4) + 4);
    const int width = m_grid->width();
    for (int column = 0; column < int(std::size(kColumnShares)); ++column)
        m_grid->SetColumnWidth(column, int(std::ceil(width * kColumnShares[column] - 0.5)));
    m_grid->SetColumnWidth(BonusShopColumn, 5);
    const QStringList titles = GridColumnTitles(columns);
    for (int column = 0; column < kBonusColumnCount; ++column) m_grid->SetItemText(0, column, titles[column]);
    m_grid->FitLastColumnToView();
}

// A line that shares no fund names a shop of the book in "Цех\nКТУ2"; a
// line that shares one keeps its second rate there.
std::function<QString(int row, const QString& read)> CPremVvodDlg::ShopOfRowRefusal(const GridColumn& column) const
{
    return [this, name = column.Name(), rule = column.rule,
            shops = ShopBook(View()->Document()->infoBase)](int row, const QString& read) {
        const int kind = m_grid->GetItemText(row, BonusKindColumn).trimmed().toInt();
        if (BonusKindSharesAFund(kind))
            return QString();
        const QString refusal = kalvor::ReadFigure(name, rule, shops, read).refusal;
        return refusal.isEmpty() ? refusal : PairRefusal(refusal, QStringLiteral("%"), QString::number(kind));
    };
}

// A kind typed over a line's kind must fit what the line holds already: its
// value read by the kind's meaning, and, for a kind that shares no fund, a
// shop of the book in "Цех\nКТУ2". The refusal names both columns.
std::function<QString(int row, const QString& read)> CPremVvodDlg::KindOfRowRefusal(const GridColumn& shop) const
{
    return [this, shopName = shop.Name(), rule = shop.rule,
            shops = ShopBook(View()->Document()->infoBase)](int row, const QString& read) {
        if (QString refusal = BonusValueRefusal(read, m_grid->GetItemText(row, BonusValueColumn)); !refusal.isEmpty())
            return refusal;
        if (BonusKindSharesAFund(read.toInt()))
            return QString();
        const QString refusal =
            kalvor::ReadFigure(shopName, rule, shops, m_grid->GetItemText(row, BonusShopColumn)).refusal;
        return refusal.isEmpty() ? refusal : PairRefusal(refusal, QStringLiteral("%"), QString::number(read.toInt()));
    };
}

// ------------------------------------------------------------------ rows

int CPremVvodDlg::AddLineRow(int slot, int personnelNumber, const QStringList& fields, int before)
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    const int row = m_grid->InsertRow(QString(), before);
    m_grid->SetItemText(row, BonusNameColumn, base.shortNameOf(slot));
    m_grid->SetItemText(row, BonusNumberColumn, QString::number(personnelNumber));
    for (int field = 0; field < fields.size(); ++field)
        m_grid->SetItemText(row, BonusCodeColumn + field, fields[field]);
    for (int column : {int(BonusNameColumn), int(BonusNumberColumn)})
        m_grid->SetItemState(row, column, m_grid->GetItemState(row, column) | GridCtrl::CellReadOnly);
    return row;
}

void CPremVvodDlg::SetSelection(int shop, int brigade, int profession)
{
    CFormChildDlg::SetSelection(shop, brigade, profession);
    m_grid->DeleteNonFixedRows();
    const CKalvorDoc& doc = *View()->Document();
    const ib::CInfoBase& base = doc.infoBase;
    std::vector<int> employeeSlots;
    for (int index = 0; index < base.employeeCount(); ++index) {
        if (!EmployeeMatchesFilter(index, shop, brigade, profession) || !BonusEmployeeShown(doc, index))
            continue;
        const ib::EmployeeListEntry& entry = base.list[std::size_t(index)];
        employeeSlots.push_back(entry.slot);
        const std::vector<ib::BonusLine> lines = base.prem.run(entry.slot);
        if (lines.empty())
            AddLineRow(entry.slot, entry.tabN(), {});
        for (const ib::BonusLine& line : lines) AddLineRow(entry.slot, entry.tabN(), ShowBonusLine(line));
    }
    m_grid->FitLastColumnToView();
    m_grid->Refresh();
    m_total->setText(FormatFixed(BonusTotal(doc, employeeSlots) / 100, 2));
}

std::vector<int> CPremVvodDlg::RowNumbers() const
{
    std::vector<int> numbers;
    for (int row = m_grid->GetFixedRowCount(); row < m_grid->GetRowCount(); ++row) {
        int number = 0;
        numbers.push_back(ScanInt(m_grid->GetItemText(row, BonusNumberColumn), number) ? number : 0);
    }
    return numbers;
}

bool CPremVvodDlg::ReadRow(int row, const std::vector<int>& numbers)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    const std::optional<BonusRowPlace> place = BonusRowLine(base, numbers, row - m_grid->GetFixedRowCount());
    if (!place)
        return false;
    QStringList cells;
    for (int column = BonusCodeColumn; column < kBonusColumnCount; ++column) cells << m_grid->GetItemText(row, column);
    if (StoreBonusRow(base, *place, cells))
        m_modified = true;
    return true;
}

int CPremVvodDlg::SaveRecord()
{
    // A refused value being corrected keeps every stored line (its refusal was said).
    if (m_grid->RefusalPending())
        return 0;
    const std::vector<int> numbers = RowNumbers();
    for (int row = m_grid->GetFixedRowCount(); row < m_grid->GetRowCount(); ++row)
        if (!ReadRow(row, numbers))
            break;
    return 1;
}

// ------------------------------------------------------------------ inserting and deleting

int CPremVvodDlg::SingleSelectedRow() const
{
    const CCellRange selected = m_grid->GetSelectedCellRange();
    if (!selected.IsValid() || selected.minRow != selected.maxRow || selected.minRow < m_grid->GetFixedRowCount())
        return -1;
    return selected.minRow;
}

void CPremVvodDlg::InsertLine(int offset)
{
    const int row = SingleSelectedRow();
    if (row < 0)
        return;
    const std::vector<int> numbers = RowNumbers();
    if (!ReadRow(row, numbers))
        return;
    ib::CInfoBase& base = View()->Document()->infoBase;
    const BonusRowPlace place = *BonusRowLine(base, numbers, row - m_grid->GetFixedRowCount());
    switch (InsertBonusLine(base, place.slot, place.position + offset)) {
    case BonusInsert::TooManyLines: KalvorMessageBox(TooManyLinesText(), MB_OK | MB_ICONERROR, QString(), this); return;
    case BonusInsert::ArrayFull: KalvorMessageBox(kBaseFull, MB_OK | MB_ICONERROR, QString(), this); return;
    case BonusInsert::Done: break;
    }
    const int at = row + offset;
    const int added = AddLineRow(place.slot, numbers[std::size_t(row - m_grid->GetFixedRowCount())], {},
                                 at < m_grid->GetRowCount() ? at : -1);
    m_grid->FitLastColumnToView();
    m_grid->SetSelectedRange(added, BonusCodeColumn, added, BonusCodeColumn);
    m_grid->SetFocusCell(added, BonusCodeColumn);
    m_grid->EnsureVisible(added, BonusCodeColumn);
    m_grid->setFocus();
    m_grid->Refresh();
    m_modified = true;
}

void CPremVvodDlg::DeleteLine()
{
    const int row = SingleSelectedRow();
    if (row < 0)
        return;
    ib::CInfoBase& base = View()->Document()->infoBase;
    const std::optional<BonusRowPlace> place = BonusRowLine(base, RowNumbers(), row - m_grid->GetFixedRowCount());
    if (!place || !RemoveBonusLine(base, place->slot, place->position))
        return;
    m_grid->DeleteRow(row);
    m_grid->SetFocusCell(-1, -1);
    m_grid->ResetSelectedRange();
    m_grid->Refresh();
    m_modified = true;
}

// ------------------------------------------------------------------ keys and notifications

void CPremVvodDlg::OnCancel() { FocusStrip(); }

void CPremVvodDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}

void CPremVvodDlg::OnGridNotify(GridNotifyInfo* info, long* result)
{
    *result = 0;
    if (info->hdr.code != GridCtrl::NotifySelChanged)
        return;
    if (CCommonFormView* view = View()) {
        view->m_focusedId = IdGrid;
        view->m_focusedWnd = m_grid;
        view->m_focusedGrid = m_grid;
        view->m_gridRow = info->iRow;
        view->m_gridCol = info->iColumn;
    }
}
