#include "entries/ui/CTabelCorrectDlg.h"

#include "entries/TabelEntry.h"
#include "entries/ui/TabelDlgShared.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CTabelCorrectDlg::CTabelCorrectDlg(CCommonFormView* view) : CFormChildDlg(IDD, view)
{
    PaintTabelDialog(*this);
    BuildForm();
    const ib::InfoBaseConfig& config = view->Document()->infoBase.config;
    BuildCalendar(config.reportingYear(), config.reportingMonth());
}

void CTabelCorrectDlg::BuildForm()
{
    auto* outer = new QVBoxLayout(this);
    m_frame = new QGroupBox(QStringLiteral("Отработанные дни месяца"), this);
    SetControl(IdFrame, m_frame);
    outer->addWidget(m_frame);
    auto* grid = new QGridLayout(m_frame);
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(6);
    const char16_t* const headings[] = {u"Пн.", u"Вт.", u"Ср.", u"Чт.", u"Пт.", u"Сб.", u"Вс."};
    for (int column = 0; column < MonthCalendarLayout::Columns; ++column) {
        auto* heading = new QLabel(QString::fromUtf16(headings[column]), m_frame);
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 0, column * 2, 1, 2);
    }
    for (int cell = 0; cell < MonthCalendarLayout::Cells; ++cell) {
        const int row = 1 + cell / MonthCalendarLayout::Columns;
        const int column = cell % MonthCalendarLayout::Columns;
        auto* label = new QLabel(m_frame);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMinimumWidth(20);
        auto* box = new QCheckBox(m_frame);
        box->setPalette(QPalette());
        label->setBuddy(box);
        SetControl(IdFirstLabel + cell, label);
        SetControl(IdFirstBox + cell, box);
        grid->addWidget(label, row, column * 2);
        grid->addWidget(box, row, column * 2 + 1);
        m_labels[std::size_t(cell)] = label;
        m_boxes[std::size_t(cell)] = box;
    }
    outer->addStretch(1);
}

void CTabelCorrectDlg::BuildCalendar(int year, int month)
{
    m_layout = LayOutMonth(year, month);
    m_frame->setTitle(QStringLiteral("Отработанные дни  [%1]").arg(kalvor::MonthName(month)));
    for (int cell = 0; cell < MonthCalendarLayout::Cells; ++cell) {
        const int day = m_layout.DayAt(cell);
        m_labels[std::size_t(cell)]->setText(day ? QString::number(day) : QString());
        m_labels[std::size_t(cell)]->setVisible(day != 0);
        m_boxes[std::size_t(cell)]->setVisible(day != 0);
    }
}

QCheckBox* CTabelCorrectDlg::DayBox(int day) const
{
    const int cell = m_layout.CellOf(day);
    return cell < 0 ? nullptr : m_boxes[std::size_t(cell)];
}

QWidget* CTabelCorrectDlg::FirstControl() const { return DayBox(1); }

void CTabelCorrectDlg::ShowWorkedDays()
{
    const ib::CInfoBase& base = View()->Document()->infoBase;
    const ib::TabelRecord record = m_slot ? base.tabelOf(m_slot) : ib::TabelRecord{};
    for (int day = 1; day <= m_layout.length; ++day) DayBox(day)->setChecked(kalvor::DayMarked(record, day));
}

void CTabelCorrectDlg::ReadWorkedDays()
{
    ib::TabelRecord& record = View()->Document()->infoBase.tabelOf(m_slot);
    const ib::TabelRecord before = record;
    bool ticked = false;
    for (int day = 1; day <= m_layout.length; ++day)
        ticked = kalvor::SetDayMark(record, day, DayBox(day)->isChecked()) || ticked;
    // The working days and hours follow the calendar.
    if (ticked) {
        en::FitSheetToTickedDays(View()->Document()->infoBase, int(m_slot), before);
        m_modified = true;
    }
}

void CTabelCorrectDlg::LoadRecord(quint32 slot)
{
    if (!View()->Document()->infoBase.holdsSlot(int(slot)))
        slot = 0;
    m_slot = slot;
    if (slot != 0)
        ShowEmployeeInTabelFrame(*View(), slot);
    ShowWorkedDays();
}

int CTabelCorrectDlg::SaveRecord()
{
    if (m_slot == 0)
        return 1;
    ReadWorkedDays();
    if (!m_modified)
        return 1;
    if (!SaveTabelShowingErrors(View()->Document()->infoBase))
        return 0;
    m_modified = false;
    return 1;
}

void CTabelCorrectDlg::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool endsGroup = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    if (m_groupMode && endsGroup) {
        m_groupMode = false;
        View()->CancelGroup();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}
