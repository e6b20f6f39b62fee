#include "shell/ui/FieldHelp.h"

#include <QApplication>

#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

QPoint PlaceBeside(const QRect& f, int corner, const QSize& size)
{
    switch (corner) {
    case 0: return {f.left(), f.bottom() + 1};
    case 1: return {f.left() - size.width(), f.top()};
    case 2: return {f.left(), f.top() - size.height()};
    default: return {f.right() + 1, f.top()};
    }
}

QPoint KeepInside(const QPoint& position, const QSize& size, const QRect& area)
{
    const int x = std::max(area.left(), std::min(position.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(position.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

HelpLine SplitHelpLine(const QString& line)
{
    HelpLine h;
    QString rest = line;
    if (rest.endsWith(QLatin1String("|Mark"))) {
        h.markable = true;
        rest.chop(5);
    }
    const int bar = rest.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        h.code = rest;
    } else {
        h.code = rest.left(bar);
        h.name = rest.mid(bar + 1);
    }
    return h;
}

// ---------------------------------------------------------------- CHintWnd

// The hint's border (1 pixel each side) and left padding (3 pixels).
constexpr int kHintFrameWidth = 5;

CHintWnd::CHintWnd(const QString& text, int width, QWidget* owner)
    : QLabel(text, owner, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("CHintWnd"));
    setStyleSheet(
        QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #404040; padding-left: 3px; }"));
    // 20 pixels a line; a text wider than the hint wraps between words onto
    // more lines rather than being cut.
    setWordWrap(true);
    const QFontMetrics metrics(font());
    const int textWidth = std::max(1, width - kHintFrameWidth);
    const int wrapped = metrics.boundingRect(QRect(0, 0, textWidth, 100000), Qt::TextWordWrap, text).height();
    const int lines = std::max(1, (wrapped + metrics.lineSpacing() - 1) / metrics.lineSpacing());
    setFixedSize(width, 20 * lines);
    qApp->installEventFilter(this);
}

CHintWnd::~CHintWnd() { qApp->removeEventFilter(this); }

bool CHintWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (!isVisible()) // closed, waiting for its deletion
        return QLabel::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        close();
        // Esc only takes the hint away.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::FocusIn: close(); break;
    default: break;
    }
    return QLabel::eventFilter(watched, event);
}

// ---------------------------------------------------------- CFieldHelpList

CFieldHelpList::CFieldHelpList(QWidget* owner, const QStringList& lines, const HelpListStyle& style)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint)
    , m_table(new QTableWidget(this))
    , m_multiple(style.multipleChoice)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("CFieldHelpList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_table);
    m_table->setColumnCount(3);
    m_table->horizontalHeader()->hide();
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setShowGrid(false);
    m_table->setTabKeyNavigation(false);
    m_table->setRowCount(int(lines.size()));
    for (int i = 0; i < lines.size(); ++i) {
        HelpLine h = SplitHelpLine(lines[i]);
        m_table->setItem(i, 0, new QTableWidgetItem(QString()));
        m_table->setItem(i, 1, new QTableWidgetItem(h.code));
        m_table->setItem(i, 2, new QTableWidgetItem(h.name));
        m_lines.push_back(std::move(h));
    }
    m_marks.assign(m_lines.size(), false);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    m_table->setColumnWidth(0, 18);
    m_table->resizeColumnToContents(1);
    m_table->horizontalHeader()->setStretchLastSection(true);
    if (!m_lines.empty())
        m_table->setCurrentCell(0, 1);
    m_table->installEventFilter(this);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int, int) { Choose(); });
    // A click on the mark column marks or unmarks the line.
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int col) {
        if (col == 0)
            ToggleMark(row);
    });
    resize(style.width, style.height);
}

QStringList CFieldHelpList::MarkedCodes() const
{
    QStringList codes;
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_marks[i])
            codes << m_lines[i].code;
    return codes;
}

void CFieldHelpList::ToggleMark(int row)
{
    if (!m_multiple || row < 0 || row >= int(m_lines.size()) || !m_lines[size_t(row)].markable)
        return;
    m_marks[size_t(row)] = !m_marks[size_t(row)];
    m_table->item(row, 0)->setText(m_marks[size_t(row)] ? QStringLiteral("✓") : QString());
}

void CFieldHelpList::Choose()
{
    const QStringList marked = MarkedCodes();
    if (m_multiple && !marked.isEmpty()) {
        close();
        emit chosenMarked(marked);
        return;
    }
    const int row = m_table->currentRow();
    close();
    if (row >= 0 && row < int(m_lines.size()))
        emit chosen(m_lines[size_t(row)].code);
}

bool CFieldHelpList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        switch (ke->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: Choose(); return true;
        case Qt::Key_Escape:
            close();
            emit cancelled();
            return true;
        case Qt::Key_Space:
        case Qt::Key_Insert: {
            const int row = m_table->currentRow();
            ToggleMark(row);
            if (row + 1 < m_table->rowCount())
                m_table->setCurrentCell(row + 1, 1);
            return true;
        }
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
