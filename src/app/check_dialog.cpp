#include "app/check_dialog.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "files/timecode.h"

namespace vantrel {

CheckDialog::CheckDialog(std::function<void(int32_t)> goTo, QWidget* owner)
    : QDialog(owner), goTo_(std::move(goTo)) {
    setWindowTitle("Check Captions");
    list_.setColumnCount(5);
    list_.setHeaderLabels({"Timecode", "Caption", "Severity", "Rule", "Message"});
    list_.setRootIsDecorated(false);
    list_.header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&list_);
    layout->addWidget(&summary_);
    resize(760, 320);
    connect(&list_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { goTo_(item->data(0, Qt::UserRole).toInt()); });
}

void CheckDialog::ShowFindings(const std::vector<Finding>& findings, int captions,
                               const std::string& profile) {
    list_.clear();
    auto text = [](std::string_view s) {
        return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
    };
    for (const Finding& f : findings) {
        auto* item = new QTreeWidgetItem(
            &list_, {text(FormatTimecode(f.start, style_)), QString::number(f.number),
                     text(SeverityName(f.severity)), text(RuleName(f.rule)), text(f.message)});
        item->setData(0, Qt::UserRole, f.start);
    }
    for (int k = 0; k < 4; ++k) list_.resizeColumnToContents(k);
    summary_.setText(text(CheckSummary(captions, profile, findings)));
}

}  // namespace vantrel
