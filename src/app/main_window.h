#pragma once
// The main window: three panes in splitters, the menu, the tool bar and the
// status bar, every command's action, and the settings and window layout
// kept between runs.
//
// Every command has one QAction, owned here and shared by the menu and the
// tool bar, found with action(Command) or by its object name
// ("actionSaveEmf"). A command runs the handler set with setCommandHandler
// and is enabled by its rule in nettor::commandState; a command without a
// handler stays disabled.
#include "session/commands.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>

#include <functional>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTimer;
class QToolBar;
class Document;
class ModelView;
class InformationPanel;
class LockIndicators;
class PatternView;
class PrintCommands;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;
    // The size of the window when no placement is stored.
    static constexpr int kDefaultWidth = 1000;
    static constexpr int kDefaultHeight = 720;
    // The filter of the Open dialog, in Qt's form.
    static QString openFilter();
    // Whether a dropped file is one the Open dialog offers (by its filter).
    static bool isOpenableFile(const QString& path);

    explicit MainWindow(Document* document, QWidget* parent = nullptr);
    // An orderly end: the recovery copy goes.
    ~MainWindow() override;

    // Opens a file through the Open command and records it in the recent
    // list, without asking about unsaved work (as the command line does).
    bool openFile(const QString& path);
    // The same after asking about unsaved work, as the recent-file list and
    // a drop do; false also when the user cancels.
    bool openFileAsked(const QString& path);
    QStringList recentFiles() const { return recent_; }

    QAction* action(nettor::Command command) const { return actions_.value(command); }
    void setCommandHandler(nettor::Command command, std::function<void()> handler);

    QToolBar* toolBar() const { return toolBar_; }
    ModelView* modelView() const { return modelView_; }
    InformationPanel* informationPanel() const { return informationPanel_; }
    PatternView* patternView() const { return patternView_; }
    PrintCommands* printCommands() const { return printCommands_; }
    LockIndicators* lockIndicators() const { return lockIndicators_; }
    QAction* undoEdgePickAction() const { return action(nettor::Command::UndoLastEdgePick); }
    QSplitter* columnSplitter() const { return columns_; }
    QSplitter* leftColumnSplitter() const { return leftColumn_; }

    // Asks whether to save unsaved work (Save, Discard, Cancel); true when
    // the caller may go on: nothing unsaved, saved, or discarded.
    bool maybeSaveChanges();
    // Save Project: into the project's file, else as Save Project As.
    bool saveProject();
    bool saveProjectAs();
    // The recovery copy of this process, in the user's data folder.
    static QString recoveryCopyPath();
    // Milliseconds between recovery copies (NETTOR_RECOVERY_INTERVAL_MS
    // overrides the minute).
    void setRecoveryInterval(int milliseconds);
    // At start: offers the recovery copies that ended processes left.
    void offerRecovery();

    // The path the Help command opens.
    static QString helpFilePath();

public slots:
    void onOpen();
    // Enables and checks every action from the current state.
    void updateCommandStates();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createActions();
    void buildMenus();
    void buildToolBar();
    void installHandlers();
    void runCommand(nettor::Command command);
    void loadWindowSettings();
    void saveWindowSettings();
    void applyModelViewSize();
    void cyclePane(int step);
    // The end of a background unfolding: the views' repaints wait until the
    // frame with the panel's final counters has been drawn.
    void holdViewsForCounters();
    void releaseViewsAfterCounters();

    void saveOutput(int output);
    void showSettingsDialog();
    void showPageSetup();
    // The status bar's count of misplaced parts on the pages, and where the
    // two sides of a lit cut are (change: the ViewChange's number).
    void showMisplacedCount(int change);
    void showHelp();
    void showAbout();
    // Open Texture image: the bitmap chosen in the open dialog becomes the
    // model's texture when the core accepts it.
    void openTexture();

    void updateTitle(const QString& documentTitle);
    void refreshTitle();
    bool saveProjectTo(const QString& path);
    void applyOpenedCamera();
    // The 3D view's camera into the session, for the project file.
    void keepCamera();
    void writeRecoveryCopy();
    void removeRecoveryCopy();
    void loadRecentFiles();
    void saveRecentFiles() const;
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();

    Document* document_;
    ModelView* modelView_ = nullptr;
    InformationPanel* informationPanel_ = nullptr;
    PatternView* patternView_ = nullptr;
    QSplitter* columns_ = nullptr;
    QSplitter* leftColumn_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* prompt_ = nullptr;
    QLabel* misplacedLabel_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    QStringList recent_;
    QHash<nettor::Command, QAction*> actions_;
    QHash<nettor::Command, std::function<void()>> handlers_;
    QTimer* stateTimer_ = nullptr;
    PrintCommands* printCommands_ = nullptr;
    LockIndicators* lockIndicators_ = nullptr;
    bool paneSizesApplied_ = false;
    QString documentTitle_;
    QTimer* recoveryTimer_ = nullptr;
};
