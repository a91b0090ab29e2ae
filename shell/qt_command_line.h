#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <string>
#include <vector>

#include "capture/port_choice.h"

// What the desktop program was started with.
struct DesktopArguments {
    bool simulate = false;
    PortChoices portChoices;  // --lpt1 and --lpt2
    std::string file;         // empty: start with a capture
};

enum class ArgumentsRead {
    Run,       // start the program
    Answered,  // --help or --version was printed
    Wrong,     // what is wrong was said on standard error
    ForQt,     // options that may be Qt's own: read again once Qt has taken those
};

// The desktop program's command line through QCommandLineParser: --simulate, --lpt1 PORT,
// --lpt2 PORT, --help, --version and one FILE. Qt's own options (-style, -platform) are Qt's:
// QApplication takes them out of the arguments it is given.
class DesktopCommandLine {
public:
    // The arguments of main(), the program first.
    DesktopCommandLine(int argc, char** argv);

    // Reads main()'s arguments (`arguments` empty), or what is left of them once Qt has taken its
    // own. Before that, an option unknown to us is left for later (ForQt); after, it is wrong.
    // --help and --version are answered either way.
    ArgumentsRead read(DesktopArguments& read, const QStringList& afterQt = {});

    QString helpText() const;

private:
    ArgumentsRead readPorts(DesktopArguments& read) const;
    // The argument `text` came from, byte for byte, so that a name that is not UTF-8 still opens.
    std::string asGiven(const QString& text) const;

    std::vector<std::string> given_;

    QCommandLineParser parser_;
    QCommandLineOption help_;
    QCommandLineOption version_;
    QCommandLineOption simulate_;
    QCommandLineOption lpt1_;
    QCommandLineOption lpt2_;
};
