#pragma once
#include "core/AppConfig.h"
#include "gui/DraggedDialog.h"
#include "sensors/SensorSources.h"

#include <QVector>

class QComboBox;
class QFont;
class QLabel;
struct SourceEntry;

// The "Sources" dialog: per value a drop-down with "Automatic" and the readings that could
// feed it, with live values, plus the GPU card. A choice takes effect at once
// (sigSourcesChanged); the controller stores it and hands it to the sensor thread.
class SourcesDialog : public DraggedDialog
{
    Q_OBJECT
public:
    SourcesDialog(const AppConfig &config, const QFont &font, QWidget *parent = nullptr);

    void setChoices(const SourceChoices &choices);
    SourceChoices choices() const { return current; }
    /// Refreshes the drop-downs from a pass; one whose list is open is left alone.
    void showReport(const SourceReport &report);
    /// Tells the user that the latest choice could not be stored (it still applies until exit).
    void showStoreFailure();

signals:
    void sigSourcesChanged(SourceChoices choices);

private:
    QLabel *hint = nullptr;
    void fill(QComboBox *box, const QVector<SourceEntry> &entries, const QString &choice);
    void onPicked(int row, int index);

    QComboBox *cardBox = nullptr;
    QComboBox *valueBoxes[SensorSources::kValueCount] = {};
    SourceChoices current;
    SourceReport lastReport;
};
