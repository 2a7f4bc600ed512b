#include "app/main_window.h"

#include <QCloseEvent>
#include <QMenuBar>

#include "app/about_dialog.h"
#include "app/qt_dialogs.h"
#include "model/caption.h"

namespace vantrel {

namespace {

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
    UpdateStyleButtons();
    // One fixed size that holds the menu bar, the toolbar and the view.
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

    QMenu* tools = menuBar()->addMenu("&Tools");
    AddFileCommand(tools, "&Check Captions", [&v] { v.ShowCheck(); });

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
