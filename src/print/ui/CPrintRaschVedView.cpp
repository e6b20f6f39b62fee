#include "print/ui/CPrintRaschVedView.h"

#include "print/PayrollPrintRuns.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/CScan.h"

#include <QLineEdit>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CPrintRaschVedView::CPrintRaschVedView(CKalvorDoc* doc, QWidget* parent) : CPrintTaskView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Печать расчетной ведомости"));
    AddSelectionFields();
    AddField(kStatementKindField, QStringLiteral("Вид ведомости (по умолчанию расчетная)"));
    EndForm();
}

bool CPrintRaschVedView::ReadFormValues()
{
    if (!CPrintTaskView::ReadFormValues())
        return false;
    int kind = 0;
    const auto* field = controlAs<QLineEdit>(kStatementKindField);
    if (!field || !kalvor::ScanInt(field->text(), kind))
        kind = 0;
    m_statementKind = kalvor::print::StatementKindInRange(kind);
    return true;
}

TaskThread::Body CPrintRaschVedView::MakeTaskBody()
{
    kalvor::print::PrintRaschVedParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.document = Document();
    params.statementKind = m_statementKind;
    return [params](TaskContext& context) { return kalvor::print::PrintRaschVedThreadProc(context, params); };
}
