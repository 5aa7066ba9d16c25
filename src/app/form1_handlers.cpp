// The viewer handlers that run the image kernels.
#include "app/form1.h"
#include "app/form2.h"

namespace radmtf {

void TForm1::RenderImage() {}
void TForm1::DrawRoiFrames() {}
void TForm1::ReadDicomHeader() {}
void TForm1::ButtonAutoWLClick() {}
void TForm1::ButtonStatClick() {}
void TForm1::ButtonVertClick() {}
void TForm1::ButtonHorizClick() {}
void TForm1::ButtonCWClick() {}
void TForm1::ButtonCCWClick() {}
void TForm1::ButtonTrimingClick() {}
void TForm1::ButtonToTableClick() {}

}  // namespace radmtf
