#pragma once
// One month of one work schedule as a calendar (dialog 337): the month's
// working days and hours, evening and night hours, and the minutes of every
// day in 6 rows of 7 cells, Monday first. With automatic totals a day's cell
// is taken when it loses the focus and the totals follow. Enter opens the
// schedule's definition. The schedules are saved when the dialog goes, if
// anything was changed.
#include "masterdata/ScheduleBook.h"
#include "shell/ui/CFormChildDlg.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/MonthCalendarLayout.h"

#include <array>

class CKalvorDoc;
class QGroupBox;
class QLabel;
class QLineEdit;

class CRefSchedDlg : public CFormChildDlg {
    Q_OBJECT
public:
    enum {
        DialogId = 337,
        IdMonthBox = 1200,
        IdWorkDays = 1201,
        IdWorkHours = 1202,
        IdEvening = 1203,
        IdNight = 1204,
        IdFirstDayLabel = 1300, // + cell 0-41
        IdFirstDayEdit = 1400, // + cell 0-41
    };

    CRefSchedDlg(CCommonFormView* view, CKalvorDoc* doc);
    ~CRefSchedDlg() override;

    // The record is the schedule number 1-20; the month shown is MonthIndex().
    void LoadRecord(quint32 scheduleNumber) override;
    int SaveRecord() override;

    // Draws the month MonthIndex() of the shown schedule.
    void ShowMonth();
    int MonthIndex() const { return m_monthIndex; }
    void SetMonthIndex(int monthIndex) { m_monthIndex = monthIndex; }
    int ScheduleNumber() const { return int(m_slot); }

    // Opens "Описание графика" for the shown schedule.
    void DefineSchedule();
    void FocusFirstField();

    QLineEdit* DayCell(int cell) const { return m_dayEdits[std::size_t(cell)]; }
    QLabel* DayLabel(int cell) const { return m_dayLabels[std::size_t(cell)]; }
    // The cell of a day of the shown month, -1 when none.
    QLineEdit* DayField(int day) const;
    QLineEdit* WorkDays() const { return m_workDays; }
    QLineEdit* WorkHours() const { return m_workHours; }
    QLineEdit* Evening() const { return m_evening; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildTotals(class QGridLayout* grid);
    void BuildCalendar(class QGridLayout* grid);
    kalvor::infobase::WorkSchedule* Schedule() const;
    kalvor::infobase::ScheduleMonth* ShownMonth() const;
    void TakeDayCell(int cell);
    void SaveBook();

    CKalvorDoc* m_doc;
    int m_monthIndex = kalvor::infobase::WorkSchedule::ReportingMonth;
    MonthCalendarLayout m_layout;
    QGroupBox* m_box = nullptr;
    QLineEdit* m_workDays = nullptr;
    QLineEdit* m_workHours = nullptr;
    QLineEdit* m_evening = nullptr;
    QLineEdit* m_night = nullptr;
    std::array<QLabel*, MonthCalendarLayout::Cells> m_dayLabels{};
    std::array<CTypedEdit*, MonthCalendarLayout::Cells> m_dayEdits{};
};
