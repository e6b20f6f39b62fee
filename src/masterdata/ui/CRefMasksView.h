#pragma once
// The masks of pay kinds (form 359, "Маски"): every pay kind of the base in a
// grid, the kinds of the shown mask in orange on light yellow. F4 and F3 step
// through masks 0-7; F2 and the button "Добавить /  Убрать  (F2)" put the
// focused kind into the mask or take it out. The firm record is saved when
// the book is left, only after a toggle.
#include "shell/ui/CCommonFormView.h"

class CFldHlpGridCtrl;
class QGroupBox;
class QPushButton;

class CRefMasksView : public CCommonFormView {
    Q_OBJECT
public:
    enum { FormId = 359, IdGrid = 1241, IdToggle = 1243 };

    explicit CRefMasksView(CKalvorDoc* doc, QWidget* parent = nullptr);
    ~CRefMasksView() override;

    void OnInitialUpdate() override;
    void NextElement() override;
    void PrevElement() override;
    void SelectElement() override;

    // F2 and the button: the focused kind enters the mask or leaves it.
    void ToggleFocusedKind();
    // Saves the firm record when a mask was toggled; false when the base refused.
    bool SaveMasks();

    bool Changed() const { return m_changed; }
    CFldHlpGridCtrl* Grid() const { return m_grid; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FillGrid();
    void PaintRow(int row);
    int KindCodeOfRow(int row) const;

    CFldHlpGridCtrl* m_grid = nullptr;
    QGroupBox* m_box = nullptr;
    QPushButton* m_toggle = nullptr;
    int m_mask = 0;
    bool m_changed = false;
};
