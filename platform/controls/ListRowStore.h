#pragma once
// The rows of a report list: a fixed-size record per row over one append-only text arena that
// holds each row's texts back to back (sub-item 0 first, each ended by a NUL). A row costs its
// texts plus 24 bytes, and a million rows are a few hundred large blocks, not millions of
// allocations. Setting the texts of the row written last (as a list is filled) extends it in
// place; changing an older row copies its texts to the end and leaves the old ones as garbage,
// which is compacted away once it outweighs the live texts.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/graphics/GdiTypes.h"

class ListRowStore {
public:
    struct Row {
        LPARAM param = 0;
        std::uint64_t texts = 0;  // where the texts start: block << 32 | offset
        int image = 0;
        std::uint16_t state = 0;
        std::uint16_t count = 0;  // texts held; sub-items past them read as empty
    };

    static constexpr int kMaxSubItems = 0xFFFF;

    int Count() const { return count_; }
    Row& At(int index) { return rows_[static_cast<std::size_t>(index) >> kChunkShift][index & kChunkMask]; }
    const Row& At(int index) const {
        return rows_[static_cast<std::size_t>(index) >> kChunkShift][index & kChunkMask];
    }

    // Inserts at `index` (0 to Count()) a row with `row`'s data and, unless `text` is null, its
    // sub-item 0 text.
    void Insert(int index, const Row& row, const char* text);
    void Erase(int index);
    void Clear();

    // Empty for a sub-item the row has no text for.
    std::string_view Text(int index, int subItem) const;
    // False for a sub-item out of range. A text is cut at its first NUL.
    bool SetText(int index, int subItem, std::string_view text);

    // Reorders the rows by `less` (stable); the texts stay where they are.
    void Sort(const std::function<bool(const Row&, const Row&)>& less);

    // Bytes of the arena holding live texts, and those left behind by changed or deleted rows.
    std::size_t LiveBytes() const { return used_ - garbage_; }
    std::size_t GarbageBytes() const { return garbage_; }

private:
    static constexpr int kChunkShift = 12;
    static constexpr int kChunkRows = 1 << kChunkShift;
    static constexpr int kChunkMask = kChunkRows - 1;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;

    struct Block {
        std::unique_ptr<char[]> data;
        std::uint32_t size = 0;
        std::uint32_t used = 0;
    };

    static char* Address(const std::vector<Block>& blocks, std::uint64_t position);
    char* Address(std::uint64_t position) const { return Address(blocks_, position); }
    // Room for `bytes` at the end of `blocks`: where they go.
    static std::uint64_t Append(std::vector<Block>& blocks, std::size_t bytes);
    std::size_t RunLength(const Row& row) const;  // the bytes of its texts
    bool IsTail(const Row& row) const { return row.count > 0 && row.texts == tailStart_; }
    // Room for `bytes` at the end of the arena: where they go.
    std::uint64_t Reserve(std::size_t bytes);
    void Forget(const Row& row);
    void CompactIfWasteful();
    void Compact();

    std::vector<std::unique_ptr<Row[]>> rows_;
    int count_ = 0;
    std::vector<Block> blocks_;
    std::uint64_t tailStart_ = ~std::uint64_t{0};  // the run written last, which may grow in place
    std::size_t tailLength_ = 0;
    std::size_t used_ = 0;                         // arena bytes written, live or not
    std::size_t garbage_ = 0;
};
