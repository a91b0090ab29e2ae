#pragma once

#include <glib.h>

#include "decode/decoder_catalog.h"
#include "decode/sigrok_calls.h"

// Option values between the library's GVariants and plain data.
OptionValue optionValue(const SigrokCalls& sigrok, const GVariant* variant);
// A new floating GVariant of the value's kind.
GVariant* newVariant(const SigrokCalls& sigrok, const OptionValue& value);
