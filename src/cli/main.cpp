// animora-cli: the engine from the command line, for batch work and tests.
#include <cstdio>
#include <exception>

#include "cli/Command.h"

using namespace animora::cli;

#if defined(__SANITIZE_ADDRESS__)
// In the sanitizer build: fontconfig and FreeType, which QtGui loads to draw
// the wizard's text and to play metafiles, keep their caches for the life of
// the process, which LeakSanitizer would report as leaks at exit.
extern "C" __attribute__((used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\nleak:libfreetype.so\n";
}
#endif

static int PrintUsage()
{
    std::fprintf(stderr, "usage: animora-cli COMMAND ARGUMENTS\ncommands:\n");
    for (const auto& command : Commands())
        std::fprintf(stderr, "  animora-cli %s\n", command.usage.c_str());
    return kExitUsage;
}

int main(int argc, char** argv)
{
    if (argc < 2)
        return PrintUsage();
    const std::string name = argv[1];
    for (const auto& command : Commands()) {
        if (command.name != name)
            continue;
        try {
            return command.run(Arguments(argv + 2, argv + argc));
        } catch (const std::exception& error) {
            std::fprintf(stderr, "error: %s\n", error.what());
            return kExitFailed;
        }
    }
    std::fprintf(stderr, "animora-cli: unknown command '%s'\n", name.c_str());
    return PrintUsage();
}
