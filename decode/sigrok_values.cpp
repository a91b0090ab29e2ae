#include "decode/sigrok_values.h"

OptionValue optionValue(const SigrokCalls& sigrok, const GVariant* variant) {
    auto* value = const_cast<GVariant*>(variant);
    if (value != nullptr && sigrok.g_variant_is_of_type(value, G_VARIANT_TYPE_INT64)) {
        return sigrok.g_variant_get_int64(value);
    }
    if (value != nullptr && sigrok.g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) {
        return sigrok.g_variant_get_double(value);
    }
    if (value != nullptr && sigrok.g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        return std::string(sigrok.g_variant_get_string(value, nullptr));
    }
    return std::string();
}

GVariant* newVariant(const SigrokCalls& sigrok, const OptionValue& value) {
    if (const auto* number = std::get_if<int64_t>(&value)) {
        return sigrok.g_variant_new_int64(*number);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        return sigrok.g_variant_new_double(*real);
    }
    return sigrok.g_variant_new_string(std::get<std::string>(value).c_str());
}
