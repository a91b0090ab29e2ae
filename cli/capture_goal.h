#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/document/recording_goal.h"
#include "cli/command_line.h"

// --duration and --samples; the problem with them, empty when there is none.
std::string readCaptureGoal(const ParsedArguments& arguments, CaptureGoal& goal);
