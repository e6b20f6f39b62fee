#include "masterdata/ui/CStavkaCorrect.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/RateCorrection.h"
#include "payroll/MonthRate.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryGrid.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Values.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

using namespace kalvor;
using kalvor::infobase::CInfoBase;

namespace {

constexpr int kSalaried = 4; // pay system of salaried employees

} // namespace

CStavkaCorrect::CStavkaCorrect(CKalvorDoc* doc, unsigned slot, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_slot(slot), m_grid(new CFldHlpGridCtrl(this))
{
    setWindowTitle(QStringLiteral("Корректировка ставок"));
    resize(300, 360);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    SetControl(IdGrid, m_grid);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    SetControl(1, ok);
    SetControl(2, cancel);
    ok->setDefault(false);
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    OnInitDialog();
}

void CStavkaCorrect::OnInitDialog()
{
    m_changed = false;
    CInfoBase& base = m_doc->infoBase;
    int paySystem = 0;
    if (base.holdsSlot(m_slot))
        paySystem = base.attributesOf(m_slot).sistOpl;
    SetUpGrid(paySystem == kSalaried);

    // The current rate, 0 for the pay systems the calculation does not rate.
    double baseRate = 0, fullRate = 0;
    const bool computed = m_slot >= 1 && CalcMonthRate(baseRate, fullRate, *m_doc, int(m_slot)) >= 0;
    masterdata::FillRateGaps(base.current.rates, paySystem, computed, baseRate);
    FillRows();
}

void CStavkaCorrect::SetUpGrid(bool salaried)
{
    m_grid->SetGridBkColor(GridCtrl::GetSysColour(GridCtrl::ColourButtonFace));
    m_grid->SetListMode(true);
    m_grid->SetEditable(true);
    m_grid->SetColumnResize(false);
    SetGridDefaultMargins(m_grid);
    const QFont font = EntryScreenFont(false);
    const QFont bold = EntryScreenFont(true);
    for (bool fixedCol : {false, true}) {
        CGridDefaultCell* header = m_grid->GetDefaultCell(true, fixedCol);
        header->SetFont(&bold);
        header->SetTextColour(0x800040);
        header->SetBackColour(0xFFD79B);
        header->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER);
        CGridDefaultCell* normal = m_grid->GetDefaultCell(false, fixedCol);
        normal->SetFont(&font);
        normal->SetFormat(GridCtrl::DT_CENTER | GridCtrl::DT_VCENTER | GridCtrl::DT_SINGLELINE);
    }
    m_grid->DeclareColumns(
        {ShownColumn(QStringLiteral("Месяц")),
         FigureColumn(salaried ? QStringLiteral("Оклад") : QStringLiteral("Тариф"), masterdata::kRateFigure)});
    m_grid->SetRowCount(1);
    m_grid->SetFixedRowCount(1);
    m_grid->SetFixedColumnCount(0);
    for (int column = 0; column < 2; ++column) m_grid->SetItemText(0, column, m_grid->DeclaredColumn(column)->title);
    m_grid->SetRowHeight(0, QFontMetrics(bold).height() + 1 + 2 * 5);
    SpreadColumns();
}

// Column 0 takes half the grid's width, column 1 the rest.
void CStavkaCorrect::SpreadColumns()
{
    const int width = m_grid->viewport()->width();
    m_grid->SetColumnWidth(0, int(std::ceil(width * 0.5 - 0.5)));
    m_grid->ExpandLastColumn();
}

void CStavkaCorrect::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The grid has its real width only once the dialog is laid out.
    SpreadColumns();
    m_grid->EnsureVisible(1, 0);
    m_grid->Refresh();
}

void CStavkaCorrect::FillRows()
{
    const CInfoBase& base = m_doc->infoBase;
    const int reportingMonth = base.config.reportingMonth();
    for (int k = 1; k <= 12; ++k) {
        const int row = m_grid->InsertRow(masterdata::RateMonthName(reportingMonth, k));
        m_grid->SetRowHeight(row, m_grid->GetRowHeight(0));
        m_grid->SetItemState(row, 0, m_grid->GetItemState(row, 0) | GridCtrl::CellReadOnly);
        m_grid->SetItemText(row, 1, FormatMoney(base.current.rates[size_t(k - 1)].rate));
        m_grid->SetModified(row, 1);
    }
    m_grid->SetFocusCell(1, 1);
    m_grid->Refresh();
}

void CStavkaCorrect::accept()
{
    if (m_grid->RefusalPending())
        return; // the refused rate is being corrected
    std::array<QString, 12> texts;
    for (int k = 1; k <= 12; ++k) texts[size_t(k - 1)] = m_grid->GetItemText(k, 1);
    if (const int unread = masterdata::FirstUnreadRate(texts); unread >= 0) {
        const int row = unread + 1;
        const QString field =
            m_grid->GetItemText(0, 1) + QStringLiteral(" (") + m_grid->GetItemText(row, 0) + QLatin1Char(')');
        KalvorMessageBox(NumberRefusedText(field, texts[size_t(unread)]), MB_OK | MB_ICONERROR, QString(), this);
        m_grid->SetFocusCell(row, 1);
        m_grid->setFocus();
        return;
    }
    CInfoBase& base = m_doc->infoBase;
    if (masterdata::ReadRates(base.current.rates, texts)) {
        m_changed = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        try {
            infobase::SaveEmployee(base, int(m_slot));
        } catch (const db::DbError& e) {
            QApplication::restoreOverrideCursor();
            ShowComError(e);
            QDialog::accept();
            return;
        }
        QApplication::restoreOverrideCursor();
    }
    QDialog::accept();
}
