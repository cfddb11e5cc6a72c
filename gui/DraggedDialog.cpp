#include "gui/DraggedDialog.h"

#include <QMouseEvent>

void DraggedDialog::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        drag.press(*this, event->globalPos());
    QDialog::mousePressEvent(event);
}

void DraggedDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        drag.follow(*this, event->globalPos());
    QDialog::mouseMoveEvent(event);
}

void DraggedDialog::mouseReleaseEvent(QMouseEvent *event)
{
    drag.release();
    QDialog::mouseReleaseEvent(event);
}
