#include "reports/social/ui/ReportEditDlg.h"

#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/WaitCursor.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include <climits>
#include <cmath>
#include <cstdlib>

namespace kalvor::reports {

using enum EditFieldFormat;

QString ReportEditDlg::FieldText(double value)
{
    const double whole = std::trunc(value);
    if (whole == 0 || std::isnan(whole))
        return QString();
    const int number = whole >= INT_MAX ? INT_MAX : whole <= INT_MIN ? INT_MIN : int(whole);
    return QString::number(number);
}

int ReportEditDlg::FieldNumber(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const long number = std::strtol(bytes.constData(), nullptr, 10);
    return number > INT_MAX ? INT_MAX : number < INT_MIN ? INT_MIN : int(number);
}

QString ReportEditDlg::MoneyText(double value)
{
    if (value == 0 || std::isnan(value))
        return QString();
    return QString::fromLatin1(FormatFixed8(value, 2));
}

double ReportEditDlg::MoneyNumber(const QString& text)
{
    // A point or a comma before the kopecks; a text that does not read in
    // full is read as strtod reads it in the "C" numeric locale.
    double typed = 0;
    if (kalvor::ReadTypedDecimal(text, typed) != kalvor::TypedDecimal::Refused)
        return typed;
    const QByteArray bytes = text.toLatin1();
    const double number = std::strtod(bytes.constData(), nullptr);
    return std::isfinite(number) ? number : 0;
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
        auto* edit = new QLineEdit(this);
        edit->setAlignment(Qt::AlignRight);
        widget = edit;
    }
    widget->setMinimumWidth(110);
    SetControl(field.control, widget);
    grid->addWidget(widget, row, column);
    m_fields.push_back(field);
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
    if (!m_fields.empty())
        control(m_fields.front().control)->setFocus();
}

void ReportEditDlg::LoadValues()
{
    for (const ReportEditField& field : m_fields) {
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

void ReportEditDlg::SaveValues()
{
    for (const ReportEditField& field : m_fields) {
        double& value = m_doc.GenrValues[std::size_t(field.index)];
        if (field.format == Date) {
            std::uint16_t packed = 0;
            GetDateFromPicker(controlAs<NullableDateEdit>(field.control), &packed);
            value = packed;
        } else {
            const QString text = controlAs<QLineEdit>(field.control)->text();
            value = field.format == Money ? MoneyNumber(text) : FieldNumber(text);
        }
    }
}

void ReportEditDlg::Save()
{
    WaitCursor wait;
    SaveValues();
}

void ReportEditDlg::SaveAndMake()
{
    Save();
    WaitCursor wait;
    WriteOutputs();
}

} // namespace kalvor::reports
