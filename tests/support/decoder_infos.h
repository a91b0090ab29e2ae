#pragma once

#include <vector>

#include "decode/decoder_catalog.h"

// A few decoders described by hand, as the library would list them, in id order: eeprom24xx
// (stacks on i2c only), i2c (scl and sda required), pwm (data required), spi (clk required;
// miso, mosi and cs optional) and uart (rx and tx optional; baudrate, parity and format).
std::vector<DecoderInfo> handMadeDecoders();
