#include "shell/ui/CKalvorApp.h"

#include "grid/GridTypes.h"
#include "infobase/InfoBaseDb.h"
#include "infobase/RefFiles.h"
#include "platform/Db.h"
#include "platform/FileCopy.h"
#include "platform/SavedFile.h"
#include "platform/WorkingFolder.h"
#include "shell/ui/BaseService.h"
#include "shell/ui/CInfoView.h"
#include "shell/ui/CKalvorDoc.h"
#include "shell/ui/CKeyDlg.h"
#include "shell/ui/CLoginDlg.h"
#include "shell/ui/CMainFrame.h"
#include "shell/ui/InfoBaseService.h"
#include "shell/ui/KalvorMessageBox.h"
#include "shell/ui/TaskView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <algorithm>
#include <climits>
#include <clocale>

namespace {

CKalvorApp* g_app = nullptr;

// Commands of the shell itself.
enum ShellCommand : int {
    IdCreateBase = 32771,
    IdRestoreBase = 32774,
    IdSelectionKeys = 32772,
    IdAppExit = 57665,
};
// The working panel of the base commands on main panel 0.
constexpr int kBasePanel = 20;

} // namespace

// A failure of the base layer: its message alone when it is a plain one,
// else the database error box (a refusal naming `what` was refused).
static void ShowBaseFailure(const BaseFailure& failure, const QString& what = QString())
{
    if (failure.plain)
        KalvorMessageBox(failure.message, MB_OK | MB_ICONERROR);
    else
        ShowComError(failure.ToDbError(), what);
}

CKalvorApp* KalvorApp() { return g_app; }

QRect ClampToScreen(const QRect& stored, const QRect& screen)
{
    if (screen.isEmpty())
        return stored;
    QRect r(stored.topLeft(),
            QSize(std::clamp(stored.width(), 1, screen.width()), std::clamp(stored.height(), 1, screen.height())));
    // Moved back onto the screen, whole.
    r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() + 1 - r.height()));
    return r;
}

QRect AvailableScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

CKalvorApp::CKalvorApp(const QString& configFile, const QString& formerConfigFile)
    : m_configFile(configFile), m_formerConfigFile(formerConfigFile)
{
    g_app = this;
    m_serviceFactory = [](kalvor::infobase::CInfoBase& infoBase, const QString& folder) {
        return std::make_unique<InfoBaseService>(infoBase, folder);
    };
    m_loginRunner = [](CLoginDlg& dlg) { return dlg.exec(); };
    m_archiveChooser = [this](const QStringList& archives) {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(m_frame.get(), QStringLiteral("Восстановление базы данных"),
                                                     QStringLiteral("Копия базы данных:"), archives, 0, false, &ok);
        return ok ? chosen : QString();
    };
    RegisterShellCommands();
}

CKalvorApp::~CKalvorApp()
{
    m_frame.reset();
    // The service works on the document's information base: it goes first.
    if (m_base)
        m_base->Close();
    if (m_doc)
        m_doc->SetBase(nullptr);
    m_base.reset();
    m_doc.reset();
    if (g_app == this)
        g_app = nullptr;
}

void CKalvorApp::SetUpFonts()
{
    QFont f = QApplication::font();
    f.setFamilies(GridCtrl::ScreenFontFamilies());
    f.setPointSize(9);
    QApplication::setFont(f);
}

void CKalvorApp::SetProgramLocale()
{
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8"))
        std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

bool CKalvorApp::InstallQtTranslations()
{
    static QTranslator* installed = nullptr;
    if (installed)
        return true;
    auto* texts = new QTranslator(qApp);
    if (!texts->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete texts;
        return false;
    }
    QCoreApplication::installTranslator(texts);
    installed = texts;
    return true;
}

void CKalvorApp::RegisterShellCommands()
{
    m_registry.AddPanel({kBasePanel, QStringLiteral("База данных"), MainPanelBase});

    CommandInfo create;
    create.id = IdCreateBase;
    create.caption = QStringLiteral("Создать новую базу данных");
    create.menuPath = {QStringLiteral("Файл")};
    create.panel = kBasePanel;
    create.needsBase = false;
    create.needsNoBase = true;
    create.run = [this](CMainFrame&) { CreateBase(); };
    m_registry.AddCommand(create);

    CommandInfo restore;
    restore.id = IdRestoreBase;
    restore.caption = QStringLiteral("Восстановить базу данных из архива");
    restore.menuPath = {QStringLiteral("Файл")};
    restore.panel = kBasePanel;
    restore.needsBase = false;
    restore.needsNoBase = true;
    restore.run = [this](CMainFrame&) { RestoreBase(); };
    m_registry.AddCommand(restore);

    CommandInfo keys;
    keys.id = IdSelectionKeys;
    keys.caption = QStringLiteral("Ключи выбора работников");
    keys.menuPath = {QStringLiteral("Сервис")};
    keys.panel = kBasePanel;
    keys.run = [](CMainFrame& frame) {
        CKeyDlg dlg(frame.Document(), &frame);
        dlg.exec();
    };
    m_registry.AddCommand(keys);

    CommandInfo exit;
    exit.id = IdAppExit;
    exit.caption = QStringLiteral("Выход");
    exit.menuPath = {QStringLiteral("Файл")};
    exit.needsBase = false;
    exit.run = [](CMainFrame& frame) { frame.close(); };
    m_registry.AddCommand(exit);
}

bool CKalvorApp::InitInstance(const QStringList& arguments)
{
    // Whatever goes wrong during start-up is said, never a silent end.
    try {
        return StartUp(arguments);
    } catch (const std::exception& e) {
        ShowException(e);
    }
    return false;
}

bool CKalvorApp::StartUp(const QStringList& arguments)
{
    // 1. Russian for everything but numbers; numbers with a decimal point.
    SetProgramLocale();
    InstallQtTranslations();
    SetUpFonts();

    // 2. The configuration file (kept beside the program by earlier versions).
    m_config.Load(KalvorConfig::FileToRead(m_configFile, m_formerConfigFile));

    // 4. Document, frame and first view; the command line names the base.
    m_doc = std::make_unique<CKalvorDoc>();
    m_doc->infoBase.serverName = m_config.server;
    m_doc->infoBase.engineName = m_config.engine;
    kalvor::db::ChooseEngine(m_config.server, m_config.engine);
    m_doc->setWorkFolder(m_config.path);
    m_base = m_serviceFactory(m_doc->infoBase, m_doc->infoBase.workFolder);
    m_doc->SetBase(m_base.get());
    kalvor::platform::SetWorkingFolder(m_config.path);
    // What a making or restoring of a base killed midway left behind, and
    // the temporary files of writes killed midway that no running writer holds.
    kalvor::infobase::RemoveLeftovers(m_doc->infoBase.workFolder);
    kalvor::platform::RemoveUnheldTemporaries(m_doc->infoBase.workFolder);
    kalvor::platform::RemoveUnheldTemporaries(QFileInfo(m_configFile).path());
    m_frame = std::make_unique<CMainFrame>(m_doc.get(), &m_registry);
    if (m_config.HasWindowRect())
        m_frame->setGeometry(ClampToScreen(QRect(m_config.wndPosX, m_config.wndPosY, m_config.wndCX, m_config.wndCY),
                                           AvailableScreenArea()));
    else
        m_frame->resize(1024, 700);
    m_frame->SwitchView<CInfoView>();
    const QString commandLineBase = arguments.isEmpty() ? QString() : arguments.first();
    QString offered = commandLineBase.isEmpty() ? m_config.base : commandLineBase;
    // Named nowhere: the working folder's base when it holds just one.
    if (offered.isEmpty()) {
        const QStringList names = m_base->Names();
        if (names.size() == 1)
            offered = names.first();
    }

    // 5. The login, with the frame hidden.
    m_frame->hide();
    const QString folder = m_doc->infoBase.workFolder;
    CLoginDlg login(
        offered, [this](const QString& name) { return CheckLoginBase(name); }, nullptr,
        [folder](const QString& name) { return kalvor::infobase::NewBaseNameRefusal(folder, name); });
    if (m_loginRunner(login) != QDialog::Accepted)
        return false;
    m_config.base = login.BaseName();
    // A server's base was asked for by the login already.
    const bool existed = login.BaseExists() && (kalvor::db::ServerInUse() || m_base->Exists(m_config.base));

    // 6. Names into the document; open the base when it exists.
    m_doc->infoBase.baseName = m_config.base;
    if (existed && m_loginFailure) {
        ShowBaseFailure(*m_loginFailure);
        m_frame->close();
        return false;
    }
    if (existed) {
        if (!OpenChosenBase())
            return false;
    }
    m_doc->NotifyBaseChosen();

    // 7. A wrong password ends the program without a message; a stored
    // password that is no sound hash is said to be damaged, at once.
    if (existed && kalvor::infobase::IsDamagedPasswordHash(m_base->StoredPassword())) {
        KalvorMessageBox(QStringLiteral("Пароль базы данных %1 поврежден. Вход невозможен.").arg(m_config.base),
                         MB_OK | MB_ICONERROR);
        m_base->Close();
        return false;
    }
    if (existed && !m_base->AcceptPassword(login.Password())) {
        m_base->Close();
        return false;
    }
    m_frame->show();
    m_frameShown = true;
    return true;
}

// The reference files of the working folder (tax tables, deduction and
// contribution kinds, professions...) are read once a base is open. Each file
// that is missing or damaged is named; the program goes on without its table
// (the calculation refuses to start without the files it needs).
static void ReadReferenceFiles(CKalvorDoc& doc)
{
    doc.refFiles.setFolder(doc.infoBase.workFolder);
    if (doc.refFiles.OpenAll())
        return;
    KalvorMessageBox(QStringLiteral("Не прочитаны файлы справочников:\n") +
                         doc.refFiles.Problems().join(QLatin1Char('\n')),
                     MB_OK | MB_ICONWARNING);
}

bool CKalvorApp::CheckLoginBase(const QString& name)
{
    m_loginFailure.reset();
    if (!kalvor::db::ServerInUse())
        return m_base->Exists(name);
    const BaseFailure reached = ReachBase(name);
    if (reached.failed && reached.code == kalvor::db::E_DB_NOT_FOUND)
        return false;
    if (reached.failed)
        m_loginFailure = std::make_unique<BaseFailure>(reached);
    return true;
}

BaseFailure CKalvorApp::ReachBase(const QString& name)
{
    if (!kalvor::db::ServerInUse())
        return m_base->Reach(name);
    // The connection runs on a worker; the window waits without freezing.
    BaseFailure reached = BaseFailure::Plain(QStringLiteral("Прочая ошибка"));
    RunWithWaitWindow(
        QStringLiteral("Подключение к базе данных %1...").arg(name),
        [&](const WaitProgress&) {
            reached = m_base->Reach(name);
            return !reached.failed;
        },
        m_frame.get());
    return reached;
}

bool CKalvorApp::OpenChosenBase()
{
    BaseFailure f = ReachBase(m_doc->infoBase.baseName);
    if (!f.failed)
        f = m_base->Open(m_doc->infoBase.baseName);
    if (f.failed) {
        ShowBaseFailure(f);
        m_frame->close();
        return false;
    }
    ReadReferenceFiles(*m_doc);
    return true;
}

bool CKalvorApp::CreateBase()
{
    const QString name = m_doc->infoBase.baseName;
    if (!m_base || m_base->IsOpen() || name.isEmpty())
        return false;
    // Made (and a server's base reached) on a worker; the window waits
    // without freezing.
    BaseFailure f = BaseFailure::Plain(QStringLiteral("Прочая ошибка"));
    RunWithWaitWindow(
        QStringLiteral("Создание базы данных %1...").arg(name),
        [&](const WaitProgress&) {
            f = m_base->Create(name);
            if (!f.failed)
                f = m_base->Reach(name);
            return !f.failed;
        },
        m_frame.get());
    if (f.failed) {
        ShowBaseFailure(f);
        return false;
    }
    const BaseFailure o = m_base->Open(name);
    if (o.failed) {
        ShowBaseFailure(o);
        return false;
    }
    ReadReferenceFiles(*m_doc);
    m_doc->NotifyBaseChosen();
    return true;
}

// The base's copy in an archive folder: the base file, or also the server's
// archive with a server (a base file's copy then fills a server base).
static QStringList BaseCopyPatterns()
{
    if (kalvor::db::ServerInUse())
        return {QStringLiteral("*.dump"), QStringLiteral("*.sqlite")};
    return {QStringLiteral("*.sqlite")};
}

// The copy of an archive folder to restore: the server's archive before a
// base file.
static QString BaseCopyIn(const QString& copyFolder)
{
    for (const QString& pattern : BaseCopyPatterns()) {
        const QStringList files = QDir(copyFolder).entryList({pattern}, QDir::Files, QDir::Name);
        if (!files.isEmpty())
            return copyFolder + QLatin1Char('/') + files.first();
    }
    return QString();
}

QStringList CKalvorApp::ArchiveCopies() const
{
    QStringList copies;
    const QDir archive(m_doc->infoBase.workFolder + QStringLiteral("archive"));
    for (const QString& name : archive.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (!QDir(archive.filePath(name)).entryList(BaseCopyPatterns(), QDir::Files).isEmpty())
            copies << name;
    return copies;
}

// How far a base file's copy taken onto a server is, as the wait window says it.
static kalvor::infobase::RowsCopiedReport RestoreProgressLine(const WaitProgress& progress)
{
    using Stage = kalvor::infobase::RowsCopied::Stage;
    return [progress](const kalvor::infobase::RowsCopied& done) {
        // The stages before and after the rows have no count: the bar is busy.
        if (done.stage == Stage::MakingBase)
            return progress(QStringLiteral("Создание базы данных на сервере..."), 0, 0);
        const QLocale russian(QLocale::Russian);
        const QString line = QStringLiteral("Таблица %1 из %2, перенесено строк %3 из %4")
                                 .arg(done.table)
                                 .arg(done.tables)
                                 .arg(russian.toString(done.rows), russian.toString(done.total));
        if (done.stage == Stage::Checking)
            return progress(line + QStringLiteral(". Проверка базы данных на сервере..."), 0, 0);
        progress(line, int(std::min<qint64>(done.rows, INT_MAX)), int(std::min<qint64>(done.total, INT_MAX)));
    };
}

// The reference files of an archive copy over those of the working folder.
static void UnpackReferenceFiles(const QString& copyFolder, const QString& workFolder)
{
    for (const QString& name : kalvor::infobase::CRefFiles::FileNames()) {
        const QString from = copyFolder + QLatin1Char('/') + name;
        QString why;
        if (QFile::exists(from) && !kalvor::platform::CopyFileReplacing(from, workFolder + name, &why))
            KalvorMessageBox(why, MB_OK | MB_ICONERROR);
    }
}

bool CKalvorApp::RestoreBase()
{
    const QString name = m_doc->infoBase.baseName;
    if (!m_base || m_base->IsOpen() || name.isEmpty())
        return false;
    const QStringList copies = ArchiveCopies();
    if (copies.isEmpty()) {
        KalvorMessageBox(QStringLiteral("Копий базы данных в папке \"archive\" нет"), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    const QString chosen = m_archiveChooser(copies);
    if (chosen.isEmpty())
        return false;
    const QString copyFolder = m_doc->infoBase.workFolder + QStringLiteral("archive/") + chosen;
    const QString baseFile = BaseCopyIn(copyFolder);
    // The copy (and the connection to a server's base) runs on a worker; the
    // window waits without freezing, and Esc stops a server's restore.
    BaseFailure restored = BaseFailure::Plain(QStringLiteral("Прочая ошибка"));
    bool named = false; // the restored base has taken the name
    RunWithWaitWindow(
        QStringLiteral("Восстановление базы данных %1 из копии %2...").arg(name, chosen),
        [&](const WaitProgress& progress) {
            restored = m_base->Restore(name, baseFile, RestoreProgressLine(progress));
            named = !restored.failed;
            if (!restored.failed)
                restored = m_base->Reach(name);
            return !restored.failed;
        },
        m_frame.get(), WaitWindowStop::AskedByEscape);
    // A stop that came once the base had its name (the server made the
    // rename all the same) leaves it restored, not opened.
    if (named && restored.failed && restored.code == kalvor::db::E_DB_STOPPED) {
        KalvorMessageBox(QStringLiteral("База данных %1 восстановлена: восстановление остановлено, когда она уже "
                                        "получила свое имя. Выберите ее, чтобы открыть.")
                             .arg(name),
                         MB_OK | MB_ICONINFORMATION);
        return false;
    }
    // A base restored whose opening then failed (a cut line) is not said to
    // be unrestored.
    if (restored.failed) {
        ShowBaseFailure(restored, (named ? QStringLiteral("База данных %1 восстановлена, но не открыта.")
                                         : QStringLiteral("База данных %1 не восстановлена."))
                                      .arg(name));
        return false;
    }
    if (name == QLatin1String("tmp"))
        UnpackReferenceFiles(copyFolder, m_doc->infoBase.workFolder);
    const BaseFailure opened = m_base->Open(name);
    if (opened.failed) {
        ShowBaseFailure(opened);
        return false;
    }
    ReadReferenceFiles(*m_doc);
    m_doc->NotifyBaseChosen();
    return true;
}

void CKalvorApp::ExitInstance()
{
    if (m_doc && m_doc->infoBase.baseName == QLatin1String("tmp")) {
        // A restore unpacks the reference files into the "tmp" base's folder;
        // their copies with an underscore keep the base's own. A file that
        // cannot be put back is said with its name and why.
        QStringList failed;
        for (const QString& name : kalvor::infobase::CRefFiles::FileNames()) {
            const QString target = m_config.path + name;
            const QString copy = m_config.path + QLatin1Char('_') + name;
            if (QString why; QFile::exists(copy) && !kalvor::platform::CopyFileReplacing(copy, target, &why))
                failed << why;
        }
        if (!failed.isEmpty())
            KalvorMessageBox(QStringLiteral("Справочники базы не восстановлены из копий.\n") +
                                 failed.join(QLatin1Char('\n')),
                             MB_OK | MB_ICONERROR);
    }
    if (m_frame && m_frameShown) {
        const QRect r =
            m_frame->isMaximized() || m_frame->isMinimized() ? m_frame->normalGeometry() : m_frame->geometry();
        m_config.wndPosX = r.x();
        m_config.wndPosY = r.y();
        m_config.wndCX = r.width();
        m_config.wndCY = r.height();
    }
    // Settings that could not be kept are said before the program ends.
    QString unsaved;
    if (!m_config.Save(m_configFile, &unsaved))
        KalvorMessageBox(QStringLiteral("Настройки программы не сохранены.\n") + unsaved, MB_OK | MB_ICONERROR);
    if (m_base)
        m_base->Close();
}
