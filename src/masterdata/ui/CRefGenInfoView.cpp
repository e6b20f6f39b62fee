#include "masterdata/ui/CRefGenInfoView.h"

#include "infobase/FirmParameters.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/FirmGeneralData.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/FieldWidth.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

using namespace kalvor::masterdata;
using kalvor::infobase::CInfoBase;
namespace db = kalvor::db;
namespace infobase = kalvor::infobase;

namespace {

// Label colour RGB(170, 80, 80), field background RGB(245, 235, 235), red holidays.
const char* const kStyle = "QLabel { color: rgb(170, 80, 80); }"
                           "QGroupBox { color: rgb(170, 80, 80); }"
                           "QLineEdit { background: rgb(245, 235, 235); }";
const char* const kHolidayStyle = "QLineEdit { color: rgb(255, 0, 0); background: white; }";
// A value only shown: no frame, no field colour, as the text beside it.
const char* const kShownStyle = "QLineEdit { background: transparent; }";

// The page scrolls on Tab only as far as the field the focus goes to must
// be seen whole: a field in sight stays where it is, so that a click aimed
// at a field after Tab lands on it.
class SteadyScrollArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;

protected:
    bool focusNextPrevChild(bool next) override
    {
        if (!QWidget::focusNextPrevChild(next))
            return false;
        // The whole field, not only its text cursor, comes into sight.
        QWidget* focused = focusWidget();
        if (!focused || !widget() || !widget()->isAncestorOf(focused))
            return true;
        const QRect at(focused->mapTo(widget(), QPoint(0, 0)), focused->size());
        ensureVisible(at.center().x(), at.center().y(), std::min(at.width() / 2 + 2, viewport()->width() / 2),
                      std::min(at.height() / 2 + 2, viewport()->height() / 2));
        return true;
    }
};

const PickPair kRateMonthPicks[] = {{"В соответствующем заглавной букве месяце ставки не менялись", ""},
                                    {"В соответствующем заглавной букве месяце произошло изменение ставок", "1"},
                                    {nullptr, nullptr}};
const PickPair kIncomeDatePicks[] = {
    {"Использовать дату выплаты доходов", ""}, {"Использовать дату начисления доходов", "1"}, {nullptr, nullptr}};
const PickPair kCalcRoundingPicks[] = {{"Исчисленные суммы не округляются", ""},
                                       {"Отбрасываются до копейки", "1"},
                                       {"Округление до 10 копеек", "2"},
                                       {"Округление до целых рублей", "3"},
                                       {"Округление до 10 рублей", "4"},
                                       {"Округление до 100 рублей", "5"},
                                       {nullptr, nullptr}};
// The steps the payout rounding really applies: 10 to the power of the
// setting, in kopecks.
const PickPair kPayoutRoundingPicks[] = {{"Выплачиваемые суммы не округляются", ""},
                                         {"Округление до 10 копеек", "1"},
                                         {"Округление до целых рублей", "2"},
                                         {"Округление до 10 рублей", "3"},
                                         {"Округление до 100 рублей", "4"},
                                         {"Округление до 1000 рублей", "5"},
                                         {nullptr, nullptr}};
const PickPair kSortPicks[] = {{"По порядку табельных номеров", ""}, {"В алфавитном порядке", "1"}, {nullptr, nullptr}};

// The groups of the form, one under the other in the form's order (two side
// by side are wider than the room beside the frame's panel): a caption, its
// fields in the form's order and how many label-and-field pairs stand in one
// line.
struct FieldGroup {
    const char* caption;
    std::vector<int> ids;
    int columns;
};

const std::vector<FieldGroup>& Groups()
{
    static const std::vector<FieldGroup> groups = {
        {"Реквизиты", {1046, 1047, 1048, 1049, 1050, 1051}, 1},
        {"Адрес", {1052, 1053, 1054, 1055, 1056, 1057, 1059, 1060, 1061}, 1},
        {"Договор с банком", {1062, 1058, 1063, 1064}, 2},
        {"Руководство", {1009, 1065, 1010}, 1},
        {"Когда повышались ставки", {1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020, 1021, 1022}, 6},
        {"Районная и северная надбавки", {1066, 1067, 1068, 1069}, 2},
        {"Больничные листы", {1023, 1024, 1025, 1026, 1027, 1028}, 1},
        {"Проценты", {1070, 1071, 1072, 1073}, 2},
        {"Как считать", {1074, 1075}, 2},
        {"Округление сумм", {1076, 1077}, 2},
        {"Прочее", {1079, 1078, 1080}, 1},
        {"Праздники", {1081, 1082, 1083, 1084, 1085, 1086, 1087, 1088, 1089, 1090, 1091, 1092}, 12},
    };
    return groups;
}

// Fields of short numbers and flags stay narrow.
bool IsShortField(int id)
{
    return (id >= 1011 && id <= 1028) || (id >= 1063 && id <= 1064) || (id >= 1066 && id <= 1092) || id == 1053;
}

bool IsHoliday(int id) { return IsGenInfoHoliday(id); }

} // namespace

CRefGenInfoView::CRefGenInfoView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(IDD, doc, parent)
{
    setObjectName(QStringLiteral("CRefGenInfoView"));
    BuildForm();
}

CRefGenInfoView::~CRefGenInfoView()
{
    // Closing the program saves too; the fields are still alive here.
    if (!m_saved)
        SaveFields();
}

void CRefGenInfoView::BuildForm()
{
    setStyleSheet(QString::fromUtf8(kStyle));
    auto* outer = new QVBoxLayout(this);
    auto* scroll = new SteadyScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* page = new QWidget(scroll);
    auto* pageLayout = new QGridLayout(page);
    for (const FieldGroup& group : Groups()) {
        auto* box = new QGroupBox(QString::fromUtf8(group.caption), page);
        auto* grid = new QGridLayout(box);
        int index = 0;
        for (int id : group.ids) {
            const int row = index / group.columns, column = (index % group.columns) * 2;
            const QString label = GenInfoFieldLabel(id);
            if (!label.isEmpty() && !IsHoliday(id))
                grid->addWidget(new QLabel(label, box), row, column);
            grid->addWidget(AddField(id, box), row, IsHoliday(id) ? index : column + 1);
            ++index;
        }
        for (int c = 0; c < group.columns && !IsHoliday(group.ids.front()); ++c) grid->setColumnStretch(c * 2 + 1, 1);
        pageLayout->addWidget(box, pageLayout->rowCount(), 0);
    }
    pageLayout->setRowStretch(pageLayout->rowCount(), 1);
    scroll->setWidget(page);
    // The firm's registration numbers live with the reports that print them:
    // said above the page, where it is seen without scrolling.
    auto* where = new QLabel(QStringLiteral("ИНН, КПП и ОГРН организации вводятся в разделе \"Генератор отчетов\" "
                                            "→ \"Параметры работы генератора\"."),
                             this);
    where->setObjectName(QStringLiteral("firmNumbersNote"));
    where->setWordWrap(true);
    outer->addWidget(where);
    outer->addWidget(scroll);
}

QLineEdit* CRefGenInfoView::AddField(int id, QWidget* parent)
{
    // Made with its rule and the general data's own check of what the rule
    // reads (a holiday's "Д.М", the working day's minutes).
    const QString name = IsHoliday(id) ? QStringLiteral("Праздники") : GenInfoFieldLabel(id);
    auto* edit = new CTypedEdit(
        {name, GenInfoFieldRule(id), {}, [id](const QString& text) { return GenInfoFieldError(id, text); }}, parent);
    if (IsHoliday(id))
        MarkDateInput(edit);
    edit->setObjectName(QStringLiteral("field%1").arg(id));
    if (IsShortField(id))
        edit->setMaximumWidth(IsHoliday(id) || (id >= 1011 && id <= 1022) ? 52 : 110);
    if (IsHoliday(id))
        edit->setStyleSheet(QString::fromUtf8(kHolidayStyle));
    if (id == 1058) {
        // The firm's record keeps no date of the agreement: plain text that
        // takes no focus and no typing, not an input.
        edit->setReadOnly(true);
        edit->setFrame(false);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setStyleSheet(QString::fromUtf8(kShownStyle));
    }
    SetControl(id, edit);
    m_fields.insert(id, edit);
    return edit;
}

void CRefGenInfoView::OnInitialUpdate()
{
    FillFields();
    if (QLineEdit* first = Field(1046))
        first->setFocus();
}

void CRefGenInfoView::FillFields()
{
    const CInfoBase& base = Document()->infoBase;
    for (int id : GenInfoFieldIds())
        if (QLineEdit* edit = Field(id)) {
            edit->setText(GenInfoFieldText(id, base.firm, base.config));
            // A value shows whole: the page scrolls rather than cut it.
            FitFieldToText(*edit);
        }
}

void CRefGenInfoView::ShowFormHelp()
{
    const int id = m_focusedId;
    auto pick = [this](const PickPair* pairs) { ShowHelpList(BuildPickListFromPairs(pairs), {3, false, 420, 120}); };
    auto hint = [this](const char* text) { ShowFieldHint(QString::fromUtf8(text), 3, 420); };
    if (id == 1009 || id == 1010 || (id >= 1046 && id <= 1051) || (id >= 1062 && id <= 1065))
        hint("Введите необходимую информацию\nНазвание вашей фирма, ее банковские реквизиты и фамилии\n"
             "должностных лиц используются в платежных документах");
    else if (id == 1066)
        hint("Введите целое число-\nвеличину районной надбавки в процентах");
    else if (id == 1067)
        hint("Введите размер северной надбавки.\nИмеется ввиду величина минимального процента");
    else if (id == 1068)
        hint("Введите максимальное количество.\nсеверных надбавок");
    else if (id == 1069)
        hint("Введите периодичность\nсеверной надбавки (в месяцах)");
    else if (id == 1070)
        hint("Введите процентную налоговую ставку в формате\nЦЦ.ДД, где ЦЦ-целая, а ДД-дробная части числа");
    else if (id == 1079)
        hint("Введите время\nв формате: ЧЧ.ММ");
    else if (IsHoliday(id))
        hint("Введите дату\nв формате: ДД.ММ");
    else if (id >= 1011 && id <= 1022)
        pick(kRateMonthPicks);
    else if (id == 1074 || id == 1075)
        pick(kIncomeDatePicks);
    else if (id == 1076)
        pick(kCalcRoundingPicks);
    else if (id == 1077)
        pick(kPayoutRoundingPicks);
    else if (id == 1080)
        pick(kSortPicks);
    else if (id >= 1009 && id <= 1092)
        hint("Введите данные\nв соответствии с назначением поля");
}

void CRefGenInfoView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (auto* frame = qobject_cast<CMainFrame*>(window()))
            frame->SwitchView<CEmptyView>();
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

bool CRefGenInfoView::CanLeave()
{
    if (!ReadTypedInputs(this))
        return false;
    SaveFields();
    return true;
}

bool CRefGenInfoView::SaveFields()
{
    m_saved = true;
    CInfoBase& base = Document()->infoBase;
    bool changed = false, allStored = true;
    for (int id : GenInfoFieldIds()) {
        const QLineEdit* edit = Field(id);
        if (!edit)
            continue;
        if (!GenInfoFieldError(id, edit->text()).isEmpty()) {
            allStored = false; // a value its field cannot hold is not stored
            continue;
        }
        changed |= StoreGenInfoField(id, edit->text(), base.firm, base.config);
    }
    changed |= CompactHolidays(base.firm);
    if (changed)
        StoreInBase();
    return allStored;
}

void CRefGenInfoView::StoreInBase()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The list order follows the "Сортировка" flag: by personnel number or
    // by name.
    try {
        infobase::StoreFirmParameters(Document()->infoBase);
    } catch (const db::DbError& e) {
        QApplication::restoreOverrideCursor();
        ShowComError(e);
        return;
    }
    QApplication::restoreOverrideCursor();
}
