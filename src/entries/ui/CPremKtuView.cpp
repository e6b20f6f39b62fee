#include "entries/ui/CPremKtuView.h"

#include "entries/LabourParticipationRules.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

using kalvor::KtuField;
using kalvor::KtuMeasure;

namespace {

// The fields stand on the view's own light-blue brush.
const char* const kStyle = "QLineEdit { background: rgb(208, 227, 254); }"
                           "QGroupBox { font-weight: bold; }";

const PickPair kScalePicks[] = {{"Сумма к распределению по КТУ указывается в рублях и копейках", ""},
                                {"Сумма указывается в рублях(т.е. умножается на 100)", "1"},
                                {"Это десятки рублей(коэффициент равен 1000)", "2"},
                                {"Это сотни рублей(коэффициент равен 10000)", "3"},
                                {nullptr, nullptr}};
const PickPair kFormulaPicks[] = {{"Сумма распределяется в соответствии с индивидуальными коэффициентами", ""},
                                  {"Перед распределением премий из суммы вычитается тарифный фонд", "1"},
                                  {nullptr, nullptr}};
const PickPair kCoefficientPicks[] = {{"Этот показатель не учитывается при распределении премий", ""},
                                      {"Величина премии пропорциональна значению этого коэффициента", "1"},
                                      {"Величина премии обратно пропорциональна значению этого коэффициента", "2"},
                                      {nullptr, nullptr}};
// The salary or tariff and the working time count in proportion or not at all.
const PickPair kProportionalPicks[] = {{"Этот показатель не учитывается при распределении премий", ""},
                                       {"Величина премии пропорциональна значению этого коэффициента", "1"},
                                       {nullptr, nullptr}};

// The rows of a variant's rule table, in the form's order.
const KtuMeasure kRuleRows[] = {KtuMeasure::Percent, KtuMeasure::SalaryOrTariff, KtuMeasure::WorkingTime,
                                KtuMeasure::Coefficient1, KtuMeasure::Coefficient2};
const char* const kRuleRowCaptions[] = {"Процент суммы", "Оклад / Тариф", "Рабочее время", "1-й КТУ", "2-й КТУ"};

// The field as the messages name it: its line of the form, the rule's
// column where the line has four, and its variant ("Процент суммы, правило 2
// (1-й вариант КТУ)").
QString FieldName(const KtuField& field)
{
    const QString variant = QStringLiteral("%1-й вариант КТУ").arg(field.variant + 1);
    if (field.measure == KtuMeasure::Scale || field.measure == KtuMeasure::Formula)
        return QStringLiteral("%1 (%2)")
            .arg(field.measure == KtuMeasure::Scale ? QStringLiteral("Масштаб") : QStringLiteral("Формула"), variant);
    const auto row = std::find(std::begin(kRuleRows), std::end(kRuleRows), field.measure) - std::begin(kRuleRows);
    return QStringLiteral("%1, правило %2 (%3)")
        .arg(QString::fromUtf8(kRuleRowCaptions[row]))
        .arg(field.rule + 1)
        .arg(variant);
}

// The control number of a variant's field (the scale and the formula are
// rule 0's).
int ControlOf(int variant, int rule, KtuMeasure measure)
{
    for (const KtuField& field : kalvor::KtuFields())
        if (field.variant == variant && field.rule == rule && field.measure == measure)
            return field.controlId;
    return 0;
}

} // namespace

CPremKtuView::CPremKtuView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(IDD, doc, parent)
{
    setObjectName(QStringLiteral("CPremKtuView"));
    BuildForm();
}

// The fields are still alive here: read them before the children go.
CPremKtuView::~CPremKtuView() { StoreFields(); }

bool CPremKtuView::CanLeave()
{
    if (!ReadTypedInputs(this))
        return false;
    StoreFields();
    return true;
}

void CPremKtuView::StoreFields()
{
    if (!ReadFields())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::SaveFirm(Document()->infoBase);
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowComError(error);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void CPremKtuView::BuildForm()
{
    setStyleSheet(QString::fromUtf8(kStyle));
    auto* outer = new QVBoxLayout(this);
    auto* frameBox = new QGroupBox(QStringLiteral("Механизм КТУ"), this);
    // Two variants to a line, in their keyboard order: three side by side are
    // wider than the room beside the frame's panel at 1024x768.
    auto* variants = new QGridLayout(frameBox);
    variants->setContentsMargins(10, 25, 10, 25);
    variants->setSpacing(8);
    for (int variant = 0; variant < 3; ++variant)
        variants->addWidget(BuildVariant(variant), variant / 2, variant % 2, Qt::AlignLeft | Qt::AlignTop);
    outer->addWidget(frameBox);
    outer->addStretch(1);
}

QWidget* CPremKtuView::BuildVariant(int variant)
{
    auto* box = new QGroupBox(QStringLiteral("%1-й вариант КТУ").arg(variant + 1), this);
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(6);
    grid->addWidget(new QLabel(QStringLiteral("Масштаб"), box), 0, 0);
    grid->addWidget(AddField(ControlOf(variant, 0, KtuMeasure::Scale), box), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Формула"), box), 1, 0);
    grid->addWidget(AddField(ControlOf(variant, 0, KtuMeasure::Formula), box), 1, 1);
    for (int rule = 0; rule < 4; ++rule) {
        auto* heading = new QLabel(QString::number(rule + 1), box);
        heading->setAlignment(Qt::AlignCenter);
        grid->addWidget(heading, 2, rule + 1);
    }
    // Fields are made row by row, so that Tab runs along the form's lines.
    for (int row = 0; row < int(std::size(kRuleRows)); ++row) {
        auto* caption = new QLabel(QString::fromUtf8(kRuleRowCaptions[row]), box);
        caption->setMinimumWidth(caption->sizeHint().width());
        grid->addWidget(caption, row + 3, 0);
        for (int rule = 0; rule < 4; ++rule)
            grid->addWidget(AddField(ControlOf(variant, rule, kRuleRows[row]), box), row + 3, rule + 1);
    }
    return box;
}

QLineEdit* CPremKtuView::AddField(int id, QWidget* parent)
{
    // Each measure a whole number up to its largest, named by its line, rule
    // and variant.
    const KtuField& field = *kalvor::FindKtuField(id);
    InputKind kind{FieldName(field), kalvor::KtuFieldRule(field)};
    if (field.measure == KtuMeasure::Percent)
        kind.also = [this, id](const QString& text) { return PercentsRefusal(id, text); };
    auto* edit = new CTypedEdit(std::move(kind), parent);
    edit->setObjectName(QStringLiteral("field%1").arg(id));
    // The field keeps whatever is typed, so that a refusal quotes it whole.
    edit->setFixedWidth(38);
    edit->setAlignment(Qt::AlignRight);
    SetControl(id, edit);
    m_fields.insert(id, edit);
    return edit;
}

QString CPremKtuView::PercentsRefusal(int id, const QString& text) const
{
    const KtuField& typed = *kalvor::FindKtuField(id);
    const kalvor::KtuVariants& variants = Document()->infoBase.firm.ktu;
    double total = 0;
    QStringList named;
    for (const KtuField& field : kalvor::KtuFields()) {
        if (field.variant != typed.variant || field.measure != KtuMeasure::Percent)
            continue;
        // Each field's text by its rule (a text it refuses counts what is stored).
        const QLineEdit* edit = Field(field.controlId);
        const QString shown = field.controlId == id ? text : edit ? edit->text() : QString();
        const double percent =
            kalvor::FigureUnitsOr(kalvor::KtuFieldRule(field), shown, kalvor::KtuFieldValue(variants, field));
        total += percent;
        if (percent != 0)
            named << QStringLiteral("\"%1\" — %2").arg(FieldName(field)).arg(percent);
    }
    if (total <= kalvor::KtuMeasureMaximum(KtuMeasure::Percent))
        return QString();
    return QStringLiteral("Проценты правил %1-го варианта КТУ делят одну сумму и вместе не больше 100: %2 (всего %3)")
        .arg(typed.variant + 1)
        .arg(named.join(QStringLiteral(", ")))
        .arg(total);
}

void CPremKtuView::OnInitialUpdate()
{
    OnUpdate();
    if (QLineEdit* first = Field(kalvor::KtuFields().front().controlId))
        first->setFocus();
}

void CPremKtuView::OnUpdate()
{
    const kalvor::KtuVariants& variants = Document()->infoBase.firm.ktu;
    for (const KtuField& field : kalvor::KtuFields())
        if (QLineEdit* edit = Field(field.controlId))
            edit->setText(kalvor::KtuFieldText(variants, field));
}

bool CPremKtuView::ReadFields()
{
    kalvor::KtuVariants& variants = Document()->infoBase.firm.ktu;
    bool changed = false;
    for (const KtuField& field : kalvor::KtuFields())
        if (const QLineEdit* edit = Field(field.controlId))
            changed |= kalvor::StoreKtuFieldText(variants, field, edit->text());
    return changed;
}

void CPremKtuView::ShowFormHelp()
{
    const KtuField* field = kalvor::FindKtuField(m_focusedId);
    if (!field)
        return;
    const auto pick = [this](const PickPair* pairs, int lines) {
        ShowHelpList(BuildPickListFromPairs(pairs), {3, false, 600, 30 + lines * 24});
    };
    switch (field->measure) {
    case KtuMeasure::Scale: pick(kScalePicks, 4); break;
    case KtuMeasure::Formula: pick(kFormulaPicks, 2); break;
    case KtuMeasure::Percent:
        ShowFieldHint(QStringLiteral("Укажите, какой процент общей суммы\nраспределяется по этому правилу"), 3, 310);
        break;
    case KtuMeasure::SalaryOrTariff:
    case KtuMeasure::WorkingTime: pick(kProportionalPicks, 2); break;
    case KtuMeasure::Coefficient1:
    case KtuMeasure::Coefficient2: pick(kCoefficientPicks, 3); break;
    }
}

void CPremKtuView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (auto* frame = qobject_cast<CMainFrame*>(window()))
            frame->SwitchView<CEmptyView>();
        return;
    }
    CCommonFormView::keyPressEvent(event);
}
