#include "shell/ui/CFormChildDlg.h"

#include "shell/ui/CCommonFormView.h"

CFormChildDlg::CFormChildDlg(int dialogId, CCommonFormView* view) : QWidget(view), m_dialogId(dialogId), m_view(view)
{
    // The dialog goes with its window; the view holds only a guarded pointer
    // to it, so nothing deletes it twice.
    setAttribute(Qt::WA_DeleteOnClose);
}
