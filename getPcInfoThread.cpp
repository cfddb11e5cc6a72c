#include "getPcInfoThread.h"
