#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

// The test discovery reads the list of tests one name a line; the line ends
// of text-mode standard output on Windows would put a CR into every name.
int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
