#include "entries/ui/CATabelVvodDlg.h"

#include "entries/AltTabelLines.h"
#include "grid/FldHlpGridCtrl.h"
#include "platform/Db.h"
#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QKeyEvent>
#include <QPushButton>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

namespace {

const QString kBaseFull = QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена.");
// Three buttons in a line within the dialog's width.
constexpr int kButtonWidth = (kEntryDialogRoom - 2 * 6) / 3;

// The ten columns with what a cell of each takes.
std::vector<GridColumn> AltTabelColumns(const ib::CInfoBase& base)
{
    const QStringList titles{QStringLiteral("Код"),      QStringLiteral("Дни"), QStringLiteral("Часы"),
                             QStringLiteral("Оклад"),    QStringLiteral("Тариф"), QStringLiteral("% оплаты"),
                             QStringLiteral("Цех"),      QStringLiteral("ШПЗ"), QStringLiteral("Месяц"),
                             QStringLiteral("Минус")};
    std::vector<GridColumn> columns;
    for (int col = 0; col < en::kAltTabelColumns; ++col)
        columns.push_back(FigureColumn(titles[col], en::AltTabelColumnRule(col)));
    columns[en::AltCode].book = PayKindBook(base);
    columns[en::AltShop].book = ShopBook(base);
    columns[en::AltDays].alsoTakes = en::AltTabelMainSheetDays();
    return columns;
}

} // namespace

CATabelVvodDlg::CATabelVvodDlg(CCommonFormView* view) : CEmployeeDetailDlg(IDD, IdGrid, view)
{
    setObjectName(QStringLiteral("CATabelVvodDlg"));
    setFixedSize(kEntryDialogRoom, 442);
    const struct {
        int id;
        const char* caption;
        void (CATabelVvodDlg::*handler)();
    } buttons[] = {{IdInsertBefore, "Вставить строку\nперед текущей  (F7)", &CATabelVvodDlg::InsertRowBefore},
                   {IdInsertAfter, "Вставить строку\nпосле текущей  (F8)", &CATabelVvodDlg::InsertRowAfter},
                   {IdDelete, "Удалить строку\n(Alt + F10)", &CATabelVvodDlg::DeleteRow}};
    int left = 0;
    for (const auto& button : buttons) {
        auto* push = new QPushButton(QString::fromUtf8(button.caption), this);
        push->setGeometry(left, 0, kButtonWidth, 40);
        push->setAutoDefault(false);
        SetControl(button.id, push);
        connect(push, &QPushButton::clicked, this, button.handler);
        left += kButtonWidth + 6;
    }
    Grid()->Create(QRect(0, 46, kEntryDialogRoom, 396), this, IdGrid);
    SetupGrid(AltTabelColumns(View()->Document()->infoBase), {0.06, 0.06, 0.075, 0.10, 0.10, 0.12, 0.06, 0.18, 0.09},
              QStringLiteral("Код"));
}

void CATabelVvodDlg::LoadRecord(quint32 slot)
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    if (slot > quint32(base.altTabel.slotCount()))
        slot = 0;
    CFormChildDlg::LoadRecord(slot);
    m_groupMode = false;
    Grid()->DeleteNonFixedRows();
    if (slot != 0) {
        if (auto* view = qobject_cast<CEmployeeDetailView*>(View()))
            view->SetTitle(QStringLiteral("Альтернативный табель  [%1]").arg(base.shortNameOf(slot)));
        for (const ib::AltTabelEntry& line : en::AltTabelLines(base, int(slot)))
            AppendLineRow(en::ShowAltTabelEntry(line));
    }
    FitLastColumn();
}

int CATabelVvodDlg::AppendLineRow(const QStringList& texts, int before)
{
    CFldHlpGridCtrl* grid = Grid();
    const int row = grid->InsertRow(QString(), before);
    grid->SetRowHeight(row, HeaderHeight() / 2);
    for (int col = 0; col < texts.size() && col < grid->GetColumnCount(); ++col)
        if (!texts[col].isEmpty())
            grid->SetItemText(row, col, texts[col]);
    return row;
}

bool CATabelVvodDlg::StoreLines()
{
    try {
        WaitCursor wait;
        en::StoreAltTabel(View()->Document()->infoBase);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}

int CATabelVvodDlg::SaveRecord()
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (m_slot == 0 || m_groupMode)
        return 1;
    const int slot = int(m_slot);
    const int first = base.altTabel.first(slot);
    const int count = base.altTabel.count(slot);
    CFldHlpGridCtrl* grid = Grid();
    for (int i = 0; i < count && grid->GetFixedRowCount() + i < grid->GetRowCount(); ++i)
        if (en::ReadAltTabelEntry(RowCells(grid->GetFixedRowCount() + i), base.altTabel.lines[std::size_t(first + i)]))
            m_modified = true;
    if (!m_modified)
        return 1;
    if (!StoreLines())
        return 0;
    m_modified = false;
    // What the read rules made of the texts is shown.
    for (int i = 0; i < count && grid->GetFixedRowCount() + i < grid->GetRowCount(); ++i) {
        const QStringList texts = en::ShowAltTabelEntry(base.altTabel.lines[std::size_t(first + i)]);
        for (int col = 0; col < texts.size(); ++col) grid->SetItemText(grid->GetFixedRowCount() + i, col, texts[col]);
    }
    grid->Refresh();
    return 1;
}

int CATabelVvodDlg::SingleSelectedRow() const
{
    const CCellRange selected = Grid()->GetSelectedCellRange();
    if (!selected.IsValid() || selected.minRow != selected.maxRow || selected.minRow < Grid()->GetFixedRowCount())
        return -1;
    return selected.minRow;
}

void CATabelVvodDlg::InsertRowBefore()
{
    const int selected = SingleSelectedRow();
    if (selected >= 0)
        InsertRowAt(selected - Grid()->GetFixedRowCount());
    else if (Grid()->GetRowCount() == Grid()->GetFixedRowCount())
        InsertRowAt(0);
}

void CATabelVvodDlg::InsertRowAfter()
{
    const int selected = SingleSelectedRow();
    if (selected >= 0)
        InsertRowAt(selected - Grid()->GetFixedRowCount() + 1);
    else if (Grid()->GetRowCount() == Grid()->GetFixedRowCount())
        InsertRowAt(0);
}

void CATabelVvodDlg::InsertRowAt(int position)
{
    if (m_slot == 0 || m_groupMode)
        return;
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (!base.InsertAltTabelEntry(int(m_slot), position)) {
        KalvorMessageBox(kBaseFull, MB_OK | MB_ICONERROR, QString(), this);
        return;
    }
    CFldHlpGridCtrl* grid = Grid();
    const int gridRow = position + grid->GetFixedRowCount();
    const int row = AppendLineRow(QStringList(), gridRow < grid->GetRowCount() ? gridRow : -1);
    grid->SetSelectedRange(row, 0, row, grid->GetColumnCount() - 1);
    grid->SetFocusCell(row, 0);
    grid->EnsureVisible(row, 0);
    FitLastColumn();
    grid->setFocus();
    EmployeeDlgOnGridSelChanged(*this, row, 0);
    m_modified = true;
}

void CATabelVvodDlg::DeleteRow()
{
    const int selected = SingleSelectedRow();
    if (m_slot == 0 || m_groupMode || selected < 0)
        return;
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (!base.altTabel.removeLine(int(m_slot), selected - Grid()->GetFixedRowCount()))
        return;
    Grid()->DeleteRow(selected);
    Grid()->SetFocusCell(-1, -1);
    FitLastColumn();
    m_modified = true;
}

void CATabelVvodDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && !m_groupMode && !SaveRecord())
        return;
    CEmployeeDetailDlg::keyPressEvent(event);
}

// ------------------------------------------------------------------ group operations

bool CATabelVvodDlg::ReadEnteredRow()
{
    m_entered = RowCells(Grid()->GetFixedRowCount());
    return true;
}

int CATabelVvodDlg::FinishGroup(bool changed, const QStringList& skipped)
{
    m_groupMode = false;
    // Lines the base refused stay in memory; the next save stores them.
    if (changed && !StoreLines())
        m_modified = true;
    if (!skipped.isEmpty())
        KalvorMessageBox(kBaseFull + QStringLiteral("\nЗапись не добавлена:\n") + skipped.join(QLatin1Char('\n')),
                         MB_OK | MB_ICONWARNING, QString(), this);
    return 1;
}

int CATabelVvodDlg::GroupAppend()
{
    const en::AltTabelGroupResult result = en::GroupAppendAltTabel(View()->Document()->infoBase, m_entered);
    return FinishGroup(result.changed, result.skipped);
}

int CATabelVvodDlg::GroupMarkMatching()
{
    m_matchedLines = en::FindAltTabelMatches(View()->Document()->infoBase, m_entered);
    return 1;
}

int CATabelVvodDlg::GroupCorrect()
{
    const en::AltTabelGroupResult result =
        en::GroupCorrectAltTabel(View()->Document()->infoBase, m_matchedLines, m_entered);
    m_matchedLines = {};
    return FinishGroup(result.changed, result.skipped);
}

int CATabelVvodDlg::GroupDelete()
{
    const en::AltTabelGroupResult result = en::GroupDeleteAltTabel(View()->Document()->infoBase, m_entered);
    return FinishGroup(result.changed, result.skipped);
}
