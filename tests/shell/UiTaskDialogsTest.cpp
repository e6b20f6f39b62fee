// The small dialogs of the task views: the print command dialog and the
// choice dialog of a report loop, driven by keys and buttons.
#include "shell/UiTestSupport.h"

#include "shell/ui/CPrnEditDlg.h"
#include "shell/ui/CRepEdit1Dlg.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

TEST(UiTaskDialogs, PrintCommandDialogReturnsTheEditedCommandOnlyOnOk)
{
    {
        CPrnEditDlg dlg(QStringLiteral("/w/firm.typ"), QStringLiteral("e.bat /w/firm.typ"));
        QTimer::singleShot(0, &dlg, [&] {
            QLineEdit* edit = dlg.CommandEdit();
            edit->setFocus();
            edit->selectAll();
            TypeText(edit, QStringLiteral("lp -d office /w/firm.typ"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.Command(), QStringLiteral("lp -d office /w/firm.typ"));
        EXPECT_EQ(dlg.ReportPath(), QStringLiteral("/w/firm.typ"));
        auto* path = dlg.controlAs<QLineEdit>(1381);
        ASSERT_NE(path, nullptr);
        EXPECT_TRUE(path->isReadOnly());
    }
    {
        CPrnEditDlg dlg(QStringLiteral("/w/firm.typ"), QStringLiteral("e.bat /w/firm.typ"));
        QTimer::singleShot(0, &dlg, [&] {
            TypeText(dlg.CommandEdit(), QStringLiteral("xyz"));
            QTest::keyClick(dlg.CommandEdit(), Qt::Key_Escape);
        });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_EQ(dlg.Command(), QStringLiteral("e.bat /w/firm.typ"));
    }
}

TEST(UiTaskDialogs, ReportChoiceDialogShowsTheRtfNameAndEndsWithTheButtonsCodes)
{
    EXPECT_EQ(CRepEdit1Dlg::RtfFileName(QStringLiteral("/w/out/4fss.xml")), QStringLiteral("4fss.rtf"));
    EXPECT_EQ(CRepEdit1Dlg::RtfFileName(QStringLiteral("/w/out/rsv1")), QStringLiteral("rsv1.rtf"));
    EXPECT_EQ(CRepEdit1Dlg::RtfFileName(QStringLiteral("/w/out/szv.2026.txt")), QStringLiteral("szv.2026.rtf"));

    QTemporaryDir out;
    const QString report = out.filePath(QStringLiteral("4fss.xml"));
    const struct {
        int button;
        int result;
    } cases[] = {{1383, 500}, {1040, 501}, {1384, 502}, {IDCANCEL, IDCANCEL}};
    for (const auto& c : cases) {
        CRepEdit1Dlg dlg(report);
        EXPECT_EQ(dlg.PrintFileName(), QStringLiteral("4fss.rtf"));
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Обработка отчета"));
        QTimer::singleShot(0, &dlg, [&] { QTest::mouseClick(dlg.controlAs<QPushButton>(c.button), Qt::LeftButton); });
        EXPECT_EQ(dlg.DoModal(), c.result) << c.button;
    }
    // The name can be changed: the name typed is used, in the work file's
    // folder, ".rtf" added; one that cannot be written is refused aloud and
    // the dialog stays until a name that can be written is typed.
    {
        QTemporaryDir folder;
        CRepEdit1Dlg dlg(folder.filePath(QStringLiteral("base-RSV1-2011-09.typ")));
        EXPECT_EQ(dlg.PrintFileName(), QStringLiteral("base-RSV1-2011-09.rtf"));
        auto* name = dlg.controlAs<QLineEdit>(1385);
        MessageRecorder boxes;
        QTimer::singleShot(0, &dlg, [&] {
            name->setText(QStringLiteral("no-such-folder/rsv1"));
            QTest::mouseClick(dlg.controlAs<QPushButton>(1040), Qt::LeftButton);
            EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Файл печати не может быть записан: %1")
                                                     .arg(folder.filePath(QStringLiteral("no-such-folder/rsv1.rtf")))});
            EXPECT_TRUE(dlg.isVisible());
            name->setText(QStringLiteral(" отчет за 9 месяцев "));
            QTest::mouseClick(dlg.controlAs<QPushButton>(1040), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), 501);
        EXPECT_EQ(dlg.PrintFilePath(), folder.filePath(QStringLiteral("отчет за 9 месяцев.rtf")));
        name->setText(QStringLiteral("/tmp/rsv1.RTF"));
        EXPECT_EQ(dlg.PrintFilePath(), QStringLiteral("/tmp/rsv1.RTF"));
    }
    // A name typed that holds another form's file asks before replacing it:
    // "Нет" keeps the dialog and the file byte-equal, "Да" makes the report.
    // The form's own file, there from its last making, is replaced unasked.
    {
        QTemporaryDir folder;
        const QString april = folder.filePath(QStringLiteral("demo-T53-2011-04.rtf"));
        const QByteArray statement("{\\rtf1 April's statement}");
        for (const QString& path : {april, folder.filePath(QStringLiteral("demo-RSV1-2011-06.rtf"))}) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(statement);
        }
        CRepEdit1Dlg dlg(folder.filePath(QStringLiteral("demo-RSV1-2011-06.typ")));
        auto* name = dlg.controlAs<QLineEdit>(1385);
        MessageRecorder boxes;
        boxes.answer = IDNO;
        QTimer::singleShot(0, &dlg, [&] {
            name->setText(QStringLiteral("demo-T53-2011-04.rtf"));
            QTest::mouseClick(dlg.controlAs<QPushButton>(1040), Qt::LeftButton);
            EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Файл %1 существует. Заменить?").arg(april)});
            EXPECT_TRUE(dlg.isVisible());
            EXPECT_EQ(dlg.focusWidget(), name);
            EXPECT_EQ(name->selectedText(), QStringLiteral("demo-T53-2011-04.rtf"));
            boxes.boxes.clear();
            name->setText(QStringLiteral("demo-RSV1-2011-06.rtf"));
            QTest::mouseClick(dlg.controlAs<QPushButton>(1040), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), 501);
        EXPECT_TRUE(boxes.boxes.empty());
        QFile kept(april);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), statement);
        boxes.answer = IDYES;
        QTimer::singleShot(0, &dlg, [&] {
            name->setText(QStringLiteral("demo-T53-2011-04"));
            QTest::mouseClick(dlg.controlAs<QPushButton>(1383), Qt::LeftButton);
        });
        EXPECT_EQ(dlg.DoModal(), 500);
        EXPECT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(dlg.PrintFilePath(), april);
    }
    // Enter makes the report; Esc cancels.
    {
        CRepEdit1Dlg dlg(report);
        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Return); });
        EXPECT_EQ(dlg.DoModal(), 501);
    }
    {
        CRepEdit1Dlg dlg(QStringLiteral("/w/out/4fss.xml"));
        QTimer::singleShot(0, &dlg, [&] { QTest::keyClick(&dlg, Qt::Key_Escape); });
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    }
}
