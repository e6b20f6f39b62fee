#include "shell/ui/PeriodMonths.h"

#include "values/FieldPairs.h"

#include <QLineEdit>

namespace {

const QString kFirstMonth = QStringLiteral("Первый месяц отчетного периода");
const QString kLastMonth = QStringLiteral("Последний месяц отчетного периода");
constexpr kalvor::FigureRule kMonthRule = kalvor::WholeFigure(0, 12);

} // namespace

InputKind PeriodMonths::FirstKind()
{
    return {kFirstMonth, kMonthRule, {}, [this](const QString& text) { return Refusal(text, true); }};
}

InputKind PeriodMonths::LastKind()
{
    return {kLastMonth, kMonthRule, {}, [this](const QString& text) { return Refusal(text, false); }};
}

void PeriodMonths::Watch(QLineEdit* first, QLineEdit* last)
{
    m_first = first;
    m_last = last;
    for (QLineEdit* field : {first, last})
        QObject::connect(field, &QLineEdit::textEdited, field, [this, field] { m_typedLast = field; });
}

QString PeriodMonths::Refusal(const QString& text, bool typedFirst) const
{
    QLineEdit* const typed = typedFirst ? m_first : m_last;
    if (!typed || typed != m_typedLast)
        return QString();
    // The other field's text by its rule alone (its own check would ask this one's).
    const QLineEdit* other = typedFirst ? m_last : m_first;
    const double typedMonth = kalvor::FigureUnitsOr(kMonthRule, text, 0);
    const double otherMonth = other ? kalvor::FigureUnitsOr(kMonthRule, other->text(), 0) : 0;
    return typedFirst ? kalvor::RangeOrderRefusal(kFirstMonth, typedMonth, kLastMonth, otherMonth)
                      : kalvor::RangeOrderRefusal(kFirstMonth, otherMonth, kLastMonth, typedMonth);
}
