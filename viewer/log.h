#pragma once
// The logging category of this library, "lexora.viewer": silent unless its debug messages
// are turned on (lexctl --verbose, or QT_LOGGING_RULES="lexora.*.debug=true").
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcViewer)
