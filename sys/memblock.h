// Movable, zero-filled memory blocks.
//
// On Windows these are real HGLOBALs (GMEM_MOVEABLE | GMEM_ZEROINIT), so an
// image block can be handed straight to the clipboard. The portable build
// keeps the same rules with an ordinary heap allocation: lock only while
// working, unlock before returning, free what you own.
#pragma once

#include <cstddef>

typedef void* MemBlock;

// A new zero-filled block of `size` bytes, or null. Sizes above
// kMemBlockMaxSize are refused so that a reader can never be talked into a
// huge allocation by a damaged header.
MemBlock mem_alloc(size_t size);
void* mem_lock(MemBlock block);
void mem_unlock(MemBlock block);
// The block's size as the allocator reports it (at least the requested size).
size_t mem_size(MemBlock block);
void mem_free(MemBlock block);

constexpr size_t kMemBlockMaxSize = size_t(1) << 31;

// Keeps a block locked for a scope and unlocks it at the end, if the lock
// succeeded (a null block or a failed lock leaves it null and unlocked):
//
//     MemLock<DibHeader> h(dib);
//     if (!h) return nullptr;
//     int width = h->biWidth;
//
// unlock() ends the lock early; a block that is freed or handed on inside
// the scope must be unlocked first. A long jump skips the destructor, so
// a frame that calls setjmp never holds one.
template <typename T = void>
class MemLock {
public:
    explicit MemLock(MemBlock block) : block_(block), data_(static_cast<T*>(mem_lock(block))) {}
    ~MemLock() { unlock(); }
    MemLock(const MemLock&) = delete;
    MemLock& operator=(const MemLock&) = delete;

    explicit operator bool() const { return data_ != nullptr; }
    // The locked bytes as a T, or null when not locked.
    T* get() const { return data_; }
    T* operator->() const { return data_; }
    MemBlock block() const { return block_; }

    void unlock() {
        if (data_) mem_unlock(block_);
        data_ = nullptr;
    }

private:
    MemBlock block_;
    T* data_;
};
