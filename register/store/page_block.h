#pragma once

#include <cstddef>

// Memory taken straight from the system and given back to it when the block
// goes. A result set of a large register is hundreds of megabytes; a general
// allocator may keep such memory after it is freed, so the register would
// hold the previous list long after it was replaced.
class PageBlock {
public:
    explicit PageBlock(std::size_t size);
    ~PageBlock();
    PageBlock(PageBlock&& other) noexcept : data_(other.data_), size_(other.size_) { other.data_ = nullptr; }
    PageBlock(const PageBlock&) = delete;
    PageBlock& operator=(const PageBlock&) = delete;
    PageBlock& operator=(PageBlock&&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    char* data_;
    std::size_t size_;
};
