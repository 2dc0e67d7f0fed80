#pragma once

#include <QString>
#include <QVariant>

// The user's preferences (look, text zoom), kept apart from exams and history.
namespace look {

QVariant preference(const QString& key, const QVariant& fallback = {});
void setPreference(const QString& key, const QVariant& value);

// Tests keep their preferences in a file of their own; empty goes back to the user's.
void setPreferencesFile(const QString& path);

}  // namespace look
