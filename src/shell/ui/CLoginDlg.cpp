#include "shell/ui/CLoginDlg.h"

#include "infobase/InfoBaseDb.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CLoginDlg::CLoginDlg(const QString& baseName, std::function<bool(const QString&)> exists, QWidget* parent,
                     std::function<QString(const QString&)> newNameRefusal)
    : QDialog(parent)
    , m_base(new CTypedEdit({QStringLiteral("База данных"), kalvor::TextFigure(kPathLength)}, this))
    , m_password(new CTypedEdit({QStringLiteral("Пароль"), kalvor::TextFigure(7)}, this))
    , m_existsTest(std::move(exists))
    , m_newNameRefusal(std::move(newNameRefusal))
{
    setWindowTitle(QStringLiteral("Вход в систему"));
    m_base->setText(baseName);
    m_password->setEchoMode(QLineEdit::Password);
    SetControl(IdBase, m_base);
    SetControl(IdPassword, m_password);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("База данных"), m_base);
    form->addRow(QStringLiteral("Пароль"), m_password);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLoginDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLoginDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    // The password is what the user types first when the name is known.
    if (baseName.isEmpty())
        m_base->setFocus();
    else
        m_password->setFocus();
}

QString CLoginDlg::BaseName() const { return m_base->text().trimmed(); }

QString CLoginDlg::Password() const { return m_password->text(); }

void CLoginDlg::RefuseName(const QString& why)
{
    KalvorMessageBox(why, MB_OK | MB_ICONWARNING, QString(), this);
    m_base->selectAll();
    m_base->setFocus();
}

void CLoginDlg::accept()
{
    const QString name = BaseName();
    if (name.isEmpty()) {
        KalvorMessageBox(QStringLiteral("Введите имя базы данных"), MB_OK | MB_ICONWARNING, QString(), this);
        m_base->setFocus();
        return;
    }
    // The base is a file of the working folder: a name that cannot be a file
    // name is refused here, and another can be typed.
    if (!kalvor::infobase::ValidBaseName(name)) {
        RefuseName(QStringLiteral("Недопустимое имя базы данных"));
        return;
    }
    m_exists = m_existsTest ? m_existsTest(name) : true;
    // A base to be made: a name too long for the files made from it is
    // refused before it is offered.
    if (const QString refusal = !m_exists && m_newNameRefusal ? m_newNameRefusal(name) : QString();
        !refusal.isEmpty()) {
        RefuseName(refusal);
        return;
    }
    if (!m_exists && KalvorMessageBox(QStringLiteral("База данных не найдена.\n\nПродолжить ?"),
                                      MB_YESNO | MB_ICONQUESTION, QString(), this) != IDYES) {
        m_base->setFocus();
        return;
    }
    QDialog::accept();
}
