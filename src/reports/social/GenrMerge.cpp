#include "reports/social/GenrMerge.h"

#include "reports/social/InvalRecord.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/SocialInsurance2011.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace kalvor::reports {

namespace {

// The pack and department numbers that the pension-fund run keeps in its
// values.
constexpr int kOrgPackValue = 275, kDeptCodeValue = 276, kDeptPackValue = 277;

// The file's bytes without a part record after the values.
QByteArray WholeRecords(const QByteArray& bytes, int tag)
{
    if (!GenrDataFile::carriesInval(tag))
        return bytes;
    const qsizetype valuesEnd = qsizetype(GenrDataHeader::Size + GenrDataFile::ValueCount * 8);
    if (bytes.size() <= valuesEnd)
        return bytes;
    const qsizetype records = (bytes.size() - valuesEnd) / qsizetype(InvalRecord::Size);
    return bytes.left(valuesEnd + records * qsizetype(InvalRecord::Size));
}

GenrReadStatus ReadMergedFile(const QString& path, int tag, const GenrDataHeader* first, GenrDataFile& file,
                              QString& refusal)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return GenrReadStatus::OpenFailed;
    return ParseGenrDataFile(WholeRecords(in.readAll(), tag), tag, first, file, QFileInfo(path).fileName(), &refusal);
}

void AddValues(const GenrDataFile& file, bool first, PayrollDoc& doc, GenrMerged& merged)
{
    const int tag = file.header.tag;
    if (tag == GENR_TAG_HEADCOUNT) {
        merged.headcount += file.values.front();
        return;
    }
    GenrValueArray& values = doc.GenrValues;
    for (std::size_t i = 0; i < values.size() && i < file.values.size(); ++i) {
        if (tag == GENR_TAG_FSS4 && int(i) == fss4::kInjuryRate && !first)
            continue;
        values[i] += file.values[i];
    }
    if (tag == GENR_TAG_PF && first) {
        merged.selection.orgPackNumber = std::int32_t(std::trunc(file.values[kOrgPackValue]));
        merged.selection.deptCode = std::int32_t(std::trunc(file.values[kDeptCodeValue]));
        merged.selection.deptPackNumber = std::int32_t(std::trunc(file.values[kDeptPackValue]));
    }
}

} // namespace

GenrReadStatus MergeGenrDataFiles(const std::vector<QString>& files, int tag, PayrollDoc& doc, GenrMerged& merged)
{
    merged = GenrMerged{};
    if (tag != GENR_TAG_HEADCOUNT)
        doc.GenrValues.fill(0);
    std::vector<InvalRecord> inval;
    const bool withInval = GenrDataFile::carriesInval(tag);
    if (withInval && WriteInvalFile(InvalFilePath(), inval) != 0)
        return GenrReadStatus::OpenFailed;
    for (const QString& path : files) {
        const bool first = merged.header.tag == 0;
        GenrDataFile file;
        const GenrReadStatus status = ReadMergedFile(path, tag, first ? nullptr : &merged.header, file, merged.refusal);
        if (status != GenrReadStatus::Done) {
            merged.failedFile = path;
            return status;
        }
        if (first)
            merged.header = file.header;
        AddValues(file, first, doc, merged);
        if (withInval) {
            inval.insert(inval.end(), file.inval.begin(), file.inval.end());
            if (WriteInvalFile(InvalFilePath(), inval) != 0)
                return GenrReadStatus::OpenFailed;
        }
    }
    return GenrReadStatus::Done;
}

MergedReportPeriod::MergedReportPeriod(PayrollDoc& doc, const GenrMerged& merged)
    : config_(doc.infoBase.config), year_(config_.r_g), firstMonth_(config_.r_m1), lastMonth_(config_.r_m2)
{
    if (merged.header.tag == 0)
        return;
    config_.r_g = decltype(year_)(merged.header.yearByte);
    config_.r_m1 = merged.header.firstMonth;
    config_.r_m2 = merged.header.lastMonth;
}

MergedReportPeriod::~MergedReportPeriod()
{
    config_.r_g = year_;
    config_.r_m1 = firstMonth_;
    config_.r_m2 = lastMonth_;
}

} // namespace kalvor::reports
