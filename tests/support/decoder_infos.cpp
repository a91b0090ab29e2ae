#include "tests/support/decoder_infos.h"

namespace {

DecoderInfo decoder(const char* id, const char* name, const char* description,
                    std::vector<std::string> inputs, std::vector<std::string> outputs) {
    DecoderInfo info;
    info.id = id;
    info.name = name;
    info.longName = std::string(name) + " decoder";
    info.description = description;
    info.inputs = std::move(inputs);
    info.outputs = std::move(outputs);
    return info;
}

DecoderInfo uart() {
    DecoderInfo info = decoder("uart", "UART", "Asynchronous, serial bus.", {"logic"}, {"uart"});
    info.optionalChannels = {{"rx", "RX", "UART receive line"}, {"tx", "TX", "UART transmit line"}};
    info.options = {
        {"baudrate", "Baud rate", int64_t{115200}, {}},
        {"parity",
         "Parity",
         std::string("none"),
         {std::string("none"), std::string("odd"), std::string("even")}},
        {"format", "Data format", std::string("hex"), {std::string("ascii"), std::string("hex")}}};
    info.annotations = {{"rx-data", "RX data"}, {"tx-data", "TX data"}, {"rx-start", "RX start"}};
    info.rows = {{"rx-data", "RX", {0, 2}}, {"tx-data", "TX", {1}}};
    return info;
}

DecoderInfo spi() {
    DecoderInfo info =
        decoder("spi", "SPI", "Full-duplex, synchronous, serial bus.", {"logic"}, {"spi"});
    info.channels = {{"clk", "CLK", "Clock"}};
    info.optionalChannels = {{"miso", "MISO", "Master in"},
                             {"mosi", "MOSI", "Master out"},
                             {"cs", "CS#", "Chip-select"}};
    info.options = {{"cpol", "Clock polarity", int64_t{0}, {int64_t{0}, int64_t{1}}}};
    return info;
}

}  // namespace

std::vector<DecoderInfo> handMadeDecoders() {
    DecoderInfo eeprom =
        decoder("eeprom24xx", "24xx EEPROM", "24xx series I²C EEPROM.", {"i2c"}, {});
    DecoderInfo i2c =
        decoder("i2c", "I²C", "Two-wire, multi-master, serial bus.", {"logic"}, {"i2c"});
    i2c.channels = {{"scl", "SCL", "Serial clock line"}, {"sda", "SDA", "Serial data line"}};
    DecoderInfo pwm =
        decoder("pwm", "PWM", "Analog level encoded in duty cycle percentage.", {"logic"}, {"pwm"});
    pwm.channels = {{"data", "Data", "Data line"}};
    pwm.options = {{"polarity",
                    "Polarity",
                    std::string("active-high"),
                    {std::string("active-low"), std::string("active-high")}}};
    return {eeprom, i2c, pwm, spi(), uart()};
}
