#include "endpoint/EndpointSettings.h"

#include "core/UserStore.h"

#include <QDebug>

namespace EndpointSettings {

ListenAddress listen()
{
    QString text;
    {
        const std::unique_ptr<QSettings> settings = openUserStore();
        text = settings->value(QLatin1String(kListenKey)).toString();
    }
    if (text.trimmed().isEmpty())
        return Endpoint::parseListen(QStringLiteral("off"));
    const ListenAddress address = Endpoint::parseListen(text);
    if (!address.valid)
        qDebug().noquote() << QStringLiteral("Endpoint -> %1 %2; the endpoint stays off")
                                  .arg(QLatin1String(kListenKey), address.error);
    return address;
}

} // namespace EndpointSettings
