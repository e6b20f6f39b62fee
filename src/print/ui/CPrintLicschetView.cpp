#include "print/ui/CPrintLicschetView.h"

#include "print/PayrollPrintRuns.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/CScan.h"

#include <QLineEdit>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CPrintLicschetView::CPrintLicschetView(CKalvorDoc* doc, QWidget* parent) : CPrintTaskView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Печать лицевых счетов"));
    AddSelectionFields();
    AddField(kPrintFormatField, QStringLiteral("Формат печати (по умолчанию в книжном)"),
             {QStringLiteral("Формат печати"),
              kalvor::WholeFigure(kalvor::print::AccountPortrait, kalvor::print::AccountText)});
    EndForm();
}

bool CPrintLicschetView::ReadFormValues()
{
    if (!CPrintTaskView::ReadFormValues())
        return false;
    m_printFormat = kalvor::print::PrintFormatInRange(TypedValue(*this, kPrintFormatField));
    return true;
}

TaskThread::Body CPrintLicschetView::MakeTaskBody()
{
    kalvor::print::PrintLicschetParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.document = Document();
    params.printFormat = m_printFormat;
    return [params](TaskContext& context) { return kalvor::print::PrintLicschetThreadProc(context, params); };
}
