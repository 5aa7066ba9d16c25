// The decoder process's side (radmtf-decode): it decodes one request with the
// DICOM library (see decode_protocol.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dicom/decode_protocol.h"

namespace radmtf {

// The reply to a request for file[0, size), decoded in this process.
std::vector<std::uint8_t> AnswerDecodeRequest(const std::uint8_t* file, std::size_t size,
                                              const DecodeRequest& request);

// The process's main. Its request and reply are files in memory (standard
// input and output), its messages go to standard error; it waits on
// descriptor 3 for the DecodeStart that sets its limits and starts it.
// Returns its exit status (0 once a reply is written).
int RunDecoderProcess();

}  // namespace radmtf
