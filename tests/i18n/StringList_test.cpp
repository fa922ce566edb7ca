#include "i18n/StringList.h"

#include <gtest/gtest.h>

namespace i18n {
namespace {

TEST(TStringList, EditsKeepOrderAndIndexOfFindsTheFirstMatchIgnoringCase) {
  TStringList list;
  EXPECT_EQ(list.Add(L"German"), 0);
  EXPECT_EQ(list.Add(L"English"), 1);
  list.Insert(0, L"french");
  list.Add(L"FRENCH");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list[0], L"french");
  EXPECT_EQ(list.IndexOf(L"French"), 0);
  EXPECT_EQ(list.IndexOf(L"english"), 2);
  EXPECT_EQ(list.IndexOf(L"Englis"), -1);

  list.Delete(0);
  EXPECT_EQ(list.IndexOf(L"French"), 2);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.IndexOf(L"French"), -1);
}

TEST(TStringList, OutOfRangeEditsThrowInsteadOfCorrupting) {
  TStringList list;
  list.Add(L"a");
  EXPECT_THROW(list.Insert(2, L"b"), std::out_of_range);
  EXPECT_THROW(list.Delete(1), std::out_of_range);
  EXPECT_THROW(list.Put(-1, L"b"), std::out_of_range);
  EXPECT_EQ(list.Count(), 1);
}

TEST(THashedStringList, FindsTheLaterLineOfANameInAnyLetterCase) {
  THashedStringList list;
  list.Add(L"M_stop=Halt");
  list.Add(L"note without equals");
  list.Add(L"m_STOP=Stopp");
  list.Add(L"empty=");
  EXPECT_EQ(list.IndexOfName(L"M_Stop"), 2);
  EXPECT_EQ(list.Value(L"M_STOP"), L"Stopp");
  EXPECT_EQ(list.Value(L"empty"), L"");
  EXPECT_EQ(list.Value(L"missing"), std::nullopt);
  // A line without "=" has no name, not even its own text.
  EXPECT_EQ(list.IndexOfName(L"note without equals"), -1);
}

// The index is built lazily; every kind of edit must make it rebuild.
TEST(THashedStringList, LookUpFollowsEveryEdit) {
  THashedStringList list;
  list.Add(L"a=1");
  list.Add(L"a=2");
  ASSERT_EQ(list.Value(L"a"), L"2");

  list.Delete(1);
  EXPECT_EQ(list.Value(L"a"), L"1");
  list.Insert(0, L"b=0");
  EXPECT_EQ(list.IndexOfName(L"a"), 1);
  list.Put(1, L"c=3");
  EXPECT_EQ(list.Value(L"a"), std::nullopt);
  EXPECT_EQ(list.Value(L"c"), L"3");
  list.Add(L"C=4");
  EXPECT_EQ(list.Value(L"c"), L"4");
  list.Put(2, L"c=5");
  EXPECT_EQ(list.Value(L"C"), L"5");
  list.Put(2, L"no longer named");
  EXPECT_EQ(list.Value(L"c"), L"3");
  list.Clear();
  EXPECT_EQ(list.Value(L"c"), std::nullopt);
}

TEST(THashedStringList, UsesTheInjectedUpperCasing) {
  // An upper-casing that folds "ß" to "SS" shows the list never compares
  // raw text: both sides go through the injected function.
  const UpperCaseFn foldSharpS = [](std::wstring_view text) {
    std::wstring result;
    for (wchar_t c : text) result += (c == L'\u00DF') ? std::wstring(L"s") : std::wstring(1, c);
    for (wchar_t& c : result) c = (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c;
    return result;
  };
  THashedStringList list(foldSharpS);
  list.Add(L"gro\u00DF=big");
  EXPECT_EQ(list.Value(L"GROS"), L"big");
}

}  // namespace
}  // namespace i18n
