#include "logging/CMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tickwell::testing {
namespace {

TEST(CMapTest, InsertKeepsAnExistingEntryUnchanged)
{
    CMap<int> map;
    EXPECT_EQ(map.lookup(CString256("ACME")), nullptr);
    map.insert(CString256("ACME")) = 1;
    int &again = map.insert(CString256("ACME"));
    EXPECT_EQ(again, 1);
    again = 2;
    ASSERT_NE(map.lookup(CString256("ACME")), nullptr);
    EXPECT_EQ(*map.lookup(CString256("ACME")), 2);
    EXPECT_EQ(map.size(), 1u);
}

// Keys compare byte by byte as zero-terminated texts: case matters, bytes after a zero do not.
TEST(CMapTest, KeysCompareAsZeroTerminatedBytes)
{
    CMap<int> map;
    map.insert(CString256("acme")) = 1;
    map.insert(CString256("ACME")) = 2;
    map.insert(CString256("\xc3\xa9")) = 3; // bytes above 0x7f sort after ASCII, and stay distinct
    map.insert(CString256("e")) = 4;
    EXPECT_EQ(map.size(), 4u);
    EXPECT_EQ(*map.lookup(CString256("acme")), 1);
    EXPECT_EQ(*map.lookup(CString256("ACME")), 2);
    EXPECT_EQ(*map.lookup(CString256("\xc3\xa9")), 3);

    map.insert(CString256(std::string_view("AB\0X", 4))) = 5;
    EXPECT_EQ(*map.lookup(CString256("AB")), 5);
}

// clear() removes the entries oldest first; forEach() walks them in insertion order.
TEST(CMapTest, ClearAndForEachFollowInsertionOrder)
{
    std::vector<std::string> destroyed;
    struct Recorder {
        std::vector<std::string> *log;
        std::string name;
        ~Recorder() { log->push_back(name); }
    };
    CMap<std::unique_ptr<Recorder>> map;
    for (const char *key : {"ZETA", "ALPHA", "MIKE"})
        map.insert(CString256(key)) = std::make_unique<Recorder>(&destroyed, std::string(key));

    std::vector<std::string> visited;
    map.forEach([&visited](const CString256 &key, std::unique_ptr<Recorder> &) { visited.push_back(key.str()); });
    EXPECT_EQ(visited, (std::vector<std::string>{"ZETA", "ALPHA", "MIKE"}));

    map.clear();
    EXPECT_EQ(destroyed, (std::vector<std::string>{"ZETA", "ALPHA", "MIKE"}));
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.lookup(CString256("ZETA")), nullptr);
    map.insert(CString256("ZETA"));
    EXPECT_EQ(map.size(), 1u); // usable again after clear
}

} // namespace
} // namespace tickwell::testing
