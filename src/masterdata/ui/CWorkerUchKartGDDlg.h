// "Основные данные": the first page of the record card (dialog 333). The
// employee's name, attributes, money rates, dates and cost codes; in group
// mode Enter writes the filled fields into every marked employee.
#pragma once

#include "masterdata/EmployeeCard.h"
#include "masterdata/ui/CWorkerUchKartPage.h"

class CWorkerUchKartGDDlg : public CWorkerUchKartPage {
    Q_OBJECT
public:
    static constexpr int IDD = 333;

    explicit CWorkerUchKartGDDlg(CCommonFormView* view);

    void LoadRecord(quint32 slot) override;
    int SaveRecord() override;
    void BeginGroup() override;
    int GroupAppend() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void BuildForm();
    // The field's input: a picker, a cost code's edit, a coded edit or an edit.
    void AddField(const kalvor::masterdata::MainDataField& field);
    void ShowFields(const kalvor::masterdata::MainDataFields& fields);
    // The name of a coded field's value beside it.
    void ShowValueName(int id);
    kalvor::masterdata::MainDataFields ReadFields() const;
    // The typed values checked: false after the refusal of the first bad one.
    bool CheckFields(const kalvor::masterdata::MainDataFields& fields);
    // The books the shop and the profession name. The shown employee's
    // stored number is taken as it stands, also when its book no longer
    // holds it (as a grid keeps a stored cell until it is typed into): only
    // a number typed must be in the book.
    kalvor::masterdata::CardBooks Books() const;
    kalvor::masterdata::MainDataTarget TargetOf(int slot);
    bool SaveEmployee(int slot);
    // The planned advance left changed: one larger than what the card as
    // typed can earn in the month is asked about; "Нет" shows the advance
    // taken before again.
    void AskAboutAdvance();

    QString m_advanceTaken; // the planned advance last shown or taken
};
