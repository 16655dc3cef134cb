// SPDX-License-Identifier: MIT
#pragma once
#include <QMainWindow>
#include <functional>
#include <string>

#include "app/common_dialog.h"
#include "app/folder_list.h"
#include "app/volume_table.h"
#include "app/window_run.h"
#include "search/search_state.h"

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;

namespace doze {

class DriveList;

// What the main window reaches outside itself; each empty member stands for
// the real thing (LoadVolumes, RunSearch, ending the process, getcwd,
// ListSubfolders).
struct MainWindowServices {
    VolumeSource volumes;
    SearchFunction search;
    std::function<void()> endProgram;
    std::string startFolder;
    FolderLister folders;
};

// The main window: drive and folder lists, the list options, "Go" and the
// menus. Holds the search state of a run. Enter presses "Go" from every
// control but the folder list (where it opens a folder) and an open popup;
// "Go" during a run does nothing. Deleted when closed.
class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(MainWindowServices services = {});

    // SearchRoot, FoundList, FoundCount.
    SearchState Search;
    CommonDialog CD;

    QPushButton* Command1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option1 = nullptr;
    QLabel* Label3 = nullptr;
    FolderList* Dir1 = nullptr;
    DriveList* Drive1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;

    QMenu* MenuFile = nullptr;
    QAction* MenuExit = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuContents = nullptr;
    QAction* Sep1 = nullptr;
    QAction* MenuAbout = nullptr;

    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void MenuExit_Click();
    void MenuContents_Click();
    void MenuAbout_Click();

  signals:
    // Form_Unload has run: the window is being closed.
    void Unloaded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls(QWidget* client);
    void BuildMenus();
    void WidenLabels();
    void Form_Load();
    void Form_Unload();

    MainWindowServices services_;
    bool running_ = false;  // a run behind "Go" is under way
};

// Creates the main window and shows it, not modal, centred on the screen.
frmMain* ShowMainWindow(MainWindowServices services = {});

// The process's current folder as a byte string; "/" when it cannot be told.
std::string CurrentFolder();

}  // namespace doze
