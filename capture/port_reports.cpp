#include "capture/port_reports.h"

#include <cerrno>
#include <system_error>

#include "capture/ppdev_port.h"

namespace {

std::string errorText(int error) {
    return std::generic_category().message(error);
}

std::string lptName(uint8_t portNumber) {
    return "LPT" + std::to_string(portNumber);
}

// "/dev/parport0 at 0xd010", "0x378", "/dev/parport5".
std::string whereItIs(const PortTarget& target) {
    if (target.parport < 0) {
        return hexAddress(target.base);
    }
    const std::string device = parportDevice(target.parport);
    return target.base != 0 ? device + " at " + hexAddress(target.base) : device;
}

std::string ppdevReason(const OpeningAttempt& attempt) {
    const int error = attempt.ppdevTried ? attempt.ppdevError : attempt.listError;
    if (error == ENOENT) {
        return "The parallel port drivers are not loaded; load them with: sudo modprobe parport_pc "
               "ppdev";
    }
    if (!attempt.ppdevTried) {
        return error != 0
                   ? "The parallel ports could not be listed: " + errorText(error) + "."
                   : "No parallel port at " + hexAddress(attempt.target.base) + " was found.";
    }
    const std::string device = parportDevice(attempt.target.parport);
    if (error == EACCES || error == EPERM) {
        return "No permission to open " + device +
               ": join the group lp (sudo adduser $USER lp) and log in again.";
    }
    if (isPortBusyError(error)) {
        return device +
               " is busy or gone, for example held by the printer driver lp (sudo rmmod lp).";
    }
    return device + ": " + errorText(error) + ".";
}

// Empty when direct I/O was not a way to this port: a device whose base the kernel does not list.
std::string directReason(const OpeningAttempt& attempt) {
    if (!attempt.directTried) {
        return "";
    }
    const int error = attempt.directError;
    if (error == EPERM || error == EACCES) {
        return "Direct port I/O was refused: it needs CAP_SYS_RAWIO (run as root, or sudo setcap "
               "cap_sys_rawio+ep on the program), or kernel lockdown (Secure Boot) blocks it.";
    }
    if (error == ENOSYS) {
        return "Direct port I/O is not available on this system.";
    }
    return "Direct port I/O failed: " + errorText(error) + ".";
}

}  // namespace

std::string portLabel(uint8_t portNumber, const PortTarget& target) {
    return lptName(portNumber) + " (" + whereItIs(target) + ")";
}

std::string portInUse(uint8_t portNumber, const PortTarget& target, bool directIo) {
    const std::string where =
        target.parport < 0 ? "the port at " + whereItIs(target) : whereItIs(target);
    return lptName(portNumber) + " is " + where +
           (directIo ? ", read with direct I/O" : ", read through ppdev");
}

std::string openingReport(const std::string& label, const OpeningAttempt& attempt,
                          PortRetry retry) {
    const std::string direct = directReason(attempt);
    const char* again =
        retry == PortRetry::NextCapture ? "the next capture tries again" : "run the command again";
    return label + " could not be opened, so it reads 0xFF; " + again + ".\n" +
           ppdevReason(attempt) + (direct.empty() ? "" : "\n" + direct);
}

std::string absentPortReport(const std::string& label) {
    return label +
           " reads 0xFF and the kernel lists no parallel port there: the port is probably absent "
           "or switched off. Enable it in the firmware setup, or load its driver (sudo modprobe "
           "parport_pc) to check.";
}

std::string noSuchPortReport(uint8_t portNumber) {
    return lptName(portNumber) + " is not a port Pinprobe can open, so it reads 0xFF.";
}

std::string readFailureReport(const std::string& label, int error, uint64_t reads) {
    return "Reading " + label + " failed (" + errorText(error) + ") " + std::to_string(reads) +
           (reads == 1 ? " time" : " times") +
           ", so those samples read 0xFF; a capture marks them as gaps.";
}
