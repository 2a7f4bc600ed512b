// The program's one window: a resizable QMainWindow with the File, Edit, Format, View, Tools and
// Help menus, the toolbar, the main view and the status bar. Closing it, or File > Exit, asks first
// whether to save a changed project. The title names the project and marks it changed; File >
// Open Recent holds the last projects. Its size and layout are kept between sessions.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMainWindow>
#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <QToolBar>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "app/autosave.h"
#include "app/caption_commands.h"
#include "app/dialogs.h"
#include "app/main_view.h"
#include "app/spelling_dialog.h"

namespace vantrel {

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // `dialogs` null: the window's own message boxes and file dialogs. Tests pass their own, and
    // player options such as "ao" = "null".
    explicit MainWindow(Dialogs* dialogs = nullptr,
                        const std::vector<MediaPlayer::Option>& playerOptions = {});
    ~MainWindow() override;

    MainView& View() { return *view_; }
    CaptionCommands& Commands() { return *commands_; }
    SpellingDialog& Spelling() { return *spelling_; }
    QAction& ItalicsAction() { return *italics_; }
    QAction& UnderlineAction() { return *underline_; }
    // Format > White to Magenta, by colour number 0 to 6.
    QAction& ColourAction(int colour) { return *colours_[colour]; }
    // View > Drop-Frame Timecodes.
    QAction& DropFrameAction() { return *dropFrame_; }
    // View > Show Caption List.
    QAction& ShowListAction() { return *showList_; }
    // View > Snap to Shot Changes.
    QAction& SnapAction() { return *snap_; }
    // View > Show Properties Panel.
    QAction& ShowPanelAction() { return *showPanel_; }
    QAction& UndoAction() { return *undo_; }
    QAction& RedoAction() { return *redo_; }

    // The program's argument: a .ccp file opens as the project; any other file is the video of
    // the new project the window starts with (a missing one is reported).
    void OpenArgument(const std::string& path);

    // Asks whether to save a changed project; true when the window may close.
    bool QuitIfAllowed();

    // Offers what windows that no longer run left unsaved in the recovery `folder`, then keeps
    // this window's changed project there. True when a project was recovered.
    bool StartRecovery(const std::string& folder);
    Autosave& Recovery() { return autosave_; }
    // SIGTERM or SIGHUP: the caption being typed is committed, the changed project written to
    // the recovery file, which stays, and the program ends with 128 + `signal`.
    void EndOnSignal(int signal);

    // Runs a command of the window; memory or a system resource that runs out on the way is
    // told in a message box naming `operation`, and the views show the project as it is.
    void Guarded(const QString& operation, const std::function<void()>& command);

    // Where the recent projects, the layout and the other choices are kept:
    // ~/.config/vantrel/vantrel.conf.
    static QSettings Settings();

    // The projects of File > Open Recent, the last one opened or saved first.
    static constexpr int kRecentProjects = 10;
    static QStringList RecentProjects();
    // The title and its changed mark, the recent projects and the recovery file after the
    // project's state.
    void ShowProjectState();

    // The layout is written a moment after it last changed, so that a window that is killed
    // comes back as it was.
    static constexpr int kLayoutSaveDelayMs = 500;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void CreateMenus();
    // The window's size and place and the view's splitters, as the last session left them.
    void RestoreLayout();
    void SaveLayout();
    void CreateToolBar();
    // Playback: play and pause, the steps, the timing keys and the speed, with their keys.
    void CreatePlaybackMenu();
    // Edit: Find and Replace and the captions on the clipboard; Captions: split, merge, the
    // positions and the commands on times.
    void AddCaptionEditCommands(QMenu* edit);
    void CreateCaptionsMenu();
    // Tools: the check, the check profile, spelling and its language, the shot-change threshold.
    void CreateToolsMenu();
    // The built-in profile `name` in force and checked in the menu (an unknown name: none).
    void UseCheckProfile(const QString& name);
    // The spelling language `name` ("" none) in force and checked in the menu; false (and said)
    // when its dictionary cannot be had, the one before staying checked.
    bool UseSpellingLanguage(const QString& name);
    // After the project's path changed: its remembered profile and spelling language, or those
    // in force kept for it.
    void FollowProjectChoices();
    // The playback speed in the status bar, whenever it is not 1x.
    void ShowSpeed();
    // Enables and checks the italics, underline and colour buttons after the caption window.
    void UpdateStyleButtons();
    // Undo and Redo name the steps they would take, and are greyed when there is none.
    void UpdateUndoActions();
    // A File command: the caption being typed is committed first.
    QAction* AddFileCommand(QMenu* menu, const char* text, std::function<void()> command);
    void FillRecentMenu();
    void AddRecentProject(const QString& path);

    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs& dialogs_;
    MainView* view_;
    CaptionCommands* commands_;
    QAction* new_ = nullptr;
    QAction* open_ = nullptr;
    QAction* save_ = nullptr;
    QAction* chooseVideo_ = nullptr;
    QAction* import_ = nullptr;
    QAction* export_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* dropFrame_ = nullptr;
    QAction* showList_ = nullptr;
    QAction* snap_ = nullptr;
    QAction* showPanel_ = nullptr;
    QAction* italics_ = nullptr;
    QAction* underline_ = nullptr;
    std::array<QAction*, 7> colours_ = {};
    QMenu* recent_ = nullptr;
    QActionGroup* profiles_ = nullptr;
    QActionGroup* languages_ = nullptr;
    SpellingDialog* spelling_ = nullptr;
    Autosave autosave_;
    std::string shownPath_;
    QTimer layoutSaver_;
    QLabel speedLabel_;
};

}  // namespace vantrel
