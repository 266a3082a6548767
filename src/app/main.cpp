// nettor: the paper-craft pattern designer.
#include "app/application_icon.h"
#include "app/document.h"
#include "app/gl_surface_format.h"
#include "app/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QWindow>

#include <clocale>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // The version is told before Qt looks for a display, so that a machine
    // without one can ask it too.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("nettor %s\n", NETTOR_VERSION);
            return 0;
        }
    }
    requestCompatibilityContext();

    QApplication app(argc, argv);
    // Qt takes the user's locale for everything; model files and patterns
    // always write and read numbers with a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setOrganizationName(QStringLiteral("KR_Nettor"));
    QApplication::setApplicationName(QStringLiteral("Nettor"));
    QApplication::setApplicationVersion(QStringLiteral(NETTOR_VERSION));
    setApplicationIcon();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Nettor turns a 3D polygon model into a paper-craft pattern."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A model or cut-edge file to open."));
    const QCommandLineOption quitWhenShown(
        QStringLiteral("quit-when-shown"),
        QStringLiteral("Write the window's title once the window is on the screen, and quit "
                       "(to check an installation)."));
    parser.addOption(quitWhenShown);
    parser.process(app);

    Document document;
    MainWindow frame(&document);
    frame.show();
    // Work a crashed run left behind is offered first.
    if (!parser.isSet(quitWhenShown)) QTimer::singleShot(0, &frame, [&frame] { frame.offerRecovery(); });

    // With --quit-when-shown: the title is written once the window is on
    // the screen and the file (if any) has been opened, so that it names it.
    const auto quitOnceShown = [&frame] {
        auto* poll = new QTimer(&frame);
        QObject::connect(poll, &QTimer::timeout, &frame, [&frame, poll] {
            if (!frame.windowHandle() || !frame.windowHandle()->isExposed()) return;
            poll->stop();
            std::printf("shown: %s\n", qPrintable(frame.windowTitle()));
            std::fflush(stdout);
            QApplication::quit();
        });
        poll->start(20);
    };
    const bool quit = parser.isSet(quitWhenShown);
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        const QString path = files.first();
        // Opened once the window is up, so that message boxes have a parent.
        // Reading goes on while the window keeps drawing: the title is asked
        // only when the opening has ended.
        QTimer::singleShot(0, &frame, [&frame, path, quit, quitOnceShown] {
            frame.openFile(path);
            if (quit) quitOnceShown();
        });
    } else if (quit) {
        quitOnceShown();
    }
    return app.exec();
}
