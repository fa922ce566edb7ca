// Move-only owners for Win32 handles. Each handle kind has its own "no
// handle" value (CreateFileW answers INVALID_HANDLE_VALUE, most other kernel
// calls answer null), so each kind gets its own small type instead of one
// wrapper that guesses.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <uxtheme.h>

#include <utility>

namespace ui {

template <typename Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() noexcept = default;
  explicit UniqueResource(Handle handle) noexcept : handle_(handle) {}
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~UniqueResource() { reset(); }

  Handle get() const noexcept { return handle_; }
  bool valid() const noexcept { return handle_ != Traits::invalid(); }
  explicit operator bool() const noexcept { return valid(); }

  Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }
  void reset(Handle handle = Traits::invalid()) noexcept {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  Handle handle_ = Traits::invalid();
};

// Kernel objects whose "none" is null: mutexes, events, threads, processes.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueResource<KernelHandleTraits>;

// Files opened with CreateFileW, whose "none" is INVALID_HANDLE_VALUE.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { CloseHandle(h); }
};
using UniqueFileHandle = UniqueResource<FileHandleTraits>;

// Directory listings opened with FindFirstFileW.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(Handle h) noexcept { FindClose(h); }
};
using UniqueFindHandle = UniqueResource<FindHandleTraits>;

// GDI objects (bitmaps, fonts, brushes, regions).
template <typename T>
struct GdiObjectTraits {
  using Handle = T;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DeleteObject(h); }
};
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;

// Memory device contexts from CreateCompatibleDC.
struct MemoryDcTraits {
  using Handle = HDC;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;

// The whole screen's device context from GetDC(nullptr), for measuring text
// outside a paint.
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { ReleaseDC(nullptr, h); }
};
using UniqueScreenDc = UniqueResource<ScreenDcTraits>;

// Windows created with CreateWindowExW and owned by the object that made them.
struct WindowTraits {
  using Handle = HWND;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<WindowTraits>;

// Registry keys.
struct RegKeyTraits {
  using Handle = HKEY;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { RegCloseKey(h); }
};
using UniqueRegKey = UniqueResource<RegKeyTraits>;

// A buffered paint from BeginBufferedPaint. Ending it copies the buffer to
// its target, so a paint that failed half-way still shows what it drew.
struct BufferedPaintTraits {
  using Handle = HPAINTBUFFER;
  static Handle invalid() noexcept { return nullptr; }
  static void close(Handle h) noexcept { EndBufferedPaint(h, TRUE); }
};
using UniqueBufferedPaint = UniqueResource<BufferedPaintTraits>;

}  // namespace ui
