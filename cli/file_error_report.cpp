#include "cli/file_error_report.h"

#include <utility>

#include "cli/console_output.h"
#include "core/printable_text.h"
#include "resources/string_table.h"
#include "scopefile/file_calls.h"

FileErrorReport printFileErrors(ConsoleOutput& console, std::string subject) {
    return [&console, subject = printable(subject)](int stringId) {
        const std::string& reason = fileErrorReason();
        console.message(subject + ": " + loadString(stringId) +
                        (reason.empty() ? "" : " " + reason + ".") + " (" +
                        std::to_string(stringId) + ")");
    };
}

void printWriteFailure(ConsoleOutput& console, const std::string& subject, int error) {
    console.message(printable(subject) + ": Cannot write the export" +
                    (error != 0 ? ": " + systemErrorText(error) : std::string(".")));
}
