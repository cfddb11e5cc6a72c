#pragma once
#include "gui/PanelDialog.h"
#include "history/HistorySettings.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

// The "Alerts" dialog: one row per rule (value, on/off, threshold in the chosen unit, hold
// time, margin), the program an alert runs, and the record's folder and retention. Save
// hands the whole set over (sigSaved); thresholds leave it in °C.
class AlertsDialog : public PanelDialog
{
    Q_OBJECT
public:
    AlertsDialog(const AppConfig &config, const QFont &font, QWidget *parent = nullptr);
    ~AlertsDialog() override;

    void setSettings(const AlertSettings &alerts, const RecordSettings &record, bool celsius);
    AlertSettings alerts() const;
    RecordSettings record() const;

signals:
    void sigSaved(AlertSettings alerts, RecordSettings record);

private:
    struct Row;
    void addRuleRow(const AlertRule &rule);
    void removeRuleRow(int index);
    void updateUnits();

    QGridLayout *m_grid = nullptr;
    QVector<Row *> m_rows;
    QLineEdit *m_program = nullptr;
    QCheckBox *m_recordOn = nullptr;
    QLineEdit *m_folder = nullptr;
    QSpinBox *m_retention = nullptr;
    QLabel *m_status = nullptr;
    bool m_celsius = true;
};
