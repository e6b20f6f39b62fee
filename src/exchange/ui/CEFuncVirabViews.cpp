#include "exchange/ui/CEFuncVirabViews.h"

#include "exchange/ui/CEFuncDbfView.h"
#include "grid/GridCtrl.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/CScan.h"
#include "values/Messages.h"
#include "values/RecordFile.h"
#include "values/RoundText.h"
#include "values/Values.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtEndian>

using kalvor::exchange::VirabTaskParams;
using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;

namespace {

constexpr int kHintCorner = 3;
constexpr int kHintWidth = 300;

QString FieldText(const ControlMap& form, int id)
{
    const auto* field = form.controlAs<QLineEdit>(id);
    return field ? field->text() : QString();
}

void ShowError(QWidget* owner, const QString& text)
{
    KalvorMessageBox(text, MB_OK | MB_ICONERROR, QString::fromUtf8(kMessageCaption), owner);
}

} // namespace

// ------------------------------------------------------ write and read

CEFuncVirabFileView::CEFuncVirabFileView(int formId, const QString& title, const QString& startCaption,
                                         ThreadProc worker, CKalvorDoc* doc, QWidget* parent)
    : CExchangeTaskView(formId, PanelOutputFile, doc, parent), m_threadProc(worker)
{
    BeginForm(title);
    AddSelectionField(IdShopField, QStringLiteral("Номер цеха/отдела (по умолчанию  вся организация)"));
    AddSelectionField(IdBrigadeField, QStringLiteral("Номер бригады (по умолчанию  все бригады)"));
    AddSelectionField(IdPersonnelNumberField, QStringLiteral("Табельный номер  (по умолчанию  все работники)"));
    AddStartButton(startCaption);
    AddProgressPlace();
}

CEFuncVirabFileView::~CEFuncVirabFileView() { StopWorker(); }

void CEFuncVirabFileView::ShowFormHelp()
{
    if (m_focusedId != IdPersonnelNumberField) {
        CExchangeTaskView::ShowFormHelp();
        return;
    }
    std::array<int, 3> strip{};
    if (ReadSelectionKeys(*this, strip))
        PickEmployee(3, strip[0], strip[1], 0);
}

void CEFuncVirabFileView::OnStartButton()
{
    if (!CanStart() || !ReadForm())
        return;
    const QString path = ChooseOutputFile();
    if (path.isEmpty())
        return;
    m_fileName = path;
    StartTask();
}

QString CEFuncVirabFileView::ChooseOutputFile()
{
    return QFileDialog::getSaveFileName(this, QString(), Document()->infoBase.workFolder,
                                        QStringLiteral("DBF файлы (*.dbf);;Все файлы (*)"), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

TaskThread::Body CEFuncVirabFileView::MakeTaskBody()
{
    VirabTaskParams params;
    static_cast<kalvor::platform::TaskThreadParams&>(params) = StripParams();
    params.fileName = m_fileName;
    kalvor::PayrollDoc* doc = Document();
    const QPointer<CExchangeTaskView> view(this);
    const ThreadProc proc = m_threadProc;
    return [params, doc, view, proc](TaskContext& context) {
        return proc(context, params, *doc, WorkerBoxes(), DbfProgressSender(view, context));
    };
}

void CEFuncVirabFileView::OnWorkerDone(int result, int detail, const QString& failure)
{
    OnTaskDoneDbf(*this, m_marquee, result, detail);
    ShowTaskFailure(failure, this);
}

CEFuncVirabWriteView::CEFuncVirabWriteView(CKalvorDoc* doc, QWidget* parent)
    : CEFuncVirabFileView(FormId, QStringLiteral("Запись информации"), QStringLiteral("Запись"),
                          &kalvor::exchange::VirabWriteThreadProc, doc, parent)
{}

CEFuncVirabReadView::CEFuncVirabReadView(CKalvorDoc* doc, QWidget* parent)
    : CEFuncVirabFileView(FormId, QStringLiteral("Чтение информации"), QStringLiteral("Чтение"),
                          &kalvor::exchange::VirabReadThreadProc, doc, parent)
{}

// ------------------------------------------------------------- the viewer

namespace {

struct ShownField {
    int id;
    const char* label;
};
constexpr ShownField kShownFields[] = {
    {1077, "ФИО"},
    {IdShopField, "Цех / отдел"},
    {IdBrigadeField, "Бригада"},
    {1104, "Профессия"},
    {1105, "Разряд"},
    {1256, "Категория"},
    {1257, "Сист.оплаты"},
    {1106, "Тариф повременщика"},
    {1107, "Тариф сдельщика"},
    {1108, "Рабочих дней"},
    {1109, "Рабочих часов"},
    {1110, "Вечерних часов"},
    {1111, "Ночных часов"},
};

QString Time(int hours, int minutes) { return QStringLiteral("%1,%2").arg(hours).arg(minutes); }
QString Money(double value) { return QString::fromLatin1(kalvor::FormatFixed8(value, 2)); }

} // namespace

CEFuncVirabView::CEFuncVirabView(CKalvorDoc* doc, QWidget* parent) : CCommonFormView(FormId, doc, parent)
{
    auto* outer = new QVBoxLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Просмотр информации"), this);
    auto* form = new QGridLayout(box);
    // The file's path and the personnel number to find are typed; the record's
    // values are only shown.
    auto addField = [&](int id, const QString& label, int row, int column, kalvor::FigureRule rule, bool readOnly) {
        auto* text = new QLabel(label, box);
        CTypedEdit* field = readOnly ? ShownValueEdit(box) : new CTypedEdit({label, rule}, box);
        text->setBuddy(field);
        form->addWidget(text, row, column);
        form->addWidget(field, row, column + 1);
        SetControl(id, field);
        return field;
    };
    addField(IdFileField, QStringLiteral("Имя файла выработки"), 0, 0, kalvor::TextFigure(kPathLength), false);
    auto* browse = new QPushButton(QStringLiteral(". . ."), box);
    browse->setAutoDefault(false);
    form->addWidget(browse, 0, 2);
    SetControl(IdBrowse, browse);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    addField(IdPersonnelNumberField, QStringLiteral("Табельный номер"), 1, 0,
             kalvor::WholeFigure(0, kalvor::infobase::EmployeeListEntry::MaxPersonnelNumber), false);
    const struct {
        int id;
        const char* caption;
    } buttons[] = {{IdShow, "Просмотр"}, {IdNext, "Следующая запись"}, {IdPrevious, "Предыдущая запись"}};
    auto* row = new QHBoxLayout;
    for (const auto& spec : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(spec.caption), box);
        button->setAutoDefault(false);
        SetControl(spec.id, button);
        row->addWidget(button);
    }
    row->addStretch(1);
    form->addLayout(row, 2, 0, 1, 4);
    connect(controlAs<QPushButton>(IdShow), &QPushButton::clicked, this, [this] { OnShow(); });
    connect(controlAs<QPushButton>(IdNext), &QPushButton::clicked, this, [this] { NextElement(); });
    connect(controlAs<QPushButton>(IdPrevious), &QPushButton::clicked, this, [this] { PrevElement(); });
    int line = 3;
    for (const ShownField& shown : kShownFields) {
        addField(shown.id, QString::fromUtf8(shown.label), line, 0, kalvor::TextFigure(0), true)->setMaximumWidth(220);
        ++line;
    }
    m_grid = new CGridCtrl(box);
    m_grid->SetListMode(true);
    m_grid->SetEditable(false);
    m_grid->SetColumnCount(3);
    m_grid->SetRowCount(1);
    m_grid->SetFixedRowCount(1);
    m_grid->SetFixedColumnCount(0);
    QFont font;
    font.setFamilies(GridCtrl::ScreenFontFamilies());
    m_grid->setFont(font);
    const char* const heads[] = {"Начисления", "Сумма", "Цех"};
    for (int column = 0; column < 3; ++column) m_grid->SetItemText(0, column, QString::fromUtf8(heads[column]));
    m_grid->ExpandLastColumn();
    SetControl(IdGrid, m_grid);
    form->addWidget(m_grid, 3, 2, line - 3, 2);
    outer->addWidget(box);
}

void CEFuncVirabView::ShowFormHelp()
{
    if (m_focusedId == IdFileField) {
        ShowFieldHint(FilePathFieldHint(), kHintCorner, kHintWidth);
        return;
    }
    if (m_focusedId != IdPersonnelNumberField)
        return;
    QStringList lines;
    const auto& base = Document()->infoBase;
    for (const auto& entry : base.list)
        lines << QStringLiteral("%1|%2").arg(entry.tabN()).arg(base.shortNameOf(entry.slot));
    ShowHelpList(lines, HelpListStyle{3, false, 360, 400});
}

void CEFuncVirabView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: OnShow(); return;
    case Qt::Key_Escape:
        if (auto* frame = qobject_cast<CMainFrame*>(window())) {
            frame->SwitchView<CEmptyView>();
            frame->ShowWorkPanel(CExchangeTaskView::PanelOutputFile);
        }
        return;
    default: CCommonFormView::keyPressEvent(event);
    }
}

void CEFuncVirabView::OnBrowse()
{
    const QString path = ChooseViewedFile();
    if (!path.isEmpty())
        controlAs<QLineEdit>(IdFileField)->setText(path);
}

QString CEFuncVirabView::ChooseViewedFile()
{
    return QFileDialog::getOpenFileName(this, QString(), Document()->infoBase.workFolder,
                                        QStringLiteral("DBF файлы (*.dbf);;Все файлы (*)"));
}

void CEFuncVirabView::OnShow() { ShowRecordAt(0); }
void CEFuncVirabView::NextElement() { ShowRecordAt(1); }
void CEFuncVirabView::PrevElement() { ShowRecordAt(-1); }

void CEFuncVirabView::ShowRecordAt(int step)
{
    if (!ReadTypedInputs(this))
        return;
    auto* numberField = controlAs<CTypedEdit>(IdPersonnelNumberField);
    const int number = int(numberField->UnitsOr(0));
    if (number <= 0) {
        ShowError(this, QStringLiteral("Некорректный табельный номер"));
        numberField->selectAll();
        numberField->setFocus();
        return;
    }
    const QString path = FieldText(*this, IdFileField);
    if (!QFile::exists(path)) {
        ShowError(this, kalvor::ExchangeErrorText(44));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowError(this, QStringLiteral("Ошибка при открытии файла"));
        return;
    }
    char head[10];
    if (file.read(head, sizeof head) != qint64(sizeof head)) {
        ShowError(this, QStringLiteral("Ошибка чтения файла"));
        return;
    }
    if (head[0] != 3) {
        ShowError(this, kalvor::ExchangeErrorText(45));
        return;
    }
    const qint64 count = qFromLittleEndian<quint32>(head + 4);
    const qint64 header = qFromLittleEndian<qint16>(head + 8);
    try {
        const kalvor::FileRecordSearch found = kalvor::FindRecordInFile(number, count, header, file);
        if (!found.found) {
            ShowError(this, kalvor::ExchangeErrorText(46));
            return;
        }
        const qint64 index = found.index + step;
        if (index < 0 || index >= count)
            return;
        QByteArray record(kalvor::kOutputFileRecordSize, '\0');
        if (!file.seek(header + index * kalvor::kOutputFileRecordSize) ||
            file.read(record.data(), record.size()) != record.size()) {
            ShowError(this, QStringLiteral("Ошибка чтения файла"));
            return;
        }
        ShowRecord(record);
    } catch (const kalvor::TextError& error) {
        ShowError(this, error.message());
    }
}

void CEFuncVirabView::SetText(int id, const QString& text) { controlAs<QLineEdit>(id)->setText(text); }

void CEFuncVirabView::ShowRecord(const QByteArray& record)
{
    const kalvor::exchange::VirabRecordView shown = kalvor::exchange::ParseVirabRecord(record.constData());
    SetText(IdPersonnelNumberField, QString::number(shown.personnelNumber));
    SetText(1077, shown.shortName);
    SetText(IdShopField, QString::number(shown.shop));
    SetText(IdBrigadeField, QString::number(shown.brigade));
    SetText(1104, QString::number(shown.profession));
    SetText(1105, QString::number(shown.grade));
    SetText(1256, QString::number(shown.category));
    SetText(1257, QString::number(shown.paySystem));
    SetText(1106, Money(shown.timeTariff));
    SetText(1107, Money(shown.pieceTariff));
    SetText(1108, QString::number(shown.workedDays));
    SetText(1109, Time(shown.workedHours, shown.workedMinutes));
    SetText(1110, Time(shown.eveningHours, shown.eveningMinutes));
    SetText(1111, Time(shown.nightHours, shown.nightMinutes));
    m_grid->SetRowCount(1 + int(shown.sums.size()));
    for (int row = 0; row < int(shown.sums.size()); ++row) {
        const kalvor::exchange::VirabSlot& slot = shown.sums[std::size_t(row)];
        m_grid->SetItemText(row + 1, 0, QString::number(slot.code));
        m_grid->SetItemText(row + 1, 1, Money(slot.sum));
        m_grid->SetItemText(row + 1, 2, QString::number(slot.shop));
    }
    m_grid->viewport()->update();
}
