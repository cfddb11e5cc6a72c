#pragma once
#include <QString>

// The fonts compiled into the program.
namespace AppFonts {

// Registers the font compiled in at resourcePath and returns its first family; an empty
// string, after "Failed to load font." in the log, when it cannot be read.
QString addResourceFamily(const QString &resourcePath);

} // namespace AppFonts
