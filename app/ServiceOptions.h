#pragma once
#include <QString>
#include <QStringList>

// The command line of tarnixd, and where its settings and log go. Each folder comes from its
// option, else from the environment (TARNIX_SETTINGS_DIR, TARNIX_LOG_DIR), else the user's
// usual folders, the same ones Tarnix uses.
struct ServiceOptions
{
    enum class Action
    {
        Run,
        Help,
        Version,
        Check,
        Error
    };

    Action action = Action::Run;
    QString settingsDir; // empty: the user's settings store
    QString logDir;      // empty: the user's application-data folder
    QString listen;      // the endpoint's address as given; empty: its default
    QString text;        // the help or version text, or the error
};

namespace ServiceOptionsParser {

/// arguments: the whole command line, program name first. environment: values of
/// TARNIX_SETTINGS_DIR and TARNIX_LOG_DIR in that order (empty when unset).
ServiceOptions parse(const QStringList &arguments, const QStringList &environment);
/// Points the settings store and the log at the chosen folders; before the log starts.
void applyLocations(const ServiceOptions &options);

} // namespace ServiceOptionsParser
