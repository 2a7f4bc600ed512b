// The Tools menu: the delivery check, the check profile in force and the spelling language
// (each remembered for each project, as the recent projects are), Spelling and the shot-change
// threshold.
#include <QActionGroup>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenuBar>
#include <QSettings>

#include "app/main_window.h"
#include "app/spelling_dialog.h"
#include "media/shot_changes.h"

namespace vantrel {

namespace {

constexpr char kShotThresholdKey[] = "shotChangeThreshold";
constexpr char kShotThresholdLabel[] =
    "Picture change that marks a shot change, in percent (lower finds more):";
// A choice kept for each project by its path (the latest projects), as the recent projects
// are, and the last one made, which a new project starts with.
struct ProjectChoice {
    const char* byProject;
    const char* last;
};
constexpr ProjectChoice kProfileChoice{"checkProfiles", "lastCheckProfile"};
constexpr ProjectChoice kLanguageChoice{"spellingLanguages", "lastSpellingLanguage"};
// Projects whose choices are remembered; the oldest go first.
constexpr int kRememberedProjects = 200;

struct ProfileItem {
    const char* text;
    const char* name;
};
constexpr ProfileItem kProfiles[] = {
    {"&Broadcast (one blank frame between captions)", "broadcast"},
    {"&Streaming (two blank frames)", "streaming"},
    {"&Children (two blank frames)", "children"},
};

struct LanguageItem {
    const char* text;
    const char* name;
};
constexpr LanguageItem kLanguages[] = {
    {"&None", ""},
    {"&English (United States)", "en_US"},
    {"&Spanish (Spain)", "es_ES"},
    {"&French (France)", "fr_FR"},
};

// Projects are known by their whole path, as in Open Recent.
QString ProjectKey(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).absoluteFilePath();
}

void Remember(const ProjectChoice& choice, const std::string& path, const QString& value) {
    QSettings settings = MainWindow::Settings();
    settings.setValue(choice.last, value);
    if (path.empty()) return;
    const QString orderKey = QString(choice.byProject) + "Order";
    QVariantMap byProject = settings.value(choice.byProject).toMap();
    QStringList order = settings.value(orderKey).toStringList();
    const QString key = ProjectKey(path);
    byProject[key] = value;
    order.removeAll(key);
    order.append(key);
    while (order.size() > kRememberedProjects) byProject.remove(order.takeFirst());
    settings.setValue(choice.byProject, byProject);
    settings.setValue(orderKey, order);
}

QVariant Remembered(const ProjectChoice& choice, const std::string& path) {
    return path.empty()
               ? QVariant()
               : MainWindow::Settings().value(choice.byProject).toMap().value(ProjectKey(path));
}

QActionGroup* RadioItems(QMenu* menu, QObject* owner,
                         const std::vector<std::pair<const char*, const char*>>& items) {
    auto* group = new QActionGroup(owner);
    for (const auto& [text, name] : items) {
        QAction* action = menu->addAction(text);
        action->setCheckable(true);
        action->setData(QString(name));
        group->addAction(action);
    }
    return group;
}

}  // namespace

void MainWindow::CreateToolsMenu() {
    MainView& v = *view_;
    QMenu* tools = menuBar()->addMenu("&Tools");
    AddFileCommand(tools, "&Check Captions", [&v] { v.ShowCheck(); });
    AddFileCommand(tools, "&Time Captions to Speech", [this] { commands_->TimeToSpeech(); });
    std::vector<std::pair<const char*, const char*>> items;
    for (const ProfileItem& item : kProfiles) items.emplace_back(item.text, item.name);
    profiles_ = RadioItems(tools->addMenu("Check &Profile"), this, items);
    connect(profiles_, &QActionGroup::triggered, this, [this](QAction* chosen) {
        UseCheckProfile(chosen->data().toString());
        Remember(kProfileChoice, view_->Files().ProjectPath(), chosen->data().toString());
    });
    UseCheckProfile(Settings().value(kProfileChoice.last, "broadcast").toString());

    tools->addSeparator();
    spelling_ = new SpellingDialog(v, this);
    QAction* spell = tools->addAction(
        "&Spelling...", this, [this] { Guarded("Spelling", [this] { spelling_->Start(); }); });
    spell->setShortcut(Qt::SHIFT | Qt::Key_F7);
    items.clear();
    for (const LanguageItem& item : kLanguages) items.emplace_back(item.text, item.name);
    languages_ = RadioItems(tools->addMenu("Spelling &Language"), this, items);
    connect(languages_, &QActionGroup::triggered, this, [this](QAction* chosen) {
        if (UseSpellingLanguage(chosen->data().toString()))
            Remember(kLanguageChoice, view_->Files().ProjectPath(), chosen->data().toString());
    });
    UseSpellingLanguage(Settings().value(kLanguageChoice.last, "").toString());
    tools->addSeparator();
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

bool MainWindow::UseSpellingLanguage(const QString& name) {
    const bool used = view_->SetSpellingLanguage(name.toStdString());
    const QString inForce = QString::fromStdString(view_->SpellingLanguage());
    for (QAction* action : languages_->actions()) action->setChecked(action->data() == inForce);
    return used;
}

void MainWindow::FollowProjectChoices() {
    const std::string& path = view_->Files().ProjectPath();
    // A project of its own choices takes them; a new or newly saved one keeps those in force.
    const QVariant profile = Remembered(kProfileChoice, path);
    if (profile.isValid()) {
        UseCheckProfile(profile.toString());
    } else {
        Remember(kProfileChoice, path, QString::fromStdString(view_->Profile().name));
    }
    const QVariant language = Remembered(kLanguageChoice, path);
    if (language.isValid()) {
        UseSpellingLanguage(language.toString());
    } else {
        Remember(kLanguageChoice, path, QString::fromStdString(view_->SpellingLanguage()));
    }
}

}  // namespace vantrel
