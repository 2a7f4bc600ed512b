// Without an edit copy, or before the caret has been placed, every command does nothing.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/typing_attribute.h"
#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::PutText;

using Command = std::function<void(EditingContext&, EditorView&)>;

std::vector<Command> AllCommands() {
    return {
        CaretLeft,
        CaretRight,
        CaretUp,
        CaretDown,
        RunHome,
        RunEndKey,
        ScreenHome,
        ScreenEnd,
        WordLeft,
        WordRight,
        DeleteForward,
        Backspace,
        NewLine,
        CenterRun,
        RunUp,
        RunDown,
        ToggleItalics,
        [](EditingContext& c, EditorView&) { ToggleUnderline(c); },
        [](EditingContext& c, EditorView& v) { ShiftRun(c, v, 4); },
        [](EditingContext& c, EditorView& v) { TypeCharacter(c, v, 'x'); },
        [](EditingContext& c, EditorView&) { PickUpAttribute(c); },
    };
}

TEST(NotEditing, CommandsWithoutAnEditCopyDoNothing) {
    for (const Command& command : AllCommands()) {
        EditingContext context;
        context.caretRow = 3;
        context.caretColumn = 3;
        context.typingAttribute = 0x99;
        CountingView view;
        command(context, view);
        EXPECT_EQ(view.Calls(), 0);
        EXPECT_EQ(context.caretRow, 3);
        EXPECT_EQ(context.caretColumn, 3);
        EXPECT_EQ(context.typingAttribute, 0x99);
    }
}

TEST(NotEditing, CommandsWithTheCaretOffTheScreenDoNothing) {
    const int carets[][2] = {{-1, -1}, {15, 0}, {0, 33}, {3, -1}};
    for (const auto& caret : carets) {
        for (const Command& command : AllCommands()) {
            EditingContext context = Editing(caret[0], caret[1]);
            PutText(*context.editCopy, 0, 0, "text");
            PutText(*context.editCopy, 14, 28, "last");
            const Caption before = *context.editCopy;
            context.typingAttribute = 0x99;
            CountingView view;
            command(context, view);
            EXPECT_EQ(view.Calls(), 0);
            EXPECT_TRUE(context.editCopy->SameScreen(before));
            EXPECT_EQ(context.caretRow, caret[0]);
            EXPECT_EQ(context.caretColumn, caret[1]);
            EXPECT_EQ(context.typingAttribute, 0x99);
        }
    }
}

}  // namespace
}  // namespace vantrel
