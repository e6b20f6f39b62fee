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
    AddField(kPrintFormatField, QStringLiteral("Формат печати (по умолчанию в книжном)"));
    EndForm();
}

bool CPrintLicschetView::ReadFormValues()
{
    if (!CPrintTaskView::ReadFormValues())
        return false;
    int format = 0;
    const auto* field = controlAs<QLineEdit>(kPrintFormatField);
    if (!field || !kalvor::ScanInt(field->text(), format))
        format = 0;
    m_printFormat = kalvor::print::PrintFormatInRange(format);
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
