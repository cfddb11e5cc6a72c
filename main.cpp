#include "DDataManager.h"
#include "dmainwidget.h"
#include "gui/RaisedPanelStyle.h"
#include "platform/CrashRestart.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QSharedMemory>
#include <cstdio>
#include <cstring>

namespace {
const char startupByTaskFlag[] = "---StartupByTaskMinWindow";
}

int main(int argc, char *argv[])
{
    auto *app = new QApplication(argc, argv);

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
        delete instanceLock;
        delete app;
        return -1;
    }

    CrashRestart::recordStartStamp();
    CrashRestart::install();
    QApplication::setStyle(new RaisedPanelStyle);

    bool startedByTask = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], startupByTaskFlag) == 0) {
            startedByTask = true;
            break;
        }
    }
    std::printf("%s\n", startedByTask ? "Program was started by Task Scheduler."
                                      : "Program was not started by Task Scheduler.");
    std::fflush(stdout);

    DDataManager::getInstance()->initInfo();

    auto *window = new DMainWidget(nullptr);
    if (!startedByTask && window->showAtStartValue() == 1)
        window->show();
    else
        window->hide();

    const int code = app->exec();
    delete window;
    delete instanceLock;
    delete app;
    return code;
}
