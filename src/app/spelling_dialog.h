// Tools > Spelling: walks the project's captions from the first, one word the dictionary does not
// know at a time, shown on the caption screen and selected in the list, with the dictionary's
// suggestions; Replace, Replace All (whole words of the same case, one undo step each), Ignore,
// Ignore All (for this session), Add to Dictionary (the user's own words). It stays open beside
// the window; an edit made meanwhile is seen when it goes on.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <string>

#include "editor/find_replace.h"

namespace vantrel {

class MainView;

class SpellingDialog : public QDialog {
    Q_OBJECT

  public:
    SpellingDialog(MainView& view, QWidget* parent);

    // From the first caption; refused (said in the status bar) without a spelling language.
    void Start();

    void Replace();
    void ReplaceAll();
    void Ignore();
    void IgnoreAll();
    void AddToDictionary();

    QLabel& WordLabel() { return word_; }
    QLineEdit& ChangeField() { return change_; }
    QListWidget& Suggestions() { return suggestions_; }

  protected:
    // The word's mark leaves the caption screen with the dialog.
    void hideEvent(QHideEvent* event) override;

  private:
    // Shows the next unknown word after the current one, or says that there is none.
    void Next();
    // The current word's caption as the list holds it now, or null when it changed meanwhile.
    bool CurrentStillThere();
    // The current word, UTF-8 with a plain apostrophe, as the dictionary takes it.
    std::string Word() const;
    void Refuse(const QString& why);

    MainView& view_;
    TextMatch current_;         // its caption is compared only, until CurrentStillThere
    int32_t currentStart_ = 0;  // the caption's start, to find it again
    std::string currentCharacters_;
    QLabel word_;
    QLabel context_;
    QLineEdit change_;
    QListWidget suggestions_;
    QPushButton replace_{"&Replace"};
    QPushButton replaceAll_{"Replace &All"};
    QPushButton ignore_{"&Ignore"};
    QPushButton ignoreAll_{"I&gnore All"};
    QPushButton add_{"A&dd to Dictionary"};
};

}  // namespace vantrel
