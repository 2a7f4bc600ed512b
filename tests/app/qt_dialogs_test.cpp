// The real save dialog, driven as a person would: the filter chosen in its list comes back with
// the name, and a name typed without an extension takes the chosen filter's.
#include "app/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/file_dialog_requests.h"

namespace vantrel {
namespace {

TEST(QtDialogsTest, TheSaveDialogReturnsTheChosenFilterAndAddsItsExtension) {
    const QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/";
    const struct {
        const Dialogs::FileRequest& request;
        int filterSteps;  // Down presses in the filter list
        const char* typed;
        std::string path, filter;
    } cases[] = {
        {kExportRequest, 0, "a", "a.bin", "Binary Caption Data (*.dat *.bin)"},
        {kExportRequest, 1, "b", "b.scc", "Scenarist Closed Caption (*.scc)"},
        {kExportRequest, 2, "c", "c.scc", kSccDropFrameFilter},
        {kExportRequest, 2, "d.scc", "d.scc", kSccDropFrameFilter},
        {kExportRequest, 4, "e", "e.ccd", kCcdDropFrameFilter},
        {kTimingReportRequest, 1, "f", "f.txt", kReportDropFrameFilter},
        {kSaveProjectRequest, 1, "g", "g.ccp", "All Files (*)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            auto* filters = dialog ? dialog->findChild<QComboBox*>("fileTypeCombo") : nullptr;
            auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
            if (!filters || !name) {
                ADD_FAILURE() << "no file dialog with a filter list and a name";
                if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
                return;
            }
            for (int i = 0; i < c.filterSteps; ++i) QTest::keyClick(filters, Qt::Key_Down);
            name->setText(QString::fromStdString(folder + c.typed));
            QTest::keyClick(name, Qt::Key_Return);
        });
        const auto chosen = QtDialogs(nullptr).ChooseFileToSave(c.request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->path, folder + c.path);
        EXPECT_EQ(chosen->filter, c.filter);
    }
}

}  // namespace
}  // namespace vantrel
