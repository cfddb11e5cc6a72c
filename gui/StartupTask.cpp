#include "gui/StartupTask.h"

#include "core/AppConfig.h"
#include "platform/StartupTask.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>

namespace {
void showErrorBox(unsigned long errorCode)
{
    QMessageBox::information(nullptr, QStringLiteral("Tip"),
                             QStringLiteral("ShellExecute error: %1").arg(errorCode),
                             QMessageBox::Ok, QMessageBox::NoButton);
}

std::function<void(unsigned long)> &errorBox()
{
    static std::function<void(unsigned long)> box = showErrorBox;
    return box;
}
} // namespace

void setLogonTaskErrorBox(std::function<void(unsigned long errorCode)> box)
{
    errorBox() = box ? std::move(box) : showErrorBox;
}

void registerLogonTask(const AppConfig &config)
{
    qDebug() << "Create Startup Task -> Start";
    const QString appName = QCoreApplication::applicationName();
    if (config.StartupTaskFlag == 1) {
        const QString taskName = appName + QStringLiteral("StartupTaskOKver---") + config.AppID;
        const QString exePath = QCoreApplication::applicationFilePath();
        const StartupTask::Result result = StartupTask::registerAtLogon(
            taskName.toStdString(), exePath.toStdString(), StartupTask::kStartFlag);
        if (!result.registered)
            errorBox()(result.errorCode);
    }
    qDebug() << "Create Startup Task -> Over";
}
