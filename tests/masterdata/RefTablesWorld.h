#pragma once
// The demo base with the shipped reference files copied into its working
// folder and opened, and every reference book registered on panel 0; with
// helpers that type into grid cells and fields and read a file's bytes.
#include "RefBookWorld.h"

#include "grid/GridCtrl.h"
#include "masterdata/ui/RefBookTables.h"
#include "values/Clock.h"
#include "values/Values.h"

#include <QLineEdit>

namespace masterdatatest {

// The demo base with the shipped reference files in its working folder and
// every book on panel 0.
class RefTablesWorld : public RefBookWorld {
protected:
    void SetUp() override
    {
        const QString work = dir.path() + QLatin1Char('/');
        for (const QString& name : kalvor::infobase::CRefFiles::FileNames())
            ASSERT_TRUE(QFile::copy(QStringLiteral(KALVOR_DATA_DIR "/") + name, work + name)) << name.toStdString();
        RegisterReferenceBookTables(registry);
        RefBookWorld::SetUp();
        ASSERT_TRUE(doc.refFiles.OpenAll());
    }

    QByteArray FileBytes(const QString& name) const
    {
        QFile file(folder + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Focus on the cell, then the text typed key by key (the first key opens
    // the editor) and Enter.
    static void TypeCell(CGridCtrl* grid, int row, int col, const QString& text)
    {
        grid->setFocus();
        grid->SetFocusCell(row, col);
        QApplication::processEvents();
        for (QChar c : text) {
            QWidget* focused = QApplication::focusWidget();
            ASSERT_NE(focused, nullptr);
            if (c.unicode() < 128)
                QTest::keyClick(focused, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, focused, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QApplication::processEvents();
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    }

    static void TypeInto(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        TypeText(field, text);
    }

    static int DataRows(const CGridCtrl* grid) { return grid->GetRowCount() - grid->GetFixedRowCount(); }

    kalvor::ScopedToday today{QDate(2026, 12, 7)};
};

} // namespace masterdatatest
