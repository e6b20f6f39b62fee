#include "shell/ui/CFormChildDlg.h"

#include "grid/GridCtrl.h"
#include "shell/ui/CCommonFormView.h"

#include <QKeyEvent>

CFormChildDlg::CFormChildDlg(int dialogId, CCommonFormView* view) : QWidget(view), m_dialogId(dialogId), m_view(view)
{
    // The dialog goes with its window; the view holds only a guarded pointer
    // to it, so nothing deletes it twice.
    setAttribute(Qt::WA_DeleteOnClose);
}

void CFormChildDlg::FocusStrip() const
{
    if (auto* strip = m_view ? qobject_cast<CFormChildDlg*>(m_view->m_strip.data()) : nullptr)
        strip->FocusFirstField();
}

bool CFormChildDlg::GroupEnterOrEscape(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: AppendGroupAndEnd(); return true;
    case Qt::Key_Escape: EndGroupOrFocusStrip(); return true;
    default: return false;
    }
}

void CFormChildDlg::AppendGroupAndEnd()
{
    if (!m_groupMode || !GroupAppend())
        return;
    if (m_view)
        m_view->CancelGroup();
}

void CFormChildDlg::EndGroupOrFocusStrip()
{
    if (!m_groupMode) {
        FocusStrip();
        return;
    }
    m_groupMode = false;
    if (m_view)
        m_view->CancelGroup();
}

bool CFormChildDlg::EscapeEmptiesGrid(QKeyEvent* event, CGridCtrl& grid)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    EmptyGridAndFocusStrip(grid);
    return true;
}

void CFormChildDlg::EmptyGridAndFocusStrip(CGridCtrl& grid)
{
    SaveRecord();
    grid.DeleteNonFixedRows();
    grid.Refresh();
    FocusStrip();
}
