// What the window keeps between runs: its placement, the 3D view's size in
// the splitters, the settings, and the bars, in QSettings pointed at a
// temporary folder.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "session/app_state.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

class TestWindowPersistence : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
        newRun();
    }

    void closingWritesTheValuesAndANewWindowTakesThemBack()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QRect placed(screen.x() + 40, screen.y() + 30, 700, 520);
        {
            auto frame = newWindow();
            frame->setGeometry(placed);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            // The user drags the splitters.
            frame->columnSplitter()->setSizes({260, 440});
            frame->leftColumnSplitter()->setSizes({210, 250});
            QTRY_COMPARE(frame->modelView()->width(), 260);
            nettor::appState().settings.edgeIdFontSize = 30;
            nettor::appState().settings.showEdgeIds = 1;
            frame->close();
        }
        QSettings stored;
        stored.beginGroup("Settings");
        const QString pos = stored.value("WindowPos").toString();
        QVERIFY2(QRegularExpression("^-?\\d+(:-?\\d+){9}$").match(pos).hasMatch(), qPrintable(pos));
        const QStringList n = pos.split(':');
        QCOMPARE(n[0].toInt() & 2, 2); // comes back maximised when minimised from maximised
        QCOMPARE(n[1].toInt(), 1);     // shown normally
        QCOMPARE(n[8].toInt() - n[6].toInt(), placed.width());
        QCOMPARE(n[9].toInt() - n[7].toInt(), placed.height());
        QCOMPARE(stored.value("ModelWindowSize").toString(), QStringLiteral("260:210"));
        QCOMPARE(stored.value("Config").toString(), QStringLiteral("1:1:1:0:30:0:0:1:1:1:0:1:1:0"));
        stored.endGroup();

        newRun();
        auto again = newWindow();
        QCOMPARE(nettor::appState().settings.edgeIdFontSize, 30);
        QCOMPARE(nettor::appState().settings.showEdgeIds, 1);
        again->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.get()));
        QCOMPARE(again->geometry().size(), placed.size());
        QCOMPARE(again->geometry().topLeft(), QPoint(n[6].toInt(), n[7].toInt()));
        QTRY_COMPARE(again->modelView()->width(), 260);
        QTRY_COMPARE(again->modelView()->height(), 210);
    }

    void firstRunUsesTheDefaults()
    {
        auto frame = newWindow();
        QCOMPARE(nettor::appState().settings.toText(), nettor::Settings{}.toText());
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QTRY_COMPARE(frame->modelView()->width(), 320);
        QTRY_COMPARE(frame->modelView()->height(), 250);
        QVERIFY(!frame->isMaximized());
    }

    void fiveNumbersChangeOnlyTheFirstFiveFields()
    {
        store("2:1:-1:-1:-1:-1:20:20:720:520", "0:1:0:1:20", "300:200");
        auto frame = newWindow();
        QCOMPARE(QString::fromStdString(nettor::appState().settings.toText()),
                 QStringLiteral("0:1:0:0:20:0:0:1:1:1:0:1:1:0"));
    }

    void aMalformedPlacementStillReadsTheSettings()
    {
        store("12:34:garbage", "1:1:1:0:44:0:0:1:1:1:0:1:7:0", "333:222");
        auto frame = newWindow();
        const nettor::Settings& s = nettor::appState().settings;
        QCOMPARE(s.edgeIdFontSize, 44);
        QCOMPARE(s.showEdgeIds, 1);
        QCOMPARE(s.flapSize, 1); // 7 is no size
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(frame->size(), QSize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight)); // the default placement
        QTRY_COMPARE(frame->modelView()->width(), 333);

        // Closing now keeps what the user had stored.
        frame->close();
        QSettings stored;
        QCOMPARE(stored.value("Settings/Config").toString(), QStringLiteral("1:1:1:0:44:0:0:1:1:1:0:1:1:0"));
    }

    void withoutSaveOnExitTheNextRunStartsFromTheStoredSettings()
    {
        store("2:1:-1:-1:-1:-1:20:20:720:520", "1:1:1:0:16:0:0:1:1:1:0:1:1:0", "300:200");
        {
            auto frame = newWindow();
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            frame->move(frame->pos() + QPoint(15, 10));
            nettor::appState().settings.edgeIdFontSize = 60;
            nettor::appState().settings.saveOnExit = 0;
            frame->close();
            // Used for the rest of this run.
            QCOMPARE(nettor::appState().settings.edgeIdFontSize, 60);
        }
        QSettings stored;
        QCOMPARE(stored.value("Settings/Config").toString(), QStringLiteral("1:1:1:0:16:0:0:1:1:1:0:1:1:0"));
        // The placement is always saved.
        QVERIFY(stored.value("Settings/WindowPos").toString() != QStringLiteral("2:1:-1:-1:-1:-1:20:20:720:520"));

        newRun();
        auto next = newWindow();
        QCOMPARE(nettor::appState().settings.edgeIdFontSize, 16);
        QCOMPARE(nettor::appState().settings.saveOnExit, 1);
    }

    void aWindowLeftOffTheScreenComesBackOntoIt()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const int left = screen.right() + 2000;
        store(QStringLiteral("2:1:-1:-1:-1:-1:%1:%2:%3:%4")
                  .arg(left).arg(screen.top() + 10).arg(left + 500).arg(screen.top() + 410),
              std::nullopt, std::nullopt);
        auto frame = newWindow();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(frame->size(), QSize(500, 400));
        QVERIFY2(screen.contains(frame->geometry()), qPrintable(QStringLiteral("%1,%2").arg(frame->x()).arg(frame->y())));
    }

    void aMaximisedWindowComesBackMaximised()
    {
        store("2:3:-1:-1:-1:-1:20:20:620:470", std::nullopt, std::nullopt);
        auto frame = newWindow();
        QVERIFY(frame->windowState() & Qt::WindowMaximized);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->close();
        QSettings stored;
        const QStringList n = stored.value("Settings/WindowPos").toString().split(':');
        QCOMPARE(n.value(1), QStringLiteral("3"));
        // The normal rectangle it will be restored to is kept.
        QCOMPARE(n.value(8).toInt() - n.value(6).toInt(), 600);
    }

    void theBarsComeBackAsTheyWere()
    {
        {
            auto frame = newWindow();
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
            frame->action(nettor::Command::ToggleToolbar)->trigger();
            frame->action(nettor::Command::ToggleStatusBar)->trigger();
            QVERIFY(frame->toolBar()->isHidden());
            frame->close();
        }
        auto again = newWindow();
        again->show();
        QVERIFY(QTest::qWaitForWindowExposed(again.get()));
        QVERIFY(again->toolBar()->isHidden());
        QVERIFY(again->statusBar()->isHidden());
        QVERIFY(!again->action(nettor::Command::ToggleToolbar)->isChecked());
        QVERIFY(!again->action(nettor::Command::ToggleStatusBar)->isChecked());
    }

private:
    // A program start: the settings record holds its defaults.
    static void newRun()
    {
        nettor::appState().settings = nettor::Settings{};
        nettor::appState().modelViewSize = nettor::ViewSize{};
    }

    std::unique_ptr<MainWindow> newWindow() { return std::make_unique<MainWindow>(&document); }

    static void store(const std::optional<QString>& pos, const std::optional<QString>& config,
                      const std::optional<QString>& size)
    {
        QSettings stored;
        stored.beginGroup("Settings");
        if (pos) stored.setValue("WindowPos", *pos);
        if (config) stored.setValue("Config", *config);
        if (size) stored.setValue("ModelWindowSize", *size);
    }

    Document document;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("KR_Nettor");
    QApplication::setApplicationName("Nettor");
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    TestWindowPersistence test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_persistence.moc"
