#include "entries/ui/CCurnuPerSBView.h"

#include "entries/ui/CCurnuPerSBDlg.h"
#include "entries/ui/MonthEntrySteps.h"
#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"

namespace ib = kalvor::infobase;

namespace {

bool HasTransfers(const ib::EmployeeAttributes& attr) { return attr.priznBank != 0; }

} // namespace

CCurnuPerSBView::CCurnuPerSBView(CKalvorDoc* doc, QWidget* parent)
    : CEmployeeDetailView(IDD, QStringLiteral("Перечисления в банки"), doc, parent)
{
    setObjectName(QStringLiteral("CCurnuPerSBView"));
}

CCurnuPerSBDlg* CCurnuPerSBView::Dlg() const { return static_cast<CCurnuPerSBDlg*>(DetailDlg()); }

CEmployeeDetailDlg* CCurnuPerSBView::CreateDialog() { return new CCurnuPerSBDlg(this); }

void CCurnuPerSBView::OnInitialUpdate()
{
    CEmployeeDetailView::OnInitialUpdate();
    Document()->LastEntryScreen = kEntryScreen;
}

void CCurnuPerSBView::NextElement() { StepToEmployeeWithEntries(*this, +1, HasTransfers); }

void CCurnuPerSBView::PrevElement() { StepToEmployeeWithEntries(*this, -1, HasTransfers); }

void CCurnuPerSBView::ApplySelection() { ApplySelectionBody(*this); }

void CCurnuPerSBView::TakeHelpValues(const QStringList& values)
{
    if (Dlg() && m_focusedWnd == Dlg()->Grid())
        return;
    CEmployeeDetailView::TakeHelpValues(values);
}

QStringList CCurnuPerSBView::RecipientLines() const
{
    QStringList lines;
    const auto& ref = Document()->refFiles;
    for (int number = 1; ref.holdsRecipient(number); ++number)
        lines << QStringLiteral("%1|%2").arg(number).arg(ref.recipientAt(number).recipient.trimmed());
    return lines;
}

void CCurnuPerSBView::ShowGridHelp(int column)
{
    switch (column) {
    case 0: PickPayKind2(); break;
    case 1:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРР.КК\nНезначащие нули можно опустить."), 3, 300);
        break;
    case 2: ShowHelpList(RecipientLines(), {3, false, 400, 300}); break;
    case 3:
    case 4:
    case 5: ShowFieldHint(QStringLiteral("Введите данные в соответствии с назначением этого поля."), 3, 300); break;
    default: break;
    }
}
