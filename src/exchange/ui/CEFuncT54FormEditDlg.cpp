#include "exchange/ui/CEFuncT54FormEditDlg.h"

#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>
#include <cmath>

using kalvor::exchange::T54WorkBlock;

namespace {

enum class CellKind { Integer, CountedInteger, Amount, CountedAmount, Date, Text };

// One row of the dialog: a cell of the work block (or a form text) with the
// controls of its two lines.
struct EditorRow {
    const char* label;
    CellKind kind;
    int cell; // work-block cell, or the form text of line 1 (line 2: + 2)
    int line1, line2; // controls
};

constexpr EditorRow kRows[] = {
    {"1. Дата", CellKind::Date, 0, 1521, 1522},
    {"Номер документа", CellKind::Integer, 1, 1553, 1554},
    {"Цех", CellKind::Integer, 2, 1558, 1559},
    {"Бригада", CellKind::Integer, 3, 1511, 1512},
    {"Должность (профессия)", CellKind::Text, kalvor::exchange::T54Line1Column4, 1555, 1513},
    {"Разряд", CellKind::Text, kalvor::exchange::T54Line1Column5, 1556, 1515},
    {"Оклад (тариф), руб.", CellKind::Amount, 4, 1514, 1516},
    {"Надбавка, руб.", CellKind::Amount, 5, 1557, 1517},
    {"Надбавка, руб. ", CellKind::Amount, 6, 1518, 1519},
    {"2. Вид отпуска", CellKind::Integer, 7, 1520, 1523},
    {"Дата", CellKind::Date, 8, 1524, 1525},
    {"Номер", CellKind::Integer, 9, 1526, 1527},
    {"Рабочий год с", CellKind::Date, 10, 1528, 1529},
    {"по", CellKind::Date, 11, 1530, 1531},
    {"Отпуск с", CellKind::Date, 12, 1532, 1533},
    {"по ", CellKind::Date, 13, 1534, 1535},
    {"Дней", CellKind::CountedInteger, 14, 1536, 1537},
    {"3. Код", CellKind::CountedInteger, 15, 1538, 1539},
    {"дата", CellKind::Date, 16, 1540, 1541},
    {"номер", CellKind::CountedInteger, 17, 1542, 1543},
    {"Удерживать с", CellKind::Date, 18, 1544, 1545},
    {"по  ", CellKind::Date, 19, 1546, 1547},
    {"Сумма в месяц, руб.", CellKind::CountedAmount, 20, 1548, 1549},
    {"Всего, руб.", CellKind::CountedAmount, 21, 1550, 1551},
};

// What a cell of its kind takes: a whole number, an amount to the kopeck, a
// text as long as the form keeps (dates are date fields).
kalvor::FigureRule CellRule(CellKind kind)
{
    switch (kind) {
    case CellKind::Integer:
    case CellKind::CountedInteger: return kalvor::WholeFigure(INT_MIN, INT_MAX);
    case CellKind::Amount:
    case CellKind::CountedAmount: return kalvor::AmountFigure(); // a salary, a supplement, a sum withheld
    case CellKind::Text:
    case CellKind::Date: break;
    }
    return kalvor::TextFigure(kalvor::exchange::kT54FormTextLength - 1);
}

QString AmountText(double value) { return value == 0 ? QString() : kalvor::FormatFixed(value, 2); }

QString IntegerText(double value) { return value == 0 ? QString() : QString::number(int(value)); }

} // namespace

const std::array<int, CEFuncT54FormEditDlg::EditCount> CEFuncT54FormEditDlg::EditIds = {
    1553, 1554, 1558, 1559, 1511, 1512, 1555, 1513, 1556, 1515, 1514, 1516, 1557, 1517, 1518,
    1519, 1520, 1523, 1526, 1527, 1536, 1537, 1538, 1539, 1542, 1543, 1548, 1549, 1550, 1551};
const std::array<int, CEFuncT54FormEditDlg::PickerCount> CEFuncT54FormEditDlg::PickerIds = {
    1521, 1522, 1524, 1525, 1528, 1529, 1530, 1531, 1532, 1533, 1534, 1535, 1540, 1541, 1544, 1545, 1546, 1547};

CEFuncT54FormEditDlg::CEFuncT54FormEditDlg(kalvor::infobase::KalvorDocData& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc)
{
    setWindowTitle(QStringLiteral("Редактирование отчета"));
    BuildForm();
    FillFromWorkBlock();
}

int CEFuncT54FormEditDlg::EditWorkBlock(kalvor::infobase::KalvorDocData& doc, QWidget* parent)
{
    CEFuncT54FormEditDlg dialog(doc, parent);
    return dialog.exec();
}

QLineEdit* CEFuncT54FormEditDlg::Edit(int id) const { return controlAs<QLineEdit>(id); }

NullableDateEdit* CEFuncT54FormEditDlg::Picker(int id) const { return controlAs<NullableDateEdit>(id); }

void CEFuncT54FormEditDlg::BuildForm()
{
    auto* layout = new QVBoxLayout(this);
    auto* employee = ShownValueEdit(this);
    SetControl(IdEmployeeText, employee);
    auto* head = new QGridLayout;
    head->addWidget(new QLabel(QStringLiteral("сотрудник"), this), 0, 0);
    head->addWidget(employee, 0, 1);
    layout->addLayout(head);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Строка 1"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Строка 2"), this), 0, 2);
    int row = 1;
    for (const EditorRow& r : kRows) {
        grid->addWidget(new QLabel(QString::fromUtf8(r.label).trimmed(), this), row, 0);
        for (int id : {r.line1, r.line2}) {
            QWidget* widget = nullptr;
            if (r.kind == CellKind::Date) {
                auto* picker = new NullableDateEdit(this);
                connect(picker, &NullableDateEdit::dateChanged, picker,
                        [picker] { OnDateTimeChangeSetFormat(picker); });
                widget = picker;
            } else {
                const QString name = QStringLiteral("%1, строка %2")
                                         .arg(QString::fromUtf8(r.label).trimmed())
                                         .arg(id == r.line1 ? 1 : 2);
                widget = new CTypedEdit({name, CellRule(r.kind)}, this);
            }
            SetControl(id, widget);
            grid->addWidget(widget, row, id == r.line1 ? 1 : 2);
        }
        ++row;
    }
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Сформировать отчет"), QDialogButtonBox::AcceptRole);
    QPushButton* close = buttons->addButton(QStringLiteral("Закрыть"), QDialogButtonBox::RejectRole);
    SetControl(1, ok);
    SetControl(2, close);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CEFuncT54FormEditDlg::FillFromWorkBlock()
{
    const T54WorkBlock block(m_doc);
    Edit(IdEmployeeText)->setText(m_doc.formBlock[kalvor::exchange::T54EmployeeText]);
    for (const EditorRow& r : kRows)
        for (int line = 0; line < 2; ++line) {
            const int id = line == 0 ? r.line1 : r.line2;
            const double value = r.kind == CellKind::Text ? 0 : block.cell(line, r.cell);
            switch (r.kind) {
            case CellKind::Date: SetPickerFromPackedDate(Picker(id), std::uint16_t(value)); break;
            case CellKind::Text: Edit(id)->setText(m_doc.formBlock[std::size_t(r.cell + 2 * line)]); break;
            case CellKind::Amount:
            case CellKind::CountedAmount: Edit(id)->setText(AmountText(value)); break;
            case CellKind::CountedInteger: Edit(id)->setText(kalvor::FormatIntField(int(value))); break;
            case CellKind::Integer: Edit(id)->setText(IntegerText(value)); break;
            }
        }
}

void CEFuncT54FormEditDlg::StoreIntoWorkBlock()
{
    T54WorkBlock block(m_doc);
    for (const EditorRow& r : kRows)
        for (int line = 0; line < 2; ++line) {
            const int id = line == 0 ? r.line1 : r.line2;
            double& cell = block.cell(line, r.kind == CellKind::Text ? 0 : r.cell);
            switch (r.kind) {
            case CellKind::Date: {
                std::uint16_t packed = std::uint16_t(cell);
                GetDateFromPicker(Picker(id), &packed);
                cell = packed;
                break;
            }
            case CellKind::Text:
                kalvor::StoreTextIfChanged(Edit(id)->text(), m_doc.formBlock[std::size_t(r.cell + 2 * line)],
                                           kalvor::exchange::kT54FormTextLength);
                break;
            case CellKind::Integer:
            case CellKind::Amount:
            case CellKind::CountedInteger:
            case CellKind::CountedAmount: {
                // The value the field's kind read (roubles from kopecks); a
                // text that does not read keeps the cell.
                const auto* edit = qobject_cast<const CTypedEdit*>(Edit(id));
                const kalvor::FigureReading reading = edit ? edit->Reading() : kalvor::FigureReading{};
                if (reading.read)
                    cell = reading.units / std::pow(10.0, edit->Kind().rule.decimals);
                break;
            }
            }
        }
}

void CEFuncT54FormEditDlg::accept()
{
    if (!CommitDateFields(this) || !ReadTypedInputs(this))
        return;
    StoreIntoWorkBlock();
    QDialog::accept();
}
