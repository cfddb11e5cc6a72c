#include "dmainwidget.h"
#include "ui_dmainwidget.h"

#include "DDataManager.h"

DMainWidget::DMainWidget(QWidget *parent) : QWidget(parent), ui(new Ui::DMainWidget)
{
    ui->setupUi(this);
    showMainPageUI = DDataManager::getInstance()->getAppConfig().ShowMainPageUI;
}

DMainWidget::~DMainWidget()
{
    delete ui;
}
