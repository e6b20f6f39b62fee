// "Чтение файла табельного учета" (form 471) on the "Табель" panel: the name
// of the time-sheet file handed over by a time-keeping program and the strip
// of shop, brigade, profession and personnel number; "Читать" checks the file
// and counts the chosen employees in it on a worker thread.
#pragma once

#include "entries/TabelFileReader.h"
#include "shell/ui/CTaskFormView.h"

enum TabelReadControl : int {
    IdTabelFileField = 1255, // "Имя промежуточного файла"
};

class CommandRegistry;

class CTabelReadView : public CTaskFormView {
    Q_OBJECT
public:
    static constexpr int kFormId = 471;
    static constexpr int kCommandId = 32835;
    static constexpr int kPanel = 7; // "Табель"
    static constexpr int kFileNameLength = 259;

    explicit CTabelReadView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CTabelReadView() override;

    // F1: the path hint on 1255 and the brigade hint on 1253; the strip's help
    // on the other fields.
    void ShowFormHelp() override;
    // Esc goes back to the empty view and the "Табель" panel.
    void LeaveFunction() override;

protected:
    // The file name and the strip; the personnel number becomes the
    // document's current one.
    bool ReadFormValues() override;
    kalvor::platform::TaskThread::Body MakeTaskBody() override;
    // The end of a run with the reader's messages (OnCopyBaseWorkerDone).
    void OnWorkerDone(int result, int detail, const QString& failure) override;

private:
    QString m_fileName;
};

// Command 32835 "Чтение файла табел. учета" on the "Табель" panel.
void RegisterTabelReadScreen(CommandRegistry& registry);
