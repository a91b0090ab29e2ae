#pragma once

// Standard input, output and error that the caller closed (`>&-`, `2>&-`) are taken by a
// placeholder that reads nothing and refuses every write, before any file is opened: else the
// next file opened would get that number, and what is meant for the terminal (a message, the
// results) would be written into it. A write to the placeholder fails with EBADF, as it would
// on the closed descriptor.
void holdClosedStandardDescriptors();
