// radmtf-decode: the decoder process (see decoder_child.h).
#include "dicom/decoder_child.h"

int main()
{
    return radmtf::RunDecoderProcess();
}
