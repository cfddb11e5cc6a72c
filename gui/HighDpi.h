#pragma once

namespace HighDpi {
// Turns Qt's high-DPI scaling on, with fractional factors (125 %, 150 %) passed through
// instead of rounded, and pixmaps that carry their device pixel ratio. Qt reads these only
// while it creates the application object, so this must run before QApplication exists.
void enableBeforeApplication();
} // namespace HighDpi
