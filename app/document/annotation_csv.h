#pragma once

#include <cstdint>
#include <string>

#include "decode/decoder_run.h"

class TimeBase;

// The first line of an annotations CSV.
inline constexpr const char* kAnnotationCsvHeader =
    "start sample,end sample,start time,decoder,row,text\n";

// One annotation as a CSV line: its first sample and the one after its last, numbered from the
// capture's first (`origin` is the capture's number of data index 0), its start in seconds where
// `time` is given (else empty), its decoder, `rowTitle` and its full text, each quoted as needed.
std::string annotationCsvLine(const AnnotationRef& annotation, const std::string& rowTitle,
                              uint32_t origin, const TimeBase* time);
