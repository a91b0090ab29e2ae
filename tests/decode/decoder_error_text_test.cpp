#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decode/decoder_error_text.h"

namespace {

struct ErrorCase {
    const char* name;
    std::string logged;  // as the library logs it
    std::string brief;
};

TEST(DecoderErrorText, OneLinePerFailedDecoderWithTheExceptionsLastLine) {
    const std::string uartTraceback =
        "ZeroDivisionError: Protocol decoder instance uart-1: float division by zero\n"
        "Traceback (most recent call last):\n"
        "  File \"/usr/share/libsigrokdecode/decoders/uart/pd.py\", line 223, in metadata\n"
        "    self.bit_width = float(self.samplerate) / float(self.options['baudrate'])\n"
        "                     ~~~~~~~~~~~~~~~~~~~~~~~^~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\n"
        "ZeroDivisionError: float division by zero\n";
    const std::string spiTraceback =
        "ValueError: Protocol decoder instance spi-1: : negative shift count\n"
        "Traceback (most recent call last):\n"
        "  File \"/usr/share/libsigrokdecode/decoders/spi/pd.py\", line 228, in handle_bit\n"
        "    self.mosidata |= mosi << (ws - 1 - self.bitcount)\n"
        "ValueError: negative shift count\n";
    const std::vector<ErrorCase> cases = {
        {"a traceback", uartTraceback, "uart-1: ZeroDivisionError: float division by zero\n"},
        {"two decoders", uartTraceback + spiTraceback,
         "uart-1: ZeroDivisionError: float division by zero\n"
         "spi-1: ValueError: negative shift count\n"},
        {"a chain of exceptions",
         "KeyError: Protocol decoder instance i2c-1: 'x'\n"
         "Traceback (most recent call last):\n  File \"pd.py\", line 1, in decode\n"
         "KeyError: 'x'\n\n"
         "During handling of the above exception, another exception occurred:\n\n"
         "Traceback (most recent call last):\n  File \"pd.py\", line 3, in decode\n"
         "RuntimeError: gave up\n",
         "i2c-1: RuntimeError: gave up\n"},
        {"without a traceback", "ValueError: Protocol decoder instance spi-1: bad\n",
         "spi-1: ValueError: bad\n"},
        {"the library's own", "srd: Session failed to start.\n", "srd: Session failed to start.\n"},
        {"nothing", "", ""},
    };
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(briefDecoderErrors(c.logged), c.brief) << c.name;
    }
}

}  // namespace
