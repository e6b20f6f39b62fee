#include "entries/ui/CPremVvodView.h"

#include "entries/BonusEntry.h"
#include "entries/ui/CAvancePrintVedView.h"
#include "entries/ui/CPremVvodDlg.h"
#include "grid/FldHlpGridCtrl.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CTabelFilterDlg.h"
#include "shell/ui/EntryViewBodies.h"

#include <QGroupBox>

namespace {

constexpr int kHintCorner = 3;

} // namespace

CPremVvodView::CPremVvodView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(371, doc, parent)
{
    setObjectName(QStringLiteral("CPremVvodView"));
}

CPremVvodView::~CPremVvodView()
{
    StoreOnClose(m_dlg, [this] { kalvor::StoreBonusLines(Document()->infoBase); });
}

void CPremVvodView::OnInitialUpdate()
{
    CKalvorDoc* doc = Document();
    doc->LastEntryScreen = kEntryScreen;
    m_filter = new CWorkersFilterDlg(this);
    m_dlg = new CPremVvodDlg(this);
    SetControl(1225, LayOutWorkersStripScreen(*this, m_filter, m_dlg, QStringLiteral("Корректировка премий")));
    OpenOnWorkersStrip(*this, *m_filter, Shown());
}

std::function<bool(int)> CPremVvodView::Shown() const
{
    const CKalvorDoc& doc = *Document();
    return [&doc](int index) { return kalvor::BonusEmployeeShown(doc, index); };
}

void CPremVvodView::ApplySelection() { ApplyWorkersSelection(*this, *m_filter, Shown()); }

bool CPremVvodView::CanLeave() { return LeaveEntryScreen(*this); }

void CPremVvodView::EnableEntry(bool enable) { EnableGridEntry(m_dlg, enable); }

void CPremVvodView::InsertBefore()
{
    if (m_dlg && m_dlg->isEnabled())
        m_dlg->InsertLineBefore();
}

void CPremVvodView::InsertAfter()
{
    if (m_dlg && m_dlg->isEnabled())
        m_dlg->InsertLineAfter();
}

void CPremVvodView::DeleteElement()
{
    if (m_dlg && m_dlg->isEnabled())
        m_dlg->DeleteLine();
}

// ------------------------------------------------------------------ field help

QStringList CPremVvodView::KindLines()
{
    return {QStringLiteral("|Премиальная выплата в рублях"),
            QStringLiteral("1|Премия в процентах"),
            QStringLiteral("2|Аванс(процент от планового)"),
            QStringLiteral("3|КТУ(1-й вариант)"),
            QStringLiteral("4|КТУ(2-й вариант)"),
            QStringLiteral("5|КТУ(3-й вариант)")};
}

QStringList CPremVvodView::MonthBasisLines()
{
    return {QStringLiteral("|На основании данных текущего месяца"),
            QStringLiteral("1|На основании данных прошлого месяца")};
}

QStringList CPremVvodView::PaymentPeriodLines()
{
    return {QStringLiteral("|Выплатить в расчет"), QStringLiteral("1|Выплатить в межрасчетный период текущего месяца"),
            QStringLiteral("2|Выплатить в межрасчетный период следующего месяца")};
}

void CPremVvodView::ShowFormHelp()
{
    if (ShowStripPickList(*this))
        return;
    if (m_dlg && m_focusedWnd == m_dlg->Grid())
        ShowGridHelp(m_dlg->Grid()->GetFocusCell().col);
}

void CPremVvodView::ShowGridHelp(int column)
{
    switch (column) {
    case kalvor::BonusCodeColumn: PickPayKind(); break;
    case kalvor::BonusKindColumn: ShowHelpList(KindLines(), {kHintCorner, false, 320, 150}); break;
    case kalvor::BonusValueColumn:
        ShowFieldHint(QStringLiteral("Введите число в формате: РРРРРРР.КК\nНезначащие нули можно опустить."),
                      kHintCorner, 220);
        break;
    case kalvor::BonusMonthColumn: ShowHelpList(MonthBasisLines(), {kHintCorner, false, 360, 60}); break;
    case kalvor::BonusMaskColumn:
        ShowFieldHint(
            QStringLiteral("Укажите номер маски(он должен быть в пределах от 1 до 7).\nМаски используются при "
                           "вычислении премий, выраженных в процентах.Они определяют те "
                           "начисления/удержания, с которых эти проценты берутся. По умолчанию будет "
                           "выбрана нулевая маска."),
            kHintCorner, 600);
        break;
    case kalvor::BonusPeriodColumn: ShowHelpList(PaymentPeriodLines(), {kHintCorner, false, 440, 80}); break;
    case kalvor::BonusNoTaxColumn: ShowHelpList(NoYesLines(), {kHintCorner, false, 200, 60}); break;
    case kalvor::BonusCostCodeColumn: ShowProductionCostCodeHint(); break;
    case kalvor::BonusShopColumn: PickShop(); break;
    default: break;
    }
}
