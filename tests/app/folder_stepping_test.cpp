// (tests are added here)
