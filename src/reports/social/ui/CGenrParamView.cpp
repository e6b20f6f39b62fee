#include "reports/social/ui/CGenrParamView.h"

#include "infobase/FirmParameters.h"

#include "platform/Db.h"
#include "reports/social/GeneratorParameters.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FieldHelp.h"
#include "shell/ui/FieldWidth.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <climits>

using kalvor::infobase::FirmInfo;
using kalvor::reports::GeneratorChoice;

namespace {

// The firm's texts on the form, in the order of the form.
struct TextField {
    int id;
    const char* label;
    FirmInfo::Text text;
};
constexpr TextField kTextFields[] = {
    {1108, "ИНН", FirmInfo::firmINN},
    {1109, "КПП", FirmInfo::firmKPP},
    {1051, "ОКАТО", FirmInfo::firmOKATO},
    {1055, "ОКФС", FirmInfo::firmOKFS},
    {1110, "ОКВЭД", FirmInfo::firmOKVED},
    {1053, "ОКПО", FirmInfo::firmOKPO},
    {1052, "ОГРН", FirmInfo::firmOGRN},
    {1054, "ОКОПФ", FirmInfo::firmOKOPF},
    {1111, "Регистрац.номер в ПФ", FirmInfo::firmPens},
    {1112, "Регистрац.номер в ФСС", FirmInfo::firmFSS},
    {1056, "Код подчиненности", FirmInfo::firmPodchFSS},
    {1113, "Регистрационный номер в ТФОМС", FirmInfo::firmOMS},
    {1114, "Налоговый орган", FirmInfo::firmNalogovaya},
    {1057, "Код отделения ИФНС", FirmInfo::firmGNI},
    {1058, "Код отделения ФСС", FirmInfo::KodOtdFSS},
    {1115, "Контактный телефон организации", FirmInfo::adrPhone},
    {1116, "ФИО рук-ля", FirmInfo::fioShef},
    {1117, "ИНН", FirmInfo::innShef},
    {1118, "ФИО гл.бух", FirmInfo::fioBuh},
    {1120, "ИНН", FirmInfo::innBuh},
    {1119, "ФИО предст", FirmInfo::fioPredst},
    {1121, "ИНН", FirmInfo::innPredst},
    {1122, "Дополнительный код обособленного подразделения", FirmInfo::firmKodObosob},
    {1466, "Территориальный орган ФСС", FirmInfo::territOrganFSS},
};

// The four choices, their pick lists (code 0 and 1).
struct ChoiceField {
    int id;
    const char* label;
    GeneratorChoice choice;
    const char* no;
    const char* yes;
};
constexpr ChoiceField kChoiceFields[] = {
    {1059, "Как включать доходы и налоги в отчет", GeneratorChoice::IncomeByAccrualDate,
     "Использовать дату выплаты доходов", "Использовать дату начисления доходов"},
    {1060, "Вся база считается по упрощенной системе налогообложения", GeneratorChoice::SimplifiedTaxation, "Нет",
     "Да"},
    {1061, "Относятся ли все сотрудники базы к обособленному подразделению", GeneratorChoice::SeparateDivision,
     "Обособленные подразделения отсутствуют", "База является обособленным подразделением"},
    {1062, "Сортировка", GeneratorChoice::ListInNameOrder, "По порядку табельных номеров", "В алфавитном порядке"},
};

// The text fields that take any text; the others take numbers.
constexpr int kFreeTextFields[] = {1110, 1111, 1114, 1115, 1116, 1118, 1119, 1466};

QString NumberText(int value) { return value != 0 ? QString::number(value) : QString(); }

} // namespace

CGenrParamView::CGenrParamView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(413, doc, parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* form = new QGroupBox(QStringLiteral("Параметры работы генератора"), this);
    auto* grid = new QGridLayout(form);
    outer->addWidget(form);
    outer->addStretch(1);
    // One field under the other in the keyboard's order, the period first,
    // then the texts and the choices: two columns of texts are wider than the
    // room beside the frame's panel at 1024x768.
    using kalvor::WholeFigure;
    AddField(
        grid, IdYear,
        {QStringLiteral("Отчетный год"),
         WholeFigure(INT_MIN, INT_MAX),
         {},
         [](const QString& text) { return kalvor::reports::ReportYearRefusal(QStringLiteral("Отчетный год"), text); }},
        60);
    // The period's months in order, whichever is typed (0: not set).
    AddField(grid, IdFirstMonth, m_months.FirstKind(), 60);
    AddField(grid, IdLastMonth, m_months.LastKind(), 60);
    m_months.Watch(controlAs<QLineEdit>(IdFirstMonth), controlAs<QLineEdit>(IdLastMonth));
    for (const TextField& field : kTextFields) {
        // A taxpayer's number has 10 digits (the firm's) or 12 (a person's).
        const QString label = QString::fromUtf8(field.label);
        AddField(grid, field.id,
                 label == QLatin1String("ИНН") ? InnInputKind(label, FirmInfo::TextWidth)
                                               : InputKind{label, kalvor::TextFigure(FirmInfo::TextWidth)},
                 180);
    }
    for (const ChoiceField& choice : kChoiceFields)
        AddField(grid, choice.id, {QString::fromUtf8(choice.label), WholeFigure(0, 1)}, 40);
    grid->setColumnStretch(1, 1);
}

CGenrParamView::~CGenrParamView()
{
    if (!m_saved)
        Save();
}

void CGenrParamView::AddField(QGridLayout* grid, int id, InputKind kind, int width)
{
    auto* text = new QLabel(kind.name, this);
    auto* field = new CTypedEdit(std::move(kind), this);
    field->setFixedWidth(width);
    text->setBuddy(field);
    // The long labels wrap, beside their field.
    text->setWordWrap(true);
    const int row = grid->rowCount();
    grid->addWidget(text, row, 0);
    grid->addWidget(field, row, 1, Qt::AlignLeft);
    SetControl(id, field);
}

void CGenrParamView::OnInitialUpdate()
{
    const auto& base = Document()->infoBase;
    const auto& config = base.config;
    // A year not set is the base's reporting year, shown as such.
    controlAs<QLineEdit>(IdYear)->setText(
        QString::number(config.r_g != 0 ? config.r_g + 1900 : config.reportingYear()));
    controlAs<QLineEdit>(IdFirstMonth)->setText(NumberText(config.r_m1));
    controlAs<QLineEdit>(IdLastMonth)->setText(NumberText(config.r_m2));
    for (const TextField& field : kTextFields) {
        auto* edit = controlAs<QLineEdit>(field.id);
        edit->setText(base.firm.texts[std::size_t(field.text)]);
        FitFieldToText(*edit); // a long name shows whole; the screen scrolls instead
    }
    for (const ChoiceField& choice : kChoiceFields)
        controlAs<QLineEdit>(choice.id)->setText(
            kalvor::reports::GeneratorChoiceSet(base.firm, choice.choice) ? QStringLiteral("1") : QString());
    OnTaskViewCtlColor(*this);
    // The screen begins with the year, at its top.
    controlAs<QLineEdit>(IdYear)->setFocus(Qt::OtherFocusReason);
}

void CGenrParamView::ShowFormHelp()
{
    if (m_focusedId == IdFirstMonth || m_focusedId == IdLastMonth) {
        QStringList months;
        for (int month = 1; month <= 12; ++month)
            months << QStringLiteral("%1|%2").arg(month).arg(kalvor::MonthName(month));
        ShowHelpList(months, {3, false, 260, 300});
        return;
    }
    for (const ChoiceField& choice : kChoiceFields) {
        if (m_focusedId == choice.id) {
            ShowHelpList({QStringLiteral("0|") + QString::fromUtf8(choice.no),
                          QStringLiteral("1|") + QString::fromUtf8(choice.yes)},
                         {3, false, 400, 120});
            return;
        }
    }
    const bool freeText =
        std::find(std::begin(kFreeTextFields), std::end(kFreeTextFields), m_focusedId) != std::end(kFreeTextFields);
    ShowFieldHint(
        freeText ? QStringLiteral("Введите данные\nв соответствии с назначением поля") : AnyIntegerFieldHint(), 3, 300);
}

bool CGenrParamView::CanLeave()
{
    if (!ReadTypedInputs(this))
        return false;
    Save();
    return true;
}

void CGenrParamView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        CCommonFormView::keyPressEvent(event);
        return;
    }
    if (auto* frame = qobject_cast<CMainFrame*>(window()))
        frame->OnMainPanelTaxReports();
}

void CGenrParamView::Save()
{
    m_saved = true;
    const bool period = SavePeriod();
    const bool texts = SaveTexts();
    const bool choices = SaveChoices();
    if (!(period || texts || choices))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::StoreFirmParameters(Document()->infoBase);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
    }
    QApplication::restoreOverrideCursor();
}

bool CGenrParamView::SavePeriod()
{
    auto& config = Document()->infoBase.config;
    bool changed = false;
    // The field shows the base's reporting year for a year that is not set
    // (an older screen showed 1900); either leaves it not set.
    const int storedYear = config.r_g == 0 ? 0 : config.r_g + 1900;
    int year = int(Typed(IdYear)->UnitsOr(storedYear));
    if (year == 1900 || (config.r_g == 0 && year == config.reportingYear()))
        year = 0;
    if (year != storedYear) {
        if (!kalvor::reports::ReportYearAccepted(year)) {
            KalvorMessageBox(kalvor::reports::ReportYearRefusedText(), MB_OK | MB_ICONWARNING,
                             QString::fromUtf8(kMessageCaption), this);
        } else {
            config.r_g = kalvor::infobase::u8(year == 0 ? 0 : year - 1900);
            changed = true;
        }
    }
    for (auto [id, stored] : {std::pair{int(IdFirstMonth), &config.r_m1}, std::pair{int(IdLastMonth), &config.r_m2}}) {
        int month = int(Typed(id)->UnitsOr(*stored));
        if (month < 1 || month > 12)
            month = 0;
        if (month != *stored) {
            *stored = kalvor::infobase::u8(month);
            changed = true;
        }
    }
    return changed;
}

bool CGenrParamView::SaveTexts()
{
    auto& firm = Document()->infoBase.firm;
    bool changed = false;
    for (const TextField& field : kTextFields) {
        const QString text = controlAs<QLineEdit>(field.id)->text().left(FirmInfo::TextWidth);
        QString& stored = firm.texts[std::size_t(field.text)];
        if (text != stored) {
            stored = text;
            changed = true;
        }
    }
    return changed;
}

bool CGenrParamView::SaveChoices()
{
    auto& firm = Document()->infoBase.firm;
    bool changed = false;
    for (const ChoiceField& choice : kChoiceFields)
        changed |= kalvor::reports::SetGeneratorChoice(
            firm, choice.choice,
            Typed(choice.id)->UnitsOr(kalvor::reports::GeneratorChoiceSet(firm, choice.choice)) == 1);
    return changed;
}
