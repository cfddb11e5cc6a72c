#pragma once
#include <QWidget>

namespace Ui {
class DMainWidget;
}

class DMainWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DMainWidget(QWidget *parent = nullptr);
    ~DMainWidget() override;

    int showAtStartValue() const { return showMainPageUI; }

private:
    Ui::DMainWidget *ui;
    int showMainPageUI = 1;
};
