void RunMtfBenchmarks() {}
