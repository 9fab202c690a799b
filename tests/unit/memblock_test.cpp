#include "sys/memblock.h"

#include <gtest/gtest.h>

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifdef _WIN32
// The lock count the system keeps for a movable block.
unsigned lock_count(MemBlock block) { return GlobalFlags(block) & GMEM_LOCKCOUNT; }
#endif

TEST(MemLock, LocksForTheScopeAndReleasesOnce) {
    MemLock<uint32_t> none(nullptr);
    EXPECT_FALSE(none);
    EXPECT_EQ(none.get(), nullptr);
    none.unlock();  // nothing to release

    MemBlock block = mem_alloc(16);
    ASSERT_NE(block, nullptr);
    {
        MemLock<uint32_t> words(block);
        ASSERT_TRUE(words);
        EXPECT_EQ(words.block(), block);
        words.get()[3] = 0xC0FFEE;
#ifdef _WIN32
        EXPECT_EQ(lock_count(block), 1u);
#endif
    }
#ifdef _WIN32
    EXPECT_EQ(lock_count(block), 0u) << "unlocked at the end of the scope";
#endif
    {
        MemLock<const uint8_t> outer(block);
        {
            // Ending a lock early releases it once: the destructor must not
            // take the outer lock away as well.
            MemLock<const uint32_t> inner(block);
            EXPECT_EQ(inner.get()[3], 0xC0FFEEu);
            inner.unlock();
            EXPECT_FALSE(inner);
        }
#ifdef _WIN32
        EXPECT_EQ(lock_count(block), 1u);
#endif
        EXPECT_EQ(outer.get()[12], 0xEE);
    }
#ifdef _WIN32
    EXPECT_EQ(lock_count(block), 0u);
#endif
    mem_free(block);
}

}  // namespace
