// Every registered screen opened in the frame at 1024x768 over the demo base,
// as the program registers them: each screen, and each page of its tab bars,
// fits the room beside the frame's panel, and the screen stands at its left
// edge as it opens and as the focus goes from field to field (a grid scrolls
// its own columns). No field shows its value cut, no label,
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
#include "support/MonthRun.h"
#include "support/ScreenText.h"

#include "infobase/InfoBaseDb.h"
#include "platform/DocumentOpener.h"
#include "platform/WorkingFolder.h"
#include "reports/incometax/ui/CGenrNalRegEditDlg.h"
#include "print/ui/CPrintLicschetView.h"
#include "reports/social/ui/CGenrTaskViews.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CRepEdit1Dlg.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/FieldWidth.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/InfoBaseService.h"
#include "values/Clock.h"
#include "grid/GridCell.h"
#include "grid/GridCtrl.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

#include <map>
#include <memory>
#include <set>

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

// The width a cell gives its text: its columns' (those it spans across too)
// within its margins.
int CellRoom(const CGridCtrl& grid, int row, int col, const CGridCellBase& cell)
{
    int width = grid.GetColumnWidth(col);
    if (cell.GetHorzSpan() == SpanStart)
        for (int next = col + 1; next < grid.GetColumnCount(); ++next) {
            const CGridCellBase* covered = grid.GetCell(row, next);
            if (!covered || covered->GetHorzSpan() != SpanCovered)
                break;
            width += grid.GetColumnWidth(next);
        }
    return width - 2 * int(cell.GetMargin());
}

// The texts of the grid's cells, headers and rows, that their columns cut:
// a text of one line wider than its room, or a word of a text that wraps.
QStringList GridCuts(const CGridCtrl& grid, const QString& name)
{
    QStringList faults;
    for (int row = 0; row < grid.GetRowCount(); ++row)
        for (int col = 0; col < grid.GetColumnCount(); ++col) {
            const CGridCellBase* cell = grid.GetCell(row, col);
            if (!cell || cell->GetText().isEmpty() || cell->GetHorzSpan() == SpanCovered || grid.GetColumnWidth(col) <= 0)
                continue;
            const QFontMetrics metrics(cell->GetFontObject() ? *cell->GetFontObject() : grid.font());
            const bool wraps = (cell->GetFormat() & GridCtrl::DT_WORDBREAK) && !(cell->GetFormat() & GridCtrl::DT_SINGLELINE);
            const int room = CellRoom(grid, row, col, *cell);
            if (room <= 0)
                continue; // a hidden column
            for (const QString& line : cell->GetText().split(QLatin1Char('\n')))
                for (const QString& part : wraps ? line.split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList{line})
                    if (metrics.horizontalAdvance(part) > room)
                        faults << QStringLiteral("%1 cuts \"%2\" of row %3, column %4 (%5 in %6)")
                                      .arg(name, part)
                                      .arg(row)
                                      .arg(col)
                                      .arg(metrics.horizontalAdvance(part))
                                      .arg(room);
        }
    return faults;
}

// What is wrong with the open screen, one line each.
QStringList Faults(const CMainFrame& frame)
{
    QStringList faults;
    const QWidget* view = frame.CurrentView();
    for (const CGridCtrl* grid : view->findChildren<CGridCtrl*>())
        if (grid->isVisibleTo(&frame))
            faults << GridCuts(*grid, QStringLiteral("grid \"%1\"").arg(grid->objectName()));
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
    static const QHash<QString, QString> kPictures{
        {QStringLiteral("COtpuskVvodView"), QStringLiteral("vacation-note")},
        {QStringLiteral("CBulletVvodView"), QStringLiteral("sick-leave")},
        {QStringLiteral("CGenrParamView"), QStringLiteral("generator-parameters")}};
    const QString name = kPictures.value(QString::fromUtf8(frame.CurrentView()->metaObject()->className()));
    if (name.isEmpty())
        return;
    QDir().mkpath(QStringLiteral("screenshots"));
    EXPECT_TRUE(frame.grab().save(QStringLiteral("screenshots/%1.png").arg(name)));
}

// Each page of a screen's tab bars that is wider than the room beside the
// panel (a screen without tabs is its one page).
QStringList WiderThanTheRoom(CCommonFormView& view, int room)
{
    QStringList faults;
    const auto check = [&](const QString& page) {
        const int needed = view.minimumSizeHint().expandedTo(view.minimumSize()).width();
        if (needed > room)
            faults << QStringLiteral("%1 is %2 px wide, %3 px beside the panel").arg(page).arg(needed).arg(room);
    };
    check(QStringLiteral("the screen"));
    // A scroll area inside the screen holds part of the screen: it may not
    // scroll sideways either (a grid or a list scrolls its own columns).
    for (QScrollArea* inner : view.findChildren<QScrollArea*>())
        if (inner->isVisibleTo(&view) && inner->horizontalScrollBar()->maximum() > 0)
            faults << QStringLiteral("its scroll area \"%1\" scrolls %2 px sideways")
                          .arg(inner->objectName())
                          .arg(inner->horizontalScrollBar()->maximum());
    for (QTabBar* tabs : view.findChildren<QTabBar*>()) {
        const int shown = tabs->currentIndex();
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            Settle();
            check(QStringLiteral("page \"%1\"").arg(tabs->tabText(tab)));
        }
        tabs->setCurrentIndex(shown);
        Settle();
    }
    return faults;
}

// The fields of the screen in its keyboard order: the widgets after the view
// that take the focus by Tab and are shown (the buttons are looked at apart).
QList<QWidget*> FieldsInKeyboardOrder(CCommonFormView& view)
{
    QList<QWidget*> fields;
    for (QWidget* w = view.nextInFocusChain(); w && w != &view; w = w->nextInFocusChain())
        if (view.isAncestorOf(w) && w->isVisibleTo(&view) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            !qobject_cast<QAbstractButton*>(w) && !fields.contains(w))
            fields << w;
    return fields;
}

// Whether the screen stands scrolled sideways as it opens, and the first
// field whose focus scrolls it sideways, the first field taking the focus
// first, then each after it in the keyboard order.
QStringList ScrolledSideways(CMainFrame& frame)
{
    QStringList faults;
    QScrollBar* bar = frame.ViewArea()->horizontalScrollBar();
    if (bar->value() != 0)
        faults << QStringLiteral("opens scrolled sideways by %1 px").arg(bar->value());
    // The first field may hold the focus already: it comes to it anew.
    frame.ViewArea()->setFocus(Qt::OtherFocusReason);
    Settle();
    for (QWidget* field : FieldsInKeyboardOrder(*frame.CurrentView())) {
        bar->setValue(0);
        field->setFocus(Qt::TabFocusReason);
        Settle();
        if (bar->value() != 0) {
            faults << QStringLiteral("scrolls sideways by %1 px when the focus moves to %2 \"%3\"")
                          .arg(bar->value())
                          .arg(QString::fromUtf8(field->metaObject()->className()), field->objectName());
            break;
        }
    }
    bar->setValue(0);
    return faults;
}

using UiScreensFit = DemoFrameTest;

} // namespace

TEST_F(UiScreensFit, EveryScreenAt1024x768ShowsItsValuesWholeOrScrolls)
{
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    ASSERT_EQ(frame.size(), QSize(1024, 768));

    int opened = 0;
    QStringList faults;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        // Every screen that a menu or a panel opens is looked at.
        CCommonFormView* view = OpenOnQuickEmployee(frame, command.id);
        if (!view) {
            faults << QStringLiteral("%1 (%2): no screen opens").arg(command.caption).arg(command.id);
            continue;
        }
        ++opened;
        SaveScreenshot(frame);
        QScrollArea* area = frame.ViewArea();
        const QSize shown = area->viewport()->size();
        QStringList found = WiderThanTheRoom(*view, shown.width());
        found << ScrolledSideways(frame) << Faults(frame) << ButtonsOutOfSight(frame);
        for (const QString& fault : found)
            faults << QStringLiteral("%1 (%2): %3").arg(command.caption).arg(command.id).arg(fault);
        // A screen higher than the room scrolls to show the rest.
        const QSize needed = view->minimumSizeHint().expandedTo(view->minimumSize());
        if (needed.height() > shown.height() && !area->verticalScrollBar()->isVisible())
            faults
                << QStringLiteral("%1 (%2): higher than the room, no scroll bar").arg(command.caption).arg(command.id);
    }
    EXPECT_GE(opened, 60);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
}

// The open screen's faults on each page of its tab bars.
QStringList FaultsOnEveryPage(const CMainFrame& frame, const QString& where)
{
    QStringList faults;
    const auto note = [&](const QString& page) {
        for (const QString& fault : Faults(frame)) faults << QStringLiteral("%1%2: %3").arg(where, page, fault);
    };
    const QList<QTabBar*> bars = frame.CurrentView()->findChildren<QTabBar*>();
    if (bars.isEmpty())
        note(QString());
    for (QTabBar* tabs : bars)
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            Settle();
            note(QStringLiteral(", page \"%1\"").arg(tabs->tabText(tab)));
        }
    return faults;
}

// The card and the bank transfers of every employee of the demo firm, the
// seniority book and "Механизм КТУ" at 1024x768: every field, label, header
// and cell shows its text whole (a grid wider than its view scrolls), the
// start of a long name included. A field of "Механизм КТУ" keeps a text
// typed into it whole, and its refusal quotes it so.
TEST_F(UiScreensFit, TheCardTheTransfersTheSeniorityBookAndTheKtuShowEveryTextWhole)
{
    constexpr int kCardCommand = 1042, kTransfersCommand = 1228, kSeniorityCommand = 1037, kKtuCommand = 32822;
    CMainFrame frame(&doc, &registry);
    QTimer closer;
    ASSERT_TRUE(ShowAt1024x768(frame, closer, &CloseModalDialogs, 50));
    QStringList faults;
    std::vector<int> numbers;
    for (const ib::EmployeeListEntry& entry : doc.infoBase.list) numbers.push_back(entry.tabN());
    ASSERT_GE(numbers.size(), 20u);
    for (const int command : {kCardCommand, kTransfersCommand})
        for (const int number : numbers) {
            ASSERT_NE(OpenForEntry(frame, command, number), nullptr) << command;
            faults << FaultsOnEveryPage(frame, QStringLiteral("%1 of %2").arg(command).arg(number));
        }
    for (const int command : {kSeniorityCommand, kKtuCommand}) {
        ASSERT_TRUE(frame.RunCommand(command));
        Settle();
        faults << FaultsOnEveryPage(frame, QString::number(command));
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    const QList<CTypedEdit*> fields = frame.CurrentView()->findChildren<CTypedEdit*>();
    ASSERT_FALSE(fields.isEmpty());
    CTypedEdit* field = fields.front();
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    QTest::keyClicks(field, QStringLiteral("12,755"));
    EXPECT_EQ(field->text(), QStringLiteral("12,755"));
    boxes.boxes.clear();
    QTest::keyClick(field, Qt::Key_Tab);
    Settle();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_TRUE(boxes.boxes.back().text.endsWith(QStringLiteral(": 12,755"))) << boxes.boxes.back().text.toStdString();
    QTest::keyClick(field, Qt::Key_Escape);
}

// Answers the dialogs of a print run: the report's choice and the register's
// choice "Сформировать отчет"; any other (the print command's prompt, an
// editor) is closed.
void AnswerRunDialogs()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* choice = qobject_cast<CRepEdit1Dlg*>(modal))
        QTest::mouseClick(choice->controlAs<QPushButton>(IdStartButton), Qt::LeftButton);
    else if (auto* registerChoice = qobject_cast<kalvor::reports::CRepEdit3Dlg*>(modal))
        registerChoice->done(kalvor::reports::CRepEdit3Dlg::ChoiceMake);
    else if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
}

// The files a run's line names ("Записан файл <path>[, how it was handed on]").
QStringList WrittenFiles(const QString& said)
{
    static const QRegularExpression written(QStringLiteral("^Записан файл (.*?)(, .*)?$"));
    QStringList files;
    for (const QString& line : said.split(QLatin1Char('\n')))
        if (const QRegularExpressionMatch match = written.match(line); match.hasMatch())
            files << match.captured(1);
    return files;
}

// Every print run of the program from its command, on the demo base in
// April 2011 with each screen as it opens: each form's file is its own,
// named after the form and its period, none the base's "<base>.rtf" or
// "<base>.typ" that the forms once shared, and the run's line names it.
TEST_F(UiScreensFit, EveryPrintRunWritesItsOwnFile)
{
    CMainFrame frame(&doc, &registry);
    QTimer answer;
    ASSERT_TRUE(ShowAt1024x768(frame, answer, &AnswerRunDialogs, 20));
    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("xml")));
    // The forms' templates; the month computed, for the statements.
    platform::SetWorkingFolder(QStringLiteral(KALVOR_DATA_DIR));
    ASSERT_NO_FATAL_FAILURE(testsupport::ComputeAndStoreMonth(doc));
    const QStringList printButtons = {QStringLiteral("Печать"), QStringLiteral("Вывод")};
    std::map<QString, std::set<QString>> formsOfFile;
    QStringList runs, accounts;
    for (const CommandInfo& command : registry.Commands()) {
        if (!command.makeView)
            continue;
        frame.RunCommand(command.id);
        Settle();
        auto* view = qobject_cast<CTaskFormView*>(frame.CurrentView());
        auto* start = view ? view->controlAs<QPushButton>(IdStartButton) : nullptr;
        if (!start || !printButtons.contains(start->text()))
            continue;
        if (auto* xml = view->controlAs<QLineEdit>(IdFileNameField); xml && qobject_cast<CGenrTaskView*>(view))
            xml->setText(folder + QStringLiteral("xml"));
        QTest::mouseClick(start, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return start->isEnabled() && !view->Running(); }, 120'000))
            << command.caption.toStdString();
        Settle();
        const QStringList written = WrittenFiles(ScreenText(view, QStringLiteral("outcome")));
        runs << QStringLiteral("%1 (%2): %3 %4")
                    .arg(command.caption)
                    .arg(view->FormId())
                    .arg(written.join(u' '), ScreenText(view, QStringLiteral("outcome")) + boxes.Texts().join(u'|'));
        boxes.boxes.clear();
        const QString form =
            QStringLiteral("%1 %2").arg(QLatin1String(view->metaObject()->className())).arg(view->FormId());
        for (const QString& file : written) formsOfFile[file].insert(form);
        // One employee's personal accounts carry his number: 110's and then
        // 111's are two files, where the second replaced the first.
        if (view->FormId() == CPrintLicschetView::kFormId) {
            for (const char* number : {"110", "111"}) {
                auto* tabN = view->controlAs<QLineEdit>(IdPersonnelNumberField);
                ASSERT_NE(tabN, nullptr);
                tabN->setFocus();
                tabN->selectAll();
                QTest::keyClicks(tabN, QString::fromLatin1(number));
                QTest::mouseClick(start, Qt::LeftButton);
                ASSERT_TRUE(WaitFor([&] { return start->isEnabled() && !view->Running(); }, 120'000));
                Settle();
                const QStringList own = WrittenFiles(ScreenText(view, QStringLiteral("outcome")));
                ASSERT_EQ(own.size(), 1) << ScreenText(view, QStringLiteral("outcome")).toStdString();
                EXPECT_TRUE(own.front().endsWith(QStringLiteral("-LS-2011-04-%1.rtf").arg(QLatin1String(number))))
                    << own.front().toStdString();
                formsOfFile[own.front()].insert(form + QLatin1Char(' ') + QLatin1String(number));
                accounts << own.front();
            }
        }
    }
    ASSERT_EQ(accounts.size(), 2);
    for (const QString& account : accounts) EXPECT_TRUE(QFileInfo::exists(account)) << account.toStdString();
    const QString base = folder + tools::DemoBaseName();
    int forms = 0;
    for (const auto& [file, formIds] : formsOfFile) {
        EXPECT_EQ(formIds.size(), 1u) << file.toStdString() << " is written by " << formIds.size() << " forms";
        EXPECT_NE(file, base + QStringLiteral(".rtf"));
        EXPECT_NE(file, base + QStringLiteral(".typ"));
        forms += file.startsWith(base + QLatin1Char('-')) ? 1 : 0;
    }
    EXPECT_GE(forms, 20) << runs.join(u'\n').toStdString();
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
