void RunAnalysisBenchmarks() {}
