#include "exchange/ui/CExchangeTaskView.h"

#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QLineEdit>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

// The message boxes of the exchange workers: owned by the main window.
class ExchangeBoxes : public kalvor::exchange::ExchangeMessenger {
public:
    void ShowError(const QString& text) const override
    {
        KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption));
    }
    void ShowInformation(const QString& text) const override
    {
        KalvorMessageBox(text, MB_OK | MB_ICONINFORMATION, QString::fromUtf8(kMessageCaption));
    }
    void ShowDbError(const kalvor::db::DbError& error) const override { ShowComError(error); }
    void ShowMessage(const QString& text) const override
    {
        KalvorMessageBox(text, MB_OK, QString::fromUtf8(kMessageCaption));
    }
    bool AskYesNo(const QString& text) const override
    {
        return KalvorMessageBox(text, MB_YESNO | MB_ICONQUESTION, QString::fromUtf8(kMessageCaption)) == IDYES;
    }
};

} // namespace

CExchangeTaskView::CExchangeTaskView(int formId, LeaveTo leaveTo, CKalvorDoc* doc, QWidget* parent)
    : CTaskFormView(formId, doc, parent), m_leaveTo(leaveTo)
{}

void CExchangeTaskView::LeaveFunction()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    // The worker ends before the next screen is shown, so that screen never
    // meets the document half written.
    StopWorker();
    if (m_leaveTo == LeaveToMainPanel) {
        frame->OnMainPanelAddFunctions();
        return;
    }
    frame->SwitchView<CEmptyView>();
    frame->ShowWorkPanel(m_leaveTo);
}

const kalvor::exchange::ExchangeMessenger& CExchangeTaskView::WorkerBoxes()
{
    static const ExchangeBoxes boxes;
    return boxes;
}

void CExchangeTaskView::OnDbfProgress(int position, int count)
{
    auto setNumber = [this](int id, int value) {
        if (auto* field = controlAs<QLineEdit>(id))
            field->setText(value != 0 ? QString::number(value) : QString());
    };
    const auto& base = Document()->infoBase;
    if (position < 0 || position >= base.employeeCount()) {
        for (int id : {int(IdPersonnelNumberField), int(IdShopField), int(IdBrigadeField)}) setNumber(id, 0);
        return;
    }
    const auto& entry = base.list[std::size_t(position)];
    setNumber(IdPersonnelNumberField, entry.tabN());
    if (count == 0 && base.holdsSlot(entry.slot)) {
        setNumber(IdShopField, base.shopOf(entry.slot));
        setNumber(IdBrigadeField, base.attributesOf(entry.slot).brig);
    }
    update();
}

std::function<void(int, int)> CExchangeTaskView::DbfProgressSender(QPointer<CExchangeTaskView> view,
                                                                   TaskContext& context)
{
    return [view, &context](int position, int count) {
        context.runOnGui([&] {
            if (view)
                view->OnDbfProgress(position, count);
            return 0;
        });
    };
}

void OnTaskDoneDbf(CCommonFormView& view, TaskMarquee& marquee, int result, int detail)
{
    EndTaskRun(view, marquee);
    ShowTaskResult(&view, result, detail, QStringLiteral("Нет данных для выполнения операции"));
}
