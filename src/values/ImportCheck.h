#pragma once
// The one check that every number read from a file made elsewhere passes
// before it reaches the base (dBASE tables, the output file, the transfer
// file, report data files, the time-sheet file, text tables): a number must
// be finite and within the range its field holds in the base, a code must
// name an entry of its book. A record holding a value outside is refused
// whole; its message names the file, the record and the field.
#include "values/TypedFigure.h"

#include <QString>
#include <QStringList>

namespace kalvor {

class ImportCheck {
public:
    // `file` as the messages name it (the file's name without its folder).
    explicit ImportCheck(const QString& file);

    // Begins the checks of one record, named as the message shows it ("3",
    // "3 (табельный номер 77)").
    void record(const QString& name);

    // Each returns whether the value passes; the first value refused in a
    // record makes the record's message.
    // A number from min to max.
    bool number(double value, double min, double max, const QString& field);
    // An amount in kopecks within the money range, not below zero unless
    // `mayBeNegative` (a refused one is shown in roubles).
    bool money(double kopecks, const QString& field, bool mayBeNegative = false);
    // A value in units of the rule's last place (kopecks, hundredths of a
    // percent) that the field's input takes, by the input's own rule
    // (FigureHoldsUnits); a refused one is shown in the input's units.
    bool figure(double units, const FigureRule& rule, const QString& field);
    // A code of a book: passes when the book knows it.
    bool code(double value, bool known, const QString& field);

    // Whether every value of the current record passed.
    bool recordPassed() const { return m_recordPassed; }
    // Whether every value of every record passed.
    bool passed() const { return m_refused.isEmpty(); }
    // The message of each refused record, in order.
    const QStringList& refused() const { return m_refused; }
    // One message for all refused records under the heading: the first ones
    // named, the count of the rest; empty when none was refused.
    QString summary(const QString& heading = QStringLiteral("Записи с недопустимыми значениями не загружены:")) const;

private:
    bool refuse(double value, const QString& field);

    QString m_file;
    QString m_record;
    bool m_recordPassed = true;
    QStringList m_refused;
};

} // namespace kalvor
