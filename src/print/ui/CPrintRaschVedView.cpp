#include "print/ui/CPrintRaschVedView.h"

#include "print/PayrollPrintRuns.h"
#include "print/SettlementStatement.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/CScan.h"

#include <QLineEdit>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CPrintRaschVedView::CPrintRaschVedView(CKalvorDoc* doc, QWidget* parent) : CPrintTaskView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Печать расчетной ведомости"));
    AddSelectionFields();
    AddField(kStatementKindField, QStringLiteral("Вид ведомости (по умолчанию расчетная)"),
             {QStringLiteral("Вид ведомости"),
              kalvor::WholeFigure(kalvor::print::SettlementT51, kalvor::print::SettlementBudget)});
    EndForm();
}

bool CPrintRaschVedView::ReadFormValues()
{
    if (!CPrintTaskView::ReadFormValues())
        return false;
    m_statementKind = kalvor::print::StatementKindInRange(TypedValue(*this, kStatementKindField));
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
