#include "shell/ui/FormSelection.h"

#include "shell/ui/ControlMap.h"
#include "values/CScan.h"

#include <QLineEdit>

namespace {

constexpr int kSelectionFields[3] = {1252, 1253, 1254};

int ReadIntField(const ControlMap& form, int id)
{
    const auto* field = form.controlAs<QLineEdit>(id);
    int value = 0;
    return field && kalvor::ScanInt(field->text(), value) ? value : 0;
}

} // namespace

void ReadFormSelection(const ControlMap& form, std::array<int, 3>& values)
{
    for (int i = 0; i < 3; ++i) values[std::size_t(i)] = ReadIntField(form, kSelectionFields[i]);
}
