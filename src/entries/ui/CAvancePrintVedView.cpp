#include "entries/ui/CAvancePrintVedView.h"

#include "entries/AdvanceStatement.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/CScan.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr std::uint16_t kPayKindMark = 0x8000;
constexpr int kListCorner = 3;

} // namespace

QStringList NoYesLines() { return {QStringLiteral("|Нет"), QStringLiteral("1|Да")}; }

CAvancePrintVedView::CAvancePrintVedView(CKalvorDoc* doc, QWidget* parent)
    : CAvancePrintVedView(kFormId, kFields, doc, parent)
{}

CAvancePrintVedView::CAvancePrintVedView(int formId, unsigned fields, CKalvorDoc* doc, QWidget* parent)
    : CPrintPlatVedView(formId, fields, QStringLiteral("Печать ведомости"), doc, parent)
{}

void CAvancePrintVedView::ShowFormHelp()
{
    if (m_focusedId == IdWithoutPauseBox || m_focusedId == IdNewEmployeesBox) {
        ShowHelpList(NoYesLines(), {kListCorner, false, 200, 80});
        return;
    }
    CPrintPlatVedView::ShowFormHelp();
}

void CAvancePrintVedView::TakeHelpValues(const QStringList& values)
{
    if (m_focusedId != IdPayKindField) {
        CPrintPlatVedView::TakeHelpValues(values);
        return;
    }
    MarkChosenPayKinds(values);
    m_payKindsMarked = true;
    OnStartButton();
    m_payKindsMarked = false;
}

void CAvancePrintVedView::MarkChosenPayKinds(const QStringList& codes)
{
    auto& base = Document()->infoBase;
    const int count = int(base.payKinds().size());
    for (int number = 1; number <= count; ++number) {
        auto& kind = base.payKindAt(number);
        kind.flags = std::uint16_t(kind.flags & ~kPayKindMark);
    }
    for (const QString& text : codes) {
        int code = 0;
        if (!kalvor::ScanInt(text, code))
            continue;
        for (int number = 1; number <= count; ++number)
            if (auto& kind = base.payKindAt(number); kind.kod == code)
                kind.flags = std::uint16_t(kind.flags | kPayKindMark);
    }
}

kalvor::PaymentStatementParams CAvancePrintVedView::StatementParams()
{
    kalvor::PaymentStatementParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    const PaymentFormValues& form = FormValues();
    params.outputMode = form.outputMode;
    params.firstSheet = form.firstSheet;
    params.lastSheet = form.lastSheet;
    params.withoutPause = form.withoutPause;
    params.newEmployeesOnly = form.newEmployeesOnly;
    params.allPayKinds = !m_payKindsMarked && form.payKind == 0 ? 1 : 0;
    params.payKind = form.payKind;
    params.document = Document();
    params.prompt = &m_prompt;
    return params;
}

TaskThread::Body CAvancePrintVedView::MakeTaskBody()
{
    return
        [params = StatementParams()](TaskContext& context) { return kalvor::AdvanceStatementWorker(context, params); };
}
