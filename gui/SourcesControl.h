#pragma once
#include <QObject>

class Monitor;
class SourcesDialog;
class QWidget;
struct RefreshSnapshot;
struct SourceChoices;

// The Sources dialog's side of the monitor: opens the dialog on demand, has the sensor thread
// keep every reading only while it is open, feeds it each pass and stores the user's choices.
class SourcesControl : public QObject
{
    Q_OBJECT
public:
    SourcesControl(Monitor *monitor, QWidget *window);

    void show();
    bool isShown() const;
    // Shows this pass in the dialog, when it is open.
    void showLatest(const RefreshSnapshot &snapshot);

signals:
    // The dialog was opened or closed: whoever watches the passes may change.
    void shownChanged();

private:
    void store(const SourceChoices &choices);

    Monitor *monitor;
    QWidget *window;
    SourcesDialog *dialog = nullptr; // child of the window, built on first use
};
