#include "MachineSensors.h"

#include <algorithm>
#include <cstring>

namespace hwsensors {

void copyName(const std::string &name, char *buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const size_t length = std::min(name.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, name.data(), length);
    buffer[length] = '\0';
}

} // namespace hwsensors
