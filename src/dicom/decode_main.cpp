// radmtf-decode: the decoder process (see decoder_child.h).
#include "dicom/decoder_child.h"

int main(int argc, char** argv)
{
    return radmtf::RunDecoderProcess(argc, argv);
}
