#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

// Owns one GDI object and deletes it on every path.
template <typename Handle>
class GdiHandle {
public:
    GdiHandle() = default;
    explicit GdiHandle(Handle handle) : handle_(handle) {}
    ~GdiHandle() { Reset(); }
    GdiHandle(GdiHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiHandle& operator=(GdiHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiHandle(const GdiHandle&) = delete;
    GdiHandle& operator=(const GdiHandle&) = delete;

    Handle get() const { return handle_; }
    void Reset(Handle handle = nullptr)
    {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

// Owns a pop-up menu.
class MenuHandle {
public:
    MenuHandle() : menu_(CreatePopupMenu()) {}
    ~MenuHandle() { DestroyMenu(menu_); }
    MenuHandle(const MenuHandle&) = delete;
    MenuHandle& operator=(const MenuHandle&) = delete;
    HMENU get() const { return menu_; }

private:
    HMENU menu_;
};

// Owns an image list.
class ImageListHandle {
public:
    ImageListHandle() = default;
    ~ImageListHandle() { Reset(); }
    ImageListHandle(const ImageListHandle&) = delete;
    ImageListHandle& operator=(const ImageListHandle&) = delete;
    HIMAGELIST get() const { return list_; }
    void Reset(HIMAGELIST list = nullptr)
    {
        if (list_) ImageList_Destroy(list_);
        list_ = list;
    }

private:
    HIMAGELIST list_ = nullptr;
};
