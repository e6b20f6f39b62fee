#pragma once
// The print form of the pension-fund contributions report (RSV-1), the
// templates "avans-rsv1-2010" and "avans-rsv1-2011": the title page, Section 1,
// the tariff Section 2, the list of disabled employees 32 to a page, the
// Article 57 and 58 pages of 2011 and the debt page. Codes and numbers stand
// one character per box; a zero amount prints "---" where the form wants it.
#include "payroll/PayrollDocument.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/SocialFormTexts.h"

#include <QDate>
#include <QList>
#include <QString>

#include <vector>

namespace kalvor::reports {

inline constexpr char kOVPFTemplate2010[] = "avans-rsv1-2010";
inline constexpr char kOVPFTemplate2011[] = "avans-rsv1-2011";

// The template of the report's year: the 2011 form for a year after 2010.
QByteArray OVPFTemplateName(int year);

// The form's regions and values for the document, the records of "inval" and
// the date. Raises the average headcount V[273] to 1 in the document when it
// is below 1, so that a later export writes the same.
QList<FormRegion> OVPFFormRegions(PayrollDoc& doc, const std::vector<InvalRecord>& inval, const QDate& today);

// Fills the form beside the work file (the run's ".typ" path) from the
// document and the working folder's "inval", and opens it. Returns the
// template engine's result (print::CTree::GenerateResult); errorText
// receives its explanation.
int PrintOVPF(const QString& workFilePath, PayrollDoc& doc, QString* errorText = nullptr);

} // namespace kalvor::reports
