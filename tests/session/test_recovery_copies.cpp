// Recovery copies are named by the process that keeps them; a copy whose
// process has ended is the one offered at the next start.
#include "session/recovery_copies.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace nettor {
namespace {

bool onlyPid42Runs(long pid)
{
    return pid == 42;
}

TEST(RecoveryCopies, TheNameCarriesTheProcessIdAndReadsBack)
{
    EXPECT_EQ(recoveryCopyName(1234), "recovery-1234.nettor");
    EXPECT_EQ(recoveryCopyOwner(recoveryCopyName(1234)), 1234);
    EXPECT_EQ(recoveryCopyOwner("recovery-.nettor"), 0);
    EXPECT_EQ(recoveryCopyOwner("recovery-12a.nettor"), 0);
    EXPECT_EQ(recoveryCopyOwner("recovery-12.nettor.tmp"), 0);
    EXPECT_EQ(recoveryCopyOwner("house.nettor"), 0);
    EXPECT_EQ(recoveryCopyOwner("recovery-99999999999999999.nettor"), 0);
}

TEST(RecoveryCopies, OnlyCopiesOfEndedProcessesAreAbandoned)
{
    const std::vector<std::string> names{"recovery-42.nettor", "recovery-7.nettor", "notes.nettor",
                                         "recovery-9.nettor"};
    EXPECT_EQ(abandonedRecoveryCopies(names, onlyPid42Runs),
              (std::vector<std::string>{"recovery-7.nettor", "recovery-9.nettor"}));
    // This process runs; its own copy is never offered.
    EXPECT_TRUE(processRunning(static_cast<long>(::getpid())));
    EXPECT_TRUE(abandonedRecoveryCopies({recoveryCopyName(static_cast<long>(::getpid()))}).empty());
    EXPECT_FALSE(processRunning(0));
}

} // namespace
} // namespace nettor
