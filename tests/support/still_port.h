#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "capture/status_port.h"

// A port whose lines never move, and never report: a port trigger on it never comes.
class StillPort final : public StatusPort, public PortAccess {
public:
    explicit StillPort(uint8_t level = 0x78) : level_(level) {}
    uint8_t read() override { return level_; }
    StatusPort& port(uint8_t) override { return *this; }
    std::vector<std::string> takeReports() override { return {}; }
    bool wantsQuietSection() const override { return false; }

private:
    uint8_t level_;
};
