// Date fields that can hold "no date" (an empty field), and the helpers that
// move packed dates and month keys in and out of them.
#pragma once

#include <QCalendarWidget>
#include <QColor>
#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <cstdint>

#include "values/Values.h"

// A date typed by the program's one rule for typed dates (kalvor::ReadTypedDate:
// "11.05.2011", "11.05.11", "1.5.2011", "11052011"; a month field "5.2011",
// "05.11" or "052011"), two-digit years read by the program's window. A day
// field keeps a packed date, whose years are those of the window, unless it is
// set to keep full years; a month field keeps full years. The typed text is
// taken on Enter and when the field loses the focus; a text that is no date
// the field can hold is refused with a message, and the field keeps the text,
// selected, and its date until a text that reads is taken.
// The field selects its whole text when it gets the focus, and a digit typed
// over the date shown replaces it. Up and Down step the date by a day (a month in a month
// field); in an empty field they, and the calendar (Alt+Down or the button),
// start from the reporting month.
class NullableDateEdit : public QLineEdit {
    Q_OBJECT
public:
    // A month field shows and keeps only month and year.
    explicit NullableDateEdit(QWidget* parent = nullptr, bool monthOnly = false);

    // The field's date: the one typed, when the typed text is a date not yet
    // taken (the frame's keys act while the focus stays in the field), else
    // the one it holds; invalid = no date.
    QDate Date() const;
    bool IsNull() const { return !Date().isValid(); }
    void SetNull();
    void SetDate(const QDate& d); // an invalid date clears
    // The field's dates are kept with full years (1900-2099), not packed.
    void KeepFullYears() { m_fullYears = true; }
    // The years the field can hold.
    kalvor::YearSpan Years() const;
    // The text of the label that names the field (its buddy); empty when none does.
    QString FieldName() const;
    QString DefaultFormat() const;

    // Takes the typed text: true when it is empty or a date (now the field's),
    // false when it was refused with a message.
    bool Commit();
    // Opens the calendar on the field's date, else on the reporting month.
    void ShowCalendar();
    // The calendar while it is open (null otherwise).
    QCalendarWidget* Calendar() const { return m_calendar; }

signals:
    void dateChanged(const QDate& date);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Show();
    void StepBy(int step);
    void TakeCalendarDate(const QDate& d);

    bool m_monthOnly;
    bool m_fullYears = false;
    QDate m_date; // invalid = no date
    bool m_refusing = false; // a refusal message is up
    bool m_selectOnPress = false; // the click that gave the focus selects all
    QPointer<QCalendarWidget> m_calendar;
};

// What a text typed into a field gives (a month field reads a month), within
// the field's years and dates.
kalvor::TypedDate ReadFieldText(const QString& text, bool monthOnly, kalvor::YearSpan years);
// The message that refuses a typed text ("Некорректная дата 20071985.\nДата
// вводится как ДД.ММ.ГГГГ или ДД.ММ.ГГ", with the years the field holds for a
// year outside them); empty when the text is empty or a date. A field with a
// name is named: "Некорректная дата в поле "Дата рождения": 20071985. ...".
QString FieldTextRefusal(const QString& text, bool monthOnly, kalvor::YearSpan years, const QString& name = QString());
// Takes the typed text of every date field within the widget; false when one
// refuses its text (it says why and keeps the text selected), so that the
// save, step or switch that asked waits for it.
bool CommitDateFields(QWidget* parent);
// The first day of the open base's reporting month; without a base, of the
// current month.
QDate ReportingMonthStart();

// A packed date (day bits 0-4, month bits 5-8, two-digit year bits 9-15) into
// the field; 0 shows no date.
void SetPickerFromPackedDate(NullableDateEdit* picker, std::uint16_t packed);
// The field into a packed date (no date = 0); 1 when the stored value changed.
int GetDateFromPicker(const NullableDateEdit* picker, std::uint16_t* field);
// A month key (month in bits 0-3, full year above; month 0 = no date) into a field.
void SetPickerFromMonthYear(NullableDateEdit* picker, std::uint16_t monthYear);
// The field into (year << 4) + month, 0 without a date; 1 when changed.
int GetDateTimeFromPicker(const NullableDateEdit* picker, std::uint16_t* field);
// "%d.%d.%d" text into the field; day or month 0, or anything else, gives no date.
void ParseDateText(const QString& text, NullableDateEdit* picker);
// Writes the field's date into the text as "%d.%d.%d" (two-digit year; no
// date gives an empty text) when it differs; 1 when the text changed.
int ParseDateToDate(QString* text, const NullableDateEdit* picker);
// On a date change: the field shows its date in the default format, or
// nothing without a date.
void OnDateTimeChangeSetFormat(NullableDateEdit* picker);
// Paints the field's background in the colour given.
void EraseDatePickerBackground(NullableDateEdit* picker, const QColor& colour);
