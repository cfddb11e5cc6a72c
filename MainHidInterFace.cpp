#include "MainHidInterFace.h"
