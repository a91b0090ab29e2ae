#include "shell/qt_command_line.h"

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>

#include "core/printable_text.h"
#include "resources/program_version.h"

namespace {

// One line, whatever the user's text in it holds.
ArgumentsRead wrong(const std::string& problem) {
    std::fprintf(stderr, "pinprobe: %s (pinprobe --help lists the options)\n",
                 printable(problem).c_str());
    return ArgumentsRead::Wrong;
}

}  // namespace

DesktopCommandLine::DesktopCommandLine(int argc, char** argv)
    : given_(argv, argv + argc),
      help_({QStringLiteral("h"), QStringLiteral("help")},
            QStringLiteral("Show this text and exit.")),
      version_(QStringLiteral("version"), QStringLiteral("Show the version and exit.")),
      simulate_(QStringLiteral("simulate"),
                QStringLiteral("Sample a built-in simulated probe instead of the printer port.")),
      lpt1_(QStringLiteral("lpt1"),
            QStringLiteral("The port the Port menu's LPT1 reads: a device such as /dev/parport1 "
                           "or a base address such as 0xd010 (default: the port at 0x378, else "
                           "the first other port the kernel lists)."),
            QStringLiteral("PORT")),
      lpt2_(QStringLiteral("lpt2"),
            QStringLiteral("The same for LPT2 (default: the port at 0x278, else the next listed "
                           "one)."),
            QStringLiteral("PORT")) {
    parser_.setApplicationDescription(QStringLiteral(
        "Five-channel logic recorder on the printer port's status lines.\n"
        "Qt's own options, such as -style fusion or -platform offscreen, are taken too."));
    parser_.addOptions({simulate_, lpt1_, lpt2_, help_, version_});
    parser_.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Open this scope file at start-up instead of taking a first capture."),
        QStringLiteral("[FILE]"));
}

QString DesktopCommandLine::helpText() const {
    if (QCoreApplication::instance() != nullptr) {
        return parser_.helpText();
    }
    // The usage line names the program as the application's arguments do; no display is needed.
    std::string program = std::filesystem::path(given_.front()).filename().string();
    int argc = 1;
    char* argv[] = {program.data(), nullptr};
    const QCoreApplication application(argc, argv);
    return parser_.helpText();
}

ArgumentsRead DesktopCommandLine::read(DesktopArguments& read, const QStringList& afterQt) {
    const bool qtTookItsOwn = !afterQt.isEmpty();
    QStringList arguments = afterQt;
    for (size_t i = 0; !qtTookItsOwn && i < given_.size(); ++i) {
        arguments.append(QString::fromLocal8Bit(given_[i]));
    }
    const bool parsed = parser_.parse(arguments);
    if (parser_.isSet(help_)) {
        std::fputs(qPrintable(helpText()), stdout);
        return ArgumentsRead::Answered;
    }
    if (parser_.isSet(version_)) {
        std::printf("pinprobe %.*s\n", static_cast<int>(kProgramVersion.size()),
                    kProgramVersion.data());
        return ArgumentsRead::Answered;
    }
    if (!parsed && !qtTookItsOwn && !parser_.unknownOptionNames().isEmpty()) {
        return ArgumentsRead::ForQt;
    }
    if (!parsed) {
        return wrong(parser_.errorText().toStdString());  // Qt's words, quoting the option
    }
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        return wrong("only one file can be opened, not also " + inQuotes(files[1].toStdString()));
    }
    if (!files.isEmpty() && files[0].isEmpty()) {
        return wrong("empty file name ''");
    }
    read.simulate = parser_.isSet(simulate_);
    read.file = files.isEmpty() ? std::string() : asGiven(files[0]);
    return readPorts(read);
}

ArgumentsRead DesktopCommandLine::readPorts(DesktopArguments& read) const {
    int index = 0;
    for (const QCommandLineOption* option : {&lpt1_, &lpt2_}) {
        const QString value = parser_.value(*option);
        PortChoice& choice = read.portChoices[static_cast<size_t>(index++)];
        if (parser_.isSet(*option) && !parsePortLocation(value.toStdString(), choice)) {
            return wrong("--" + option->names().constFirst().toStdString() +
                         " takes a device /dev/parportN or a base address such as 0xd010, not " +
                         inQuotes(value.toStdString()));
        }
    }
    return ArgumentsRead::Run;
}

std::string DesktopCommandLine::asGiven(const QString& text) const {
    for (const std::string& argument : given_) {
        if (QString::fromLocal8Bit(argument) == text) {
            return argument;
        }
    }
    return text.toStdString();
}
