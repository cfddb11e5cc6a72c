#include "gui/SourcesDialog.h"

#include "core/ColorText.h"
#include "gui/SourceEntries.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Captions as the monitor page words them, in the record's order.
const char *const captions[SensorSources::kValueCount] = {
    "CPU Temperature", "CPU Utilization", "CPU Frequency",     "CPU Power",
    "CPU Fan",         "GPU Temperature", "GPU Utilization",   "GPU Frequency",
    "GPU Power",       "GPU Fan",         "Board Temperature", "Memory Clock"};

QString rgb(const QString &colour)
{
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(ColorText::component(colour, 0))
        .arg(ColorText::component(colour, 1))
        .arg(ColorText::component(colour, 2));
}

QString sourcesSheet(const AppConfig &config)
{
    return QStringLiteral(
               "QFrame#frame_SourcesBg{ background-color: %1; border: 1px solid %2;"
               " border-radius: 12px; }\n"
               "QLabel{ color: %3; font: 10pt \"%6\"; }\n"
               "QLabel#label_SourcesTitle{ font: 75 14pt \"%6\"; }\n"
               "QLabel#label_SourcesHint{ color: %7; font: 9pt \"%6\"; }\n"
               "QComboBox{ color: %3; background-color: %4; border: 1px solid %5;"
               " border-radius: 6px; padding: 4px 10px; font: 9pt \"%6\"; }\n"
               "QComboBox:hover, QComboBox:on{ border: 1px solid %8; }\n"
               "QComboBox::drop-down{ border: none; width: 24px; }\n"
               "QComboBox::down-arrow{ image: url(:/images/mainpage/dropDown.png); width: 12px;"
               " height: 12px; }\n"
               "QComboBox QAbstractItemView{ background-color: %1; color: %3;"
               " border: 1px solid %5; selection-background-color: %8; outline: none; }\n"
               "QPushButton#pushButton_SourcesClose{ border-image: "
               "url(:/images/mainpage/closeWindowDef.png); }\n"
               "QPushButton#pushButton_SourcesClose:hover{ border-image: "
               "url(:/images/mainpage/closeWindowSel.png); }\n")
        .arg(rgb(config.MainBgColor), rgb(config.FrameBorderColor), rgb(config.DataValueTextColor),
             rgb(config.ProgressBarDefBgColor), rgb(config.FrameBorderColor), config.TextFont,
             rgb(config.RadioDefColor), rgb(config.ProgressBarStartColor));
}

} // namespace

SourcesDialog::SourcesDialog(const AppConfig &config, const QFont &font, QWidget *parent)
    : DraggedDialog(parent)
{
    setObjectName(QStringLiteral("SourcesDialog"));
    setWindowTitle(QStringLiteral("Sources"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFont(font);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame_SourcesBg"));
    frame->setStyleSheet(sourcesSheet(config));
    outer->addWidget(frame);

    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(28, 18, 22, 24);
    layout->setSpacing(14);

    auto *titleRow = new QHBoxLayout;
    auto *title = new QLabel(QStringLiteral("Sources"), frame);
    title->setObjectName(QStringLiteral("label_SourcesTitle"));
    auto *close = new QPushButton(frame);
    close->setObjectName(QStringLiteral("pushButton_SourcesClose"));
    close->setFixedSize(18, 18);
    close->setFocusPolicy(Qt::NoFocus);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(close, 0, Qt::AlignTop);
    layout->addLayout(titleRow);

    hint = new QLabel(QStringLiteral("Which reading feeds each value. A choice applies at "
                                     "once and is kept; Automatic picks the usual one."),
                      frame);
    hint->setObjectName(QStringLiteral("label_SourcesHint"));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    grid->setVerticalSpacing(8);
    grid->setColumnStretch(1, 1);
    auto addRow = [&](int row, const QString &caption, int choiceRow) {
        auto *label = new QLabel(caption, frame);
        auto *box = new QComboBox(frame);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(36);
        box->addItem(QStringLiteral("Automatic"), QString());
        connect(box, QOverload<int>::of(&QComboBox::activated), this,
                [this, choiceRow](int index) { onPicked(choiceRow, index); });
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        return box;
    };
    cardBox = addRow(0, QStringLiteral("GPU Card"), -1);
    grid->setRowMinimumHeight(1, 6);
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        valueBoxes[v] = addRow(v + 2, QLatin1String(captions[v]), v);
    layout->addLayout(grid);
    setFixedWidth(760);
}

void SourcesDialog::setChoices(const SourceChoices &choices)
{
    current = choices;
    showReport(lastReport);
}

void SourcesDialog::showReport(const SourceReport &report)
{
    lastReport = report;
    fill(cardBox, SourceEntries::forCard(report, current.gpuCard), current.gpuCard);
    for (int v = 0; v < SensorSources::kValueCount; ++v)
        fill(valueBoxes[v], SourceEntries::forValue(report, v, current.overrides[v]),
             current.overrides[v]);
}

void SourcesDialog::fill(QComboBox *box, const QVector<SourceEntry> &entries, const QString &choice)
{
    // Rebuilding an open list would pull the items from under the user's pointer.
    if (box->view()->isVisible())
        return;
    bool sameChoices = box->count() == entries.size();
    for (int i = 0; sameChoices && i < entries.size(); ++i)
        sameChoices = box->itemData(i).toString() == entries[i].choice;
    const QSignalBlocker block(box);
    if (!sameChoices) {
        box->clear();
        for (const SourceEntry &entry : entries)
            box->addItem(entry.label, entry.choice);
    } else {
        for (int i = 0; i < entries.size(); ++i)
            box->setItemText(i, entries[i].label);
    }
    const int index = box->findData(choice);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

void SourcesDialog::onPicked(int row, int index)
{
    QComboBox *box = row < 0 ? cardBox : valueBoxes[row];
    const QString choice = box->itemData(index).toString();
    QString &slot = row < 0 ? current.gpuCard : current.overrides[size_t(row)];
    if (slot == choice)
        return;
    slot = choice;
    emit sigSourcesChanged(current);
}

void SourcesDialog::showStoreFailure()
{
    hint->setText(QStringLiteral("Your choice could not be saved: it applies until Tarnix ends."));
}
