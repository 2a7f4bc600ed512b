#include "app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>

#include "app/about_dialog.h"
#include "app/file_dialog_requests.h"
#include "app/guarded.h"
#include "app/qt_dialogs.h"
#include "app/shortcuts_dialog.h"
#include "caption_window/caption_palette.h"
#include "editor/edit_session.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "model/caption.h"

namespace vantrel {

namespace {

constexpr int kRefusalShownMs = 5000;
constexpr int kFinishedShownMs = 10000;

QIcon Icon(const char* name) {
    return QIcon(QString(":/icons/%1.png").arg(name));
}

// A colour's button: a square of the colour the caption screen draws it in, outlined so that
// white shows on a light toolbar.
QIcon ColourIcon(int colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.setBrush(QColor(CaptionPalette[colour]));
    painter.drawRect(2, 2, 11, 11);
    return QIcon(pixmap);
}

// The seven colours a mid-row code gives text, in their code order.
constexpr const char* kColourNames[] = {"&White", "&Green",  "&Blue",   "&Cyan",
                                        "&Red",   "&Yellow", "&Magenta"};

constexpr char kRecentKey[] = "recentProjects";
constexpr char kDropFrameKey[] = "dropFrameTimecodes";
constexpr char kSnapKey[] = "snapToShotChanges";
constexpr char kSnapSpeechKey[] = "snapToSpeech";
constexpr char kGeometryKey[] = "layout/windowGeometry";
constexpr char kPanelShownKey[] = "layout/propertiesPanelShown";
constexpr char kListShownKey[] = "layout/captionListShown";
// The window of a new user, within the screen.
constexpr QSize kFirstWindowSize(1024, 720);

// A checkable entry kept in the settings under `key`: `apply` takes its state now and at each
// change.
QAction* AddViewSetting(QMenu* menu, const char* text, const char* key, bool byDefault,
                        std::function<void(bool)> apply) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(MainWindow::Settings().value(key, byDefault).toBool());
    apply(action->isChecked());
    QObject::connect(action, &QAction::toggled, action, [key, apply = std::move(apply)](bool on) {
        apply(on);
        MainWindow::Settings().setValue(key, on);
    });
    return action;
}

// A menu text as the name of its command: "&Import Captions..." is "Import Captions".
QString CommandName(const char* text) {
    QString name = QString(text).remove(u'&');
    while (name.endsWith(u'.')) name.chop(1);
    return name;
}

}  // namespace

QSettings MainWindow::Settings() {
    return QSettings("vantrel", "vantrel");
}

MainWindow::MainWindow(Dialogs* dialogs, const std::vector<MediaPlayer::Option>& playerOptions)
    : ownDialogs_(dialogs == nullptr ? std::make_unique<QtDialogs>(this) : nullptr),
      dialogs_(dialogs == nullptr ? *ownDialogs_ : *dialogs),
      view_(new MainView(dialogs_, this, playerOptions)),
      commands_(new CaptionCommands(*view_, dialogs_, this)),
      autosave_(*view_) {
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
    const auto showRefusal = [status](const QString& why) {
        status->showMessage(why, kRefusalShownMs);
    };
    connect(&view_->Captions(), &CaptionWindow::Refused, status, showRefusal);
    connect(view_, &MainView::Refused, status, showRefusal);
    connect(view_, &MainView::Finished, status,
            [status](const QString& what) { status->showMessage(what, kFinishedShownMs); });
    status->addPermanentWidget(&speedLabel_);
    ShowSpeed();
    RestoreLayout();
    layoutSaver_.setSingleShot(true);
    layoutSaver_.setInterval(kLayoutSaveDelayMs);
    connect(&layoutSaver_, &QTimer::timeout, this, &MainWindow::SaveLayout);
    connect(view_, &MainView::LayoutChanged, &layoutSaver_, qOverload<>(&QTimer::start));
    // Every change, undo, save, open and new passes through the project's changed signal.
    connect(view_, &MainView::ProjectChanged, this, &MainWindow::ShowProjectState);
    ShowProjectState();
}

MainWindow::~MainWindow() = default;

void MainWindow::RestoreLayout() {
    const QSettings settings = Settings();
    if (!restoreGeometry(settings.value(kGeometryKey).toByteArray())) {
        QSize size = kFirstWindowSize;
        if (const QScreen* shown = screen()) size = size.boundedTo(shown->availableSize());
        resize(size);
    }
    view_->RestoreLayout(settings);
}

void MainWindow::SaveLayout() {
    QSettings settings = Settings();
    settings.setValue(kGeometryKey, saveGeometry());
    view_->SaveLayout(settings);
}

QAction* MainWindow::AddFileCommand(QMenu* menu, const char* text, std::function<void()> command) {
    return menu->addAction(text, this, [this, text, command = std::move(command)] {
        Guarded(CommandName(text), [&] {
            view_->Captions().EndEdit();
            command();
        });
        ShowProjectState();
    });
}

void MainWindow::Guarded(const QString& operation, const std::function<void()>& command) {
    if (!RunGuarded(dialogs_, operation.toStdString(), command)) view_->ShowCaptionsAgain();
}

void MainWindow::OpenArgument(const std::string& path) {
    if (LowerCaseAscii(ExtensionOf(path)) == "ccp") {
        view_->Files().OpenProjectFile(path);
        return;
    }
    // From the root, so that the project keeps the video wherever it is saved.
    std::string absolute;
    const LocalFileKind kind = CheckLocalFile(path, &absolute);
    if (kind == LocalFileKind::Missing) {
        dialogs_.Inform(ErrorOpeningFileText(path));
        return;
    }
    view_->OpenVideo(kind == LocalFileKind::Regular ? absolute : path);
}

void MainWindow::CreateMenus() {
    MainView& v = *view_;
    FileCommands& f = v.Files();
    QMenu* file = menuBar()->addMenu("&File");
    new_ = AddFileCommand(file, "&New Caption Project...", [&f] { f.New(); });
    new_->setShortcut(QKeySequence::New);
    open_ = AddFileCommand(file, "&Open Caption Project...", [&f] { f.Open(); });
    open_->setShortcut(QKeySequence::Open);
    recent_ = file->addMenu("Open &Recent");
    connect(recent_, &QMenu::aboutToShow, this, &MainWindow::FillRecentMenu);
    save_ = AddFileCommand(file, "&Save Caption Project", [&f] { f.Save(); });
    save_->setShortcut(QKeySequence::Save);
    QAction* saveAs = AddFileCommand(file, "Save Caption Project &As...", [&f] { f.SaveAs(); });
    saveAs->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    import_ = AddFileCommand(file, "&Import Captions...", [&f] { f.ImportCaptions(); });
    AddFileCommand(file, "Import Transcript...", [&f] { f.ImportTranscript(); });
    export_ = AddFileCommand(file, "&Export Captions...", [&f] { f.ExportCaptions(); });
    AddFileCommand(file, "&Convert to Subtitle...", [&f] { f.ConvertToSubtitle(); });
    AddFileCommand(file, "&Generate Timing Report...", [&f] { f.GenerateTimingReport(); });
    AddFileCommand(file, "E&mbed Captions into Video...", [&f] { f.Multiplex(); });
    file->addSeparator();
    chooseVideo_ = AddFileCommand(file, "Choose &Video Stream...", [&v] { v.ChooseVideoStream(); });
    AddFileCommand(file, "Import Shot Changes...", [&v] { v.ImportShotChanges(); });
    file->addSeparator();
    QAction* exit = file->addAction("E&xit", this, &QWidget::close);
    exit->setShortcut(QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu("&Edit");
    undo_ = edit->addAction("&Undo", this, [&v] { v.Undo(); });
    undo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    redo_ = edit->addAction("&Redo", this, [&v] { v.Redo(); });
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    AddCaptionEditCommands(edit);
    CreateCaptionsMenu();
    // The colour of the next characters typed. The caption window takes the same keys itself
    // while editing; the menu shows them.
    QMenu* format = menuBar()->addMenu("F&ormat");
    CaptionWindow& captions = v.Captions();
    for (int k = 0; k < int(colours_.size()); ++k) {
        QAction* colour = format->addAction(kColourNames[k], this,
                                            [&captions, k] { captions.SetTypingColour(k); });
        colour->setCheckable(true);
        colour->setIcon(ColourIcon(k));
        colour->setShortcut(QKeySequence(Qt::ALT | (Qt::Key_1 + k)));
        colour->setToolTip(QString("%1 (%2)").arg(
            CommandName(kColourNames[k]), colour->shortcut().toString(QKeySequence::NativeText)));
        colours_[k] = colour;
    }
    QMenu* viewMenu = menuBar()->addMenu("&View");
    dropFrame_ =
        AddViewSetting(viewMenu, "&Drop-Frame Timecodes", kDropFrameKey, false, [&v](bool on) {
            v.SetTimecodeStyle(on ? TimecodeStyle::DropFrame : TimecodeStyle::NonDropFrame);
        });
    showList_ = AddViewSetting(viewMenu, "Show Caption &List", kListShownKey, true,
                               [&v](bool on) { v.SetListShown(on); });
    showPanel_ = AddViewSetting(viewMenu, "Show &Properties Panel", kPanelShownKey, true,
                                [&v](bool on) { v.SetPanelShown(on); });
    // The timeline's zoom. Ctrl+Alt keeps the keys clear of those the caption screen types.
    viewMenu->addSeparator();
    TimelineWindow& timeline = v.Timeline();
    QAction* zoomIn = viewMenu->addAction("Zoom &In", this, [&timeline] { timeline.ZoomIn(); });
    zoomIn->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Equal));
    QAction* zoomOut = viewMenu->addAction("Zoom &Out", this, [&timeline] { timeline.ZoomOut(); });
    zoomOut->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Minus));
    QAction* whole = viewMenu->addAction("Zoom to &Whole Programme", this,
                                         [&timeline] { timeline.ZoomToWholeProgramme(); });
    whole->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_0));
    snap_ = AddViewSetting(viewMenu, "&Snap to Shot Changes", kSnapKey, true,
                           [&timeline](bool on) { timeline.SetSnapping(on); });
    AddViewSetting(viewMenu, "Snap to Spee&ch", kSnapSpeechKey, true,
                   [&timeline](bool on) { timeline.SetSpeechSnapping(on); });
    CreatePlaybackMenu();
    CreateToolsMenu();

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("Keyboard Shortcuts", this, [this] {
        ShortcutsDialog shortcuts(*menuBar(), this);
        shortcuts.exec();
    });
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
    for (QAction* colour : colours_) bar->addAction(colour);
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
    for (int k = 0; k < int(colours_.size()); ++k) {
        colours_[k]->setEnabled(editing);
        colours_[k]->setChecked(editing && Foreground(attribute) == k);
    }
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

void MainWindow::FillRecentMenu() {
    recent_->clear();
    const QStringList paths = RecentProjects();
    for (qsizetype k = 0; k < paths.size(); ++k) {
        const QString path = paths[k];
        // "&1 name.ccp", the whole path as the tip; 10 is reached with 0.
        QAction* open =
            recent_->addAction(QString("&%1 %2").arg((k + 1) % 10).arg(QFileInfo(path).fileName()),
                               this, [this, path] {
                                   Guarded("Open Recent", [&] {
                                       view_->Captions().EndEdit();
                                       FileCommands& files = view_->Files();
                                       if (files.PromptSaveChanges()) return;
                                       view_->PauseIfPlaying();
                                       files.OpenProjectFile(path.toStdString());
                                   });
                                   ShowProjectState();
                               });
        open->setToolTip(path);
        open->setStatusTip(path);
    }
    recent_->setToolTipsVisible(true);
    if (paths.isEmpty()) recent_->addAction("(none)")->setEnabled(false);
}

QStringList MainWindow::RecentProjects() {
    return Settings().value(kRecentKey).toStringList();
}

void MainWindow::AddRecentProject(const QString& path) {
    QStringList paths = RecentProjects();
    paths.removeAll(path);
    paths.prepend(path);
    while (paths.size() > kRecentProjects) paths.removeLast();
    Settings().setValue(kRecentKey, paths);
}

void MainWindow::ShowProjectState() {
    const std::string& path = view_->Files().ProjectPath();
    if (path != shownPath_ || windowTitle().isEmpty()) {
        shownPath_ = path;
        const QString name =
            path.empty() ? QString("Untitled") : QFileInfo(QString::fromStdString(path)).fileName();
        setWindowTitle(name + "[*] - Vantrel");
        if (!path.empty())
            AddRecentProject(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
        FollowProjectChoices();
    }
    const bool modified = view_->Project().modified;
    setWindowModified(modified);
    // Saved, or back at the saved state: nothing to recover any more.
    if (!modified && autosave_.Files().Written()) autosave_.Discard();
}

bool MainWindow::StartRecovery(const std::string& folder) {
    // Ours first, so that what is recovered is held by this window before the old file goes.
    if (!autosave_.Start(folder)) {
        const std::string text = AutosaveOffText(folder, autosave_.Files().Error());
        auto* off = new QLabel(tr(kAutosaveOffStatus), this);
        off->setToolTip(QString::fromStdString(text));
        statusBar()->addPermanentWidget(off);
        dialogs_.Inform(text);
    }
    const bool recovered = OfferRecovery(*view_, dialogs_, autosave_, folder);
    ShowProjectState();
    return recovered;
}

void MainWindow::EndOnSignal(int signal) {
    // What is being typed is part of the work to keep.
    view_->Captions().EndEdit();
    autosave_.Update();
    QCoreApplication::exit(128 + signal);
}

bool MainWindow::QuitIfAllowed() {
    view_->Captions().EndEdit();
    return !view_->Files().PromptSaveChanges();
}

// The close box and File > Exit both come here.
void MainWindow::closeEvent(QCloseEvent* event) {
    if (QuitIfAllowed()) {
        view_->StopTimer();
        autosave_.Discard();
        layoutSaver_.stop();
        SaveLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

bool MainWindow::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::WindowActivate:
            // Coming back to the window repaints the picture.
            view_->RefreshViews(false);
            break;
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::WindowStateChange:
            layoutSaver_.start();
            break;
        default:
            break;
    }
    return QMainWindow::event(event);
}

}  // namespace vantrel
