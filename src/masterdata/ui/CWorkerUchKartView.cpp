#include "masterdata/ui/CWorkerUchKartView.h"

#include "infobase/BaseWrites.h"
#include "infobase/InfoBaseDb.h"
#include "masterdata/EmployeeCard.h"
#include "masterdata/ui/CWorkerUchKartGDDlg.h"
#include "masterdata/ui/CWorkerUchkartExDDlg.h"
#include "masterdata/ui/CWorkerUchkartPasDDlg.h"
#include "platform/Db.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EmployeeScreen.h"
#include "shell/ui/EntryViewBodies.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/WaitCursor.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>

namespace ib = kalvor::infobase;

namespace {

// A write whose outcome was not known is settled before a personnel number
// is looked up: a card made or removed after all is found as the base holds
// it, never made twice, and nothing typed into a card is taken before. False
// (said) while the outcome is not known.
bool SettledBeforeLookup(ib::CInfoBase& base)
{
    try {
        ib::SettleBeforeInput(base);
        return true;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return false;
    }
}

constexpr int kEmployeeScreenCode = 1;

// CheckIndexFreeSlot's messages shown for the view while a card is made.
class FreeSlotMessages {
public:
    FreeSlotMessages(ib::CInfoBase& base, QWidget* owner) : m_base(base)
    {
        m_base.showError = [owner](const QString& text) {
            KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString(), owner);
        };
    }
    ~FreeSlotMessages() { m_base.showError = nullptr; }

private:
    ib::CInfoBase& m_base;
};

const PickPair kStaffPicks[] = {{"Штатный сотрудник", " "}, {"Совместитель", "1"}, {nullptr, nullptr}};
const PickPair kAverageKindPicks[] = {{"Определяется стоимость одного рабочего дня в р/периоде", " "},
                                      {"Определяется стоимость одного рабочего часа в р/периоде", "1"},
                                      {nullptr, nullptr}};
const PickPair kDocumentPicks[] = {{"Паспорт гражданина СССР", "01"}, {"Удостоверение личности офицера", "04"},
                                   {"Военный билет", "07"},           {"Иностранный паспорт", "10"},
                                   {"Паспорт гражданина РФ", "21"},   {nullptr, nullptr}};
const PickPair kSexPicks[] = {{"мужской", "М"}, {"женский", "Ж"}, {nullptr, nullptr}};
const PickPair kContractPicks[] = {
    {"трудовой", " "}, {"гражданско-правовой", "1"}, {"авторский", "2"}, {"лицензионный", "3"}, {nullptr, nullptr}};

const char* const kMoneyHint = "Введите число в формате: РРРРРРР.КК Незначащие нули можно опустить.";
const char* const kCostCodeHint =
    "Введите шифр производственных затрат.\nВ нашей программе он должен состоять из 12 цифр: первая (левая) "
    "четверка цифр определяет счет, средняя четверка цифр определяет субсчет, а правая четверка определяет код "
    "аналитического учета";
const char* const kTaxTableHint =
    "Укажите номер (от 1 до 20) налоговой таблицы.\nЭти таблицы используются при расчете налога на доходы "
    "физических лиц, единого социального налога, профсоюзных взносов и почтового сбора для пересылки "
    "алиментов.При исчислении налога на доходы физических лиц с помощью четных налоговых таблиц (в отличие от "
    "нечетных) не учитываются ежемесячные стандартные налоговые вычеты работника за те месяцы, в которых не "
    "было налогооблагаемого дохода.";
const char* const kDataHint = "Введите данные в соответствии с назначением этого поля.";

} // namespace

CWorkerUchKartView::CWorkerUchKartView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(IDD, doc, parent)
{
    setObjectName(QStringLiteral("CWorkerUchKartView"));
}

void CWorkerUchKartView::OnInitialUpdate()
{
    m_filter = new CTabelFilterDlg(1, 2, this, CTabelFilterDlg::NumberOf::NewRecordToo);
    QVBoxLayout* layout = LayOutStrip(*this, m_filter);
    m_frame = new QGroupBox(QStringLiteral("Учетная карточка работника"), this);
    auto* frameLayout = new QVBoxLayout(m_frame);
    m_tabs = new QTabBar(m_frame);
    m_tabs->setObjectName(QStringLiteral("tabs"));
    SetControl(IdTabs, m_tabs);
    for (const char* caption : {"Основные данные", "Дополнительные данные", "Паспортные данные"})
        m_tabs->addTab(QString::fromUtf8(caption));
    frameLayout->addWidget(m_tabs);
    auto* scroll = new QScrollArea(m_frame);
    scroll->setWidgetResizable(true);
    auto* pageArea = new QWidget(scroll);
    m_pageLayout = new QVBoxLayout(pageArea);
    m_pageLayout->setContentsMargins(4, 4, 4, 4);
    scroll->setWidget(pageArea);
    frameLayout->addWidget(scroll, 1);
    layout->addWidget(m_frame, 1);
    CreatePage(0);
    connect(m_tabs, &QTabBar::currentChanged, this, &CWorkerUchKartView::OnTabSelChange);
    m_frame->show();
    m_filter->show();
    Document()->LastEntryScreen = kEmployeeScreenCode;
    OpenOnLastEmployee(*this);
}

void CWorkerUchKartView::CreatePage(int tab)
{
    CWorkerUchKartPage* page = nullptr;
    switch (tab) {
    case 1: page = new CWorkerUchkartExDDlg(this); break;
    case 2: page = new CWorkerUchkartPasDDlg(this); break;
    default: page = new CWorkerUchKartGDDlg(this); break;
    }
    page->OnCardSaved([this](quint32 slot) { CardSaved(slot); });
    m_pageLayout->addWidget(page);
    page->show();
    m_entryDlg = page;
    m_shownTab = tab;
}

void CWorkerUchKartView::OnTabSelChange(int tab)
{
    if (tab == m_shownTab)
        return;
    CFormChildDlg* old = m_entryDlg;
    bool kept = false;
    {
        // A save for the change of tab is not the card being left.
        const QScopedValueRollback<bool> changing(m_changingTab, true);
        kept = old && (old->m_groupMode || !old->SaveRecord());
    }
    if (kept) {
        // The page keeps what was typed, and its tab stays chosen.
        const QSignalBlocker block(m_tabs);
        m_tabs->setCurrentIndex(m_shownTab);
        return;
    }
    const bool enabled = !old || old->isEnabled();
    if (old) {
        m_pageLayout->removeWidget(old);
        delete old;
    }
    CreatePage(tab);
    m_entryDlg->setEnabled(enabled);
    const int index = Document()->infoBase.FindEmployee(int(m_tabN));
    if (m_tabN != 0 && index >= 0)
        m_entryDlg->LoadRecord(Document()->infoBase.list[std::size_t(index)].slot);
}

void CWorkerUchKartView::CardSaved(quint32 slot)
{
    if (m_changingTab || slot == 0 || slot != m_newCardSlot)
        return;
    m_newCardSlot = 0;
    const QString missing = kalvor::masterdata::MissingCalculationData(Document()->infoBase.current.head);
    if (missing.isEmpty())
        return;
    KalvorMessageBox(QStringLiteral("Карточка сохранена, но в ней не указано: %1.\nБез этих данных расчет зарплаты "
                                    "работника не выполняется (дата рождения указывается на странице "
                                    "\"Паспортные данные\").")
                         .arg(missing),
                     MB_OK | MB_ICONWARNING, QString(), window());
}

void CWorkerUchKartView::NextElement() { EmployeeViewNextElement(*this); }

void CWorkerUchKartView::PrevElement() { EmployeeViewPrevElement(*this); }

void CWorkerUchKartView::EnableEntry(bool enable)
{
    m_tabs->setEnabled(enable);
    if (!m_entryDlg)
        return;
    m_entryDlg->setEnabled(enable);
    if (!enable)
        return;
    if (QWidget* first = m_entryDlg->nextInFocusChain(); first && m_entryDlg->isAncestorOf(first))
        first->setFocus();
    else
        m_entryDlg->setFocus();
}

void CWorkerUchKartView::ApplySelection()
{
    CFormChildDlg* page = m_entryDlg;
    if (!page || RefuseWhileGroupOpen(*this) || !page->SaveRecord())
        return;
    int tabN = 0;
    if (!ReadTypedPersonnelNumber(*this, &tabN))
        return;
    // A list entry holds numbers 1-8191 only.
    if (tabN < 1 || tabN > ib::EmployeeListEntry::MaxPersonnelNumber) {
        RefusePersonnelNumber(*this);
        return;
    }
    CKalvorDoc* doc = Document();
    doc->LastPersonnelNumber = quint32(tabN);
    ib::CInfoBase& base = doc->infoBase;
    if (!SettledBeforeLookup(base))
        return;
    if (base.FindEmployee(tabN) < 0) {
        if (KalvorMessageBox(QStringLiteral("Создать новую запись?"), MB_YESNO | MB_ICONQUESTION, QString(),
                             window()) != IDYES)
            return;
        if (base.employeeCount() >= base.capacity()) {
            KalvorMessageBox(QStringLiteral("Невозможно создать новую запись.\nБаза данных переполнена."),
                             MB_OK | MB_ICONERROR, QString(), window());
            return;
        }
        if (CreateCard(tabN) == 0)
            return;
    }
    const int index = base.FindEmployee(tabN);
    if (index >= 0 && LoadEmployeeForView(*this, index))
        EnableEntry(true);
}

int CWorkerUchKartView::CreateCard(int tabN)
{
    ib::CInfoBase& base = Document()->infoBase;
    FreeSlotMessages messages(base, window());
    try {
        WaitCursor wait;
        const int slot = kalvor::masterdata::CreateEmployeeCard(base, tabN);
        if (slot > 0)
            m_newCardSlot = quint32(slot);
        return slot > 0 ? slot : 0;
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        return 0;
    }
}

void CWorkerUchKartView::DeleteElement()
{
    ib::CInfoBase& base = Document()->infoBase;
    if (m_tabN == 0 || !m_entryDlg || RefuseWhileGroupOpen(*this) || !SettledBeforeLookup(base))
        return;
    const int index = base.FindEmployee(int(m_tabN));
    if (index < 0)
        return;
    const int slot = base.list[std::size_t(index)].slot;
    const QString question = QStringLiteral("Вы действительно хотите удалить учетную карточку\nработника %1 Таб.N %2")
                                 .arg(base.shortNameOf(slot))
                                 .arg(m_tabN);
    if (KalvorMessageBox(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QString(), window()) != IDYES)
        return;
    try {
        WaitCursor wait;
        kalvor::masterdata::DeleteEmployeeCard(base, index);
    } catch (const kalvor::db::DbError& error) {
        ShowComError(error);
        // A removal whose outcome is not known leaves the card as a removal
        // does: nothing of his is saved from the screen while the base may
        // no longer hold him.
        if (error.commitInDoubt())
            EmptyCard();
        return;
    }
    if (base.employeeCount() == 0)
        KalvorMessageBox(QStringLiteral("База пуста"), MB_OK | MB_ICONINFORMATION, QString(), window());
    EmptyCard();
}

void CWorkerUchKartView::EmptyCard()
{
    m_entryDlg->LoadRecord(0);
    // The emptied card belongs to nobody: it stays read-only until a
    // personnel number is applied, so nothing is typed into it in vain.
    EnableEntry(false);
    QLineEdit* field = m_filter->Field(CTabelFilterDlg::IdTabN);
    field->clear();
    field->setFocus();
}

void CWorkerUchKartView::TakeHelpValues(const QStringList& values)
{
    // Only the main-data page has a group operation.
    if (m_shownTab != 0) {
        const QSignalBlocker block(m_tabs);
        OnTabSelChange(0);
        m_tabs->setCurrentIndex(m_shownTab);
        if (m_shownTab != 0)
            return;
    }
    TakeHelpValuesBody(*this, values);
}

void CWorkerUchKartView::OnHelpValueSet() { EmployeeViewOnHelpValueSet(*this); }

void CWorkerUchKartView::CancelGroup() { CancelGroupBody(*this); }

bool CWorkerUchKartView::CanLeave()
{
    CFormChildDlg* page = m_entryDlg;
    if (!page)
        return true;
    if (page->m_groupMode) {
        page->m_groupMode = false;
        CancelGroup();
        return true;
    }
    return page->SaveRecord() != 0;
}

void CWorkerUchKartView::ShowFormHelp()
{
    if (m_focusedId < 0)
        return;
    if (m_filter && m_focusedWnd && m_filter->isAncestorOf(m_focusedWnd)) {
        m_filter->ShowFieldPickList();
        return;
    }
    QWidget* control = this->control(m_focusedId);
    if (!control && m_entryDlg)
        control = m_entryDlg->control(m_focusedId);
    if (!control || !m_entryDlg)
        return;
    m_focusedWnd = control;
    switch (m_entryDlg->DialogId()) {
    case CWorkerUchKartGDDlg::IDD: ShowMainPageHelp(m_focusedId); break;
    case CWorkerUchkartExDDlg::IDD: ShowExtraPageHelp(m_focusedId); break;
    case CWorkerUchkartPasDDlg::IDD: ShowPassportPageHelp(m_focusedId); break;
    default: break;
    }
}

void CWorkerUchKartView::ShowMainPageHelp(int id)
{
    auto hint = [this](const char* text, int corner, int width) {
        ShowFieldHint(QString::fromUtf8(text), corner, width);
    };
    // A coded field's list of values.
    auto coded = [this, id](int corner, int width, int height) {
        ShowHelpList(kalvor::masterdata::CodedFieldValues(id, *Document()), {corner, false, width, height});
    };
    switch (id) {
    case 1077: hint("Введите фамилию, имя и отчество работника.", 3, 310); break;
    case 1016: coded(1, 300, 136); break;
    case 1000: coded(3, 310, 226); break;
    case 1001: ShowHelpList(ShopLines(*Document()), {3, false, 220, 226}); break;
    case 1002: coded(3, 180, 158); break;
    case 1003: coded(3, 220, 95); break;
    case 1004:
    case 1005:
    case 1006: hint(kMoneyHint, 3, 300); break;
    case 1024:
    case 1025:
    case 1026: hint(kMoneyHint, 1, 300); break;
    case 1010:
    case 1011:
    case 1012: hint(kCostCodeHint, 3, 500); break;
    case 1013:
    case 1014:
    case 1015: hint(kCostCodeHint, 1, 500); break;
    case 1018: ShowHelpList(ProfessionLines(*Document()), {1, false, 220, 226}); break;
    case 1019: hint("Укажите номер бригады.\nЭто должно быть число в пределах от 1 до 99.", 1, 310); break;
    case 1020:
        if (!kalvor::masterdata::CodedFieldValues(id, *Document()).isEmpty())
            coded(1, 400, 226);
        else
            hint(kTaxTableHint, 1, 500);
        break;
    case 1023: hint(kTaxTableHint, 1, 500); break;
    default: break;
    }
}

void CWorkerUchKartView::ShowExtraPageHelp(int id)
{
    if (id == 1016)
        ShowHelpList(BuildPickListFromPairs(kStaffPicks), {3, false, 200, 48});
    else if (id == 1060 || id == 1074)
        ShowFieldHint(QStringLiteral("Введите любое целое число в соответствии с назначением этого поля."), 3, 310);
    else if (id == 1032 || id == 1064 || (id >= 1083 && id <= 1094) || id == 1097)
        ShowFieldHint(QString::fromUtf8(kDataHint), 3, 310);
    else if (id == 1096)
        ShowFieldHint(QString::fromUtf8(kMoneyHint), 3, 310);
    else if (id == 1117)
        ShowHelpList(BuildPickListFromPairs(kAverageKindPicks), {1, false, 300, 136});
}

void CWorkerUchKartView::ShowPassportPageHelp(int id)
{
    if (id == 1031)
        ShowHelpList(BuildPickListFromPairs(kDocumentPicks), {3, false, 200, 48});
    else if (id == 1028)
        ShowHelpList(BuildPickListFromPairs(kSexPicks), {3, false, 200, 48});
    else if (id == 1055)
        ShowHelpList(BuildPickListFromPairs(kContractPicks), {3, false, 200, 48});
    else
        ShowFieldHint(QString::fromUtf8(kDataHint), 3, 310);
}
