#include "low/Low.h"
#include "../outside.h"
#include "high/High.h"
#include <vector>
