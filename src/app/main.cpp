// nettor: the paper-craft pattern designer.
#include "app/application_icon.h"
#include "app/document.h"
#include "app/gl_surface_format.h"
#include "app/main_window.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <clocale>

int main(int argc, char** argv)
{
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
    parser.process(app);

    Document document;
    MainWindow frame(&document);
    frame.show();

    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        const QString path = files.first();
        // Opened once the window is up, so that message boxes have a parent.
        QTimer::singleShot(0, &frame, [&frame, path] { frame.openFile(path); });
    }
    return app.exec();
}
