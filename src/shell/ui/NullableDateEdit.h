// Date pickers that can hold "no date" (shown blank), and the helpers that
// move packed dates and month keys in and out of them.
#pragma once

#include <QColor>
#include <QDateEdit>
#include <QString>
#include <cstdint>

class NullableDateEdit : public QDateEdit {
    Q_OBJECT
public:
    // A month picker shows and keeps only month and year.
    explicit NullableDateEdit(QWidget* parent = nullptr, bool monthOnly = false);

    bool IsNull() const { return date() == minimumDate(); }
    void SetNull();
    void SetDate(const QDate& d); // an invalid date clears
    QDate Date() const { return IsNull() ? QDate() : date(); }
    bool MonthOnly() const { return m_monthOnly; }
    QString DefaultFormat() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_monthOnly;
};

// A packed date (day bits 0-4, month bits 5-8, two-digit year bits 9-15) into
// the picker; 0 shows no date with the blank display format.
void SetPickerFromPackedDate(NullableDateEdit* picker, std::uint16_t packed);
// The picker into a packed date (no date = 0); 1 when the stored value changed.
int GetDateFromPicker(const NullableDateEdit* picker, std::uint16_t* field);
// A month key (month in bits 0-3, full year above; month 0 = no date) into a picker.
void SetPickerFromMonthYear(NullableDateEdit* picker, std::uint16_t monthYear);
// The picker into (year << 4) + month, 0 without a date; 1 when changed.
int GetDateTimeFromPicker(const NullableDateEdit* picker, std::uint16_t* field);
// "%d.%d.%d" text into the picker; day or month 0, or anything else, gives no date.
void ParseDateText(const QString& text, NullableDateEdit* picker);
// Writes the picker's date into the text as "%d.%d.%d" (two-digit year; no
// date gives an empty text) when it differs; 1 when the text changed.
int ParseDateToDate(QString* text, const NullableDateEdit* picker);
// On a date change: a cleared picker gets the blank display format " ",
// a picker with a date the default one.
void OnDateTimeChangeSetFormat(NullableDateEdit* picker);
// Paints the picker's background in the colour given.
void EraseDatePickerBackground(NullableDateEdit* picker, const QColor& colour);
