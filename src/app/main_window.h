#pragma once
// The main window: three panes in splitters, the menu, and the recent-file
// list of 4 entries.
#include <QMainWindow>
#include <QStringList>

class QAction;
class QMenu;
class QSplitter;
class CUnfurler00Doc;
class CModelView;
class CInfomationView;
class CDuvizuduView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;
    // The filter of the Open dialog, in Qt's form.
    static QString openFilter();

    explicit CMainFrame(CUnfurler00Doc* document, QWidget* parent = nullptr);

    // Opens a file through the Open command and records it in the recent list.
    bool openFile(const QString& path);
    QStringList recentFiles() const { return recent_; }

    CModelView* modelView() const { return modelView_; }
    CInfomationView* informationView() const { return informationView_; }
    CDuvizuduView* patternView() const { return patternView_; }

public slots:
    void onOpen();

private:
    void buildMenus();
    void updateTitle(const QString& documentTitle);
    void loadRecentFiles();
    void saveRecentFiles() const;
    void addRecentFile(const QString& path);
    void rebuildRecentMenu();

    CUnfurler00Doc* document_;
    CModelView* modelView_ = nullptr;
    CInfomationView* informationView_ = nullptr;
    CDuvizuduView* patternView_ = nullptr;
    QSplitter* columns_ = nullptr;
    QSplitter* leftColumn_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* exitAction_ = nullptr;
    QList<QAction*> recentActions_;
    QStringList recent_;
};
