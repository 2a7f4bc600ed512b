// The program's one window: a fixed-size QMainWindow with the File, Edit and Help menus, the
// toolbar, the main view and the status bar. Closing it, or File > Exit, asks first whether to
// save a changed project.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

#include "app/dialogs.h"
#include "app/main_view.h"

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
    QAction& ItalicsAction() { return *italics_; }
    QAction& UnderlineAction() { return *underline_; }
    QAction& UndoAction() { return *undo_; }
    QAction& RedoAction() { return *redo_; }

    // Asks whether to save a changed project; true when the window may close.
    bool QuitIfAllowed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void CreateMenus();
    void CreateToolBar();
    // Enables and checks the italics and underline buttons after the caption window.
    void UpdateStyleButtons();
    // Undo and Redo name the steps they would take, and are greyed when there is none.
    void UpdateUndoActions();
    // A File command: the caption being typed is committed first.
    QAction* AddFileCommand(QMenu* menu, const char* text, std::function<void()> command);

    std::unique_ptr<Dialogs> ownDialogs_;
    Dialogs& dialogs_;
    MainView* view_;
    QAction* new_ = nullptr;
    QAction* open_ = nullptr;
    QAction* save_ = nullptr;
    QAction* chooseVideo_ = nullptr;
    QAction* import_ = nullptr;
    QAction* export_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* italics_ = nullptr;
    QAction* underline_ = nullptr;
};

}  // namespace vantrel
