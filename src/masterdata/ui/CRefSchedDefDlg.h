#pragma once
// "Описание графика" (dialog 338): the definition of one work schedule, its
// day length, monthly fund, shift cycle with its start date, working weekdays
// and whether the month's totals are computed. "Определить график" writes the
// fields back into the schedule; "Отмена" leaves it as it was.
#include "masterdata/ScheduleBook.h"
#include "shell/ui/ControlMap.h"

#include <QDialog>

#include <array>

class NullableDateEdit;
class QCheckBox;
class QLineEdit;

class CRefSchedDefDlg : public QDialog, public ControlMap {
    Q_OBJECT
public:
    enum {
        DialogId = 338,
        IdDayLength = 1250,
        IdMonthFund = 1251,
        IdWorkDays = 1252,
        IdDaysOff = 1253,
        IdStartDate = 1254,
        IdMonday = 1255, // to IdMonday + 6 for Sunday
        IdAutomatic = 1262,
    };

    // A null schedule shows an empty form and changes nothing.
    CRefSchedDefDlg(kalvor::infobase::WorkSchedule* schedule, QWidget* parent = nullptr);

    // Whether "Определить график" changed the schedule.
    bool Modified() const { return m_modified; }

    QLineEdit* DayLength() const { return m_dayLength; }
    QLineEdit* WorkDays() const { return m_workDays; }
    QCheckBox* WeekDay(int day) const { return m_weekDays[std::size_t(day)]; }
    QCheckBox* Automatic() const { return m_automatic; }

    void accept() override;

private:
    void Fill(const kalvor::masterdata::ScheduleDefinitionTexts& texts);
    kalvor::masterdata::ScheduleDefinitionTexts Shown() const;

    kalvor::infobase::WorkSchedule* m_schedule;
    bool m_modified = false;
    QLineEdit* m_dayLength;
    QLineEdit* m_monthFund;
    QLineEdit* m_workDays;
    QLineEdit* m_daysOff;
    NullableDateEdit* m_start;
    std::array<QCheckBox*, 7> m_weekDays{};
    QCheckBox* m_automatic;
};
