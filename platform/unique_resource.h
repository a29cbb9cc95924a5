#pragma once
// A move-only owner of one system resource (a registry key, an icon, an image list, a font, ...).
// Traits supply the type, the empty value and how to free it; the Win32 aliases live in win32/handles.h.
#include <utility>

namespace vitrell {

template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() = default;
    explicit UniqueResource(Handle h) : handle_(h) {}
    ~UniqueResource() { reset(); }

    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::Empty(); }

    Handle release() { return std::exchange(handle_, Traits::Empty()); }
    void reset(Handle h = Traits::Empty()) {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::Empty())
            Traits::Free(old);
    }

private:
    Handle handle_ = Traits::Empty();
};

}  // namespace vitrell
