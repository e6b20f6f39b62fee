#include "masterdata/ui/CRefOplUdView.h"

#include "masterdata/PayKindBook.h"
#include "masterdata/ui/CRefOplUdDlg.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

using namespace kalvor::masterdata;

namespace {

constexpr int kMaxPayKindCode = 999;

} // namespace

CRefOplUdView::CRefOplUdView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefOplUdView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(25, 25, 25, 25);
    m_dlg = new CRefOplUdDlg(this, doc);
    m_entryDlg = m_dlg.data();
    layout->addWidget(m_dlg, 0, Qt::AlignLeft | Qt::AlignTop);

    auto* row = new QHBoxLayout;
    const QString code = QStringLiteral("Код");
    auto* label = new QLabel(code, this);
    // A well-formed code the book lacks is offered for creation (SelectCode).
    m_code = new CTypedEdit({code, kalvor::WholeFigure(1, kMaxPayKindCode)}, this);
    m_code->LeaveFreelyWhenRefused(); // the book's number chooses the record shown
    m_code->setFixedWidth(80);
    m_code->setAlignment(Qt::AlignRight);
    label->setBuddy(m_code);
    m_select = new QPushButton(QStringLiteral("Выбрать"), this);
    m_select->setAutoDefault(false);
    SetControl(IdCode, m_code);
    SetControl(IdSelect, m_select);
    row->addWidget(label);
    row->addWidget(m_code);
    row->addWidget(m_select);
    row->addStretch(1);
    layout->addLayout(row);
    layout->addStretch(1);

    m_code->installEventFilter(this);
    m_select->installEventFilter(this);
    connect(m_select, &QPushButton::clicked, this, [this] { SelectCode(); });
    auto* unlock = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3), this);
    unlock->setObjectName(QString::number(CmdUnlockName));
    unlock->setContext(Qt::WidgetWithChildrenShortcut);
    connect(unlock, &QShortcut::activated, this, &CRefOplUdView::UnlockName);
}

CRefOplUdView::~CRefOplUdView()
{
    // The dialog saves the book as it goes; it goes while the view is whole.
    delete m_dlg.data();
}

void CRefOplUdView::OnInitialUpdate()
{
    // Tab goes from the code field over "Выбрать" into the form (set once the
    // view is in its window, whose focus chain it joins).
    setTabOrder(m_code, m_select);
    setTabOrder(m_select, m_dlg->Field(FieldKod));
    FocusCodeField();
}

void CRefOplUdView::FocusCodeField()
{
    m_code->setFocus();
    m_code->selectAll();
}

void CRefOplUdView::EnableEntry(bool enable)
{
    if (!m_dlg)
        return;
    m_dlg->setEnabled(enable);
    if (enable)
        m_dlg->FocusFirstField();
}

bool CRefOplUdView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_code && event->type() == QEvent::FocusIn) {
        GreyEntryWhileStripHasFocus(m_code, [this] { EnableEntry(false); });
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == m_code && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (SelectCode())
                m_select->setFocus();
            return true;
        }
        if (watched == m_select && key == Qt::Key_Escape) {
            FocusCodeField();
            return true;
        }
    }
    return CCommonFormView::eventFilter(watched, event);
}

void CRefOplUdView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

// A code typed into the lookup that does not read is refused there, as when
// the lookup is left by Tab: the screen stays.
bool CRefOplUdView::CanLeave()
{
    return m_code->ReadTyped() && (!m_dlg || m_dlg->m_groupMode || m_dlg->SaveRecord() != 0);
}

bool CRefOplUdView::SelectCode()
{
    if (!m_dlg || !m_code->Read() || !SaveBeforeSwitch(*this))
        return false;
    const int code = int(m_code->UnitsOr(0));
    auto& base = Document()->infoBase;
    int position = PayKindPosition(base, code);
    if (position < 0) {
        if (int(base.payKinds().size()) >= kalvor::infobase::CInfoBase::MaxPayKinds) {
            KalvorMessageBox(QStringLiteral("Справочник начислений/удержаний переполнен"), MB_OK | MB_ICONERROR);
            return false;
        }
        if (KalvorMessageBox(QStringLiteral("Создать новый код ?"), MB_YESNO | MB_ICONQUESTION) == IDYES)
            position = CreatePayKind(base, code);
    }
    m_currentCode = code;
    m_dlg->m_modified = true;
    m_dlg->LoadRecord(position >= 0 ? quint32(position + 1) : 0);
    EnableEntry(true);
    return true;
}

void CRefOplUdView::ShowKindAt(int position)
{
    if (!m_dlg || m_dlg->SaveRecord() == 0)
        return;
    m_currentCode = Document()->infoBase.payKindAt(kalvor::infobase::NumberOfPlace(position)).kod;
    m_code->setText(QString::number(m_currentCode));
    m_dlg->LoadRecord(quint32(position + 1));
}

void CRefOplUdView::NextElement()
{
    if (m_currentCode == 0 || (m_dlg && m_dlg->m_groupMode))
        return;
    const int count = int(Document()->infoBase.payKinds().size());
    const int position = PayKindPosition(Document()->infoBase, m_currentCode);
    if (position < 0) {
        if (count > 0)
            ShowKindAt(0);
        return;
    }
    if (position + 1 < count)
        ShowKindAt(position + 1);
}

void CRefOplUdView::PrevElement()
{
    if (m_currentCode == 0 || (m_dlg && m_dlg->m_groupMode))
        return;
    const int position = PayKindPosition(Document()->infoBase, m_currentCode);
    if (position > 0)
        ShowKindAt(position - 1);
}

void CRefOplUdView::DeleteElement()
{
    if (m_currentCode == 0 || !m_dlg || m_dlg->m_groupMode || IsBuiltInPayKindCode(m_currentCode))
        return;
    if (PayKindPosition(Document()->infoBase, m_currentCode) < 0)
        return;
    if (KalvorMessageBox(QStringLiteral("Удалить текущий код ?"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    DeletePayKind(Document()->infoBase, m_currentCode);
    m_dlg->m_modified = true;
    m_currentCode = 0;
    m_code->clear();
    FocusCodeField();
    m_dlg->LoadRecord(0);
}

void CRefOplUdView::UnlockName()
{
    if (m_dlg)
        m_dlg->UnlockName();
}

void CRefOplUdView::ShowFormHelp()
{
    if (m_focusedId == IdCode) {
        // Every kind; the deductions can be marked for a group copy.
        PickPayKind();
        return;
    }
    const int field = PayKindFieldOfControl(m_focusedId);
    if (field < 0)
        return;
    const QStringList values = PayKindFieldValueList(PayKindField(field));
    if (!values.isEmpty())
        ShowHelpList(values, {0, false, 460, 200});
    else
        ShowFieldHint(PayKindFieldHint(PayKindField(field)), 0, 310);
}

void CRefOplUdView::TakeHelpValues(const QStringList& values)
{
    if (!m_dlg || MarkPayKindGroup(Document()->infoBase, values) == 0)
        return;
    m_code->setEnabled(false);
    m_select->setEnabled(false);
    OpenGroupPanel();
    EnableEntry(true);
    m_dlg->BeginGroup();
}

void CRefOplUdView::CancelGroup()
{
    ClearPayKindGroup(Document()->infoBase);
    CloseGroupPanel();
    m_code->setEnabled(true);
    m_select->setEnabled(true);
    FocusCodeField();
    ShowCurrentCode();
}

void CRefOplUdView::ShowCurrentCode()
{
    if (!m_dlg)
        return;
    const int position = PayKindPosition(Document()->infoBase, m_currentCode);
    m_dlg->LoadRecord(position >= 0 ? quint32(position + 1) : 0);
}
