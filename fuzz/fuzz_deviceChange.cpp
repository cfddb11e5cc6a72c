// Hot-plug events: an action and a device path, both from the input (split at the first NUL).
#include "FuzzInput.h"
#include "device/DeviceChange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzInput::bytes(data, size);
    const int split = input.indexOf('\0');
    const QString action = QString::fromUtf8(split < 0 ? input : input.left(split));
    const QString path = split < 0 ? QString() : QString::fromUtf8(input.mid(split + 1));
    const DeviceChange change = decideDeviceChange(action, path);
    // Only the display's own add and remove events count.
    if (change != DeviceChange::None)
        FuzzInput::require(isDisplayDevicePath(path));
    if (change == DeviceChange::Arrival)
        FuzzInput::require(action == QLatin1String("add"));
    if (change == DeviceChange::Removal)
        FuzzInput::require(action == QLatin1String("remove"));
    if (isDisplayDevicePath(path))
        FuzzInput::require(path.size() >= 8);
    return 0;
}
