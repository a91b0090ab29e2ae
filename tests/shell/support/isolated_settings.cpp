// Linked into every Qt test: the program's settings go to a folder of the test's own, made fresh
// for each run and removed after it, never to the user's.
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct IsolatedSettings {
    QTemporaryDir folder;

    IsolatedSettings() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    }
};

const IsolatedSettings isolatedSettings;

}  // namespace
