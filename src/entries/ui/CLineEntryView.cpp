#include "entries/ui/CLineEntryView.h"

#include "entries/ui/TabelDlgShared.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

// ------------------------------------------------------------------ the dialog

CLineEntryDlg::CLineEntryDlg(int dialogId, QSize size, CCommonFormView* view, RateCorrectionRunner rateCorrection)
    : CFormChildDlg(dialogId, view), m_rateCorrection(std::move(rateCorrection))
{
    PaintTabelDialog(*this);
    setFixedSize(size);
}

void CLineEntryDlg::OnCancel() { EndGroupOrFocusStrip(); }

namespace {

QString OverflowText() { return QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."); }

} // namespace

bool CLineEntryDlg::FiguresRead() { return ReadTypedInputs(this); }

int CLineEntryDlg::SaveRecord()
{
    if (m_slot == 0 || m_groupMode)
        return 1;
    if (!CommitDateFields(this) || !FiguresRead())
        return 0;
    ReadLine();
    if (!StoreLines()) {
        KalvorMessageBox(OverflowText(), MB_OK | MB_ICONERROR, QString(), this);
        return 0;
    }
    if (m_modified && !SaveTablesShowingErrors())
        return 0;
    m_modified = false;
    return 1;
}

int CLineEntryDlg::GroupAppend()
{
    QStringList refused;
    const int changed = AppendFormToGroup(&refused);
    m_groupMode = false;
    if (changed > 0)
        SaveTablesShowingErrors();
    if (!refused.isEmpty())
        KalvorMessageBox(OverflowText() + QStringLiteral("\nЗапись не добавлена:\n") + refused.join(QLatin1Char('\n')),
                         MB_OK | MB_ICONWARNING, QString(), this);
    return 1;
}

bool CLineEntryDlg::SaveTablesShowingErrors()
{
    try {
        WaitCursor wait;
        SaveLineTables();
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}

void CLineEntryDlg::OnOK()
{
    if (m_groupMode) {
        AppendGroupAndEnd();
        return;
    }
    if (m_slot == 0 || !FiguresRead())
        return;
    ReadLine();
    ComputeLine(true);
}

void CLineEntryDlg::StepToLine(int step)
{
    if (!FiguresRead())
        return;
    ReadLine();
    if (!StepLine(step))
        return;
    ShowTitle();
    ComputeLine(false);
}

void CLineEntryDlg::OnCorrectRates() { RunRateCorrection(m_rateCorrection, View()->Document(), m_slot, this); }

void CLineEntryDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnOK(); return;
    case Qt::Key_Escape: OnCancel(); return;
    default: CFormChildDlg::keyPressEvent(event);
    }
}

void CLineEntryDlg::ShowLineTitle(const QString& what, int current, int shown)
{
    auto* view = qobject_cast<CLineEntryView*>(View());
    const auto& base = View()->Document()->infoBase;
    if (!view || !base.holdsSlot(int(m_slot)))
        return;
    view->SetFrameTitle(QStringLiteral("%1 %2 из %3  [%4]")
                            .arg(what)
                            .arg(current)
                            .arg(shown)
                            .arg(base.shortNameOf(int(m_slot)).trimmed()));
}

// ------------------------------------------------------------------ the view

CLineEntryView::CLineEntryView(int formId, const QString& frameCaption, int entryScreen,
                               std::vector<LineFieldHelp> help, CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(formId, doc, parent)
    , m_frameCaption(frameCaption)
    , m_entryScreen(entryScreen)
    , m_help(std::move(help))
{}

void CLineEntryView::OnInitialUpdate()
{
    m_filter = new CTabelFilterDlg(1, 2, this);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_frame = new QGroupBox(m_frameCaption, this);
    SetControl(IdFrame, m_frame);
    m_dlg = CreateDialog();
    LayOutEntryBox(*this, layout, m_frame, m_dlg, Qt::AlignLeft);
    Document()->LastEntryScreen = m_entryScreen;
    OpenOnLastEmployee(*this);
}

void CLineEntryView::SetFrameTitle(const QString& text)
{
    if (m_frame)
        m_frame->setTitle(text);
}

void CLineEntryView::ShowFormHelp()
{
    if (m_focusedId < 0)
        return;
    if (ShowStripPickList(*this))
        return;
    if (m_dlg && m_dlg->control(m_focusedId))
        ShowDialogHelp(m_focusedId);
}

void CLineEntryView::ShowDialogHelp(int controlId)
{
    for (const LineFieldHelp& help : m_help) {
        if (help.controlId != controlId)
            continue;
        if (help.lines)
            ShowHelpList(help.lines(), {3, false, help.width, help.height});
        else
            ShowFieldHint(help.hint, 3, help.width);
        return;
    }
}

void CLineEntryView::StepToEmployeeWithLines(int step)
{
    const kalvor::infobase::CInfoBase& base = Document()->infoBase;
    StepToListEntry(*this, step,
                    [this, &base](int listIndex) { return LineCount(base.list[std::size_t(listIndex)].slot) > 0; });
}

void CLineEntryView::NextSubElement()
{
    if (m_dlg && m_dlg->m_slot != 0 && !m_dlg->m_groupMode)
        m_dlg->NextLine();
}

void CLineEntryView::PrevSubElement()
{
    if (m_dlg && m_dlg->m_slot != 0 && !m_dlg->m_groupMode)
        m_dlg->PrevLine();
}

void CLineEntryView::ApplySelection() { ApplySelectionBody(*this); }

void CLineEntryView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable && m_dlg->FirstControl())
        m_dlg->FirstControl()->setFocus();
}

void CLineEntryView::TakeHelpValues(const QStringList& values) { TakeHelpValuesBody(*this, values); }

void CLineEntryView::OnHelpValueSet()
{
    if (CTabelFilterDlg* strip = TabelStripOf(*this))
        strip->PostApply();
}

void CLineEntryView::CancelGroup()
{
    CancelGroupBody(*this);
    SetFrameTitle(m_frameCaption);
}

bool CLineEntryView::CanLeave() { return LeaveEntryScreen(*this); }
