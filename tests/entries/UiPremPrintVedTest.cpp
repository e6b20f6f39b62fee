// The bonus statement's view on the demo base: Enter prints the statement
// with the assembly brigade's shares through the print command's dialog
// (accepted here as the user would), the run's last line naming the file,
// the cash orders the same way; a bonus
// line of a pay kind the book does not know shows its message, and a number
// without bonuses "Нет данных для печати", each with the information icon.
#include "StatementViewWorld.h"
#include "support/ScreenText.h"

#include "entries/ui/CPremPrintVedView.h"
#include "infobase/InfoBaseDb.h"
#include "platform/CodePage.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CPrnEditDlg.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

class UiPremPrintVed : public entrytest::StatementViewWorld<CPremPrintVedView> {
protected:
    // The report as the print command got it: turned to cp866 in place.
    QString Report(const char* form = "Prem-Ved") const
    {
        QFile file(doc->FormWorkFile(QString::fromLatin1(form), doc->infoBase.config.reportingKey()));
        return file.open(QIODevice::ReadOnly) ? codepage::fromCp866(file.readAll()) : QString();
    }
};

} // namespace

TEST_F(UiPremPrintVed, StatementAndOrdersWithTheBrigadesSharesGoThroughThePrintCommand)
{
    EXPECT_EQ(view->FormId(), 395);
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(Report().contains(QStringLiteral("|   110 |        Тихонов В. А.|      5250.00|")));
    EXPECT_TRUE(Report().contains(QStringLiteral("|   130 |")));
    // The run ends as every print run does, its last line naming the file.
    EXPECT_EQ(ScreenText(view.get(), QStringLiteral("outcome")),
              QStringLiteral("Записан файл %1, выполнена команда печати")
                  .arg(doc->FormWorkFile(QStringLiteral("Prem-Ved"), doc->infoBase.config.reportingKey())));

    SetField(IdOutputModeField, QStringLiteral("1"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_TRUE(recorder.Texts().isEmpty()) << recorder.Texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(Report("Prem-KO").count(QStringLiteral("РАСХОДНЫЙ  КАССОВЫЙ  ОРДЕР")), 7);
}

TEST_F(UiPremPrintVed, AnUnknownPayKindAndAnEmptySelectionShowTheirMessages)
{
    ib::BonusLine unknown;
    unknown.kod = 555;
    unknown.mrp = 2;
    unknown.sum = 100'000;
    ib::CInfoBase& base = doc->infoBase;
    ASSERT_TRUE(base.prem.insertLine(base.list[std::size_t(base.FindEmployee(102))].slot, 0, unknown));
    ASSERT_TRUE(PrintWithEnter());
    ASSERT_EQ(recorder.boxes.size(), 1u);
    EXPECT_EQ(recorder.boxes[0].text, QStringLiteral("В данных отчетного месяца обнаружен неизв. код"));
    EXPECT_TRUE(recorder.boxes[0].flags & MB_ICONINFORMATION);
    EXPECT_EQ(dialogs, 0);

    recorder.boxes.clear();
    SetField(IdPersonnelNumberField, QStringLiteral("103"));
    ASSERT_TRUE(PrintWithEnter());
    EXPECT_EQ(recorder.Texts(), QStringList(QStringLiteral("Нет данных для печати")));
    EXPECT_EQ(dialogs, 0);
}

#endif
