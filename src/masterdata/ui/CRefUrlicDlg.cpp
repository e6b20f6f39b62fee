#include "masterdata/ui/CRefUrlicDlg.h"

#include "infobase/SwapFile.h"
#include "masterdata/RecipientBook.h"
#include "masterdata/UnsavedBooks.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/KalvorMessageBox.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

using namespace kalvor::masterdata;

namespace {

const char* const kLabels[kRecipientFieldCount] = {"Номер / Наименование отделения",
                                                   "Получатель перечисления",
                                                   "Расч.счет",
                                                   "В банке",
                                                   "Корр.счет",
                                                   "БИК",
                                                   "ИНН",
                                                   "КПП"};

} // namespace

CRefUrlicDlg::CRefUrlicDlg(CCommonFormView* view) : CFormChildDlg(DialogId, view)
{
    setObjectName(QStringLiteral("CRefUrlicDlg"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(208, 227, 254));
    setPalette(palette);
    setStyleSheet(QStringLiteral("QLabel { color: rgb(100, 103, 250); }"
                                 "QLineEdit { background: transparent; border: 1px solid rgb(150, 170, 220); }"));
    m_modified = TakeUnsavedBook(view->Document()->infoBase, RefBook::Recipients);
    auto* layout = new QGridLayout(this);
    for (int field = 0; field < kRecipientFieldCount; ++field) {
        auto* label = new QLabel(QString::fromUtf8(kLabels[field]), this);
        // A text of the field's width: the book keeps no more.
        auto* edit = new CTypedEdit({QString::fromUtf8(kLabels[field]), kalvor::TextFigure(RecipientFieldWidth(field))}, this);
        // Wide enough for the field's width of characters.
        edit->setMinimumWidth(std::max(90, RecipientFieldWidth(field) * 9));
        label->setBuddy(edit);
        // Each label over its field: beside them the widest fields pass the
        // room beside the frame's panel at 1024x768.
        layout->addWidget(label, 2 * field, 0);
        layout->addWidget(edit, 2 * field + 1, 0, Qt::AlignLeft);
        m_fields[std::size_t(field)] = edit;
        SetControl(kFieldIds[std::size_t(field)], edit);
        view->SetControl(kFieldIds[std::size_t(field)], edit);
    }
}

CRefUrlicDlg::~CRefUrlicDlg()
{
    if (!m_groupMode)
        SaveRecord();
    WriteRecipients();
}

void CRefUrlicDlg::FocusFirstField()
{
    m_fields[0]->setFocus();
    m_fields[0]->selectAll();
}

void CRefUrlicDlg::LoadRecord(quint32 number)
{
    CFormChildDlg::LoadRecord(number);
    const auto& book = View()->Document()->refFiles;
    const bool shown = book.holdsRecipient(int(number));
    for (int field = 0; field < kRecipientFieldCount; ++field)
        m_fields[std::size_t(field)]->setText(shown ? RecipientField(book.recipientAt(int(number)), field) : QString());
}

int CRefUrlicDlg::SaveRecord()
{
    auto& book = View()->Document()->refFiles;
    if (!book.holdsRecipient(int(m_slot)))
        return 1;
    auto& recipient = book.recipientAt(int(m_slot));
    for (int field = 0; field < kRecipientFieldCount; ++field)
        if (StoreRecipientField(recipient, field, m_fields[std::size_t(field)]->text()))
            m_modified = true;
    return 1;
}

bool CRefUrlicDlg::WriteRecipients()
{
    if (!m_modified)
        return true;
    CKalvorDoc* doc = View()->Document();
    try {
        doc->refFiles.WriteBank();
        m_modified = false;
        return true;
    } catch (const kalvor::infobase::InfoBaseError& error) {
        KalvorMessageBox(QString::fromUtf8(error.what()), MB_OK | MB_ICONERROR);
        RememberUnsavedBook(doc->infoBase, RefBook::Recipients);
        return false;
    }
}

void CRefUrlicDlg::keyPressEvent(QKeyEvent* event)
{
    // Esc goes back to the recipient's number.
    if (event->key() == Qt::Key_Escape) {
        if (QWidget* number = View()->control(1103)) {
            number->setFocus();
            return;
        }
    }
    CFormChildDlg::keyPressEvent(event);
}
