#include "platform/controls/EditText.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/graphics/TextCodec.h"

namespace {

// Where lines start in `text`, after `first`: at every LF, and after every CR not followed by
// an LF. Found with memchr, which is what makes a 50 MB text quick to index.
void IndexLines(std::string_view text, std::vector<std::size_t>& starts) {
    const char* base = text.data();
    const char* end = base + text.size();
    for (const char* p = base; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
        starts.push_back(static_cast<std::size_t>(p - base) + 1);
    // Lone CRs are rare: merged in where there are any.
    std::vector<std::size_t> lone;
    for (const char* p = base; (p = static_cast<const char*>(std::memchr(p, '\r', end - p))); ++p)
        if (p + 1 == end || p[1] != '\n') lone.push_back(static_cast<std::size_t>(p - base) + 1);
    if (lone.empty()) return;
    const std::size_t middle = starts.size();
    starts.insert(starts.end(), lone.begin(), lone.end());
    std::inplace_merge(starts.begin() + 1, starts.begin() + static_cast<long>(middle), starts.end());
}

bool Blank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool WordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

}  // namespace

void EditText::Assign(std::string_view text) {
    std::string copy(text);
    std::vector<std::size_t> starts{0};
    if (multiline_) {
        starts.reserve(copy.size() / 64 + 1);
        IndexLines(copy, starts);
    }
    text_.swap(copy);
    starts_.swap(starts);
    longestKnown_ = false;
}

void EditText::Replace(std::size_t from, std::size_t to, std::string_view with) {
    to = std::min(to, text_.size());
    from = std::min(from, to);
    // Everything that may fail comes before the first change.
    std::vector<std::size_t> found;
    if (multiline_) {
        const auto breaks = static_cast<std::size_t>(std::count(with.begin(), with.end(), '\n') +
                                                     std::count(with.begin(), with.end(), '\r')) + 1;
        found.reserve(breaks);
        starts_.reserve(starts_.size() + breaks);
    }
    text_.replace(from, to - from, with);
    longestKnown_ = false;
    if (!multiline_) return;
    // A start depends on the bytes on both sides of it, so the starts in [from, to] of the old
    // text are found again in [from, from + n] of the new one; those after move by the change.
    const std::ptrdiff_t delta = static_cast<std::ptrdiff_t>(with.size()) - static_cast<std::ptrdiff_t>(to - from);
    auto first = std::lower_bound(starts_.begin() + 1, starts_.end(), std::max<std::size_t>(from, 1));
    auto last = std::upper_bound(first, starts_.end(), to);
    for (auto it = last; it != starts_.end(); ++it) *it = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(*it) + delta);
    for (std::size_t p = std::max<std::size_t>(from, 1); p <= from + with.size(); ++p)
        if (StartsLine(p)) found.push_back(p);
    const auto at = starts_.erase(first, last);
    starts_.insert(at, found.begin(), found.end());
}

bool EditText::StartsLine(std::size_t pos) const {
    if (pos == 0 || pos > text_.size()) return pos == 0;
    const char before = text_[pos - 1];
    return before == '\n' || (before == '\r' && (pos == text_.size() || text_[pos] != '\n'));
}

std::size_t EditText::LineStart(std::size_t line) const { return starts_[std::min(line, starts_.size() - 1)]; }

std::size_t EditText::LineEnd(std::size_t line) const {
    if (line + 1 >= starts_.size()) return text_.size();
    const std::size_t next = starts_[line + 1];
    return next >= 2 && text_[next - 1] == '\n' && text_[next - 2] == '\r' ? next - 2 : next - 1;
}

std::string_view EditText::Line(std::size_t line) const {
    const std::size_t start = LineStart(line);
    return std::string_view(text_).substr(start, LineEnd(line) - start);
}

std::size_t EditText::LineOf(std::size_t pos) const {
    return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), pos) - starts_.begin()) - 1;
}

std::size_t EditText::LongestLine() const {
    if (!longestKnown_) {
        longest_ = 0;
        std::size_t most = 0;
        for (std::size_t line = 0; line < starts_.size(); ++line) {
            const std::size_t end = line + 1 < starts_.size() ? starts_[line + 1] : text_.size();
            if (end - starts_[line] > most) {
                most = end - starts_[line];
                longest_ = line;
            }
        }
        longestKnown_ = true;
    }
    return longest_;
}

std::size_t EditText::Next(std::size_t pos) const {
    if (pos >= text_.size()) return text_.size();
    if (multiline_ && text_[pos] == '\r' && pos + 1 < text_.size() && text_[pos + 1] == '\n') return pos + 2;
    return pos + TextCodec::CharLength(text_, pos);
}

std::size_t EditText::Previous(std::size_t pos) const {
    pos = std::min(pos, text_.size());
    if (pos == 0) return 0;
    if (multiline_ && pos >= 2 && text_[pos - 1] == '\n' && text_[pos - 2] == '\r') return pos - 2;
    for (std::size_t k = 2; k <= 4 && k <= pos; ++k)
        if (TextCodec::CharLength(text_, pos - k) == k) return pos - k;
    return pos - 1;
}

std::size_t EditText::Snap(std::size_t pos) const {
    pos = std::min(pos, text_.size());
    if (multiline_ && pos > 0 && pos < text_.size() && text_[pos - 1] == '\r' && text_[pos] == '\n') return pos - 1;
    for (std::size_t k = 1; k <= 3 && k <= pos; ++k)
        if (TextCodec::CharLength(text_, pos - k) > k) return pos - k;
    return pos;
}

int EditText::KindAt(std::size_t pos) const {
    const auto c = static_cast<unsigned char>(text_[pos]);
    return Blank(c) ? 0 : WordChar(c) ? 1 : 2;
}

std::size_t EditText::WordStart(std::size_t pos) const {
    pos = Snap(pos);
    const std::size_t start = LineStart(LineOf(pos));
    if (pos >= LineEnd(LineOf(pos))) return pos;
    const int kind = KindAt(pos);
    while (pos > start && KindAt(pos - 1) == kind) pos = Previous(pos);
    return pos;
}

std::size_t EditText::WordEnd(std::size_t pos) const {
    pos = Snap(pos);
    const std::size_t end = LineEnd(LineOf(pos));
    if (pos >= end) return pos;
    const int kind = KindAt(pos);
    while (pos < end && KindAt(pos) == kind) pos = Next(pos);
    return pos;
}

std::size_t EditText::NextWord(std::size_t pos) const {
    pos = Snap(pos);
    const std::size_t end = LineEnd(LineOf(pos));
    if (pos >= end) return Next(pos);  // over the line break
    if (KindAt(pos) != 0) pos = WordEnd(pos);
    while (pos < end && KindAt(pos) == 0) pos = Next(pos);
    return pos;
}

std::size_t EditText::PreviousWord(std::size_t pos) const {
    pos = Snap(pos);
    const std::size_t start = LineStart(LineOf(pos));
    if (pos <= start) return Previous(pos);
    while (pos > start && KindAt(Previous(pos)) == 0) pos = Previous(pos);
    return pos > start ? WordStart(Previous(pos)) : pos;
}

std::size_t EditText::Fit(std::string_view text, std::size_t room) {
    if (text.size() <= room) return text.size();
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = end + TextCodec::CharLength(text, end);
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') next = end + 2;
        if (next > room) break;
        end = next;
    }
    return end;
}
