// Every registered screen opened in the frame at 1024x768 over the demo base,
// as the program registers them: no field shows its value cut, no label,
// button or box title is cut, and no widget stands outside what its parent
// shows, unless it stands in a scroll area. Every button of a screen is in
// sight as the screen opens, and a button that takes the focus does not
// scroll the screen. The screens of employees are also opened with an
// employee shown (their quick buttons). The report choice dialogs show their
// titles whole.
#include "DemoFrameTest.h"
#include "app/RegisterScreens.h"
#include "shell/UiTestSupport.h"
#include "support/DemoDocument.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldWidth.h"
#include "shell/ui/InfoBaseService.h"
#include "values/Clock.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <memory>

#ifdef KALVOR_DATA_DIR

namespace ib = kalvor::infobase;
using namespace kalvor;

namespace {

// The width in which a line edit shows its text, as it paints it.
int ShownWidth(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->contentsRect();
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    const QMargins margins = edit->textMargins();
    constexpr int kHorizontalMargin = 2; // what the line edit keeps on each side
    return contents.width() - margins.left() - margins.right() - 2 * kHorizontalMargin;
}

// The widest line of a caption as drawn (a mnemonic's "&" takes no room).
int TextWidth(const QWidget* w, QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, w->fontMetrics().horizontalAdvance(line));
    return widest;
}

// Whether the widget stands in the viewport of a scroll area (the area
// shows it by scrolling).
bool InScrollViewport(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    if (!parent)
        return false;
    const auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
    return area && area->viewport() == parent;
}

// What is wrong with the open screen, one line each.
QStringList Faults(const CMainFrame& frame)
{
    QStringList faults;
    const QWidget* view = frame.CurrentView();
    for (const QWidget* w : view->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&frame) || w->isWindow())
            continue;
        const QString name =
            QStringLiteral("%1 \"%2\"").arg(QString::fromUtf8(w->metaObject()->className()), w->objectName());
        const QWidget* parent = w->parentWidget();
        if (parent && !InScrollViewport(w) && !parent->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 stands outside its parent: %2 in %3x%4")
                          .arg(name)
                          .arg(QStringLiteral("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height()))
                          .arg(parent->width())
                          .arg(parent->height());
        QString text;
        int room = w->contentsRect().width();
        if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            text = edit->displayText();
            room = ShownWidth(edit);
        } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
            if (label->wordWrap() || Qt::mightBeRichText(label->text()))
                continue;
            text = label->text();
            room -= 2 * label->margin() + std::max(label->indent(), 0);
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
            text = button->text();
        } else if (const auto* box = qobject_cast<const QGroupBox*>(w)) {
            text = box->title();
        }
        if (!text.isEmpty() && TextWidth(w, text) > room)
            faults << QStringLiteral("%1 cuts \"%2\" (%3 in %4)").arg(name, text).arg(TextWidth(w, text)).arg(room);
    }
    return faults;
}

// The push buttons of the open screen that stand outside the room shown
// unscrolled, and those whose focus scrolls the screen (it would jump as the
// button is pressed).
QStringList ButtonsOutOfSight(const CMainFrame& frame)
{
    QStringList faults;
    QScrollArea* area = frame.ViewArea();
    QWidget* viewport = area->viewport();
    const auto atStart = [area] {
        area->horizontalScrollBar()->setValue(0);
        area->verticalScrollBar()->setValue(0);
    };
    atStart();
    for (QPushButton* button : frame.CurrentView()->findChildren<QPushButton*>()) {
        if (!button->isVisibleTo(&frame) || button->window() != &frame)
            continue;
        const QString name = QStringLiteral("button \"%1\"").arg(button->text());
        const QRect shown(button->mapTo(viewport, QPoint(0, 0)), button->size());
        if (!viewport->rect().contains(shown))
            faults << QStringLiteral("%1 out of sight: %2,%3 %4x%5 in %6x%7")
                          .arg(name)
                          .arg(shown.x())
                          .arg(shown.y())
                          .arg(shown.width())
                          .arg(shown.height())
                          .arg(viewport->width())
                          .arg(viewport->height());
        button->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        if (area->horizontalScrollBar()->value() != 0 || area->verticalScrollBar()->value() != 0)
            faults << QStringLiteral("%1 scrolls the screen when it takes the focus").arg(name);
        atStart();
    }
    return faults;
}

// The frame with a screen whose layout is kept in pictures, saved in the
// build folder (screenshots/) for a look.
void SaveScreenshot(CMainFrame& frame)
{
    static const QHash<QString, QString> kPictures{{QStringLiteral("COtpuskVvodView"), QStringLiteral("vacation-note")},
                                                   {QStringLiteral("CBulletVvodView"), QStringLiteral("sick-leave")},
                                                   {QStringLiteral("CGenrParamView"),
                                                    QStringLiteral("generator-parameters")}};
    const QString name = kPictures.value(QString::fromUtf8(frame.CurrentView()->metaObject()->className()));
    if (name.isEmpty())
        return;
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(frame.grab().save(QStringLiteral("screenshots/%1.png").arg(name)));
}

// The screens an accountant types into all month long, which must show their
// fields whole beside the frame's panel without scrolling sideways: the main
// time sheet, by its menu command and by its quick button.
const QSet<int> kFitSideways{32833, 10011};

// Each page of a screen's tab bars that is wider than the room beside the
// panel.
QStringList WiderThanTheRoom(CCommonFormView& view, int room)
{
    QStringList faults;
    for (QTabBar* tabs : view.findChildren<QTabBar*>()) {
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            Settle();
            const int needed = view.minimumSizeHint().expandedTo(view.minimumSize()).width();
            if (needed > room)
                faults << QStringLiteral("page \"%1\" is %2 px wide, %3 px beside the panel")
                              .arg(tabs->tabText(tab))
                              .arg(needed)
                              .arg(room);
        }
        tabs->setCurrentIndex(0);
        Settle();
    }
    return faults;
}

// Closes a modal dialog that a screen may show when it opens (a question
// the test does not answer).
void CloseModalDialogs()
{
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        dialog->reject();
}

using UiScreensFit = DemoFrameTest;

} // namespace

TEST_F(UiScreensFit, EveryScreenAt1024x768ShowsItsValuesWholeOrScrolls)
{
    CMainFrame frame(&doc, &registry);
    frame.resize(1024, 768);
    ASSERT_TRUE(ShowActive(&frame));
    ASSERT_EQ(frame.size(), QSize(1024, 768));
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, &CloseModalDialogs);
    closer.start(50);

    int opened = 0;
    QStringList faults;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        // The quick buttons open their screen with the employee of the issue.
        doc.LastPersonnelNumber = 109;
        frame.RunCommand(command.id);
        Settle();
        CCommonFormView* view = frame.CurrentView();
        if (!view || view->metaObject() == &CEmptyView::staticMetaObject)
            continue;
        ++opened;
        SaveScreenshot(frame);
        if (frame.ViewArea()->horizontalScrollBar()->value() != 0)
            faults << QStringLiteral("%1 (%2): opens scrolled sideways").arg(command.caption).arg(command.id);
        for (const QString& fault : Faults(frame) + ButtonsOutOfSight(frame))
            faults << QStringLiteral("%1 (%2): %3").arg(command.caption).arg(command.id).arg(fault);
        // A screen larger than the room scrolls to show the rest.
        QScrollArea* area = frame.ViewArea();
        const QSize shown = area->viewport()->size();
        const QSize needed = view->minimumSizeHint().expandedTo(view->minimumSize());
        if (kFitSideways.contains(command.id))
            for (const QString& fault : WiderThanTheRoom(*view, shown.width()))
                faults << QStringLiteral("%1 (%2): %3").arg(command.caption).arg(command.id).arg(fault);
        if (needed.width() > shown.width() && !area->horizontalScrollBar()->isVisible())
            faults
                << QStringLiteral("%1 (%2): wider than the room, no scroll bar").arg(command.caption).arg(command.id);
        if (needed.height() > shown.height() && !area->verticalScrollBar()->isVisible())
            faults
                << QStringLiteral("%1 (%2): higher than the room, no scroll bar").arg(command.caption).arg(command.id);
    }
    EXPECT_GE(opened, 60);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// The choice dialogs of the report loops are as wide as their title in a
// title bar (bold, beside the bar's icon and buttons) needs.
TEST(UiReportChoiceDialogs, ShowTheirTitlesWhole)
{
    CRepEdit1Dlg sections(QStringLiteral("/tmp/kalvor.typ"));
    kalvor::reports::CRepEdit3Dlg choice;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&sections, &choice}) {
        dialog->show();
        QApplication::processEvents();
        QFont bold = dialog->font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(dialog->windowTitle());
        EXPECT_GE(dialog->width(), title + kTitleBarRoom) << dialog->windowTitle().toStdString();
        dialog->hide();
    }
}

#endif
