// Autosave and recovery: while the window runs, its changed project is written now and then to
// a recovery file of its own (never over the project), kept when the program is ended by a
// signal or killed, and offered back at the next start.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

#include "app/dialogs.h"
#include "files/recovery_files.h"

namespace vantrel {

class MainView;

class Autosave : public QObject {
    Q_OBJECT

  public:
    // 30 seconds; VANTREL_AUTOSAVE_SECONDS (a whole number from 1) sets another interval.
    static std::chrono::milliseconds Interval();

    explicit Autosave(MainView& view, QObject* parent = nullptr);

    // Takes a place in `folder` and writes the changed project there every Interval() from
    // now on. False when the folder cannot be used: the window then runs without.
    bool Start(const std::string& folder);

    // Writes the project when it has changed since it was saved and differs from what the
    // recovery file holds; a project that is no longer changed (saved, or back where it was
    // saved) has its recovery file removed.
    void Update();
    // Removes the recovery file: the user saved, discarded or confirmed a quit.
    void Discard();
    const RecoveryFiles& Files() const { return files_; }

  private:
    MainView& view_;
    RecoveryFiles files_;
    QTimer timer_;
    std::string written_;  // the project file and its path as last written
};

// Offers, newest first, each recovery file left in `folder` by a window that no longer runs:
// Yes recovers it (the project opens changed, with the path it belongs to), No discards it,
// Cancel keeps the rest for the next start. True when a project was recovered.
bool OfferRecovery(MainView& view, Dialogs& dialogs, Autosave& autosave, const std::string& folder);

}  // namespace vantrel
