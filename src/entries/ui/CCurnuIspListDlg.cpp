#include "entries/ui/CCurnuIspListDlg.h"

#include "infobase/InfoBaseDb.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;
namespace en = kalvor::entries;

CCurnuIspListDlg::CCurnuIspListDlg(CCommonFormView* view) : CMonthFormDlg(IDD, view)
{
    setObjectName(QStringLiteral("CCurnuIspListDlg"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    for (int writ = 0; writ < 3; ++writ) BuildBlock(writ);
    setFocusProxy(Field(IdKind[0]));
}

namespace {
// The plaintiff's name and address: as long as their places keep.
constexpr kalvor::FigureRule kText = kalvor::TextFigure(en::kEntryTextCapacity);
} // namespace

void CCurnuIspListDlg::BuildBlock(int writ)
{
    const auto at = std::size_t(writ);
    auto* block = new QFrame(this);
    block->setFrameShape(QFrame::StyledPanel);
    static_cast<QVBoxLayout*>(layout())->addWidget(block);
    auto* grid = new QGridLayout(block);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(4);
    const QString ordinal[] = {QStringLiteral("Первый лист"), QStringLiteral("Второй лист"),
                               QStringLiteral("Третий лист")};
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(ordinal[writ]), block);
    grid->addWidget(heading, 0, 0, 1, 4);

    // The fields in their keyboard order, two to a line: three on one line
    // are wider than the room. Each is named by its writ too, as its heading
    // shows it, so that a refusal says which of the three.
    const auto addField = [&](int row, const QString& label, int id, const kalvor::FigureRule& rule, int width,
                              int span = 1) {
        QLineEdit* field = AddField(grid, row, 0, label, id, rule, width, span);
        NameInBlock(field, ordinal[writ]);
        return static_cast<CTypedEdit*>(field);
    };
    addField(1, QStringLiteral("Вид листа"), IdKind[at], en::kWritKindRule, 50);
    auto* dateLabel = new QLabel(QStringLiteral("Дата окончания"), block);
    auto* picker = new NullableDateEdit(this);
    picker->setFixedWidth(120);
    EraseDatePickerBackground(picker, kFieldBack);
    dateLabel->setBuddy(picker);
    SetControl(IdDataEnd[at], picker);
    grid->addWidget(dateLabel, 1, 2);
    grid->addWidget(picker, 1, 3);
    addField(2, QStringLiteral("Таблица почтовых сборов"), IdTable[at], en::kPostalTableRule, 50);

    auto* size = addField(3, QStringLiteral("Величина удержания"), IdSize[at], kalvor::WritSizeRule(false), 110);
    // In percent, the size is a share of the pay: the box decides when the field is read.
    InputKind sizeKind = size->Kind();
    sizeKind.also = [this, at, name = sizeKind.name](const QString& text) {
        return PercentBox(int(at))->isChecked() ? kalvor::ReadFigure(name, kalvor::WritSizeRule(true), text).refusal
                                                : QString();
    };
    size->SetKind(std::move(sizeKind));
    auto* percent = new QCheckBox(QStringLiteral("Удержание выражено в процентах"), this);
    SetControl(IdPercent[at], percent);
    grid->addWidget(percent, 3, 2, 1, 2);

    addField(4, QStringLiteral("Ф.И.О. истца"), IdFio[at], kText, 0, 3);
    addField(5, QStringLiteral("Адрес"), IdAdr[at], kText, 0, 3);
}

NullableDateEdit* CCurnuIspListDlg::DatePicker(int writ) const
{
    return controlAs<NullableDateEdit>(IdDataEnd[std::size_t(writ)]);
}

QCheckBox* CCurnuIspListDlg::PercentBox(int writ) const { return controlAs<QCheckBox>(IdPercent[std::size_t(writ)]); }

en::WritForm CCurnuIspListDlg::FormValues() const
{
    en::WritForm form;
    for (std::size_t writ = 0; writ < form.size(); ++writ) {
        en::WritFields& fields = form[writ];
        fields.kind = Field(IdKind[writ])->text();
        GetDateFromPicker(DatePicker(int(writ)), &fields.dataEnd);
        fields.table = Field(IdTable[writ])->text();
        fields.size = Field(IdSize[writ])->text();
        fields.percent = PercentBox(int(writ))->isChecked();
        fields.fio = Field(IdFio[writ])->text();
        fields.adr = Field(IdAdr[writ])->text();
    }
    return form;
}

void CCurnuIspListDlg::ShowBlock(const ib::EmployeeRecord& rec)
{
    const en::WritForm form = en::ShowWrits(rec.ispol);
    for (std::size_t writ = 0; writ < form.size(); ++writ) {
        const en::WritFields& fields = form[writ];
        Field(IdKind[writ])->setText(fields.kind);
        SetPickerFromPackedDate(DatePicker(int(writ)), fields.dataEnd);
        Field(IdTable[writ])->setText(fields.table);
        Field(IdSize[writ])->setText(fields.size);
        PercentBox(int(writ))->setChecked(fields.percent);
        Field(IdFio[writ])->setText(fields.fio);
        Field(IdAdr[writ])->setText(fields.adr);
    }
}

bool CCurnuIspListDlg::ReadBlock(ib::EmployeeRecord& rec, bool filledOnly) const
{
    return en::ReadWrits(FormValues(), rec.ispol, filledOnly);
}

void CCurnuIspListDlg::CountBlock(const ib::EmployeeRecord& rec, ib::EmployeeAttributes& attr) const
{
    en::CountWrits(rec.ispol, attr);
}

en::DetailSaver CCurnuIspListDlg::Saver() const { return &ib::SaveIspol; }
