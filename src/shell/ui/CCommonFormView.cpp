#include "shell/ui/CCommonFormView.h"

#include "grid/GridCtrl.h"
#include "infobase/PayKindCodes.h"
#include "shell/ui/CGroupDlg.h"
#include "shell/ui/CKalvorDoc.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QResizeEvent>
#include <QSpinBox>
#include <QTableWidget>

CCommonFormView::CCommonFormView(int formId, CKalvorDoc* doc, QWidget* parent)
    : QWidget(parent), m_formId(formId), m_doc(doc)
{
    m_focusConnection = connect(qApp, &QApplication::focusChanged, this, &CCommonFormView::OnFocusChanged);
}

CCommonFormView::~CCommonFormView()
{
    // Focus changes during the destruction of the child widgets must not
    // reach a half-destroyed view.
    disconnect(m_focusConnection);
    if (m_hint)
        m_hint->close();
    if (m_helpList)
        m_helpList->close();
}

void CCommonFormView::OnFocusChanged(QWidget* /*old*/, QWidget* now)
{
    if (!now || !isAncestorOf(now))
        return;
    // A grid's viewport or in-place editor counts as the grid.
    for (QWidget* w = now; w && w != this; w = w->parentWidget()) {
        if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<CGridCtrl*>(w) || dynamic_cast<FieldHelpGrid*>(w)) {
            m_focusedGrid = w;
            m_focusedWnd = w;
            const int id = ControlId(w);
            if (id >= 0)
                m_focusedId = id;
            return;
        }
    }
    const int id = ControlId(now);
    if (id >= 0) {
        m_focusedId = id;
        m_focusedWnd = now;
    }
}

bool CCommonFormView::FocusedRect(QRect* rect, int* row, int* col) const
{
    QWidget* w = m_focusedWnd;
    if (!w)
        w = focusWidget();
    if (!w)
        return true; // nothing focused: beside the view's top-left corner
    *row = -1;
    *col = -1;
    if (auto* grid = dynamic_cast<FieldHelpGrid*>(w)) {
        if (!grid->FieldHelpCurrentCell(row, col))
            return false;
        const QRect r = grid->FieldHelpCellRect(*row, *col);
        *rect = QRect(w->mapToGlobal(r.topLeft()), r.size());
        return true;
    }
    if (auto* grid = qobject_cast<CGridCtrl*>(w)) {
        const CCellID cur = grid->GetFocusCell();
        QRect r;
        if (!cur.IsValid() || !grid->GetCellRect(cur.row, cur.col, r))
            return false;
        *row = cur.row;
        *col = cur.col;
        *rect = QRect(grid->viewport()->mapToGlobal(r.topLeft()), r.size());
        return true;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        const QModelIndex cur = view->currentIndex();
        if (!cur.isValid())
            return false;
        *row = cur.row();
        *col = cur.column();
        const QRect r = view->visualRect(cur);
        *rect = QRect(view->viewport()->mapToGlobal(r.topLeft()), r.size());
        return true;
    }
    *rect = QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    return true;
}

void CCommonFormView::ShowFieldHint(const QString& text, int corner, int width)
{
    if (HintShown())
        return;
    QRect field(mapToGlobal(QPoint(0, 0)), QSize(0, 0));
    int row = -1, col = -1;
    if (!FocusedRect(&field, &row, &col))
        field = QRect(mapToGlobal(QPoint(0, 0)), QSize(0, 0));
    auto* hint = new CHintWnd(text, width, this);
    // Beside the field at the corner asked for, or, when that covers the field
    // that Tab goes to, at the first other corner that does not.
    const QRect next = NextFieldRect();
    QPoint at = KeepInside(PlaceBeside(field, corner, hint->size()), hint->size(), WindowArea());
    for (int c : {corner, 0, 2, 1, 3}) {
        const QPoint p = KeepInside(PlaceBeside(field, c, hint->size()), hint->size(), WindowArea());
        const QRect placed(p, hint->size());
        if (!placed.intersects(next) && !placed.intersects(field)) {
            at = p;
            break;
        }
    }
    hint->move(at);
    hint->show();
    m_hint = hint;
}

int CCommonFormView::ShowHelpList(const QStringList& lines, const HelpListStyle& style)
{
    QRect field(mapToGlobal(QPoint(0, 0)), QSize(0, 0));
    int row = -1, col = -1;
    if (!FocusedRect(&field, &row, &col))
        return -1;
    if (m_helpList)
        m_helpList->close();
    if (row >= 0 && col >= 0) {
        m_gridRow = row;
        m_gridCol = col;
    }
    QPointer<QWidget> fieldWidget = m_focusedWnd ? m_focusedWnd : QPointer<QWidget>(focusWidget());
    auto* list = new CFieldHelpList(this, lines, style);
    connect(list, &CFieldHelpList::chosen, this, [this, fieldWidget, row, col](const QString& code) {
        ReturnFocus(fieldWidget);
        TypeValue(fieldWidget, row, col, code);
        OnHelpValueSet();
    });
    // Esc: back to the field.
    connect(list, &CFieldHelpList::cancelled, this, [this, fieldWidget] { ReturnFocus(fieldWidget); });
    connect(list, &CFieldHelpList::chosenMarked, this, [this, fieldWidget](const QStringList& codes) {
        ReturnFocus(fieldWidget);
        TakeHelpValues(codes);
    });
    list->move(KeepInside(PlaceBeside(field, style.corner, list->size()), list->size(), WindowArea()));
    list->show();
    list->table()->setFocus();
    m_helpList = list;
    return 0;
}

QRect CCommonFormView::NextFieldRect() const
{
    QWidget* focused = m_focusedWnd ? m_focusedWnd.data() : focusWidget();
    if (!focused || focused == m_focusedGrid)
        return {};
    for (QWidget* w = focused->nextInFocusChain(); w && w != focused; w = w->nextInFocusChain()) {
        if (w->window() == focused->window() && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy())
            return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
    }
    return {};
}

void FocusFirstInput(QWidget* within)
{
    for (QWidget* w = within->nextInFocusChain(); w && w != within; w = w->nextInFocusChain())
        if (within->isAncestorOf(w) && w->isVisibleTo(within) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    within->setFocus(Qt::OtherFocusReason);
}

QRect CCommonFormView::WindowArea() const
{
    const QWidget* top = window();
    return QRect(top->mapToGlobal(QPoint(0, 0)), top->size());
}

void CCommonFormView::ReturnFocus(QWidget* field)
{
    // The popup took the activation; the frame gets it back, and with it the field.
    window()->activateWindow();
    if (field)
        field->setFocus();
}

void CCommonFormView::TypeValue(QWidget* w, int row, int col, const QString& code)
{
    if (!w)
        return;
    if (auto* grid = dynamic_cast<FieldHelpGrid*>(w)) {
        if (row >= 0 && col >= 0)
            grid->FieldHelpSetCellText(row, col, code);
        return;
    }
    if (auto* grid = qobject_cast<CGridCtrl*>(w)) {
        if (row >= 0 && col >= 0) {
            grid->SetItemText(row, col, code);
            grid->RedrawCell(row, col);
        }
        return;
    }
    if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
        if (view->model() && row >= 0 && col >= 0)
            view->model()->setData(view->model()->index(row, col), code);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(code);
        edit->setModified(true);
        emit edit->textEdited(code);
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        if (combo->isEditable())
            combo->setEditText(code);
        else
            combo->setCurrentIndex(combo->findText(code, Qt::MatchStartsWith));
    } else if (auto* spin = qobject_cast<QSpinBox*>(w)) {
        spin->setValue(code.toInt());
    }
}

// ------------------------------------------------------------ pick lists

QStringList CCommonFormView::ShopLines(const CKalvorDoc& doc)
{
    QStringList lines;
    for (int record = 1; record <= kalvor::infobase::CInfoBase::ShopCount; ++record) {
        const auto& shop = doc.infoBase.shopAt(record);
        if (shop.number == 0 && shop.name.isEmpty())
            break;
        lines << QStringLiteral("%1|%2").arg(shop.number).arg(shop.name);
    }
    return lines;
}

QStringList CCommonFormView::ProfessionLines(const CKalvorDoc& doc)
{
    QStringList lines;
    const auto& ref = doc.refFiles;
    for (int i = 0; i < int(ref.profiCount) && i < int(ref.profi.size()); ++i)
        lines << QStringLiteral("%1|%2").arg(ref.profi[size_t(i)].code).arg(ref.profi[size_t(i)].name.left(26));
    return lines;
}

QStringList CCommonFormView::EmployeeLines(const CKalvorDoc& doc, bool markable, bool marksOnly, int shop, int brigade,
                                           int profession)
{
    QStringList lines;
    const auto& base = doc.infoBase;
    for (int i = 0; i < base.employeeCount(); ++i) {
        if (!EmployeeMatchesFilter(i, shop, brigade, profession))
            continue;
        const auto& e = base.list[size_t(i)];
        const QString name =
            base.holdsSlot(e.slot) ? base.shortNameOf(e.slot) : QString();
        QString line = QStringLiteral("%1|%2").arg(e.tabN()).arg(name);
        if (markable && (!marksOnly || e.marked()))
            line += QStringLiteral("|Mark");
        lines << line;
    }
    return lines;
}

QStringList CCommonFormView::PayKindLines(const CKalvorDoc& doc)
{
    QStringList lines;
    for (const auto& kind : doc.infoBase.payKinds()) {
        QString line = QStringLiteral("%1|%2").arg(kind.kod).arg(kind.name);
        if (!kalvor::IsAccrualCode(kind.kod))
            line += QStringLiteral("|Mark");
        lines << line;
    }
    return lines;
}

void CCommonFormView::PickShop() { ShowHelpList(ShopLines(*m_doc), {3, false, 300, 300}); }

void CCommonFormView::PickProfession() { ShowHelpList(ProfessionLines(*m_doc), {3, false, 300, 300}); }

void CCommonFormView::PickEmployee(int mode, int shop, int brigade, int profession)
{
    const bool multiple = mode == 3;
    ShowHelpList(EmployeeLines(*m_doc, multiple, false, shop, brigade, profession), {3, multiple, 360, 400});
}

void CCommonFormView::PickPayKind() { ShowHelpList(PayKindLines(*m_doc), {3, true, 400, 400}); }

void CCommonFormView::PickPayKind2() { ShowHelpList(PayKindLines(*m_doc), {3, true, 400, 400}); }

void CCommonFormView::ShowProductionCostCodeHint()
{
    ShowFieldHint(QStringLiteral("Введите шифр производственных затрат."), 3, 300);
}

// ----------------------------------------------------------- group panel

void CCommonFormView::OpenGroupPanel()
{
    if (!m_groupPanel)
        m_groupPanel = new CGroupSelectedDlg(this);
    PlaceGroupPanel();
    m_groupPanel->show();
    m_groupPanel->lower();
}

void CCommonFormView::CloseGroupPanel()
{
    if (m_groupPanel) {
        m_groupPanel->hide();
        m_groupPanel->deleteLater();
        m_groupPanel = nullptr;
    }
}

void CCommonFormView::PlaceGroupPanel()
{
    if (!m_groupPanel)
        return;
    m_groupPanel->adjustSize();
    m_groupPanel->move(0, height() - m_groupPanel->height());
}

void CCommonFormView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceGroupPanel();
}

CEmptyView::CEmptyView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(0, doc, parent)
{
    setObjectName(QStringLiteral("CEmptyView"));
}
