// A fixture base stored in a base file of a temporary folder (or on the
// tests' server when one is given), a document over it, and the key helpers
// of the employee-screen tests.
#pragma once

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/UiTestSupport.h"
#include "shell/ui/CGroupDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "support/TestBaseName.h"
#include "support/TestFixture.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTimer>

#include <gtest/gtest.h>

namespace employeetest {

namespace ib = kalvor::infobase;

// Types a text into whatever has the focus (the grid opens its editor on the
// first character, which then takes the rest).
inline void TypeKeys(const QString& text)
{
    for (QChar c : text) {
        QWidget* w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, c.toLatin1());
        QApplication::processEvents();
    }
}

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QTest::keyClick(w, key, mods);
    QApplication::processEvents();
}

// Types a value into a cell of the grid and ends the edit with Enter.
inline void TypeCell(CFldHlpGridCtrl* grid, int row, int col, const QString& text)
{
    grid->setFocus();
    grid->SetFocusCell(row, col);
    QApplication::processEvents();
    TypeKeys(text);
    PressKey(Qt::Key_Return);
}

// Answers the next CGroupDlg by its button (1571 append, 1383 correct, 1061 delete, 2 cancel).
inline void AnswerGroupDialog(int buttonId)
{
    QTimer::singleShot(0, [buttonId] {
        auto* dlg = qobject_cast<CGroupDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        QTest::mouseClick(dlg->control(buttonId), Qt::LeftButton);
    });
}

class World : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        doc.setWorkFolder(dir.path() + QLatin1Char('/'));
        base().baseName = kalvor::testsupport::TestBaseName(dir.path(), QStringLiteral("emp"));
        ib::CreateSchemaBase(dir.path(), base().baseName);
        ib::OpenBase(base());
        fx = ib::BuildFixtureBase(base(), 12, 5);
        ib::BuildFixtureRefFiles(doc.refFiles);
        for (auto& rec : fx.records) rec.nalvich = {};
        Prepare();
        ib::SaveAll(base(), fx.records);
        ib::LoadAll(base());
    }
    void TearDown() override { ib::CloseBase(base()); }

    // Changes the fixture's records before they are stored.
    virtual void Prepare() {}

    ib::CInfoBase& base() { return doc.infoBase; }
    ib::EmployeeRecord& record(int listIndex)
    {
        return fx.records[std::size_t(base().list[std::size_t(listIndex)].slot - 1)];
    }
    int tabN(int listIndex) { return base().list[std::size_t(listIndex)].tabN(); }

    // One column of an employee's rows of a detail table, in row order.
    QStringList Column(const char* table, const char* column, int listIndex)
    {
        QSqlQuery q(ib::Db(base()));
        const QString master = QStringLiteral("SELECT %1 FROM dbo.konst WHERE rec = ?");
        const QString detail = QStringLiteral("SELECT t.%1 FROM dbo.%2 t JOIN dbo.konst k ON k.id = t.id_konst "
                                              "WHERE k.rec = ? ORDER BY t.num");
        q.prepare(qstrcmp(table, "konst") == 0 ? master.arg(QLatin1String(column))
                                               : detail.arg(QLatin1String(column), QLatin1String(table)));
        q.addBindValue(base().list[std::size_t(listIndex)].slot);
        EXPECT_TRUE(q.exec());
        QStringList values;
        while (q.next())
            values << (q.value(0).typeId() == QMetaType::Double ? QString::number(q.value(0).toDouble(), 'f', 2)
                                                                : q.value(0).toString());
        return values;
    }

    // Types a personnel number into the strip and presses Enter.
    void ApplyNumber(CTabelFilterDlg* strip, int number)
    {
        QLineEdit* field = strip->Field(CTabelFilterDlg::IdTabN);
        field->setFocus();
        field->selectAll();
        QApplication::processEvents();
        TypeKeys(QString::number(number));
        PressKey(Qt::Key_Return);
        Settle();
    }

    kalvor::ScopedToday today{QDate(2026, 3, 15)};
    QTemporaryDir dir;
    CKalvorDoc doc;
    ib::FixtureBase fx;
};

} // namespace employeetest
