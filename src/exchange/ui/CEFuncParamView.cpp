#include "exchange/ui/CEFuncParamView.h"

#include "infobase/FirmParameters.h"
#include "platform/Db.h"
#include "reports/social/GeneratorParameters.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QApplication>
#include <QLineEdit>
#include <climits>

#include <cmath>

using kalvor::infobase::FirmInfo;

namespace {

// The firm texts of the form, by control.
struct TextField {
    int id;
    FirmInfo::Text text;
};
constexpr TextField kTextFields[] = {
    {CEFuncParamView::IdTaxInspection, FirmInfo::firmGNI},
    {CEFuncParamView::IdTaxpayerNumber, FirmInfo::firmINN},
    {CEFuncParamView::IdReasonCode, FirmInfo::firmKPP},
    {CEFuncParamView::IdPensionFundNumber, FirmInfo::firmPens},
};
constexpr int kTextCapacity = 120;
// Bits of the firm's parameter word.
constexpr int kIncomeDatingBit = 0x01;
constexpr int kSortingBit = 0x20;

QString NumberOrEmpty(long long value) { return value == 0 ? QString() : QString::number(value); }

// A number outside first..last counts as 0.
int InRange(int value, int first, int last) { return value >= first && value <= last ? value : 0; }

template <class T>
bool StoreValue(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

QString FlagText(int word, int bit) { return (word & bit) != 0 ? QStringLiteral("1") : QString(); }

} // namespace

CEFuncParamView::CEFuncParamView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, LeaveToMainPanel, doc, parent)
{
    BeginForm(QStringLiteral("Параметры работы генератора"));
    using kalvor::WholeFigure;
    constexpr double kMostRoubles = 999999999999;
    const kalvor::FigureRule text = kalvor::TextFigure(kTextCapacity - 1);
    AddInput(IdYear, {QStringLiteral("Отчетный год"), WholeFigure(INT_MIN, INT_MAX), {}, [](const QString& text) {
                          return kalvor::reports::ReportYearRefusal(QStringLiteral("Отчетный год"), text);
                      }});
    // The period's months in order, whichever is typed (0: not set).
    AddInput(IdFirstMonth, m_months.FirstKind());
    AddInput(IdLastMonth, m_months.LastKind());
    m_months.Watch(Typed(IdFirstMonth), Typed(IdLastMonth));
    AddInput(IdTaxInspection, {QStringLiteral("Код ГНИ (2 знака - регион  +  2 знака - инспекция)"), text}, 160);
    AddInput(IdTaxpayerNumber,
             InnInputKind(QStringLiteral("ИНН - идентификационный номер предприятия"), kTextCapacity - 1), 160);
    AddInput(IdReasonCode, {QStringLiteral("КПП - код причины постановки на учет"), text}, 160);
    AddInput(IdPensionFundNumber, {QStringLiteral("Регистрационный номер предприяния (пенсионный фонд)"), text}, 160);
    AddInput(IdMinimalRateLimit,
             {QStringLiteral("По минимальной налоговой ставке облагаются доходы до"), WholeFigure(0, kMostRoubles)},
             120);
    AddInput(IdMaximalRateLimit,
             {QStringLiteral("По максимальной налоговой ставке облагаются доходы, превышающие"),
              WholeFigure(0, kMostRoubles)},
             120);
    AddInput(IdIncomeDating, {QStringLiteral("Как включать доходы и налоги в отчет"), WholeFigure(0, 1)}, 40);
    AddInput(IdSorting, {QStringLiteral("Сортировка"), WholeFigure(0, 1)}, 40);
    ShowStoredValues();
}

void CEFuncParamView::AddInput(int id, InputKind kind, int width)
{
    auto* input = new CTypedEdit(std::move(kind), this);
    AddRow(LabelledRow(input, width));
    SetControl(id, input);
}

CTypedEdit* CEFuncParamView::Typed(int id) const { return controlAs<CTypedEdit>(id); }

CEFuncParamView::~CEFuncParamView()
{
    StopWorker();
    StoreChanges();
}

kalvor::platform::TaskThread::Body CEFuncParamView::MakeTaskBody() { return {}; }

bool CEFuncParamView::CanLeave()
{
    if (!ReadTypedInputs(this))
        return false;
    StoreChanges();
    return CExchangeTaskView::CanLeave();
}

bool CEFuncParamView::OnCommand(int id)
{
    if (id == IDOK)
        return true;
    return CExchangeTaskView::OnCommand(id);
}

void CEFuncParamView::ShowStoredValues()
{
    const auto& base = Document()->infoBase;
    auto show = [this](int id, const QString& text) {
        if (auto* field = qobject_cast<QLineEdit*>(control(id)))
            field->setText(text);
    };
    // An unset year shows empty, not as 1900.
    show(IdYear, base.config.r_g == 0 ? QString() : QString::number(base.config.r_g + 1900));
    show(IdFirstMonth, NumberOrEmpty(base.config.r_m1));
    show(IdLastMonth, NumberOrEmpty(base.config.r_m2));
    for (const TextField& text : kTextFields) show(text.id, base.firm.texts[std::size_t(text.text)]);
    show(IdMinimalRateLimit, NumberOrEmpty((long long)std::trunc(base.firm.minOblStav)));
    show(IdMaximalRateLimit, NumberOrEmpty((long long)std::trunc(base.firm.maxOblStav)));
    show(IdIncomeDating, FlagText(base.firm.parWord, kIncomeDatingBit));
    show(IdSorting, FlagText(base.firm.parWord, kSortingBit));
}

void CEFuncParamView::ShowFormHelp()
{
    switch (m_focusedId) {
    case IdFirstMonth:
    case IdLastMonth:
        ShowHelpList({QStringLiteral("1 |Январь"), QStringLiteral("2|Февраль"), QStringLiteral("3|Март"),
                      QStringLiteral("4|Апрель"), QStringLiteral("5|Май"), QStringLiteral("6|Июнь"),
                      QStringLiteral("7|Июль"), QStringLiteral("8|Август"), QStringLiteral("9|Сентябрь"),
                      QStringLiteral("10|Октябрь"), QStringLiteral("11|Ноябрь"), QStringLiteral("12|Декабрь")},
                     HelpListStyle{});
        break;
    case IdIncomeDating:
        ShowHelpList({QStringLiteral(" |Использовать дату выплаты доходов"),
                      QStringLiteral("1|Использовать дату начисления доходов")},
                     HelpListStyle{});
        break;
    case IdSorting:
        ShowHelpList({QStringLiteral(" |По порядку табельных номеров"), QStringLiteral("1|В алфавитном порядке")},
                     HelpListStyle{});
        break;
    case IdPensionFundNumber:
        ShowFieldHint(QStringLiteral("Введите данные\nв соответствии с назначением поля"), 3, 300);
        break;
    default: ShowFieldHint(AnyIntegerFieldHint(), 3, 300); break;
    }
}

bool CEFuncParamView::StoreNumbers()
{
    auto& config = Document()->infoBase.config;
    auto& firm = Document()->infoBase.firm;
    bool changed = false;
    const int storedYear = config.r_g == 0 ? 0 : config.r_g + 1900;
    const int year = int(Typed(IdYear)->UnitsOr(storedYear));
    if (year != storedYear) {
        if (kalvor::reports::ReportYearAccepted(year)) {
            config.r_g = std::uint8_t(year == 0 ? 0 : year - 1900);
            changed = true;
        } else {
            KalvorMessageBox(kalvor::reports::ReportYearRefusedText(), MB_OK | MB_ICONERROR);
        }
    }
    const int first = InRange(int(Typed(IdFirstMonth)->UnitsOr(config.r_m1)), 1, 12);
    const int last = InRange(int(Typed(IdLastMonth)->UnitsOr(config.r_m2)), 1, 12);
    changed |= StoreValue(config.r_m1, std::uint8_t(first));
    changed |= StoreValue(config.r_m2, std::uint8_t(last));
    const std::pair<int, double*> limits[] = {{IdMinimalRateLimit, &firm.minOblStav},
                                              {IdMaximalRateLimit, &firm.maxOblStav}};
    for (const auto& [id, limit] : limits) {
        const long long stored = (long long)std::trunc(*limit);
        const long long typed = Typed(id)->UnitsOr(stored);
        if (typed != stored) {
            *limit = typed;
            changed = true;
        }
    }
    return changed;
}

bool CEFuncParamView::StoreTexts()
{
    auto& firm = Document()->infoBase.firm;
    bool changed = false;
    for (const TextField& text : kTextFields)
        if (auto* field = qobject_cast<QLineEdit*>(control(text.id)))
            changed |=
                kalvor::StoreTextIfChanged(field->text(), firm.texts[std::size_t(text.text)], kTextCapacity) != 0;
    return changed;
}

bool CEFuncParamView::StoreFlags()
{
    auto& firm = Document()->infoBase.firm;
    const long long dating = Typed(IdIncomeDating)->UnitsOr((firm.parWord & kIncomeDatingBit) != 0);
    const long long sorting = Typed(IdSorting)->UnitsOr((firm.parWord & kSortingBit) != 0);
    const auto word = std::uint16_t((firm.parWord & ~(kIncomeDatingBit | kSortingBit)) |
                                    (dating != 0 ? kIncomeDatingBit : 0) | (sorting != 0 ? kSortingBit : 0));
    return StoreValue(firm.parWord, word);
}

bool CEFuncParamView::StoreChanges()
{
    bool changed = StoreNumbers();
    changed |= StoreTexts();
    changed |= StoreFlags();
    if (changed)
        SaveToBase();
    return changed;
}

void CEFuncParamView::SaveToBase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::StoreFirmParameters(Document()->infoBase);
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowComError(error);
        return;
    }
    QApplication::restoreOverrideCursor();
}
