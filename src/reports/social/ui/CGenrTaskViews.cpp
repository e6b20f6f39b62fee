#include "reports/social/ui/CGenrTaskViews.h"

#include "infobase/InfoBaseDb.h"
#include "reports/social/EarningsCertificate.h"
#include "reports/social/GeneratorParameters.h"
#include "reports/social/Headcount.h"
#include "reports/social/InjuryReport.h"
#include "reports/social/PensionContributions.h"
#include "reports/social/SocialInsurance2010.h"
#include "reports/social/SocialInsurance2011.h"
#include "reports/social/SocialTaxCard.h"
#include "reports/social/ui/CGenrAmaViews.h"
#include "reports/social/ui/CGenrParamView.h"
#include "reports/social/ui/ReportEditDlg.h"
#include "reports/social/ui/RunOVPFReport.h"
#include "reports/social/ui/RunRVedFSSReport.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/CommandRegistry.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TypedInput.h"
#include "values/Values.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using kalvor::platform::TaskContext;
using kalvor::platform::TaskThread;
using kalvor::reports::GenrJob;
using kalvor::reports::GenrRun;
using kalvor::reports::GenrRunDetail;
using kalvor::reports::ReportSelection;

namespace {

// The working panel of the generator's reports.
constexpr int kGeneratorPanel = 16;
// The longest export path the form keeps.
constexpr int kExportPathLength = 120;
// The first year of the 4-FSS form from 2011.
constexpr int kForm2011Year = 2011;

QString ExportPath(const QLineEdit* field) { return field ? field->text().left(kExportPathLength) : QString(); }

} // namespace

// ---------------------------------------------------------------- the family

CGenrTaskView::CGenrTaskView(int formId, const QString& title, StripLabels labels, CKalvorDoc* doc, QWidget* parent)
    : CTaskFormView(formId, doc, parent)
{
    BeginForm(title);
    const QString suffixes[] = {
        QStringLiteral(" (по умолчанию  вся организация)"), QStringLiteral(" (по умолчанию  все бригады)"),
        QStringLiteral(" (по умолчанию  все профессии)"), QStringLiteral(" (по умолчанию  все работники)")};
    const struct {
        int id;
        const char* words;
    } strip[] = {{IdShopField, "Номер отдела"},
                 {IdBrigadeField, "Номер бригады"},
                 {IdProfessionField, "Код профессии"},
                 {IdPersonnelNumberField, "Табельный номер"}};
    for (int k = 0; k < 4; ++k)
        AddSelectionField(strip[k].id, QString::fromUtf8(strip[k].words) +
                                           (labels == StripLabels::WithDefaults ? suffixes[k] : QString()));
}

void CGenrTaskView::AddExportPathField()
{
    AddTextField(IdFileNameField, QStringLiteral("Путь для файла электронной отчетности"), kExportPathLength, 320);
}

void CGenrTaskView::FinishForm(bool withDataFileButton)
{
    AddStartButton(QStringLiteral("Печать"));
    if (withDataFileButton) {
        QPushButton* dataFile = AddStartButton(QStringLiteral("Файл итогов"), IdSecondStartButton);
        connect(dataFile, &QPushButton::clicked, this, &CGenrTaskView::OnDataFileButton);
    }
    AddProgressPlace();
}

void CGenrTaskView::LeaveFunction()
{
    auto* frame = qobject_cast<CMainFrame*>(window());
    if (!frame)
        return;
    StopWorker();
    frame->OnMainPanelTaxReports();
}

void CGenrTaskView::OnDataFileButton()
{
    if (!CanStart())
        return;
    // The dialog changes no current folder of ours: paths are kept whole.
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setDirectory(QFileInfo(Document()->TypWorkFile()).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    StartWithDataFile(dialog.selectedFiles().first());
}

void CGenrTaskView::StartWithDataFile(const QString& path)
{
    if (!CanStart() || !ReadForm())
        return;
    m_dataFilePath = path;
    StartTask();
    m_dataFilePath.clear();
}

namespace {

// The period fields: control, label, and the name a refusal gives.
struct PeriodField {
    int id;
    const char* name;
};
constexpr PeriodField kPeriodFields[] = {{IdPeriodFirstMonth, "Первый месяц отчетного периода"},
                                         {IdPeriodLastMonth, "Последний месяц отчетного периода"},
                                         {IdPeriodYear, "Отчетный год"}};

} // namespace

void CGenrTaskView::AddPeriodFields(const kalvor::reports::ReportPeriodRules& rules)
{
    const kalvor::reports::ReportPeriod period =
        kalvor::reports::OfferedReportPeriod(Document()->infoBase.config, rules);
    const int shown[] = {period.firstMonth, period.lastMonth, period.year};
    for (std::size_t k = rules.fromJanuary ? 1 : 0; k < std::size(kPeriodFields); ++k) {
        QString label = QString::fromUtf8(kPeriodFields[k].name);
        if (rules.fromJanuary && kPeriodFields[k].id == IdPeriodLastMonth)
            label += QStringLiteral(" (с января)");
        const bool year = kPeriodFields[k].id == IdPeriodYear;
        const InputKind kind{QString::fromUtf8(kPeriodFields[k].name),
                             year ? kalvor::WholeFigure(kalvor::reports::kFirstParameterYear,
                                                        kalvor::reports::kLastParameterYear)
                                  : kalvor::WholeFigure(1, 12)};
        AddField(kPeriodFields[k].id, label, kind)->setText(QString::number(shown[k]));
    }
}

bool CGenrTaskView::ReadPeriodFields(const kalvor::reports::ReportPeriodRules& rules)
{
    kalvor::reports::ReportPeriod period;
    int* values[] = {&period.firstMonth, &period.lastMonth, &period.year};
    for (std::size_t k = 0; k < std::size(kPeriodFields); ++k) {
        auto* field = controlAs<CTypedEdit>(kPeriodFields[k].id);
        if (field == nullptr)
            continue;
        if (!field->Read())
            return false;
        *values[k] = int(field->UnitsOr(0));
    }
    if (const QString refusal = kalvor::reports::ReportPeriodRefusal(period, Document()->infoBase.config, rules);
        !refusal.isEmpty()) {
        KalvorMessageBox(refusal, MB_OK | MB_ICONWARNING);
        controlAs<QLineEdit>(IdPeriodLastMonth)->setFocus();
        return false;
    }
    kalvor::reports::SetReportPeriod(Document()->infoBase.config, period, rules);
    return true;
}

ReportSelection CGenrTaskView::Selection() const
{
    ReportSelection selection;
    selection.shop = std::uint8_t(m_values.shop);
    selection.brigade = std::uint8_t(m_values.brigade);
    selection.profession = std::uint16_t(m_values.profession);
    selection.tabN = std::uint16_t(m_values.personnelNumber);
    return selection;
}

TaskThread::Body CGenrTaskView::MakeTaskBody()
{
    kalvor::infobase::KalvorDocData& doc = *Document();
    const ReportSelection selection = Selection();
    const int markedOnly = StripParams().markedOnly;
    return [&doc, selection, markedOnly, dataFile = m_dataFilePath, job = Job()](TaskContext& context) {
        return kalvor::reports::RunGenrWorker(context, doc, selection, markedOnly, dataFile, job);
    };
}

// ---------------------------------------------------------------- 414

CGenrOtchStVzPFView::CGenrOtchStVzPFView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(414, QStringLiteral("Отчетность по страховым взносам в ПФ"), StripLabels::Plain, doc, parent)
{
    // A pack field with its name as its label reads and its count's rule.
    const auto pack = [this](int id, const QString& name, int largest) {
        AddField(id, name, {name, kalvor::CountFigure(largest)});
    };
    pack(IdOrgPack, QStringLiteral("Номер пачки организации (по умолчанию 00001)"), 99'999);
    pack(IdDeptCode, QStringLiteral("Подразделение организации (по умолчанию 000000)"), 999'999);
    pack(IdDeptPack, QStringLiteral("Номер пачки подразделения (по умолчанию 00000)"), 99'999);
    AddExportPathField();
    AddPeriodFields(kalvor::reports::kPensionReport.period);
    FinishForm(true);
}

void CGenrOtchStVzPFView::ShowFormHelp()
{
    switch (m_focusedId) {
    case IdOrgPack:
    case IdDeptCode:
    case IdDeptPack: ShowFieldHint(AnyIntegerFieldHint(), 3, 300); break;
    default: CGenrTaskView::ShowFormHelp();
    }
}

bool CGenrOtchStVzPFView::ReadFormValues()
{
    CGenrTaskView::ReadFormValues();
    m_orgPackNumber = TypedValue(*this, IdOrgPack);
    m_deptCode = TypedValue(*this, IdDeptCode);
    m_deptPackNumber = TypedValue(*this, IdDeptPack);
    m_exportPath = ExportPath(controlAs<QLineEdit>(IdFileNameField));
    return ReadPeriodFields(kalvor::reports::kPensionReport.period);
}

ReportSelection CGenrOtchStVzPFView::Selection() const
{
    ReportSelection selection = CGenrTaskView::Selection();
    selection.orgPackNumber = m_orgPackNumber;
    selection.deptCode = m_deptCode;
    selection.deptPackNumber = m_deptPackNumber;
    return selection;
}

GenrJob CGenrOtchStVzPFView::Job() const
{
    GenrJob job(kalvor::reports::kPensionReport);
    job.from2010 = true;
    job.namesPeriod = true;
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        return kalvor::reports::CalcOVPF(run.selection, run.doc, run.dataFilePath, run.markedCount, run.stop, &detail);
    };
    job.loop = [exportPath = m_exportPath](const GenrRun& run) {
        return kalvor::reports::RunOVPFReport(run.workFilePath, run.selection, exportPath, run.doc);
    };
    return job;
}

// ---------------------------------------------------------------- 419

CGenrRVedFSSView::CGenrRVedFSSView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(419, QStringLiteral("Расчетная ведомость по ФСС"), StripLabels::Plain, doc, parent)
{
    AddExportPathField();
    AddPeriodFields(kalvor::reports::kFss4Report.period);
    FinishForm(true);
}

bool CGenrRVedFSSView::ReadFormValues()
{
    CGenrTaskView::ReadFormValues();
    m_exportPath = ExportPath(controlAs<QLineEdit>(IdFileNameField));
    return ReadPeriodFields(kalvor::reports::kFss4Report.period);
}

GenrJob CGenrRVedFSSView::Job() const
{
    GenrJob job(kalvor::reports::kFss4Report);
    job.from2010 = true;
    job.namesPeriod = true;
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        const bool form2011 = kalvor::reports::ResolveReportPeriod(run.doc.infoBase.config).year >= kForm2011Year;
        return form2011 ? kalvor::reports::CalcRVedFSS2011(run.selection, run.doc, run.dataFilePath, run.markedCount,
                                                           run.stop, &detail)
                        : kalvor::reports::CalcRVedFSS2010(run.selection, run.doc, run.dataFilePath, run.markedCount,
                                                           run.stop, &detail);
    };
    job.loop = [exportPath = m_exportPath](const GenrRun& run) {
        return kalvor::reports::RunRVedFSSReport(run.workFilePath, exportPath, run.doc);
    };
    return job;
}

// ---------------------------------------------------------------- 417

CGenrSSChislRabsView::CGenrSSChislRabsView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(417, QStringLiteral("Среднесписочная численность работников"), StripLabels::WithDefaults, doc,
                    parent)
{
    FinishForm(true);
}

GenrJob CGenrSSChislRabsView::Job() const
{
    GenrJob job(kalvor::reports::kHeadcountReport);
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        return kalvor::reports::GenrSSChislRabs(run.dataFilePath, run.selection, run.workFilePath, run.markedCount,
                                                run.stop, run.doc, &detail);
    };
    return job;
}

// ---------------------------------------------------------------- 420

CGenrProfTravmOtchFSSView::CGenrProfTravmOtchFSSView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(420, QStringLiteral("Отчет ФСС об использовании сумм от проф.травм"), StripLabels::WithDefaults,
                    doc, parent)
{
    FinishForm(true);
}

void CGenrProfTravmOtchFSSView::ShowFormHelp()
{
    if (m_focusedId == IdPersonnelNumberField)
        PickAllEmployees(*this);
    else
        CGenrTaskView::ShowFormHelp();
}

GenrJob CGenrProfTravmOtchFSSView::Job() const
{
    GenrJob job(kalvor::reports::kInjuryReport);
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        return kalvor::reports::GenrProfTravmOtchFSS(run.dataFilePath, run.stop, run.workFilePath, run.selection,
                                                     run.markedCount, run.doc, &detail);
    };
    return job;
}

// ---------------------------------------------------------------- 421, 452

namespace {

// The cards and the certificate save the base's configuration after a run.
void SaveConfiguration(const GenrRun& run) { kalvor::infobase::SaveConfig(run.doc.infoBase); }

} // namespace

CGenrIndKartSochNalView::CGenrIndKartSochNalView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(421, QStringLiteral("Индивидуальные карточки по социальному налогу"), StripLabels::WithDefaults,
                    doc, parent)
{
    FinishForm(false);
}

GenrJob CGenrIndKartSochNalView::Job() const
{
    GenrJob job(kalvor::reports::kSocialTaxCards);
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        return kalvor::reports::GenrIndKartSochNal(run.stop, run.selection, run.workFilePath, run.markedCount, run.doc,
                                                   &detail);
    };
    job.closing = SaveConfiguration;
    return job;
}

CGenrSpravZarp2GodaView::CGenrSpravZarp2GodaView(CKalvorDoc* doc, QWidget* parent)
    : CGenrTaskView(452, QStringLiteral("Справка о заработной плате за 2 календарных года"), StripLabels::WithDefaults,
                    doc, parent)
{
    AddPeriodLine([this] { return kalvor::reports::CertificateYearsText(Document()->infoBase.config); });
    FinishForm(false);
}

GenrJob CGenrSpravZarp2GodaView::Job() const
{
    GenrJob job(kalvor::reports::kTwoYearCertificate);
    job.build = [](const GenrRun& run, GenrRunDetail& detail) {
        return kalvor::reports::PrintSpravZarp2Goda(run.stop, run.selection, run.workFilePath, run.markedCount, run.doc,
                                                    &detail);
    };
    job.closing = SaveConfiguration;
    return job;
}

// ---------------------------------------------------------------- commands

void RegisterReportGeneratorScreens(CommandRegistry& registry)
{
    registry.AddPanel({kGeneratorPanel, QStringLiteral("Генератор налоговых отчетов"), MainPanelTaxReports});
    const QStringList menu = {QStringLiteral("Главные панели"), QStringLiteral("Генератор налоговых отчетов")};
    const struct {
        int id;
        const char* caption;
        bool inMenu;
        ViewFactory makeView;
    } commands[] = {
        {CGenrOtchStVzPFView::CommandId, "Отчетность по страховым взносам в ПФ", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrOtchStVzPFView(doc); }},
        {CGenrRVedFSSView::CommandId, "Расчетная ведомость по ФСС (форма 4-ФСС)", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrRVedFSSView(doc); }},
        {CGenrSSChislRabsView::CommandId, "Форма среднесписочной численности работников", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrSSChislRabsView(doc); }},
        {CGenrProfTravmOtchFSSView::CommandId, "Отчет ФСС об использовании сумм от проф.травм", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrProfTravmOtchFSSView(doc); }},
        {CGenrIndKartSochNalView::CommandId, "Индивидуальные карточки по социальному налогу", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrIndKartSochNalView(doc); }},
        {CGenrSpravZarp2GodaView::CommandId, "Справка о заработной плате за 2 календарных года", false,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrSpravZarp2GodaView(doc); }},
        {CGenrParamView::CommandId, "Параметры работы генератора", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrParamView(doc); }},
        {CGenrAmaOVPFView::CommandId, "Создание свода отчетности по страховым взносам", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrAmaOVPFView(doc); }},
        {CGenrAmaRVedFSSView::CommandId, "Создание свода расчетной ведомости по ФСС", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrAmaRVedFSSView(doc); }},
        {CGenrAmaSSChislRabsView::CommandId, "Свод по среднесписочной численности", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrAmaSSChislRabsView(doc); }},
        {CGenrAmaProfTravmOtchFSSView::CommandId, "Свод отчета ФСС о суммах от проф.травм", true,
         [](CKalvorDoc* doc) -> CCommonFormView* { return new CGenrAmaProfTravmOtchFSSView(doc); }},
    };
    for (const auto& entry : commands) {
        CommandInfo command;
        command.id = entry.id;
        command.caption = QString::fromUtf8(entry.caption);
        command.menuPath = entry.inMenu ? menu : QStringList();
        command.panel = kGeneratorPanel;
        command.makeView = entry.makeView;
        registry.AddCommand(command);
    }
}
