// The document and the main window: Open through the frame with the path
// passed in, hints to the views, titles, messages and the recent-file list;
// every menu item with its keys and its enabling, the tool bar, the status
// bar, dropped files, panes, help and about.
#include "app/document.h"
#include "app/information_panel.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "modal_driver.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

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

QString writeFile(const QString& folder, const QString& name, const QByteArray& content)
{
    const QString path = QDir(folder).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(content);
    return path;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content)
{
    return writeFile(dir.path(), name, content);
}

} // namespace

class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { urls << url; }

public:
    QList<QUrl> urls;
};

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

    void menusHoldEveryCommandWithItsKeys()
    {
        struct Item {
            QString text;
            QList<QKeySequence> keys;
        };
        using K = QKeySequence;
        const QList<QPair<QString, QList<Item>>> expected{
            {"&File",
             {{"&Open...\tCtrl+O", {K(Qt::CTRL | Qt::Key_O)}},
              {"Open &Texture image", {}},
              {"Save Project", {K(Qt::CTRL | Qt::ALT | Qt::Key_S)}},
              {"Save Project As...", {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}},
              {"&Save unfolded pattern as EMF...", {K(Qt::CTRL | Qt::Key_S)}},
              {"Save unfolded pattern as &EPS...", {K(Qt::CTRL | Qt::Key_E)}},
              {"Save \"edges to cut\" &info", {}},
              {"Export as OB&J with pattern texture coordinates...", {}},
              {"Save unfolded pattern as P&DF...", {}},
              {"&Print...\tCtrl+P", {K(Qt::CTRL | Qt::Key_P)}},
              {"Print pre&view", {}},
              {"P&rint Setup...", {}},
              {"Print Text&ures", {}},
              {"E&xit", {}}}},
            {"&Edit",
             {{"&Invert faces", {}},
              {"&Undo the last edge pick\tCtrl+Z", {K(Qt::CTRL | Qt::Key_Z), K(Qt::ALT | Qt::Key_Backspace)}},
              // Ctrl+Z too while no edge pick can be taken back.
              {"Undo Layout Change", {K(Qt::CTRL | Qt::Key_Z)}},
              {"Redo Layout Change", {K(Qt::CTRL | Qt::Key_Y), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
              {"&Copy the unfolded pattern to Clipboard\tCtrl+C",
               {K(Qt::CTRL | Qt::Key_C), K(Qt::CTRL | Qt::Key_Insert)}}}},
            {"&View",
             {{"&Toolbar", {}},
              {"&Status bar", {}},
              {"Zoom &In", {}},
              {"Zoom &Out", {}},
              {"Scale &Up", {}},
              {"Scale &Down", {}},
              {"One Sheet", {}},
              {"Pages", {}},
              {"Page Setup...", {}},
              {"Repack pages", {}},
              {"&Display Texture", {}},
              {"Open the &textured unfolded pattern window", {}},
              {"&Setting...", {}}}},
            {"&Help", {{"&Help...", {}}, {"&About Nettor...", {}}}},
        };
        const QList<QAction*> menus = frame->menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m]->text(), expected[m].first);
            QList<QAction*> items;
            for (QAction* a : menus[m]->menu()->actions())
                if (!a->isSeparator()) items << a;
            QCOMPARE(items.size(), expected[m].second.size());
            for (int i = 0; i < items.size(); ++i) {
                QCOMPARE(items[i]->text(), expected[m].second[i].text);
                QCOMPARE(items[i]->shortcuts(), expected[m].second[i].keys);
            }
        }
        QVERIFY(action(nettor::Command::DisplayTexture)->isCheckable());
        QCOMPARE(action(nettor::Command::NextPane)->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(action(nettor::Command::PreviousPane)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
        const QString filter = MainWindow::openFilter();
        // Each entry names its patterns once; the first lists the program's
        // own formats, the formats read through Assimp have their own.
        QVERIFY(filter.startsWith("Readable files (*.obj *.dxf *.rok *.mqo *.3ds *.nte);;Wavefront (*.obj);;"
                                  "AutoCAD (*.dxf);;HexaGreat3D (*.rok);;Metasequoia (*.mqo);;3D Studio (*.3ds);;"
                                  "To cut edge info (*.nte);;Other 3D formats (*."));
        QVERIFY(MainWindow::isOpenableFile("/x/part.STL") && MainWindow::isOpenableFile("/x/a.mqo"));
        const QString others = filter.section(QStringLiteral("Other 3D formats ("), 1);
        QVERIFY(others.contains("*.stl") && others.contains("*.gltf") && !others.contains("*.obj"));
    }

    void commandsAreEnabledByTheStateOfTheModel()
    {
        const QStringList frameCommands{"&Open...\tCtrl+O", "E&xit", "&Toolbar", "&Status bar", "One Sheet",
                                        "Pages", "Page Setup...", "&Setting...", "&Help...", "&About Nettor..."};
        QCOMPARE(enabledItems(), frameCommands);

        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        QCOMPARE(enabledItems(), (frameCommands + QStringList{"Save Project", "Save Project As...", "Save \"edges to cut\" &info",
                                                    "&Invert faces"}));

        nettor::appState().status.undoAvailable = true;
        QVERIFY(enabledItems().contains("&Undo the last edge pick\tCtrl+Z"));
        nettor::appState().status.undoAvailable = false;

        unfoldCurrent();
        const QStringList finished = frameCommands + QStringList{
            "Save Project", "Save Project As...", "&Save unfolded pattern as EMF...", "Save unfolded pattern as &EPS...",
            "Save \"edges to cut\" &info", "Export as OB&J with pattern texture coordinates...",
            "Save unfolded pattern as P&DF...", "&Print...\tCtrl+P", "Print pre&view", "P&rint Setup...",
            "&Copy the unfolded pattern to Clipboard\tCtrl+C", "Zoom &In", "Zoom &Out",
            "Scale &Up", "Scale &Down"};
        QCOMPARE(enabledItems(), finished);

        // A command runs the handler set for it, from either of its keys;
        // without a handler it is disabled whatever its rule says.
        int copies = 0;
        frame->setCommandHandler(nettor::Command::CopyPattern, [&] { ++copies; });
        QVERIFY(enabledItems().contains("&Copy the unfolded pattern to Clipboard\tCtrl+C"));
        showActive();
        QTest::keyClick(frame, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(copies, 1);
        frame->setCommandHandler(nettor::Command::CopyPattern, nullptr);
        QVERIFY(!enabledItems().contains("&Copy the unfolded pattern to Clipboard\tCtrl+C"));

        // A new Open starts over: invert again, no pattern outputs.
        QVERIFY(frame->openFile(writeFile(dir, "cube2.obj", kCube)));
        QCOMPARE(enabledItems(), (frameCommands + QStringList{"Save Project", "Save Project As...",
                                                              "Save \"edges to cut\" &info", "&Invert faces"}));
    }

    void textureCommandsFollowTheTextureImage()
    {
        for (nettor::Command c : {nettor::Command::OpenTexture, nettor::Command::DisplayTexture,
                                  nettor::Command::TextureWindow})
            frame->setCommandHandler(c, [] {});
        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        QVERIFY(!enabledItems().contains("Open &Texture image")); // no texture coordinates

        const QByteArray textured = "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
                                    "f 1/1 2/2 3/3\n";
        QVERIFY(frame->openFile(writeFile(dir, "textured.obj", textured)));
        QStringList items = enabledItems();
        QVERIFY(items.contains("Open &Texture image"));
        QVERIFY(!items.contains("&Display Texture"));
        unfoldCurrent();
        QVERIFY(!enabledItems().contains("Open the &textured unfolded pattern window"));

        nettor::appState().model->textureImage = std::make_unique<nettor::TextureImage>();
        items = enabledItems();
        QVERIFY(items.contains("&Display Texture"));
        QVERIFY(items.contains("Open the &textured unfolded pattern window"));
        QVERIFY(!action(nettor::Command::DisplayTexture)->isChecked());
        nettor::appState().showTexture = true;
        frame->updateCommandStates();
        QVERIFY(action(nettor::Command::DisplayTexture)->isChecked());
    }

    void toolBarButtonsSendTheHintsOfTheirCommands()
    {
        QToolBar* bar = frame->toolBar();
        QStringList tips;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) continue;
            QVERIFY2(!a->icon().isNull(), qPrintable(a->text()));
            tips << a->toolTip();
        }
        QCOMPARE(tips, (QStringList{"Open", "Save EMF", "Undo the last edge pick", "Zoom In", "Zoom Out",
                                    "Scale Down", "Scale Up", "Copy", "Print", "About"}));

        showActive();
        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        unfoldCurrent();
        QSignalSpy hints(document, &Document::updateHint);
        for (nettor::Command c : {nettor::Command::ZoomIn, nettor::Command::ZoomOut,
                                  nettor::Command::ScaleDown, nettor::Command::ScaleUp}) {
            auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action(c)));
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QList<int> sent;
        for (const auto& h : hints) sent << h.at(0).toInt();
        QCOMPARE(sent, (QList<int>{13, 14, 12, 11}));
    }

    void undoKeysAndInvertSendTheirHints()
    {
        showActive();
        QVERIFY(frame->openFile(writeFile(dir, "cube.obj", kCube)));
        QSignalSpy hints(document, &Document::updateHint);
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier); // disabled: nothing to undo
        QCOMPARE(hints.count(), 0);
        nettor::appState().status.undoAvailable = true;
        frame->updateCommandStates();
        QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(frame, Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(hints.count(), 2);
        QCOMPARE(hints.at(0).at(0).toInt(), 15);
        QCOMPARE(hints.at(1).at(0).toInt(), 15);

        hints.clear();
        const double before = nettor::appState().model->objects[0]->faces[0]->plane.c;
        QVERIFY(before != 0.0);
        triggerFromMenu("&Edit", "&Invert faces");
        QCOMPARE(nettor::appState().model->objects[0]->faces[0]->plane.c, -before);
        QVERIFY(!hints.isEmpty());
        QCOMPARE(hints.last().at(0).toInt(), 20);
    }

    void toolbarAndStatusBarCanBeHidden()
    {
        showActive();
        auto* prompt = frame->statusBar()->findChild<QLabel*>("statusPrompt");
        QVERIFY(prompt);
        QCOMPARE(prompt->text(), QStringLiteral("Ready"));
        QVERIFY(prompt->isVisible());

        QVERIFY(action(nettor::Command::ToggleToolbar)->isChecked());
        triggerFromMenu("&View", "&Toolbar");
        QVERIFY(frame->toolBar()->isHidden());
        QVERIFY(!action(nettor::Command::ToggleToolbar)->isChecked());
        triggerFromMenu("&View", "&Status bar");
        QVERIFY(frame->statusBar()->isHidden());
        QVERIFY(!action(nettor::Command::ToggleStatusBar)->isChecked());
        triggerFromMenu("&View", "&Toolbar");
        QVERIFY(!frame->toolBar()->isHidden());
        QVERIFY(action(nettor::Command::ToggleToolbar)->isChecked());
    }

    void droppedModelOpensAndJoinsTheRecentList()
    {
        const QString path = writeFile(dir, "dropped.obj", kCube);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(frame, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(frame->windowTitle(), QStringLiteral("dropped - Nettor"));
        QCOMPARE(frame->recentFiles().value(0), QFileInfo(path).absoluteFilePath());

        // Files the Open command does not offer are refused at the door.
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(writeFile(dir, "notes.txt", "hello"))});
        QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        refused.setAccepted(false);
        QApplication::sendEvent(frame, &refused);
        QVERIFY(!refused.isAccepted());
        QVERIFY(MainWindow::isOpenableFile("/x/CUBE.NTE"));
        QVERIFY(!MainWindow::isOpenableFile("/x/cube.objx"));
        QVERIFY(messages.isEmpty());
    }

    void functionKeysMoveBetweenThePanes()
    {
        showActive();
        QWidget* panes[] = {frame->modelView(), frame->informationPanel(), frame->patternView()};
        const auto paneOfFocus = [&] {
            QWidget* f = QApplication::focusWidget();
            for (int i = 0; i < 3; ++i)
                if (f && (f == panes[i] || panes[i]->isAncestorOf(f))) return i;
            return -1;
        };
        QTest::keyClick(frame, Qt::Key_F6);
        const int first = paneOfFocus();
        QVERIFY(first >= 0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
        QCOMPARE(paneOfFocus(), (first + 1) % 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(paneOfFocus(), first);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
        QCOMPARE(paneOfFocus(), (first + 2) % 3);
    }

    void helpOpensTheManualOrSaysWhereItIs()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        // The manual lies beside the program; here beside the test.
        const QString helpPath = MainWindow::helpFilePath();
        QVERIFY(QDir().mkpath(QFileInfo(helpPath).absolutePath()));
        const bool hadManual = QFileInfo::exists(helpPath);
        if (!hadManual) QVERIFY(!writeFile(QFileInfo(helpPath).absolutePath(), "index.html", "<html></html>").isEmpty());
        triggerFromMenu("&Help", "&Help...");
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(helpPath)});
        QVERIFY(messages.isEmpty());

        // Without the manual the user is told where to look.
        const QString away = helpPath + ".away";
        QFile::remove(away);
        QVERIFY(QFile::rename(helpPath, away));
        triggerFromMenu("&Help", "&Help...");
        QVERIFY(QFile::rename(away, helpPath));
        if (!hadManual) QFile::remove(helpPath);
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(messages, QStringList{"Can't open Help file.\nSee /help/index.html with your browser."});
        QCOMPARE(catcher.urls.size(), 1);
    }

    void aboutShowsNameAndVersion()
    {
        QString shown;
        onNextModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            shown = box->windowTitle() + "|" + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        triggerFromMenu("&Help", "&About Nettor...");
        QCOMPARE(shown, QStringLiteral("About Nettor|Nettor version %1").arg(NETTOR_VERSION));
    }

private:
    QAction* action(nettor::Command c) const { return frame->action(c); }

    // Keys reach the window's shortcuts only while it is the active window.
    void showActive()
    {
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTRY_COMPARE(QApplication::activeWindow(), frame);
    }

    // The texts of the enabled items of every menu, as the user sees them
    // when each menu opens.
    QStringList enabledItems()
    {
        QStringList enabled;
        for (QAction* m : frame->menuBar()->actions()) {
            QMenu* menu = m->menu();
            menu->popup(QPoint(0, 0));
            for (QAction* a : menu->actions())
                if (!a->isSeparator() && a->isEnabled() && !recentItem(a)) enabled << a->text();
            menu->close();
        }
        // The closed menus hand the keyboard back to the window.
        (void)QTest::qWaitFor([] { return QApplication::activePopupWidget() == nullptr; });
        // In the order of the expectations: frame commands first.
        const QStringList frameFirst{"&Open...\tCtrl+O", "E&xit", "&Toolbar", "&Status bar", "One Sheet",
                                     "Pages", "Page Setup...", "&Setting...", "&Help...", "&About Nettor..."};
        QStringList ordered;
        for (const QString& t : frameFirst)
            if (enabled.removeOne(t)) ordered << t;
        return ordered + enabled;
    }
    bool recentItem(QAction* a) const
    {
        return QRegularExpression("^&[1-4] ").match(a->text()).hasMatch();
    }

    void triggerFromMenu(const QString& menuText, const QString& itemText)
    {
        for (QAction* m : frame->menuBar()->actions()) {
            if (m->text() != menuText) continue;
            QMenu* menu = m->menu();
            menu->popup(QPoint(0, 0));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            for (QAction* a : menu->actions()) {
                if (a->text() != itemText) continue;
                QVERIFY2(a->isEnabled(), qPrintable(itemText));
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                return;
            }
        }
        QFAIL(qPrintable("no menu item " + itemText));
    }

    static void unfoldCurrent()
    {
        nettor::AppState& state = nettor::appState();
        state.status.busy = true;
        nettor::unfoldAll(nettor::appState(), *state.model);
        QVERIFY(state.status.finished);
    }

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
