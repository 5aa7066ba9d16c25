void RunViewerBenchmarks() {}
