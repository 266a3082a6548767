// The document and the main window: Open through the frame with the path
// passed in, hints to the views, titles, messages and the recent-file list.
#include "app/document.h"
#include "app/information_panel.h"
#include "app/main_window.h"
#include "state/app_state.h"

#include <QApplication>
#include <QLineEdit>
#include <QFile>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char* kCube =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n"
    "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(content);
    return path;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        messages.clear();
    }
    void cleanup()
    {
        delete frame;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void openingSetsTitleAndSendsHints()
    {
        QSignalSpy hints(document, &Document::updateHint);
        const QString path = writeFile(dir, "CUBE.OBJ", kCube);
        QVERIFY(frame->openFile(path));
        QCOMPARE(hints.count(), 2);
        QCOMPARE(hints.at(0).at(0).toInt(), 16);
        QCOMPARE(hints.at(1).at(0).toInt(), 3);
        QCOMPARE(document->title(), QStringLiteral("CUBE"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("CUBE - Nettor"));
        QVERIFY(messages.isEmpty());
        QCOMPARE(frame->informationPanel()->faceCountEdit()->text(), QStringLiteral("6"));
        // The 3D view took the model up for unfolding.
        QCOMPARE(nettor::appState().status.totalFaceCount.load(), 6);
        QVERIFY(nettor::appState().status.invertAllowed.load());
    }

    void failedReadKeepsModelAndShowsMessage()
    {
        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        const nettor::Model* before = nettor::appState().model.get();
        const QString bad = writeFile(dir, "broken.obj", "v 0 0 0\nf 1 2 9\n");
        QVERIFY(!frame->openFile(bad));
        QCOMPARE(messages, QStringList{"This file could not be read."});
        QCOMPARE(nettor::appState().model.get(), before);
        QCOMPARE(frame->windowTitle(), QStringLiteral("cube - Nettor"));
        QVERIFY(!frame->recentFiles().contains(QFileInfo(bad).absoluteFilePath()));
    }

    void unknownExtensionGivesEmptyModel()
    {
        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        QVERIFY(frame->openFile(writeFile(dir, "notes.txt", "hello")));
        QCOMPARE(messages, QStringList{"Nettor can't read the specified file."});
        QVERIFY(nettor::appState().model != nullptr);
        QCOMPARE(nettor::appState().model->faceCount, 0);
        QCOMPARE(frame->windowTitle(), QStringLiteral("Nettor"));
    }

    void missingFileChangesNothing()
    {
        QVERIFY(!frame->openFile(dir.filePath("absent.obj")));
        QCOMPARE(messages, QStringList{"This file could not be read."});
        QVERIFY(nettor::appState().model == nullptr);
    }

    void recentListKeepsFourNewestWithoutDuplicates()
    {
        QStringList paths;
        for (int i = 0; i < 5; ++i) paths << writeFile(dir, QString("m%1.obj").arg(i), kCube);
        for (const QString& p : paths) QVERIFY(frame->openFile(p));
        QVERIFY(frame->openFile(paths[2]));
        const QStringList recent = frame->recentFiles();
        QCOMPARE(recent.size(), 4);
        QCOMPARE(recent[0], QFileInfo(paths[2]).absoluteFilePath());
        QCOMPARE(recent[1], QFileInfo(paths[4]).absoluteFilePath());
        QCOMPARE(recent[2], QFileInfo(paths[3]).absoluteFilePath());
        QCOMPARE(recent[3], QFileInfo(paths[1]).absoluteFilePath());

        // A new window reads the list back.
        MainWindow second(document);
        QCOMPARE(second.recentFiles(), recent);
    }

    void fileMenuHasTheCommands()
    {
        const QList<QAction*> menus = frame->menuBar()->actions();
        QVERIFY(!menus.isEmpty());
        QCOMPARE(menus.first()->text(), QStringLiteral("&File"));
        QStringList items;
        for (QAction* a : menus.first()->menu()->actions())
            if (!a->isSeparator()) items << a->text();
        QCOMPARE(items.first(), QStringLiteral("&Open...\tCtrl+O"));
        QCOMPARE(items.last(), QStringLiteral("E&xit"));
        const QString filter = MainWindow::openFilter();
        QVERIFY(filter.startsWith("Readable files (*.obj *.dxf *.rok *.mqo *.3ds *.nte *."));
        const QString others = filter.section(QStringLiteral("Other 3D models ("), 1);
        QVERIFY(others.contains("*.stl") && others.contains("*.gltf") && !others.contains("*.obj"));
    }

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("KR_Nettor");
    QApplication::setApplicationName("NettorTest");
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
