#include "platform/controls/ListRowStore.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr std::uint64_t kNowhere = ~std::uint64_t{0};

std::uint64_t Position(std::size_t block, std::size_t offset) {
    return static_cast<std::uint64_t>(block) << 32 | static_cast<std::uint32_t>(offset);
}

}  // namespace

char* ListRowStore::Address(const std::vector<Block>& blocks, std::uint64_t position) {
    return blocks[position >> 32].data.get() + (position & 0xFFFFFFFFu);
}

std::size_t ListRowStore::RunLength(const Row& row) const {
    if (row.count == 0) return 0;
    if (IsTail(row)) return tailLength_;
    const char* start = Address(row.texts);
    const char* p = start;
    for (int i = 0; i < row.count; ++i) p += std::strlen(p) + 1;
    return static_cast<std::size_t>(p - start);
}

std::uint64_t ListRowStore::Append(std::vector<Block>& blocks, std::size_t bytes) {
    if (blocks.empty() || blocks.back().size - blocks.back().used < bytes) {
        Block block;
        block.size = static_cast<std::uint32_t>(std::max(kBlockBytes, bytes));
        block.data = std::make_unique_for_overwrite<char[]>(block.size);
        blocks.push_back(std::move(block));
    }
    Block& last = blocks.back();
    const std::uint64_t at = Position(blocks.size() - 1, last.used);
    last.used += static_cast<std::uint32_t>(bytes);
    return at;
}

std::uint64_t ListRowStore::Reserve(std::size_t bytes) {
    const std::uint64_t at = Append(blocks_, bytes);
    used_ += bytes;
    return at;
}

void ListRowStore::Insert(int index, const Row& row, const char* text) {
    // What may fail for want of memory comes first, before anything changed.
    if (static_cast<std::size_t>(count_) == rows_.size() * kChunkRows)
        rows_.push_back(std::make_unique<Row[]>(kChunkRows));
    Row r = row;
    r.count = 0;
    r.texts = 0;
    if (text) {
        const std::size_t length = std::strlen(text) + 1;
        r.texts = Reserve(length);
        std::memcpy(Address(r.texts), text, length);
        r.count = 1;
        tailStart_ = r.texts;
        tailLength_ = length;
    }
    for (int i = count_; i > index; --i) At(i) = At(i - 1);
    At(index) = r;
    ++count_;
}

void ListRowStore::Forget(const Row& row) {
    const std::size_t length = RunLength(row);
    if (IsTail(row) && (row.texts >> 32) == blocks_.size() - 1 &&
        (row.texts & 0xFFFFFFFFu) + length == blocks_.back().used) {
        // The last run written gives its room back.
        blocks_.back().used -= static_cast<std::uint32_t>(length);
        used_ -= length;
        tailStart_ = kNowhere;
        return;
    }
    garbage_ += length;
}

void ListRowStore::Erase(int index) {
    Forget(At(index));
    for (int i = index; i + 1 < count_; ++i) At(i) = At(i + 1);
    --count_;
    if (count_ == 0) {
        Clear();
        return;
    }
    // Keep one spare chunk at most.
    while (rows_.size() * kChunkRows > static_cast<std::size_t>(count_) + 2 * kChunkRows) rows_.pop_back();
    CompactIfWasteful();
}

void ListRowStore::Clear() {
    rows_.clear();
    blocks_.clear();
    count_ = 0;
    used_ = 0;
    garbage_ = 0;
    tailStart_ = kNowhere;
}

std::string_view ListRowStore::Text(int index, int subItem) const {
    const Row& r = At(index);
    if (subItem < 0 || subItem >= r.count) return {};
    const char* p = Address(r.texts);
    for (int i = 0; i < subItem; ++i) p += std::strlen(p) + 1;
    return std::string_view(p);
}

bool ListRowStore::SetText(int index, int subItem, std::string_view text) {
    if (subItem < 0 || subItem >= kMaxSubItems) return false;
    text = text.substr(0, text.find('\0'));
    if (text.empty()) text = "";  // never a null pointer to copy from
    if (text.size() >= 0xFFFFFFFFu - static_cast<std::size_t>(kMaxSubItems) - kBlockBytes) return false;
    Row& r = At(index);
    char* start = r.count ? Address(r.texts) : nullptr;
    char* sub = nullptr;
    std::size_t oldLength = 0;
    if (subItem < r.count) {
        sub = start;
        for (int i = 0; i < subItem; ++i) sub += std::strlen(sub) + 1;
        oldLength = std::strlen(sub);
        if (oldLength == text.size()) {
            std::memcpy(sub, text.data(), text.size());
            return true;
        }
    }
    const std::size_t runLength = RunLength(r);
    const std::size_t gap = subItem < r.count ? 0 : static_cast<std::size_t>(subItem - r.count);
    const std::size_t newLength =
        sub ? runLength - oldLength + text.size() : runLength + gap + text.size() + 1;
    const int newCount = std::max<int>(r.count, subItem + 1);

    const std::size_t offset = r.texts & 0xFFFFFFFFu;
    if (IsTail(r) && (r.texts >> 32) == blocks_.size() - 1 && offset + runLength == blocks_.back().used &&
        blocks_.back().size - offset >= newLength) {
        // The row written last grows (or shrinks) where it is.
        if (sub) {
            const std::size_t after = runLength - static_cast<std::size_t>(sub - start) - oldLength;
            std::memmove(sub + text.size(), sub + oldLength, after);
            std::memcpy(sub, text.data(), text.size());
        } else {
            char* end = start + runLength;
            std::memset(end, 0, gap);
            std::memcpy(end + gap, text.data(), text.size());
            end[gap + text.size()] = '\0';
        }
        blocks_.back().used = static_cast<std::uint32_t>(offset + newLength);
        used_ = used_ - runLength + newLength;
        tailLength_ = newLength;
        r.count = static_cast<std::uint16_t>(newCount);
        return true;
    }

    // Elsewhere: the row's texts move to the end of the arena with the change made.
    const std::uint64_t at = Reserve(newLength);
    char* out = Address(at);
    if (sub) {
        const std::size_t before = static_cast<std::size_t>(sub - start);
        std::memcpy(out, start, before);
        std::memcpy(out + before, text.data(), text.size());
        std::memcpy(out + before + text.size(), sub + oldLength, runLength - before - oldLength);
    } else {
        if (runLength) std::memcpy(out, start, runLength);
        std::memset(out + runLength, 0, gap);
        std::memcpy(out + runLength + gap, text.data(), text.size());
        out[runLength + gap + text.size()] = '\0';
    }
    garbage_ += runLength;
    r.texts = at;
    r.count = static_cast<std::uint16_t>(newCount);
    tailStart_ = at;
    tailLength_ = newLength;
    CompactIfWasteful();
    return true;
}

void ListRowStore::CompactIfWasteful() {
    if (garbage_ < kBlockBytes || garbage_ * 2 < used_) return;
    // An economy: without the memory to make it, the garbage stays until the next time.
    try {
        Compact();
    } catch (const std::bad_alloc&) {
    }
}

void ListRowStore::Compact() {
    // The live texts are copied into new blocks first; the rows move to them only once nothing
    // can fail any more.
    std::vector<Block> fresh;
    std::vector<std::uint64_t> moved(static_cast<std::size_t>(count_));
    std::size_t used = 0;
    auto copy = [&](int i) {
        const Row& r = At(i);
        const std::size_t length = RunLength(r);
        const std::uint64_t at = Append(fresh, length);
        std::memcpy(Address(fresh, at), Address(r.texts), length);
        moved[static_cast<std::size_t>(i)] = at;
        used += length;
    };
    // The row written last goes last again, so that it can still grow in place.
    int tail = -1;
    for (int i = 0; i < count_; ++i) {
        if (At(i).count == 0) continue;
        if (IsTail(At(i)))
            tail = i;
        else
            copy(i);
    }
    if (tail >= 0) copy(tail);
    for (int i = 0; i < count_; ++i)
        if (At(i).count) At(i).texts = moved[static_cast<std::size_t>(i)];
    blocks_.swap(fresh);
    used_ = used;
    garbage_ = 0;
    tailStart_ = kNowhere;
    if (tail >= 0) {
        tailStart_ = At(tail).texts;
        tailLength_ = blocks_.back().used - (tailStart_ & 0xFFFFFFFFu);
    }
}

void ListRowStore::Sort(const std::function<bool(const Row&, const Row&)>& less) {
    std::vector<Row> all;
    all.reserve(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) all.push_back(At(i));
    std::stable_sort(all.begin(), all.end(), less);
    for (int i = 0; i < count_; ++i) At(i) = all[static_cast<std::size_t>(i)];
}
