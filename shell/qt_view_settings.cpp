#include "shell/qt_view_settings.h"

#include <QSettings>

namespace {

constexpr const char* kBandKeys[kViewBandCount] = {"view/overview", "view/ruler", "view/labels",
                                                   "view/statusLine"};

QSettings programSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("pinprobe"),
                     QStringLiteral("pinprobe"));
}

}  // namespace

StoredView loadStoredView() {
    const QSettings settings = programSettings();
    StoredView view;
    for (int i = 0; i < kViewBandCount; ++i) {
        view.bands.shown[static_cast<size_t>(i)] = settings.value(kBandKeys[i], true).toBool();
    }
    view.size = settings.value(QStringLiteral("window/size")).toSize();
    view.maximised = settings.value(QStringLiteral("window/maximised"), false).toBool();
    return view;
}

void storeView(const StoredView& view) {
    QSettings settings = programSettings();
    for (int i = 0; i < kViewBandCount; ++i) {
        settings.setValue(kBandKeys[i], view.bands.shown[static_cast<size_t>(i)]);
    }
    if (view.size.isValid()) {
        settings.setValue(QStringLiteral("window/size"), view.size);
    }
    settings.setValue(QStringLiteral("window/maximised"), view.maximised);
}
