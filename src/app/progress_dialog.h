// The small modal dialog behind the MPEG-2 operations: a bar from 0 to 1000 that the worker
// moves, Escape as a cancel request, and no way to close it until the worker has returned.
#pragma once

#include <QDialog>
#include <QProgressBar>

#include "mpeg/progress_worker.h"

namespace vantrel {

class ProgressDialog : public QDialog, public ProgressDisplay {
    Q_OBJECT

  public:
    explicit ProgressDialog(QWidget* owner = nullptr);

    // Starts the worker, runs modally and returns once the worker has ended.
    void Run(ProgressWorker& worker) override;

    const QProgressBar& Bar() const { return bar_; }

  public slots:
    // Escape and the close box: while the worker runs they only ask it to cancel.
    void reject() override;
    // Enter: ignored while the worker runs.
    void accept() override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QProgressBar bar_;
    ProgressWorker* worker_ = nullptr;
    int run_ = 0;  // so that a late close request of one run never reaches the next
};

}  // namespace vantrel
