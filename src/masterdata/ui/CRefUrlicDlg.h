#pragma once
// The form of one transfer recipient (dialog 340) hosted by the legal-entity
// book: the eight fields of the "bank" file's record. Changed fields go back
// into the table cut to their widths; when the dialog goes, the table is
// written to "bank" if anything changed.
#include "shell/ui/CFormChildDlg.h"

#include <array>

class QLineEdit;

class CRefUrlicDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum { DialogId = 340 };
    // Control numbers of the fields in record order.
    static constexpr std::array<int, 8> kFieldIds = {1205, 1202, 1048, 1204, 1203, 1050, 1108, 1109};

    explicit CRefUrlicDlg(CCommonFormView* view);
    ~CRefUrlicDlg() override;

    // Shows recipient `number` (1-148).
    void LoadRecord(quint32 number) override;
    // Stores the changed fields of the shown recipient; 1.
    int SaveRecord() override;
    // Writes "bank" when a recipient changed; false when the file could not
    // be written (the message was shown; the table stays in memory).
    bool WriteRecipients();

    QLineEdit* Field(int index) const { return m_fields[std::size_t(index)]; }
    void FocusFirstField();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::array<QLineEdit*, 8> m_fields{};
};
