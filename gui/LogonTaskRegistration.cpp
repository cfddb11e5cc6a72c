#include "gui/LogonTaskRegistration.h"

#include "core/AppConfig.h"
#include "platform/StartupTask.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QTimer>

namespace {
// Shown from the event loop and without one of its own: the display and the window carry on
// while the box waits for its click.
void showErrorBox(unsigned long errorCode)
{
    QTimer::singleShot(0, qApp, [errorCode] {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tip"),
                                    QStringLiteral("ShellExecute error: %1").arg(errorCode),
                                    QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
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
        if (!result.registered) {
            qDebug() << "Startup task not registered, errorCode:" << result.errorCode;
            errorBox()(result.errorCode);
        }
    }
    qDebug() << "Create Startup Task -> Over";
}
