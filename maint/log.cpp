#include "maint/log.h"

Q_LOGGING_CATEGORY(lcMaint, "lexora.maint", QtWarningMsg)
