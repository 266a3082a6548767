#include "app/main_window.h"

#include "app/document.h"
#include "app/information_panel.h"
#include "app/model_view.h"
#include "app/pattern_view.h"
#include "state/app_state.h"
#include "app/unfold_runner.h"
#include "formats/assimp_import.h"
#include "formats/load_model.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>

QString MainWindow::openFilter()
{
    // The program's filter "Readable files|*.obj;...|...||" in Qt's notation,
    // with the formats read through Assimp.
    const QString all = QString::fromStdString(nettor::extensionPatterns(nettor::readableExtensions()));
    const QString others = QString::fromStdString(nettor::extensionPatterns(nettor::importedExtensions()));
    return QStringLiteral("Readable files (") + all + QStringLiteral(");;"
        "Wavefront (*.obj) (*.obj);;"
        "AutoCAD (*.dxf) (*.dxf);;"
        "HexaGreat3D (*.rok) (*.rok);;"
        "Metasequoia (*.mqo) (*.mqo);;"
        "3D Studio (*.3ds) (*.3ds);;"
        "To cut edge info (*.nte) (*.nte);;"
        "Other 3D models (") + others + QStringLiteral(")");
}

MainWindow::MainWindow(Document* document, QWidget* parent)
    : QMainWindow(parent), document_(document)
{
    document_->setDialogParent(this);

    columns_ = new QSplitter(Qt::Horizontal, this);
    leftColumn_ = new QSplitter(Qt::Vertical, columns_);
    modelView_ = new ModelView(leftColumn_);
    informationPanel_ = new InformationPanel(leftColumn_);
    leftColumn_->addWidget(modelView_);
    leftColumn_->addWidget(informationPanel_);
    patternView_ = new PatternView(columns_);
    columns_->addWidget(leftColumn_);
    columns_->addWidget(patternView_);
    columns_->setStretchFactor(1, 1);
    leftColumn_->setStretchFactor(1, 1);
    columns_->setSizes({320, 480});
    leftColumn_->setSizes({250, 250});
    setCentralWidget(columns_);

    for (auto* receiver : {static_cast<QObject*>(modelView_), static_cast<QObject*>(informationPanel_),
                           static_cast<QObject*>(patternView_)}) {
        connect(document_, SIGNAL(updateHint(int)), receiver, SLOT(onUpdateHint(int)));
    }
    new UnfoldRunner(document_, this); // Start's unfolding (hint 2)
    connect(document_, &Document::titleChanged, this, &MainWindow::updateTitle);
    connect(document_, &Document::modelViewInvalidated, modelView_,
            qOverload<>(&QWidget::update));
    connect(document_, &Document::patternViewRepaintRequested, patternView_,
            qOverload<>(&QWidget::update));

    buildMenus();
    loadRecentFiles();
    statusBar()->showMessage(tr("Ready"));
    updateTitle(QString());
    resize(900, 620);
}

void MainWindow::buildMenus()
{
    fileMenu_ = menuBar()->addMenu(tr("&File"));
    QAction* open = fileMenu_->addAction(QStringLiteral("&Open...\tCtrl+O"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(open, &QAction::triggered, this, &MainWindow::onOpen);
    recentSeparator_ = fileMenu_->addSeparator();
    exitAction_ = fileMenu_->addAction(QStringLiteral("E&xit"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    undoEdgePickAction_ = edit->addAction(QStringLiteral("&Undo the last edge pick\tCtrl+Z"));
    undoEdgePickAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    connect(undoEdgePickAction_, &QAction::triggered, this, [] { nettor::sendHint(15); });
    // Enabled exactly while the last step can be taken back; every change of
    // the unfolding ends in a hint or a redraw of the 3D view.
    auto updateUndo = [this] { undoEdgePickAction_->setEnabled(nettor::appState().status.undoAvailable); };
    connect(document_, &Document::updateHint, this, updateUndo);
    connect(document_, &Document::modelViewInvalidated, this, updateUndo);
    updateUndo();
}

void MainWindow::onOpen()
{
    QFileDialog dialog(this, tr("Open"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(openFilter());
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    openFile(dialog.selectedFiles().first());
}

bool MainWindow::openFile(const QString& path)
{
    const bool replaced = document_->openPath(path);
    if (replaced) addRecentFile(QFileInfo(path).absoluteFilePath());
    return replaced;
}

void MainWindow::updateTitle(const QString& documentTitle)
{
    setWindowTitle(documentTitle.isEmpty() ? QStringLiteral("Nettor")
                                           : documentTitle + QStringLiteral(" - Nettor"));
}

void MainWindow::loadRecentFiles()
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    recent_.clear();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) recent_ << file;
    }
    settings.endGroup();
    rebuildRecentMenu();
}

void MainWindow::saveRecentFiles() const
{
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= recent_.size()) settings.setValue(key, recent_[i - 1]);
        else settings.remove(key);
    }
    settings.endGroup();
}

void MainWindow::addRecentFile(const QString& path)
{
    recent_.removeAll(path);
    recent_.prepend(path);
    while (recent_.size() > kRecentFileCount) recent_.removeLast();
    saveRecentFiles();
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu()
{
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    for (int i = 0; i < recent_.size(); ++i) {
        const QString path = recent_[i];
        auto* action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), fileMenu_);
        connect(action, &QAction::triggered, this, [this, path] { openFile(path); });
        fileMenu_->insertAction(exitAction_, action);
        recentActions_ << action;
    }
    // A separator between the list and Exit only when there is a list.
    if (!recent_.isEmpty()) {
        auto* sep = new QAction(fileMenu_);
        sep->setSeparator(true);
        fileMenu_->insertAction(exitAction_, sep);
        recentActions_ << sep;
    }
}
