// The analysis handlers that run the profile and MTF kernels.
#include "app/form1.h"
#include "app/form2.h"

namespace radmtf {

void TForm2::Button2Dto1DClick() {}
void TForm2::ButtonSmoothClick() {}
void TForm2::ButtonToExpClick() {}
void TForm2::ButtonExtractClick() {}
void TForm2::ButtonToCB_SGClick() {}
void TForm2::ButtonPrfToCBClick() {}
void TForm2::MemoWorkClick() {}
void TForm2::ButtonSWCClick() {}
void TForm2::ButtonSlitClick() {}
void TForm2::ButtonFittingClick() {}
void TForm2::ChartLSFClickSeries(QXYSeries*, int) {}
void TForm2::ButtonTrancationClick() {}

}  // namespace radmtf
