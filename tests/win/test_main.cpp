// The Windows tests run with the program's own message pump installed (again
// before every test, as some put in a hook of their own), so that what it
// delivers in the middle of a step reaches the code as in the program; and
// with an operator new that can be made to fail once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "app/pump.h"
#include "sys/pump.h"
#include "tests/win/test_allocator.h"

namespace {
struct ProgramPump : testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { pump_set_hook(pump_messages); }
};
size_t fail_at_least = 0;
}  // namespace

void fail_next_allocation_of(size_t size) { fail_at_least = size; }

void* operator new(size_t size) {
    const bool fail = fail_at_least && size >= fail_at_least;
    if (fail) fail_at_least = 0;
    void* p = fail ? nullptr : std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ProgramPump);
    return RUN_ALL_TESTS();
}
