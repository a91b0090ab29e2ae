#pragma once

#include <string>

// Writes a protocol decoder of the test's own, `id`, into folder `decoders` (for
// SIGROKDECODE_DIR): it reads one channel, "data", and its decode() runs `decodeBody` (Python
// lines, indented as a method's body is), so that a test can make a decoder fail or never end.
void writeTestDecoder(const std::string& decoders, const std::string& id,
                      const std::string& decodeBody);
