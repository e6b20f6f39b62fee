#include "shell/ui/NullableDateEdit.h"

#include "values/Clock.h"
#include "values/Values.h"

#include <QKeyEvent>
#include <QRegularExpression>

namespace {
// The picker's minimum date stands for "no date".
const QDate kNullDate(1900, 1, 1);
const QDate kFirstDate(1900, 1, 2);
} // namespace

NullableDateEdit::NullableDateEdit(QWidget* parent, bool monthOnly) : QDateEdit(parent), m_monthOnly(monthOnly)
{
    setMinimumDate(kNullDate);
    setMaximumDate(QDate(2099, 12, 31));
    setSpecialValueText(QStringLiteral(" "));
    setCalendarPopup(!monthOnly);
    setDisplayFormat(DefaultFormat());
    SetNull();
    connect(this, &QDateEdit::dateChanged, this, [this] { OnDateTimeChangeSetFormat(this); });
}

QString NullableDateEdit::DefaultFormat() const
{
    return m_monthOnly ? QStringLiteral("MM.yyyy") : QStringLiteral("dd.MM.yyyy");
}

void NullableDateEdit::SetNull() { setDate(kNullDate); }

void NullableDateEdit::SetDate(const QDate& d)
{
    if (!d.isValid() || d < kFirstDate)
        SetNull();
    else
        setDate(m_monthOnly ? QDate(d.year(), d.month(), 1) : d);
}

void NullableDateEdit::keyPressEvent(QKeyEvent* event)
{
    // Delete or Backspace on the whole picker clears the date.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && event->modifiers() == Qt::NoModifier) {
        SetNull();
        return;
    }
    if (IsNull() && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        SetDate(kalvor::Clock::today());
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void SetPickerFromPackedDate(NullableDateEdit* picker, std::uint16_t packed)
{
    if (packed == 0) {
        picker->SetNull();
        return;
    }
    picker->SetDate(kalvor::PackedDate(packed).toQDate());
}

int GetDateFromPicker(const NullableDateEdit* picker, std::uint16_t* field)
{
    std::uint16_t v = 0;
    if (!picker->IsNull()) {
        v = kalvor::PackedDate::fromQDate(picker->date()).value;
    }
    if (v == *field)
        return 0;
    *field = v;
    return 1;
}

void SetPickerFromMonthYear(NullableDateEdit* picker, std::uint16_t monthYear)
{
    const int month = monthYear & 15;
    const int year = monthYear >> 4;
    if (month == 0 || month > 12) {
        picker->SetNull();
        return;
    }
    picker->SetDate(QDate(year, month, 1));
}

int GetDateTimeFromPicker(const NullableDateEdit* picker, std::uint16_t* field)
{
    std::uint16_t v = 0;
    if (!picker->IsNull()) {
        const QDate d = picker->date();
        v = std::uint16_t((d.year() << 4) + d.month());
    }
    if (v == *field)
        return 0;
    *field = v;
    return 1;
}

namespace {
// The date of a "%d.%d.%d" text (two-digit years widened); invalid when none.
QDate dateOfText(const QString& text)
{
    static const QRegularExpression re(QStringLiteral("^\\s*(-?\\d+)\\.(-?\\d+)\\.(-?\\d+)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return {};
    const int day = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    if (day <= 0 || month <= 0)
        return {};
    if (year >= 0 && year < 100)
        year = kalvor::WidenTwoDigitYear(year);
    return QDate(year, month, day);
}
} // namespace

void ParseDateText(const QString& text, NullableDateEdit* picker) { picker->SetDate(dateOfText(text)); }

int ParseDateToDate(QString* text, const NullableDateEdit* picker)
{
    if (picker->IsNull() ? text->trimmed().isEmpty() : dateOfText(*text) == picker->date())
        return 0;
    QString out;
    if (!picker->IsNull()) {
        const QDate d = picker->date();
        out = QStringLiteral("%1.%2.%3").arg(d.day()).arg(d.month()).arg(d.year() % 100);
    }
    out.truncate(120);
    if (out == *text)
        return 0;
    *text = out;
    return 1;
}

void OnDateTimeChangeSetFormat(NullableDateEdit* picker)
{
    // The blank text of a cleared picker is its special value; a date uses
    // the default format.
    const QString wanted = picker->DefaultFormat();
    if (picker->displayFormat() != wanted)
        picker->setDisplayFormat(wanted);
}

void EraseDatePickerBackground(NullableDateEdit* picker, const QColor& colour)
{
    picker->setStyleSheet(QStringLiteral("QDateEdit { background-color: %1; }").arg(colour.name()));
}
