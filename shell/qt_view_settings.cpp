#include "shell/qt_view_settings.h"

#include <QSettings>

namespace {

constexpr const char* kBandKeys[kViewBandCount] = {"view/overview", "view/ruler", "view/labels",
                                                   "view/statusLine"};
constexpr const char* kDecodersKey = "decoders/stacks";
constexpr const char* kDecodedDataKey = "view/decodedData";

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
    view.decodedData = settings.value(kDecodedDataKey, false).toBool();
    view.size = settings.value(QStringLiteral("window/size")).toSize();
    view.maximised = settings.value(QStringLiteral("window/maximised"), false).toBool();
    return view;
}

void storeView(const StoredView& view) {
    QSettings settings = programSettings();
    for (int i = 0; i < kViewBandCount; ++i) {
        settings.setValue(kBandKeys[i], view.bands.shown[static_cast<size_t>(i)]);
    }
    settings.setValue(kDecodedDataKey, view.decodedData);
    if (view.size.isValid()) {
        settings.setValue(QStringLiteral("window/size"), view.size);
    }
    settings.setValue(QStringLiteral("window/maximised"), view.maximised);
}

std::vector<std::string> loadKeptDecoders() {
    std::vector<std::string> stacks;
    for (const QString& text : programSettings().value(kDecodersKey).toStringList()) {
        stacks.push_back(text.toStdString());
    }
    return stacks;
}

void storeKeptDecoders(const std::vector<std::string>& stacks) {
    QStringList texts;
    for (const std::string& text : stacks) {
        texts.append(QString::fromStdString(text));
    }
    QSettings settings = programSettings();
    settings.setValue(kDecodersKey, texts);
}

namespace {

QString channelKey(int channel, const char* what) {
    return QStringLiteral("channels/%1/%2").arg(channel + 1).arg(QLatin1String(what));
}

}  // namespace

ChannelLooks loadChannelLooks() {
    const QSettings settings = programSettings();
    ChannelLooks looks = defaultChannelLooks();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        ChannelLook& look = looks[static_cast<size_t>(channel)];
        const QString name = settings.value(channelKey(channel, "name")).toString();
        look.name = tidyChannelName(name.toStdString(), channel);
        const QString colour = settings.value(channelKey(channel, "colour")).toString();
        look.colour = parseColourText(colour.toStdString()).value_or(look.colour);
        look.shown = settings.value(channelKey(channel, "shown"), true).toBool();
    }
    return looks;
}

void storeChannelLooks(const ChannelLooks& looks) {
    QSettings settings = programSettings();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelLook& look = looks[static_cast<size_t>(channel)];
        settings.setValue(channelKey(channel, "name"), QString::fromStdString(look.name));
        settings.setValue(channelKey(channel, "colour"),
                          QString::fromStdString(colourText(look.colour)));
        settings.setValue(channelKey(channel, "shown"), look.shown);
    }
}
