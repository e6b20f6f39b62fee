// "Общие данные": the firm's own data and the firm-wide calculation settings
// (bank, address, head and chief accountant, months of rate rises, allowances,
// sick-leave limits, percents, rounding, the working day, the list order and
// the holidays). Filled from memory when it opens, saved once when the frame
// replaces or closes it.
#pragma once

#include "shell/ui/CCommonFormView.h"

#include <QHash>

class QLineEdit;

class CRefGenInfoView : public CCommonFormView {
    Q_OBJECT
public:
    static constexpr int IDD = 324;

    explicit CRefGenInfoView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefGenInfoView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    // Saves before the frame replaces the view; a field whose value cannot be
    // stored keeps the view, with the message, and the focus on the field.
    bool CanLeave() override;

    QLineEdit* Field(int id) const { return m_fields.value(id, nullptr); }
    // Writes the fields back into memory and, when anything changed, into
    // the base; true when all fields could be stored.
    bool SaveFields();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    // The field of a control, made with its rule (GenInfoFieldRule), read
    // when it is left and at Enter.
    QLineEdit* AddField(int id, QWidget* parent);
    void FillFields();
    void StoreInBase();

    QHash<int, QLineEdit*> m_fields;
    bool m_saved = false;
};
