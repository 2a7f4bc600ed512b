#include "app/spelling_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/main_view.h"
#include "codec/charset.h"
#include "editor/spelling_walk.h"

namespace vantrel {

namespace {

constexpr FindOptions kSameWord{true, true};  // the word as it is spelled, not inside another

}  // namespace

SpellingDialog::SpellingDialog(MainView& view, QWidget* parent) : QDialog(parent), view_(view) {
    setWindowTitle("Spelling");
    word_.setTextFormat(Qt::PlainText);
    context_.setTextFormat(Qt::PlainText);
    context_.setWordWrap(true);
    QFont bold = word_.font();
    bold.setBold(true);
    word_.setFont(bold);
    auto* fields = new QFormLayout;
    fields->addRow("Not in the dictionary:", &word_);
    fields->addRow("Caption:", &context_);
    fields->addRow("C&hange to:", &change_);
    fields->addRow("&Suggestions:", &suggestions_);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {&replace_, &replaceAll_, &ignore_, &ignoreAll_, &add_})
        buttons->addWidget(b);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(fields, 1);
    layout->addLayout(buttons);
    replace_.setDefault(true);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(&replace_, &QPushButton::clicked, this, &SpellingDialog::Replace);
    connect(&replaceAll_, &QPushButton::clicked, this, &SpellingDialog::ReplaceAll);
    connect(&ignore_, &QPushButton::clicked, this, &SpellingDialog::Ignore);
    connect(&ignoreAll_, &QPushButton::clicked, this, &SpellingDialog::IgnoreAll);
    connect(&add_, &QPushButton::clicked, this, &SpellingDialog::AddToDictionary);
    connect(&suggestions_, &QListWidget::currentTextChanged, &change_, &QLineEdit::setText);
    connect(&suggestions_, &QListWidget::itemDoubleClicked, this, &SpellingDialog::Replace);
}

void SpellingDialog::hideEvent(QHideEvent* event) {
    view_.Captions().MarkCells(nullptr, 0, 0, 0);
    QDialog::hideEvent(event);
}

void SpellingDialog::Refuse(const QString& why) {
    view_.Beep();
    emit view_.Refused(why);
}

void SpellingDialog::Start() {
    if (view_.Speller() == nullptr) {
        Refuse("Choose the captions' language first: Tools > Spelling Language");
        return;
    }
    current_ = {};
    show();
    raise();
    activateWindow();
    Next();
}

void SpellingDialog::Next() {
    view_.Captions().EndEdit();
    HunspellSpeller* speller = view_.Speller();
    current_ = speller != nullptr ? NextMisspelled(view_.Project().captions, *speller, current_)
                                  : TextMatch{};
    suggestions_.clear();
    for (QPushButton* b : {&replace_, &replaceAll_, &ignore_, &ignoreAll_, &add_})
        b->setEnabled(current_.caption != nullptr);
    if (current_.caption == nullptr) {
        view_.Captions().MarkCells(nullptr, 0, 0, 0);
        word_.setText("");
        context_.setText("No more words that the dictionary does not know.");
        change_.clear();
        emit view_.Finished("Spelling checked to the last caption");
        return;
    }
    currentStart_ = current_.caption->startFrame;
    currentCharacters_ = MatchedCharacters(current_);
    view_.GoToFrame(currentStart_);
    view_.Table().SelectCaptions({current_.caption});
    view_.Captions().MarkCells(current_.caption, current_.row, current_.column, current_.length);
    word_.setText(QString::fromStdString(CaptionTextToUtf8(currentCharacters_)));
    context_.setText(CaptionTableModel::OneLineText(*current_.caption));
    for (const std::string& s : speller->Suggest(Word()))
        suggestions_.addItem(QString::fromStdString(s));
    if (suggestions_.count() > 0) {
        suggestions_.setCurrentRow(0);
    } else {
        change_.setText(word_.text());
    }
    change_.setFocus();
    change_.selectAll();
}

bool SpellingDialog::CurrentStillThere() {
    Caption* c = view_.Project().captions.CaptionAtOrBefore(currentStart_);
    if (c == nullptr || c != current_.caption || c->startFrame != currentStart_ ||
        MatchedCharacters(current_) != currentCharacters_) {
        // Edited meanwhile: go on from the caption at that time.
        current_ = {c, 0, -1, 0};
        Next();
        return false;
    }
    return true;
}

std::string SpellingDialog::Word() const {
    return word_.text().replace(u'\u2019', u'\'').toStdString();
}

void SpellingDialog::Replace() {
    if (current_.caption == nullptr || !CurrentStillThere()) return;
    char32_t missing = 0;
    const std::optional<std::string> with =
        TypedCaptionText(change_.text().toStdString(), &missing);
    if (!with) {
        Refuse(QStringLiteral("U+%1 has no 608 character: nothing was replaced")
                   .arg(QString::number(uint(missing), 16).toUpper()));
        return;
    }
    view_.PauseIfPlaying();
    view_.ReleaseCaptions();
    const bool fitted =
        ReplaceStep(view_.History(), current_, currentCharacters_, *with, kSameWord);
    view_.ShowCaptionsAgain();
    if (!fitted) {
        Refuse(QStringLiteral("No room on row %1 for \u201C%2\u201D")
                   .arg(current_.row + 1)
                   .arg(change_.text()));
        return;
    }
    Next();
}

void SpellingDialog::ReplaceAll() {
    if (current_.caption == nullptr || !CurrentStillThere()) return;
    char32_t missing = 0;
    const std::optional<std::string> with =
        TypedCaptionText(change_.text().toStdString(), &missing);
    if (!with) {
        Refuse(QStringLiteral("U+%1 has no 608 character: nothing was replaced")
                   .arg(QString::number(uint(missing), 16).toUpper()));
        return;
    }
    view_.PauseIfPlaying();
    view_.ReleaseCaptions();
    const ReplaceAllResult result =
        ReplaceAllStep(view_.History(), currentCharacters_, *with, kSameWord);
    view_.ShowCaptionsAgain();
    QString told = QStringLiteral("Replaced %1 in %2 caption%3")
                       .arg(result.replaced)
                       .arg(result.changed.size())
                       .arg(result.changed.size() == 1 ? "" : "s");
    if (result.unfitting > 0)
        told += QStringLiteral("; %1 left where the row has no room").arg(result.unfitting);
    emit view_.Finished(told);
    Next();
}

void SpellingDialog::Ignore() {
    if (current_.caption == nullptr || !CurrentStillThere()) return;
    Next();
}

void SpellingDialog::IgnoreAll() {
    if (current_.caption == nullptr || !CurrentStillThere()) return;
    view_.Speller()->Accept(Word());
    view_.SpellerChanged();
    Next();
}

void SpellingDialog::AddToDictionary() {
    if (current_.caption == nullptr || !CurrentStillThere()) return;
    const std::string error = view_.Speller()->AddToUserWords(Word());
    if (!error.empty()) {
        view_.Inform("The word was not added to your dictionary: " + error);
        return;
    }
    view_.SpellerChanged();
    emit view_.Finished(
        QStringLiteral("\u201C%1\u201D added to your dictionary").arg(word_.text()));
    Next();
}

}  // namespace vantrel
