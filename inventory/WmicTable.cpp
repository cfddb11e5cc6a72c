#include "inventory/WmicTable.h"
