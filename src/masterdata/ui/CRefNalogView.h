#pragma once
// The income-tax scales (form 326, "Налоги"): the table number 1079 with
// "Выбрать"; for each of the table's two variants the period of the scale
// ("с" month.year "по" month.year), "Признак перерасчета" and a grid of its
// ten bands. F4 and F3 step through tables 1-20, each time saving the table
// shown. The "nalog" file is written when the book is left, if a table changed.
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TypedInput.h"

#include <array>

class CFldHlpGridCtrl;
class QLineEdit;
class QPushButton;

class CRefNalogView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 326, IdNumber = 1079, IdSelect = 1071, IdFirstGrid = 1241, IdFirstVariantField = 1080 };
    // The fields of a variant, in order; variant v's field f has the control
    // number IdFirstVariantField + 5 v + f.
    enum VariantField { FirstMonth, FirstYear, LastMonth, LastYear, RecalcFlag, FieldsPerVariant };
    static constexpr int kVariants = 2;

    explicit CRefNalogView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefNalogView() override;

    void OnInitialUpdate() override;
    void ShowFormHelp() override;
    void NextElement() override;
    void PrevElement() override;

    // "Выбрать" or Enter in the number field.
    void SelectTable();
    // Reads the shown table back from the form (nothing while none is shown).
    void SaveShownTable();
    // Writes "nalog" when a table changed; false when the file could not be
    // written (the message was shown, the tables stay in memory).
    bool WriteTables();

    int CurrentTable() const { return m_table; }
    bool Changed() const { return m_changed; }
    CTypedEdit* NumberField() const { return m_number; }
    QPushButton* SelectButton() const { return m_select; }
    QLineEdit* Field(int variant, VariantField field) const { return m_fields[std::size_t(variant)][field]; }
    CFldHlpGridCtrl* BandGrid(int variant) const { return m_grids[std::size_t(variant)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* CreateVariantBox(int variant);
    void FillTable();
    void EnableTableFields(bool enable);
    void StepTable(int step);
    void FocusNumberField();

    CTypedEdit* m_number = nullptr;
    QPushButton* m_select = nullptr;
    std::array<std::array<CTypedEdit*, FieldsPerVariant>, kVariants> m_fields{};
    std::array<CFldHlpGridCtrl*, kVariants> m_grids{};
    int m_table = 0; // 1-20, 0 = none chosen yet
    bool m_changed = false;
};
