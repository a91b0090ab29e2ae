#include "cli/file_error_report.h"

#include <utility>

#include "cli/console_output.h"
#include "resources/string_table.h"

FileErrorReport printFileErrors(ConsoleOutput& console, std::string subject) {
    return [&console, subject = std::move(subject)](int stringId) {
        console.message(subject + ": " + loadString(stringId) + " (" + std::to_string(stringId) +
                        ")");
    };
}
