// The second tab of the main time sheet (dialog 379): the reporting month as
// a calendar of check boxes, Monday first, one per day, for the days the
// employee worked (the worked-days bitmap of his TabelRecord).
#pragma once

#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/MonthCalendarLayout.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;

class CTabelCorrectDlg : public CFormChildDlg {
    Q_OBJECT
public:
    static constexpr int IDD = 379;
    enum { IdFrame = 1305, IdFirstLabel = 1104, IdFirstBox = 1263 };

    explicit CTabelCorrectDlg(CCommonFormView* view);

    void LoadRecord(quint32 slot) override;
    int SaveRecord() override;

    // Lays the month out: the caption, the day numbers, the cells outside the
    // month hidden.
    void BuildCalendar(int year, int month);

    QGroupBox* Frame() const { return m_frame; }
    QLabel* DayLabel(int cell) const { return m_labels[std::size_t(cell)]; }
    QCheckBox* CellBox(int cell) const { return m_boxes[std::size_t(cell)]; }
    // The check box of a day of the month; null for another day.
    QCheckBox* DayBox(int day) const;
    // The first day's box (the one enabling the entry focuses).
    QWidget* FirstControl() const;

protected:
    // The calendar copies nothing to a group: Enter or Esc in group mode only
    // end it (otherwise a group begun on this tab could not be left).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildForm();
    void ShowWorkedDays();
    void ReadWorkedDays();

    QGroupBox* m_frame = nullptr;
    std::array<QLabel*, MonthCalendarLayout::Cells> m_labels{};
    std::array<QCheckBox*, MonthCalendarLayout::Cells> m_boxes{};
    MonthCalendarLayout m_layout;
};
