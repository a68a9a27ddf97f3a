#pragma once
// The program's trace: off unless QT_LOGGING_RULES="almx.app.info=true" (scripts and the
// two-process tests follow start-up and hand-overs with it).

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcAlmx)
