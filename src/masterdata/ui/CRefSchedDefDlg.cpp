#include "masterdata/ui/CRefSchedDefDlg.h"

#include "masterdata/ui/RefBooks.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace kalvor::masterdata;

namespace {
const char* const kWeekDayCaptions[7] = {"Пн.", "Вт.", "Ср.", "Чт.", "Пт.", "Сб.", "Вс."};
}

CRefSchedDefDlg::CRefSchedDefDlg(kalvor::infobase::WorkSchedule* schedule, QWidget* parent)
    : QDialog(parent), m_schedule(schedule)
{
    setWindowTitle(QStringLiteral("Описание графика"));
    setStyleSheet(ReferenceBookStyleSheet());
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    auto addField = [&](int row, int column, const QString& caption, int id, kalvor::FigureRule rule) {
        auto* label = new QLabel(caption, this);
        auto* edit = new CTypedEdit({caption, rule}, this);
        edit->setFixedWidth(70);
        edit->setAlignment(Qt::AlignRight);
        label->setBuddy(edit);
        SetControl(id, edit);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1);
        return edit;
    };
    // What the schedule keeps: the day in hours and minutes, the month's fund
    // in hours and tenths, the days of the rotation.
    m_dayLength = addField(0, 0, QStringLiteral("Длина дня"), IdDayLength, kScheduleDayRule);
    m_monthFund = addField(0, 2, QStringLiteral("Месячный фонд"), IdMonthFund, kScheduleFundRule);
    m_workDays = addField(1, 0, QStringLiteral("Рабочих"), IdWorkDays, kScheduleRotationWorkDaysRule);
    m_daysOff = addField(1, 2, QStringLiteral("Выходных"), IdDaysOff, kScheduleRotationDaysOffRule);
    auto* dateLabel = new QLabel(QStringLiteral("Дата"), this);
    m_start = new NullableDateEdit(this);
    dateLabel->setBuddy(m_start);
    SetControl(IdStartDate, m_start);
    grid->addWidget(dateLabel, 2, 0);
    grid->addWidget(m_start, 2, 1, 1, 3, Qt::AlignLeft);
    layout->addLayout(grid);

    auto* week = new QHBoxLayout;
    for (int day = 0; day < 7; ++day) {
        m_weekDays[std::size_t(day)] = new QCheckBox(QString::fromUtf8(kWeekDayCaptions[day]), this);
        SetControl(IdMonday + day, m_weekDays[std::size_t(day)]);
        week->addWidget(m_weekDays[std::size_t(day)]);
    }
    layout->addLayout(week);
    m_automatic = new QCheckBox(QStringLiteral("Автоматический расчет"), this);
    SetControl(IdAutomatic, m_automatic);
    layout->addWidget(m_automatic);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("Определить график"), this);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    ok->setDefault(true);
    SetControl(1, ok);
    SetControl(2, cancel);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &CRefSchedDefDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CRefSchedDefDlg::reject);

    Fill(schedule ? FillScheduleDefinition(*schedule) : ScheduleDefinitionTexts{});
}

void CRefSchedDefDlg::Fill(const ScheduleDefinitionTexts& texts)
{
    m_dayLength->setText(texts.dayLength);
    m_monthFund->setText(texts.monthFund);
    m_workDays->setText(texts.workDays);
    m_daysOff->setText(texts.daysOff);
    SetPickerFromPackedDate(m_start, texts.startDate);
    for (int day = 0; day < 7; ++day) m_weekDays[std::size_t(day)]->setChecked(texts.weekDays[std::size_t(day)]);
    m_automatic->setChecked(texts.automatic);
}

ScheduleDefinitionTexts CRefSchedDefDlg::Shown() const
{
    ScheduleDefinitionTexts texts;
    texts.dayLength = m_dayLength->text();
    texts.monthFund = m_monthFund->text();
    texts.workDays = m_workDays->text();
    texts.daysOff = m_daysOff->text();
    GetDateFromPicker(m_start, &texts.startDate);
    for (int day = 0; day < 7; ++day) texts.weekDays[std::size_t(day)] = m_weekDays[std::size_t(day)]->isChecked();
    texts.automatic = m_automatic->isChecked();
    return texts;
}

void CRefSchedDefDlg::accept()
{
    // A field that does not read keeps the dialog open and the schedule as it is.
    if (!ReadTypedInputs(this))
        return;
    if (m_schedule)
        m_modified = ReadScheduleDefinition(Shown(), *m_schedule) != 0;
    QDialog::accept();
}
