#include "core/shared_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each table type is opened once for the process, so each test has a type of its own.
template <bool Opens>
struct Table {
    int value = 0;
};

template <bool Opens>
int timesOpened = 0;

template <bool Opens>
bool openTable(const char* file, Table<Opens>& table, std::string& error) {
    ++timesOpened<Opens>;
    table.value = 7;
    error = std::string("cannot open ") + file;
    return Opens;
}

// A library is opened on the first call only; every caller gets the same table.
TEST(SharedLibrary, OpenedOnceGivesEveryCallerTheSameTable) {
    std::string error = "untouched";
    const Table<true>* table = openedOnce("libgood.so", openTable<true>, error);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->value, 7);
    EXPECT_EQ(openedOnce("libgood.so", openTable<true>, error), table);
    EXPECT_EQ(timesOpened<true>, 1);
    EXPECT_EQ(error, "untouched");
}

// One that could not be opened is not tried again, and every caller is told why.
TEST(SharedLibrary, OpenedOnceGivesEveryCallerTheReasonItFailed) {
    for (int call = 0; call < 2; ++call) {
        std::string error;
        EXPECT_EQ(openedOnce("libbad.so", openTable<false>, error), nullptr);
        EXPECT_EQ(error, "cannot open libbad.so");
    }
    EXPECT_EQ(timesOpened<false>, 1);
}

}  // namespace
