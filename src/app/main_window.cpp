#include "app/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>

#include "app/about_dialog.h"
#include "app/qt_dialogs.h"
#include "editor/edit_session.h"
#include "model/caption.h"

namespace vantrel {

namespace {

constexpr int kRefusalShownMs = 5000;

QIcon Icon(const char* name) {
    return QIcon(QString(":/icons/%1.png").arg(name));
}

}  // namespace

MainWindow::MainWindow(Dialogs* dialogs, const std::vector<MediaPlayer::Option>& playerOptions)
    : ownDialogs_(dialogs == nullptr ? std::make_unique<QtDialogs>(this) : nullptr),
      dialogs_(dialogs == nullptr ? *ownDialogs_ : *dialogs),
      view_(new MainView(dialogs_, this, playerOptions)) {
    setWindowTitle("Vantrel");
    setWindowIcon(Icon("vantrel"));
    setCentralWidget(view_);
    CreateMenus();
    CreateToolBar();
    // The toolbar stays: no menu to hide it.
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(&view_->Captions(), &CaptionWindow::EditingChanged, this,
            &MainWindow::UpdateStyleButtons);
    connect(view_, &MainView::ProjectChanged, this, &MainWindow::UpdateUndoActions);
    connect(&view_->Captions(), &CaptionWindow::EditingChanged, this,
            &MainWindow::UpdateUndoActions);
    UpdateStyleButtons();
    UpdateUndoActions();
    // A refused edit says why where the operator looks, not by a beep alone.
    QStatusBar* status = statusBar();
    status->setSizeGripEnabled(false);  // the window has one size
    connect(&view_->Captions(), &CaptionWindow::Refused, status,
            [status](const QString& why) { status->showMessage(why, kRefusalShownMs); });
    // One fixed size that holds the menu bar, the toolbar, the view and the status bar.
    setFixedSize(sizeHint());
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::AddFileCommand(QMenu* menu, const char* text, std::function<void()> command) {
    return menu->addAction(text, this, [this, command = std::move(command)] {
        view_->Captions().EndEdit();
        command();
    });
}

void MainWindow::CreateMenus() {
    MainView& v = *view_;
    FileCommands& f = v.Files();
    QMenu* file = menuBar()->addMenu("&File");
    new_ = AddFileCommand(file, "&New Caption Project...", [&f] { f.New(); });
    new_->setShortcut(QKeySequence::New);
    open_ = AddFileCommand(file, "&Open Caption Project...", [&f] { f.Open(); });
    open_->setShortcut(QKeySequence::Open);
    save_ = AddFileCommand(file, "&Save Caption Project", [&f] { f.Save(); });
    save_->setShortcut(QKeySequence::Save);
    QAction* saveAs = AddFileCommand(file, "Save Caption Project &As...", [&f] { f.SaveAs(); });
    saveAs->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    import_ = AddFileCommand(file, "&Import Captions...", [&f] { f.ImportCaptions(); });
    export_ = AddFileCommand(file, "&Export Captions...", [&f] { f.ExportCaptions(); });
    AddFileCommand(file, "&Convert to Subtitle...", [&f] { f.ConvertToSubtitle(); });
    AddFileCommand(file, "&Generate Timing Report...", [&f] { f.GenerateTimingReport(); });
    AddFileCommand(file, "&Multiplex into MPEG2 Stream...", [&f] { f.Multiplex(); });
    file->addSeparator();
    chooseVideo_ = AddFileCommand(file, "Choose &Video Stream...", [&v] { v.ChooseVideoStream(); });
    file->addSeparator();
    QAction* exit = file->addAction("E&xit", this, &QWidget::close);
    exit->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu("&Edit");
    undo_ = edit->addAction("&Undo", this, [&v] { v.Undo(); });
    undo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_ = edit->addAction("&Redo", this, [&v] { v.Redo(); });
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About...", this, [this] {
        AboutDialog about(this);
        about.exec();
    });
}

void MainWindow::CreateToolBar() {
    QToolBar* bar = addToolBar("Toolbar");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    const auto button = [bar](QAction* action, const char* icon, const char* tip) {
        action->setIcon(Icon(icon));
        action->setToolTip(tip);
        bar->addAction(action);
    };
    button(new_, "new", "New Caption Project");
    button(open_, "open", "Open Caption Project");
    button(save_, "save", "Save Caption Project");
    bar->addSeparator();
    button(chooseVideo_, "choose_video", "Choose Video Stream");
    bar->addSeparator();
    button(import_, "import", "Import Captions");
    button(export_, "export", "Export Captions");
    bar->addSeparator();
    button(undo_, "undo", "Undo");
    button(redo_, "redo", "Redo");
    bar->addSeparator();
    // Italics and underline have no menu item; they act on the caption being typed.
    CaptionWindow& captions = view_->Captions();
    italics_ = new QAction(this);
    underline_ = new QAction(this);
    italics_->setCheckable(true);
    underline_->setCheckable(true);
    // The window sets the checks from the typing attribute, not the click.
    connect(italics_, &QAction::triggered, this, [&captions] { captions.ToggleItalics(); });
    connect(underline_, &QAction::triggered, this, [&captions] { captions.ToggleUnderline(); });
    button(italics_, "italics", "Italics");
    button(underline_, "underline", "Underline");
}

void MainWindow::UpdateStyleButtons() {
    const CaptionWindow& captions = view_->Captions();
    const bool editing = captions.IsEditing();
    const uint8_t attribute = captions.Editing().typingAttribute;
    italics_->setEnabled(editing);
    underline_->setEnabled(editing);
    // Greyed buttons show unchecked.
    italics_->setChecked(editing && IsItalic(attribute));
    underline_->setChecked(editing && IsUnderlined(attribute));
}

void MainWindow::UpdateUndoActions() {
    const EditHistory& history = view_->History();
    // An edit being typed is the step Undo takes first.
    const EditingContext& editing = view_->Captions().Editing();
    const bool typed = EditSessionChanged(editing);
    const std::string undoName = typed ? editing.stepName : history.UndoName();
    const std::string redoName = typed ? std::string() : history.RedoName();
    undo_->setEnabled(!undoName.empty());
    redo_->setEnabled(!redoName.empty());
    undo_->setText(undoName.empty() ? "&Undo" : QString::fromStdString("&Undo " + undoName));
    redo_->setText(redoName.empty() ? "&Redo" : QString::fromStdString("&Redo " + redoName));
    undo_->setToolTip(undo_->text().remove('&'));
    redo_->setToolTip(redo_->text().remove('&'));
}

bool MainWindow::QuitIfAllowed() {
    view_->Captions().EndEdit();
    return !view_->Files().PromptSaveChanges();
}

// The close box and File > Exit both come here.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (QuitIfAllowed()) {
        view_->StopTimer();
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::event(QEvent* event) {
    // Coming back to the window repaints the picture.
    if (event->type() == QEvent::WindowActivate) view_->RefreshViews(false);
    return QMainWindow::event(event);
}

}  // namespace vantrel
