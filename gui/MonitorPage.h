#pragma once

struct RefreshSnapshot;
namespace Ui {
class DMainWidget;
}

// The monitor page's gauges, labels and bars, filled from one pass. Fed once a second all day,
// so a figure that did not change is not set again (it would cost a repaint).
namespace MonitorPage {

// Temperatures go to the gauges in Celsius; the auto-ranged bars take the pass's maxima; the
// drive figures stay as they were when the pass found no system drive.
void show(Ui::DMainWidget *ui, const RefreshSnapshot &snapshot);
// Every value widget at zero ("0", "0G/0G"), as before the first pass; the gauges keep theirs.
void reset(Ui::DMainWidget *ui);

} // namespace MonitorPage
