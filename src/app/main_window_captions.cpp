// The window's commands on whole captions and their text: Edit > Find and Replace and the
// captions on the clipboard, and the Captions menu (split, merge, the positions, shifting and
// syncing times, the start or end at the playhead, the previous and next caption). The keys
// leave those of the caption screen alone: while a caption is edited, Ctrl+X, Ctrl+C and
// Ctrl+V are its text's, and Alt with the arrows is free in every state.
#include <QMenuBar>

#include "app/main_window.h"

namespace vantrel {

namespace {

struct CommandItem {
    const char* text;
    QKeyCombination key;  // none when empty
    void (*run)(CaptionCommands&);
};

// Key combinations, not sequences: a sequence made before the application would ask the
// platform for its keys.
// clang-format off
const CommandItem kEditItems[] = {
    {"&Find...", Qt::CTRL | Qt::Key_F, [](CaptionCommands& c) { c.ShowFind(false); }},
    {"R&eplace...", Qt::CTRL | Qt::Key_H, [](CaptionCommands& c) { c.ShowFind(true); }},
    {"Find &Next", Qt::Key_F3, [](CaptionCommands& c) { c.FindNext(true); }},
    {"Find Pre&vious", Qt::SHIFT | Qt::Key_F3, [](CaptionCommands& c) { c.FindNext(false); }},
    {nullptr, {}, nullptr},
    {"Cu&t Captions", Qt::CTRL | Qt::SHIFT | Qt::Key_X, [](CaptionCommands& c) { c.CopyCaptions(true); }},
    {"&Copy Captions", Qt::CTRL | Qt::SHIFT | Qt::Key_C, [](CaptionCommands& c) { c.CopyCaptions(false); }},
    {"&Paste Captions", Qt::CTRL | Qt::SHIFT | Qt::Key_V, [](CaptionCommands& c) { c.PasteCaptions(); }},
};

const CommandItem kCaptionItems[] = {
    {"&Split Caption at Row", Qt::CTRL | Qt::ALT | Qt::Key_Return, [](CaptionCommands& c) { c.SplitCaption(); }},
    {"&Merge Captions", Qt::CTRL | Qt::ALT | Qt::Key_J, [](CaptionCommands& c) { c.MergeCaptions(); }},
    {nullptr, {}, nullptr},
    {"&Bottom (Rows 14-15)", Qt::CTRL | Qt::ALT | Qt::Key_B, [](CaptionCommands& c) { c.Position(Placement::Bottom); }},
    {"&Top (Rows 1-2)", Qt::CTRL | Qt::ALT | Qt::Key_P, [](CaptionCommands& c) { c.Position(Placement::Top); }},
    {"&Raise Above a Lower Third...", {}, [](CaptionCommands& c) { c.Position(Placement::Raise); }},
    {"&Centred", {}, [](CaptionCommands& c) { c.Position(Placement::Centre); }},
    {"&Left", {}, [](CaptionCommands& c) { c.Position(Placement::Left); }},
    {nullptr, {}, nullptr},
    {"S&hift Times...", Qt::CTRL | Qt::ALT | Qt::Key_H, [](CaptionCommands& c) { c.ShiftTimes(); }},
    {"T&wo-Point Sync...", {}, [](CaptionCommands& c) { c.SyncTwoPoints(); }},
    {"St&art at Playhead", Qt::ALT | Qt::Key_BracketLeft, [](CaptionCommands& c) { c.StartAtPlayhead(); }},
    {"&End at Playhead", Qt::ALT | Qt::Key_BracketRight, [](CaptionCommands& c) { c.EndAtPlayhead(); }},
    {"&Previous Caption", Qt::ALT | Qt::Key_Up, [](CaptionCommands& c) { c.GoToCaption(false); }},
    {"&Next Caption", Qt::ALT | Qt::Key_Down, [](CaptionCommands& c) { c.GoToCaption(true); }},
};
// clang-format on

}  // namespace

void MainWindow::AddCaptionEditCommands(QMenu* edit) {
    edit->addSeparator();
    for (const CommandItem& item : kEditItems) {
        if (item.text == nullptr) {
            edit->addSeparator();
            continue;
        }
        QAction* action = edit->addAction(item.text, this, [this, item] {
            Guarded(QString(item.text).remove(u'&').remove("..."), [&] { item.run(*commands_); });
        });
        if (item.key.toCombined() != 0) action->setShortcut(QKeySequence(item.key));
    }
    CaptionTable& table = view_->Table();
    connect(&table, &CaptionTable::CutRequested, this, [this] { commands_->CopyCaptions(true); });
    connect(&table, &CaptionTable::CopyRequested, this, [this] { commands_->CopyCaptions(false); });
    connect(&table, &CaptionTable::PasteRequested, this, [this] { commands_->PasteCaptions(); });
}

void MainWindow::CreateCaptionsMenu() {
    QMenu* captions = menuBar()->addMenu("&Captions");
    QMenu* into = captions;
    for (const CommandItem& item : kCaptionItems) {
        if (item.text == nullptr) {
            into->addSeparator();
            continue;
        }
        QAction* action = into->addAction(item.text, this, [this, item] {
            Guarded(QString(item.text).remove(u'&').remove("..."), [&] { item.run(*commands_); });
        });
        if (item.key.toCombined() != 0) action->setShortcut(QKeySequence(item.key));
    }
}

}  // namespace vantrel
