#include "shell/ui/CKeyDlg.h"

#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int kCriteriaCount = 18;
constexpr int kNameLength = 120;

const char* const kCriteria[kCriteriaCount] = {
    "система оплаты",
    "график работы",
    "категория",
    "разряд",
    "кол-во испол-ных листов",
    "кол-во перечислений",
    "кол-во ссуд",
    "раб. дней в осн. табеле",
    "раб.часов в осн. табеле",
    "код оплаты в альт. табеле",
    "код премии в массиве премий",
    "вид премии в массиве премий",
    "начало больничного листа",
    "вид больничного листа",
    "начало отпуска",
    "вид отпуска",
    "статус работника",
    "код ошибки",
};

const char* const kColumns[3] = {"равен", "больше", "меньше"};

// The most a key's value holds.
constexpr int kMostKeyValue = 32767;

// A key's cell is typed into an input of its kind: a whole number of the
// key's range, named by its criterion (the dialog's OK reads every cell).
class KeyCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        return new CTypedEdit({QString::fromUtf8(kCriteria[index.row()]), kalvor::WholeFigure(0, kMostKeyValue)},
                              parent);
    }
};

// A cell's text as a key value: an empty cell is "not set" (-1); a number
// from 0 to 32767 is the value; anything else cannot be read (false).
bool readValue(const QString& cellText, qint16* value)
{
    const QString text = cellText.trimmed();
    *value = -1;
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < 0 || v > kMostKeyValue || text.startsWith(QLatin1Char('+')))
        return false;
    *value = qint16(v);
    return true;
}

} // namespace

CKeyDlg::CKeyDlg(CKalvorDoc* doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_table(new QTableWidget(kCriteriaCount, 3, this))
{
    setWindowTitle(QStringLiteral("Ключи выбора работников"));
    auto* layout = new QVBoxLayout(this);
    auto* names = new QGridLayout;
    names->addWidget(new QLabel(QStringLiteral("Фамилия"), this), 1, 0);
    for (int i = 0; i < 3; ++i) {
        names->addWidget(new QLabel(QString::fromUtf8(kColumns[i]), this), 0, i + 1);
        m_names[i] = new CTypedEdit({QString::fromUtf8(kColumns[i]), kalvor::TextFigure(kNameLength)}, this);
        m_names[i]->setText(doc->selectionKeys.name[size_t(i)]);
        names->addWidget(m_names[i], 1, i + 1);
        SetControl(1001 + i, m_names[i]);
    }
    layout->addLayout(names);

    QStringList rows;
    for (const char* c : kCriteria) rows << QString::fromUtf8(c);
    QStringList cols;
    for (const char* c : kColumns) cols << QString::fromUtf8(c);
    m_table->setVerticalHeaderLabels(rows);
    m_table->setHorizontalHeaderLabels(cols);
    m_table->verticalHeader()->setDefaultSectionSize(20);
    for (int r = 0; r < kCriteriaCount; ++r)
        for (int c = 0; c < 3; ++c) {
            const qint16 v = doc->selectionKeys.crit[size_t(r)][size_t(c)];
            const bool unset = (r == 12 || r == 14) ? v < 1 : v < 0;
            m_table->setItem(r, c, new QTableWidgetItem(unset ? QString() : QString::number(v)));
        }
    m_table->setItemDelegate(new KeyCellDelegate(m_table));
    SetControl(1010, m_table);
    m_table->installEventFilter(this);
    layout->addWidget(m_table, 1);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CKeyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CKeyDlg::reject);
    layout->addWidget(buttons);
    resize(520, 560);
}

bool CKeyDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Delete clears the current cell (the key is then not set).
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (QTableWidgetItem* item = m_table->currentItem())
            item->setText(QString());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CKeyDlg::accept()
{
    // Every cell is read first: a value that cannot be a key is refused with
    // the focus on its cell, and nothing of the keys changes.
    std::array<std::array<qint16, 3>, kCriteriaCount> values{};
    for (int r = 0; r < kCriteriaCount; ++r)
        for (int c = 0; c < 3; ++c) {
            const QTableWidgetItem* item = m_table->item(r, c);
            if (readValue(item ? item->text() : QString(), &values[size_t(r)][size_t(c)]))
                continue;
            KalvorMessageBox(
                QStringLiteral("Некорректное значение ключа \"%1\"\nЭто должно быть число в пределах от 0 до 32767")
                    .arg(QString::fromUtf8(kCriteria[r])),
                MB_OK | MB_ICONERROR, QString(), this);
            m_table->setCurrentCell(r, c);
            m_table->setFocus();
            return;
        }
    auto& k = m_doc->selectionKeys;
    for (int i = 0; i < 3; ++i) k.name[size_t(i)] = m_names[i]->text().left(kNameLength);
    for (int r = 0; r < kCriteriaCount; ++r)
        for (int c = 0; c < 3; ++c) k.crit[size_t(r)][size_t(c)] = values[size_t(r)][size_t(c)];
    QDialog::accept();
}
