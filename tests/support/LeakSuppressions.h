#pragma once
// Programs that draw text through Qt under LeakSanitizer (the tests and fuzz
// targets of the formats) include this in exactly one source file: fontconfig and FreeType keep
// caches for the life of the process, which LSan would report as leaks.
// SANE's test backend, the scanner tests' device, keeps the buffers of its
// three-pass scans. The hook is only consulted when LSan runs.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libsane-test.so\n";
}
