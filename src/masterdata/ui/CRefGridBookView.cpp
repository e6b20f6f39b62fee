#include "masterdata/ui/CRefGridBookView.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/InfoBase.h"
#include "infobase/SwapFile.h"
#include "masterdata/ui/BookGrid.h"
#include "masterdata/ui/RefBooks.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/Messages.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

using namespace kalvor::masterdata;

namespace {

QStringList ContributionChoiceLines()
{
    static const char* const choices[] = {"Из фонда оплаты труда",
                                          "Из фонда накопления",
                                          "Из фонда потребления",
                                          "Из фонда социального страхования",
                                          "Из пенсионного фонда",
                                          "Из бюджетного фонда",
                                          "Начисления с установленной 1-й характеристикой",
                                          "Начисления с установленной 2-й характеристикой",
                                          "Начисления с установленной 3-й характеристикой"};
    QStringList lines;
    for (int i = 0; i < 9; ++i) lines << QStringLiteral("%1|%2").arg(i).arg(QString::fromUtf8(choices[i]));
    for (int mask = 0; mask < 8; ++mask) lines << QStringLiteral("%1|По %2-й маске").arg(9 + mask).arg(mask);
    return lines;
}

} // namespace

CRefGridBookView::CRefGridBookView(GridBook book, CKalvorDoc* doc, QWidget* parent)
    : CCommonFormView(GridBookFormOf(book).formId, doc, parent), m_book(book)
{
    const GridBookForm& form = GridBookFormOf(book);
    setObjectName(form.viewName);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    if (form.capacity > 0) {
        auto* buttons = new QHBoxLayout;
        auto* add = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder), form.addText, this);
        auto* remove = new QPushButton(style()->standardIcon(QStyle::SP_TrashIcon), form.deleteText, this);
        for (QPushButton* button : {add, remove}) {
            button->setAutoDefault(false);
            button->setMinimumWidth(200);
            buttons->addWidget(button);
        }
        buttons->addStretch(1);
        SetControl(IdAdd, add);
        SetControl(IdDelete, remove);
        layout->addLayout(buttons);
        connect(add, &QPushButton::clicked, this, &CRefGridBookView::AddRow);
        connect(remove, &QPushButton::clicked, this, &CRefGridBookView::DeleteRow);
    }
    m_grid = CreateBookGrid(this, IdGrid, 1);
    layout->addWidget(m_grid, 1);
    std::vector<GridColumn> columns = BookColumns(form.titles, GridBookRules(book));
    // Every book but the contributions keeps each number once; the
    // contributions keep their rows in place, empty codes included.
    if (book != GridBook::Contributions)
        columns[0].rowRefusal = NumberUniqueInColumn(m_grid, 0, columns[0].Name(), form.caption);
    SetBookGridColumns(m_grid, columns, form.shares);
    FillBookGrid(m_grid, GridBookRows(book, *doc));
    ConnectBookGridFocus(this, m_grid);
}

CRefGridBookView::~CRefGridBookView() { SaveBook(); }

void CRefGridBookView::OnInitialUpdate()
{
    resizeEvent(nullptr);
    m_grid->setFocus();
}

void CRefGridBookView::resizeEvent(QResizeEvent* event)
{
    if (event)
        CCommonFormView::resizeEvent(event);
    const GridBookForm& form = GridBookFormOf(m_book);
    const int width = m_grid->viewport()->width();
    for (int col = 0; col < int(form.shares.size()); ++col)
        m_grid->SetColumnWidth(col, int(width * form.shares[std::size_t(col)]));
    FitBookGridColumns(m_grid);
}

void CRefGridBookView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

void CRefGridBookView::AddRow()
{
    const int capacity = GridBookFormOf(m_book).capacity;
    if (capacity > 0)
        AddBookRow(this, m_grid, capacity);
}

void CRefGridBookView::DeleteRow()
{
    if (GridBookFormOf(m_book).capacity > 0)
        DeleteSelectedBookRow(m_grid);
}

bool CRefGridBookView::CanLeave()
{
    return !m_grid->RefusalPending();
}

bool CRefGridBookView::SaveBook()
{
    CKalvorDoc* doc = Document();
    // A book left as it was shown is not written again: nothing to keep.
    const std::vector<QStringList> rows = BookGridRows(m_grid);
    const std::vector<QStringList> held = GridBookRows(m_book, *doc);
    if (rows == held)
        return true;
    StoreGridBookRows(m_book, rows, *doc);
    BookWaitCursor wait;
    try {
        WriteGridBook(m_book, held, *doc);
        return true;
    } catch (const kalvor::db::DbError& error) {
        // The base kept the book it had: memory takes it back, so that the
        // screens go on with the book the base holds. A save in doubt has
        // put memory back already, to follow the base once the server tells.
        if (!error.commitInDoubt())
            StoreGridBookRows(m_book, held, *doc);
        const QString book =
            QStringLiteral("Справочник \"%1\"").arg(kalvor::masterdata::GridBookFormOf(m_book).caption);
        ShowComError(error, kalvor::SaveFailedWhat(error, book, book + QStringLiteral(" не сохранен.")));
    } catch (const kalvor::infobase::InfoBaseError& error) {
        KalvorMessageBox(QString::fromUtf8(error.what()), MB_OK | MB_ICONERROR);
    }
    return false;
}

void CRefGridBookView::ShowFormHelp()
{
    if (m_book != GridBook::Contributions || m_focusedWnd != m_grid || !m_grid->GetFocusCell().IsValid())
        return;
    ShowContributionHelp(m_grid->GetFocusCell().col);
}

void CRefGridBookView::ShowContributionHelp(int column)
{
    switch (column) {
    case 0: PickPayKind(); return;
    case 1:
        ShowFieldHint(
            QStringLiteral("Укажите номер (от 1 до 20) налоговой таблицы.\nЭти таблицы используются при расчете налога "
                           "на доходы физических лиц, единого социального налога, профсоюзных взносов и почтового "
                           "сбора для пересылки алиментов.\nПри исчислении налога на доходы физических лиц с помощью "
                           "четных налоговых таблиц (в отличие от нечетных) не учитываются ежемесячные стандартные "
                           "налоговые вычеты работника за те месяцы, в которых не было налогооблагаемого дохода."),
            3, 600);
        return;
    case 2:
        ShowFieldHint(QStringLiteral("Введите наименование отчисления в федеральный или местный бюджет, или в "
                                     "какой-либо иной финансовый фонд."),
                      3, 310);
        return;
    case 3: ShowHelpList(ContributionChoiceLines(), {3, false, 420, 360}); return;
    default: return;
    }
}
