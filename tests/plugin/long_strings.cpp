int LongStringsUnused = 0;
