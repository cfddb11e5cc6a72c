#include "device/DeviceFrame.h"
