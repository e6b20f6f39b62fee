// The merge of report data files over bases: sums of two files (the 4-FSS
// accidents rate of the first file only), the headcount files added, files of
// another report or period refused, a part record after the values dropped,
// "inval" rebuilt and emptied by an empty merge, the files' period lent to
// the writers while the report is made; and a merge view driven in the frame.
#include "reports/social/GenrMerge.h"
#include "support/ScreenText.h"

#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/social/InvalRecord.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/ui/CGenrAmaViews.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CommandRegistry.h"
#include "support/FileList.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstring>

using namespace kalvor;
using namespace kalvor::reports;
using kalvor::infobase::u16;

namespace {

const QString kSourceData = QStringLiteral(KALVOR_SOURCE_DIR "/data");

InvalRecord Disabled(const char* name)
{
    InvalRecord record;
    const QByteArray padded = QByteArray(name).leftJustified(50, ' ');
    std::memcpy(record.fio.data(), padded.constData(), 50);
    record.sinceYearStart = 100'000;
    return record;
}

class GenrMerge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        platform::SetWorkingFolder(dir.path());
        doc.infoBase.config.tekMes = u16(MonthKey(2011, 4).value());
        doc.infoBase.config.r_g = 111;
        doc.infoBase.config.r_m1 = 1;
        doc.infoBase.config.r_m2 = 3;
    }
    void TearDown() override { platform::SetWorkingFolder(QString()); }

    // A data file of the tag and period whose values are `scale` times their
    // index (one value for the headcount), with the records after them.
    // Value i is scale * (i + 1), but for the values `set` gives.
    QString Write(const QString& name, int tag, GenrDataHeader header, double scale,
                  const std::vector<InvalRecord>& inval = {}, const std::vector<std::pair<int, double>>& set = {})
    {
        GenrDataFile file;
        header.tag = std::uint8_t(tag);
        file.header = header;
        file.values.resize(GenrDataFile::valueCount(tag));
        for (std::size_t i = 0; i < file.values.size(); ++i) file.values[i] = scale * double(i + 1);
        for (const auto& [index, value] : set) file.values[std::size_t(index)] = value;
        file.inval = inval;
        const QString path = dir.filePath(name);
        EXPECT_EQ(WriteGenrDataFile(path, file), 0);
        return path;
    }
    std::vector<InvalRecord> Inval() const
    {
        std::vector<InvalRecord> records;
        EXPECT_EQ(ReadInvalFile(InvalFilePath(), records), 0);
        return records;
    }

    static constexpr GenrDataHeader kQ1of2010{0, 1, 3, 110};
    QTemporaryDir dir;
    PayrollDoc doc;
};

TEST_F(GenrMerge, TwoFilesAreAddedAndTheRateIsTheFirstFiles)
{
    const QString a = Write(QStringLiteral("a.dat"), GENR_TAG_FSS4, kQ1of2010, 1);
    const QString b = Write(QStringLiteral("b.dat"), GENR_TAG_FSS4, kQ1of2010, 2);
    GenrMerged merged;
    ASSERT_EQ(MergeGenrDataFiles({a, b}, GENR_TAG_FSS4, doc, merged), GenrReadStatus::Done);
    EXPECT_EQ(merged.header, (GenrDataHeader{17, 1, 3, 110}));
    EXPECT_EQ(doc.GenrValues[0], 3);
    EXPECT_EQ(doc.GenrValues[424], 1'275);
    EXPECT_EQ(doc.GenrValues[fss4::kInjuryRate], 171); // the first file's value 170, not 513
    EXPECT_EQ(doc.GenrValues[fss4::kInjuryRate + 1], 516);

    // The writers see the files' period while the report is made; the
    // base's comes back afterwards.
    {
        const MergedReportPeriod period(doc, merged);
        EXPECT_EQ(ResolveReportPeriod(doc.infoBase.config).year, 2010);
    }
    EXPECT_EQ(doc.infoBase.config.r_g, 111);
}

TEST_F(GenrMerge, PensionFilesRebuildInvalAndDropAPartRecord)
{
    // "inval" of an earlier run is replaced.
    ASSERT_EQ(WriteInvalFile(InvalFilePath(), {Disabled("Earlier")}), 0);
    const QString a = Write(QStringLiteral("a.dat"), GENR_TAG_PF, kQ1of2010, 1, {Disabled("First")});
    const QString b =
        Write(QStringLiteral("b.dat"), GENR_TAG_PF, kQ1of2010, 1, {Disabled("Second"), Disabled("Third")});
    QFile part(b);
    ASSERT_TRUE(part.open(QIODevice::Append));
    part.write(QByteArray(100, 'x')); // a part record: dropped
    part.close();
    GenrMerged merged;
    ASSERT_EQ(MergeGenrDataFiles({a, b}, GENR_TAG_PF, doc, merged), GenrReadStatus::Done);
    const std::vector<InvalRecord> records = Inval();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(QByteArray(records[2].fio.data(), 5), "Third");
    // The pack and department numbers of the first file.
    EXPECT_EQ(merged.selection.orgPackNumber, 276);
    EXPECT_EQ(merged.selection.deptCode, 277);
    EXPECT_EQ(merged.selection.deptPackNumber, 278);

    // An empty list: zeros and no disabled employees.
    ASSERT_EQ(MergeGenrDataFiles({}, GENR_TAG_PF, doc, merged), GenrReadStatus::Done);
    EXPECT_EQ(doc.GenrValues[0], 0);
    EXPECT_TRUE(Inval().empty());
    EXPECT_EQ(merged.header.tag, 0);
}

TEST_F(GenrMerge, ForeignFilesAreRefusedAndHeadcountsAdded)
{
    const QString pension = Write(QStringLiteral("pf.dat"), GENR_TAG_PF, kQ1of2010, 1);
    const QString fss = Write(QStringLiteral("fss.dat"), GENR_TAG_FSS4, kQ1of2010, 1);
    const QString secondQuarter = Write(QStringLiteral("q2.dat"), GENR_TAG_FSS4, {0, 4, 6, 110}, 1);
    const QString year1993 = Write(QStringLiteral("y93.dat"), GENR_TAG_FSS4, {0, 1, 3, 93}, 1);
    GenrMerged merged;
    EXPECT_EQ(MergeGenrDataFiles({pension, fss}, GENR_TAG_PF, doc, merged), GenrReadStatus::Foreign);
    EXPECT_EQ(merged.failedFile, fss);
    EXPECT_EQ(MergeGenrDataFiles({fss, secondQuarter}, GENR_TAG_FSS4, doc, merged), GenrReadStatus::Foreign);
    EXPECT_EQ(MergeGenrDataFiles({year1993}, GENR_TAG_FSS4, doc, merged), GenrReadStatus::Foreign);
    EXPECT_EQ(MergeGenrDataFiles({dir.filePath(QStringLiteral("none.dat"))}, GENR_TAG_FSS4, doc, merged),
              GenrReadStatus::OpenFailed);
    QFile shortFile(dir.filePath(QStringLiteral("short.dat")));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray("\x11\x01\x03\x6e", 4) + QByteArray(100, '\0'));
    shortFile.close();
    EXPECT_EQ(MergeGenrDataFiles({shortFile.fileName()}, GENR_TAG_FSS4, doc, merged), GenrReadStatus::ReadFailed);
    // A file whose value is not a number: refused, named, and not added.
    const QString nan = Write(QStringLiteral("nan.dat"), GENR_TAG_FSS4, kQ1of2010, std::nan(""));
    EXPECT_EQ(MergeGenrDataFiles({fss, nan}, GENR_TAG_FSS4, doc, merged), GenrReadStatus::BadValue);
    EXPECT_EQ(merged.failedFile, nan);
    EXPECT_EQ(merged.refusal, QStringLiteral("Файл не загружен: в нём недопустимые значения.\n"
                                             "Файл nan.dat, запись значений отчёта, поле 0: недопустимое значение "
                                             "не число"));
    EXPECT_EQ(doc.GenrValues[5], 6); // the first file's value alone

    // Ten people and five: fifteen.
    const QString ten = Write(QStringLiteral("h1.dat"), GENR_TAG_HEADCOUNT, kQ1of2010, 1'000);
    const QString five = Write(QStringLiteral("h2.dat"), GENR_TAG_HEADCOUNT, kQ1of2010, 500);
    ASSERT_EQ(MergeGenrDataFiles({ten, five}, GENR_TAG_HEADCOUNT, doc, merged), GenrReadStatus::Done);
    EXPECT_EQ(merged.headcount, 1'500);
}

// The 4-FSS merge view: the merged 2010 files go to the choice loop, whose
// "Сформировать отчет" writes the 2010 pair although the base stands in 2011,
// and the view's line names them; a file of another report is refused with
// the message.
TEST_F(GenrMerge, MergeViewMakesTheReportOfTheFilesPeriod)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Shablon")));
    ASSERT_TRUE(QFile::copy(kSourceData + QStringLiteral("/Shablon/avans-fss4-2010.rtf"),
                            dir.filePath(QStringLiteral("Shablon/avans-fss4-2010.rtf"))));
    platform::DocumentOpener::SetCommand(QStringLiteral("true"));
    MessageRecorder recorder;
    CKalvorDoc program;
    program.setWorkFolder(dir.path());
    program.infoBase.baseName = QStringLiteral("svod");
    program.infoBase.config = doc.infoBase.config;
    program.infoBase.firm.texts[infobase::FirmInfo::firmFSS] = QStringLiteral("3501012345");
    CommandRegistry registry;
    CMainFrame frame(&program, &registry);
    ASSERT_TRUE(ShowActive(&frame));
    auto* view = frame.SwitchView<CGenrAmaRVedFSSView>();
    Settle();

    // Reports whose lines agree: the parts of table 1's line 12 (lines 13
    // and 14) and of table 4.1's line 2 (its line 3) empty.
    const std::vector<std::pair<int, double>> agreeing{{265, 0}, {266, 0}, {252, 0}};
    const QString a = Write(QStringLiteral("a.dat"), GENR_TAG_FSS4, kQ1of2010, 1, {}, agreeing);
    const QString b = Write(QStringLiteral("b.dat"), GENR_TAG_FSS4, kQ1of2010, 1, {}, agreeing);
    SetFileList(*view, {a, b});
    ASSERT_TRUE(frame.grab().save(QStringLiteral("genr-merge-view.png")));
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* choice = qobject_cast<CRepEdit1Dlg*>(QApplication::activeModalWidget()))
            QTest::mouseClick(choice->controlAs<QPushButton>(1040), Qt::LeftButton);
    });
    answer.start(5);
    QTest::mouseClick(view->controlAs<QPushButton>(CAmaSvodView::IdStart), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !view->MergeRunning(); }, 20'000));
    Settle();
    answer.stop();
    EXPECT_TRUE(recorder.boxes.empty()) << recorder.Texts().join(u'\n').toStdString();
    EXPECT_EQ(program.GenrValues[0], 2);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("3501012345_2010_3.xml"))));
    EXPECT_EQ(program.infoBase.config.r_g, 111);
    // The run's line names both files, the form under its own name and period.
    EXPECT_EQ(ScreenText(view, QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1\nЗаписан файл %2, открыт в программе просмотра")
                  .arg(QFileInfo(dir.filePath(QStringLiteral("3501012345_2010_3.xml"))).absoluteFilePath(),
                       QFileInfo(dir.filePath(QStringLiteral("svod-4FSS-2010-03.rtf"))).absoluteFilePath()));

    const QString pension = Write(QStringLiteral("pf.dat"), GENR_TAG_PF, kQ1of2010, 1);
    SetFileList(*view, {a, pension});
    QTest::mouseClick(view->controlAs<QPushButton>(CAmaSvodView::IdStart), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return !view->MergeRunning(); }, 20'000));
    Settle();
    EXPECT_EQ(recorder.Texts(), QStringList{QStringLiteral("Файл не имеет отношения к выбранному Вами своду")});
    platform::DocumentOpener::SetCommand(platform::DocumentOpener::DefaultCommand());
}

} // namespace
