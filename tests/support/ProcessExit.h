#pragma once

#include <gtest/gtest.h>

// Tests of ending the process run it in a child process; a browser page has none, so there they are skipped
// and the end-to-end tests check that the program ends.
#if GTEST_HAS_DEATH_TEST
#define KELVARA_EXPECT_EXIT(statement, predicate, matcher) EXPECT_EXIT(statement, predicate, matcher)
#else
#define KELVARA_EXPECT_EXIT(statement, predicate, matcher)                                                   \
    GTEST_SKIP() << "no child processes on this platform"
#endif
