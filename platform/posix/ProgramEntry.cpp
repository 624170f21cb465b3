#include "ProgramEntry.h"

#include <csignal>

int main(int argc, char** argv) {
    // A reader of MyMicOut that goes away (a closed pipe), or a limit on the
    // size of files (ulimit -f), must surface as a failed write with its
    // message, not as a silent end by signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    return ProgramMain(argc, argv);
}
