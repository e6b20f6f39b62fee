#include "exchange/ui/CEFuncPrExpSetDlg.h"

#include "infobase/InfoBaseDb.h"
#include "platform/Db.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kDefaultAccount = 70;
constexpr std::uint16_t kJoinBit = 0x80; // c1TypProv
constexpr int kSubaccountShift = 8; // c1Sub70, four bits
constexpr int kMostAccount = 9999, kMostSubaccount = 9;

QString NumberOrEmpty(int value) { return value != 0 ? QString::number(value) : QString(); }

} // namespace

CEFuncPrExpSetDlg::CEFuncPrExpSetDlg(kalvor::infobase::CInfoBase& base, QWidget* parent) : QDialog(parent), m_base(base)
{
    kalvor::infobase::FirmInfo& firm = m_base.firm;
    if (firm.c1Ch70 == 0)
        firm.c1Ch70 = kDefaultAccount;
    setWindowTitle(QStringLiteral("Настройка экспорта проводок"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Кредит по зарплате"), this);
    auto* fields = new QFormLayout(group);
    m_account = new CTypedEdit({QStringLiteral("Счет"), kalvor::WholeFigure(0, kMostAccount)}, group);
    m_account->setText(NumberOrEmpty(firm.c1Ch70));
    m_subaccount = new CTypedEdit({QStringLiteral("Субсчет"), kalvor::WholeFigure(0, kMostSubaccount)}, group);
    m_subaccount->setText(NumberOrEmpty(firm.c1Sub70()));
    fields->addRow(QStringLiteral("Счет"), m_account);
    fields->addRow(QStringLiteral("Субсчет"), m_subaccount);
    layout->addWidget(group);
    m_join = new QCheckBox(QStringLiteral("Объединять начисления по одинаковому счету/субсчету"), this);
    m_join->setChecked(firm.c1TypProv());
    layout->addWidget(m_join);
    SetControl(IdAccount, m_account);
    SetControl(IdSubaccount, m_subaccount);
    SetControl(IdJoinAccruals, m_join);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    SetControl(IDOK, ok);
    SetControl(IDCANCEL, cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEFuncPrExpSetDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEFuncPrExpSetDlg::reject);
    layout->addWidget(buttons);
    m_account->setFocus();
}

int CEFuncPrExpSetDlg::DoModal() { return exec() == QDialog::Accepted ? IDOK : IDCANCEL; }

bool CEFuncPrExpSetDlg::ReadFields()
{
    kalvor::infobase::FirmInfo& firm = m_base.firm;
    bool changed = false;
    const auto account = std::uint16_t(m_account->UnitsOr(firm.c1Ch70));
    changed |= account != firm.c1Ch70;
    firm.c1Ch70 = account;

    const auto subaccount = int(m_subaccount->UnitsOr(firm.c1Sub70()));
    changed |= subaccount != firm.c1Sub70();
    std::uint16_t word = std::uint16_t(firm.c1Word & ~(15u << kSubaccountShift));
    word = std::uint16_t(word | (std::uint16_t(subaccount) << kSubaccountShift));

    if (m_join->isChecked() != firm.c1TypProv()) {
        word = std::uint16_t(m_join->isChecked() ? word | kJoinBit : word & ~kJoinBit);
        changed = true;
    }
    firm.c1Word = word;
    return changed;
}

void CEFuncPrExpSetDlg::SaveFirmRecord()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        kalvor::infobase::SaveFirm(m_base);
        m_saved = true;
    } catch (const kalvor::db::DbError& error) {
        QApplication::restoreOverrideCursor();
        ShowComError(error);
        return;
    }
    QApplication::restoreOverrideCursor();
}

void CEFuncPrExpSetDlg::accept()
{
    if (!ReadTypedInputs(this))
        return;
    if (ReadFields())
        SaveFirmRecord();
    QDialog::accept();
}
