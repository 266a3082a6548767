#include "app/texture_window.h"

#include "app/document.h"
#include "app/texture_settings_dialog.h"
#include "app/texture_view.h"
#include "formats/write_bmp.h"
#include "session/app_state.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QMenuBar>
#include <QPointer>
#include <QSaveFile>

namespace {
QPointer<TextureWindow> openWindow;
}

TextureWindow::TextureWindow(Document* document) : QMainWindow(nullptr), document_(document)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("textureWindow"));
    setWindowTitle(QStringLiteral("TextureWindow"));
    setWindowIcon(QApplication::windowIcon());
    view_ = new TextureView(this);
    view_->setObjectName(QStringLiteral("textureView"));
    setCentralWidget(view_);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* save = file->addAction(tr("&Save the unfolded pattern as BMP"), this, &TextureWindow::saveAsBmp);
    save->setObjectName(QStringLiteral("actionSaveBmp"));
    QMenu* setting = menuBar()->addMenu(tr("&Setting"));
    QAction* settings = setting->addAction(tr("Setting..."), this, &TextureWindow::editSettings);
    settings->setObjectName(QStringLiteral("actionTextureSettings"));

    resize(640, 600);
    nettor::appState().textureWindowOpen = true;
    if (document)
        connect(document, &Document::textureWindowCloseRequested, this, [this] { delete this; });
}

TextureWindow::~TextureWindow()
{
    nettor::appState().textureWindowOpen = false;
}

TextureWindow* TextureWindow::showWindow(Document* document)
{
    if (!openWindow) openWindow = new TextureWindow(document);
    openWindow->show();
    openWindow->raise();
    openWindow->activateWindow();
    return openWindow;
}

TextureWindow* TextureWindow::current()
{
    return openWindow;
}

bool TextureWindow::saveBmpTo(const QString& path)
{
    const QImage image = view_->renderImage().convertToFormat(QImage::Format_RGB888);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(std::size_t(image.width()) * std::size_t(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        rgb.insert(rgb.end(), line, line + std::size_t(image.width()) * 3);
    }
    const std::string bytes = nettor::encodeBitmapFile(image.width(), image.height(), rgb);
    QSaveFile file(path);
    bool ok = !bytes.empty() && file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
    if (ok) ok = file.commit();
    else file.cancelWriting();
    if (!ok) nettor::showMessage("File open ERROR");
    return ok;
}

void TextureWindow::saveAsBmp()
{
    QFileDialog dialog(this, tr("Save the unfolded pattern as BMP"));
    dialog.setObjectName(QStringLiteral("bmpSaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("Windows bitmap file (*.bmp)"));
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const Document::MessagesOver over(document_, this);
    saveBmpTo(dialog.selectedFiles().first());
}

void TextureWindow::editSettings()
{
    const Document::MessagesOver over(document_, this);
    TextureSettingsDialog dialog(this);
    dialog.exec();
    view_->update();
}
