#include "exchange/ui/CEFuncPRSvodView.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"
#include "shell/ui/TypedInput.h"
#include "values/CScan.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

using namespace kalvor::exchange;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kFocusBackDelayMs = 100;
constexpr int kConditionLength = 6; // "*" or a filter number of up to four digits
constexpr int kLastYear = 2099; // a year typed whole or by its last two digits
constexpr int kHintCorner = 3;
constexpr int kHintWidth = 300;

struct LevelField {
    int id;
    const char* label;
};
// A level's text: a star, nothing or a number of up to four digits.
constexpr kalvor::FigureRule kLevelText = kalvor::TextFigure(6);
// The rows in the order in which the form first lists them (level numbers 0-16).
constexpr LevelField kLevelFields[kSummaryLevelCount] = {
    {1410, "Счет"},
    {1411, "Cтатья затрат"},
    {1412, "Код аналитического учета"},
    {IdShopField, "Цех / Отдел"},
    {IdBrigadeField, "Бригада / Группа"},
    {IdProfessionField, "Профессия"},
    {1255, "Система оплаты"},
    {1256, "Категория"},
    {CEFuncPRSvodView::IdEmployeeLevelField, "Табельный номер"},
    {1257, "Это начисления или удержания ?"},
    {1258, "Финансовый фонд"},
    {1259, "Признак налогообложения"},
    {1260, "1-я характеристика начисления или удержания"},
    {1261, "2-я характеристика начисления или удержания"},
    {1262, "3-я характеристика начисления или удержания"},
    {CEFuncPRSvodView::IdMonthField, "Месяц"},
    {CEFuncPRSvodView::IdPayKindField, "Код начисления или удержания"},
};

QString FieldText(const CExchangeTaskView& view, int id)
{
    const auto* field = view.controlAs<QLineEdit>(id);
    return field ? field->text() : QString();
}

// The strip of the selection run: a filter value of the level, else any.
int StripValue(const SummaryBlock& block, int level)
{
    return block.Filtered(level) ? block.levels[std::size_t(level)] : 0;
}

} // namespace

CEFuncPRSvodView::CEFuncPRSvodView(CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(FormId, PanelArbitrarySummaries, doc, parent), m_prompt(this)
{
    BeginForm(QStringLiteral("Генератор сводов в произвольном разрезе"));
    AddRow(new QLabel(QStringLiteral("включение параметра в 'шапку' свода - *")));
    BuildLevelRows();
    AddRow(BuildPeriodRow());
    for (const auto& [id, name] : {std::pair{int(IdHireDateOption), QStringLiteral("С учетом даты поступления на работу")},
                                   std::pair{int(IdDaysAndHoursOption), QStringLiteral("Печать дней и часов")}})
        AddField(id, name, {name, kalvor::WholeFigure(0, 1)}, 40);
    AddStartButton(QStringLiteral("Печать"));
    QPushButton* totals = AddStartButton(QStringLiteral("Файл итогов"), IdSecondStartButton);
    connect(totals, &QPushButton::clicked, this, [this] { OnTotalsFileButton(); });
    AddProgressPlace();
}

CEFuncPRSvodView::~CEFuncPRSvodView() { StopWorker(); }

void CEFuncPRSvodView::BuildLevelRows()
{
    auto* box = new QWidget;
    auto* outer = new QHBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* rowsBox = new QWidget(box);
    m_rowsLayout = new QGridLayout(rowsBox);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setColumnStretch(4, 1);
    for (int level = 0; level < kSummaryLevelCount; ++level) {
        const LevelField& field = kLevelFields[level];
        // A level takes a star (group by it), nothing, or a number of its range.
        const QString name = QString::fromUtf8(field.label);
        auto* value = new CTypedEdit(
            {name,
             kLevelText,
             {},
             [level, name](const QString& text) { return kalvor::exchange::SummaryLevelRefusal(level, name, text); }},
            rowsBox);
        LevelRow row{level, new QLabel(name, rowsBox), value, nullptr, nullptr};
        row.value->setFixedWidth(60);
        row.label->setBuddy(row.value);
        SetControl(field.id, row.value);
        if (level == LevelMonth) {
            row.dot = new QLabel(QStringLiteral("."), rowsBox);
            row.year =
                new CTypedEdit({QStringLiteral("%1 (год)").arg(name),
                                kLevelText,
                                {},
                                [name](const QString& text) {
                                    return text.trimmed() == QLatin1String("*")
                                               ? QString()
                                               : kalvor::ReadFigure(name, kalvor::WholeFigure(0, 9999), text).refusal;
                                }},
                               rowsBox);
            row.year->setFixedWidth(40);
            SetControl(IdMonthDot, row.dot);
            SetControl(IdMonthYearField, row.year);
        }
        m_rows.push_back(row);
        PlaceRow(m_rows.size() - 1);
    }
    outer->addWidget(rowsBox, 1);
    auto* arrows = new QVBoxLayout;
    const struct {
        int id;
        QStyle::StandardPixmap icon;
        int step;
    } buttons[] = {{IdUpButton, QStyle::SP_ArrowUp, -1}, {IdDownButton, QStyle::SP_ArrowDown, 1}};
    for (const auto& spec : buttons) {
        auto* button = new QPushButton(style()->standardIcon(spec.icon), QString(), box);
        // The value field keeps the focus while the button is pressed.
        button->setFocusPolicy(Qt::NoFocus);
        SetControl(spec.id, button);
        const int step = spec.step;
        connect(button, &QPushButton::clicked, this, [this, step] { MoveFocusedRow(step); });
        arrows->addWidget(button);
    }
    arrows->addStretch(1);
    outer->addLayout(arrows);
    AddRow(box);
}

// "Период  с [месяц] . [год]  по [месяц] . [год]" in one row.
QWidget* CEFuncPRSvodView::BuildPeriodRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const kalvor::FigureRule month = kalvor::WholeFigure(0, 12), year = kalvor::WholeFigure(0, 9999);
    const struct {
        const char* before;
        int id;
        const char* name;
        kalvor::FigureRule rule;
    } parts[] = {{"Период (месяц.год)  с", IdFirstMonth, "Период (месяц.год)  с", month},
                 {".", IdFirstYear, "Период (месяц.год)  с, год", year},
                 {"по", IdLastMonth, "Период (месяц.год)  по", month},
                 {".", IdLastYear, "Период (месяц.год)  по, год", year}};
    for (const auto& part : parts) {
        auto* label = new QLabel(QString::fromUtf8(part.before), row);
        auto* field = new CTypedEdit({QString::fromUtf8(part.name), part.rule}, row);
        field->setFixedWidth(40);
        // The dot between a month and its year names nothing.
        if (qstrcmp(part.before, ".") != 0)
            label->setBuddy(field);
        layout->addWidget(label);
        layout->addWidget(field);
        SetControl(part.id, field);
    }
    layout->addStretch(1);
    return row;
}

void CEFuncPRSvodView::PlaceRow(std::size_t position)
{
    const LevelRow& row = m_rows[position];
    const int line = int(position);
    for (QWidget* widget : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.value),
                            static_cast<QWidget*>(row.dot), static_cast<QWidget*>(row.year)})
        if (widget)
            m_rowsLayout->removeWidget(widget);
    m_rowsLayout->addWidget(row.label, line, 0);
    m_rowsLayout->addWidget(row.value, line, 1);
    if (row.dot) {
        m_rowsLayout->addWidget(row.dot, line, 2);
        m_rowsLayout->addWidget(row.year, line, 3);
    }
}

int CEFuncPRSvodView::FocusedRow() const
{
    for (std::size_t position = 0; position < m_rows.size(); ++position) {
        const LevelRow& row = m_rows[position];
        if (row.value->hasFocus() || (row.year && row.year->hasFocus()))
            return int(position);
    }
    return -1;
}

void CEFuncPRSvodView::MoveFocusedRow(int step)
{
    const int position = FocusedRow();
    const int neighbour = position + step;
    if (position < 0 || neighbour < 0 || neighbour >= int(m_rows.size()))
        return;
    QWidget* focused = focusWidget();
    std::swap(m_rows[std::size_t(position)], m_rows[std::size_t(neighbour)]);
    PlaceRow(std::size_t(position));
    PlaceRow(std::size_t(neighbour));
    const QPointer<QWidget> field(focused);
    QTimer::singleShot(kFocusBackDelayMs, this, [field] {
        if (field)
            field->setFocus();
    });
}

std::array<std::uint8_t, kSummaryLevelCount> CEFuncPRSvodView::LevelOrder() const
{
    std::array<std::uint8_t, kSummaryLevelCount> order{};
    for (std::size_t position = 0; position < m_rows.size(); ++position)
        order[position] = std::uint8_t(m_rows[position].level);
    return order;
}

// ----------------------------------------------------------------- help

void CEFuncPRSvodView::ShowFormHelp()
{
    const auto showChoices = [this](const kalvor::PickPair* pairs) {
        ShowHelpList(BuildPickListFromPairs(pairs), HelpListStyle{3, false, 400, 300});
    };
    switch (m_focusedId) {
    case IdShopField: PickShop(); return;
    case IdBrigadeField: ShowFieldHint(BrigadeFieldHint(), kHintCorner, kHintWidth); return;
    case IdProfessionField: PickProfession(); return;
    case 1255: showChoices(kPaySystemChoices); return;
    case 1256: showChoices(kCategoryChoices); return;
    case 1257: showChoices(kSignChoices); return;
    case 1259:
    case 1260:
    case 1261:
    case 1262: showChoices(kNoYesChoices); return;
    case IdPayKindField: ShowPayKindList(); return;
    case IdHireDateOption: showChoices(kHireDateChoices); return;
    case IdDaysAndHoursOption: showChoices(kDaysAndHoursChoices); return;
    case IdEmployeeLevelField:
        // The employees of the shop, brigade and profession conditions as they read.
        if (ReadConditions())
            PickEmployee(3, ConditionValue(LevelShop), ConditionValue(LevelBrigade), ConditionValue(LevelProfession));
        return;
    default: ShowFieldHint(AnyIntegerFieldHint(), kHintCorner, kHintWidth); return;
    }
}

void CEFuncPRSvodView::ShowPayKindList()
{
    QStringList lines;
    for (const auto& kind : Document()->infoBase.payKinds())
        lines << QStringLiteral("%1|%2|Mark").arg(kind.kod).arg(kind.name.trimmed());
    ShowHelpList(lines, HelpListStyle{3, true, 400, 400});
}

void CEFuncPRSvodView::TakeHelpValues(const QStringList& values)
{
    if (m_focusedId == IdEmployeeLevelField) {
        // The frame marks the chosen employees and starts with SelectedOnly
        // set when the personnel-number field asks; this form's field is 1413.
        m_focusedId = IdPersonnelNumberField;
        CExchangeTaskView::TakeHelpValues(values);
        m_focusedId = IdEmployeeLevelField;
        return;
    }
    if (m_focusedId != IdPayKindField)
        return;
    MarkChosenPayKinds(values);
    m_markedPayKindsOnly = 1;
    OnStartButton();
    m_markedPayKindsOnly = 0;
}

void CEFuncPRSvodView::MarkChosenPayKinds(const QStringList& codes)
{
    QSet<int> chosen;
    for (const QString& text : codes)
        if (int code = 0; kalvor::ScanInt(text, code))
            chosen.insert(code);
    auto& base = Document()->infoBase;
    for (int number = 1; number <= int(base.payKinds().size()); ++number) {
        auto& kind = base.payKindAt(number);
        const auto unmarked = kalvor::infobase::u16(kind.flags & ~0x8000u);
        kind.flags = chosen.contains(kind.kod) ? kalvor::infobase::u16(unmarked | 0x8000u) : unmarked;
    }
}

// ---------------------------------------------------------------- start

void CEFuncPRSvodView::OnStartButton() { StartSummary(QString()); }

void CEFuncPRSvodView::StartSummary(const QString& path)
{
    m_path = path;
    CExchangeTaskView::OnStartButton();
    m_path.clear();
}

void CEFuncPRSvodView::OnTotalsFileButton()
{
    if (!CanStart())
        return;
    const QString path = ChooseTotalsFile();
    if (!path.isEmpty())
        StartSummary(path);
}

QString CEFuncPRSvodView::ChooseTotalsFile()
{
    return QFileDialog::getSaveFileName(this, QStringLiteral("Файл итогов"), Document()->infoBase.workFolder,
                                        QStringLiteral("Все файлы (*)"));
}

bool CEFuncPRSvodView::ReadConditions()
{
    // Each condition that is a number with the kind it is read by: the strip's
    // levels by the strip's kinds (a number of its book), the month by its
    // month and year, the others by their ranges.
    std::vector<std::pair<QLineEdit*, InputKind>> numbers;
    for (const LevelRow& row : m_rows) {
        const QString name = row.label->text();
        if (row.level == LevelMonth) {
            numbers.push_back({row.value, {name, kalvor::WholeFigure(1, 12)}});
            numbers.push_back({row.year, {QStringLiteral("Месяц (год)"), kalvor::WholeFigure(0, kLastYear)}});
            continue;
        }
        const int level = kLevelFields[row.level].id;
        const int id = level == IdEmployeeLevelField ? int(IdPersonnelNumberField) : level;
        InputKind kind{name, SummaryLevelRule(row.level)};
        if (!SelectionFieldName(id).isEmpty())
            kind.book = SelectionKind(id, name, Document()).book;
        numbers.push_back({row.value, kind});
    }
    for (const auto& [field, kind] : numbers) {
        if (!SummaryConditionIsNumber(field->text()))
            continue;
        const kalvor::FigureReading reading = kalvor::ReadFigure(kind.name, kind.rule, kind.book, field->text());
        if (reading.read)
            continue;
        KalvorMessageBox(reading.refusal, MB_OK | MB_ICONERROR, QString(), this);
        field->setFocus();
        field->selectAll();
        return false;
    }
    return true;
}

int CEFuncPRSvodView::ConditionValue(int level) const
{
    for (const LevelRow& row : m_rows)
        if (row.level == level && SummaryConditionIsNumber(row.value->text()))
            return int(kalvor::ReadFigure(row.label->text(), SummaryLevelRule(level), row.value->text()).units);
    return 0;
}

bool CEFuncPRSvodView::ReadFormValues()
{
    if (!ReadTypedInputs(this) || !ReadConditions())
        return false;
    SummaryFormTexts texts;
    for (const LevelRow& row : m_rows) texts.values[std::size_t(row.level)] = row.value->text();
    texts.monthYear = FieldText(*this, IdMonthYearField);
    texts.firstMonth = FieldText(*this, IdFirstMonth);
    texts.firstYear = FieldText(*this, IdFirstYear);
    texts.lastMonth = FieldText(*this, IdLastMonth);
    texts.lastYear = FieldText(*this, IdLastYear);
    texts.fromHireDate = FieldText(*this, IdHireDateOption);
    texts.daysAndHours = FieldText(*this, IdDaysAndHoursOption);
    SummaryBlock block = ReadSummaryForm(texts, SelectedOnly() != 0, m_markedPayKindsOnly != 0);
    block.order = LevelOrder();
    block.outputPath = m_path;
    m_values.shop = StripValue(block, LevelShop);
    m_values.brigade = StripValue(block, LevelBrigade);
    m_values.profession = StripValue(block, LevelProfession);
    m_values.personnelNumber = 0;
    static_cast<kalvor::platform::TaskThreadParams&>(m_params) = StripParams();
    m_params.markedPayKindsOnly = m_markedPayKindsOnly;
    m_params.block = block;
    return true;
}

TaskThread::Body CEFuncPRSvodView::MakeTaskBody()
{
    const PRSvodParams params = m_params;
    CKalvorDoc* doc = Document();
    kalvor::print::PrintCommandPrompt* prompt = &m_prompt;
    return [params, doc, prompt](TaskContext& context) {
        return PRSvodThreadProc(context, params, *doc, WorkerBoxes(), prompt);
    };
}
