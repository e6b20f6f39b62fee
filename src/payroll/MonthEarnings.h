#pragma once
// What an employee can earn in a month by his card, which an advance is
// measured against before it is taken: the salary and the personal allowance,
// and the planned time of the month at the hourly tariff of his payment
// system.
#include "infobase/EmployeeRecord.h"
#include "payroll/PayrollDocument.h"

#include <QString>

namespace kalvor {

// What the card says of the pay: kopecks of the salary and the allowance,
// kopecks an hour of the two tariffs, the payment system (1 piece-rate, 2
// hourly, 3 hourly with a salary, 4 salaried) and the work schedule's number.
struct CardPay {
    double salary = 0, allowance = 0;
    double timeTariff = 0, pieceTariff = 0;
    int paySystem = 0;
    int schedule = 0;
};

// The pay the card's head holds, with the payment system and the schedule of
// the employee's attributes.
CardPay CardPayOf(const infobase::EmployeeHead& head, const infobase::EmployeeAttributes& attributes);

// The most the month can pay by the card, and how it was reckoned, in the
// words of the question (after "больше").
struct MonthEarnings {
    double kopecks = 0;
    QString reckoned;
};

// By the payment system: salaried, the salary; piece-rate and hourly, the
// planned hours of the reporting month of the card's schedule at the piece
// or the time tariff; hourly with a salary, both; a card without a system
// (or with one the program does not know), the salary and the planned hours
// at the larger tariff. The allowance counts on every system.
MonthEarnings MonthEarningsOf(const PayrollDoc& doc, const CardPay& card);

// The question asked before an advance of `kopecks` larger than what the
// month can pay is taken; empty when it is not larger. The advance is taken
// all the same on a yes: what the pay does not cover stays a debt.
QString AdvanceAboveEarningsQuestion(double kopecks, const MonthEarnings& earnings);

} // namespace kalvor
