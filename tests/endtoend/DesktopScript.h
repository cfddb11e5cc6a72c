#pragma once
#include <QString>

// A desktop with one CPU and one GPU sensor; values chosen so that every 2-byte field has a
// distinct high and low byte and fan and power cannot be mistaken for each other.
inline const QString desktopScript = QStringLiteral("sensor CPU [#0]: Test CPU\n"
                                                    "temperature 0 45.9 CPU Package\n"
                                                    "usage 0 37.6 Total CPU Usage\n"
                                                    "clock 0 4700.6 Core 0 Clock\n"
                                                    "fan 0 1234 CPU Fan\n"
                                                    "power 0 65.4 CPU Package Power\n"
                                                    "sensor GPU [#0]: Test GPU\n"
                                                    "temperature 0 61.2 GPU Temperature\n"
                                                    "usage 0 88.8 GPU Core Load\n"
                                                    "clock 0 1875.5 GPU Clock\n"
                                                    "fan 0 1650 GPU Fan1\n"
                                                    "power 0 312.5 GPU Power (Total)\n");
