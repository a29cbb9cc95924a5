#pragma once
// A move-only owner of one system resource (a registry key, an icon, a font, ...). Each kind is declared in one line,
// typed, as the handle and the call that closes it: UniqueResource<Closes<HFONT, DeleteObject>>; the Win32 ones live
// in win32/handles.h.
#include <utility>

namespace vitrell {

// The handle type and the call that closes it; the null handle is the empty value. The call's result is not
// examined: a close that fails leaves nothing the owner could do.
template <typename H, auto Close>
struct Closes {
    using Handle = H;
    static constexpr Handle Empty() { return Handle{}; }
    static void Release(Handle h) { (void)Close(h); }
};

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
            Traits::Release(old);
    }
    // For a call that fills in a handle (RegOpenKeyExW(..., key.put())): what was held is closed first.
    Handle* put() {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Traits::Empty();
};

}  // namespace vitrell
