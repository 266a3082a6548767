#pragma once
// The main window: three panes in splitters, the menu, and the recent-file
// list of 4 entries.
#include <QMainWindow>
#include <QStringList>

class QAction;
class QMenu;
class QSplitter;
class Document;
class ModelView;
class InformationPanel;
class PatternView;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;
    // The filter of the Open dialog, in Qt's form.
    static QString openFilter();

    explicit MainWindow(Document* document, QWidget* parent = nullptr);

    // Opens a file through the Open command and records it in the recent list.
    bool openFile(const QString& path);
    QStringList recentFiles() const { return recent_; }

    ModelView* modelView() const { return modelView_; }
    InformationPanel* informationPanel() const { return informationPanel_; }
    PatternView* patternView() const { return patternView_; }
    QAction* undoEdgePickAction() const { return undoEdgePickAction_; }

public slots:
    void onOpen();

private:
    void buildMenus();
    void updateTitle(const QString& documentTitle);
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
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* exitAction_ = nullptr;
    QAction* undoEdgePickAction_ = nullptr;
    QList<QAction*> recentActions_;
    QStringList recent_;
};
