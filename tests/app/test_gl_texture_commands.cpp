// The texture commands from the main window's menu: Open Texture image
// through its dialog, the 3D view mapping the image, Display Texture with
// its check mark, the size rule keeping the image that was there, and the
// textured pattern window opened once and raised after.
#include "app/document.h"
#include "app/main_window.h"
#include "app/model_view.h"
#include "app/texture_window.h"
#include "file_dialog_driver.h"
#include "session/app_state.h"
#include "unfold/unfold_all.h"
#include "gl_test_main.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool isRed(QRgb c) { return qRed(c) > 150 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isGreen(QRgb c) { return qGreen(c) > 150 && qRed(c) < 80 && qBlue(c) < 80; }

int count(const QImage& image, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += test(image.pixel(x, y));
    return n;
}

} // namespace

class TestGlTextureCommands : public QObject {
    Q_OBJECT

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
        return path;
    }
    QString board(const QString& name, int side)
    {
        QImage image(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                image.setPixel(x, y, ((x * 2 / side) + (y * 2 / side)) % 2 ? qRgb(0, 255, 0) : qRgb(255, 0, 0));
        const QString path = dir.filePath(name);
        return image.save(path, "BMP") ? path : QString();
    }
    QAction* action(nettor::Command c) { return frame->action(c); }

private slots:
    void initTestCase()
    {
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(dir.isValid());
    }
    void init()
    {
        QSettings().clear();
        nettor::appState().replaceModel(nullptr);
        nettor::appState().showTexture = false;
        document = new Document;
        document->setMessageSink([this](const QString& m) { messages << m; });
        frame = new MainWindow(document);
        frame->resize(900, 640);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame));
        // A square facing the viewer, its texture coordinates over the whole image.
        const QString obj = write("square.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                                "f 1/1 2/2 3/3 4/4\n");
        QVERIFY(frame->openFile(obj));
        messages.clear();
    }
    void cleanup()
    {
        delete TextureWindow::current();
        delete frame;
        frame = nullptr;
        delete document;
        document = nullptr;
        nettor::appState().replaceModel(nullptr);
    }

    void openShowHideAndKeepOnARefusedSize()
    {
        frame->updateCommandStates();
        QVERIFY(action(nettor::Command::OpenTexture)->isEnabled());
        QVERIFY(!action(nettor::Command::DisplayTexture)->isEnabled()); // no image yet

        QString filter;
        answerFileDialog(board("board.bmp", 64), &filter);
        action(nettor::Command::OpenTexture)->trigger();
        QCOMPARE(filter, QStringLiteral("BMP File (*.bmp)"));
        QVERIFY(messages.isEmpty());
        QVERIFY(nettor::appState().showTexture);
        QVERIFY(action(nettor::Command::DisplayTexture)->isEnabled());
        QVERIFY(action(nettor::Command::DisplayTexture)->isChecked());

        // The 3D view maps the board on the square: both colours, in quarters.
        QImage shown = frame->modelView()->grabFramebuffer();
        const int red = count(shown, isRed), green = count(shown, isGreen);
        QVERIFY2(red > 2000 && green > 2000, qPrintable(QStringLiteral("red %1 green %2").arg(red).arg(green)));
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            frame->grab().save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/textured_model.png");

        // Display Texture takes it off and puts it back, with the check mark.
        action(nettor::Command::DisplayTexture)->trigger();
        QVERIFY(!nettor::appState().showTexture);
        QVERIFY(!action(nettor::Command::DisplayTexture)->isChecked());
        QCOMPARE(count(frame->modelView()->grabFramebuffer(), isGreen), 0);
        action(nettor::Command::DisplayTexture)->trigger();
        QVERIFY(action(nettor::Command::DisplayTexture)->isChecked());

        // A bitmap of 100 x 100 is refused with the size rule's message; the
        // board stays on the model and on the screen.
        answerFileDialog(board("hundred.bmp", 100));
        action(nettor::Command::OpenTexture)->trigger();
        QCOMPARE(messages, QStringList{QStringLiteral(
                               "The size of Texture image must be 2^n for some integer n.\n(ex. 128, 256...)")});
        QVERIFY(nettor::appState().model->textureImage);
        QCOMPARE(nettor::appState().model->textureImage->width, 64);
        QVERIFY(nettor::appState().showTexture);
        QVERIFY(count(frame->modelView()->grabFramebuffer(), isGreen) > 2000);
    }

    void theTexturedWindowOpensOnceTheUnfoldingIsFinished()
    {
        answerFileDialog(board("board.bmp", 64));
        action(nettor::Command::OpenTexture)->trigger();
        QVERIFY(nettor::appState().model->textureImage);
        frame->updateCommandStates();
        QVERIFY(!action(nettor::Command::TextureWindow)->isEnabled());

        nettor::unfoldAll(nettor::appState(), *nettor::appState().model);
        frame->updateCommandStates();
        QVERIFY(action(nettor::Command::TextureWindow)->isEnabled());
        action(nettor::Command::TextureWindow)->trigger();
        TextureWindow* window = TextureWindow::current();
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // The command again raises the same window.
        action(nettor::Command::TextureWindow)->trigger();
        QCOMPARE(TextureWindow::current(), window);
        int open = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) open += qobject_cast<TextureWindow*>(w) && w->isVisible();
        QCOMPARE(open, 1);
    }

private:
    QTemporaryDir dir;
    Document* document = nullptr;
    MainWindow* frame = nullptr;
    QStringList messages;
};

int main(int argc, char** argv)
{
    return runGlTest<TestGlTextureCommands>(argc, argv, "NettorTextureCommandsTest");
}

#include "test_gl_texture_commands.moc"
