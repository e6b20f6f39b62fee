// The application object: configuration file, start-up with the login,
// creation of a new base, shut-down.
#pragma once

#include "shell/ui/CommandRegistry.h"
#include "shell/ui/KalvorConfig.h"

#include <QObject>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>

class BaseService;
struct BaseFailure;
class CKalvorDoc;
class CLoginDlg;
class CMainFrame;
class QApplication;
namespace kalvor::infobase {
class CInfoBase;
}

class CKalvorApp : public QObject {
    Q_OBJECT
public:
    // The configuration is read from configFile, or once from the former
    // file while configFile does not exist, and saved into configFile: the
    // user's settings folder's unless a test names another.
    explicit CKalvorApp(const QString& configFile = KalvorConfig::DefaultFileName(),
                        const QString& formerConfigFile = KalvorConfig::FormerFileName());
    ~CKalvorApp() override;

    using ServiceFactory =
        std::function<std::unique_ptr<BaseService>(kalvor::infobase::CInfoBase& infoBase, const QString& folder)>;
    // How the base layer over the document's information base is made
    // (default: InfoBaseService, the base files of the working folder).
    void SetServiceFactory(ServiceFactory factory) { m_serviceFactory = std::move(factory); }
    using LoginRunner = std::function<int(CLoginDlg&)>;
    // How the login dialog is run (default: modally); tests drive it themselves.
    void SetLoginRunner(LoginRunner runner) { m_loginRunner = std::move(runner); }

    using ArchiveChooser = std::function<QString(const QStringList& archives)>;
    // How the archive copy to restore is chosen (default: a list dialog);
    // an empty answer chooses none.
    void SetArchiveChooser(ArchiveChooser chooser) { m_archiveChooser = std::move(chooser); }

    // Commands of the frame; the program adds its screens before InitInstance.
    CommandRegistry& Registry() { return m_registry; }

    // Start-up steps: locale and fonts, configuration, document and frame,
    // login, opening the base, password check, showing the frame. The
    // argument list is the command line without the program's name; its one
    // argument is a database name. False when the program must end.
    bool InitInstance(const QStringList& arguments);
    // Shut-down: reference files of the "tmp" base, configuration written back
    // (with the window rectangle once the frame has been shown). Runs also
    // after a start-up that ended the program.
    void ExitInstance();

    KalvorConfig& Config() { return m_config; }
    CKalvorDoc* Document() const { return m_doc.get(); }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    BaseService* Base() const { return m_base.get(); }

    // The main panel's command: makes the base named at login from the empty
    // template and opens it.
    bool CreateBase();
    // The main panel's other command: makes the base named at login from an
    // archive copy of the month change ("archive/<base>_<yyyy>_<mm>" of the
    // working folder) and opens it. Restored as "tmp", the copy's reference
    // files are unpacked into the working folder too (the shut-down puts the
    // base's own back from their "_" copies).
    bool RestoreBase();
    // The archive copies of the working folder, in name order.
    QStringList ArchiveCopies() const;

    // The program's locale: Russian for everything but numbers (month and day
    // names of the calendars, Qt's own widgets), numbers of the C library read
    // and written with a decimal point.
    static void SetProgramLocale();

    // Qt's own texts (context menus, standard buttons) in Russian, from the
    // translations of the Qt installation; false when they are not installed.
    static bool InstallQtTranslations();

    // The program's font, 9 points, of the screens' faces
    // (GridCtrl::ScreenFontFamilies).
    static void SetUpFonts();

private:
    void RegisterShellCommands();
    bool StartUp(const QStringList& arguments);
    bool OpenChosenBase();
    // The login's check of the name: whether the base exists. A server's base
    // is reached on a worker (BaseService::Reach) while a wait window shows;
    // a failure other than a missing base counts as existing and is kept in
    // m_loginFailure for the start-up to show.
    bool CheckLoginBase(const QString& name);
    // BaseService::Reach on a worker with a wait window (at once without a server).
    BaseFailure ReachBase(const QString& name);

    QString m_configFile;
    QString m_formerConfigFile;
    KalvorConfig m_config;
    CommandRegistry m_registry;
    ServiceFactory m_serviceFactory;
    LoginRunner m_loginRunner;
    ArchiveChooser m_archiveChooser;
    std::unique_ptr<BaseService> m_base;
    std::unique_ptr<BaseFailure> m_loginFailure;
    std::unique_ptr<CKalvorDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_frameShown = false;
};

// The running application object (null outside InitInstance..destruction).
CKalvorApp* KalvorApp();

// The stored window rectangle made to fit the screen area: no larger than it
// and moved back onto it whole (a rectangle of 100000 x 100000 would take
// gigabytes of memory for the window). An empty screen area leaves it as it is.
QRect ClampToScreen(const QRect& stored, const QRect& screen);
// The primary screen's area that windows may take; empty without a screen.
QRect AvailableScreenArea();
