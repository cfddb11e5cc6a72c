#include "gui/PanelDialog.h"

#include "core/ColorText.h"

#include <QColor>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace PanelStyle {

QString rgb(const QString &colour)
{
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(ColorText::component(colour, 0))
        .arg(ColorText::component(colour, 1))
        .arg(ColorText::component(colour, 2));
}

QColor color(const QString &colour)
{
    return QColor(ColorText::component(colour, 0), ColorText::component(colour, 1),
                  ColorText::component(colour, 2));
}

} // namespace PanelStyle

namespace {

QString panelSheet(const AppConfig &config)
{
    using PanelStyle::rgb;
    return QStringLiteral(
               "QFrame#frame_PanelBg{ background-color: %1; border: 1px solid %2;"
               " border-radius: 12px; }\n"
               "QLabel, QCheckBox{ color: %3; font: 10pt \"%6\"; }\n"
               "QLabel#label_PanelTitle{ font: 75 14pt \"%6\"; }\n"
               "QLabel#label_PanelHint{ color: %7; font: 9pt \"%6\"; }\n"
               "QComboBox, QLineEdit, QSpinBox, QDoubleSpinBox{ color: %3; background-color: %4;"
               " border: 1px solid %5; border-radius: 6px; padding: 3px 8px; font: 9pt \"%6\"; }\n"
               "QComboBox:hover, QComboBox:on{ border: 1px solid %8; }\n"
               "QComboBox::drop-down{ border: none; width: 24px; }\n"
               "QComboBox::down-arrow{ image: url(:/images/mainpage/dropDown.png); width: 12px;"
               " height: 12px; }\n"
               "QComboBox QAbstractItemView{ background-color: %1; color: %3;"
               " border: 1px solid %5; selection-background-color: %8; outline: none; }\n"
               "QPushButton{ color: %3; background-color: %4; border: 1px solid %5;"
               " border-radius: 6px; padding: 4px 12px; font: 9pt \"%6\"; }\n"
               "QPushButton:hover, QPushButton:checked{ border: 1px solid %8; color: %8; }\n"
               "QPushButton#pushButton_PanelClose{ border: none; padding: 0; border-image: "
               "url(:/images/mainpage/closeWindowDef.png); }\n"
               "QPushButton#pushButton_PanelClose:hover{ border-image: "
               "url(:/images/mainpage/closeWindowSel.png); }\n")
        .arg(rgb(config.MainBgColor), rgb(config.FrameBorderColor), rgb(config.DataValueTextColor),
             rgb(config.ProgressBarDefBgColor), rgb(config.FrameBorderColor), config.TextFont,
             rgb(config.RadioDefColor), rgb(config.ProgressBarStartColor));
}

} // namespace

PanelDialog::PanelDialog(const AppConfig &config, const QFont &font, const QString &title,
                         QWidget *parent)
    : DraggedDialog(parent)
{
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(font);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("frame_PanelBg"));
    m_frame->setStyleSheet(panelSheet(config));
    outer->addWidget(m_frame);

    m_body = new QVBoxLayout(m_frame);
    m_body->setContentsMargins(28, 18, 22, 24);
    m_body->setSpacing(12);

    auto *titleRow = new QHBoxLayout;
    auto *caption = new QLabel(title, m_frame);
    caption->setObjectName(QStringLiteral("label_PanelTitle"));
    auto *close = new QPushButton(m_frame);
    close->setObjectName(QStringLiteral("pushButton_PanelClose"));
    close->setFixedSize(18, 18);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    titleRow->addWidget(caption);
    titleRow->addStretch(1);
    titleRow->addWidget(close, 0, Qt::AlignTop);
    m_body->addLayout(titleRow);
}
