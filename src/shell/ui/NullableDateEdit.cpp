#include "shell/ui/NullableDateEdit.h"

#include "shell/ui/TypedInput.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStyle>

namespace {
// The dates a field takes.
const QDate kFirstDate(1900, 1, 2);
const QDate kLastDate(2099, 12, 31);

// A date into the field's range, month fields on the first of the month.
QDate Normalised(const QDate& d, bool monthOnly)
{
    if (!d.isValid() || d < kFirstDate || d > kLastDate)
        return {};
    return monthOnly ? QDate(d.year(), d.month(), 1) : d;
}

} // namespace

kalvor::TypedDate ReadFieldText(const QString& text, bool monthOnly, kalvor::YearSpan years)
{
    kalvor::TypedDate typed = monthOnly ? kalvor::ReadTypedMonth(text, years) : kalvor::ReadTypedDate(text, years);
    if (typed.read == kalvor::TypedDateRead::Date &&
        !Normalised(QDate(typed.year, typed.month, typed.day), monthOnly).isValid())
        typed.read = kalvor::TypedDateRead::YearOutside;
    return typed;
}

QString FieldTextRefusal(const QString& text, bool monthOnly, kalvor::YearSpan years, const QString& name)
{
    const kalvor::TypedDate typed = ReadFieldText(text, monthOnly, years);
    if (typed.read == kalvor::TypedDateRead::Empty || typed.read == kalvor::TypedDateRead::Date)
        return QString();
    const QString shown =
        name.isEmpty() ? text.trimmed() : QStringLiteral("в поле \"%1\": %2").arg(name, text.trimmed());
    if (typed.read == kalvor::TypedDateRead::YearOutside)
        return (monthOnly ? QStringLiteral("Некорректный месяц %1.\n") : QStringLiteral("Некорректная дата %1.\n"))
                   .arg(shown) +
               kalvor::YearSpanText(years);
    return monthOnly ? QStringLiteral("Некорректный месяц %1.\nМесяц вводится как ММ.ГГГГ или ММ.ГГ").arg(shown)
                     : QStringLiteral("Некорректная дата %1.\nДата вводится как ДД.ММ.ГГГГ или ДД.ММ.ГГ").arg(shown);
}

bool CommitDateFields(QWidget* parent)
{
    for (NullableDateEdit* field : parent->findChildren<NullableDateEdit*>())
        if (!field->Commit())
            return false;
    return true;
}

QDate ReportingMonthStart()
{
    if (const CKalvorDoc* doc = GetCurrentDocument()) {
        const kalvor::MonthKey key = doc->infoBase.config.reportingKey();
        if (key.month() >= 1 && key.month() <= 12 && key.year() > 1900)
            return QDate(key.year(), key.month(), 1);
    }
    const QDate today = kalvor::Clock::today();
    return QDate(today.year(), today.month(), 1);
}

NullableDateEdit::NullableDateEdit(QWidget* parent, bool monthOnly) : QLineEdit(parent), m_monthOnly(monthOnly)
{
    MarkDateInput(this);
    setMaxLength(monthOnly ? 7 : 10);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this));
    if (!monthOnly) {
        QAction* open = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
        open->setToolTip(QStringLiteral("Календарь (Alt+Вниз)"));
        connect(open, &QAction::triggered, this, &NullableDateEdit::ShowCalendar);
    }
}

QString NullableDateEdit::DefaultFormat() const
{
    return m_monthOnly ? QStringLiteral("MM.yyyy") : QStringLiteral("dd.MM.yyyy");
}

QDate NullableDateEdit::Date() const
{
    if (isModified()) {
        const kalvor::TypedDate typed = ReadFieldText(text(), m_monthOnly, Years());
        if (typed.read == kalvor::TypedDateRead::Empty)
            return {};
        if (typed.read == kalvor::TypedDateRead::Date)
            return QDate(typed.year, typed.month, typed.day);
    }
    return m_date;
}

void NullableDateEdit::SetNull() { SetDate(QDate()); }

void NullableDateEdit::SetDate(const QDate& d)
{
    const QDate date = Normalised(d, m_monthOnly);
    const bool changed = date != m_date;
    m_date = date;
    Show();
    if (changed)
        emit dateChanged(m_date);
}

void NullableDateEdit::Show()
{
    setText(m_date.isValid() ? m_date.toString(DefaultFormat()) : QString());
    setModified(false);
    if (hasFocus())
        selectAll();
}

kalvor::YearSpan NullableDateEdit::Years() const
{
    if (m_monthOnly || m_fullYears)
        return {kFirstDate.year(), kLastDate.year()};
    return kalvor::TwoDigitYearSpan();
}

QString NullableDateEdit::FieldName() const
{
    for (const QLabel* label : window()->findChildren<QLabel*>())
        if (label->buddy() == this)
            return label->text().remove(QLatin1Char('&')).remove(QLatin1Char('*')).remove(QLatin1Char(':')).trimmed();
    return QString();
}

bool NullableDateEdit::Commit()
{
    if (m_refusing)
        return false;
    if (m_date.isValid() ? text() == m_date.toString(DefaultFormat()) : text().isEmpty())
        return true;
    const QString refusal = FieldTextRefusal(text(), m_monthOnly, Years(), FieldName());
    if (refusal.isEmpty()) {
        const kalvor::TypedDate typed = ReadFieldText(text(), m_monthOnly, Years());
        SetDate(typed.read == kalvor::TypedDateRead::Date ? QDate(typed.year, typed.month, typed.day) : QDate());
        return true;
    }
    // The field keeps what was typed, selected, so that it is mended or typed
    // over; its date stays until a text that reads is taken.
    m_refusing = true;
    setModified(true);
    KalvorMessageBox(refusal, MB_OK | MB_ICONERROR, QString(), this);
    m_refusing = false;
    setFocus(Qt::OtherFocusReason);
    selectAll();
    return false;
}

void NullableDateEdit::StepBy(int step)
{
    if (!Commit())
        return;
    if (!m_date.isValid())
        SetDate(ReportingMonthStart());
    else
        SetDate(m_monthOnly ? m_date.addMonths(step) : m_date.addDays(step));
}

void NullableDateEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !Commit()) {
        event->accept(); // a refused date does not go on to the form's Enter
        return;
    }
    // Esc on a typed text that is no date shows the date again and ends
    // there, as on every input; on a date it goes on to the screen.
    if (key == Qt::Key_Escape && mods == Qt::NoModifier && isModified() &&
        !FieldTextRefusal(text(), m_monthOnly, Years()).isEmpty()) {
        Show();
        event->accept();
        return;
    }
    if (key == Qt::Key_Down && mods == Qt::AltModifier && !m_monthOnly) {
        ShowCalendar();
        return;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && mods == Qt::NoModifier) {
        StepBy(key == Qt::Key_Up ? 1 : -1);
        return;
    }
    // A digit typed over the date shown replaces it, wherever the cursor stands.
    if (!isModified() && !event->text().isEmpty() && event->text().front().isDigit())
        selectAll();
    QLineEdit::keyPressEvent(event);
}

void NullableDateEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Typing replaces the whole date; a click that gives the focus does the same.
    m_selectOnPress = event->reason() == Qt::MouseFocusReason;
    selectAll();
}

void NullableDateEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    if (m_selectOnPress) {
        m_selectOnPress = false;
        selectAll();
    }
}

void NullableDateEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    m_selectOnPress = false;
    // The calendar of this field takes the focus for a moment: nothing to read yet.
    if (m_calendar && m_calendar->isVisible())
        return;
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        Commit();
}

void NullableDateEdit::ShowCalendar()
{
    if (!Commit())
        return;
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setGridVisible(true);
        m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        m_calendar->setDateRange(kFirstDate, kLastDate);
        connect(m_calendar, &QCalendarWidget::activated, this, &NullableDateEdit::TakeCalendarDate);
        connect(m_calendar, &QCalendarWidget::clicked, this, &NullableDateEdit::TakeCalendarDate);
    }
    m_calendar->setLocale(QLocale()); // the program's locale, Russian
    const QDate start = m_date.isValid() ? m_date : ReportingMonthStart();
    m_calendar->setSelectedDate(start);
    m_calendar->setCurrentPage(start.year(), start.month());
    m_calendar->adjustSize();
    m_calendar->move(mapToGlobal(QPoint(0, height())));
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void NullableDateEdit::TakeCalendarDate(const QDate& d)
{
    if (m_calendar)
        m_calendar->hide();
    SetDate(d);
    // The pop-up took the activation: the window gets it back, the field the focus.
    window()->activateWindow();
    setFocus(Qt::PopupFocusReason);
    selectAll();
}

// ------------------------------------------------------------ packed values

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
    if (!picker->IsNull())
        v = kalvor::PackedDate::fromQDate(picker->Date()).value;
    if (v == *field)
        return 0;
    *field = v;
    return 1;
}

void SetPickerFromMonthYear(NullableDateEdit* picker, std::uint16_t monthYear)
{
    const kalvor::MonthKey key = kalvor::MonthKey::of(monthYear);
    const int month = key.month();
    const int year = key.year();
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
        const QDate d = picker->Date();
        v = std::uint16_t(kalvor::MonthKey(d.year(), d.month()).value());
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
    if (picker->IsNull() ? text->trimmed().isEmpty() : dateOfText(*text) == picker->Date())
        return 0;
    QString out;
    if (!picker->IsNull()) {
        const QDate d = picker->Date();
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
    // The field shows its own date in its format, nothing without one.
    picker->SetDate(picker->Date());
}

void EraseDatePickerBackground(NullableDateEdit* picker, const QColor& colour)
{
    picker->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; }").arg(colour.name()));
}
