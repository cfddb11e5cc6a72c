#pragma once
#include <QString>

// Colours travel as text: the INI file writes "r.g.b" or "r.g.b.a", the program keeps "r,g,b".
namespace ColorText {

// Dots become commas; a four-component colour loses its alpha. Anything else is kept as is.
QString normalize(const QString &fileValue);

// Component `index` (0 red, 1 green, 2 blue) of a "r,g,b" text; missing or not a number: 0.
int component(const QString &colorText, int index);

} // namespace ColorText
