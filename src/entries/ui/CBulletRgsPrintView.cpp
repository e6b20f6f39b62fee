#include "entries/ui/CBulletRgsPrintView.h"

#include "entries/EntryRegisters.h"
#include "shell/ui/CKalvorDoc.h"

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

CBulletRgsPrintView::CBulletRgsPrintView(CKalvorDoc* doc, QWidget* parent) : CEntryRegisterView(kFormId, doc, parent)
{
    BeginForm(QStringLiteral("Печать реестра больничных"));
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха (по умолчанию вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умочанию все бригады)"));
    AddSelectionField(IdProfessionField, QStringLiteral("Код профессии (по умолчанию все профессии)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер (по умолчанию все работники)"));
    EndForm();
}

TaskThread::Body CBulletRgsPrintView::MakeTaskBody()
{
    kalvor::EntryRegisterParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.document = Document();
    params.prompt = &m_prompt;
    return [params](TaskContext& context) { return kalvor::SickLeaveRegisterWorker(context, params); };
}
