#include "gui/AlertsDialog.h"

#include "history/HistoryChannels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

struct AlertsDialog::Row
{
    QComboBox *value = nullptr;
    QCheckBox *enabled = nullptr;
    QLabel *direction = nullptr;
    QDoubleSpinBox *threshold = nullptr;
    QSpinBox *hold = nullptr;
    QDoubleSpinBox *margin = nullptr;
    QPushButton *remove = nullptr;
};

namespace {

QHBoxLayout *pathRow(QWidget *parent, QLineEdit *edit, bool folder)
{
    auto *row = new QHBoxLayout;
    auto *browse = new QPushButton(QStringLiteral("Browse"), parent);
    browse->setFocusPolicy(Qt::NoFocus);
    QObject::connect(browse, &QPushButton::clicked, parent, [parent, edit, folder] {
        const QString path =
            folder ? QFileDialog::getExistingDirectory(parent, QString(), edit->text())
                   : QFileDialog::getOpenFileName(parent, QString(), edit->text());
        if (!path.isEmpty())
            edit->setText(path);
    });
    row->addWidget(edit, 1);
    row->addWidget(browse);
    return row;
}

} // namespace

AlertsDialog::AlertsDialog(const AppConfig &config, const QFont &font, QWidget *parent)
    : PanelDialog(config, font, QStringLiteral("Alerts"), parent)
{
    setObjectName(QStringLiteral("AlertsDialog"));
    auto *hint = new QLabel(QStringLiteral("An alert fires once when a value stays beyond its "
                                           "threshold for the hold time, and again only after "
                                           "it came back by the margin."),
                            frame());
    hint->setObjectName(QStringLiteral("label_PanelHint"));
    hint->setWordWrap(true);
    body()->addWidget(hint);

    m_grid = new QGridLayout;
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(6);
    const QStringList heads{"Value", "On", "", "Threshold", "Hold (s)", "Margin", ""};
    for (int c = 0; c < heads.size(); ++c)
        m_grid->addWidget(new QLabel(heads[c], frame()), 0, c);
    body()->addLayout(m_grid);
    auto *add = new QPushButton(QStringLiteral("Add rule"), frame());
    add->setFocusPolicy(Qt::NoFocus);
    connect(add, &QPushButton::clicked, this, [this] {
        AlertRule rule;
        rule.threshold = 90;
        addRuleRow(rule);
    });
    body()->addWidget(add, 0, Qt::AlignLeft);

    body()->addWidget(
        new QLabel(QStringLiteral("Program to run (gets name, value, unit)"), frame()));
    m_program = new QLineEdit(frame());
    body()->addLayout(pathRow(frame(), m_program, false));

    m_recordOn = new QCheckBox(QStringLiteral("Record readings to CSV files, one a day"), frame());
    body()->addWidget(m_recordOn);
    m_folder = new QLineEdit(frame());
    m_folder->setPlaceholderText(HistorySettings::defaultRecordFolder());
    body()->addLayout(pathRow(frame(), m_folder, true));
    auto *retentionRow = new QHBoxLayout;
    retentionRow->addWidget(
        new QLabel(QStringLiteral("Keep files for (days, 0 = always)"), frame()));
    m_retention = new QSpinBox(frame());
    m_retention->setRange(0, 3650);
    retentionRow->addWidget(m_retention);
    retentionRow->addStretch(1);
    body()->addLayout(retentionRow);

    auto *buttons = new QHBoxLayout;
    m_status = new QLabel(frame());
    m_status->setObjectName(QStringLiteral("label_PanelHint"));
    auto *save = new QPushButton(QStringLiteral("Save"), frame());
    save->setObjectName(QStringLiteral("pushButton_AlertsSave"));
    connect(save, &QPushButton::clicked, this, [this] {
        emit sigSaved(alerts(), record());
        m_status->setText(QStringLiteral("Saved."));
    });
    buttons->addWidget(m_status, 1);
    buttons->addWidget(save);
    body()->addLayout(buttons);
    setMinimumWidth(720);
}

// A row's widgets belong to the frame; the row itself, which only points at them, is ours.
AlertsDialog::~AlertsDialog()
{
    qDeleteAll(m_rows);
}

void AlertsDialog::addRuleRow(const AlertRule &rule)
{
    auto *row = new Row;
    row->value = new QComboBox(frame());
    for (int c = 0; c < HistoryChannels::kCount; ++c)
        row->value->addItem(HistoryChannels::caption(c), c);
    row->value->setCurrentIndex(row->value->findData(rule.channel));
    row->enabled = new QCheckBox(frame());
    row->enabled->setChecked(rule.enabled);
    row->direction = new QLabel(frame());
    row->threshold = new QDoubleSpinBox(frame());
    row->threshold->setRange(-100000, 100000);
    row->threshold->setDecimals(1);
    row->threshold->setValue(HistoryChannels::shown(rule.channel, rule.threshold, m_celsius));
    row->hold = new QSpinBox(frame());
    row->hold->setRange(1, 3600);
    row->hold->setValue(rule.holdSeconds);
    row->margin = new QDoubleSpinBox(frame());
    row->margin->setRange(0, 100000);
    row->margin->setDecimals(1);
    // A margin is a difference: in °F it is 1.8 times the °C figure.
    row->margin->setValue(HistoryChannels::shown(rule.channel, rule.margin, m_celsius) -
                          HistoryChannels::shown(rule.channel, 0, m_celsius));
    row->remove = new QPushButton(QStringLiteral("Remove"), frame());
    row->remove->setFocusPolicy(Qt::NoFocus);
    const int line = m_grid->rowCount();
    QWidget *cells[] = {row->value, row->enabled, row->direction, row->threshold,
                        row->hold,  row->margin,  row->remove};
    for (int c = 0; c < 7; ++c)
        m_grid->addWidget(cells[c], line, c);
    m_rows << row;
    connect(row->value, QOverload<int>::of(&QComboBox::activated), this, [this] { updateUnits(); });
    connect(row->remove, &QPushButton::clicked, this,
            [this, row] { removeRuleRow(m_rows.indexOf(row)); });
    updateUnits();
}

void AlertsDialog::removeRuleRow(int index)
{
    if (index < 0)
        return;
    Row *row = m_rows.takeAt(index);
    for (QWidget *w :
         std::initializer_list<QWidget *>{row->value, row->enabled, row->direction, row->threshold,
                                          row->hold, row->margin, row->remove})
        w->deleteLater();
    delete row;
}

void AlertsDialog::updateUnits()
{
    for (Row *row : m_rows) {
        const int channel = row->value->currentData().toInt();
        const QString unit = QLatin1Char(' ') + HistoryChannels::unitSign(channel, m_celsius);
        row->direction->setText(HistoryChannels::alertsBelow(channel) ? QStringLiteral("below")
                                                                      : QStringLiteral("above"));
        row->threshold->setSuffix(unit);
        row->margin->setSuffix(unit);
    }
}

void AlertsDialog::setSettings(const AlertSettings &alerts, const RecordSettings &record,
                               bool celsius)
{
    while (!m_rows.isEmpty())
        removeRuleRow(0);
    m_celsius = celsius;
    for (const AlertRule &rule : alerts.rules)
        addRuleRow(rule);
    m_program->setText(alerts.program);
    m_recordOn->setChecked(record.enabled);
    m_folder->setText(record.folder);
    m_retention->setValue(record.retentionDays);
    m_status->clear();
}

AlertSettings AlertsDialog::alerts() const
{
    AlertSettings alerts;
    alerts.program = m_program->text().trimmed();
    for (const Row *row : m_rows) {
        AlertRule rule;
        rule.channel = row->value->currentData().toInt();
        rule.enabled = row->enabled->isChecked();
        rule.below = HistoryChannels::alertsBelow(rule.channel);
        rule.threshold = HistoryChannels::stored(rule.channel, row->threshold->value(), m_celsius);
        rule.holdSeconds = row->hold->value();
        rule.margin = HistoryChannels::stored(rule.channel, row->margin->value(), m_celsius) -
                      HistoryChannels::stored(rule.channel, 0, m_celsius);
        alerts.rules << rule;
    }
    return alerts;
}

RecordSettings AlertsDialog::record() const
{
    RecordSettings record;
    record.enabled = m_recordOn->isChecked();
    record.folder = m_folder->text().trimmed();
    record.retentionDays = m_retention->value();
    return record;
}
