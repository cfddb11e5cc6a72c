#pragma once

// The arithmetic behind the round gauge's painting, kept apart so it can be checked without
// rendering anything.
namespace RoundGaugeMath {

// Degrees of the filled sector: the value itself (not its distance from the minimum) on a full
// turn per range width; negative when the gauge runs counter-clockwise. A range of zero width
// gives no sector.
double sweepAngle(double minValue, double maxValue, double value, bool clockWise);

// The centre number: as given for value type 1, Celsius turned into whole Fahrenheit for 2.
int shownNumber(int displayValue, int valueType);

// Pixel size of a centre text: `baseFactor` is 0.3 for the number and 0.15 for unit and caption;
// each step of precision shrinks it, never below 5 % of the inner circle. At least 1 pixel.
int textPixelSize(double innerSize, int precision, double baseFactor);

// Left edges of the number and the unit text relative to the inner circle's left edge; they
// move with the number of digits so the pair stays centred on a gauge of about 195 pixels.
int numberLeftOffset(int shown);
int unitLeftOffset(int shown);

} // namespace RoundGaugeMath
