#include "exchange/log.h"

Q_LOGGING_CATEGORY(lcExchange, "lexora.exchange", QtWarningMsg)
