// The Windows tests run with the program's own message pump, installed again
// before every test (some put in their own), and an operator new that can fail.
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
    void* p = fail_at_least && size >= fail_at_least ? nullptr : std::malloc(size ? size : 1);
    if (!p) fail_at_least = 0;
    return p ? p : throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ProgramPump);
    return RUN_ALL_TESTS();
}
