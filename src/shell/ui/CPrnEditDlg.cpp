#include "shell/ui/CPrnEditDlg.h"

#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
enum : int { IdPath = 1381, IdCommand = 1382 };
}

CPrnEditDlg::CPrnEditDlg(const QString& reportPath, const QString& command, QWidget* parent)
    : QDialog(parent), m_path(reportPath), m_command(command)
{
    setWindowTitle(QStringLiteral("Печать"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Файл отчета"), this));
    m_pathEdit = ShownValueEdit(this);
    m_pathEdit->setText(reportPath);
    m_pathEdit->setMinimumWidth(480);
    SetControl(IdPath, m_pathEdit);
    layout->addWidget(m_pathEdit);
    layout->addWidget(new QLabel(QStringLiteral("Команда печати"), this));
    m_commandEdit = new CTypedEdit({QStringLiteral("Команда печати"), kalvor::TextFigure(kPathLength)}, this);
    m_commandEdit->setText(command);
    SetControl(IdCommand, m_commandEdit);
    layout->addWidget(m_commandEdit);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    SetControl(IDOK, ok);
    SetControl(IDCANCEL, cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPrnEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPrnEditDlg::reject);
    layout->addWidget(buttons);
    m_commandEdit->setFocus();
}

void CPrnEditDlg::accept()
{
    m_command = m_commandEdit->text();
    QDialog::accept();
}

int CPrnEditDlg::DoModal() { return exec() == QDialog::Accepted ? IDOK : IDCANCEL; }
