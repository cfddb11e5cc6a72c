#pragma once
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Prepares the daily log folder under the application-data location and removes entries
// created more than seven days ago. An empty sub-folder name is the usual call.
void InitializeLog(const QString &subFolder);

// Message handler: appends every debug message, one line each, to the day's log file.
void LogMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &msg);

namespace LogFormat {
// The file field of a log line: the text after the last backslash, when that is not the
// first character.
QString sourceFileField(const QString &file);
// One complete log line without its line end.
QString line(const QString &file, int line, const QDateTime &when, const QString &message);
// Puts the log in \a folder itself (no "logDir" below it) instead of the application-data
// location; called before InitializeLog. An empty folder restores the usual one.
void setFolder(const QString &folder);
// The log folder and the file a message written at `when` goes to.
QString folderPath();
QString filePath(const QDateTime &when);
} // namespace LogFormat
