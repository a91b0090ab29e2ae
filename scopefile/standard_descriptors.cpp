#include "scopefile/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

void holdClosedStandardDescriptors() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) == -1) {
            // open() takes the lowest free number: this one, as those below it are open.
            const int held = open("/dev/null", O_RDONLY);
            if (held != descriptor && held >= 0) {
                close(held);
            }
        }
    }
}
