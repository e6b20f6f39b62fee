#include "masterdata/ui/CWorkerUchkartPasDDlg.h"

#include "infobase/InfoBaseDb.h"
#include "masterdata/EmployeeCard.h"
#include "shell/ui/NullableDateEdit.h"
#include "shell/ui/TypedInput.h"
#include "values/InsuranceNumber.h"
#include "values/Values.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>

namespace ib = kalvor::infobase;
namespace md = kalvor::masterdata;

namespace {

using HeadText = QString ib::EmployeeHead::*;

// A text of the record, a date text shown in a picker, or a heading (id 0).
struct PassportField {
    int id;
    const char* label;
    int column;
    HeadText member;
    bool date;
};

// The insurance number, whose check number is checked as it is read.
constexpr int kInsuranceId = 1026;

// The page in its order; the passport number (1032) and the numbers of the
// flags word are handled apart. A text that runs long (a position, an
// authority, an address, a street) takes the whole line.
const PassportField kFields[] = {
    {kInsuranceId, "Страховой полис", 0, &ib::EmployeeHead::strahPolis, false},
    {1108, "ИНН", 1, &ib::EmployeeHead::INN, false},
    {1027, "Телефон", 0, &ib::EmployeeHead::gitPhone, false},
    {1028, "Пол *", 1, &ib::EmployeeHead::pol, false},
    {1029, "Должность", CWorkerUchKartPage::kWholeLine, &ib::EmployeeHead::dolgName, false},
    {1063, "Дата вступления", 1, &ib::EmployeeHead::dolgDat, true},
    {0, "Документ, удостоверяющий личность", 0, nullptr, false},
    {1031, "Документ", 0, &ib::EmployeeHead::pspKod, false},
    {1058, "Серия", 1, &ib::EmployeeHead::pspSer, false},
    {1030, "Когда выдан", 1, &ib::EmployeeHead::pspDat, true},
    {1034, " Кем", CWorkerUchKartPage::kWholeLine, &ib::EmployeeHead::pspKem, false},
    {0, "Родился", 0, nullptr, false},
    {1035, "Страна", 0, &ib::EmployeeHead::bdStr, false},
    {1036, "Регион", 1, &ib::EmployeeHead::bdReg, false},
    {1037, "Район", 0, &ib::EmployeeHead::bdRaj, false},
    {1038, "Город", 1, &ib::EmployeeHead::bdGorod, false},
    {0, "Место регистрации", 0, nullptr, false},
    {1051, "Код страны", 0, &ib::EmployeeHead::propKodStr, false},
    {1040, "Код региона", 1, &ib::EmployeeHead::propKodReg, false},
    {1041, "Регион", 0, &ib::EmployeeHead::propReg, false},
    {1042, "Район", 1, &ib::EmployeeHead::propRaj, false},
    {1043, "Город", 0, &ib::EmployeeHead::propGorod, false},
    {1044, "Пункт", 1, &ib::EmployeeHead::propPunkt, false},
    {1045, "Улица", CWorkerUchKartPage::kWholeLine, &ib::EmployeeHead::propUl, false},
    {1046, "Дом", 1, &ib::EmployeeHead::propDom, false},
    {1047, "Корпус", 0, &ib::EmployeeHead::propKorp, false},
    {1048, "Квартира", 1, &ib::EmployeeHead::propKv, false},
    {1049, "Индекс", 0, &ib::EmployeeHead::propInd, false},
    {1050, "Код ГНИ", 1, &ib::EmployeeHead::GNI, false},
    {0, "Место жительства", 0, nullptr, false},
    {1039, "Код страны", 0, &ib::EmployeeHead::gitKodStr, false},
    {1052, "Индекс", 1, &ib::EmployeeHead::gitInd, false},
    {1053, "Адрес", CWorkerUchKartPage::kWholeLine, &ib::EmployeeHead::gitAdr, false},
    {1054, "Жилье в собственности", CWorkerUchKartPage::kWholeLine, &ib::EmployeeHead::kuplAdr, false},
    {0, "Договор и инвалидность", 0, nullptr, false},
    {1056, "№ договора", 1, &ib::EmployeeHead::dogNom, false},
    {1101, "Серия", 1, &ib::EmployeeHead::invSprSer, false},
    {1059, "№", 0, &ib::EmployeeHead::invSprNom, false},
    {1064, "Дата", 1, &ib::EmployeeHead::invSprDat, true},
};

// The personal tax number: 12 digits (InnInputKind).
constexpr int kInnId = 1108;
constexpr int kContractShift = 4;
constexpr int kDisabilityShift = 6;

kalvor::FigureRule Rule(int id) { return kalvor::masterdata::CardFieldRule(2, id); }

int BitsOf(ib::u32 flags, int shift) { return int((flags >> shift) & 3); }

} // namespace

CWorkerUchkartPasDDlg::CWorkerUchkartPasDDlg(CCommonFormView* view) : CWorkerUchKartPage(IDD, view) { BuildForm(); }

void CWorkerUchkartPasDDlg::BuildForm()
{
    AddShown(1075, QStringLiteral("Работник"), kWholeLine);
    AddShown(1076, QStringLiteral("Табель N"), 1, 100);
    for (const PassportField& field : kFields) {
        if (field.id == 0) {
            AddHeading(QString::fromUtf8(field.label));
            if (qstrcmp(field.label, "Договор и инвалидность") == 0) {
                AddEdit(1055, md::CardNumberLabel(1055), 0, Rule(1055), 60);
            }
        } else if (field.date) {
            AddPicker(field.id, QString::fromUtf8(field.label), field.column);
        } else {
            AddEdit(field.id, QString::fromUtf8(field.label), field.column, Rule(field.id), 0,
                    field.id == kInnId ? InnInputKind(QString::fromUtf8(field.label), md::kCardTextLength).also
                                       : std::function<QString(const QString&)>());
        }
        if (field.id == 1058)
            AddEdit(1032, QStringLiteral("№"), 0, Rule(1032), 160);
        if (field.id == 1056)
            AddEdit(1057, md::CardNumberLabel(1057), 0, Rule(1057), 60);
    }
    AddCheck(1465, QStringLiteral("Состояние в браке"), 1);
    AddEdit(1466, md::CardNumberLabel(1466), 0, Rule(1466), 60);
    Form()->setRowStretch(Form()->rowCount(), 1);
}

void CWorkerUchkartPasDDlg::LoadRecord(quint32 slot)
{
    m_slot = slot;
    const bool shown = Base().holdsSlot(int(slot));
    const ib::EmployeeHead head = shown ? Base().current.head : ib::EmployeeHead{};
    Edit(1075)->setText(head.fio);
    Edit(1076)->setText(shown ? QString::number(PersonnelNumberOfSlot(slot)) : QString());
    for (const PassportField& field : kFields) {
        if (field.id == 0)
            continue;
        if (field.date)
            ParseDateText(head.*field.member, Picker(field.id));
        else
            Edit(field.id)->setText(head.*field.member);
    }
    Edit(1032)->setText(md::PassportNumberText(head));
    Edit(1055)->setText(kalvor::FormatIntField(BitsOf(head.flags, kContractShift)));
    Edit(1057)->setText(kalvor::FormatIntField(BitsOf(head.flags, kDisabilityShift)));
    Check(1465)->setChecked(head.married & 1);
    Edit(1466)->setText(kalvor::FormatIntField(head.children));
    m_modified = false;
}

bool CWorkerUchkartPasDDlg::StoreNumbers(ib::EmployeeHead& head)
{
    int contract = 0, disability = 0, children = 0;
    for (const auto& [id, value] : {std::pair<int, int*>{1055, &contract}, std::pair<int, int*>{1057, &disability},
                                    std::pair<int, int*>{1466, &children}}) {
        const QString refusal = md::ReadCardNumber(id, Edit(id)->text(), value);
        if (!refusal.isEmpty()) {
            RefuseField(id, refusal);
            return false;
        }
    }
    const ib::u32 flags = (head.flags & ~((3u << kContractShift) | (3u << kDisabilityShift))) |
                          (ib::u32(contract) << kContractShift) | (ib::u32(disability) << kDisabilityShift);
    const ib::u8 married = ib::u8((head.married & ~1u) | (Check(1465)->isChecked() ? 1u : 0u));
    if (flags != head.flags || married != head.married || children != head.children) {
        head.flags = flags;
        head.married = married;
        head.children = ib::u16(children);
        m_modified = true;
    }
    return true;
}

int CWorkerUchkartPasDDlg::SaveRecord()
{
    if (m_slot == 0)
        return 1;
    if (!CommitFields())
        return 0;
    if (const QString refusal = kalvor::InsuranceNumberRefusal(QStringLiteral("Страховой полис"),
                                                               Edit(kInsuranceId)->text());
        !refusal.isEmpty()) {
        RefuseField(kInsuranceId, refusal);
        return 0;
    }
    ib::CInfoBase& base = Base();
    ib::EmployeeHead& head = base.current.head;
    if (!StoreNumbers(head))
        return 0;
    for (const PassportField& field : kFields) {
        if (field.id == 0)
            continue;
        if (field.date)
            m_modified |= ParseDateToDate(&(head.*field.member), Picker(field.id)) != 0;
        else
            m_modified |=
                kalvor::StoreTextIfChanged(Edit(field.id)->text(), head.*field.member,
                                           field.id == md::kCardAddressField ? md::kCardAddressLength + 1 : 121) != 0;
    }
    m_modified |= md::StorePassportNumber(Edit(1032)->text(), head);
    if (m_modified && !SaveInBase([&] { ib::SaveEmployeeFull(base, int(m_slot)); }))
        return 0;
    m_modified = false;
    CardSaved();
    return 1;
}
