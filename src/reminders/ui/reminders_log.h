#pragma once
// The reminders' trace: each alarm and its sound, on with
// QT_LOGGING_RULES="almx.reminders.info=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcReminders)
