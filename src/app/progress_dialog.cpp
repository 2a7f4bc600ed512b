#include "app/progress_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <string>

#include "files/file_messages.h"

namespace vantrel {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setModal(true);
    setWindowModality(Qt::ApplicationModal);
    bar_.setRange(0, static_cast<int>(ProgressWorker::kBarRange));
    bar_.setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&bar_);
    setFixedSize(420, 44);
}

void ProgressDialog::Run(ProgressWorker& worker) {
    // A multiplex names its output in the title; the other operations have fixed titles.
    const std::string title =
        !worker.Title().empty()                            ? worker.Title()
        : worker.Mode() == OperationMode::TranscriptImport ? std::string(kTranscriptTitle)
        : worker.Mode() == OperationMode::SpeechTiming     ? std::string(kSpeechTimingTitle)
                                                           : std::string(kExtractionTitle);
    setWindowTitle(QString::fromStdString(title));
    bar_.setValue(0);
    worker_ = &worker;
    const int run = ++run_;
    // The worker waits until the bar has moved, as it would for a sent message; its end comes
    // as a queued close request, which then finds it no longer busy.
    const bool started = worker.Start(
        [this](uint32_t position) {
            QMetaObject::invokeMethod(
                this, [this, position] { bar_.setValue(static_cast<int>(position)); },
                Qt::BlockingQueuedConnection);
        },
        [this, run] {
            QMetaObject::invokeMethod(
                this,
                [this, run] {
                    if (run == run_ && worker_ != nullptr) reject();
                },
                Qt::QueuedConnection);
        });
    if (started) {
        exec();
        // A quit ends every event loop, this one too, while the worker may still be waiting
        // for a bar update on this thread: those are served until it has ended, so that the
        // join below never waits for a thread that waits for it.
        while (worker.Busy()) {
            worker.RequestCancel();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }
    worker_ = nullptr;
    worker.ForgetCancel();
}

void ProgressDialog::reject() {
    if (worker_ == nullptr || worker_->RequestCancel()) QDialog::reject();
}

void ProgressDialog::accept() {
    if (worker_ == nullptr || worker_->AcceptsClose()) QDialog::reject();
}

void ProgressDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace vantrel
