// The yardstick for the whole-program benchmark: an empty Qt Widgets window and nothing else,
// so the figures show what Qt and the platform plugin cost on their own.
//
//   build/bench/emptyWindow [--hidden]

#include <QApplication>
#include <QWidget>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1150, 750);
    const bool hidden = argc > 1 && std::strcmp(argv[1], "--hidden") == 0;
    if (!hidden)
        window.show();
    return app.exec();
}
