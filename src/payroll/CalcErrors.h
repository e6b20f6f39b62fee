#pragma once
// The error codes of the calculation and their messages.
//
// Every payroll function that can fail returns a negative int: -k is message
// k of CalcErrorTexts, passed up unchanged by every level. Most messages are
// the exchange table's of the same code (values/Messages.h); fifteen the
// engine says its own way.
#include <QString>

#include <array>

namespace kalvor {

enum CalcError : int {
    kCalcNoPaymentSystem = -1, // "Не указана система оплаты"
    kCalcNoSchedule = -2, // "Отсутствует график работ"
    kCalcArchiveDataMissing = -3, // "В архиве отсутствуют нужные данные"
    kCalcUnknownArchiveCode = -4, // "В архиве обнаружен неизвестный код"
    kCalcUnknownCode = -5, // "В данных отчетного месяца обнаружен неизв. код"
    kCalcSickLeaveDates = -6, // "Ошибка в датах болезни"
    kCalcSickLeaveMonth = -7, // "Недопустимая дата болезни"
    kCalcArchiveWithoutMonth = -8, // "В архивной записи не указан месяц"
    kCalcRowWithoutMonth = -9, // "В данных отчетного месяца не указан месяц"
    kCalcBadVacationStart = -10, // "Недопустимая дата начала отпуска"
    kCalcShiftSchedule = -11, // "Ошибка в определении вахтового графика"
    kCalcNoDayLength = -12, // "Не указана длина рабочего дня"
    kCalcNoPlannedTime = -13, // "Нет планового значения рабочих дней (часов)"
    kCalcMeaningMismatch = -14, // "Допущено смысловое несоответствие данных"
    kCalcNoEarlierWorkingTime = -15, // "В данных пред. месяцев нет рабочих дней (часов)"
    kCalcNoWorkingTime = -16, // "В месяце нет рабочих дней (часов)"
    kCalcNoPreviousSchedule = -17, // "Не найден график работы за пред. месяц"
    kCalcBadVacationLength = -18, // "Ошибка в задании длины отпуска"
    kCalcSameRestTransfers = -19, // "Одинаковые коды перечислений с неопределенной суммой"
    kCalcHireDateForRule = -20, // "Некорр.дата приема на работу для данного алгоритма."
    kCalcTaxTableDates = -21, // "Ошибка в датах действия таблицы налогов"
    kCalcTooManyRows = -22, // "Количество оплат и удержаний в з/п больше 28"; the month's rows are full
    kCalcPrintFile = -23, // "Сбой при попытке обращения к файлу печати"
    kCalcTooManyDays = -24, // "Превышено число календарных дней в месяце"
    kCalcDayMaskMismatch = -25, // "Ошибка в табеле учета каждого рабочего дня"
    kCalcBadPermanentPayment = -26, // "Некорректно определена постоянная доплата"
    kCalcBadEmployee = -27, // "Некорректный статус работника"; an index that is not in the employee list
    kCalcTooManyContributions = -28, // "Слишком много отчислений"
    kCalcBadTaxPeriod = -29, // "Неверно задан налоговый перод"
    kCalcTooManyIncomeCodes = -30, // "Слишком много кодов дохода"
    kCalcUnknownTaxDeduction = -31, // "Неизвестный код налоговой льготы"
    kCalcNoContributionTable = -32, // "Не известна налоговая таблица для ЕСН"
    kCalcNoBirthDate = -33, // "Не указана дата рождения"
    kCalcPostalFee = -34, // "Ошибка расчета почтового сбора"
    kCalcNoDismissalDate = -35, // "Не указана дата увольнения"
    kCalcNoHireDate = -36, // "Не указана дата приема на работу."
    kCalcPartMonthVacation = -37, // "Неполные месяцы только при расчете компенсации."
    kCalcRecordUnreadable =
        -38, // "ВНИМАНИЕ! критическая ситуация с архивом"; the employee's record could not be read from the work file
    kCalcNonResidentDates = -39, // "Ошибка в датах нерезидента"
    kCalcForeignWorkerSettings = -40, // "Ошибочные установки доп-ых параметров иностранца."
    kCalcSalaryNotPosition = -41, // "Оклад не соответствует окладу из справочн.должностей."
    kCalcBadHireDismissal = -42, // "Некорректные даты приема на работу/увольнения."
    kCalcNoSex = -43, // "Не указан пол"; before 2005 the contributions of the older employees depend on it
    // An amount of the employee's card below zero, which the card refuses
    // (an older base may hold one): the month is not computed.
    kCalcNegativeSalary = -44, // "В карточке работника оклад меньше нуля"
    kCalcNegativeRate = -45, // "В карточке работника ставка меньше нуля"
    kCalcNegativeAdvance = -46, // "В карточке работника плановый аванс меньше нуля"
    kCalcNegativeAllowance = -47, // "В карточке работника персональная надбавка меньше нуля"
};

// The messages the engine says otherwise than the exchange table does under
// the same code; every other code says the exchange table's message.
struct CalcOwnText {
    CalcError code;
    const char* text;
};
inline constexpr CalcOwnText CalcOwnTexts[] = {
    {kCalcNoPaymentSystem, "Не указана система оплаты"},
    {kCalcNoSchedule, "Отсутствует график работ"},
    {kCalcArchiveDataMissing, "В архиве отсутствуют нужные данные"},
    {kCalcHireDateForRule, "Некорр.дата приема на работу для данного алгоритма."},
    {kCalcDayMaskMismatch, "Ошибка в табеле учета каждого рабочего дня"},
    {kCalcTooManyIncomeCodes, "Слишком много кодов дохода"},
    {kCalcNoContributionTable, "Не известна налоговая таблица для ЕСН"},
    {kCalcNoBirthDate, "Не указана дата рождения"},
    {kCalcPostalFee, "Ошибка расчета почтового сбора"},
    {kCalcSalaryNotPosition, "Оклад не соответствует окладу из справочн.должностей."},
    {kCalcNoSex, "Не указан пол"},
    {kCalcNegativeSalary, "В карточке работника оклад меньше нуля"},
    {kCalcNegativeRate, "В карточке работника ставка меньше нуля"},
    {kCalcNegativeAdvance, "В карточке работника плановый аванс меньше нуля"},
    {kCalcNegativeAllowance, "В карточке работника персональная надбавка меньше нуля"},
};

// The calculation engine's 47 messages (UTF-8 literals); entry k - 1 is the
// message of code -k.
extern const std::array<const char*, 47> CalcErrorTexts;

// Message of code -k (or k); an empty string outside the table.
QString CalcErrorText(int code);

} // namespace kalvor
