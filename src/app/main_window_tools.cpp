// The Tools menu: the delivery check, the check profile in force (remembered for each project,
// as the recent projects are) and the shot-change threshold.
#include <QActionGroup>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenuBar>
#include <QSettings>

#include "app/main_window.h"
#include "media/shot_changes.h"

namespace vantrel {

namespace {

constexpr char kShotThresholdKey[] = "shotChangeThreshold";
constexpr char kShotThresholdLabel[] =
    "Picture change that marks a shot change, in percent (lower finds more):";
// The profile of each project by its path, and the one a new project starts with.
constexpr char kProjectProfilesKey[] = "checkProfiles";
constexpr char kLastProfileKey[] = "lastCheckProfile";
// Projects whose profile is remembered; the oldest choices go first.
constexpr int kRememberedProfiles = 200;

struct ProfileItem {
    const char* text;
    const char* name;
};
constexpr ProfileItem kProfiles[] = {
    {"&Broadcast (one blank frame between captions)", "broadcast"},
    {"&Streaming (two blank frames)", "streaming"},
    {"&Children (two blank frames)", "children"},
};

// Projects are known by their whole path, as in Open Recent.
QString ProjectKey(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath();
}

}  // namespace

void MainWindow::CreateToolsMenu() {
    MainView& v = *view_;
    QMenu* tools = menuBar()->addMenu("&Tools");
    AddFileCommand(tools, "&Check Captions", [&v] { v.ShowCheck(); });
    AddFileCommand(tools, "&Time Captions to Speech", [this] { commands_->TimeToSpeech(); });
    QMenu* profiles = tools->addMenu("Check &Profile");
    profiles_ = new QActionGroup(this);
    for (const ProfileItem& item : kProfiles) {
        QAction* action = profiles->addAction(item.text);
        action->setCheckable(true);
        action->setData(QString(item.name));
        profiles_->addAction(action);
    }
    connect(profiles_, &QActionGroup::triggered, this, [this](QAction* chosen) {
        UseCheckProfile(chosen->data().toString());
        RememberCheckProfile();
    });
    UseCheckProfile(Settings().value(kLastProfileKey, "broadcast").toString());
    // The threshold is the user's, kept between sessions; a new one picks the changes again.
    v.Media().SetShotThreshold(Settings().value(kShotThresholdKey, kDefaultShotThreshold).toInt());
    tools->addAction("Shot Change Threshold...", this, [this, &v] {
        bool ok = false;
        const int threshold = QInputDialog::getInt(
            this, "Shot Change Threshold", kShotThresholdLabel, v.Media().ShotThreshold(),
            kLowestShotThreshold, kHighestShotThreshold, 1, &ok);
        if (!ok) return;
        v.Media().SetShotThreshold(threshold);
        Settings().setValue(kShotThresholdKey, threshold);
    });
}

void MainWindow::UseCheckProfile(const QString& name) {
    std::optional<CheckProfile> profile = BuiltInProfile(name.toStdString());
    if (!profile) return;  // a name from settings another version wrote
    for (QAction* action : profiles_->actions()) action->setChecked(action->data() == name);
    view_->SetCheckProfile(std::move(*profile));
}

void MainWindow::RememberCheckProfile() {
    const QString name = QString::fromStdString(view_->Profile().name);
    QSettings settings = Settings();
    settings.setValue(kLastProfileKey, name);
    const std::string& path = view_->Files().ProjectPath();
    if (path.empty()) return;
    QVariantMap byProject = settings.value(kProjectProfilesKey).toMap();
    QStringList order = settings.value(QString(kProjectProfilesKey) + "Order").toStringList();
    const QString key = ProjectKey(path);
    byProject[key] = name;
    order.removeAll(key);
    order.append(key);
    while (order.size() > kRememberedProfiles) byProject.remove(order.takeFirst());
    settings.setValue(kProjectProfilesKey, byProject);
    settings.setValue(QString(kProjectProfilesKey) + "Order", order);
}

void MainWindow::FollowProjectProfile() {
    const std::string& path = view_->Files().ProjectPath();
    const QVariant remembered =
        path.empty() ? QVariant()
                     : Settings().value(kProjectProfilesKey).toMap().value(ProjectKey(path));
    // A project of its own profile takes it; a new or newly saved one keeps the one in force.
    if (remembered.isValid()) {
        UseCheckProfile(remembered.toString());
    } else {
        RememberCheckProfile();
    }
}

}  // namespace vantrel
