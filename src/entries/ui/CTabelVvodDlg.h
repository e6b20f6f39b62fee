// The main time sheet's entry dialog (dialog 378): the 26 fields of the
// employee's TabelRecord in two columns, the DBF check box and the button
// "Корректировка ставок".
#pragma once

#include "entries/TabelEntry.h"
#include "entries/ui/RateCorrection.h"
#include "shell/ui/CFormChildDlg.h"

#include <QLineEdit>

class QCheckBox;

class CTabelVvodDlg : public CFormChildDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 378;
    enum { IdDbf = 1261, IdCorrectRates = 1306 };

    CTabelVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection);

    void LoadRecord(quint32 slot) override;
    int SaveRecord() override;
    void BeginGroup() override;
    int GroupAppend() override;

    // "Корректировка ставок" for the employee shown.
    void OnCorrectRates();

    QLineEdit* Field(int id) const { return controlAs<QLineEdit>(id); }
    QCheckBox* DbfBox() const { return m_dbf; }
    // The first field of the form (the one enabling the entry focuses).
    QWidget* FirstControl() const;

protected:
    // Enter in group mode: the form goes to the group, which then ends. Esc:
    // ends group mode; otherwise the focus goes to the selection strip.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    void ShowRecord(const kalvor::infobase::TabelRecord& record);
    kalvor::entries::TabelTexts FormTexts() const;
    // Reads the form into the shown employee's record; the modified flag
    // is set when a value changed.
    void ReadRecord();
    // Esc with the form changed from the stored record: "Отменить изменения,
    // внесенные в табель?"; on "Да" the stored record is shown again and the
    // entry is editable. False when nothing was changed (Esc then goes to
    // the strip, as before).
    bool AbandonTypedChanges();

    RateCorrectionRunner m_rateCorrection;
    QCheckBox* m_dbf = nullptr;
};
