#include "app/caption_table.h"

#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <algorithm>

namespace vantrel {

CaptionTable::CaptionTable(CaptionList& list, QWidget* parent)
    : QTableView(parent), list_(list), model_(list, this) {
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setShowGrid(false);
    setAlternatingRowColors(true);
    // Every row one line high, sized once: the view never measures the rows' contents, which
    // with thousands of captions would cost more than drawing the few in sight.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* columns = horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    const auto fit = [&](int column, const char* widest) {
        setColumnWidth(column, fontMetrics().horizontalAdvance(widest) + 12);
    };
    fit(CaptionTableModel::kNumber, "00000");
    for (int c : {CaptionTableModel::kStart, CaptionTableModel::kEnd, CaptionTableModel::kDuration})
        fit(c, "00:00:00;00");
    fit(CaptionTableModel::kMode, "Persistent");
    fit(CaptionTableModel::kRows, "14-15");
    fit(CaptionTableModel::kRate, "00.0");
    // The short columns first, all in sight in a narrow side column; the text last, taking the
    // rest of the width.
    fit(CaptionTableModel::kText, "Where the river bends");

    // Rows the playhead selects are already followed: only the operator's choice moves the video.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                const Caption* c = current.isValid() ? model_.CaptionAtRow(current.row()) : nullptr;
                if (c == nullptr || c == followed_) return;
                followed_ = c;
                choosing_ = true;
                emit CaptionChosen(c->startFrame);
                choosing_ = false;
            });
    // A reset (captions added or removed) leaves nothing selected: the next position finds the
    // caption on the air again.
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] { followed_ = nullptr; });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit EditRequested(index.row()); });
}

void CaptionTable::FollowFrame(int32_t frame) {
    if (choosing_) return;
    const Caption* c = list_.CaptionAt(frame);
    if (c == followed_) return;
    followed_ = c;
    QItemSelectionModel& selection = *selectionModel();
    if (c == nullptr) {
        selection.clear();
        return;
    }
    const QModelIndex index = model_.index(list_.RowOf(c), 0);
    selection.setCurrentIndex(index,
                              QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

std::vector<Caption*> CaptionTable::SelectedCaptions() const {
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<Caption*> captions;
    captions.reserve(static_cast<size_t>(rows.size()));
    for (const QModelIndex& index : rows) {
        if (Caption* c = model_.CaptionAtRow(index.row())) captions.push_back(c);
    }
    return captions;
}

void CaptionTable::SelectCaptions(const std::vector<Caption*>& captions) {
    QItemSelection chosen;
    for (const Caption* c : captions) {
        const int row = list_.RowOf(c);
        if (row >= 0)
            chosen.select(model_.index(row, 0),
                          model_.index(row, CaptionTableModel::kColumnCount - 1));
    }
    if (chosen.isEmpty()) return;
    // The first one is followed already: choosing it sends the video nowhere.
    followed_ = captions.front();
    QItemSelectionModel& selection = *selectionModel();
    const QModelIndex first = model_.index(list_.RowOf(captions.front()), 0);
    selection.setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selection.select(chosen, QItemSelectionModel::ClearAndSelect);
    scrollTo(first);
}

namespace {

enum class ClipboardKey { None, Cut, Copy, Paste };

ClipboardKey ClipboardKeyOf(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Cut)) return ClipboardKey::Cut;
    if (key.matches(QKeySequence::Copy)) return ClipboardKey::Copy;
    if (key.matches(QKeySequence::Paste)) return ClipboardKey::Paste;
    return ClipboardKey::None;
}

}  // namespace

bool CaptionTable::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride &&
        ClipboardKeyOf(*static_cast<QKeyEvent*>(e)) != ClipboardKey::None) {
        e->accept();
        return true;
    }
    return QTableView::event(e);
}

void CaptionTable::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit DeleteRequested();
        return;
    }
    switch (ClipboardKeyOf(*event)) {
        case ClipboardKey::Cut:
            emit CutRequested();
            return;
        case ClipboardKey::Copy:
            emit CopyRequested();
            return;
        case ClipboardKey::Paste:
            emit PasteRequested();
            return;
        case ClipboardKey::None:
            break;
    }
    QTableView::keyPressEvent(event);
}

// Home and End go to the first and last caption (Shift selecting up to it as the arrows do),
// in the first column: never sideways to the row's ends.
QModelIndex CaptionTable::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action != MoveHome && action != MoveEnd) return QTableView::moveCursor(action, modifiers);
    const int rows = model_.rowCount();
    if (rows == 0) return {};
    return model_.index(action == MoveHome ? 0 : rows - 1, CaptionTableModel::kNumber);
}
}  // namespace vantrel
