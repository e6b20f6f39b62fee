#include "masterdata/ui/CRefSchedDlg.h"

#include "masterdata/UnsavedBooks.h"
#include "masterdata/ui/CRefSchedDefDlg.h"
#include "masterdata/ui/RefBooks.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

using namespace kalvor::masterdata;
using kalvor::infobase::ScheduleMonth;
using kalvor::infobase::WorkSchedule;

namespace {

CTypedEdit* TimeField(QWidget* parent, int width, InputKind kind)
{
    auto* edit = new CTypedEdit(std::move(kind), parent);
    edit->setFixedWidth(width);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

// Hidden cells keep their place, so the calendar never shifts.
void KeepPlaceWhenHidden(QWidget* w)
{
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
}

} // namespace

CRefSchedDlg::CRefSchedDlg(CCommonFormView* view, CKalvorDoc* doc) : CFormChildDlg(DialogId, view), m_doc(doc)
{
    // The view deletes the dialog itself before it goes.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setStyleSheet(ReferenceBookStyleSheet());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_box = new QGroupBox(this);
    SetControl(IdMonthBox, m_box);
    outer->addWidget(m_box);
    auto* grid = new QGridLayout(m_box);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    BuildTotals(grid);
    BuildCalendar(grid);
    // A save that failed when the book was last left is still owed.
    m_modified = TakeUnsavedBook(doc->infoBase, RefBook::Schedules);
    LoadRecord(0);
}

CRefSchedDlg::~CRefSchedDlg()
{
    // The view's leave read the fields; a text refused then is not stored.
    const QList<CTypedEdit*> fields = findChildren<CTypedEdit*>();
    const bool read = std::all_of(fields.begin(), fields.end(), [](const CTypedEdit* f) { return f->Reading().read; });
    if (!m_groupMode && read)
        SaveRecord();
    if (m_modified)
        SaveBook();
}

void CRefSchedDlg::SaveBook()
{
    try {
        SaveScheduleBook(m_doc->infoBase);
        m_modified = false;
    } catch (const kalvor::db::DbError& error) {
        // The schedules in memory keep the changes; leaving the book again saves them.
        ShowComError(error);
        RememberUnsavedBook(m_doc->infoBase, RefBook::Schedules);
    }
}

void CRefSchedDlg::BuildTotals(QGridLayout* grid)
{
    struct Total {
        int id;
        const char* caption;
        QLineEdit** field;
        kalvor::FigureRule rule;
    };
    const Total totals[] = {
        {IdWorkDays, "Рабочих дней", &m_workDays, kScheduleWorkDaysRule},
        {IdWorkHours, "Рабочих часов", &m_workHours, kScheduleMonthHoursRule},
        {IdEvening, "Вечерних часов", &m_evening, kScheduleEveningNightRule},
        {IdNight, "Ночных часов", &m_night, kScheduleEveningNightRule},
    };
    // Two totals to a line: four in one are wider than the week.
    auto* lines = new QGridLayout;
    lines->setHorizontalSpacing(6);
    int place = 0;
    for (const Total& t : totals) {
        auto* label = new QLabel(QString::fromUtf8(t.caption), m_box);
        *t.field = TimeField(m_box, 70, {QString::fromUtf8(t.caption), t.rule});
        label->setBuddy(*t.field);
        SetControl(t.id, *t.field);
        lines->addWidget(label, place / 2, 3 * (place % 2));
        lines->addWidget(*t.field, place / 2, 3 * (place % 2) + 1);
        ++place;
    }
    lines->setColumnMinimumWidth(2, 12);
    lines->setColumnStretch(5, 1);
    grid->addLayout(lines, 0, 0, 1, MonthCalendarLayout::Columns);
}

void CRefSchedDlg::BuildCalendar(QGridLayout* grid)
{
    const QStringList headings = WeekdayHeadings();
    for (int column = 0; column < MonthCalendarLayout::Columns; ++column)
        grid->addWidget(new QLabel(headings[column], m_box), 1, column, Qt::AlignHCenter);
    for (int cell = 0; cell < MonthCalendarLayout::Cells; ++cell) {
        const int row = 2 + 2 * (cell / MonthCalendarLayout::Columns);
        const int column = cell % MonthCalendarLayout::Columns;
        auto* label = new QLabel(m_box);
        auto* edit = TimeField(m_box, 80, {QStringLiteral("Часы за день"), kScheduleDayRule});
        KeepPlaceWhenHidden(label);
        KeepPlaceWhenHidden(edit);
        SetControl(IdFirstDayLabel + cell, label);
        SetControl(IdFirstDayEdit + cell, edit);
        edit->installEventFilter(this);
        m_dayLabels[std::size_t(cell)] = label;
        m_dayEdits[std::size_t(cell)] = edit;
        grid->addWidget(label, row, column, Qt::AlignLeft | Qt::AlignBottom);
        grid->addWidget(edit, row + 1, column, Qt::AlignLeft);
    }
}

WorkSchedule* CRefSchedDlg::Schedule() const
{
    const int number = ScheduleNumber();
    if (number < kFirstScheduleNumber || number > kLastScheduleNumber)
        return nullptr;
    return &m_doc->infoBase.scheduleAt(number);
}

ScheduleMonth* CRefSchedDlg::ShownMonth() const
{
    WorkSchedule* schedule = Schedule();
    return schedule ? &schedule->months[std::size_t(m_monthIndex)] : nullptr;
}

QLineEdit* CRefSchedDlg::DayField(int day) const
{
    const int cell = m_layout.CellOf(day);
    return cell >= 0 ? m_dayEdits[std::size_t(cell)] : nullptr;
}

void CRefSchedDlg::LoadRecord(quint32 scheduleNumber)
{
    m_slot = scheduleNumber;
    ShowMonth();
}

void CRefSchedDlg::ShowMonth()
{
    if (!Schedule()) {
        m_box->setTitle(QString());
        for (QLineEdit* field : {m_workDays, m_workHours, m_evening, m_night}) field->clear();
        for (int cell = 0; cell < MonthCalendarLayout::Cells; ++cell) {
            m_dayLabels[std::size_t(cell)]->hide();
            m_dayEdits[std::size_t(cell)]->hide();
        }
        return;
    }
    const int key = ScheduleRowMonthKey(m_doc->infoBase, m_monthIndex);
    m_box->setTitle(ScheduleMonthCaption(key));
    m_layout = LayOutMonth(kalvor::MonthKey::of(key).year(), kalvor::MonthKey::of(key).month());
    const ScheduleTotals totals = RefreshScheduleMonth(*m_doc, ScheduleNumber(), m_monthIndex);
    const ScheduleMonthTexts texts = FillScheduleMonthTexts(*ShownMonth(), totals);
    m_workDays->setText(texts.workDays);
    m_workHours->setText(texts.workHours);
    m_workDays->setEnabled(totals.manual);
    m_workHours->setEnabled(totals.manual);
    m_evening->setText(texts.evening);
    m_night->setText(texts.night);
    for (int cell = 0; cell < MonthCalendarLayout::Cells; ++cell) {
        const int day = m_layout.DayAt(cell);
        m_dayLabels[std::size_t(cell)]->setVisible(day != 0);
        m_dayEdits[std::size_t(cell)]->setVisible(day != 0);
        m_dayLabels[std::size_t(cell)]->setText(day != 0 ? QString::number(day) : QString());
        m_dayEdits[std::size_t(cell)]->setText(day != 0 ? texts.days[std::size_t(day - 1)] : QString());
    }
}

int CRefSchedDlg::SaveRecord()
{
    ScheduleMonth* row = ShownMonth();
    if (!row)
        return 1;
    // A field that does not read keeps the month as it is.
    if (!ReadTypedInputs(this))
        return 0;
    ScheduleMonthTexts texts;
    texts.evening = m_evening->text();
    texts.night = m_night->text();
    for (int day = 1; day <= m_layout.length; ++day) texts.days[std::size_t(day - 1)] = DayField(day)->text();
    int changed = StoreScheduleTimes(*row, texts, m_layout.length);
    // Automatic totals are computed anew before the totals' fields are read.
    if (!Schedule()->ruchn)
        ShowMonth();
    changed |= StoreScheduleTotals(*row, m_workDays->text(), m_workHours->text());
    if (changed)
        m_modified = true;
    return 1;
}

void CRefSchedDlg::TakeDayCell(int cell)
{
    WorkSchedule* schedule = Schedule();
    const int day = m_layout.DayAt(cell);
    // A text that does not read is refused by the cell itself, and stays.
    if (!schedule || schedule->ruchn || day == 0 || !m_dayEdits[std::size_t(cell)]->Reading().read)
        return;
    if (StoreScheduleDay(*ShownMonth(), day, m_dayEdits[std::size_t(cell)]->text())) {
        m_modified = true;
        ShowMonth();
    } else {
        // A refused time leaves the day as it was, and the cell shows it so.
        m_dayEdits[std::size_t(cell)]->setText(kalvor::FormatHoursMinutes(ShownMonth()->d[std::size_t(day - 1)]));
    }
}

bool CRefSchedDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const int id = ControlId(qobject_cast<QWidget*>(watched));
        if (id >= IdFirstDayEdit && id < IdFirstDayEdit + MonthCalendarLayout::Cells)
            TakeDayCell(id - IdFirstDayEdit);
    }
    return CFormChildDlg::eventFilter(watched, event);
}

void CRefSchedDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        DefineSchedule();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}

void CRefSchedDlg::DefineSchedule()
{
    WorkSchedule* schedule = Schedule();
    if (!schedule)
        return;
    // The cells typed so far are kept before the month is drawn anew.
    if (!SaveRecord())
        return;
    CRefSchedDefDlg definition(schedule, this);
    if (definition.exec() == QDialog::Accepted && definition.Modified()) {
        m_modified = true;
        ShowMonth();
    }
}

void CRefSchedDlg::FocusFirstField()
{
    for (QLineEdit* field : {m_workDays, m_workHours, m_evening}) {
        if (field->isEnabled()) {
            field->setFocus();
            return;
        }
    }
}
