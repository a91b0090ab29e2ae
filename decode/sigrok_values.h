#pragma once

#include <glib.h>

#include "decode/decoder_catalog.h"

// Option values between the library's GVariants and plain data.
OptionValue optionValue(const GVariant* variant);
// A new floating GVariant of the value's kind.
GVariant* newVariant(const OptionValue& value);
