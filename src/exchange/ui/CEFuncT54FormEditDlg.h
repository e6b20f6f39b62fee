// Dialog 468 "Редактирование отчета": the T-54 work block of one employee
// (two lines of sections 1-3) and the texts of section 1 columns 4 and 5,
// corrected before the page is printed. "Сформировать отчет" stores what was
// typed into the document and the page is printed; "Закрыть" stores nothing.
#pragma once

#include "exchange/T54Form.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>
#include <QString>

#include <array>

class QLineEdit;
class NullableDateEdit;

class CEFuncT54FormEditDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum { DialogId = 468, IdEmployeeText = 1552 };
    static constexpr int EditCount = 30;
    static constexpr int PickerCount = 18;
    // The controls of the 30 edits and of the 18 pickers, in the dialog's
    // order; even positions are line 1, odd positions line 2.
    static const std::array<int, EditCount> EditIds;
    static const std::array<int, PickerCount> PickerIds;

    CEFuncT54FormEditDlg(kalvor::infobase::KalvorDocData& doc, QWidget* parent = nullptr);

    // Opens the dialog modally on the document's work block; QDialog's result.
    static int EditWorkBlock(kalvor::infobase::KalvorDocData& doc, QWidget* parent);

    QLineEdit* Edit(int id) const;
    NullableDateEdit* Picker(int id) const;

public slots:
    void accept() override;

private:
    void BuildForm();
    void FillFromWorkBlock();
    void StoreIntoWorkBlock();

    kalvor::infobase::KalvorDocData& m_doc;
};
