#include "widgets/ProgressBarRound.h"
