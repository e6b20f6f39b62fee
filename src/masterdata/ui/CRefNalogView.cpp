#include "masterdata/ui/CRefNalogView.h"

#include "grid/FldHlpGridCtrl.h"
#include "infobase/SwapFile.h"
#include "masterdata/TaxScaleBook.h"
#include "masterdata/TypedFields.h"
#include "masterdata/UnsavedBooks.h"
#include "masterdata/ui/BookGrid.h"
#include "masterdata/ui/RefBooks.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/FormSelection.h"
#include "shell/ui/KalvorMessageBox.h"
#include "values/CScan.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace kalvor::masterdata;
namespace ib = kalvor::infobase;

namespace {

CTypedEdit* SmallField(QWidget* parent, int width, InputKind kind)
{
    auto* field = new CTypedEdit(std::move(kind), parent);
    field->setFixedWidth(width);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

} // namespace

CRefNalogView::CRefNalogView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    setObjectName(QStringLiteral("CRefNalogView"));
    setStyleSheet(ReferenceBookStyleSheet());
    m_changed = TakeUnsavedBook(doc->infoBase, RefBook::TaxScales);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    auto* numberRow = new QHBoxLayout;
    auto* numberLabel = new QLabel(QStringLiteral("Номер таблицы налогообложения"), this);
    m_number = new CTypedEdit({numberLabel->text(), kalvor::WholeFigure(1, kTaxTableCount)}, this);
    m_number->LeaveFreelyWhenRefused(); // the book's number chooses the record shown
    m_number->setFixedWidth(60);
    m_number->setAlignment(Qt::AlignCenter);
    numberLabel->setBuddy(m_number);
    m_select = new QPushButton(QStringLiteral("Выбрать"), this);
    m_select->setAutoDefault(false);
    SetControl(IdNumber, m_number);
    SetControl(IdSelect, m_select);
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(m_number);
    numberRow->addWidget(m_select);
    numberRow->addStretch(1);
    layout->addLayout(numberRow);

    auto* variants = new QHBoxLayout;
    for (int variant = 0; variant < kVariants; ++variant) variants->addWidget(CreateVariantBox(variant), 1);
    layout->addLayout(variants, 1);

    m_number->installEventFilter(this);
    connect(m_select, &QPushButton::clicked, this, &CRefNalogView::SelectTable);
    EnableTableFields(false);
}

CRefNalogView::~CRefNalogView()
{
    SaveShownTable();
    WriteTables();
}

QWidget* CRefNalogView::CreateVariantBox(int variant)
{
    auto* box = new QGroupBox(QStringLiteral("Вариант %1").arg(variant + 1), this);
    auto* boxLayout = new QVBoxLayout(box);
    auto* period = new QHBoxLayout;
    auto& fields = m_fields[std::size_t(variant)];
    // The period's month and year (two digits, or four), and the flag as the file keeps it.
    const struct {
        const char* name;
        kalvor::FigureRule rule;
    } kinds[FieldsPerVariant] = {{"период с: месяц", kTaxPeriodMonthRule},
                                 {"период с: год", kTaxPeriodYearRule},
                                 {"период по: месяц", kTaxPeriodMonthRule},
                                 {"период по: год", kTaxPeriodYearRule},
                                 {"Признак перерасчета", kTaxRecalcFlagRule}};
    for (int f = 0; f < FieldsPerVariant; ++f) {
        const InputKind kind{QStringLiteral("Вариант %1, %2").arg(variant + 1).arg(QString::fromUtf8(kinds[f].name)),
                             kinds[f].rule};
        fields[std::size_t(f)] = SmallField(box, f == FirstYear || f == LastYear || f == RecalcFlag ? 40 : 36, kind);
        SetControl(IdFirstVariantField + FieldsPerVariant * variant + f, fields[std::size_t(f)]);
    }
    // The caption on a line of its own: both variants stand whole side by side at 1024 pixels.
    boxLayout->addWidget(new QLabel(QStringLiteral("Период действия шкалы"), box));
    period->addWidget(new QLabel(QStringLiteral("с"), box));
    period->addWidget(fields[FirstMonth]);
    period->addWidget(new QLabel(QStringLiteral("."), box));
    period->addWidget(fields[FirstYear]);
    period->addWidget(new QLabel(QStringLiteral("по"), box));
    period->addWidget(fields[LastMonth]);
    period->addWidget(new QLabel(QStringLiteral("."), box));
    period->addWidget(fields[LastYear]);
    period->addStretch(1);
    boxLayout->addLayout(period);
    auto* flag = new QHBoxLayout;
    flag->addWidget(new QLabel(QStringLiteral("Признак перерасчета"), box));
    flag->addWidget(fields[RecalcFlag]);
    flag->addStretch(1);
    boxLayout->addLayout(flag);

    CFldHlpGridCtrl* grid = CreateBookGrid(this, IdFirstGrid + variant, 1);
    grid->setParent(box);
    grid->SetListMode(false);
    grid->SetSingleRowSelection(false);
    SetBookGridColumns(grid,
                       BookColumns({QStringLiteral("Доход\nпревышает"), QStringLiteral("Первое\nслагаемое"),
                                    QStringLiteral("Процент\nот остатка")},
                                   kalvor::masterdata::TaxBandRules()),
                       {0.36, 0.32});
    for (int band = 0; band < kTaxBandCount; ++band) AppendBookRow(grid, QStringList());
    // The ten bands and no more.
    grid->setFixedHeight(int(grid->GetVirtualHeight()) + 2 * grid->frameWidth());
    ConnectBookGridFocus(this, grid);
    boxLayout->addWidget(grid);
    boxLayout->addStretch(1);
    m_grids[std::size_t(variant)] = grid;
    return box;
}

void CRefNalogView::OnInitialUpdate()
{
    resizeEvent(nullptr);
    FocusNumberField();
}

void CRefNalogView::resizeEvent(QResizeEvent* event)
{
    if (event)
        CCommonFormView::resizeEvent(event);
    for (CFldHlpGridCtrl* grid : m_grids) {
        const int width = grid->viewport()->width();
        grid->SetColumnWidth(0, width * 36 / 100);
        grid->SetColumnWidth(1, width * 32 / 100);
        FitBookGridColumns(grid);
    }
}

void CRefNalogView::FocusNumberField()
{
    m_number->setFocus();
    m_number->selectAll();
}

void CRefNalogView::EnableTableFields(bool enable)
{
    for (auto& fields : m_fields)
        for (QLineEdit* field : fields) field->setEnabled(enable);
    for (CFldHlpGridCtrl* grid : m_grids) grid->setEnabled(enable);
}

bool CRefNalogView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_number) {
        if (event->type() == QEvent::FocusIn) {
            GreyEntryWhileStripHasFocus(m_number, [this] { EnableTableFields(false); });
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                SelectTable();
                return true;
            }
        }
    }
    return CCommonFormView::eventFilter(watched, event);
}

void CRefNalogView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        LeaveReferenceBook(this);
        return;
    }
    CCommonFormView::keyPressEvent(event);
}

void CRefNalogView::SelectTable()
{
    if (!m_number->Read() || !ReadTypedInputs(this))
        return;
    SaveShownTable();
    m_table = int(m_number->UnitsOr(0));
    m_select->setFocus();
    FillTable();
}

void CRefNalogView::StepTable(int step)
{
    const int next = m_table + step;
    if (m_table == 0 || next < 1 || next > kTaxTableCount || !ReadTypedInputs(this))
        return;
    SaveShownTable();
    m_table = next;
    m_number->setText(QString::number(next));
    FillTable();
}

void CRefNalogView::NextElement() { StepTable(1); }

void CRefNalogView::PrevElement() { StepTable(-1); }

void CRefNalogView::FillTable()
{
    const ib::TaxTable& table = Document()->refFiles.taxTableAt(m_table);
    for (int variant = 0; variant < kVariants; ++variant) {
        const ib::TaxTable::Variant& shown = table.variants[std::size_t(variant)];
        auto& fields = m_fields[std::size_t(variant)];
        const TaxPeriodTexts first = FormatTaxPeriod(shown.first);
        const TaxPeriodTexts last = FormatTaxPeriod(shown.last);
        fields[FirstMonth]->setText(first.month);
        fields[FirstYear]->setText(first.year);
        fields[LastMonth]->setText(last.month);
        fields[LastYear]->setText(last.year);
        fields[RecalcFlag]->setText(QString::number(shown.cumulative));
        CFldHlpGridCtrl* grid = m_grids[std::size_t(variant)];
        for (int band = 0; band < kTaxBandCount; ++band) {
            const QStringList texts = TaxBandTexts(shown.scale[std::size_t(band)]);
            for (int col = 0; col < texts.size(); ++col) grid->SetItemText(band + 1, col, texts[col]);
        }
        grid->Refresh();
    }
    EnableTableFields(true);
}

void CRefNalogView::SaveShownTable()
{
    if (m_table == 0)
        return;
    ib::TaxTable& table = Document()->refFiles.taxTableAt(m_table);
    const ib::TaxTable before = table;
    for (int variant = 0; variant < kVariants; ++variant) {
        ib::TaxTable::Variant& shown = table.variants[std::size_t(variant)];
        const auto& fields = m_fields[std::size_t(variant)];
        ReadTaxBands(BookGridRows(m_grids[std::size_t(variant)]), shown.scale);
        // A field that does not read keeps the variant's period and flag.
        if (!std::all_of(fields.begin(), fields.end(), [](const CTypedEdit* f) { return f->Reading().read; }))
            continue;
        shown.first = ib::u16(ReadTaxPeriod(fields[FirstMonth]->text(), fields[FirstYear]->text(), shown.first));
        shown.last = ib::u16(ReadTaxPeriod(fields[LastMonth]->text(), fields[LastYear]->text(), shown.last));
        shown.cumulative = ib::u16(fields[RecalcFlag]->UnitsOr(shown.cumulative));
    }
    if (!(table == before))
        m_changed = true;
}

bool CRefNalogView::WriteTables()
{
    if (!m_changed)
        return true;
    try {
        Document()->refFiles.WriteNalog();
        m_changed = false;
        return true;
    } catch (const ib::InfoBaseError& error) {
        KalvorMessageBox(QString::fromUtf8(error.what()), MB_OK | MB_ICONERROR);
        RememberUnsavedBook(Document()->infoBase, RefBook::TaxScales);
        return false;
    }
}

void CRefNalogView::ShowFormHelp()
{
    for (int variant = 0; variant < kVariants; ++variant)
        if (m_focusedId == IdFirstVariantField + FieldsPerVariant * variant + RecalcFlag) {
            ShowHelpList({QStringLiteral("0|Налог взимается только за один месяц"),
                          QStringLiteral("1|Налог перерасчитывается за период с начала года")},
                         {3, false, 420, 80});
            return;
        }
    ShowFieldHint(QStringLiteral("Введите любое целое число\nв соответствии с назначением этого поля."), 3, 300);
}
