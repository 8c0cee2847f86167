// Writing the standard streams' bytes: what arrives, and a reader that went
// away told as a closed pipe (EPIPE) on every system, never an end of the run.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "core/platform/Console.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define pipe(fds) _pipe(fds, 1 << 16, _O_BINARY)
#define read _read
#define close _close
#else
#include <unistd.h>
#endif

TEST(PlatformConsole, WriteAllToPipe)
{
    PrepareConsole();  // a closed pipe must not end the run
    const std::string text = "信道 1: 145.00000\n";
    for (const bool readerGone : {false, true}) {
        SCOPED_TRACE(readerGone ? "reader gone" : "reader there");
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        if (readerGone)
            close(fds[0]);
        EXPECT_EQ(WriteAll(fds[1], text.data(), text.size()), readerGone ? EPIPE : 0);
        close(fds[1]);
        if (!readerGone) {
            char got[64] = {};
            EXPECT_EQ(read(fds[0], got, sizeof got), static_cast<int>(text.size()));
            EXPECT_EQ(std::string(got), text);
            close(fds[0]);
        }
    }
}
