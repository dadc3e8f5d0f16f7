#include "viewer/log.h"

Q_LOGGING_CATEGORY(lcViewer, "lexora.viewer", QtWarningMsg)
