// ampvane-cli: the headless front end over the same core as the desktop program.
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kUsage =
    "Usage: ampvane-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  --help       show this text\n"
    "  --version    show the program version\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("ampvane-cli %s\n", AMPVANE_VERSION);
        return 0;
    }
    std::fprintf(stderr, "ampvane-cli: unknown command \"%s\"\n%s", argv[1], kUsage);
    return 2;
}
