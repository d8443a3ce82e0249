#include "base/messages.h"

#include <gtest/gtest.h>

#include <string>

namespace hatch {
namespace {

// The build compiles this file from its Shift-JIS copy, as it compiles the
// catalogue, so each text below becomes the bytes the catalogue must hold.
std::string cp932(std::string text) { return text; }

TEST(Messages, ShiftJisCopyKeepsEveryByte) {
  // Second bytes that are a backslash, and hex digits right after an escape,
  // are where a careless copy would change the text: the bytes by hand.
  EXPECT_EQ(cp932("ソ能表"), "\x83\x5c\x94\x5c\x95\x5c");
  EXPECT_EQ(cp932("能a ｱ1"), std::string("\x94\x5c") + "a \xb1" + "1");
  EXPECT_EQ(cp932("h#%s\r\n"), std::string("h#%s") + '\r' + '\n');
}

TEST(Messages, CatalogueIsShiftJis) {
  const std::pair<const char*, const char*> texts[] = {
      {msg::log_open_failed, "ﾛｸﾞﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n"},
      {msg::input_open_failed, "入力ﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n"},
      {msg::no_input_data, "入力データがありません"},
      {msg::output_open_failed, "出力ﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n"},
      {msg::figure_not_named, "図形ファイルが未指定"},
      {msg::bad_parameter, "ﾊﾟﾗﾒｰﾀが不正です。\r\n"},
      {msg::second_command_file, "パラメータファイルエラー"},
      {msg::command_file_open_failed, "ｺﾏﾝﾄﾞﾌｧｲﾙがｵｰﾌﾟﾝできません。\r\n"},
      {msg::command_file_empty, "ｺﾏﾝﾄﾞﾌｧｲﾙのﾃﾞｰﾀが不正です"},
      {msg::full_width_space, "ｺﾏﾝﾄﾞｵﾌﾟｼｮﾝｴﾗｰ  全角ｽﾍﾟｰｽは使えません。"},
      {msg::out_of_memory, "メモリが確保できません！！"},
      {msg::figure_bad_magic, "図形ﾃﾞｰﾀがplk形式と異なります。\r\n"},
      {msg::figure_bad_counts, "図形ﾃﾞｰﾀが不正\r\n"},
      {msg::figure_line_read, "直線図形読み込みｴﾗｰ"},
      {msg::figure_arc_read, "円図形読み込みｴﾗｰ"},
      {msg::too_many_crossings, "交差する線が多すぎて計算不能です。\r\n"},
      {msg::breaks_found, "h#断線箇所が確認されました。\n"},
      {msg::no_breaks, "h#断線箇所はありませんでした。\n"},
      {msg::no_region_found, "h#閉領域が見つかりませんでした。/e で断線を確認できます。\n"},
      {msg::interrupted, "hq処理を中断しました\n"},
      {msg::cannot_open_suffix, "がｵｰﾌﾟﾝできません。\r\n"},
  };
  for (const auto& [bytes, text] : texts) EXPECT_EQ(std::string(bytes), cp932(text));
}

TEST(Messages, AssembledTexts) {
  EXPECT_EQ(out_of_memory_message("CDATA"), cp932("メモリが確保できません！！CDATA"));
  EXPECT_EQ(trace_limit_message(2000), cp932("閉領域の辺数は2000迄です"));
  EXPECT_EQ(trace_stack_message(123), cp932("閉領域の辺数が123本で作業メモリが不足しました。"));
  EXPECT_EQ(figure_open_failed_message("tile.plk", "No such file or directory"),
            cp932("図形ﾌｧｲﾙ(tile.plk)がｵｰﾌﾟﾝできません。 No such file or directory"));
}

}  // namespace
}  // namespace hatch
