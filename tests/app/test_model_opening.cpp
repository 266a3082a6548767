// Open reads on a worker thread: a reading that takes long shows a progress
// dialog while the window goes on painting; its Cancel keeps the model that
// was current, and the reading's late result is dropped. The file is a
// named pipe whose bytes the test gives when it likes, so the reading lasts
// exactly as long as the test wants; the progress delay is set to nothing.
#include "app/document.h"
#include "app/information_panel.h"
#include "app/model_opening.h"
#include "app_test_helpers.h"
#include "modal_driver.h"
#include "session/app_state.h"
#include "support/shape_generators.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// A model file whose bytes arrive when give() is called: until then a
// reader waits in it.
class HeldFile {
public:
    explicit HeldFile(const QString& path) : path_(path)
    {
        QFile::remove(path);
        const QByteArray name = QFile::encodeName(path);
        // Read and write: the open does not wait, and a reader sees no end
        // of the file until it is closed.
        if (::mkfifo(name.constData(), 0600) == 0) fd_ = ::open(name.constData(), O_RDWR);
    }
    ~HeldFile()
    {
        if (fd_ >= 0) ::close(fd_);
        QFile::remove(path_);
    }
    bool ok() const { return fd_ >= 0; }
    void give(const std::string& bytes)
    {
        std::size_t done = 0;
        while (fd_ >= 0 && done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    QString path_;
    int fd_ = -1;
};

} // namespace

class TestModelOpening : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    QWidget* window = nullptr;
    InformationPanel* panel = nullptr;
    QStringList messages;
    QString cubePath;

private slots:
    void initTestCase() { qputenv("NETTOR_READ_PROGRESS_DELAY_MS", "0"); }

    void init()
    {
        nettor::appState().replaceModel(nullptr);
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        window = new QWidget;
        auto* layout = new QHBoxLayout(window);
        panel = new InformationPanel(window);
        layout->addWidget(panel);
        connect(document, &Document::updateHint, panel, &InformationPanel::onUpdateHint);
        document->setDialogParent(window);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        cubePath = apptest::writeObj(dir, "cube.obj", nettor::test::boxSpec());
        QVERIFY(document->openPath(cubePath));
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("6"));
        messages.clear();
    }
    void cleanup()
    {
        delete window;
        delete document;
        nettor::appState().replaceModel(nullptr);
    }

    void cancelKeepsTheModelThatWasCurrent()
    {
        HeldFile held(dir.filePath("held.obj"));
        QVERIFY(held.ok());
        nettor::Model* before = nettor::appState().model.get();

        QString dialogName;
        int paintsWhileReading = 0;
        onNextModal([&](QWidget* dialog) {
            // Whatever the checks below find, Cancel is pressed: a failed
            // check must not leave the test waiting for a reading that never ends.
            const auto pressCancel = qScopeGuard([dialog] {
                if (auto* button = dialog->findChild<QPushButton*>(); button && dialog->isVisible()) button->click();
            });
            dialogName = dialog->objectName();
            // The window behind the dialog still paints.
            PaintCounter paints(panel->faceCountEdit());
            panel->faceCountEdit()->update();
            QTRY_VERIFY(paints.count > 0);
            paintsWhileReading = paints.count;
            auto* cancel = dialog->findChild<QPushButton*>();
            QVERIFY(cancel);
            QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
            QTest::mouseClick(cancel, Qt::LeftButton);
        });
        // Should the dialog not be seen in time, it is cancelled all the
        // same, and the test fails on it instead of waiting for ever.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                if (auto* button = modal->findChild<QPushButton*>()) button->click();
        });
        guard.start(30000);
        QVERIFY(!document->openPath(dir.filePath("held.obj")));

        QCOMPARE(dialogName, QStringLiteral("readingProgress"));
        QVERIFY(paintsWhileReading > 0);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(nettor::appState().model.get(), before);
        QCOMPARE(QString::fromStdString(before->filePath), cubePath);
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("6"));
        QVERIFY(messages.isEmpty());
        QCOMPARE(document->opening()->abandonedReadings(), 1);

        // The bytes come after all (fewer than the pipe holds, as nobody
        // reads past the first of them now): the reading ends and is dropped.
        held.give(nettor::test::toObjText(nettor::test::subdividedSphereSpec(2)));
        QTRY_COMPARE(document->opening()->abandonedReadings(), 0);
        QCoreApplication::processEvents();
        QCOMPARE(nettor::appState().model.get(), before);
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("6"));
        QVERIFY(messages.isEmpty());

        // And the next Open reads as ever.
        const QString sphere = apptest::writeObj(dir, "sphere.obj", nettor::test::subdividedSphereSpec(3));
        QVERIFY(document->openPath(sphere));
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("1280"));
    }

    void aLongReadingShowsItsProgressAndThenTheModel()
    {
        HeldFile held(dir.filePath("slow.obj"));
        QVERIFY(held.ok());
        bool shown = false;
        const std::string text = nettor::test::toObjText(nettor::test::subdividedSphereSpec(4));
        onNextModal([&](QWidget* dialog) {
            shown = qobject_cast<QProgressDialog*>(dialog) && dialog->isVisible();
            held.give(text);
        });
        // Should the dialog never be seen, the bytes still come, and the
        // test fails on it instead of waiting for ever.
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] { held.give(text); });
        guard.start(30000);
        QVERIFY(document->openPath(dir.filePath("slow.obj")));
        QVERIFY(shown);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(panel->faceCountEdit()->text(), QStringLiteral("5120"));
        QCOMPARE(document->title(), QStringLiteral("slow"));
        QVERIFY(messages.isEmpty());
    }
};

QTEST_MAIN(TestModelOpening)
#include "test_model_opening.moc"
