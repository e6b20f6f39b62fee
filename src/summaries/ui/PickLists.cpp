#include "summaries/ui/PickLists.h"

#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"

namespace {

constexpr int kMaxShopLines = 250;

void showUnder(CCommonFormView* view, int controlId, const QStringList& lines)
{
    if (!view)
        return;
    if (QWidget* field = view->control(controlId)) {
        view->m_focusedId = controlId;
        view->m_focusedWnd = field;
        view->m_focusedGrid = nullptr;
    }
    view->ShowHelpList(lines, {3, false, 300, 300});
}

} // namespace

QStringList ShopPickLines(const CKalvorDoc& doc)
{
    QStringList lines = CCommonFormView::ShopLines(doc);
    if (lines.size() > kMaxShopLines)
        lines.resize(kMaxShopLines);
    return lines;
}

QStringList ProfessionPickLines(const CKalvorDoc& doc) { return CCommonFormView::ProfessionLines(doc); }

void ShowShopPickList(CCommonFormView* view)
{
    if (view && view->Document())
        showUnder(view, 1252, ShopPickLines(*view->Document()));
}

void ShowProfessionPickList(CCommonFormView* view)
{
    if (view && view->Document())
        showUnder(view, 1254, ProfessionPickLines(*view->Document()));
}
