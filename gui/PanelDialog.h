#pragma once
#include "core/AppConfig.h"
#include "gui/DraggedDialog.h"

class QFrame;
class QVBoxLayout;

// A frameless dialog in the window's theme, like the "Sources" dialog: a rounded frame with a
// title and a close button, dragged by any free spot. Subclasses fill body().
class PanelDialog : public DraggedDialog
{
    Q_OBJECT
public:
    PanelDialog(const AppConfig &config, const QFont &font, const QString &title,
                QWidget *parent = nullptr);

protected:
    QFrame *frame() const { return m_frame; }
    QVBoxLayout *body() const { return m_body; }

private:
    QFrame *m_frame = nullptr;
    QVBoxLayout *m_body = nullptr;
};

namespace PanelStyle {
// "rgb(r, g, b)" from a configuration colour.
QString rgb(const QString &colour);
QColor color(const QString &colour);
} // namespace PanelStyle
