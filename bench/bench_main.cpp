// Performance figures of the kernels on realistic sizes. Not a test: it
// prints timings for the developer to compare with the targets.
#include <cstdio>

void RunViewerBenchmarks();
void RunAnalysisBenchmarks();
void RunMtfBenchmarks();
void RunDicomBenchmarks();

int main()
{
    RunViewerBenchmarks();
    RunAnalysisBenchmarks();
    RunMtfBenchmarks();
    RunDicomBenchmarks();
    return 0;
}
