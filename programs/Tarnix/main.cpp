#include "appdata/DDataManager.h"
#include "app/EarlyStart.h"
#include "core/ApplicationName.h"
#include "gui/BringToFront.h"
#include "gui/HighDpi.h"
#include "gui/LogonTaskRegistration.h"
#include "gui/RaisedPanelStyle.h"
#include "gui/dmainwidget.h"
#include "logCollect/log_out.h"
#include "platform/CrashRestart.h"
#include "platform/ShowRequest.h"
#include "platform/SingleInstance.h"
#include "platform/StartupTask.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QSharedMemory>
#include <cstdio>
#include <cstring>

namespace {

// The daily debug log, from here on every debug message.
void startLog()
{
    InitializeLog(QString());
    qInstallMessageHandler(LogMessageHandler);
}

} // namespace

int main(int argc, char *argv[])
{
    // --help, --version, --check and the lack of a display are dealt with before Qt needs one.
    int earlyExitCode = 0;
    if (EarlyStart::handle(argc, argv, &earlyExitCode))
        return earlyExitCode;

    // The window paints with the raster engine only. Qt's GL integration on xcb would still
    // load the whole GL driver stack (tens of MB resident, all day) at start; a user who set
    // the variable keeps the choice.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");

    HighDpi::enableBeforeApplication();
    auto *app = new QApplication(argc, argv);
    HighDpi::afterApplication();
    // Qt would name the program after the command that started it; started as the installed
    // bin/tarnix symlink, the log folder and the autostart entry would then differ from those
    // of the same program started from its autostart entry or after a crash.
    QCoreApplication::setApplicationName(
        ApplicationName::fromExecutable(QCoreApplication::applicationFilePath()));

    bool startedByTask = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], StartupTask::kStartFlag) == 0) {
            startedByTask = true;
            break;
        }
    }

    auto *instanceLock = new QSharedMemory(QStringLiteral("Zorvex_V2.0"));
    SingleInstance::clearStaleSegment(*instanceLock);
    bool claimed = instanceLock->create(1, QSharedMemory::ReadWrite);
    if (!claimed) {
        // A stale segment can be found only once its key file exists again; a live copy keeps
        // its segment through this, so the second try still fails for it.
        SingleInstance::clearStaleSegment(*instanceLock);
        claimed = instanceLock->create(1, QSharedMemory::ReadWrite);
    }
    if (!claimed) {
        // Started again by the user: bring up the running copy's window instead.
        if (!startedByTask)
            ShowRequest::send();
        delete instanceLock;
        delete app;
        return -1;
    }

    CrashRestart::recordStartStamp();
    CrashRestart::install();
    // SIGTERM and the like, from here on, wait for the event loop and quit as the tray does.
    auto *termination = new TerminationSignals(app);
    termination->start();
    QApplication::setStyle(new RaisedPanelStyle);

    std::printf("%s\n", startedByTask ? "Program was started by Task Scheduler."
                                      : "Program was not started by Task Scheduler.");
    std::fflush(stdout);

    DDataManager::getInstance(); // the configuration and fonts, then the log
    startLog();
    DDataManager::getInstance()->initInfo();
    registerLogonTask(DDataManager::getInstance()->getAppConfig());

    auto *window = new DMainWidget(nullptr);
    QObject::connect(termination, &TerminationSignals::sigTerminationRequested, window,
                     &DMainWidget::onQuitApp);
    if (!startedByTask && window->showAtStartValue() == 1)
        window->show();
    else
        window->hide();

    auto *showRequests = new ShowRequestListener([window] {
        if (window->showAtStartValue() == 1)
            bringToFront(*window);
    });

    const int code = app->exec();
    delete showRequests;
    delete window;
    delete instanceLock;
    delete app;
    return code;
}
