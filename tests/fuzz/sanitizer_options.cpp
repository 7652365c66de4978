// Sanitizer settings built into every fuzz target.

// fontconfig's start-up keeps two blocks (288 bytes) where LeakSanitizer cannot see them and
// frees them only in FcFini at exit; libFuzzer's leak check after an input would report them.
// They are made once, whatever is asked of fontconfig later.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
