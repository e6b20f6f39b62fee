#include "entries/ui/CTabelVvodDlg.h"

#include "entries/ui/TabelDlgShared.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CTabelVvodDlg::CTabelVvodDlg(CCommonFormView* view, RateCorrectionRunner rateCorrection)
    : CFormChildDlg(IDD, view), m_rateCorrection(std::move(rateCorrection))
{
    PaintTabelDialog(*this);
    BuildForm();
}

void CTabelVvodDlg::BuildForm()
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    auto addColumn = [&](const std::array<int, 13>& ids, int column) {
        for (int row = 0; row < int(ids.size()); ++row) {
            const en::TabelField* field = en::FindTabelField(ids[std::size_t(row)]);
            auto* label = new QLabel(QString::fromUtf16(field->label), this);
            auto* edit = new CTypedEdit({QString::fromUtf16(field->label), en::TabelFieldRule(*field)}, this);
            edit->setFixedWidth(80);
            edit->setMaxLength(12);
            label->setBuddy(edit);
            SetControl(field->controlId, edit);
            grid->addWidget(label, row, column * 2);
            grid->addWidget(edit, row, column * 2 + 1);
        }
    };
    addColumn(en::TabelLeftColumn(), 0);
    addColumn(en::TabelRightColumn(), 1);
    grid->setColumnMinimumWidth(1, 80);

    m_dbf = new QCheckBox(QStringLiteral(" Вывод начислений/удержаний в DBF-файл уже с учетом подоходного"), this);
    m_dbf->setPalette(QPalette());
    SetControl(IdDbf, m_dbf);
    grid->addWidget(m_dbf, 13, 0, 1, 4);
    auto* correctRates = new QPushButton(QStringLiteral("Корректировка ставок"), this);
    correctRates->setAutoDefault(false);
    correctRates->setPalette(QPalette());
    SetControl(IdCorrectRates, correctRates);
    grid->addWidget(correctRates, 14, 0, 1, 2, Qt::AlignLeft);
    connect(correctRates, &QPushButton::clicked, this, &CTabelVvodDlg::OnCorrectRates);

    // Tab order: row by row, each day count followed by its hours ("Рабочие
    // дни", "Рабочие часы", "Вечерние часы" ...), as the form is read.
    QWidget* previous = nullptr;
    for (std::size_t row = 0; row < en::TabelLeftColumn().size(); ++row)
        for (int id : {en::TabelLeftColumn()[row], en::TabelRightColumn()[row]}) {
            if (previous)
                setTabOrder(previous, control(id));
            previous = control(id);
        }
    setTabOrder(previous, m_dbf);
    setTabOrder(m_dbf, correctRates);
}

QWidget* CTabelVvodDlg::FirstControl() const { return control(en::TabelLeftColumn().front()); }

void CTabelVvodDlg::ShowRecord(const ib::TabelRecord& record)
{
    const en::TabelTexts form = en::ShowTabelRecord(record);
    const auto& fields = en::TabelFields();
    for (std::size_t i = 0; i < fields.size(); ++i) Field(fields[i].controlId)->setText(form.texts[i]);
    m_dbf->setChecked(form.dbf);
}

en::TabelTexts CTabelVvodDlg::FormTexts() const
{
    en::TabelTexts form;
    const auto& fields = en::TabelFields();
    for (std::size_t i = 0; i < fields.size(); ++i) form.texts[i] = Field(fields[i].controlId)->text();
    form.dbf = m_dbf->isChecked();
    return form;
}

void CTabelVvodDlg::LoadRecord(quint32 slot)
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    if (!base.holdsSlot(int(slot)))
        slot = 0;
    // The modified flag stays: a save the base refused is tried again.
    m_slot = slot;
    if (slot == 0) {
        ShowRecord(ib::TabelRecord{});
        return;
    }
    ShowEmployeeInTabelFrame(*View(), slot);
    ShowRecord(base.tabelOf(slot));
}

void CTabelVvodDlg::ReadRecord()
{
    ib::CInfoBase& base = View()->Document()->infoBase;
    ib::TabelRecord& record = base.tabelOf(m_slot);
    const int daysBefore = record.rabDn;
    const int hoursBefore = record.rabHr;
    if (en::ReadTabelRecord(FormTexts(), record))
        m_modified = true;
    // Typed working days: the calendar of worked days follows them from the
    // hire date, and the hours follow the calendar unless typed with them.
    if (record.rabDn != daysBefore)
        en::FitSheetToTypedDays(base, int(m_slot), record.rabHr != hoursBefore);
}

int CTabelVvodDlg::SaveRecord()
{
    if (m_groupMode) {
        // What the group takes reads in full first, or the group stays open.
        if (!ReadTypedInputs(this))
            return 0;
        GroupAppend();
        return 1;
    }
    if (m_slot == 0)
        return 1;
    if (!ReadTypedInputs(this))
        return 0;
    QString refusal;
    if (const int id = en::RefusedCoefficient(FormTexts(), &refusal); id != 0) {
        KalvorMessageBox(refusal, MB_OK | MB_ICONERROR, QString(), this);
        Field(id)->setFocus();
        Field(id)->selectAll();
        return 0;
    }
    ReadRecord();
    // What the parsers made of the texts (a refused value, a range) is shown.
    ShowRecord(View()->Document()->infoBase.tabelOf(m_slot));
    if (!m_modified)
        return 1;
    if (!SaveTabelShowingErrors(View()->Document()->infoBase))
        return 0;
    m_modified = false;
    return 1;
}

void CTabelVvodDlg::BeginGroup()
{
    m_groupMode = true;
    ShowRecord(ib::TabelRecord{});
}

int CTabelVvodDlg::GroupAppend()
{
    if (!ReadTypedInputs(this))
        return 0;
    ib::CInfoBase& base = View()->Document()->infoBase;
    const en::TabelTexts form = FormTexts();
    if (en::AnyFieldFilled(form))
        m_modified = true;
    en::AppendFilledFieldsToGroup(form, base);
    m_groupMode = false;
    if (m_modified && !SaveTabelShowingErrors(base))
        return 0;
    m_modified = false;
    return 1;
}

void CTabelVvodDlg::OnCorrectRates() { RunRateCorrection(m_rateCorrection, View()->Document(), m_slot, this); }

void CTabelVvodDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && AbandonTypedChanges())
        return;
    if (!GroupEnterOrEscape(event))
        CFormChildDlg::keyPressEvent(event);
}

bool CTabelVvodDlg::AbandonTypedChanges()
{
    if (m_groupMode || m_slot == 0)
        return false;
    const ib::TabelRecord& stored = View()->Document()->infoBase.tabelOf(m_slot);
    const en::TabelTexts shown = FormTexts(), kept = en::ShowTabelRecord(stored);
    if (shown.texts == kept.texts && shown.dbf == kept.dbf)
        return false;
    if (KalvorMessageBox(QStringLiteral("Отменить изменения, внесенные в табель?"), MB_YESNO | MB_ICONQUESTION,
                         QString(), this) == IDYES) {
        ShowRecord(stored);
        View()->EnableEntry(true);
    }
    return true;
}
