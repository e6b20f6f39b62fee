#pragma once
// Readers of the readable sources in data/src/ and the writers of the data
// files made from them: the reference files of the working folder (with their
// underscore copies), the list "country" and the empty-base template.
//
// Every reader throws SourceError "<file>:<line>: <what>" on a line it cannot
// take, so a typing slip in a source stops the build instead of shipping a
// wrong file.
#include "infobase/InfoBase.h"
#include "infobase/RefFiles.h"
#include "masterdata/PayKindBook.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace kalvor::tools {

struct SourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One line of a source with its number; comments and blank lines left out.
struct SourceLine {
    int number = 0;
    QString text;
};
std::vector<SourceLine> ReadSourceLines(const QString& path);

// The reference tables of data/src/ (nalog, profi, post, title, vichet, sbor,
// bank, lazer, palitra, country).
void ReadReferenceSources(const QString& srcDir, infobase::CRefFiles& ref);

// Writes every reference file into outDir, each also under its name with a
// leading underscore, and the list "country". outDir ends in a separator.
void WriteReferenceFiles(const infobase::CRefFiles& ref, const QString& outDir);

// The settings, pay kinds and schedules of the empty base (config.txt,
// paykinds.txt, schedules.txt) put into an in-memory base.
void ReadBaseSources(const QString& srcDir, infobase::CInfoBase& base);

// The codes the calculation treats by number; each must have a kind in the template.
using masterdata::BuiltInPayKindCodes;

// Makes "empty.bak" in outDir: a base with the settings, built-in pay kinds
// and schedules of the sources and no employees. Built in a work folder and
// put in place under a temporary name, so a failure leaves the old template.
void WriteEmptyTemplate(const QString& srcDir, const QString& outDir);

// Month number of the tax tables: (year - 1900) * 12 + month.
inline int TaxMonthNumber(int year, int month) { return (year - 1900) * 12 + month; }

} // namespace kalvor::tools
