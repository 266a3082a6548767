// The save commands as the user runs them: the save dialog, the bytes that
// reach the file (the same as nettor-cli writes for the same model and
// settings), and a failed save that leaves the old file whole.
#include "app/document.h"
#include "app/main_window.h"
#include "file_dialog_driver.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSaveCommands : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The dialogs the test answers are Qt's own, whatever desktop theme
        // the machine would otherwise hand them to.
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }
    void init()
    {
        QSettings().clear();
        out.dir = std::make_unique<QTemporaryDir>();
        nettor::appState().settings = nettor::Settings{};
        frame = std::make_unique<MainWindow>(&document);
        document.setMessageSink([this](const QString& m) { messages << m; });
        messages.clear();
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
    }
    void cleanup()
    {
        frame.reset();
        nettor::appState().replaceModel(nullptr);
    }

    void savesWriteTheBytesOfTheCommandLineTool()
    {
        const QString model = QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj");
        QVERIFY(frame->openFile(model));
        // Settings that differ from the defaults, so that both must use them.
        nettor::Settings& s = nettor::appState().settings;
        s.showEdgeIds = 1;
        s.edgeIdFontSize = 12;
        s.valleyStyle = 0;
        s.flapsBothSides = 1;
        unfoldCurrent();
        messages.clear(); // "All faces are unfolded."

        const QString eps = out.filePath("gui.eps");
        const QString nte = out.filePath("gui.nte");
        const QString obj = out.filePath("gui.obj");
        QString filter, suffix;
        answerFileDialog(eps, &filter, &suffix);
        QTest::keyClick(frame.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(filter, QStringLiteral("eps Files (*.eps)"));
        QCOMPARE(suffix, QStringLiteral("eps"));
        answerFileDialog(nte, &filter, &suffix);
        frame->action(nettor::Command::SaveCutEdges)->trigger();
        QCOMPARE(filter, QStringLiteral("To cut edge info (*.nte)"));
        QCOMPARE(suffix, QStringLiteral("nte"));
        answerFileDialog(out.filePath("gui"), &filter, &suffix); // the suffix is added
        frame->action(nettor::Command::ExportObj)->trigger();
        QCOMPARE(filter, QStringLiteral("Wavefront obj (*.obj)"));
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(" | ")));

        QProcess cli;
        cli.start(QStringLiteral(NETTOR_CLI),
                  {"unfold", model, "--settings", QString::fromStdString(s.toText()),
                   "--eps", out.filePath("cli.eps"), "--nte", out.filePath("cli.nte"), "--obj",
                   out.filePath("cli.obj")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);

        QVERIFY(readAll(eps).size() > 1000);
        QVERIFY(readAll(eps).contains("\n(1)t"));   // edge numbers are on
        QCOMPARE(readAll(eps), readAll(out.filePath("cli.eps")));
        QCOMPARE(readAll(nte), readAll(out.filePath("cli.nte")));
        // The model is named relative to the cut-edge file.
        const QList<QByteArray> nteLines = readAll(nte).split('\n');
        QVERIFY(nteLines.size() > 3);
        QVERIFY(nteLines[3].startsWith('.') && nteLines[3].endsWith("samples/house.obj"));
        QVERIFY(!readAll(obj).isEmpty());
        QCOMPARE(readAll(obj), readAll(out.filePath("cli.obj")));
        // No temporary files are left beside them.
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 6);
    }

    void thePagesLayoutSavesOneEpsFilePerPageAsTheCommandLineDoes()
    {
        const QString model = QStringLiteral(NETTOR_SAMPLES_DIR "/house.obj");
        QVERIFY(frame->openFile(model));
        unfoldCurrent();
        messages.clear(); // "All faces are unfolded."
        frame->action(nettor::Command::LayoutPages)->trigger();
        QVERIFY(nettor::appState().pagesShown());
        const int pages = nettor::appState().pagesLayout->pageCount;
        QVERIFY(pages >= 2);

        answerFileDialog(out.filePath("gui.eps"));
        frame->action(nettor::Command::SaveEps)->trigger();
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(" | ")));
        QVERIFY(!QFileInfo::exists(out.filePath("gui.eps")));

        QProcess cli;
        cli.start(QStringLiteral(NETTOR_CLI), {"unfold", model, "--layout", "pages", "--eps", out.filePath("cli.eps")});
        QVERIFY(cli.waitForFinished(60000));
        QCOMPARE(cli.exitCode(), 0);
        for (int page = 1; page <= pages; ++page) {
            const QByteArray gui = readAll(out.filePath(QStringLiteral("gui-%1.eps").arg(page)));
            QVERIFY(gui.startsWith("%!PS-Adobe"));
            QCOMPARE(gui, readAll(out.filePath(QStringLiteral("cli-%1.eps").arg(page))));
        }
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 2 * pages);
    }

    void aFolderThatCannotBeWrittenKeepsTheOldFile()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        unfoldCurrent();
        messages.clear(); // "All faces are unfolded."
        QDir(out.path()).mkdir("locked");
        const QString locked = out.filePath("locked");
        const QString old = locked + "/pattern.eps";
        {
            QFile file(old);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("the old pattern");
        }
        if (!lockFolder(locked)) QSKIP("no way to make a folder unwritable here");

        answerFileDialog(old);
        frame->action(nettor::Command::SaveEps)->trigger();
        unlockFolder(locked);
        QCOMPARE(messages, QStringList{"File open ERROR"});
        QCOMPARE(readAll(old), QByteArray("the old pattern"));
        QCOMPARE(QDir(locked).entryList(QDir::Files), QStringList{"pattern.eps"});
    }

    void commandsThatNeedAPatternWaitForIt()
    {
        QVERIFY(frame->openFile(QStringLiteral(NETTOR_SAMPLES_DIR "/cube.obj")));
        QVERIFY(!frame->action(nettor::Command::SaveEps)->isEnabled());
        QVERIFY(!frame->action(nettor::Command::ExportObj)->isEnabled());
        QVERIFY(frame->action(nettor::Command::SaveCutEdges)->isEnabled());
        // Ctrl+E does nothing yet: no dialog opens.
        bool opened = false;
        onNextModal([&](QWidget* w) {
            opened = true;
            w->close();
        });
        QTest::keyClick(frame.get(), Qt::Key_E, Qt::ControlModifier);
        QTest::qWait(100);
        QVERIFY(!opened);
        // Cancelling the dialog writes nothing.
        onNextModal([](QWidget* w) {
            if (auto* d = qobject_cast<QFileDialog*>(w)) d->reject();
        });
        frame->action(nettor::Command::SaveCutEdges)->trigger();
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), QStringList{});
        QVERIFY(messages.isEmpty());
    }

private:
    static void unfoldCurrent()
    {
        nettor::AppState& state = nettor::appState();
        state.status.busy = true;
        nettor::unfoldAll(nettor::appState(), *state.model);
        QVERIFY(state.status.finished);
    }

    // No new file can be made in the folder: its write permission taken
    // away, and for a user whom permissions do not stop, made immutable.
    static bool lockFolder(const QString& folder)
    {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (!canCreateIn(folder)) return true;
        QProcess::execute("chattr", {"+i", folder});
        if (!canCreateIn(folder)) return true;
        unlockFolder(folder);
        return false;
    }
    static void unlockFolder(const QString& folder)
    {
        if (geteuid() == 0) QProcess::execute("chattr", {"-i", folder});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    static bool canCreateIn(const QString& folder)
    {
        QFile probe(folder + "/probe");
        const bool made = probe.open(QIODevice::WriteOnly);
        if (made) probe.remove();
        return made;
    }

    struct Folder {
        std::unique_ptr<QTemporaryDir> dir;
        QString path() const { return dir->path(); }
        QString filePath(const QString& name) const { return dir->filePath(name); }
    } out;
    Document document;
    std::unique_ptr<MainWindow> frame;
    QStringList messages;
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName("KR_Nettor");
    QApplication::setApplicationName("NettorSaveTest");
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    TestSaveCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_save_commands.moc"
