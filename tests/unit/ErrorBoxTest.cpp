#include "ErrorBox.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "Exception.h"

namespace zolv {
namespace {

TEST(ErrorBoxTest, TitleIsTheProgramNameCutAtItsFirstDot) {
  EXPECT_EQ(ApplicationTitle(u"C:\\Program Files\\ZOLV Online\\ZOLVWeb.exe"), u"Zolvweb");
  EXPECT_EQ(ApplicationTitle(u"C:\\x.y\\ZOLV.Web.exe"), u"Zolv");
  EXPECT_EQ(ApplicationTitle(u"D:zolvWEB.EXE"), u"zolvweb");
  EXPECT_EQ(ApplicationTitle(u"\\\\server\\share\\ÁRBOL.exe"), u"Árbol");
  EXPECT_EQ(ApplicationTitle(u"C:\\apps\\.hidden"), u"");
}

TEST(ErrorBoxTest, PeriodIsAddedOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(u"Cannot create file \"C:\\a.ini\". Access is denied"),
            u"Cannot create file \"C:\\a.ini\". Access is denied.");
  EXPECT_EQ(ErrorBoxText(u"Invalid data type for ''"), u"Invalid data type for ''");
  EXPECT_EQ(ErrorBoxText(u"Already ends."), u"Already ends.");
  EXPECT_EQ(ErrorBoxText(u"List index out of bounds (7)"), u"List index out of bounds (7)");
  EXPECT_EQ(ErrorBoxText(u"Ends in a slash/"), u"Ends in a slash/.");
  EXPECT_EQ(ErrorBoxText(u""), u"");
}

TEST(ErrorBoxTest, MessageOfEveryKindOfException) {
  auto messageOf = [](auto error) { return ExceptionMessage(std::make_exception_ptr(error)); };
  EXPECT_EQ(messageOf(Exception(u"Cannot open file \"x\". ñ")), u"Cannot open file \"x\". ñ");
  EXPECT_EQ(messageOf(std::runtime_error("out of memory")), u"out of memory");
  EXPECT_EQ(messageOf(42), u"Unknown error");
}

}  // namespace
}  // namespace zolv
