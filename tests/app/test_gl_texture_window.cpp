// The textured pattern window with a real OpenGL context: a textured quad,
// unfolded, shows the checkerboard's colours; one window at a time; the BMP
// save; pan and zoom with the mouse.
#include "app/document.h"
#include "app/texture_view.h"
#include "app/texture_window.h"
#include "session/commands.h"
#include "session/app_state.h"
#include "unfold/take_up_model.h"
#include "unfold/unfold_all.h"
#include "gl_test_main.h"

#include <QAction>
#include <QPointer>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 255, 0);

int countColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

} // namespace

class TextureWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    Document* document_ = nullptr;
    QStringList messages_;

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return {};
        return path;
    }

    // A square with texture coordinates over the whole image, unfolded, and
    // an 8 x 8 checkerboard of red and green 4 x 4 cells as its texture.
    void loadTexturedSquare()
    {
        const QString obj = write("square.obj", "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
                                                "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                                "f 1/1 2/2 3/3 4/4\n");
        QVERIFY(document_->openPath(obj));
        nettor::Model& model = *nettor::appState().model;
        QVERIFY(model.hasTexCoords);
        nettor::takeUpModel(nettor::appState(), model);
        nettor::unfoldAll(nettor::appState(), model);
        QVERIFY(nettor::appState().status.finished);

        QImage board(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) board.setPixel(x, y, ((x / 4) + (y / 4)) % 2 ? kGreen : kRed);
        const QString bmp = dir_.filePath("board.bmp");
        QVERIFY(board.save(bmp, "BMP"));
        QVERIFY(nettor::appState().openTexture(bmp.toStdString()));
        QVERIFY(nettor::commandState(nettor::Command::TextureWindow, nettor::appState()).enabled);
        messages_.clear(); // the unfolding's own report
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        messages_.clear();
        document_ = new Document;
        document_->setMessageSink([this](const QString& text) { messages_ << text; });
        loadTexturedSquare();
    }
    void cleanup()
    {
        delete TextureWindow::current();
        delete document_;
        document_ = nullptr;
        nettor::appState().model.reset();
        nettor::appState().status.finished = false;
        nettor::appState().showTexture = false;
    }

    void showsTheCheckerboard()
    {
        TextureWindow* window = TextureWindow::showWindow(document_);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), QStringLiteral("TextureWindow"));
        QVERIFY(window->isWindow());
        const QImage frame = window->view()->renderImage();
        QVERIFY(!frame.isNull());
        // The square's pixels (the sheet is 500 pixels high) are split between the two colours;
        // lines cover a few of them.
        const int red = countColour(frame, kRed), green = countColour(frame, kGreen);
        QVERIFY2(red > 50000 && green > 50000, qPrintable(QStringLiteral("red %1, green %2").arg(red).arg(green)));
        // Both diagonals of the square agree with a checkerboard.
        const QPoint c(frame.width() / 2, frame.height() / 2);
        const QRgb a = frame.pixel(c + QPoint(-100, -100)), b = frame.pixel(c + QPoint(100, 100));
        const QRgb d = frame.pixel(c + QPoint(100, -100)), e = frame.pixel(c + QPoint(-100, 100));
        QCOMPARE(a & 0xFFFFFF, b & 0xFFFFFF);
        QCOMPARE(d & 0xFFFFFF, e & 0xFFFFFF);
        QVERIFY((a & 0xFFFFFF) != (d & 0xFFFFFF));
        QVERIFY((a & 0xFFFFFF) == (kRed & 0xFFFFFF) || (a & 0xFFFFFF) == (kGreen & 0xFFFFFF));
        // Outside the sheet the window is white.
        QCOMPARE(frame.pixel(2, 2) & 0xFFFFFF, QRgb(0xFFFFFF));
        if (qEnvironmentVariableIsSet("NETTOR_SCREENSHOT_DIR"))
            frame.save(qEnvironmentVariable("NETTOR_SCREENSHOT_DIR") + "/texture_window.png");
    }

    void oneWindowThatTheCommandRaises()
    {
        QVERIFY(!nettor::appState().textureWindowOpen);
        TextureWindow* first = TextureWindow::showWindow(document_);
        QVERIFY(nettor::appState().textureWindowOpen);
        QCOMPARE(TextureWindow::showWindow(document_), first);
        const QWidgetList tops = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(tops.begin(), tops.end(),
                               [](QWidget* w) { return qobject_cast<TextureWindow*>(w) && w->isVisible(); }),
                 qsizetype(1));

        // Closing it clears the flag; the next command opens a fresh one.
        QVERIFY(QTest::qWaitForWindowExposed(first));
        QPointer<TextureWindow> closed = first;
        first->close();
        QTRY_VERIFY(closed.isNull());
        QVERIFY(!nettor::appState().textureWindowOpen);
        QVERIFY(TextureWindow::current() == nullptr);

        // Opening another model destroys it at once.
        QPointer<TextureWindow> second = TextureWindow::showWindow(document_);
        QVERIFY(nettor::appState().textureWindowOpen);
        QVERIFY(document_->openPath(write("other.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n")));
        QVERIFY(second.isNull());
        QVERIFY(!nettor::appState().textureWindowOpen);
    }

    void savesTheWindowAsBitmap()
    {
        TextureWindow* window = TextureWindow::showWindow(document_);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QString path = dir_.filePath("pattern.bmp");
        QAction* save = window->findChild<QAction*>("actionSaveBmp");
        QVERIFY(save);
        // Answer the save dialog as a user would: type a name without the
        // extension and accept; the default suffix is added.
        bool answered = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            if (name) {
                name->setText(dir_.filePath("pattern"));
                QTest::keyClick(name, Qt::Key_Return);
            } else {
                dialog->selectFile(path);
                QMetaObject::invokeMethod(dialog, "accept");
            }
            answered = true;
        });
        save->trigger();
        QVERIFY(answered);
        QVERIFY2(QFile::exists(path), qPrintable(messages_.join('|')));
        const QImage saved(path);
        QVERIFY(!saved.isNull());
        const QImage frame = window->view()->renderImage();
        QCOMPARE(saved.size(), frame.size());
        const QPoint c(frame.width() / 2 + 37, frame.height() / 2 - 53);
        QCOMPARE(saved.pixel(c) & 0xFFFFFF, frame.pixel(c) & 0xFFFFFF);
        QCOMPARE(saved.pixel(0, saved.height() - 1) & 0xFFFFFF, frame.pixel(0, frame.height() - 1) & 0xFFFFFF);
        QVERIFY(countColour(saved, kRed) > 50000);
        QVERIFY2(messages_.isEmpty(), qPrintable(messages_.join("|")));

        // A folder cannot be written: the user is told and nothing is made.
        QVERIFY(!window->saveBmpTo(dir_.path()));
        QCOMPARE(messages_, QStringList{"File open ERROR"});
    }

    void mousePansAndZooms()
    {
        TextureWindow* window = TextureWindow::showWindow(document_);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        TextureView* view = window->view();
        const QPoint c = view->rect().center();
        QTest::mousePress(view, Qt::LeftButton, {}, c);
        QTest::mouseMove(view, c + QPoint(30, 20));
        QTest::mouseRelease(view, Qt::LeftButton, {}, c + QPoint(30, 20));
        QCOMPARE(view->panX(), 30.0);
        QCOMPARE(view->panY(), -20.0);

        nettor::Model& model = *nettor::appState().model;
        const double scale = model.textureScale;
        QTest::mousePress(view, Qt::RightButton, {}, c);
        QTest::mouseMove(view, c + QPoint(10, 0));
        QTest::mouseRelease(view, Qt::RightButton, {}, c + QPoint(10, 0));
        QVERIFY(qAbs(model.textureScale - scale * 1.1) < 1e-9 * scale);
        // A move without a button does nothing.
        QTest::mouseMove(view, c + QPoint(50, 50));
        QCOMPARE(view->panX(), 30.0);
    }
};

int main(int argc, char** argv)
{
    return runGlTest<TextureWindowTest>(argc, argv, "NettorTextureWindowTest");
}

#include "test_gl_texture_window.moc"
