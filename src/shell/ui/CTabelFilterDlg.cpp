#include "shell/ui/CTabelFilterDlg.h"

#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

CWorkersFilterDlg::CWorkersFilterDlg(int dialogId, CCommonFormView* view)
    : CFormChildDlg(dialogId, view), m_layout(new QHBoxLayout(this))
{
    setObjectName(dialogId == 445 ? QStringLiteral("CTabelFilterDlg") : QStringLiteral("CWorkersFilterDlg"));
    m_layout->setContentsMargins(4, 2, 4, 2);
    // The fields stand at the left, each label beside its own field; the
    // room left over goes to the end of the strip.
    m_layout->addStretch(1);
    for (const auto& [id, width] : {std::pair{int(IdShop), 40}, {int(IdBrigade), 40}, {int(IdProfession), 50}})
        AddField(id, SelectionFieldName(id), width, KindOf(id, SelectionFieldName(id)));
}

InputKind CWorkersFilterDlg::KindOf(int id, const QString& label) const
{
    return SelectionKind(id, label, View() ? View()->Document() : nullptr);
}

CTypedEdit* CWorkersFilterDlg::AddField(int id, const QString& label, int width, InputKind kind)
{
    m_fields.push_back(id);
    auto* l = new QLabel(label, this);
    auto* e = new CTypedEdit(std::move(kind), this);
    e->setFixedWidth(width);
    e->LeaveFreelyWhenRefused();
    e->installEventFilter(this);
    l->setBuddy(e);
    const int end = m_layout->count() - 1; // before the closing stretch
    m_layout->insertWidget(end, l);
    m_layout->insertWidget(end + 1, e);
    m_layout->insertSpacing(end + 2, 12);
    SetControl(id, e);
    return e;
}

bool CWorkersFilterDlg::CheckFields()
{
    for (int id : m_fields)
        if (CTypedEdit* field = Field(id); !field->Read())
            return false;
    return true;
}

void CWorkersFilterDlg::ReadFields(int* shop, int* brigade, int* profession) const
{
    *shop = TypedValue(*this, IdShop);
    *brigade = TypedValue(*this, IdBrigade);
    *profession = TypedValue(*this, IdProfession);
}

void CWorkersFilterDlg::FocusFirstField() const
{
    if (QLineEdit* field = Field(IdShop))
        field->setFocus();
}

bool CWorkersFilterDlg::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_focusedField = ControlId(field);
            GreyEntryWhileStripHasFocus(this, [this] {
                if (View())
                    View()->EnableEntry(false);
            });
            break;
        case QEvent::FocusOut:
            // A strip's field is read when the strip is applied (Enter, a
            // pick), before anything runs, not when it is left: the focus goes
            // to the entry freely and a refused choice is said once.
            field->setModified(false);
            break;
        case QEvent::MouseButtonDblClick:
            field->setFocus();
            m_focusedField = ControlId(field);
            ShowFieldPickList();
            return true;
        case QEvent::KeyPress: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                OnEnter();
                return true;
            }
            if (key == Qt::Key_Escape) {
                LeaveScreen();
                return true;
            }
            break;
        }
        default: break;
        }
    }
    return CFormChildDlg::eventFilter(watched, event);
}

void CWorkersFilterDlg::LeaveScreen()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    // A run of the screen is not left behind silently: stopped on "Да"
    // (and said so), or the screen stays.
    if (!frame->ConfirmStopWork())
        return;
    const int panel = frame->Registry()->EntryScreenPanel(int(frame->Document()->LastEntryScreen));
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(panel);
}

void CWorkersFilterDlg::ShowFieldPickList()
{
    CCommonFormView* v = View();
    if (!v)
        return;
    switch (m_focusedField) {
    case IdShop: v->PickShop(); break;
    case IdBrigade:
        v->ShowFieldHint(QStringLiteral("Укажите номер бригады\nЭто должно быть число в пределах от 1 до 99"), 3, 300);
        break;
    case IdProfession: v->PickProfession(); break;
    default: break;
    }
}

CTabelFilterDlg::CTabelFilterDlg(int first, int second, CCommonFormView* view, NumberOf number)
    : CWorkersFilterDlg(445, view), m_first(first), m_second(second)
{
    InputKind kind = KindOf(IdTabN, SelectionFieldName(IdTabN));
    if (number == NumberOf::NewRecordToo)
        kind.book = {}; // within the list's range; the screen offers a number it lacks for creation
    AddField(IdTabN, SelectionFieldName(IdTabN), 60, std::move(kind));
}

void CTabelFilterDlg::FocusFirstField() const
{
    if (QLineEdit* field = Field(IdTabN))
        field->setFocus();
}

void CTabelFilterDlg::SetPersonnelNumber(unsigned tabN) { Field(IdTabN)->setText(QString::number(tabN)); }

unsigned CTabelFilterDlg::PersonnelNumber() const
{
    const int v = TypedValue(*this, IdTabN);
    return v > 0 ? unsigned(v) : 0;
}

void CTabelFilterDlg::PostApply()
{
    QTimer::singleShot(0, this, [this] {
        if (Field(IdTabN)->hasFocus() && View())
            View()->ApplySelection();
    });
}

void CWorkersFilterDlg::OnEnter()
{
    if (View())
        View()->ApplySelection();
}

void CTabelFilterDlg::ShowFieldPickList()
{
    CCommonFormView* v = View();
    if (v && m_focusedField == IdTabN) {
        // The list is filtered by the keys as they read: one that does not is refused, never "any".
        for (int id : {int(IdShop), int(IdBrigade), int(IdProfession)})
            if (!Field(id)->Read())
                return;
        int shop = 0, brigade = 0, profession = 0;
        ReadFields(&shop, &brigade, &profession);
        v->PickEmployee(3, shop, brigade, profession);
        return;
    }
    CWorkersFilterDlg::ShowFieldPickList();
}
