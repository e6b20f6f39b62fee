#include "masterdata/ui/CRefOplUdDlg.h"

#include "masterdata/UnsavedBooks.h"
#include "masterdata/ui/RefBooks.h"
#include "platform/Db.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace kalvor::masterdata;
using kalvor::infobase::PayKind;

namespace {

// The first fields run down the left half of the form, the rest down the right.
constexpr int kFirstRightField = FieldOkrug;

int FieldWidth(PayKindField field)
{
    switch (field) {
    case FieldName: return 520;
    case FieldSpz: return 120;
    case FieldSumSkidPodoh:
    case FieldSumSkidSoc: return 100;
    default: return 60;
    }
}

} // namespace

CRefOplUdDlg::CRefOplUdDlg(CCommonFormView* view, CKalvorDoc* doc)
    : CFormChildDlg(DialogId, view), m_doc(doc)
{
    // The view deletes the dialog itself before it goes.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setStyleSheet(ReferenceBookStyleSheet());
    BuildForm();
    // A save that failed when the book was last left is still owed.
    m_modified = TakeUnsavedBook(doc->infoBase, RefBook::PayKinds);
    LoadRecord(0);
}

CRefOplUdDlg::~CRefOplUdDlg()
{
    if (m_groupMode)
        ClearPayKindGroup(m_doc->infoBase);
    else
        SaveRecord();
    if (m_modified)
        SaveBook();
}

void CRefOplUdDlg::SaveBook()
{
    try {
        SavePayKindBook(m_doc->infoBase);
        m_modified = false;
    } catch (const kalvor::db::DbError& error) {
        // The table in memory keeps the changes; leaving the book again saves them.
        ShowComError(error);
        RememberUnsavedBook(m_doc->infoBase, RefBook::PayKinds);
    }
}

void CRefOplUdDlg::BuildForm()
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);
    for (int f = 0; f < PayKindFieldCount; ++f) {
        const auto field = PayKindField(f);
        const PayKindFieldInfo& info = PayKindFieldOf(field);
        auto* label = new QLabel(QString::fromUtf8(info.label), this);
        label->setWordWrap(true);
        // Named as the label reads ("Налоговые скидки код", "Сумма  подоходный").
        auto* edit = new CTypedEdit({QString::fromUtf8(info.label).remove(QLatin1Char(':')), info.rule}, this);
        // The name takes the width the form has, up to its full width.
        if (field == FieldName) {
            edit->setMinimumWidth(FieldWidth(field) / 2);
            edit->setMaximumWidth(FieldWidth(field));
        } else {
            edit->setFixedWidth(FieldWidth(field));
        }
        edit->setAlignment(field == FieldName ? Qt::AlignLeft : Qt::AlignRight);
        label->setBuddy(edit);
        SetControl(PayKindFieldOf(field).controlId, edit);
        m_edits[std::size_t(f)] = edit;
        if (field == FieldName) {
            grid->addWidget(label, f, 0);
            grid->addWidget(edit, f, 1, 1, 3);
        } else if (field == FieldKod) {
            grid->addWidget(label, f, 0);
            grid->addWidget(edit, f, 1, 1, 3, Qt::AlignLeft);
        } else if (f < kFirstRightField) {
            grid->addWidget(label, f, 0);
            grid->addWidget(edit, f, 1, Qt::AlignLeft);
        } else {
            const int row = FieldFond + (f - kFirstRightField);
            grid->addWidget(label, row, 2);
            grid->addWidget(edit, row, 3, Qt::AlignLeft);
        }
    }
    // The labels wrap in columns narrow enough for the whole form at 1024 pixels.
    grid->setColumnMinimumWidth(0, 160);
    grid->setColumnMinimumWidth(2, 160);
    Field(FieldKod)->setReadOnly(true);
}

void CRefOplUdDlg::FillFields(const PayKind& kind)
{
    const PayKindTexts texts = FillPayKindTexts(kind);
    for (int f = 0; f < PayKindFieldCount; ++f) {
        m_edits[std::size_t(f)]->setText(texts[std::size_t(f)]);
        m_edits[std::size_t(f)]->setCursorPosition(0);
    }
    Field(FieldName)->setReadOnly(!PayKindNameEditable(kind.kod));
    // The statement column's range is the kind's (a deduction's up to 7).
    auto* column = static_cast<CTypedEdit*>(m_edits[std::size_t(FieldVedStlb)]);
    column->SetKind({column->Kind().name, PayKindFieldRule(FieldVedStlb, kind.kod)});
}

PayKindTexts CRefOplUdDlg::ShownTexts() const
{
    PayKindTexts texts;
    for (int f = 0; f < PayKindFieldCount; ++f) texts[std::size_t(f)] = m_edits[std::size_t(f)]->text();
    return texts;
}

int CRefOplUdDlg::ReadFields(PayKind& kind)
{
    const int changed = ReadPayKindTexts(ShownTexts(), kind);
    if (changed)
        m_modified = true;
    return changed;
}

void CRefOplUdDlg::LoadRecord(quint32 number)
{
    const auto& base = m_doc->infoBase;
    if (!base.holdsPayKind(int(number)))
        number = 0;
    m_slot = number;
    FillFields(number == 0 ? PayKind{} : base.payKindAt(int(number)));
}

int CRefOplUdDlg::SaveRecord()
{
    if (!m_doc->infoBase.holdsPayKind(int(m_slot)))
        return 1;
    // A field that does not read keeps the kind as it is.
    if (!ReadTypedInputs(this))
        return 0;
    ReadFields(m_doc->infoBase.payKindAt(int(m_slot)));
    return 1;
}

void CRefOplUdDlg::BeginGroup()
{
    CFormChildDlg::BeginGroup();
    m_slot = 0;
    FillFields(PayKind{});
}

int CRefOplUdDlg::GroupAppend()
{
    if (!ReadTypedInputs(this))
        return 0;
    // The form read into an all-zero kind is the pattern of the copy.
    PayKind pattern;
    ReadPayKindTexts(ShownTexts(), pattern);
    if (CopyIntoPayKindGroup(m_doc->infoBase, pattern) > 0)
        m_modified = true;
    m_groupMode = false;
    return 1;
}

void CRefOplUdDlg::UnlockName() { Field(FieldName)->setReadOnly(false); }

void CRefOplUdDlg::FocusFirstField() { Field(FieldKod)->setFocus(); }

void CRefOplUdDlg::FocusStrip() const
{
    if (auto* code = View() ? View()->controlAs<QLineEdit>(IdBookCode) : nullptr) {
        code->setFocus();
        code->selectAll();
    }
}

void CRefOplUdDlg::keyPressEvent(QKeyEvent* event)
{
    if (!GroupEnterOrEscape(event))
        CFormChildDlg::keyPressEvent(event);
}
