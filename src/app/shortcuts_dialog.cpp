#include "app/shortcuts_dialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace vantrel {

namespace {

struct KeyRow {
    const char* keys;
    const char* action;
};

// The caption screen's own keys while editing (it takes every key without Ctrl or Alt then).
constexpr KeyRow kEditingKeys[] = {
    {"Arrows, Home, End", "Move the caret (with Shift as well)"},
    {"Ctrl+Left / Ctrl+Right", "Move the caret by a word"},
    {"Ctrl+Home / Ctrl+End", "Move the caret to the screen's ends"},
    {"Ctrl+Up / Ctrl+Down", "Move the row of text up or down"},
    {"Tab / Shift+Tab", "Shift the text run 4 columns right / left (with Ctrl: 1 column)"},
    {"Ctrl+E", "Centre the run"},
    {"Ctrl+I / Ctrl+U", "Italics / underline for what is typed next"},
    {"Alt+1 to Alt+7", "White, green, blue, cyan, red, yellow, magenta for what is typed next"},
    {"Enter, Backspace, Delete", "New line, delete before / after the caret"},
    {"Escape", "End the edit, keeping what was typed"},
    {"Ctrl+' then a vowel", "Acute accent"},
    {"Ctrl+`, Ctrl+Shift+;, Ctrl+Shift+6, Ctrl+Shift+`, Ctrl+,",
     "Grave, diaeresis, circumflex, tilde, cedilla (then the letter)"},
    {"` (grave accent)", "The music note"},
    {"Ctrl+Alt+C / R / T", "\u00A9 / \u00AE / \u2122"},
};

constexpr KeyRow kOtherKeys[] = {
    {"Delete", "Timeline: delete the caption clicked"},
    {"Enter", "Properties panel: apply the start, end or duration typed"},
    {"Escape", "Progress of a reading: cancel it"},
};

void AddMenuKeys(QTreeWidgetItem* group, const QMenu& menu, const QString& path) {
    for (QAction* action : menu.actions()) {
        QString text = action->text().remove(u'&');
        // Undo and Redo carry the name of the step they would take; their keys take any.
        for (const QString general : {"Undo", "Redo"}) {
            if (text.startsWith(general + " ")) text = general;
        }
        const QString name = path + " > " + text;
        if (action->menu() != nullptr) {
            AddMenuKeys(group, *action->menu(), name);
            continue;
        }
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) {
            keys << key.toString(QKeySequence::NativeText);
        }
        if (!keys.isEmpty()) new QTreeWidgetItem(group, {keys.join(", "), name});
    }
}

QTreeWidgetItem* AddGroup(QTreeWidget& tree, const char* title) {
    auto* group = new QTreeWidgetItem(&tree, {title});
    group->setFirstColumnSpanned(true);
    return group;
}

}  // namespace

ShortcutsDialog::ShortcutsDialog(const QMenuBar& menus, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Keyboard Shortcuts");
    keys_.setColumnCount(2);
    keys_.setHeaderLabels({"Keys", "Action"});
    keys_.setRootIsDecorated(false);
    QTreeWidgetItem* menuKeys = AddGroup(
        keys_, "Menus (keys without Ctrl or Alt: while the caption screen is not editing)");
    for (QAction* top : menus.actions()) {
        if (top->menu() != nullptr) AddMenuKeys(menuKeys, *top->menu(), top->text().remove(u'&'));
    }
    QTreeWidgetItem* editing = AddGroup(keys_, "Caption screen while editing");
    for (const KeyRow& row : kEditingKeys) new QTreeWidgetItem(editing, {row.keys, row.action});
    QTreeWidgetItem* other = AddGroup(keys_, "Timeline, panel and progress");
    for (const KeyRow& row : kOtherKeys) new QTreeWidgetItem(other, {row.keys, row.action});
    keys_.expandAll();
    keys_.resizeColumnToContents(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&keys_);
    layout->addWidget(buttons);
    resize(640, 560);
}

}  // namespace vantrel
