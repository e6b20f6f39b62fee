#include "masterdata/ui/CRefMasksView.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBase.h"
#include "masterdata/GridBooks.h"
#include "masterdata/UnsavedBooks.h"
#include "masterdata/ui/BookGrid.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/CKalvorDoc.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace kalvor::masterdata;
using namespace GridCtrl;

namespace {

constexpr COLORREF kInMaskText = MakeColour(240, 100, 0);
constexpr COLORREF kInMaskBack = MakeColour(255, 255, 180);
constexpr COLORREF kOtherText = MakeColour(0, 0, 0);
constexpr COLORREF kOtherBack = MakeColour(255, 255, 255);

} // namespace

CRefMasksView::CRefMasksView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefMasksView"));
    // A save the base refused last time is still owed.
    m_changed = TakeUnsavedBook(doc->infoBase, RefBook::Masks);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    auto* buttons = new QHBoxLayout;
    m_toggle = new QPushButton(QStringLiteral("Добавить /  Убрать  (F2)"), this);
    m_toggle->setAutoDefault(false);
    m_toggle->setFocusPolicy(Qt::NoFocus);
    SetControl(IdToggle, m_toggle);
    buttons->addWidget(m_toggle);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    m_box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(m_box);
    m_grid = CreateBookGrid(this, IdGrid, 1);
    m_grid->setParent(m_box);
    m_grid->SetEditable(false);
    boxLayout->addWidget(m_grid);
    layout->addWidget(m_box, 1);
    SetBookGridColumns(m_grid, {ShownColumn(QStringLiteral("Код")), ShownColumn(QStringLiteral("Начисление/Удержание"))},
                       {0.2});
    ConnectBookGridFocus(this, m_grid);
    connect(m_toggle, &QPushButton::clicked, this, &CRefMasksView::ToggleFocusedKind);
    FillGrid();
}

CRefMasksView::~CRefMasksView() { SaveMasks(); }

void CRefMasksView::OnInitialUpdate()
{
    resizeEvent(nullptr);
    m_grid->setFocus();
    if (m_grid->GetRowCount() > 1) {
        m_grid->SetFocusCell(1, 0);
        m_grid->SetSelectedRange(1, 0, 1, 1);
    }
}

void CRefMasksView::resizeEvent(QResizeEvent* event)
{
    if (event)
        CCommonFormView::resizeEvent(event);
    m_grid->SetColumnWidth(0, m_grid->viewport()->width() / 5);
    FitBookGridColumns(m_grid);
}

void CRefMasksView::FillGrid()
{
    m_box->setTitle(QStringLiteral("Маска %1").arg(m_mask));
    std::vector<QStringList> rows;
    for (const auto& kind : Document()->infoBase.payKinds()) rows.push_back({QString::number(kind.kod), kind.name});
    FillBookGrid(m_grid, rows);
    for (int row = 1; row < m_grid->GetRowCount(); ++row) PaintRow(row);
    m_grid->Refresh();
}

int CRefMasksView::KindCodeOfRow(int row) const
{
    const auto& base = Document()->infoBase;
    const int number = kalvor::infobase::NumberOfPlace(row - m_grid->GetFixedRowCount());
    return base.holdsPayKind(number) ? base.payKindAt(number).kod : -1;
}

void CRefMasksView::PaintRow(int row)
{
    const bool inMask = KindInMask(Document()->infoBase.firm, m_mask, KindCodeOfRow(row));
    for (int col = 0; col < m_grid->GetColumnCount(); ++col) {
        m_grid->SetItemFgColour(row, col, inMask ? kInMaskText : kOtherText);
        m_grid->SetItemBkColour(row, col, inMask ? kInMaskBack : kOtherBack);
    }
    m_grid->RedrawRow(row);
}

void CRefMasksView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

void CRefMasksView::NextElement()
{
    if (m_mask + 1 >= kMaskCount)
        return;
    ++m_mask;
    FillGrid();
}

void CRefMasksView::PrevElement()
{
    if (m_mask == 0)
        return;
    --m_mask;
    FillGrid();
}

void CRefMasksView::SelectElement() { ToggleFocusedKind(); }

void CRefMasksView::ToggleFocusedKind()
{
    const int row = m_grid->GetFocusCell().row;
    const int code = KindCodeOfRow(row);
    if (code < 0)
        return;
    ToggleKindInMask(Document()->infoBase.firm, m_mask, code);
    m_changed = true;
    PaintRow(row);
    if (row + 1 < m_grid->GetRowCount()) {
        m_grid->SetFocusCell(row + 1, 0);
        m_grid->SetSelectedRange(row + 1, 0, row + 1, m_grid->GetColumnCount() - 1);
        m_grid->EnsureVisible(row + 1, 0);
    }
    m_grid->setFocus();
}

bool CRefMasksView::SaveMasks()
{
    if (!m_changed)
        return true;
    auto& base = Document()->infoBase;
    if (!SaveFirmRecord(base)) {
        RememberUnsavedBook(base, RefBook::Masks);
        return false;
    }
    m_changed = false;
    return true;
}
