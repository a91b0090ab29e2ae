#include "app/window/trigger_settings.h"

#include "core/scope_session.h"

TriggerSettings currentTriggerSettings() {
    return TriggerSettings{sessionTriggerConditions(scopeSession), scopeSession.preTriggerPercent};
}

void applyTriggerSettings(const TriggerSettings& settings) {
    uint8_t boxes = 0;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (settings.conditions[channel] == TriggerCondition::EitherEdge) {
            boxes |= kChannelBits[channel];
        }
    }
    scopeSession.portTriggerMask = boxes;
    scopeSession.triggerConditions = packConditions(settings.conditions);
    scopeSession.preTriggerPercent = settings.preTriggerPercent;
}

PortBoxState portBoxState(int channel) {
    switch (sessionTriggerConditions(scopeSession)[channel]) {
        case TriggerCondition::NotUsed:
            return PortBoxState::Unticked;
        case TriggerCondition::EitherEdge:
            return PortBoxState::Ticked;
        default:
            return PortBoxState::OtherCondition;
    }
}

void togglePortTriggerBox(int channel) {
    TriggerSettings settings = currentTriggerSettings();
    TriggerCondition& condition = settings.conditions[channel];
    condition = condition == TriggerCondition::EitherEdge ? TriggerCondition::NotUsed
                                                          : TriggerCondition::EitherEdge;
    applyTriggerSettings(settings);
}
