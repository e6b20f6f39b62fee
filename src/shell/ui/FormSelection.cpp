#include "shell/ui/FormSelection.h"

#include "shell/ui/BookChecks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/ControlMap.h"

#include <QApplication>
#include <QTimer>

namespace ib = kalvor::infobase;

namespace {

constexpr int kShopField = 1252;
constexpr int kBrigadeField = 1253;
constexpr int kProfessionField = 1254;
constexpr int kPersonnelNumberField = 1103;

constexpr int kMaxShop = 255; // a shop's number is one byte
constexpr int kMaxBrigade = 99;
constexpr int kMaxProfession = 127; // seven bits of the employee's attributes

// The field's range: what its stored key can hold.
InputKind SelectionRange(int id, const QString& name)
{
    switch (id) {
    case kShopField: return {name, kalvor::WholeFigure(0, kMaxShop)};
    case kBrigadeField: return {name, kalvor::WholeFigure(0, kMaxBrigade)};
    case kProfessionField: return {name, kalvor::WholeFigure(0, kMaxProfession)};
    case kPersonnelNumberField: return {name, kalvor::WholeFigure(0, ib::EmployeeListEntry::MaxPersonnelNumber)};
    default: return {name, kalvor::WholeFigure(0, 0)};
    }
}

} // namespace

QString SelectionFieldName(int id)
{
    switch (id) {
    case kShopField: return QStringLiteral("Цех");
    case kBrigadeField: return QStringLiteral("Бригада");
    case kProfessionField: return QStringLiteral("Профессия");
    case kPersonnelNumberField: return QStringLiteral("Табельный номер");
    default: return QString();
    }
}

InputKind SelectionKind(int id, const QString& name, const CKalvorDoc* doc)
{
    InputKind kind = SelectionRange(id, name);
    if (!doc)
        return kind;
    switch (id) {
    case kShopField: kind.book = ShopBook(doc->infoBase); break;
    case kProfessionField: kind.book = ProfessionBook(doc->refFiles); break;
    case kPersonnelNumberField: kind.book = EmployeeList(doc->infoBase); break;
    default: break;
    }
    return kind;
}

int TypedValue(const ControlMap& form, int id)
{
    const auto* field = form.controlAs<CTypedEdit>(id);
    return field ? int(field->UnitsOr(0)) : 0;
}

void GreyEntryWhileStripHasFocus(QWidget* strip, std::function<void()> grey)
{
    // After the reads the focus change has queued (CTypedEdit reads when left);
    // never while a refused input holds the focus (its box may be up now).
    QTimer::singleShot(0, strip, [strip, grey = std::move(grey)] {
        const QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == strip || strip->isAncestorOf(focus)) && !RefusalHeldIn(strip->window()))
            grey();
    });
}

void ReadFormSelection(const ControlMap& form, std::array<int, 3>& values)
{
    const int ids[3] = {kShopField, kBrigadeField, kProfessionField};
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = TypedValue(form, ids[i]);
}

bool ReadSelectionKeys(const ControlMap& form, std::array<int, 3>& values)
{
    for (int id : {kShopField, kBrigadeField, kProfessionField})
        if (auto* field = form.controlAs<CTypedEdit>(id); field && !field->Read())
            return false;
    ReadFormSelection(form, values);
    return true;
}
