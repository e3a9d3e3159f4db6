// The clock sources that re-seed the cipher (filled in with the cipher).
