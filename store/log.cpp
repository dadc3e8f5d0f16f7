#include "store/log.h"

Q_LOGGING_CATEGORY(lcStore, "lexora.store", QtWarningMsg)
