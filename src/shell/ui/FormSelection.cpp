#include "shell/ui/FormSelection.h"

#include "shell/ui/ControlMap.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QLineEdit>

namespace {

constexpr int kSelectionFields[3] = {1252, 1253, 1254};
constexpr int kPersonnelNumberField = 1103;
constexpr int kMaxSelectionDigits = 9;

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

bool ReadSelectionNumber(const QLineEdit* field, int* value)
{
    *value = 0;
    const QString text = field ? field->text().trimmed() : QString();
    if (text.isEmpty())
        return true;
    if (text.size() > kMaxSelectionDigits)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    *value = text.toInt();
    return true;
}

QString UnreadableSelectionText(int id)
{
    switch (id) {
    case 1252: return QStringLiteral("Некорректный номер цеха");
    case 1253: return QStringLiteral("Некорректный номер бригады");
    case 1254: return QStringLiteral("Некорректный код профессии");
    case kPersonnelNumberField: return QStringLiteral("Некорректный табельный номер");
    default: return QString();
    }
}

bool CheckSelectionFields(ControlMap& form, QWidget* owner)
{
    for (int id : {kSelectionFields[0], kSelectionFields[1], kSelectionFields[2], kPersonnelNumberField}) {
        QLineEdit* field = form.controlAs<QLineEdit>(id);
        int value = 0;
        if (field == nullptr || ReadSelectionNumber(field, &value))
            continue;
        KalvorMessageBox(UnreadableSelectionText(id), MB_OK | MB_ICONERROR, QString(), owner);
        field->selectAll();
        field->setFocus();
        return false;
    }
    return true;
}
