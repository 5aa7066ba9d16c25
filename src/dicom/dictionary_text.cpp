// Stand-in until the generated dictionary text is committed.
#include "dicom/dictionary.h"

namespace radmtf {
std::string_view DicomDictionaryText() { return "0002\t0000\tFileMetaInfoGroupLength\tN"; }
}  // namespace radmtf
