#pragma once

// ampvane-cli opinion PROJECT_FILE --row N [--format text|html|rtf] [-o FILE]: the plain-language
// opinion of one row of a project's report, as the report window's Opinion button gives it.

namespace ampvane {

// A literal, so that the program's usage text can take it in.
#define AMPVANE_OPINION_USAGE                                                                   \
    "  opinion PROJECT_FILE --row N [--format text|html|rtf] [-o FILE]\n"                       \
    "               the opinion of row N's in-flight analysis (1-based, in the report's\n"      \
    "               default order); without --format the format follows the extension\n"    \
    "               of -o (.txt, .htm, .html, .rtf), else text\n"

// argv[1] is "opinion". Returns the exit status: 0 success, 1 input rejected, 2 usage error.
int RunOpinionCommand(int argc, char** argv);

} // namespace ampvane
