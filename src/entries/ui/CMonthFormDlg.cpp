#include "entries/ui/CMonthFormDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/WaitCursor.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CMonthFormDlg::CMonthFormDlg(int dialogId, CCommonFormView* view) : CFormChildDlg(dialogId, view)
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kFieldBack);
    palette.setColor(QPalette::Base, kFieldBack);
    palette.setColor(QPalette::WindowText, kLabelText);
    setPalette(palette);
}

QLineEdit* CMonthFormDlg::AddField(QGridLayout* grid, int row, int column, const QString& label, int id,
                                   const kalvor::FigureRule& rule, int width, int span, kalvor::BookCheck book)
{
    auto* edit = new CTypedEdit({label, rule, std::move(book)}, this);
    if (width > 0)
        edit->setFixedWidth(width);
    SetControl(id, edit);
    auto* text = new QLabel(label, this);
    text->setBuddy(edit);
    grid->addWidget(text, row, column);
    grid->addWidget(edit, row, column + 1, 1, span);
    return edit;
}

void CMonthFormDlg::NameInBlock(QLineEdit* field, const QString& block)
{
    auto* typed = static_cast<CTypedEdit*>(field);
    InputKind kind = typed->Kind();
    kind.name = QStringLiteral("%1, %2").arg(block, kind.name);
    typed->SetKind(std::move(kind));
}

void CMonthFormDlg::LoadRecord(quint32 slot)
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    if (!base.holdsSlot(int(slot)))
        slot = 0;
    // The modified flag stays: a save the base refused is tried again.
    m_slot = slot;
    if (slot == 0) {
        ShowBlock(ib::EmployeeRecord{});
        return;
    }
    ShowTitle(TitleFormat().arg(base.shortNameOf(slot)));
    ShowBlock(base.current);
}

bool CMonthFormDlg::StoreCurrent(int slot)
{
    try {
        WaitCursor wait;
        en::StoreEmployeeDetail(View()->Document()->infoBase, slot, Saver());
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowEmployeeNotSaved(error, View()->Document()->infoBase, slot);
        return false;
    }
}

int CMonthFormDlg::SaveRecord()
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (m_slot == 0 || m_groupMode || base.currentSlot != int(m_slot))
        return 1;
    if (RefuseUnreadAmounts())
        return 0;
    if (ReadBlock(base.current, false))
        m_modified = true;
    CountBlock(base.current, base.attributesOf(m_slot));
    // What the read rules made of the texts is shown.
    ShowBlock(base.current);
    if (!m_modified)
        return 1;
    if (!StoreCurrent(int(m_slot)))
        return 0;
    m_modified = false;
    return 1;
}

void CMonthFormDlg::BeginGroup()
{
    m_groupMode = true;
    ShowBlock(ib::EmployeeRecord{});
}

bool CMonthFormDlg::RefuseUnreadAmounts() { return !ReadTypedInputs(this); }

int CMonthFormDlg::GroupAppend()
{
    if (RefuseUnreadAmounts())
        return 0;
    ib::EmployeeRecord work;
    if (ReadBlock(work, false))
        m_modified = true;
    if (m_modified) {
        const ib::CInfoBase& base = View()->Document()->infoBase;
        for (int i = 0; i < base.employeeCount(); ++i)
            if (base.list[std::size_t(i)].marked())
                AppendToMember(i);
    }
    m_modified = false;
    m_groupMode = false;
    return 1;
}

void CMonthFormDlg::AppendToMember(int listIndex)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    const int slot = base.list[std::size_t(listIndex)].slot;
    try {
        WaitCursor wait;
        ib::LoadEmployee(base, slot);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return;
    }
    ReadBlock(base.current, true);
    CountBlock(base.current, base.attributesOf(slot));
    StoreCurrent(slot);
}

void CMonthFormDlg::keyPressEvent(QKeyEvent* event)
{
    if (!GroupEnterOrEscape(event))
        CFormChildDlg::keyPressEvent(event);
}
