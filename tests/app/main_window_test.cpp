// The shell: a fixed size, the question before closing, the File commands committing the
// caption being typed, and the italics and underline buttons following the editor.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>

#include "files/project_file.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

constexpr char kQuestion[] = "The caption project has changed.\n\nDo you want to save the changes?";

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    // Starts typing a new caption at the top left of the caption screen.
    void BeginTyping(const char* text) {
        CaptionWindow& captions = window_.View().Captions();
        QTest::mouseClick(&captions, Qt::LeftButton, Qt::NoModifier, QPoint(48, 40));
        ASSERT_TRUE(captions.IsEditing());
        QTest::keyClicks(&captions, text);
    }

    test::ScriptedDialogs dialogs_;
    MainWindow window_{&dialogs_, test::QuietPlayer()};
};

TEST_F(MainWindowTest, TheWindowHasOneFixedSizeThatHoldsTheView) {
    EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
    EXPECT_EQ(window_.View().size(), QSize(MainView::kWidth, MainView::kHeight));
    EXPECT_GE(window_.height(), MainView::kHeight + 40);  // the menu bar and the toolbar
}

TEST_F(MainWindowTest, CloseAndExitAskAboutUnsavedChanges) {
    using A = Dialogs::Answer;
    struct Case {
        bool exit;  // File > Exit, else the close box
        bool modified;
        std::vector<A> answers;
        bool closes;
    };
    const Case cases[] = {
        {false, 0, {}, true},
        {false, 1, {A::Cancel}, false},
        {true, 1, {A::Cancel}, false},
        {true, 1, {A::No}, true},
        // Yes on a project never saved asks for a name; cancelling that keeps the window.
        {false, 1, {A::Yes}, false},
    };
    QAction* exit = nullptr;
    for (QAction* a : window_.findChildren<QAction*>()) {
        if (a->text() == "E&xit") exit = a;
    }
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(QKeySequence::Quit));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exit << c.modified << c.answers.size());
        window_.show();
        window_.View().project.modified = c.modified;
        dialogs_.asked.clear();
        dialogs_.answers.assign(c.answers.begin(), c.answers.end());
        if (c.exit) {
            exit->trigger();
        } else {
            window_.close();
        }
        EXPECT_EQ(dialogs_.asked, std::vector<std::string>(c.answers.size(), kQuestion));
        EXPECT_EQ(window_.isVisible(), !c.closes);
    }
}

TEST_F(MainWindowTest, SaveWhileTypingCommitsTheCaptionFirst) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("typed.ccp").toStdString();
    dialogs_.filesToSave.push_back(path);
    BeginTyping("Hi");
    QTest::keyClick(&window_.View().Captions(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(window_.View().Captions().IsEditing());
    EXPECT_EQ(window_.View().Files().ProjectPath(), path);
    EXPECT_FALSE(window_.View().project.modified);

    // What was written holds the caption.
    CaptionProject saved;
    ASSERT_EQ(LoadProject(saved, path), LoadResult::Loaded);
    ASSERT_EQ(saved.captions.Count(), 1);
    EXPECT_EQ(saved.captions.Head()->cells[0][0].character, 'H');
    EXPECT_EQ(saved.captions.Head()->cells[0][1].character, 'i');
}

TEST_F(MainWindowTest, ItalicsAndUnderlineFollowTheCaptionBeingTyped) {
    QAction* buttons[] = {&window_.ItalicsAction(), &window_.UnderlineAction()};
    for (QAction* b : buttons) EXPECT_FALSE(b->isEnabled() || b->isChecked());
    BeginTyping("a");
    for (QAction* b : buttons) {
        EXPECT_TRUE(b->isEnabled());
        EXPECT_FALSE(b->isChecked());
        b->trigger();
        EXPECT_TRUE(b->isChecked());
    }
    // Both bits are in what is typed next.
    QTest::keyClicks(&window_.View().Captions(), "b");
    EXPECT_EQ(window_.View().Captions().Editing().typingAttribute & 0xC0, 0xC0);
    window_.ItalicsAction().trigger();
    EXPECT_FALSE(window_.ItalicsAction().isChecked());
    window_.View().Captions().EndEdit();
    for (QAction* b : buttons) EXPECT_FALSE(b->isEnabled() || b->isChecked());
}

}  // namespace
}  // namespace vantrel
