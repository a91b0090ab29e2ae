#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "decode/decoder_run.h"
#include "decode/decoder_setup.h"

// Which annotations to show, as sigrok-cli's -A selects them: "uart=rx-data:tx-data,i2c" shows
// the classes named (a row's name stands for its classes) of uart and all of i2c; the decoders
// not named show nothing. With nothing selected, everything shows.
class AnnotationFilter {
public:
    // Adds one selection, checked against the decoders of `stacks`; false with `error` for a
    // decoder no stack uses or a class or row it does not have.
    bool add(std::string_view text, const std::vector<DecoderStack>& stacks, std::string& error);

    bool shows(const Annotation& annotation) const;

private:
    // Decoder id -> its classes shown; an empty set shows them all.
    std::map<std::string, std::set<int>, std::less<>> shown_;
};
