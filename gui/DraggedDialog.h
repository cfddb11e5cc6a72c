#pragma once
#include "gui/WindowChrome.h"

#include <QDialog>

// A frameless dialog like the main window: dragged by any free spot.
class DraggedDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    WindowChrome::WindowDrag drag;
};
