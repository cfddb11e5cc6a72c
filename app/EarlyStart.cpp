#include "app/EarlyStart.h"

#include "app/FeedCheck.h"
#include "platform/DisplayServer.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

const char helpText[] =
    "Usage: Tarnix [--help] [--version] [--check]\n"
    "Shows the PC's sensor values in a window and feeds them to the USB display once a "
    "second.\n"
    "\n"
    "  --help      Show this help and exit.\n"
    "  --version   Show the version and exit.\n"
    "  --check     Say whether the display can be fed, and why not, then exit (non-zero when "
    "it cannot).\n"
    "\n"
    "Without a desktop, run tarnixd, the same program without a window (see tarnixd(8)).\n";

bool hasArgument(int argc, char *argv[], const char *wanted)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    }
    return false;
}

int runCheck(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    return FeedCheck::report(FeedCheck::gather(), out);
}

} // namespace

namespace EarlyStart {

const char *noDisplayLine()
{
    return "Tarnix: no display to show a window on; on a machine without a desktop run "
           "tarnixd, the service that feeds the USB display (tarnixd --help)";
}

bool handle(int argc, char *argv[], int *exitCode)
{
    *exitCode = 0;
    if (hasArgument(argc, argv, "--help") || hasArgument(argc, argv, "-h")) {
        std::fputs(helpText, stdout);
        return true;
    }
    if (hasArgument(argc, argv, "--version")) {
        std::printf("Tarnix %s\n", TARNIX_VERSION);
        return true;
    }
    if (hasArgument(argc, argv, "--check")) {
        *exitCode = runCheck(argc, argv);
        return true;
    }
    if (!DisplayServer::available()) {
        std::fprintf(stderr, "%s\n", noDisplayLine());
        *exitCode = 1;
        return true;
    }
    return false;
}

} // namespace EarlyStart
