#include "reports/incometax/ui/CGenrNalRegEditDlg.h"

#include "platform/GuiBridge.h"
#include "print/CTree.h"
#include "reports/incometax/TaxRegister.h"
#include "reports/incometax/TaxRegisterForm.h"
#include "reports/social/ui/CGenrRVedFSSEditDlg.h"
#include "reports/social/ui/GenrWorker.h"
#include "shell/ui/FieldWidth.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/Messages.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kalvor::reports {

namespace {

const char* const kMonthNames[] = {"Январь", "Февраль",  "Март",    "Апрель", "Май",     "Июнь", "Июль",
                                   "Август", "Сентябрь", "Октябрь", "Ноябрь", "Декабрь", "Итого"};

QPushButton* AddChoice(QDialog* dialog, QLayout* layout, const QString& text)
{
    auto* button = new QPushButton(text, dialog);
    button->setAutoDefault(false);
    layout->addWidget(button);
    return button;
}

} // namespace

// ---------------------------------------------------------------- the choice

CRepEdit3Dlg::CRepEdit3Dlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Обработка отчета"));
    auto* layout = new QVBoxLayout(this);
    const struct {
        int id;
        const char* text;
    } buttons[] = {{ChoiceEdit, "Редактировать"}, {ChoiceMake, "Сформировать отчет"}, {IDCANCEL, "Отмена"}};
    for (const auto& b : buttons) {
        QPushButton* button = AddChoice(this, layout, QString::fromUtf8(b.text));
        SetControl(b.id, button);
        const int result = b.id;
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    }
    auto* make = controlAs<QPushButton>(ChoiceMake);
    make->setDefault(true);
    make->setFocus();
    FitWindowToTitle(*this);
}

void CRepEdit3Dlg::reject() { done(IDCANCEL); }

// ---------------------------------------------------------------- the editor

CGenrNalRegEditDlg::CGenrNalRegEditDlg(const ReportSelection& selection, int markedCount, const QString& outputPath,
                                       PayrollDoc& doc, QWidget* parent)
    : QDialog(parent), m_selection(selection), m_markedCount(markedCount), m_outputPath(outputPath), m_doc(doc)
{
    setWindowTitle(QStringLiteral("Редактирование данных"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("3.1 Сумма с предыдущего места работы:"), this), 0, 0, 1, 2);
    // The amounts from 0, to the kopeck; a payment order's number has at most six digits.
    constexpr double kMaxPaymentOrder = 999999;
    auto* previous = new CTypedEdit({QStringLiteral("3.1 Сумма с предыдущего места работы"), AmountFigure()}, this);
    SetControl(IdPreviousEmployer, previous);
    grid->addWidget(previous, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Сведения переданы в налоговый орган"), this), 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("плат. поручение №"), this), 1, 3);
    for (int line = 0; line < kRegisterMonths; ++line) {
        const int row = line + 2;
        const QString month = QString::fromUtf8(kMonthNames[line]);
        grid->addWidget(new QLabel(month, this), row, 0);
        auto* amount = new CTypedEdit({month, AmountFigure()}, this);
        SetControl(kAmountIds[std::size_t(line)], amount);
        grid->addWidget(amount, row, 1);
        if (line < 12) {
            auto* date = new NullableDateEdit(this);
            SetControl(kDateIds[std::size_t(line)], date);
            grid->addWidget(date, row, 2);
        }
        auto* order =
            new CTypedEdit({QStringLiteral("%1: плат. поручение №").arg(month), CountFigure(kMaxPaymentOrder)}, this);
        SetControl(kOrderIds[std::size_t(line)], order);
        grid->addWidget(order, row, 3);
    }
    auto* make = new QPushButton(QStringLiteral("Сформировать отчет"), this);
    auto* close = new QPushButton(QStringLiteral("Закрыть"), this);
    make->setAutoDefault(false);
    close->setAutoDefault(false);
    SetControl(IdMake, make);
    SetControl(IdClose, close);
    grid->addWidget(make, kRegisterMonths + 2, 1);
    grid->addWidget(close, kRegisterMonths + 2, 2);
    connect(make, &QPushButton::clicked, this, &CGenrNalRegEditDlg::MakeRegister);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    LoadValues();
    previous->setFocus();
}

void CGenrNalRegEditDlg::LoadValues()
{
    RegisterArea area(m_doc);
    controlAs<QLineEdit>(IdPreviousEmployer)->setText(FssEditDlgBase::MoneyText(area.previousEmployer()));
    // Every line that StoreValues writes, "Итого" too (it has no date).
    for (int line = 0; line < kRegisterMonths; ++line) {
        controlAs<QLineEdit>(kAmountIds[std::size_t(line)])->setText(FssEditDlgBase::MoneyText(area.transferred(line)));
        controlAs<QLineEdit>(kOrderIds[std::size_t(line)])->setText(FssEditDlgBase::FieldText(area.paymentOrder(line)));
        if (line < 12)
            SetPickerFromPackedDate(controlAs<NullableDateEdit>(kDateIds[std::size_t(line)]),
                                    std::uint16_t(area.transferDate(line)));
    }
}

bool CGenrNalRegEditDlg::StoreValues()
{
    if (!ReadTypedInputs(this))
        return false;
    RegisterArea area(m_doc);
    auto whole = [this](int id) { return double(controlAs<CTypedEdit>(id)->UnitsOr(0)); };
    auto amount = [this](int id) { return FssEditDlgBase::MoneyNumber(controlAs<QLineEdit>(id)->text()).value_or(0); };
    area.previousEmployer() = amount(IdPreviousEmployer);
    for (int line = 0; line < kRegisterMonths; ++line) {
        area.transferred(line) = amount(kAmountIds[std::size_t(line)]);
        area.paymentOrder(line) = whole(kOrderIds[std::size_t(line)]);
        if (line < 12) {
            std::uint16_t date = 0;
            GetDateFromPicker(controlAs<NullableDateEdit>(kDateIds[std::size_t(line)]), &date);
            area.transferDate(line) = date;
        }
    }
    return true;
}

void CGenrNalRegEditDlg::MakeRegister()
{
    if (!StoreValues())
        return;
    m_made = MakeNalRegistr({}, m_selection, m_markedCount, m_outputPath, m_doc);
}

// ---------------------------------------------------------------- the run

platform::TaskOutcome MakeNalRegistr(std::stop_token stop, const ReportSelection& selection, int markedCount,
                                     const QString& outputPath, PayrollDoc& doc)
{
    try {
        CalcNalRegistr(stop, selection, markedCount, doc);
        GenrRunDetail detail;
        const int printed = PrintNalRegistr(stop, selection, outputPath, markedCount, doc, &detail);
        if (printed == GenrDone)
            return platform::ViewedDocumentOutcome(print::RtfOutputPath(outputPath), detail.text);
        if (printed < 0)
            ShowGenrError(ReportErrorText(printed));
        else if (printed == GenrPrintFailed && !detail.text.isEmpty())
            ShowGenrError(detail.text);
    } catch (const TextError& error) {
        ShowGenrError(error.message());
    }
    return platform::TaskOutcome();
}

platform::TaskOutcome RunNalRegReport(const QString& outputPath, const ReportSelection& selection, int markedCount,
                                      PayrollDoc& doc, std::stop_token stop)
{
    const int choice = platform::GuiBridge::runBlocking([] { return CRepEdit3Dlg().DoModal(); });
    if (choice == CRepEdit3Dlg::ChoiceEdit) {
        platform::TaskOutcome made;
        platform::GuiBridge::runBlocking([&] {
            CGenrNalRegEditDlg editor(selection, markedCount, outputPath, doc);
            const int closed = editor.DoModal();
            made = editor.Made();
            return closed;
        });
        return made;
    }
    if (choice == CRepEdit3Dlg::ChoiceMake)
        return MakeNalRegistr(stop, selection, markedCount, outputPath, doc);
    return platform::TaskOutcome();
}

} // namespace kalvor::reports
