// What the walks of the screens' tests fail on: an input, or a grid column
// edited in place, that a person could type into while nobody gave it a kind,
// and a money, percent or count field whose rule was not chosen by its meaning.
#pragma once

#include "grid/GridCtrl.h"
#include "shell/ui/TypedInput.h"

#include <QLineEdit>
#include <QList>
#include <QString>
#include <QStringList>

#include <iterator>
#include <vector>

// The line edits within the widget that a person types into and that were
// made without a kind.
inline QList<QLineEdit*> InputsWithoutKind(QWidget* root)
{
    QList<QLineEdit*> bare;
    for (QLineEdit* edit : root->findChildren<QLineEdit*>())
        if (IsInputWithoutKind(edit))
            bare << edit;
    return bare;
}

// The columns of an editable grid a cell of which can be edited in place
// while nobody gave them a kind (a column every data cell of which is
// read-only is not edited).
inline std::vector<int> ColumnsWithoutKind(const CGridCtrl& grid)
{
    std::vector<int> bare;
    if (!grid.GetEditable())
        return bare;
    for (int col = grid.GetFixedColumnCount(); col < grid.GetColumnCount(); ++col) {
        if (grid.DeclaredColumn(col))
            continue;
        bool editable = grid.GetRowCount() == grid.GetFixedRowCount();
        for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount() && !editable; ++row)
            editable = grid.IsCellEditable(row, col);
        if (editable)
            bare.push_back(col);
    }
    return bare;
}

// The money fields that take an amount of either sign, each where a negative
// value means something: the screen (its caption, or the editor's), the
// field's name or the start of it, and why. Every other money field takes an
// amount from 0.
struct SignedMoneyField {
    const char* where;
    const char* name;
    const char* why;
};
inline const SignedMoneyField kSignedMoneyFields[] = {
    {"Архив", "Сумма", "an archived month's amount below 0 reverses an earlier one"},
    {"Архив с датами", "Сумма", "an archived month's amount below 0 reverses an earlier one"},
    {"Начисления / Удержания", "Сумма", "a month's row below 0 reverses an accrual or a deduction"},
    {"Редактирование отчета", "100 Остаток", "a balance: a debt, or an overpayment below 0"},
};

// Why the rule of the named field of the screen was not chosen by its
// meaning; empty when it was, and for a field that is no money, percent or
// count. Money is an amount from 0 to its most, or of either sign where
// kSignedMoneyFields says why; a percent a share of 0 to 100 (of a full rate
// 0 to 1) or a rate from 0; a count or a multiplicity from 0.
inline QString RuleNotByMeaning(const QString& where, const QString& name, const kalvor::FigureRule& rule)
{
    using kalvor::FigureKind;
    using kalvor::FigureMeaning;
    const auto fault = [&](const char* why) {
        return QStringLiteral("\"%1\" is %2").arg(name, QString::fromUtf8(why));
    };
    const bool fromZero = rule.min == 0 && rule.max > 0;
    switch (rule.kind) {
    case FigureKind::Money:
        if (rule.meaning == FigureMeaning::Amount)
            return fromZero ? QString() : fault("an amount whose range is not from 0");
        if (rule.meaning != FigureMeaning::Signed)
            return fault("money whose rule was not chosen by its meaning");
        for (const SignedMoneyField& field : kSignedMoneyFields)
            if (where == QString::fromUtf8(field.where) && name.startsWith(QString::fromUtf8(field.name)))
                return QString();
        return fault("money of either sign where no negative value means anything");
    case FigureKind::Percent:
        if (rule.meaning == FigureMeaning::Share)
            return rule.min == 0 && (rule.max == 100 || rule.max == 1) ? QString()
                                                                       : fault("a share outside 0-100 and 0-1");
        if (rule.meaning == FigureMeaning::Rate)
            return fromZero ? QString() : fault("a rate whose range is not from 0");
        return fault("a percent whose rule was not chosen by its meaning");
    case FigureKind::Count:
        if (rule.meaning == FigureMeaning::Count || rule.meaning == FigureMeaning::Multiplicity)
            return fromZero ? QString() : fault("a count whose range is not from 0");
        return fault("a count whose rule was not chosen by its meaning");
    default: return QString();
    }
}

// The faults of the rules of the typed inputs within the widget
// (RuleNotByMeaning), the screen named `where`.
inline QStringList InputsNotByMeaning(QWidget* root, const QString& where)
{
    QStringList faults;
    for (const CTypedEdit* edit : root->findChildren<CTypedEdit*>())
        if (!edit->isReadOnly())
            if (const QString fault = RuleNotByMeaning(where, edit->Kind().name, edit->Kind().rule); !fault.isEmpty())
                faults << fault;
    return faults;
}

// The faults of the rules of the grid's columns edited in place.
inline QStringList ColumnsNotByMeaning(const CGridCtrl& grid, const QString& where)
{
    QStringList faults;
    for (int col = grid.GetFixedColumnCount(); grid.GetEditable() && col < grid.GetColumnCount(); ++col)
        if (const GridColumn* column = grid.DeclaredColumn(col); column && column->edited)
            if (const QString fault = RuleNotByMeaning(where, column->Name(), column->rule); !fault.isEmpty())
                faults << fault;
    return faults;
}

// The fields whose meaning another field of the same row or screen sets, each
// read by that meaning as it is typed and again when the other changes: the
// screen (its caption), the field and the other field as the messages name
// them (an input's name or a grid column's), and a text of the other with a
// text of the field that each alone could hold and together cannot be. The
// walk types the field empty, then the other's text, then the field's: the
// field's text must be refused in one box naming both fields.
struct FieldPair {
    const char* where;
    const char* field;
    const char* other;
    const char* otherText;
    const char* fieldText;
    const char* why;
};
inline const FieldPair kFieldPairs[] = {
    {"Корректировка премий", "Велич. нач-ия", "%", "2", "150", "a value of kind 2 is a share of the salary"},
    {"Корректировка премий", "%", "Велич. нач-ия", "3500", "1", "a value of 3,500 is no percent of the pay"},
    {"Корректировка премий", "Цех КТУ2", "%", "0", "99", "a line that shares no fund names a shop of the book"},
    {"Выслуга лет", "Возраст макс.", "Возраст мин.", "3", "2", "a range's ends in order"},
    {"Выслуга лет", "Раб.стаж мин.", "Раб.стаж макс.", "2", "3", "a range's ends in order"},
    {"Выслуга лет", "Сев.стаж макс.", "Сев.стаж мин.", "3", "2", "a range's ends in order"},
    {"Выслуга лет", "Отдел макс.", "Отдел мин.", "3", "2", "a range's ends in order"},
    {"Выслуга лет", "Бригада макс.", "Бригада мин.", "3", "2", "a range's ends in order"},
    {"Выслуга лет", "Профес. макс.", "Профес. мин.", "3", "2", "a range's ends in order"},
    {"Выслуга лет", "Категор. макс.", "Категор. мин.", "3", "2", "a range's ends in order"},
    {"Параметры работы генератора", "Последний месяц отчетного периода", "Первый месяц отчетного периода", "3", "1",
     "a period's months in order"},
    {"Параметры работы генератора", "Первый месяц отчетного периода", "Последний месяц отчетного периода", "6", "7",
     "a period's months in order"},
    {"Механизм КТУ", "Процент суммы, правило 2 (1-й вариант КТУ)", "Процент суммы, правило 1 (1-й вариант КТУ)", "90",
     "30", "the rules of a variant share out one sum"},
};
