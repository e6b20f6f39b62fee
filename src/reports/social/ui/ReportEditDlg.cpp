#include "reports/social/ui/ReportEditDlg.h"

#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/WaitCursor.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kalvor::reports {

using enum EditFieldFormat;

namespace {
// A balance shown whole takes any number an int holds; one shown to the
// kopeck any amount, a debt above 0 and an overpayment below.
constexpr FigureRule kWholeRule = WholeFigure(INT_MIN, INT_MAX);
constexpr FigureRule kMoneyRule = SignedMoneyFigure();
} // namespace

QString ReportEditDlg::FieldText(double value)
{
    if (value == 0)
        return QString();
    if (value != std::trunc(value) || value > INT_MAX || value < INT_MIN)
        return QString::fromLatin1(FormatFixed8(value, 2));
    return QString::number(int(value));
}

QString ReportEditDlg::MoneyText(double value)
{
    if (value == 0 || std::isnan(value))
        return QString();
    return QString::fromLatin1(FormatFixed8(value, 2));
}

std::optional<double> ReportEditDlg::MoneyNumber(const QString& text)
{
    const FigureReading reading = ReadFigure(QString(), kMoneyRule, text);
    return reading.read ? std::optional<double>(reading.units / 100) : std::nullopt;
}

ReportEditDlg::ReportEditDlg(PayrollDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc)
{
    setWindowTitle(QStringLiteral("Редактирование отчета"));
}

void ReportEditDlg::AddField(QGridLayout* grid, const ReportEditField& field, int row, int column)
{
    QWidget* widget = nullptr;
    if (field.format == Date) {
        auto* picker = new NullableDateEdit(this);
        connect(picker, &NullableDateEdit::dateChanged, picker, [picker] { OnDateTimeChangeSetFormat(picker); });
        widget = picker;
    } else {
        // Named and, for a whole field holding a computed amount, read to the
        // kopeck once the form is laid out (Finish).
        auto* edit = new CTypedEdit({QString(), FieldRule(field, field.format == Money)}, this);
        edit->setAlignment(Qt::AlignRight);
        widget = edit;
    }
    widget->setMinimumWidth(110);
    SetControl(field.control, widget);
    grid->addWidget(widget, row, column);
    m_grid = grid;
    m_fields.push_back({field, row, column, QString()});
}

void ReportEditDlg::Finish(QGridLayout* grid, int row)
{
    const struct {
        int id;
        const char* text;
    } buttons[] = {{IdSave, "Сохранить"}, {IdMake, "Сформировать отчет"}, {IdClose, "Закрыть"}};
    auto* line = new QHBoxLayout;
    line->addStretch();
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(b.text), this);
        button->setAutoDefault(false);
        SetControl(b.id, button);
        line->addWidget(button);
    }
    grid->addLayout(line, row, 0, 1, grid->columnCount());
    connect(controlAs<QPushButton>(IdSave), &QPushButton::clicked, this, &ReportEditDlg::Save);
    connect(controlAs<QPushButton>(IdMake), &QPushButton::clicked, this, &ReportEditDlg::SaveAndMake);
    connect(controlAs<QPushButton>(IdClose), &QPushButton::clicked, this, &QDialog::reject);
    LoadValues();
    for (PlacedField& placed : m_fields) placed.shown = FieldState(placed.field);
    KindFieldsByTheirValues();
    if (!m_fields.empty())
        control(m_fields.front().field.control)->setFocus();
}

void ReportEditDlg::KindFieldsByTheirValues()
{
    for (const PlacedField& placed : m_fields)
        if (auto* edit = qobject_cast<CTypedEdit*>(control(placed.field.control)))
            edit->SetKind({FieldName(placed), FieldRule(placed.field, HoldsKopecks(placed))});
}

FigureRule ReportEditDlg::FieldRule(const ReportEditField& field, bool kopecks)
{
    if (!field.fromZero)
        return kopecks ? kMoneyRule : kWholeRule;
    if (!kopecks)
        return WholeFigure(0, field.most);
    return field.most == kAnyWhole ? AmountFigure() : AmountFigure(field.most);
}

void ReportEditDlg::LoadValues()
{
    for (const auto& [field, row, column, shown] : m_fields) {
        const double value = m_doc.GenrValues[std::size_t(field.index)];
        if (field.format == Date) {
            const double whole = std::trunc(value);
            const auto packed = whole > 0 && whole < 65536 ? std::uint16_t(whole) : std::uint16_t(0);
            SetPickerFromPackedDate(controlAs<NullableDateEdit>(field.control), packed);
        } else {
            controlAs<QLineEdit>(field.control)->setText(field.format == Money ? MoneyText(value) : FieldText(value));
        }
    }
}

QString ReportEditDlg::FieldState(const ReportEditField& field) const
{
    if (field.format != Date)
        return controlAs<QLineEdit>(field.control)->text();
    std::uint16_t packed = 0;
    GetDateFromPicker(controlAs<NullableDateEdit>(field.control), &packed);
    return QString::number(packed);
}

bool ReportEditDlg::AnyFieldChanged() const
{
    return std::any_of(m_fields.begin(), m_fields.end(),
                       [this](const PlacedField& placed) { return FieldChanged(placed); });
}

double ReportEditDlg::SumByKopecks(std::initializer_list<double> roubles)
{
    double kopecks = 0;
    for (const double amount : roubles) kopecks += kalvor::KopecksFromRoubles(amount);
    return kopecks / 100 + 0.0;
}

QString ReportEditDlg::FieldName(const PlacedField& placed) const
{
    QString name;
    for (int row = placed.row; row >= 0 && name.isEmpty(); --row)
        if (QLayoutItem* item = m_grid->itemAtPosition(row, 0))
            if (auto* label = qobject_cast<QLabel*>(item->widget()))
                name = label->text().trimmed();
    const auto onItsLine = std::count_if(m_fields.begin(), m_fields.end(),
                                         [&](const PlacedField& other) { return other.row == placed.row; });
    if (onItsLine > 1)
        name += QStringLiteral(", графа %1").arg(placed.column);
    return name;
}

bool ReportEditDlg::FieldsRead() { return ReadTypedInputs(this); }

void ReportEditDlg::SaveValues(GenrValueArray& values)
{
    for (const PlacedField& placed : m_fields) {
        if (!FieldChanged(placed))
            continue;
        const ReportEditField& field = placed.field;
        double& value = values[std::size_t(field.index)];
        if (field.format == Date) {
            std::uint16_t packed = 0;
            GetDateFromPicker(controlAs<NullableDateEdit>(field.control), &packed);
            value = packed;
        } else {
            // The value the field's kind read (roubles from kopecks); a text
            // that does not read keeps the value.
            const auto* edit = controlAs<CTypedEdit>(field.control);
            const kalvor::FigureReading reading = edit ? edit->Reading() : kalvor::FigureReading{};
            if (reading.read)
                value = reading.units / std::pow(10.0, edit->Kind().rule.decimals);
        }
    }
}

bool ReportEditDlg::FiguresAgree(const GenrValueArray& values)
{
    std::vector<FigureRelation> own;
    for (const FigureRelation& relation : Relations(values)) {
        const auto focused = std::find_if(m_fields.begin(), m_fields.end(), [&](const PlacedField& placed) {
            return placed.field.index == relation.focus;
        });
        if (focused != m_fields.end())
            own.push_back(relation);
    }
    const std::optional<FigureRelation> broken = BrokenRelation(own);
    if (!broken)
        return true;
    KalvorMessageBox(broken->refusal(), MB_OK | MB_ICONERROR, QString(), this);
    for (const PlacedField& placed : m_fields)
        if (placed.field.index == broken->focus)
            if (auto* edit = qobject_cast<QLineEdit*>(control(placed.field.control))) {
                edit->setFocus();
                edit->selectAll();
            }
    return false;
}

bool ReportEditDlg::Save()
{
    if (!FieldsRead())
        return false;
    // The values as the save leaves them, kept only when they agree.
    GenrValueArray values = m_doc.GenrValues;
    SaveValues(values);
    if (AnyFieldChanged() && !FiguresAgree(values))
        return false;
    WaitCursor wait;
    m_doc.GenrValues = values;
    for (PlacedField& placed : m_fields) placed.shown = FieldState(placed.field);
    return true;
}

void ReportEditDlg::reject()
{
    if (AnyFieldChanged() &&
        KalvorMessageBox(QStringLiteral("Отменить изменения, внесенные в отчет?"),
                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), this) != IDYES)
        return;
    QDialog::reject();
}

void ReportEditDlg::SaveAndMake()
{
    if (!Save())
        return;
    WaitCursor wait;
    WriteOutputs();
}

} // namespace kalvor::reports
