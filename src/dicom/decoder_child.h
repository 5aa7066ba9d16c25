// The decoder process's side (radmtf-decode): it reads a request from its
// standard input, decodes with the DICOM library and writes the reply to its
// standard output (files in memory; see decode_protocol.h), its library's
// messages to its standard error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dicom/decode_protocol.h"

namespace radmtf {

// The reply to a request for file[0, size), decoded in this process.
std::vector<std::uint8_t> AnswerDecodeRequest(const std::uint8_t* file, std::size_t size,
                                              const DecodeRequest& request);

// The process's main: `--address-space BYTES --cpu-seconds S --reply-bytes
// BYTES` limit it before anything is read. Returns its exit status (0 once a reply is written).
int RunDecoderProcess(int argc, char** argv);

}  // namespace radmtf
