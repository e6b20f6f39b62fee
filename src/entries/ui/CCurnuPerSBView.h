// "Перечисления в банки" (form 353): the standing transfers of part of the
// pay to banks, with the selection strip, the entry dialog in the frame box
// and the group panel.
#pragma once

#include "shell/ui/EmployeeScreen.h"

class CCurnuPerSBDlg;

class CCurnuPerSBView : public CEmployeeDetailView {
    Q_OBJECT
public:
    static constexpr int IDD = 353;
    static constexpr int kEntryScreen = 2;

    explicit CCurnuPerSBView(CKalvorDoc* doc, QWidget* parent = nullptr);

    void OnInitialUpdate() override;
    // F4 / F3: save, then the next or previous employee with transfers.
    void NextElement() override;
    void PrevElement() override;
    void ApplySelection() override;
    // Kinds marked in the code column's list make no group.
    void TakeHelpValues(const QStringList& values) override;
    bool LoadsDatedArchive() const override { return false; }

    CCurnuPerSBDlg* Dlg() const;
    // "%d|%s": the recipients of the "bank" reference file, numbered from 1.
    QStringList RecipientLines() const;

protected:
    CEmployeeDetailDlg* CreateDialog() override;
    void ShowGridHelp(int column) override;
};
