// The list's row store against a plain model: whatever is inserted, changed, erased and sorted
// reads back the same, and garbage left by changed rows does not pile up.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/controls/ListRowStore.h"

namespace {

struct ModelRow {
    LPARAM param;
    std::vector<std::string> texts;
};

void ExpectSame(const ListRowStore& store, const std::vector<ModelRow>& model, const std::string& when) {
    ASSERT_EQ(store.Count(), static_cast<int>(model.size())) << when;
    for (int r = 0; r < store.Count(); ++r) {
        const ModelRow& m = model[static_cast<std::size_t>(r)];
        ASSERT_EQ(store.At(r).param, m.param) << when << ", row " << r;
        for (int s = 0; s < static_cast<int>(m.texts.size()) + 2; ++s) {
            const std::string expected = s < static_cast<int>(m.texts.size()) ? m.texts[static_cast<std::size_t>(s)] : "";
            ASSERT_EQ(store.Text(r, s), expected) << when << ", row " << r << ", sub-item " << s;
        }
    }
}

std::string RandomText(std::mt19937& random, std::size_t longest) {
    std::string text(std::uniform_int_distribution<std::size_t>(0, longest)(random), ' ');
    for (char& c : text) c = static_cast<char>(std::uniform_int_distribution<int>('a', 'z')(random));
    return text;
}

TEST(ListRowStoreTest, WhatGoesInReadsBackThroughInsertsChangesErasesAndCompaction) {
    std::mt19937 random(1234);
    ListRowStore store;
    std::vector<ModelRow> model;
    // Mostly appends with their sub-item texts (as a list is filled), and changes to older rows
    // long enough to make garbage and compaction happen several times.
    for (int step = 0; step < 60000; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 99)(random);
        const int count = static_cast<int>(model.size());
        if (action < 40 || count == 0) {
            const int at = action < 35 ? count : std::uniform_int_distribution<int>(0, count)(random);
            const bool withText = action % 7 != 0;
            const std::string text = RandomText(random, 30);
            ListRowStore::Row row;
            row.param = step;
            store.Insert(at, row, withText ? text.c_str() : nullptr);
            model.insert(model.begin() + at, ModelRow{step, withText ? std::vector<std::string>{text}
                                                                     : std::vector<std::string>{}});
            for (int s = 1; s < 5 && action < 30; ++s) {
                const std::string sub = RandomText(random, 80);
                ASSERT_TRUE(store.SetText(at, s, sub));
                model[static_cast<std::size_t>(at)].texts.resize(static_cast<std::size_t>(s), "");
                model[static_cast<std::size_t>(at)].texts.push_back(sub);
            }
        } else if (action < 90) {
            const int r = std::uniform_int_distribution<int>(0, count - 1)(random);
            const int s = std::uniform_int_distribution<int>(0, 6)(random);
            const std::string text = RandomText(random, 120);
            ASSERT_TRUE(store.SetText(r, s, text));
            auto& texts = model[static_cast<std::size_t>(r)].texts;
            if (texts.size() <= static_cast<std::size_t>(s)) texts.resize(static_cast<std::size_t>(s) + 1);
            texts[static_cast<std::size_t>(s)] = text;
        } else if (action < 99) {
            const int r = std::uniform_int_distribution<int>(0, count - 1)(random);
            store.Erase(r);
            model.erase(model.begin() + r);
        } else if (step % 5 == 0) {
            store.Clear();
            model.clear();
        }
        if (step % 5000 == 0) ExpectSame(store, model, "step " + std::to_string(step));
        // Garbage is compacted once it outweighs the live texts (and a block).
        ASSERT_LE(store.GarbageBytes(), std::max<std::size_t>(store.LiveBytes(), std::size_t{1} << 20) + 1000);
    }
    ExpectSame(store, model, "the end");
}

TEST(ListRowStoreTest, EdgeCasesOfTexts) {
    ListRowStore store;
    ListRowStore::Row row;
    store.Insert(0, row, "first");
    struct Case {
        const char* name;
        int subItem;
        std::string text;
        bool taken;
        std::string reads;
    } cases[] = {
        {"a NUL cuts the text", 1, std::string("cut\0here", 8), true, "cut"},
        {"same length, in place", 1, "CUT", true, "CUT"},
        {"far sub-item", 300, "far", true, "far"},
        {"negative sub-item", -1, "no", false, ""},
        {"sub-item past the last", ListRowStore::kMaxSubItems, "no", false, ""},
        {"longer than a block", 2, std::string(3 << 20, 'x'), true, std::string(3 << 20, 'x')},
        {"shorter again", 2, "short", true, "short"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store.SetText(0, c.subItem, c.text), c.taken) << c.name;
        EXPECT_EQ(store.Text(0, c.subItem), c.reads) << c.name;
        EXPECT_EQ(store.Text(0, 0), "first") << c.name;
    }
    EXPECT_EQ(store.Text(0, 150), "");
}

TEST(ListRowStoreTest, SortingMovesRowsWithTheirTexts) {
    ListRowStore store;
    for (int i = 0; i < 10000; ++i) {
        ListRowStore::Row row;
        row.param = (i * 7919) % 10000;
        const std::string text = std::to_string(row.param);
        store.Insert(i, row, text.c_str());
        store.SetText(i, 1, "sub " + text);
    }
    store.Sort([](const ListRowStore::Row& a, const ListRowStore::Row& b) { return a.param < b.param; });
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(store.At(i).param, i);
        ASSERT_EQ(store.Text(i, 0), std::to_string(i));
        ASSERT_EQ(store.Text(i, 1), "sub " + std::to_string(i));
    }
}

}  // namespace
