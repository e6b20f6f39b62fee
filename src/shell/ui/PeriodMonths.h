#pragma once
// The two month fields of a report's period, "Первый месяц отчетного периода"
// and "Последний месяц отчетного периода": each takes 0-12 (0: not set), and
// together the first is not after the last. The month typed last answers for
// the order, so that the other, shown as it was, is not refused for it; the
// refusal names both fields and their months.
#include "shell/ui/TypedInput.h"

#include <QString>

class QLineEdit;

class PeriodMonths {
public:
    // The kinds of the two fields, each reading the other's text by the
    // order; the fields are then given to Watch.
    InputKind FirstKind();
    InputKind LastKind();
    // The two fields made with those kinds: what is typed into each is
    // noted, so that the order is asked of the one typed last.
    void Watch(QLineEdit* first, QLineEdit* last);

private:
    QString Refusal(const QString& text, bool typedFirst) const;

    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    QLineEdit* m_typedLast = nullptr;
};
