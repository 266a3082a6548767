#include "app/main_window.h"

#include "app/clipboard_export.h"
#include "app/command_actions.h"
#include "app/print_commands.h"
#include "app/command_icons.h"
#include "app/document.h"
#include "app/information_panel.h"
#include "app/lock_indicators.h"
#include "app/model_view.h"
#include "app/page_setup_dialog.h"
#include "app/pattern_view.h"
#include "app/unfold_runner.h"
#include "app/save_file.h"
#include "app/settings_dialog.h"
#include "app/settings_storage.h"
#include "app/slow_work_dialog.h"
#include "app/texture_window.h"
#include "formats/pages_metafile.h"
#include "pattern/pages_edge_match.h"
#include "formats/pages_outputs.h"
#include "formats/saved_outputs.h"
#include "session/app_state.h"
#include "session/recovery_copies.h"
#include "formats/project_file.h"
#include "formats/assimp_import.h"
#include "formats/load_model.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QLocale>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

using nettor::Command;

namespace {

// Releases the views held at the end of a background unfolding.
const QEvent::Type kViewsReleased = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

QString MainWindow::openFilter()
{
    // The program's filter "Readable files|*.obj;...|...||" in Qt's notation
    // (each entry's name carries its patterns once), and the formats read
    // through Assimp in an entry of their own.
    const QString others = QString::fromStdString(nettor::extensionPatterns(nettor::importedExtensions()));
    return QStringLiteral("Readable files (*.obj *.dxf *.rok *.mqo *.3ds *.nte);;"
                          "Wavefront (*.obj);;"
                          "AutoCAD (*.dxf);;"
                          "HexaGreat3D (*.rok);;"
                          "Metasequoia (*.mqo);;"
                          "3D Studio (*.3ds);;"
                          "To cut edge info (*.nte);;"
                          "Other 3D formats (") + others + QStringLiteral(");;Nettor project (*.nettor)");
}

bool MainWindow::isOpenableFile(const QString& path)
{
    // The patterns of every entry together name each kind the Open command
    // reads.
    const QRegularExpression list(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QString name = QFileInfo(path).fileName();
    for (const QString& entry : openFilter().split(QStringLiteral(";;"))) {
        const QRegularExpressionMatch match = list.match(entry);
        if (!match.hasMatch()) continue;
        for (const QString& pattern : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (QDir::match(pattern, name)) return true;
    }
    return false;
}

MainWindow::MainWindow(Document* document, QWidget* parent)
    : QMainWindow(parent), document_(document)
{
    document_->setDialogParent(this);
    setAcceptDrops(true);
    // Laying out the pages runs on a worker behind a busy dialog.
    nettor::appState().setSlowWorkRunner(
        [this](const nettor::Session::SlowWork& work) { runSlowWorkBehindDialog(this, work); });

    columns_ = new QSplitter(Qt::Horizontal, this);
    columns_->setObjectName(QStringLiteral("columns"));
    leftColumn_ = new QSplitter(Qt::Vertical, columns_);
    leftColumn_->setObjectName(QStringLiteral("leftColumn"));
    modelView_ = new ModelView(leftColumn_);
    // The panel scrolls when its pane is smaller than its controls, so the
    // user may give the 3D view as much of the column as they like.
    auto* panelScroller = new QScrollArea(leftColumn_);
    panelScroller->setObjectName(QStringLiteral("panelScroller"));
    panelScroller->setFrameShape(QFrame::NoFrame);
    panelScroller->setWidgetResizable(true);
    informationPanel_ = new InformationPanel(panelScroller);
    panelScroller->setWidget(informationPanel_);
    leftColumn_->addWidget(modelView_);
    leftColumn_->addWidget(panelScroller);
    patternView_ = new PatternView(columns_);
    columns_->addWidget(leftColumn_);
    columns_->addWidget(patternView_);
    // Growing the window widens the pattern and lengthens the panel; the
    // 3D view keeps the size the user gave it.
    columns_->setStretchFactor(0, 0);
    columns_->setStretchFactor(1, 1);
    leftColumn_->setStretchFactor(0, 0);
    leftColumn_->setStretchFactor(1, 1);
    setCentralWidget(columns_);

    // A finished unfolding is laid out on pages, when that is the layout,
    // before the views hear of it.
    connect(document_, &Document::updateHint, this, [](int number) {
        if (static_cast<nettor::ViewChange>(number) == nettor::ViewChange::UnfoldingFinished)
            nettor::appState().layOutFinishedPattern();
    });
    for (auto* receiver : {static_cast<QObject*>(modelView_), static_cast<QObject*>(informationPanel_),
                           static_cast<QObject*>(patternView_)}) {
        connect(document_, SIGNAL(updateHint(int)), receiver, SLOT(onUpdateHint(int)));
    }
    // Start's unfolding (hint 2). When a run ends, the panel's counters go
    // to the screen first: the views' drawing of a large finished model
    // takes far longer, so they take no repaint until that frame is out.
    auto* runner = new UnfoldRunner(document_, this);
    connect(runner, &UnfoldRunner::runEnding, this, &MainWindow::holdViewsForCounters);
    connect(runner, &UnfoldRunner::runEnded, this, &MainWindow::releaseViewsAfterCounters);
    connect(document_, &Document::updateHint, this, &MainWindow::updateCommandStates);
    connect(document_, &Document::modelViewInvalidated, this, &MainWindow::updateCommandStates);
    connect(document_, &Document::titleChanged, this, &MainWindow::updateTitle);
    connect(document_, &Document::modelViewInvalidated, modelView_, &ModelView::modelChanged);
    connect(document_, &Document::patternViewRepaintRequested, patternView_, &PatternView::patternChanged);
    connect(document_, &Document::patternViewRepaintRequested, this, &MainWindow::updateCommandStates);

    printCommands_ = new PrintCommands(this);
    createActions();
    buildMenus();
    buildToolBar();
    installHandlers();
    loadRecentFiles();

    prompt_ = new QLabel(tr("Ready"), this);
    prompt_->setObjectName(QStringLiteral("statusPrompt"));
    statusBar()->addWidget(prompt_, 1);
    misplacedLabel_ = new QLabel(this);
    misplacedLabel_->setObjectName(QStringLiteral("misplacedPieces"));
    statusBar()->addPermanentWidget(misplacedLabel_);
    connect(document_, &Document::updateHint, this, &MainWindow::showMisplacedCount);
    lockIndicators_ = new LockIndicators(statusBar());
    connect(document_, &Document::statusMessageShown, statusBar(),
            [this](const QString& text) { statusBar()->showMessage(text, 20000); });

    updateTitle(QString());
    loadWindowSettings();
    updateCommandStates();

    // The unfolding may finish on the worker thread without a hint; the
    // commands follow the shared flags a moment later.
    stateTimer_ = new QTimer(this);
    stateTimer_->setInterval(250);
    connect(stateTimer_, &QTimer::timeout, this, &MainWindow::updateCommandStates);
    stateTimer_->start();

    // While there is unsaved work a copy of it is kept for after a crash.
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("recoveryTimer"));
    bool intervalGiven = false;
    const int interval = qEnvironmentVariableIntValue("NETTOR_RECOVERY_INTERVAL_MS", &intervalGiven);
    setRecoveryInterval(intervalGiven && interval > 0 ? interval : 60000);
    connect(recoveryTimer_, &QTimer::timeout, this, &MainWindow::writeRecoveryCopy);
    recoveryTimer_->start();
}

MainWindow::~MainWindow()
{
    nettor::appState().setSlowWorkRunner({});
    removeRecoveryCopy();
}

void MainWindow::createActions()
{
    for (const CommandSpec& spec : commandSpecs()) {
        auto* action = new QAction(spec.text, this);
        action->setObjectName(spec.objectName);
        action->setIconText(spec.iconText);
        action->setToolTip(spec.iconText);
        action->setStatusTip(spec.statusTip);
        action->setShortcuts(spec.shortcuts);
        action->setCheckable(spec.checkable);
        action->setEnabled(false);
        const Command command = spec.command;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        actions_.insert(command, action);
    }
    auto* layouts = new QActionGroup(this);
    layouts->addAction(action(Command::LayoutOneSheet));
    layouts->addAction(action(Command::LayoutPages));
    // Keys work whichever pane has the focus, also for commands that are in
    // no menu.
    addActions(actions_.values());
}

void MainWindow::buildMenus()
{
    const auto add = [this](QMenu* menu, Command command) { menu->addAction(action(command)); };

    fileMenu_ = menuBar()->addMenu(tr("&File"));
    add(fileMenu_, Command::Open);
    add(fileMenu_, Command::OpenTexture);
    fileMenu_->addSeparator();
    add(fileMenu_, Command::SaveProject);
    add(fileMenu_, Command::SaveProjectAs);
    fileMenu_->addSeparator();
    add(fileMenu_, Command::SaveEmf);
    add(fileMenu_, Command::SaveEps);
    add(fileMenu_, Command::SaveCutEdges);
    add(fileMenu_, Command::ExportObj);
    fileMenu_->addSeparator();
    add(fileMenu_, Command::SavePdf);
    add(fileMenu_, Command::Print);
    add(fileMenu_, Command::PrintPreview);
    add(fileMenu_, Command::PrintSetup);
    add(fileMenu_, Command::PrintTextures);
    recentSeparator_ = fileMenu_->addSeparator();
    add(fileMenu_, Command::Exit);

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    add(edit, Command::InvertFaces);
    add(edit, Command::UndoLastEdgePick);
    add(edit, Command::UndoLayoutChange);
    add(edit, Command::RedoLayoutChange);
    edit->addSeparator();
    add(edit, Command::CopyPattern);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    add(view, Command::ToggleToolbar);
    add(view, Command::ToggleStatusBar);
    view->addSeparator();
    add(view, Command::ZoomIn);
    add(view, Command::ZoomOut);
    add(view, Command::ScaleUp);
    add(view, Command::ScaleDown);
    view->addSeparator();
    add(view, Command::LayoutOneSheet);
    add(view, Command::LayoutPages);
    add(view, Command::PageSetup);
    add(view, Command::RepackPages);
    view->addSeparator();
    add(view, Command::DisplayTexture);
    add(view, Command::TextureWindow);
    view->addSeparator();
    add(view, Command::Setting);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    add(help, Command::Help);
    help->addSeparator();
    add(help, Command::About);

    for (QMenu* menu : {fileMenu_, edit, view, help})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateCommandStates);
}

void MainWindow::buildToolBar()
{
    toolBar_ = addToolBar(tr("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    const Command buttons[] = {Command::Open,      Command::SaveEmf,   Command::UndoLastEdgePick,
                               Command::ZoomIn,    Command::ZoomOut,   Command::ScaleDown,
                               Command::ScaleUp,   Command::CopyPattern, Command::Print,
                               Command::About};
    for (Command command : buttons) {
        QAction* a = action(command);
        a->setIcon(commandIcon(command));
        toolBar_->addAction(a);
        if (command == Command::SaveEmf || command == Command::UndoLastEdgePick ||
            command == Command::ScaleUp)
            toolBar_->addSeparator();
    }
    connect(toolBar_, &QToolBar::visibilityChanged, this, &MainWindow::updateCommandStates);
}

void MainWindow::setCommandHandler(Command command, std::function<void()> handler)
{
    if (handler) handlers_.insert(command, std::move(handler));
    else handlers_.remove(command);
    updateCommandStates();
}

void MainWindow::installHandlers()
{
    setCommandHandler(Command::Open, [this] { onOpen(); });
    setCommandHandler(Command::Exit, [this] {
        if (maybeSaveChanges()) close();
    });
    setCommandHandler(Command::SaveProject, [this] { saveProject(); });
    setCommandHandler(Command::SaveProjectAs, [this] { saveProjectAs(); });
    setCommandHandler(Command::SaveEps, [this] { saveOutput(int(nettor::SavedOutput::Eps)); });
    setCommandHandler(Command::SaveEmf, [this] { saveOutput(int(nettor::SavedOutput::Emf)); });
    setCommandHandler(Command::SavePdf, [this] { saveOutput(int(nettor::SavedOutput::Pdf)); });
    setCommandHandler(Command::CopyPattern, [this] { copyPatternToClipboard(this, patternView_->shownPage()); });
    setCommandHandler(Command::Print, [this] { printCommands_->print(); });
    setCommandHandler(Command::PrintPreview, [this] { printCommands_->preview(); });
    setCommandHandler(Command::PrintSetup, [this] { printCommands_->printSetup(); });
    setCommandHandler(Command::SaveCutEdges, [this] { saveOutput(int(nettor::SavedOutput::CutEdges)); });
    setCommandHandler(Command::ExportObj, [this] { saveOutput(int(nettor::SavedOutput::ObjExport)); });
    setCommandHandler(Command::InvertFaces, [] { nettor::appState().invertFaces(); });
    setCommandHandler(Command::UndoLastEdgePick, [] { nettor::appState().undoLastEdgePick(); });
    for (Command c : {Command::ZoomIn, Command::ZoomOut, Command::ScaleUp, Command::ScaleDown})
        setCommandHandler(c, [c] { nettor::appState().patternViewCommand(c); });
    setCommandHandler(Command::ToggleToolbar, [this] { toolBar_->setVisible(toolBar_->isHidden()); });
    setCommandHandler(Command::ToggleStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); });
    setCommandHandler(Command::Setting, [this] { showSettingsDialog(); });
    setCommandHandler(Command::Help, [this] { showHelp(); });
    setCommandHandler(Command::About, [this] { showAbout(); });
    setCommandHandler(Command::NextPane, [this] { cyclePane(1); });
    setCommandHandler(Command::PreviousPane, [this] { cyclePane(-1); });
    setCommandHandler(Command::OpenTexture, [this] { openTexture(); });
    setCommandHandler(Command::DisplayTexture, [] { nettor::appState().toggleTexture(); });
    setCommandHandler(Command::PrintTextures, [] { nettor::appState().togglePrintTextures(); });
    setCommandHandler(Command::TextureWindow, [this] { TextureWindow::showWindow(document_); });
    setCommandHandler(Command::LayoutOneSheet, [] { nettor::appState().setLayoutMode(nettor::LayoutMode::OneSheet); });
    setCommandHandler(Command::LayoutPages, [] { nettor::appState().setLayoutMode(nettor::LayoutMode::Pages); });
    setCommandHandler(Command::PageSetup, [this] { showPageSetup(); });
    setCommandHandler(Command::RepackPages, [] {
        nettor::appState().repackPages(QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
    });
    setCommandHandler(Command::UndoLayoutChange, [] { nettor::appState().undoLayoutChange(); });
    setCommandHandler(Command::RedoLayoutChange, [] { nettor::appState().redoLayoutChange(); });
}

void MainWindow::runCommand(Command command)
{
    updateCommandStates();
    QAction* a = action(command);
    const auto handler = handlers_.value(command);
    if (!handler || !a || !a->isEnabled()) return;
    handler();
    updateCommandStates();
}

void MainWindow::updateCommandStates()
{
    const nettor::AppState& state = nettor::appState();
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const nettor::CommandState s = nettor::commandState(it.key(), state);
        it.value()->setEnabled(s.enabled && handlers_.contains(it.key()));
        if (it.key() == Command::DisplayTexture || it.key() == Command::PrintTextures ||
            it.key() == Command::LayoutOneSheet || it.key() == Command::LayoutPages)
            it.value()->setChecked(s.checked);
    }
    // Ctrl+Z takes back the last edge pick while there is one, else the
    // last layout change.
    QAction* undoLayout = action(Command::UndoLayoutChange);
    const bool edgePickFirst = action(Command::UndoLastEdgePick)->isEnabled();
    const QList<QKeySequence> layoutKeys =
        edgePickFirst ? QList<QKeySequence>{} : QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Z)};
    if (undoLayout->shortcuts() != layoutKeys) undoLayout->setShortcuts(layoutKeys);
    action(Command::ToggleToolbar)->setChecked(!toolBar_->isHidden());
    action(Command::ToggleStatusBar)->setChecked(!statusBar()->isHidden());
    refreshTitle();
}

void MainWindow::onOpen()
{
    if (!maybeSaveChanges()) return;
    QFileDialog dialog(this, tr("Open"));
    dialog.setObjectName(QStringLiteral("openDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(openFilter());
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    openFile(dialog.selectedFiles().first());
}

void MainWindow::openTexture()
{
    QFileDialog dialog(this, tr("Open"));
    dialog.setObjectName(QStringLiteral("openTextureDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("BMP File (*.bmp)"),
                           QStringLiteral("Images (*.png *.jpg *.jpeg *.tga *.gif *.bmp)")});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    nettor::appState().openTexture(QFile::encodeName(dialog.selectedFiles().first()).toStdString());
    updateCommandStates();
}

bool MainWindow::openFileAsked(const QString& path)
{
    if (!maybeSaveChanges()) return false;
    return openFile(path);
}

bool MainWindow::openFile(const QString& path)
{
    const bool replaced = document_->openPath(path);
    if (replaced) {
        addRecentFile(QFileInfo(path).absoluteFilePath());
        applyOpenedCamera();
    }
    updateCommandStates();
    return replaced;
}

void MainWindow::applyOpenedCamera()
{
    // A project brings the 3D view's camera; a model starts from the
    // view's own.
    const nettor::AppState& state = nettor::appState();
    if (state.projectPath.empty() || !state.camera) return;
    modelView_->placeCamera(state.camera->orientation, state.camera->modelCentre, state.camera->distance);
}

bool MainWindow::maybeSaveChanges()
{
    const nettor::AppState& state = nettor::appState();
    if (!state.model || !state.unsavedChanges()) return true;
    QMessageBox box(QMessageBox::Question, tr("Nettor"),
                    tr("Save the changes to %1?").arg(documentTitle_.isEmpty() ? tr("the model") : documentTitle_),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("unsavedChangesBox"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return saveProject();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

bool MainWindow::saveProject()
{
    const std::string& path = nettor::appState().projectPath;
    if (path.empty()) return saveProjectAs();
    return saveProjectTo(QString::fromStdString(path));
}

bool MainWindow::saveProjectAs()
{
    const nettor::AppState& state = nettor::appState();
    if (!state.model) return false;
    const QString current = QString::fromStdString(state.projectPath.empty() ? state.model->filePath : state.projectPath);
    QString suggested;
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        suggested = info.absoluteDir().filePath(info.completeBaseName() + QStringLiteral(".nettor"));
    }
    const QString path = chooseSaveFile(
        this, {tr("Save Project"), QStringLiteral("Nettor project (*.nettor)"), QStringLiteral("nettor"), suggested});
    if (path.isEmpty()) return false;
    return saveProjectTo(path);
}

bool MainWindow::saveProjectTo(const QString& path)
{
    nettor::AppState& state = nettor::appState();
    if (!state.model) return false;
    keepCamera();
    const QString target = QFileInfo(path).absoluteFilePath();
    // The core writes beside the target and renames, so a failed save keeps
    // the old file; it tells the user what went wrong.
    if (!state.saveProject(QFile::encodeName(target).toStdString())) return false;
    addRecentFile(target);
    removeRecoveryCopy();
    updateCommandStates();
    return true;
}

void MainWindow::keepCamera()
{
    const nettor::SceneCamera& camera = modelView_->camera();
    nettor::appState().camera =
        nettor::ProjectCamera{camera.trackball().orientation, camera.modelCentre(), camera.cameraDistance()};
}

QString MainWindow::recoveryCopyPath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath(QString::fromStdString(nettor::recoveryCopyName(QCoreApplication::applicationPid())));
}

void MainWindow::setRecoveryInterval(int milliseconds)
{
    recoveryTimer_->setInterval(milliseconds);
}

void MainWindow::writeRecoveryCopy()
{
    nettor::AppState& state = nettor::appState();
    if (!state.model || !state.unsavedChanges()) {
        removeRecoveryCopy();
        return;
    }
    // Not while the worker thread changes the model.
    if (state.status.busy.load()) return;
    keepCamera();
    const QString path = recoveryCopyPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string error;
    if (!state.writeRecoveryCopy(QFile::encodeName(path).toStdString(), error))
        statusBar()->showMessage(tr("The recovery copy could not be written: %1").arg(QString::fromStdString(error)), 20000);
}

void MainWindow::removeRecoveryCopy()
{
    QFile::remove(recoveryCopyPath());
}

void MainWindow::offerRecovery()
{
    const QDir dir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    std::vector<std::string> names;
    for (const QString& name : dir.entryList({QStringLiteral("recovery-*.nettor")}, QDir::Files, QDir::Time))
        names.push_back(name.toStdString());
    for (const std::string& name : nettor::abandonedRecoveryCopies(names)) {
        const QString path = dir.filePath(QString::fromStdString(name));
        const QString when = QLocale().toString(QFileInfo(path).lastModified(), QLocale::ShortFormat);
        QMessageBox box(QMessageBox::Question, tr("Nettor"), tr("Recover unsaved work from %1?").arg(when),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("recoveryBox"));
        if (box.exec() == QMessageBox::Yes && maybeSaveChanges() && document_->openPath(path)) {
            // The recovered work belongs to no project yet and is unsaved;
            // this process keeps its own copy of it from now on.
            applyOpenedCamera();
            nettor::AppState& state = nettor::appState();
            state.projectPath.clear();
            state.markChanged();
            document_->setDocumentTitle(QFileInfo(QString::fromStdString(state.model->filePath)).completeBaseName().toStdString());
            writeRecoveryCopy();
        }
        QFile::remove(path);
    }
    updateCommandStates();
}

void MainWindow::saveOutput(int which)
{
    const auto output = static_cast<nettor::SavedOutput>(which);
    nettor::AppState& state = nettor::appState();
    if (!state.model) return;
    SaveDialogSpec spec;
    QString name = QFileInfo(QString::fromStdString(state.model->filePath)).completeBaseName();
    switch (output) {
    case nettor::SavedOutput::Eps:
        spec = {tr("Save unfolded pattern as EPS"), QStringLiteral("eps Files (*.eps)"),
                QStringLiteral("eps"), name + QStringLiteral(".eps")};
        break;
    case nettor::SavedOutput::Emf:
        spec = {tr("Save unfolded pattern as EMF"), QStringLiteral("emf Files (*.emf)"),
                QStringLiteral("emf"), name + QStringLiteral(".emf")};
        break;
    case nettor::SavedOutput::Pdf:
        spec = {tr("Save unfolded pattern as PDF"), QStringLiteral("pdf Files (*.pdf)"),
                QStringLiteral("pdf"), name + QStringLiteral(".pdf")};
        break;
    case nettor::SavedOutput::CutEdges:
        spec = {tr("Save edges to cut"), QStringLiteral("To cut edge info (*.nte)"),
                QStringLiteral("nte"), name + QStringLiteral(".nte")};
        break;
    case nettor::SavedOutput::ObjExport:
        // Not the model's own name: the export must not replace the model.
        spec = {tr("Export as OBJ with pattern texture coordinates"),
                QStringLiteral("Wavefront obj (*.obj)"), QStringLiteral("obj"),
                name + QStringLiteral("_pattern.obj")};
        break;
    }
    if (name.isEmpty()) spec.suggestedPath.clear();
    else if (!state.model->filePath.empty())
        spec.suggestedPath = QFileInfo(QString::fromStdString(state.model->filePath)).absoluteDir()
                                 .filePath(spec.suggestedPath);
    const QString path = chooseSaveFile(this, spec);
    if (path.isEmpty() || !state.model) return;
    const std::string target = QFileInfo(path).absoluteFilePath().toStdString();
    // The metafile is drawn for this window's screen, as the clipboard's is.
    if (output == nettor::SavedOutput::Emf && state.pagesShown()) {
        // The Pages layout: the page shown, at true size.
        const int page = std::clamp(patternView_->shownPage(), 1, state.pagesLayout->pageCount);
        const auto bytes = nettor::pageMetafile(*state.pagesLayout, state.settings, page, logicalDpiX(), logicalDpiY());
        saveFileAtomically(path, [&](std::ostream& out) {
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        });
        return;
    }
    if (output == nettor::SavedOutput::Pdf && state.pagesShown()) {
        // The Pages layout: one PDF page for each page, at true size.
        saveFileAtomically(path, [&](std::ostream& out) { out << nettor::pagesPdf(*state.pagesLayout, state.settings); });
        return;
    }
    if (output == nettor::SavedOutput::Eps && state.pagesShown()) {
        // The Pages layout: one EPS file for each page, "NAME-1.eps" and on,
        // all replaced together or none of them.
        std::vector<std::pair<std::string, std::string>> files;
        for (int page = 1; page <= state.pagesLayout->pageCount; ++page)
            files.emplace_back(nettor::pageFilePath(target, page), nettor::pagesEps(*state.pagesLayout, state.settings, page));
        std::string message;
        if (!nettor::replaceFiles(files, message)) nettor::showMessage(message);
        return;
    }
    saveFileAtomically(path, [&](std::ostream& out) {
        nettor::writeSavedOutput(output, *state.model, state.settings, target, out, logicalDpiX(), logicalDpiY());
    });
}

void MainWindow::showPageSetup()
{
    PageSetupDialog dialog(nettor::appState().pagesSettings, [](const std::string& problem) {
        nettor::showMessage(problem);
    }, this);
    if (dialog.exec() != QDialog::Accepted) return;
    nettor::appState().setPagesSettings(dialog.settings());
}

void MainWindow::showMisplacedCount(int change)
{
    const nettor::AppState& state = nettor::appState();
    if (change == int(nettor::ViewChange::LayoutSelectionChanged)) {
        // The cut lit on the pages: where its two sides are.
        const std::string text = state.litEdge && state.pagesLayout
                                     ? nettor::edgeMatchText(*state.pagesLayout, *state.litEdge)
                                     : std::string();
        if (text.empty()) statusBar()->clearMessage();
        else statusBar()->showMessage(QString::fromStdString(text));
    }
    const int count = state.pagesShown() ? state.misplacedCount() : 0;
    QString text;
    if (count == 1) text = tr("1 part is misplaced");
    else if (count > 1) text = tr("%1 parts are misplaced").arg(count);
    if (misplacedLabel_->text() != text) misplacedLabel_->setText(text);
}

void MainWindow::showSettingsDialog()
{
    SettingsDialog dialog(nettor::appState().settings, nettor::appState().partSearch, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const nettor::PartSearchSettings partSearch = dialog.partSearch();
    nettor::appState().settingsDialogClosed(accepted, dialog.settings(), &partSearch);
}

QString MainWindow::helpFilePath()
{
    // A build keeps the manual beside the program; an installed program finds
    // it in the documentation folder of its prefix (share/doc/nettor).
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString beside = programDir.filePath(QStringLiteral("help/index.html"));
    const QString installed =
        QDir::cleanPath(programDir.filePath(QStringLiteral(NETTOR_INSTALLED_HELP_DIR "/index.html")));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed)) return installed;
    return beside;
}

void MainWindow::showHelp()
{
    const QString path = helpFilePath();
    if (!QFileInfo::exists(path) || !QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        nettor::showMessage("Can't open Help file.\nSee /help/index.html with your browser.");
}

void MainWindow::showAbout()
{
    QMessageBox box(QMessageBox::Information, tr("About Nettor"),
                    QStringLiteral("Nettor version " NETTOR_VERSION),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("aboutBox"));
    box.setInformativeText(tr("Turns a 3D polygon model into a paper-craft pattern."));
    box.setIconPixmap(commandIcon(Command::About).pixmap(48, 48));
    box.exec();
}

void MainWindow::cyclePane(int step)
{
    QWidget* panes[] = {modelView_, informationPanel_, patternView_};
    constexpr int count = 3;
    int current = -1;
    QWidget* focus = QApplication::focusWidget();
    for (int i = 0; i < count; ++i)
        if (focus && (focus == panes[i] || panes[i]->isAncestorOf(focus))) current = i;
    const int next = ((current < 0 ? (step > 0 ? -1 : 0) : current) + step + count) % count;
    QWidget* pane = panes[next];
    // The pane itself, or the first of its controls that takes the focus.
    QWidget* target = pane;
    if (!(pane->focusPolicy() & Qt::TabFocus)) {
        for (QWidget* child : pane->findChildren<QWidget*>()) {
            if ((child->focusPolicy() & Qt::TabFocus) && child->isEnabled() && child->isVisibleTo(pane)) {
                target = child;
                break;
            }
        }
        if (target == pane) pane->setFocusPolicy(Qt::StrongFocus);
    }
    target->setFocus(Qt::OtherFocusReason);
}

void MainWindow::loadWindowSettings()
{
    nettor::AppState& state = nettor::appState();
    const nettor::TakenUpValues taken = nettor::takeUpStoredValues(readStoredValues(), state.settings, &state.partSearch);
    state.modelViewSize = taken.modelViewSize;
    const StoredPages pages = readStoredPages();
    state.layoutMode = pages.mode;
    state.pagesSettings = pages.settings;
    state.settings.printTextures = pages.printTextures ? 1 : 0;

    // Shows the whole panel below a 3D view of the first run's size, and
    // fits a screen of 1280 x 800 with room for the desktop's own bars.
    resize(kDefaultWidth, kDefaultHeight);
    if (taken.placement) {
        std::vector<nettor::ScreenRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect r = screen->availableGeometry();
            screens.push_back({r.x(), r.y(), r.width(), r.height()});
        }
        if (const auto placed = nettor::placeOnScreens(taken.placement->normalRect(), screens)) {
            setGeometry(placed->x, placed->y, placed->width, placed->height);
            if (taken.placement->opensMaximized()) setWindowState(windowState() | Qt::WindowMaximized);
        }
    }

    const BarState bars = readBarState();
    if (bars.present) restoreState(bars.mainWindowState);
    statusBar()->setVisible(bars.statusBarVisible);
    applyModelViewSize();
}

void MainWindow::applyModelViewSize()
{
    const nettor::ViewSize size = nettor::appState().modelViewSize;
    const int totalWidth = std::max(columns_->width(), size.width + 100);
    const int totalHeight = std::max(leftColumn_->height(), size.height + 100);
    columns_->setSizes({size.width, totalWidth - size.width - columns_->handleWidth()});
    leftColumn_->setSizes({size.height, totalHeight - size.height - leftColumn_->handleWidth()});
}

void MainWindow::holdViewsForCounters()
{
    modelView_->setUpdatesEnabled(false);
    patternView_->setUpdatesEnabled(false);
    informationPanel_->showCountersNow();
}

void MainWindow::releaseViewsAfterCounters()
{
    // Qt posts the window's own update request at low priority; the views
    // are released below that, so after the frame it draws.
    QCoreApplication::postEvent(this, new QEvent(kViewsReleased), Qt::LowEventPriority - 1);
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == kViewsReleased) {
        // Each view repaints in full, whatever it was asked while held.
        modelView_->setUpdatesEnabled(true);
        patternView_->setUpdatesEnabled(true);
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!paneSizesApplied_) {
        // Now that the panes have their real extent.
        paneSizesApplied_ = true;
        applyModelViewSize();
    }
}

void MainWindow::saveWindowSettings()
{
    nettor::AppState& state = nettor::appState();
    if (modelView_->isVisible())
        state.modelViewSize = {modelView_->width(), modelView_->height()};
    const bool maximized = isMaximized();
    const bool minimized = isMinimized();
    QRect normal = (maximized || minimized) ? normalGeometry() : geometry();
    if (!normal.isValid()) normal = geometry();
    const nettor::WindowPlacement placement = nettor::WindowPlacement::ofWindow(
        {normal.x(), normal.y(), normal.width(), normal.height()}, maximized, minimized);
    writeStoredValues(nettor::valuesToStore(placement, state.modelViewSize, state.settings, &state.partSearch));
    writeBarState({saveState(), !statusBar()->isHidden(), true});
    writeStoredPages({state.layoutMode, state.pagesSettings, state.settings.printTextures != 0});
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // Closed from the window system: the unsaved work is asked about
    // (Exit asks before it closes).
    if (event->spontaneous() && !maybeSaveChanges()) {
        event->ignore();
        return;
    }
    removeRecoveryCopy();
    saveWindowSettings();
    // The textured pattern window goes with the main window, and with it
    // the program.
    if (TextureWindow* textured = TextureWindow::current()) textured->close();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile() && isOpenableFile(urls.first().toLocalFile()))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return;
    const QString path = urls.first().toLocalFile();
    if (!isOpenableFile(path)) return;
    event->acceptProposedAction();
    // Opened after the drop has ended, so that the source is not kept
    // waiting while a message box is up.
    QTimer::singleShot(0, this, [this, path] { openFileAsked(path); });
}

void MainWindow::updateTitle(const QString& documentTitle)
{
    documentTitle_ = documentTitle;
    refreshTitle();
}

void MainWindow::refreshTitle()
{
    // The project's name (or the model's), with a star while there are
    // unsaved changes.
    const nettor::AppState& state = nettor::appState();
    const QString star = state.model && state.unsavedChanges() ? QStringLiteral("*") : QString();
    const QString title = documentTitle_.isEmpty() ? QStringLiteral("Nettor")
                                                   : documentTitle_ + star + QStringLiteral(" - Nettor");
    if (windowTitle() != title) setWindowTitle(title);
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
    QAction* exit = action(Command::Exit);
    for (int i = 0; i < recent_.size(); ++i) {
        const QString path = recent_[i];
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)), fileMenu_);
        connect(item, &QAction::triggered, this, [this, path] { openFileAsked(path); });
        fileMenu_->insertAction(exit, item);
        recentActions_ << item;
    }
    // A separator between the list and Exit only when there is a list.
    if (!recent_.isEmpty()) {
        auto* sep = new QAction(fileMenu_);
        sep->setSeparator(true);
        fileMenu_->insertAction(exit, sep);
        recentActions_ << sep;
    }
}
