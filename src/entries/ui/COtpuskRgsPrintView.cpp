#include "entries/ui/COtpuskRgsPrintView.h"

#include "entries/EntryRegisters.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/Values.h"

#include <QLineEdit>

#include <climits>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

COtpuskRgsPrintView::COtpuskRgsPrintView(CKalvorDoc* doc, QWidget* parent) : CEntryRegisterView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Печать реестра отпускных"));
    AddSelectionFields();
    AddField(kFirstPageField, QStringLiteral("Печатать первую страницу  (по умолчанию только вторую)"),
             {QStringLiteral("Печатать первую страницу"), kalvor::WholeFigure(0, 1)});
    EndForm();
}

bool COtpuskRgsPrintView::ReadFormValues()
{
    if (!CEntryRegisterView::ReadFormValues())
        return false;
    m_withNote = TypedValue(*this, kFirstPageField) != 0;
    return true;
}

TaskThread::Body COtpuskRgsPrintView::MakeTaskBody()
{
    kalvor::EntryRegisterParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.document = Document();
    params.prompt = &m_prompt;
    params.withNote = m_withNote;
    return [params](TaskContext& context) { return kalvor::VacationNoteCalcWorker(context, params); };
}
