#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The program's looks. The standard look keeps the platform's palette; the dark and
// high-contrast looks bring their own.
namespace look {

enum class Look { Standard, Dark, HighContrast };

// What the colours are drawn for: the standard look on a dark platform palette reads as dark.
enum class Scheme { Light, Dark, HighContrast };

// "standard", "dark" or "high-contrast"; nothing for any other name.
std::optional<Look> lookNamed(const QString& name);
QString nameOf(Look look);

// "--theme NAME" or "--theme=NAME" among the arguments, else the "look/theme" preference,
// else the standard look. An unknown name is reported in problem and the standard look used.
Look chosenLook(const QStringList& arguments, QString* problem = nullptr);

// Sets the application's palette for the look. Call before the first window is made.
void apply(Look look);
Look current();
Scheme scheme();

}  // namespace look
