#include "masterdata/ui/CWorkerUchKartPage.h"

#include "infobase/InfoBaseDb.h"
#include "masterdata/EmployeeCard.h"
#include "platform/Db.h"
#include "platform/DbTransaction.h"
#include "shell/ui/CCommonFormView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "shell/ui/WaitCursor.h"
#include "values/Messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace ib = kalvor::infobase;

namespace {

// The name beside a coded field: wrapped within its column and as high as the
// tallest of the names the field can show, whichever it shows.
class ValueNameLabel : public QLabel {
public:
    explicit ValueNameLabel(QWidget* parent) : QLabel(parent), m_probe(new QLabel(this))
    {
        setWordWrap(true);
        m_probe->setWordWrap(true);
        m_probe->hide();
    }
    void SetPossibleNames(const QStringList& names)
    {
        m_names = names;
        m_width = -1;
        updateGeometry();
    }
    // Also while it shows no text, which a label alone does not measure.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override
    {
        if (width != m_width) {
            m_width = width;
            m_height = 0;
            for (const QString& name : m_names) {
                m_probe->setText(name);
                m_height = std::max(m_height, m_probe->heightForWidth(width));
            }
        }
        return std::max(m_height, QLabel::heightForWidth(width));
    }

private:
    QLabel* m_probe; // measures the names in the label's font
    QStringList m_names;
    mutable int m_width = -1; // the width the tallest height was measured at
    mutable int m_height = 0;
};

} // namespace

CWorkerUchKartPage::CWorkerUchKartPage(int dialogId, CCommonFormView* view) : CFormChildDlg(dialogId, view)
{
    setObjectName(QStringLiteral("page%1").arg(dialogId));
    setStyleSheet(QStringLiteral("QLabel { color: %1; } QLineEdit { background: %2; }")
                      .arg(kLabelColour.name(), kFieldColour.name()));
    m_form = new QGridLayout(this);
    m_form->setHorizontalSpacing(8);
    m_form->setVerticalSpacing(3);
    m_form->setColumnStretch(1, 1);
    m_form->setColumnStretch(3, 1);
    m_form->setColumnMinimumWidth(2, 160);
}

QLineEdit* CWorkerUchKartPage::Edit(int id) const { return controlAs<QLineEdit>(id); }

NullableDateEdit* CWorkerUchKartPage::Picker(int id) const { return controlAs<NullableDateEdit>(id); }

QCheckBox* CWorkerUchKartPage::Check(int id) const { return controlAs<QCheckBox>(id); }

ib::CInfoBase& CWorkerUchKartPage::Base() const { return View()->Document()->infoBase; }

void CWorkerUchKartPage::AddControl(int id, QWidget* control, const QString& label, int column, QWidget* placed)
{
    SetControl(id, control);
    control->setObjectName(QStringLiteral("control%1").arg(id));
    if (!placed)
        placed = control;
    if (column == kWholeLine) {
        const int row = std::max(m_rows[0], m_rows[1]);
        m_rows[0] = m_rows[1] = row + 1;
        auto* text = new QLabel(label, this);
        text->setBuddy(control);
        m_form->addWidget(text, row, 0);
        m_form->addWidget(placed, row, 1, 1, 3);
        return;
    }
    const int row = m_rows[column]++;
    if (label.isEmpty()) {
        m_form->addWidget(placed, row, column * 2, 1, 2);
        return;
    }
    auto* text = new QLabel(label, this);
    text->setWordWrap(true);
    text->setBuddy(control);
    m_form->addWidget(text, row, column * 2);
    m_form->addWidget(placed, row, column * 2 + 1);
}

CTypedEdit* CWorkerUchKartPage::MakeInput(QWidget* parent, const QString& label, kalvor::FigureRule rule,
                                          std::function<QString(const QString&)> also, kalvor::BookCheck book)
{
    // The label as messages name the field: without the mark of a field the
    // calculation needs.
    const QString name = QString(label).remove(QLatin1Char('*')).trimmed();
    auto* edit = new CTypedEdit({name, rule, std::move(book), std::move(also)}, parent);
    edit->OnRefusal([this] { MakeEditable(); });
    return edit;
}

QLineEdit* CWorkerUchKartPage::AddCodedEdit(int id, const QString& label, int column, kalvor::FigureRule rule,
                                            int width)
{
    auto* box = new QWidget(this);
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    CTypedEdit* edit = MakeInput(box, label, rule);
    edit->setMaximumWidth(width);
    // A long name wraps within the column rather than widening the page.
    auto* name = new ValueNameLabel(box);
    name->setObjectName(QStringLiteral("name%1").arg(id));
    name->setStyleSheet(QStringLiteral("QLabel { color: gray; }"));
    line->addWidget(edit);
    line->addWidget(name, 1);
    AddControl(id, edit, label, column, box);
    return edit;
}

void CWorkerUchKartPage::CardSaved()
{
    if (m_cardSaved)
        m_cardSaved(m_slot);
}

QLabel* CWorkerUchKartPage::ValueName(int id) const { return findChild<QLabel*>(QStringLiteral("name%1").arg(id)); }

void CWorkerUchKartPage::SetPossibleNames(int id, const QStringList& names)
{
    if (auto* name = dynamic_cast<ValueNameLabel*>(ValueName(id)))
        name->SetPossibleNames(names);
}

QLineEdit* CWorkerUchKartPage::AddShown(int id, const QString& label, int column, int width)
{
    CTypedEdit* edit = ShownValueEdit(this);
    edit->setFocusPolicy(Qt::NoFocus);
    if (width > 0)
        edit->setMaximumWidth(width);
    AddControl(id, edit, label, column);
    return edit;
}

QLineEdit* CWorkerUchKartPage::AddEdit(int id, const QString& label, int column, kalvor::FigureRule rule, int width,
                                       std::function<QString(const QString&)> also, kalvor::BookCheck book)
{
    CTypedEdit* edit = MakeInput(this, label, rule, std::move(also), std::move(book));
    if (width > 0)
        edit->setMaximumWidth(width);
    AddControl(id, edit, label, column);
    return edit;
}

NullableDateEdit* CWorkerUchKartPage::AddPicker(int id, const QString& label, int column, bool monthOnly)
{
    auto* picker = new NullableDateEdit(this, monthOnly);
    EraseDatePickerBackground(picker, kFieldColour);
    picker->setMaximumWidth(130);
    AddControl(id, picker, label, column);
    return picker;
}

QCheckBox* CWorkerUchKartPage::AddCheck(int id, const QString& label, int column)
{
    auto* box = new QCheckBox(label, this);
    box->setStyleSheet(QStringLiteral("QCheckBox { color: %1; }").arg(kLabelColour.name()));
    AddControl(id, box, QString(), column);
    return box;
}

void CWorkerUchKartPage::AddHeading(const QString& text)
{
    const int row = std::max(m_rows[0], m_rows[1]);
    auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(text.toHtmlEscaped()), this);
    m_form->addWidget(heading, row, 0, 1, 4);
    m_rows[0] = m_rows[1] = row + 1;
}

int CWorkerUchKartPage::PersonnelNumberOfSlot(quint32 slot) const
{
    for (const ib::EmployeeListEntry& entry : Base().list)
        if (entry.slot == slot)
            return entry.tabN();
    return -1;
}

bool CWorkerUchKartPage::CommitFields() { return CommitDateFields(this) && ReadTypedInputs(this); }

void CWorkerUchKartPage::MakeEditable()
{
    if (!isEnabled() && View())
        View()->EnableEntry(true);
}

void CWorkerUchKartPage::RefuseField(int id, const QString& message)
{
    KalvorMessageBox(message, MB_OK | MB_ICONERROR, QString(), this);
    MakeEditable();
    if (QWidget* field = control(id)) {
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        field->setFocus();
    }
}

bool CWorkerUchKartPage::SaveInBase(const std::function<void()>& savers)
{
    WaitCursor wait;
    try {
        kalvor::db::WriteTogether(ib::Db(Base()), savers);
        return true;
    } catch (const kalvor::db::DbError& error) {
        // A refusal names the employee whose card it was; a save whose
        // COMMIT was cut in doubt is not said to be unsaved.
        const int slot = Base().currentSlot;
        const QString card = QStringLiteral("Карточка работника %1").arg(Base().employeeNamed(slot));
        ShowComError(error, Base().tabNOfSlot(slot) == 0
                                ? QString()
                                : kalvor::SaveFailedWhat(error, card, card + QStringLiteral(" не сохранена.")));
        return false;
    }
}

QStringList CWorkerUchKartPage::Shown() const
{
    QStringList shown;
    for (const QLineEdit* edit : findChildren<QLineEdit*>()) shown << edit->text();
    for (const QCheckBox* box : findChildren<QCheckBox*>()) shown << QString::number(int(box->isChecked()));
    return shown;
}

void CWorkerUchKartPage::Show(const QStringList& shown)
{
    qsizetype i = 0;
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        const QString text = shown.value(i++);
        if (text == edit->text())
            continue;
        edit->setText(text);
        edit->setModified(true); // typed, so read when it is left
    }
    for (QCheckBox* box : findChildren<QCheckBox*>()) box->setChecked(shown.value(i++) == QLatin1String("1"));
}

void CWorkerUchKartPage::OnCancel()
{
    if (m_slot != 0 && !m_groupMode) {
        const QStringList typed = Shown();
        LoadRecord(m_slot);
        if (Shown() != typed &&
            KalvorMessageBox(QStringLiteral("Отменить изменения, внесенные в карточку?"),
                             MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), this) != IDYES) {
            Show(typed);
            return;
        }
        m_modified = false;
        if (Shown() != typed) {
            // The changes are abandoned: the card shows what is stored and
            // stays editable, the focus in its first field.
            if (View())
                View()->EnableEntry(true);
            return;
        }
    }
    FocusStrip();
}

void CWorkerUchKartPage::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        OnOK();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        OnCancel();
        return;
    }
    CFormChildDlg::keyPressEvent(event);
}
