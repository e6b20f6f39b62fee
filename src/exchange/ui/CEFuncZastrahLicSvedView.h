// "Экспорт сведений о застрахованных лицах" (command 32888, form 430): the
// kind of data and the format of the pension-fund pack, the selection strip
// and the pack number; button 1040 or Enter starts the export.
#pragma once

#include "exchange/PfrExportDriver.h"
#include "exchange/ui/CExchangeTaskView.h"

// Control numbers of the form beside the common strip.
enum ZastrahLicSvedControl : int {
    IdPfrKindField = 1436, // the kind of data (PfrExportKind)
    IdPfrPackField = 1104, // the pack number
    IdPfrFormatField = 1105, // the format (PfrFormat)
};

class CEFuncZastrahLicSvedView : public CExchangeTaskView {
    Q_OBJECT
public:
    explicit CEFuncZastrahLicSvedView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CEFuncZastrahLicSvedView() override;

    // F1: the kinds and formats as help lists, the hints of the brigade and
    // the pack number, the common strip's lists.
    void ShowFormHelp() override;

    // The values the last start read.
    const kalvor::exchange::ZastrahLicSvedParams& Params() const { return m_params; }
    // The largest kind the format admits: every kind once the format has
    // its record writer, questionnaires (0) until then.
    static int LargestKind(int format);

protected:
    // The seven fields with their ranges; a value out of range or not a
    // number counts as 0.
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;

private:
    kalvor::exchange::ZastrahLicSvedParams m_params;
};
